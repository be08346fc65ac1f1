#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, then the realtime-sanitizer build
# that proves the audio callback never allocates, locks or blocks.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-rtsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-22 -DZORBEL_RTSAN=ON -DZORBEL_BENCH=OFF
cmake --build build-rtsan -j "$jobs" --target realtime_tests
ctest --test-dir build-rtsan --output-on-failure -R '^Realtime'
