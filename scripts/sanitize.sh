#!/usr/bin/env bash
# Sanitizer builds: ThreadSanitizer over the engine tests (with the live stream under a dummy
# JACK server and the request stress run), and AddressSanitizer + UndefinedBehaviorSanitizer
# over the whole suite. Builds go to build-tsan/ and build-asan/ beside the sources.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
jobs=$(nproc)
common=(-G Ninja -DCMAKE_CXX_COMPILER=clang++-22 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBEL_BENCH=OFF)
if command -v ccache >/dev/null; then common+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$src}

echo "== ThreadSanitizer: engine tests"
cmake -S . -B build-tsan "${common[@]}" -DCMAKE_CXX_FLAGS="-fsanitize=thread -g" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan -j "$jobs" --target engine_tests
# The oscilloscope's read of the last output buffer is a known benign race (a torn frame draws
# one wrong pixel); it is not in the engine tests, so no suppression is needed here.
# Run from a scratch folder: some cases write seq/ and wav/ there. Every engine case, the live
# stream and the stress run among them.
(mkdir -p build-tsan/run && cd build-tsan/run && SDL_VIDEODRIVER=dummy \
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1" ../tests/engine_tests)

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: every test"
cmake -S . -B build-asan "${common[@]}" \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan -j "$jobs"
# SDL and the audio libraries keep allocations until exit; they are theirs, not ours.
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" \
  LSAN_OPTIONS="suppressions=$src/scripts/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
