#!/usr/bin/env bash
# Compares what two builds make of the same input, bit for bit: seeded renders of the demo songs
# and templates, zorbel-drive runs (screens and audio) and the screens the tests kept. Used to
# show that a change of structure changed no sound and no pixel.
#   scripts/compare_outputs.sh OLD_BUILD NEW_BUILD
set -euo pipefail
old=$(realpath "$1")
new=$(realpath "$2")
top=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

drive_script() {
  cat <<'SCRIPT'
press X
press A-RT
press X
hold X
press A-UP
release X
press D-DN
press X
press SQ
wait 2
shot grid.bmp
hold 8 9 0
tick
release all
tick
press D-DN
press L-TR D-UP
shot page.bmp
press START
press START
shot menu.bmp
wait 1
SCRIPT
}

same=0
differ=0
check() {
  if cmp -s "$1" "$2"; then same=$((same + 1)); else differ=$((differ + 1)); echo "differs: $3"; fi
}

for side in old new; do
  build=${!side}
  mkdir -p "$work/$side"
  # Each side works in a scratch copy of the shipped folders, so nothing of the user's is read.
  cp -r "$top/seq" "$top/wav" "$top/presets" "$work/$side/"
  (
    cd "$work/$side"
    for song in NEONRUN TIDEPOOL CLOCKWORK; do
      "$build/zorbel-render" "seq/$song.SEQ" --mode song --seed 7 --blocks 400 -o "$song.wav" > /dev/null
    done
    for t in 0 1 2 3 4; do
      "$build/zorbel-render" --template "$t" --seed 3 --blocks 100 -o "t$t.wav" > /dev/null
    done
    drive_script > walk.drive
    SDL_VIDEODRIVER=dummy "$build/zorbel-drive" --seed 5 --wav drive.wav walk.drive > /dev/null
  )
done

for f in NEONRUN.wav TIDEPOOL.wav CLOCKWORK.wav t0.wav t1.wav t2.wav t3.wav t4.wav drive.wav \
         grid.bmp page.bmp menu.bmp; do
  check "$work/old/$f" "$work/new/$f" "$f"
done
if [ -d "$old/screens" ] && [ -d "$new/screens" ]; then
  for f in "$old"/screens/*.bmp; do
    name=$(basename "$f")
    [ -f "$new/screens/$name" ] && check "$f" "$new/screens/$name" "screens/$name"
  done
fi
echo "$same identical, $differ different"
[ "$differ" -eq 0 ]
