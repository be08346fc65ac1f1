#!/usr/bin/env bash
# Builds the programs and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBEL_BENCH=OFF
cmake --build build -j "$(nproc)"
exec ./build/zorbel-windowed
