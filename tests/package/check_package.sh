#!/usr/bin/env bash
# The Debian package as a user meets it: its file list, lintian, the desktop entry, AppStream
# data and manual pages, then the programs unpacked under a scratch root and started with a
# fresh home, from a folder without seq/.
# usage: check_package.sh SOURCE_DIR WORK_DIR   (exit 77: the packaging tools are missing)
set -uo pipefail
src="$(cd "$1" && pwd)"
mkdir -p "$2"
work="$(cd "$2" && pwd)"
for tool in dpkg-deb dpkg-shlibdeps dpkg-buildflags cpack gzip; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
optional() { command -v "$1" > /dev/null || { echo "not checked: $1 is not installed"; return 1; }; }

# The package, built in its own folder with only the targets it holds.
rm -rf "$work/out" "$work/root" "$work/home" "$work/elsewhere"
bash "$src/scripts/package.sh" "$work/build" "$work/out" > "$work/package.log" 2>&1 \
  || { cat "$work/package.log"; echo "FAIL: the package did not build"; exit 1; }
deb=$(ls "$work"/out/zorbel_*.deb 2> /dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no zorbel_*.deb in $work/out"; exit 1; }
echo "package: $deb"

# Its files, exactly: a file that goes missing or slips in (a player's song, a test file) fails.
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' \
  | sed 's|^\./|/|; s|/$||' | grep -v '^/$' | sort > "$work/files.txt"
sort "$src/tests/package/expected_files.txt" > "$work/expected.txt"
diff -u "$work/expected.txt" "$work/files.txt" > "$work/files.diff" \
  || { fail "the package's file list differs from tests/package/expected_files.txt"; cat "$work/files.diff"; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libportaudio2 libsdl libsdl-ttf2.0-0 libjack libasound2 libc6 libstdc++6; do
  [[ "$depends" == *"$library"* ]] || fail "Depends names no $library"
done

if optional lintian; then
  lintian --fail-on error "$deb" > "$work/lintian.txt" 2>&1 \
    || fail "lintian reports errors"
  grep -E '^[EW]:' "$work/lintian.txt"
fi

# Installed under a scratch root: any prefix works, since the programs find their factory files
# beside themselves.
dpkg-deb -x "$deb" "$work/root"
bin="$work/root/usr/bin"
share="$work/root/usr/share"

if optional man && optional groff; then
  for page in zorbel zorbel-render zorbel-drive zorbel-windowed; do
    file="$share/man/man1/$page.1.gz"
    [ -f "$file" ] || file="$share/man/man1/$(readlink "$share/man/man1/$page.1.gz")"
    warnings=$(cd "$share/man" && MANWIDTH=80 man --warnings=w -l "$file" 2>&1 > /dev/null)
    [ -z "$warnings" ] || fail "man -l $page.1.gz warns: $warnings"
    warnings=$(zcat "$file" | groff -man -t -ww -z 2>&1)
    [ -z "$warnings" ] || fail "groff -ww warns on $page.1.gz: $warnings"
    MANWIDTH=80 man -l "$file" 2> /dev/null | grep -q "^NAME" || fail "man -l $page.1.gz shows no NAME"
  done
fi
if optional desktop-file-validate; then
  desktop-file-validate "$share/applications/zorbel.desktop" || fail "desktop-file-validate"
fi
if optional appstreamcli; then
  appstreamcli validate --no-net "$share/metainfo/org.zorbel.Zorbel.metainfo.xml" > "$work/appstream.txt" 2>&1 \
    || { cat "$work/appstream.txt"; fail "appstreamcli validate"; }
fi
grep -q '<svg' "$share/icons/hicolor/scalable/apps/zorbel.svg" || fail "the icon is no SVG"

# A fresh home, started from a folder without seq/: the first program makes the user folder
# with the factory files and says so once; a shipped demo song renders with its sample.
export HOME="$work/home"
unset XDG_DATA_HOME
mkdir -p "$HOME" "$work/elsewhere"
cd "$work/elsewhere"
user="$HOME/.local/share/zorbel"
"$bin/zorbel-render" --seed 1 --mode song --blocks 40 -o neonrun.wav \
  "$share/zorbel/seq/NEONRUN.SEQ" > render.out 2> render.err || fail "zorbel-render failed: $(cat render.err)"
grep -q "made $user" render.out || fail "zorbel-render did not say it made $user: $(cat render.out)"
[ "$(grep -c "made" render.out)" -eq 1 ] || fail "zorbel-render announced the folder more than once: $(cat render.out)"
[ -s render.err ] && fail "zorbel-render complained: $(cat render.err)"
size=$(stat -c %s neonrun.wav 2> /dev/null || echo 0)
[ "$size" -eq $((44 + 40 * 1024 * 4)) ] || fail "neonrun.wav in the caller's folder has $size bytes"
# Not silence: some sample differs from zero.
cmp -s -i 44:0 -n $((size - 44)) neonrun.wav /dev/zero && fail "neonrun.wav is silent"
for file in seq/NEONRUN.SEQ seq/TIDEPOOL.SEQ seq/CLOCKWORK.SEQ seq/custom.zbi seq/colors.zbc \
            wav/VOXSTAB.WAV presets/KS.FACTORY.preset.zbl; do
  cmp -s "$user/$file" "$share/zorbel/$file" || fail "$user/$file is no copy of the factory file"
done
presets=$(ls "$user/presets" | wc -l)
[ "$presets" -eq "$(ls "$share/zorbel/presets" | wc -l)" ] || fail "$presets presets were copied"

# zorbel-drive works in the same folder: SAVE AS "B" lands there, the shot where it was asked
# for, and the folder is not announced again.
printf '%s\n' "press X" "press START" "press X" "press D-DN" "press D-DN" "press D-DN" \
  "press X" "press D-UP" "press RETURN" "shot saved.bmp" "press ESC" > save.txt
"$bin/zorbel-drive" save.txt > drive.out 2> drive.err || fail "zorbel-drive failed: $(cat drive.err)"
grep -q "made" drive.out && fail "zorbel-drive announced the folder again: $(cat drive.out)"
[ -s "$user/seq/B.SEQ" ] || fail "the saved song is not $user/seq/B.SEQ"
[ -s saved.bmp ] || fail "the shot is not in the caller's folder"
[ -e seq ] && fail "a seq/ folder appeared in the caller's folder"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checks passed"
