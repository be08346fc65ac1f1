# The set-up the real-window tests share, sourced by them: the tools they need, an Xvfb display
# and a dummy JACK server of the test's own, and the program's window. The caller stops what it
# started (the pids are in xvfb_pid and jack_pid) and calls remove_jack_files for a killed server.

# Skips the test (status 77) when a tool is missing.
require_window_tools() {
  for tool in Xvfb xdotool jackd import convert; do
    command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
}

# start_display BASE GEOMETRY LOG: Xvfb on display BASE + (pid mod 200), exported as DISPLAY,
# waited for; its pid in xvfb_pid. False when it did not come up.
start_display() {
  export DISPLAY=":$(( $1 + $$ % 200 ))"
  Xvfb "$DISPLAY" -screen 0 "$2" -nolisten tcp > "$3" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do xdotool getdisplaygeometry > /dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# remove_jack_files NAME: a killed server leaves its semaphores and shared memory behind, and
# enough of them stop any new server ("Too many servers already active").
remove_jack_files() {
  rm -f /dev/shm/jack_sem.*_"$1"_* /dev/shm/jack_"$1"_* 2> /dev/null
}

# start_jack_server NAME LOG: a dummy JACK server named NAME at 44100 Hz in periods of 1024,
# exported as JACK_DEFAULT_SERVER and waited for; its pid in jack_pid. Skips the test (77) when
# the machine's JACK registry is full, and fails it when the server does not start otherwise.
start_jack_server() {
  export JACK_DEFAULT_SERVER="$1"
  jackd -n "$1" -r -d dummy -r 44100 -p 1024 > "$2" 2>&1 &
  jack_pid=$!
  jack_wait -s "$1" -w -t 10 > /dev/null 2>&1 || sleep 1
  if grep -q "Failed to open server" "$2" ||
     { ! kill -0 "$jack_pid" 2> /dev/null && grep -q "Too many servers" "$2"; }; then
    echo "skipped: jackd could not start a server ($(head -n 1 "$2"))"; exit 77
  fi
  kill -0 "$jack_pid" 2> /dev/null || fail "the JACK server did not start: $(head -n 1 "$2")"
}

# wait_for_window: the program's ZORBEL window, focused, in window.
wait_for_window() {
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^ZORBEL$' | head -n 1)
  [ -n "$window" ] || fail "no ZORBEL window appeared"
  xdotool windowfocus --sync "$window" 2> /dev/null || true
}
