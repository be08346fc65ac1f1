#!/usr/bin/env bash
# Builds the programs and runs the main job: renders the demo song NEONRUN, the whole song list
# in song mode, to out/NEONRUN.WAV without a screen or a sound card.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBEL_BENCH=OFF
cmake --build build -j "$(nproc)" --target zorbel-render zorbel zorbel-windowed
mkdir -p out
./build/zorbel-render seq/NEONRUN.SEQ --mode song --seed 1 -o out/NEONRUN.WAV
echo "Rendered out/NEONRUN.WAV"
