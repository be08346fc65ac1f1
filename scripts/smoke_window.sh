#!/usr/bin/env bash
# Real-window smoke test: zorbel-windowed under Xvfb (a 1920 x 1080 screen) with a dummy JACK
# server opens a 3x console window of 1440 x 816 whose picture, reduced by 3, is the console
# area of a zorbel-drive shot of the same state; a real key press on H (the X button) makes a
# hit under the cursor; the README's example typed with 150 ms taps puts kicks on steps 0, 8,
# 16 and 24 only (kept as screens/window_readme_example.png in the given directory); the
# pointer moved to the window's top without a button stays there; the view keys and a resize
# work; and Esc ends it with status 0. With ZORBEL_MEASURE_CPU=1 it also prints the CPU the
# idle grid uses over 10 s.
# usage: smoke_window.sh DIR_WITH_ZORBEL_WINDOWED_AND_DRIVE   (exit 77: tools missing, skipped)
set -uo pipefail
bin_dir="$(cd "$1" && pwd)"
bin="$bin_dir/zorbel-windowed"
drive="$bin_dir/zorbel-drive"
source "$(dirname "${BASH_SOURCE[0]}")/window_test_env.sh"
require_window_tools

work=$(mktemp -d /tmp/zorbel-smoke-XXXXXX)
server="zorbel-smoke-$$"
pids=()
# The program goes first, while its display still exists; whatever does not end on TERM within
# 3 s is killed, so a failing run never hangs.
cleanup() {
  for (( i = ${#pids[@]} - 1; i >= 0; i-- )); do
    pid=${pids[i]}
    [ -n "$pid" ] || continue
    kill "$pid" 2> /dev/null
    for _ in $(seq 30); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2> /dev/null
    wait "$pid" 2> /dev/null
  done
  # ZORBEL_SMOKE_KEEP=DIR keeps the screenshots for a person to look at.
  [ -n "${ZORBEL_SMOKE_KEEP:-}" ] && mkdir -p "$ZORBEL_SMOKE_KEEP" && cp "$work"/*.png "$work"/*.bmp "$ZORBEL_SMOKE_KEEP" 2> /dev/null
  rm -rf "$work"
  remove_jack_files "$server"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -s "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"; exit 1; }

start_display 50 1920x1080x24 "$work/xvfb.txt"
pids+=("$xvfb_pid")
xdotool getdisplaygeometry > /dev/null 2>&1 || fail "Xvfb did not start"
start_jack_server "$server" "$work/jack.txt"
pids+=("$jack_pid")
# A settings file of its own: the window opens at the largest scale that fits.
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config"

cd "$work" && mkdir -p seq wav presets
"$bin" > out.txt 2> err.txt &
prog=$!
pids+=($prog)
wait_for_window
sleep 1

geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$geometry" = 1440x816 ] || fail "the window is $geometry, not a 3x console window of 1440x816"

# The pixel inside the cell of step 0, track 0 (the cursor's cell), as "R G B": surface pixel
# (266,225), console pixel (106,61), the middle of its 3 x 3 block in the window.
cell_pixel() {
  import -window "$window" "$1" 2> /dev/null || return 1
  convert "$1" -format '%[fx:int(255*p{319,184}.r)] %[fx:int(255*p{319,184}.g)] %[fx:int(255*p{319,184}.b)]' info:
}
# The pixel inside the cell of step $2 of track 0 in the screenshot $1, as "R G B": the surface
# column of the step's cell, shown 3x from the console area's corner (160,164).
step_pixel() {
  local s=$2 x
  x=$(( (265 + 5 * s + 3 * (s >> 3) + 3 * (s >> 4) + 3 * (s >> 5) + 1 - 160) * 3 + 1 ))
  convert "$1" -format "%[fx:int(255*p{$x,184}.r)] %[fx:int(255*p{$x,184}.g)] %[fx:int(255*p{$x,184}.b)]" info:
}
frame_pixel() {
  convert "$1" -format '%[fx:int(255*p{316,181}.r)] %[fx:int(255*p{316,181}.g)] %[fx:int(255*p{316,181}.b)]' info:
}
read -r r g b <<< "$(cell_pixel before.png)" || fail "no screenshot"

# Every 3 x 3 block of the window is one console pixel of what zorbel-drive draws.
printf 'tick\nshot drive.bmp\n' > same_state.txt
"$drive" same_state.txt > /dev/null 2>&1 || fail "zorbel-drive could not draw the start state"
# The row of the playing step's mark (console rows 55 and 56) and the oscilloscope (top left)
# move with time, which the two programs do not share: they are left out.
mark_row=(-fill black -draw 'rectangle 0,54 479,57' -draw 'rectangle 0,0 99,49')
convert drive.bmp -crop 480x272+160+164 +repage "${mark_row[@]}" console.png
convert before.png -sample 480x272 "${mark_row[@]}" reduced.png
# The display widens the 16-bit colours to 24 bits with its own rounding (green 63 becomes 254
# there, 255 in the BMP), so channels may differ by one step of 255.
differing=$(compare -metric AE -fuzz 1% reduced.png console.png null: 2>&1)
[ "$differing" = 0 ] || fail "the window reduced by 3 differs from the console area in $differing pixels"
# Sharp pixels: each 3 x 3 block is one colour.
blocky=$(convert before.png -sample 480x272 -sample 1440x816 - | compare -metric AE - before.png null: 2>&1)
[ "$blocky" = 0 ] || fail "the window's pixels are not 3 x 3 blocks ($blocky differ)"
read -r fr fg fb <<< "$(frame_pixel before.png)"
# The cursor frame is ACTIVE STEP (red); the empty cell is BACKGROUND (black).
[ "$fr" -gt 200 ] && [ "$fb" -lt 60 ] || fail "no cursor frame on the grid ($fr $fg $fb)"
[ "$r" -lt 16 ] && [ "$g" -lt 16 ] && [ "$b" -lt 16 ] || fail "the cell is not empty ($r $g $b)"

if [ "${ZORBEL_MEASURE_CPU:-0}" = 1 ]; then
  ticks=$(getconf CLK_TCK)
  t0=$(awk '{print $14 + $15}' "/proc/$prog/stat")
  sleep 10
  t1=$(awk '{print $14 + $15}' "/proc/$prog/stat")
  echo "idle grid: $(( (t1 - t0) * 100 / ticks / 10 )).$(( (t1 - t0) * 1000 / ticks / 10 % 10 )) % of one core over 10 s"
fi

# X held for a moment: the step under the cursor becomes a hit (TRIGGERED STEP, blue).
xdotool keydown h; sleep 0.4; xdotool keyup h
sleep 0.5
read -r r g b <<< "$(cell_pixel after.png)" || fail "no screenshot"
[ "$b" -gt 200 ] && [ "$r" -lt 60 ] || fail "H made no hit under the cursor ($r $g $b)"

# The README's example as a person types it, each key held 150 ms: X, then A-RT (a jump of 8
# steps) and X three times. Every tap acts once, so the kicks fall on steps 0, 8, 16 and 24.
tap() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; sleep 0.15; }
for key in h d h d h d h; do tap "$key"; done
sleep 0.5
import -window "$window" readme.png 2> /dev/null || fail "no screenshot"
mkdir -p "$bin_dir/screens" && cp readme.png "$bin_dir/screens/window_readme_example.png"
for s in 0 8 16 24 1 7 9 15 17 23 25 32 40; do
  read -r r g b <<< "$(step_pixel readme.png "$s")"
  case $s in
    0|8|16|24) [ "$b" -gt 200 ] && [ "$r" -lt 60 ] || fail "no kick on step $s ($r $g $b)" ;;
    *) [ "$r" -lt 16 ] && [ "$g" -lt 16 ] && [ "$b" -lt 16 ] || fail "a hit on step $s ($r $g $b)" ;;
  esac
done

# The pointer moved to the window's top rows without a button held stays where it was put.
win_y=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^Y=//p')
xdotool mousemove --window "$window" 400 10
sleep 0.6
mouse_y=$(xdotool getmouselocation --shell | sed -n 's/^Y=//p')
[ "$mouse_y" -eq $(( win_y + 10 )) ] ||
  fail "the pointer was moved to y $mouse_y, not left at the window's row 10 (window at y $win_y)"

# The view keys, a window resized by hand, and the settings file that remembers the choice.
size_after() {
  xdotool key --window "$window" "$1"; sleep 0.7
  xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}'
}
[ "$(size_after ctrl+minus)" = 960x544 ] || fail "Ctrl+minus did not make a 2x console window"
# The whole surface at 2x (1600 x 1200) does not fit the desktop: it opens at 1x.
[ "$(size_after F10)" = 800x600 ] || fail "F10 did not show the whole surface at 1x"
[ "$(size_after F10)" = 480x272 ] || fail "F10 did not go back to the console view"
[ "$(size_after ctrl+plus)" = 960x544 ] || fail "Ctrl+plus did not make a 2x console window"
grep -q '^scale 2$' config/zorbel/settings && grep -q '^view console$' config/zorbel/settings ||
  fail "the settings file does not hold scale 2 and the console view"
xdotool windowsize "$window" 1500 900; sleep 0.7
import -window "$window" resized.png 2> /dev/null
# At 1500 x 900 the picture is 3x (1440 x 816), centred on black: 30 columns left and right,
# 42 rows above and below; inside, the same 3x picture as the window showed after the kicks.
[ "$(convert resized.png -format '%wx%h' info:)" = 1500x900 ] || fail "the window was not resized"
convert resized.png -crop 1440x816+30+42 +repage -sample 480x272 "${mark_row[@]}" centred.png
convert readme.png -sample 480x272 "${mark_row[@]}" after_reduced.png
differing=$(compare -metric AE centred.png after_reduced.png null: 2>&1)
[ "$differing" = 0 ] || fail "the resized window's picture is not the 3x console ($differing)"
border=$(convert resized.png -crop 30x900+0+0 +repage -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)
[ "$border" = 0 ] || fail "the resized window is not black round the picture"
grep -q '^scale 3$' config/zorbel/settings || fail "the resized window's scale was not kept"
[ "$(size_after F11)" = 1920x1080 ] || fail "F11 did not make the picture full screen"
[ "$(size_after F11)" = 1440x816 ] && true || fail "F11 did not bring the window back"
xdotool windowfocus --sync "$window" 2> /dev/null || true

xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
for _ in $(seq 50); do kill -0 "$prog" 2> /dev/null || break; sleep 0.1; done
kill -0 "$prog" 2> /dev/null && fail "Esc did not end the program"
wait "$prog"; status=$?
pids=("${pids[@]/$prog}")
[ "$status" -eq 0 ] || fail "exit status $status"
# Only the program's own messages: none of the sound libraries' probing noise.
grep -q -E "ALSA lib|Cannot connect|jack server" err.txt out.txt && fail "sound library noise on the terminal"
echo "PASS: 3x console window of 1440x816 shows the drive's console area, H made a hit, 150 ms taps put kicks on 0, 8, 16, 24, the pointer stays free, the view keys, a resize and full screen work, Esc ended with status 0"
