#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, the realtime-sanitizer build that
# proves the audio callback never allocates, locks or blocks, then the thread, address and
# undefined-behaviour sanitizer builds (scripts/sanitize.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# The benchmarks are asked for by name, so a build folder configured without them (by an older
# scripts/run.sh) gets them back; the README's Performance section runs them.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBEL_BENCH=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-rtsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-22 -DZORBEL_RTSAN=ON -DZORBEL_BENCH=OFF
cmake --build build-rtsan -j "$jobs" --target realtime_tests
ctest --test-dir build-rtsan --output-on-failure -R '^Realtime'

# ThreadSanitizer over the engine (live stream and request stress run included) and
# AddressSanitizer + UndefinedBehaviorSanitizer over every test: about 3 minutes on 2 cores.
scripts/sanitize.sh
