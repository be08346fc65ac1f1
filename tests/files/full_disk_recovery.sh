#!/usr/bin/env bash
# The unsaved song on the way out when seq/ is a full or a read-only file system: it must land
# in the state folder, stdout must say where, and the program must still quit with status 0.
# Needs a mount namespace of its own (exit 77 where the test cannot mount one).
# usage: full_disk_recovery.sh DIR_WITH_ZORBEL_DRIVE
set -uo pipefail
drive="$(cd "$1" && pwd)/zorbel-drive"
unshare -m true 2> /dev/null || { echo "skipped: no mount namespace can be made here"; exit 77; }
work=$(mktemp -d /tmp/zorbel-fulldisk-XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0

for kind in full read-only; do
  dir="$work/$kind"
  mkdir -p "$dir/seq" "$dir/wav" "$dir/presets" "$dir/state"
  printf 'press X\npress ESC\n' > "$dir/script.txt"
  # A hit on step 0, then Esc: the changed song is written on the way out.
  XDG_STATE_HOME="$dir/state" unshare -m bash -c '
    cd "$1" || exit 90
    mount -t tmpfs -o size=64k tmpfs seq || exit 91
    if [ "$2" = full ]; then
      dd if=/dev/zero of=seq/filler bs=4k count=64 > /dev/null 2>&1
    else
      mount -o remount,ro seq || exit 92
    fi
    SDL_VIDEODRIVER=dummy "$3" script.txt > out.txt 2> err.txt
  ' _ "$dir" "$kind" "$drive"
  status=$?
  if [ "$status" -ge 90 ]; then echo "skipped: tmpfs could not be mounted ($status)"; exit 77; fi
  state_file="$dir/state/zorbel/RECOVER.SEQ"
  if [ "$status" -ne 0 ]; then
    echo "FAIL ($kind): status $status"; failed=1
  elif [ ! -s "$state_file" ]; then
    echo "FAIL ($kind): no $state_file"; failed=1
  elif ! grep -q "$dir/state/zorbel/RECOVER.SEQ" "$dir/out.txt"; then
    echo "FAIL ($kind): stdout does not name the state folder:"; sed 's/^/  /' "$dir/out.txt"; failed=1
  else
    echo "PASS ($kind): $(head -n 1 "$dir/out.txt")"
  fi
  [ "$failed" -eq 0 ] || { sed 's/^/  stderr: /' "$dir/err.txt"; }
done
exit "$failed"
