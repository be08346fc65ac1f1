#!/bin/sh
# Runs each file-reader fuzz target for SECONDS seconds (default 60) under the address and
# undefined-behaviour sanitizers, seeded from the song, WAV, preset and custom-template files the
# project has. Usage: fuzz.sh [SECONDS [TARGET...]], TARGET one of song wav sample preset
# template (default all, one after the other); sample is the decoder for every other format. The build goes to $ZORBEL_FUZZ_BUILD (default build-fuzz
# beside the sources).
set -eu
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-song wav sample preset template}
src=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORBEL_FUZZ_BUILD:-$src/build-fuzz}
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link -g -O1"

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-22 \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" -DZORBEL_FUZZ=ON -DZORBEL_BENCH=OFF >/dev/null
ninja -C "$build" -j2 fuzz_song_loader fuzz_wav_loader fuzz_sample_decoder fuzz_preset_reader \
  fuzz_custom_template_reader zorbel-render

# Seeds: the demo songs, the start-up song and the templates saved by the renderer, a recording,
# and small hand-made WAVs.
work=$build/fuzz-run
mkdir -p "$work/song" "$work/wav" "$work/sample" "$work/preset" "$work/template" "$work/run/seq" "$work/run/wav"
for f in "$src"/seq/*.SEQ; do [ -f "$f" ] && cp "$f" "$work/song/"; done
for f in "$src"/presets/*.zbl; do [ -f "$f" ] && cp "$f" "$work/preset/"; done || true
[ -f "$src/seq/custom.zbi" ] && cp "$src/seq/custom.zbi" "$work/template/"
printf 'START_CUSTOM2\r\nFMSVF\r\nKSBD\r\nNOISE\r\nEND_CUSTOM2\r\nEND_ZORBEL_SYNTH_INIT\r\n' \
  > "$work/template/SMALL.zbi"
(cd "$work/run" && ASAN_OPTIONS=detect_leaks=0 "$build/zorbel-render" --seed 1 --blocks 1 \
  --save "$work/song/STARTUP.SEQ" -o "$work/wav/RENDER.WAV") || echo "(no rendered seeds)"
# Valid songs reach the whole loader (apply_song_image, re-encoding): every built-in template.
for t in 0 1 2 3 4; do
  (cd "$work/run" && ASAN_OPTIONS=detect_leaks=0 "$build/zorbel-render" --template $t \
    --save "$work/song/TEMPLATE$t.SEQ") || echo "(no template $t seed)"
done
wav_header() {  # channels rate bits data_bytes
  printf 'RIFF\044\000\000\000WAVEfmt \020\000\000\000\001\000'
  printf "\\$(printf %03o "$1")\\000"
  printf "\\$(printf %03o $(($2 & 255)))\\$(printf %03o $(($2 >> 8 & 255)))\\$(printf %03o $(($2 >> 16)))\\000"
  printf '\000\000\000\000\001\000'
  printf "\\$(printf %03o "$3")\\000data"
  printf "\\$(printf %03o "$4")\\000\\000\\000"
}
{ wav_header 1 22050 8 8; printf 'abcdefgh'; } > "$work/wav/MONO8.WAV"
{ wav_header 2 44100 16 8; printf '\001\000\377\377\000\200\377\177'; } > "$work/wav/STEREO16.WAV"
{ wav_header 2 8000 8 200; printf '\001\002'; } > "$work/wav/SHORT.WAV"

# The decoder's seeds: short tones in every format it reads, made with sox where it is installed.
cp "$work"/wav/*.WAV "$work/sample/"
if command -v sox >/dev/null; then
  for spec in "-b 24 T24.WAV" "-e floating-point -b 32 TF.WAV" "-b 16 T.AIFF" "-b 8 T8.AIF" \
              "-b 16 T.FLAC" "T.OGG" "-r 48000 -c 2 -b 16 T48.WAV"; do
    # shellcheck disable=SC2086
    (cd "$work/sample" && sox -q -n -r 22050 -c 1 $spec synth 0.05 sine 440) || true
  done
fi

status=0
for target in $targets; do
  case $target in
    song|wav) program=fuzz_${target}_loader ;;
    sample) program=fuzz_sample_decoder ;;
    preset) program=fuzz_preset_reader ;;
    template) program=fuzz_custom_template_reader ;;
    *) echo "unknown target $target"; exit 2 ;;
  esac
  dir=$build/corpus-$target
  mkdir -p "$dir"
  echo "== $program for ${seconds}s"
  (cd "$work/run" && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$src/scripts/lsan.supp \
    "$build/tools/$program" \
    -max_total_time="$seconds" -print_final_stats=1 -max_len=1048576 -rss_limit_mb=4096 \
    "$dir" "$work/$target") 2>"$build/fuzz_${target}.log" || status=1
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added|ERROR|SUMMARY" \
    "$build/fuzz_${target}.log" || true
done
exit $status
