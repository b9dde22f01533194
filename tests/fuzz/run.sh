#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/, makes small seed
# corpora with the real ffmpeg, lame and oggenc, runs every target for the
# given number of seconds and reports what each found.
#   tests/fuzz/run.sh [seconds-per-target]
# Exits non-zero when a target crashed, hung, leaked or failed to run.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build-fuzz"
corpus="$build/corpus"
artifacts="$build/artifacts"
targets=(fuzz_ini fuzz_paths fuzz_decoder fuzz_tags)

echo "== fuzz build (clang, libFuzzer, ASan, UBSan)"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DSONBRIDGE_FUZZ=ON -DSONBRIDGE_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${SONBRIDGE_JOBS:-2}" --target "${targets[@]}"

# Private temporary folders of the targets; a crashed run leaves its own.
rm -rf "$build/tmp"
mkdir -p "$artifacts" "$build/tmp"
for t in "${targets[@]}"; do mkdir -p "$corpus/$t"; done

# Seeds: generated on each run, never committed. Each decoder seed starts
# with the byte that picks its extension (wav, mp3, ogg, flac, raw, vox).
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
ff=(ffmpeg -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:duration=0.2" -bitexact)
"${ff[@]}" -ac 2 -ar 8000 "$seeds/s16.wav"
"${ff[@]}" -ac 1 -ar 8000 -c:a pcm_u8 "$seeds/u8.wav"
"${ff[@]}" -ac 1 -ar 8000 -c:a adpcm_ima_wav "$seeds/ima.wav"
"${ff[@]}" -ac 2 -ar 8000 -c:a flac "$seeds/tone.flac"
"${ff[@]}" -ac 2 -ar 8000 -f s16le "$seeds/tone.raw"
lame --quiet -b 32 "$seeds/s16.wav" "$seeds/tone.mp3"
oggenc --quiet -q 0 -o "$seeds/tone.ogg" "$seeds/s16.wav"
# Chained Ogg: a second stream with its own serial number and rate.
"${ff[@]}" -ac 1 -ar 22050 "$seeds/mono.wav"
oggenc --quiet -q 0 --serial 7 -o "$seeds/mono.ogg" "$seeds/mono.wav"
cat "$seeds/tone.ogg" "$seeds/mono.ogg" >"$seeds/chained.ogg"
d="$corpus/fuzz_decoder"
seed() { { printf "\\x$1"; cat "$2"; } >"$d/seed-$(basename "$2")"; }
seed 00 "$seeds/s16.wav"
seed 06 "$seeds/u8.wav"
seed 0c "$seeds/ima.wav"
seed 01 "$seeds/tone.mp3"
seed 02 "$seeds/tone.ogg"
seed 08 "$seeds/chained.ogg"
seed 03 "$seeds/tone.flac"
seed 04 "$seeds/tone.raw"
head -c 200 "$seeds/tone.raw" | { printf '\x05'; cat; } >"$d/seed-tone.vox"

# Tagged sources, each with the byte that picks its extension (mp3, flac,
# m4a, ogg, opus, wav, ape, wv) plus 8 times the output (mp3, ogg, wav).
"${ff[@]}" -f lavfi -i "color=c=red:s=8x8" -frames:v 1 -c:v png "$seeds/cover.png"
tags=(-metadata title="Tïtle 題名" -metadata artist="Ärtist" -metadata album=Album
  -metadata track=3/12 -metadata disc=1/2 -metadata date=2021 -metadata genre=Jazz
  -metadata comment="A comment" -metadata composer=Composer -metadata album_artist=Various)
cover=(-i "$seeds/cover.png" -map 0:a -map 1:v -c:v copy -disposition:v attached_pic)
"${ff[@]}" "${cover[@]}" -ac 1 -ar 8000 -c:a libmp3lame -id3v2_version 3 -write_id3v1 1 \
  "${tags[@]}" "$seeds/tagged.mp3"
"${ff[@]}" "${cover[@]}" -ac 1 -ar 8000 -c:a flac "${tags[@]}" "$seeds/tagged.flac"
"${ff[@]}" "${cover[@]}" -ac 1 -ar 8000 -c:a aac "${tags[@]}" "$seeds/tagged.m4a"
"${ff[@]}" -ac 1 -ar 8000 -c:a libvorbis "${tags[@]}" "$seeds/tagged.ogg"
"${ff[@]}" -ac 1 -ar 8000 -c:a libopus "${tags[@]}" "$seeds/tagged.opus"
"${ff[@]}" -ac 1 -ar 8000 "${tags[@]}" "$seeds/tagged.wav"
"${ff[@]}" -ac 1 -ar 8000 -c:a wavpack "${tags[@]}" "$seeds/tagged.wv"
d="$corpus/fuzz_tags"
seed 00 "$seeds/tagged.mp3"
seed 09 "$seeds/tagged.flac"
seed 12 "$seeds/tagged.m4a"
seed 03 "$seeds/tagged.ogg"
seed 0c "$seeds/tagged.opus"
seed 15 "$seeds/tagged.wav"
seed 07 "$seeds/tagged.wv"
{ printf '\x0e'; cat "$seeds/tagged.wv"; } >"$d/seed-wv-as.ape"

d="$corpus/fuzz_ini"
printf '[Main]\n0=1\n1=1\n2=/home/user/Documents/Sonbridge/Output\n3=160\n4=1\n5=1\n6=44100\n' \
  >"$d/seed-defaults"
printf '\xEF\xBB\xBF; comment\r\n[Other]\r\nx = "quoted"\r\n\r\n[ main ]\r\n3=128kbps\r\n6=22050.5\r\n' \
  >"$d/seed-crlf"
printf '[Main]\n4=-1\n5=1e3\n\0main\n6\n 48000 \n' >"$d/seed-set"
printf '#x=1\n[a]]\n=\n[Main\n3=\t-0.5e+1\n' >"$d/seed-odd"
printf '[Main]\n3=1e-40\n6=+.5E307\n\0Main\n0\n  -32768.5e0  \n' >"$d/seed-numbers"

d="$corpus/fuzz_paths"
printf '\x03Song.flac\nOut' >"$d/seed-dest"
printf '\x01 My Song .tar.gz\n' >"$d/seed-same"
printf '\xb3a/b/.hidden\nx//y/' >"$d/seed-taken"
printf '\x47Music/..mp3\nOut/' >"$d/seed-dots"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TMPDIR="$build/tmp"
failed=0
report=()
for t in "${targets[@]}"; do
  echo "== $t: ${seconds}s"
  log="$build/$t.log"
  # A hang of 20 s, one allocation over 512 MB or a process over 2 GB counts
  # as a finding: a damaged file must neither stall nor take all memory.
  start=$SECONDS
  set +e
  "$build/tests/fuzz/$t" "$corpus/$t" -max_total_time="$seconds" -timeout=20 \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$t-" >"$log" 2>&1
  rc=$?
  set -e
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  took=$((SECONDS - start))
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  found="none"
  if [ "$rc" -ne 0 ]; then
    failed=1
    found="$(grep -m1 -E 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|runtime error|SUMMARY' "$log" || true)"
    [ -n "$found" ] || found="exit code $rc"
    unit="$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)"
    [ -n "$unit" ] && found="$found; input: $unit"
    tail -40 "$log"
  fi
  report+=("$t: ${runs:-0} executions in ${took} s (${speed:-?} exec/s), exit $rc, found: $found")
done

echo "== fuzz report (logs in $build/*.log)"
printf '%s\n' "${report[@]}"
exit "$failed"
