#!/usr/bin/env bash
# Instructions per synth-sample of each benchmark song, counted with valgrind's callgrind.
#
#   bench/instruction_count.sh BUILD_DIR [ZORBEL_RENDER]
#
# Writes the benchmark songs with BUILD_DIR/bench/zorbel-bench-songs, renders each with
# zorbel-render (BUILD_DIR's, or the one given, e.g. an older build's) for 100 and for 300
# buffers of 1024 frames under callgrind, and prints
#   (instructions for 300 buffers - instructions for 100) / (200 x 1024 x synths),
# which leaves out loading and start-up and, unlike a time, does not depend on the machine's load.
# Set ZORBEL_CALLGRIND_KEEP=DIR to keep the callgrind files (callgrind_annotate reads them).
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 BUILD_DIR [ZORBEL_RENDER]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
render=${2:-$build/zorbel-render}
songs_tool=$build/bench/zorbel-bench-songs
command -v valgrind >/dev/null || { echo "$0: valgrind is not installed" >&2; exit 1; }
for tool in "$render" "$songs_tool"; do
  [[ -x $tool ]] || { echo "$0: $tool is missing; build it first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keep=${ZORBEL_CALLGRIND_KEEP:-}
[[ -n $keep ]] && mkdir -p "$keep"

# Instructions executed by one render of song $1 for $2 buffers.
count() {
  local out=$work/$1.$2.callgrind
  valgrind --tool=callgrind --callgrind-out-file="$out" \
    "$render" "$work/$1.SEQ" --seed 1 --blocks "$2" -o "$work/$1.WAV" >/dev/null 2>&1
  [[ -n $keep ]] && cp "$out" "$keep/"
  awk '/^(summary|totals):/ { print $2; exit }' "$out"
}

printf '%-10s %7s %15s %15s %12s\n' song synths "instr 100 buf" "instr 300 buf" "per sample"
"$songs_tool" "$work" | while read -r name synths; do
  c100=$(count "$name" 100)
  c300=$(count "$name" 300)
  per=$(awk -v a="$c100" -v b="$c300" -v n="$synths" 'BEGIN { printf "%.1f", (b - a) / (200 * 1024 * n) }')
  printf '%-10s %7d %15d %15d %12s\n' "$name" "$synths" "$c100" "$c300" "$per"
done
