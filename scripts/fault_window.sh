#!/usr/bin/env bash
# Real-window fault test: zorbel-windowed under Xvfb with a dummy JACK server gets an edit from a
# 150 ms key press, then loses its display, its sound server, or receives a signal. It must end
# within 2 s with the edit kept in seq/RECOVER.SEQ (or, after the sound server went away, keep
# running, say so, and still quit at once on Esc).
# usage: fault_window.sh DIR_WITH_ZORBEL_WINDOWED CASE [SCREEN_DIR]
#   CASE: x | jack | jackback | TERM | INT | HUP | QUIT      (exit 77: the tools are missing)
#   jackback: a new sound server comes up before Esc; the program must take it and play again.
set -uo pipefail
bin="$(cd "$1" && pwd)/zorbel-windowed"
case_name="$2"
screens="${3:-}"
source "$(dirname "${BASH_SOURCE[0]}")/window_test_env.sh"
require_window_tools

work=$(mktemp -d /tmp/zorbel-fault-XXXXXX)
server="zorbel-fault-$$"
xvfb_pid=""
jack_pid=""
prog=""
cleanup() {
  for pid in $prog $jack_pid $xvfb_pid; do kill "$pid" 2> /dev/null; wait "$pid" 2> /dev/null; done
  rm -rf "$work"
  remove_jack_files "$server"
}
trap cleanup EXIT
fail() { echo "FAIL ($case_name): $* (status ${status:-none})"; [ -s "$work/out.txt" ] && sed "s/^/  stdout: /" "$work/out.txt"; [ -s "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"; exit 1; }
# Waits up to 2 s for the program to end; its status is in $status.
ended_within_2s() {
  for _ in $(seq 20); do kill -0 "$prog" 2> /dev/null || break; sleep 0.1; done
  kill -0 "$prog" 2> /dev/null && return 1
  wait "$prog"; status=$?
  prog=""
  return 0
}
shot() {
  [ -n "$screens" ] || return 0
  mkdir -p "$screens" && import -window "$window" "$screens/$1" 2> /dev/null
}
press() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; }

start_display 300 1024x768x24 "$work/xvfb.txt" || fail "Xvfb did not start"
export SDL_AUDIODRIVER=dummy XDG_STATE_HOME="$work/state"
start_jack_server "$server" "$work/jack.txt"

cd "$work" && mkdir -p seq wav presets
"$bin" > out.txt 2> err.txt &
prog=$!
wait_for_window
sleep 1
press h  # X: a hit under the cursor, the song now differs from the start-up song
sleep 0.3

case "$case_name" in
  x)
    kill "$xvfb_pid"; wait "$xvfb_pid" 2> /dev/null; xvfb_pid=""
    ended_within_2s || fail "still running 2 s after the display went away"
    [ "$status" -ne 0 ] || fail "exit status 0 after losing the display"
    ;;
  TERM | INT | HUP | QUIT)
    kill -s "$case_name" "$prog"
    ended_within_2s || fail "still running 2 s after SIG$case_name"
    [ "$status" -ne 0 ] || fail "exit status 0 after SIG$case_name"
    grep -q "signal" err.txt || fail "no line on stderr about the signal"
    ;;
  jack | jackback)
    if grep -q "no audio device" err.txt; then echo "skipped: the sound server did not take the program"; exit 77; fi
    kill -9 "$jack_pid"
    wait "$jack_pid" 2> /dev/null; jack_pid=""
    for _ in $(seq 40); do grep -q "audio device was lost" err.txt && break; sleep 0.1; done
    grep -q "audio device was lost" err.txt || fail "the loss of the sound server was not noticed"
    kill -0 "$prog" 2> /dev/null || fail "the program ended with its sound server"
    # The loss itself writes the changed song, before any quit.
    for _ in $(seq 20); do [ -s seq/RECOVER.SEQ ] && break; sleep 0.1; done
    [ -s seq/RECOVER.SEQ ] || fail "the loss of the sound server did not write seq/RECOVER.SEQ"
    shot fault-audio-lost.png
    if [ "$case_name" = jackback ]; then
      # The killed server's files would stop a new one of the same name.
      remove_jack_files "$server"
      start_jack_server "$server" "$work/jack.txt"
      for _ in $(seq 80); do grep -q "audio device is back" err.txt && break; sleep 0.1; done
      grep -q "audio device is back" err.txt || fail "the new sound server was not taken within 8 s"
      jack_lsp -s "$server" -c 2> /dev/null | grep -q "ZORBEL:left" || fail "no ZORBEL ports on the new server"
      sleep 0.3
      shot fault-audio-back.png
      # The steps move again: two looks at the window 0.5 s apart differ.
      import -window "$window" "$work/a.png" 2> /dev/null; sleep 0.5
      import -window "$window" "$work/b.png" 2> /dev/null
      moved=$(compare -metric AE "$work/a.png" "$work/b.png" /dev/null 2>&1 | cut -d' ' -f1)
      [ "${moved:-0}" -gt 0 ] 2> /dev/null || fail "the screen stands still after the server came back"
    fi
    xdotool keydown Escape; sleep 0.15; xdotool keyup Escape
    ended_within_2s || fail "Esc did not end the program within 2 s"
    [ "$status" -eq 0 ] || fail "exit status $status after Esc"
    ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac
[ -s seq/RECOVER.SEQ ] || fail "seq/RECOVER.SEQ was not written"
echo "PASS ($case_name): ended with status $status, the edit kept in seq/RECOVER.SEQ"
