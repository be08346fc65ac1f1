#!/usr/bin/env bash
# Builds the programs and opens the workstation, zorbel-windowed, with the start-up song
# playing. Where no display is available it says so and renders the demo song NEONRUN (the
# whole song list, in song mode) to out/NEONRUN.WAV headless instead.
set -euo pipefail
cd "$(dirname "$0")/.."
# The same configuration as scripts/test.sh, so neither switches off what the other builds; only
# the programs run here are built.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target zorbel-render zorbel zorbel-windowed zorbel-drive

display_available() {
  [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
  [ -n "${DISPLAY:-}" ] || return 1
  # A DISPLAY that names no running server is no display.
  if command -v xdotool > /dev/null; then xdotool getdisplaygeometry > /dev/null 2>&1; fi
}

if display_available; then
  echo "Opening zorbel-windowed (Esc quits; the key map is in README.md)"
  exec ./build/zorbel-windowed
fi

echo "No display available (DISPLAY is not set or names no running X server):"
echo "rendering the demo song headless instead."
mkdir -p out
./build/zorbel-render seq/NEONRUN.SEQ --mode song --seed 1 -o out/NEONRUN.WAV
echo "Rendered out/NEONRUN.WAV"
