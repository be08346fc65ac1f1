#!/usr/bin/env bash
# Real-window smoke test: zorbel-windowed under Xvfb with a dummy JACK server draws the grid,
# a real key press on H (the X button) makes a hit under the cursor, the README's example typed
# with 150 ms taps puts kicks on steps 0, 8, 16 and 24 only, the pointer moved to the window's
# top without a button stays there, and Esc ends it with status 0. The last screenshot is kept
# as screens/window_readme_example.png in the given directory. With ZORBEL_MEASURE_CPU=1 it
# also prints the CPU the idle grid uses over 10 s.
# usage: smoke_window.sh DIR_WITH_ZORBEL_WINDOWED   (exit 77: the tools are missing, skipped)
set -uo pipefail
bin_dir="$(cd "$1" && pwd)"
bin="$bin_dir/zorbel-windowed"
for tool in Xvfb xdotool jackd import convert; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d /tmp/zorbel-smoke-XXXXXX)
display=":$(( 50 + $$ % 200 ))"
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
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -s "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"; exit 1; }

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.txt" 2>&1 &
pids+=($!)
jackd -n "$server" -r -d dummy -r 44100 -p 1024 > "$work/jack.txt" 2>&1 &
pids+=($!)
export DISPLAY="$display" JACK_DEFAULT_SERVER="$server" SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry > /dev/null 2>&1 || fail "Xvfb did not start"
sleep 0.5  # the JACK server opens its dummy device
# A machine whose JACK cannot start one more server (its shared registry is full) cannot run
# this test at all, as if jackd were missing; any other early end of the server is a failure.
jack_pid=${pids[1]}
if ! kill -0 "$jack_pid" 2> /dev/null; then
  grep -q "Too many servers" "$work/jack.txt" &&
    { echo "skipped: JACK cannot start another server ($(head -n 1 "$work/jack.txt"))"; exit 77; }
  fail "the JACK server did not start: $(head -n 1 "$work/jack.txt")"
fi

cd "$work" && mkdir -p seq wav presets
"$bin" > out.txt 2> err.txt &
prog=$!
pids+=($prog)
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^ZORBEL$' | head -n 1)
[ -n "$window" ] || fail "no ZORBEL window appeared"
xdotool windowfocus --sync "$window" 2> /dev/null || true
sleep 1

# The pixel inside the cell of step 0, track 0 (the cursor's cell), as "R G B".
cell_pixel() {
  import -window "$window" "$1" 2> /dev/null || return 1
  step_pixel "$1" 0
}
# The pixel inside the cell of step $2 of track 0 in the screenshot $1, as "R G B".
step_pixel() {
  local s=$2 x
  x=$(( 265 + 5 * s + 3 * (s >> 3) + 3 * (s >> 4) + 3 * (s >> 5) + 1 ))
  convert "$1" -format "%[fx:int(255*p{$x,225}.r)] %[fx:int(255*p{$x,225}.g)] %[fx:int(255*p{$x,225}.b)]" info:
}
frame_pixel() {
  convert "$1" -format '%[fx:int(255*p{265,224}.r)] %[fx:int(255*p{265,224}.g)] %[fx:int(255*p{265,224}.b)]' info:
}
read -r r g b <<< "$(cell_pixel before.png)" || fail "no screenshot"
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

xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
for _ in $(seq 50); do kill -0 "$prog" 2> /dev/null || break; sleep 0.1; done
kill -0 "$prog" 2> /dev/null && fail "Esc did not end the program"
wait "$prog"; status=$?
pids=("${pids[@]/$prog}")
[ "$status" -eq 0 ] || fail "exit status $status"
# Only the program's own messages: none of the sound libraries' probing noise.
grep -q -E "ALSA lib|Cannot connect|jack server" err.txt out.txt && fail "sound library noise on the terminal"
echo "PASS: grid drawn, H made a hit, 150 ms taps put kicks on 0, 8, 16, 24, the pointer stays free, Esc ended with status 0"
