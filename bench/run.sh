#!/usr/bin/env bash
# The conversion benchmark. Makes a corpus in bench/out/, builds the driver in
# Release, then times on the same eight WAV files, side by side in one run:
#   ours      the real batch run (bench_convert), MP3 128 kbps
#   lame      bare `lame -h -b128 in.wav out.mp3`, one file after another
#   sc        SoundConverter's batch mode, one job
#   ffmpeg    `ffmpeg -i in.wav -c:a libmp3lame -b:a 128k out.mp3`, one after another
# Each round runs all four back to back, so they see the same load on the
# machine; a ratio is the median over the rounds of (time / bare lame's time
# in the same round). Best and median times are shown beside it. Then the driver converts a one-hour and a
# ten-minute WAV alone to show its peak memory does not grow with the length.
# Targets are printed PASS/MISS; a miss does not fail the script.
#
# Environment: BENCH_BUILD_DIR (default build-bench in the repo), BENCH_REPS (5).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/bench/out
BUILD=${BENCH_BUILD_DIR:-$ROOT/build-bench}
REPS=${BENCH_REPS:-5}
CORPUS=$OUT/corpus
LONG=$OUT/long

# --- packages -------------------------------------------------------------
source "$ROOT/scripts/install-deps.sh"
SONBRIDGE_PACKAGES+=(soundconverter gstreamer1.0-plugins-ugly gstreamer1.0-plugins-good)
sonbridge_install_deps

# --- corpus -----------------------------------------------------------------
# Stereo 44.1 kHz 16-bit: a different tone and noise on each side, so the
# encoder has real work and joint stereo can't collapse the channels.
make_wav() {  # path seconds seed
  local path=$1 seconds=$2 seed=$3
  [ -s "$path" ] && return 0
  ffmpeg -nostdin -v error -y \
    -f lavfi -i "sine=frequency=$((220 + seed * 55)):sample_rate=44100:duration=$seconds" \
    -f lavfi -i "anoisesrc=color=pink:sample_rate=44100:amplitude=0.25:duration=$seconds:seed=$seed" \
    -f lavfi -i "sine=frequency=$((330 + seed * 40)):sample_rate=44100:duration=$seconds" \
    -f lavfi -i "anoisesrc=color=white:sample_rate=44100:amplitude=0.1:duration=$seconds:seed=$((seed + 100))" \
    -filter_complex "[0][1]amix=inputs=2:normalize=0[l];[2][3]amix=inputs=2:normalize=0[r];[l][r]join=inputs=2:channel_layout=stereo" \
    -c:a pcm_s16le "$path.part.wav"
  mv "$path.part.wav" "$path"
}

mkdir -p "$CORPUS" "$LONG"
echo "Making the corpus in $OUT (kept for later runs)"
FILES=()
for i in 1 2 3 4 5 6 7 8; do
  make_wav "$CORPUS/track$i.wav" 60 "$i"
  FILES+=("$CORPUS/track$i.wav")
done
make_wav "$LONG/ten-minutes.wav" 600 21
make_wav "$LONG/one-hour.wav" 3600 22

# --- driver -----------------------------------------------------------------
echo "Building bench_convert (Release) in $BUILD"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target bench_convert >/dev/null
DRIVER=$BUILD/bench/bench_convert

# --- helpers ------------------------------------------------------------------
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
maximum() { printf '%s\n' "$@" | sort -g | tail -n 1; }
minimum() { printf '%s\n' "$@" | sort -g | head -n 1; }
field() { sed -n "s/^$1=//p" "$2"; }  # key file
fresh_dir() { rm -rf "$1" && mkdir -p "$1"; }
check_outputs() {  # dir name: every corpus file has a non-empty .mp3
  local f base
  for f in "${FILES[@]}"; do
    base=$(basename "$f" .wav)
    if [ ! -s "$1/$base.mp3" ]; then
      echo "$2 did not write $1/$base.mp3" >&2
      exit 1
    fi
  done
}
verdict() { if awk "BEGIN { exit !($1) }"; then echo PASS; else echo MISS; fi; }

run_ours() {
  local dir=$OUT/ours log=$OUT/ours.log t0 t1
  fresh_dir "$dir"
  t0=$(now)
  if ! "$DRIVER" --out "$dir" "${FILES[@]}" >"$log" 2>"$OUT/ours.err"; then
    cat "$log" "$OUT/ours.err" >&2
    echo "the batch run did not convert every file" >&2
    exit 1
  fi
  t1=$(now)
  check_outputs "$dir" ours
  OURS+=("$(field seconds "$log")")
  OURS_PROCESS+=("$(elapsed "$t0" "$t1")")
  GAPS+=("$(field max_gap_ms "$log")")
  OURS_CPU=$(field cpu_seconds "$log") LAME_CPU=$(field encoder_cpu_seconds "$log")
}

run_lame() {
  local dir=$OUT/lame t0 f
  fresh_dir "$dir"
  t0=$(now)
  for f in "${FILES[@]}"; do
    lame --quiet -h -b128 "$f" "$dir/$(basename "$f" .wav).mp3"
  done
  LAME+=("$(elapsed "$t0" "$(now)")")
  check_outputs "$dir" lame
}

run_sc() {
  local dir=$OUT/soundconverter t0
  fresh_dir "$dir"
  t0=$(now)
  soundconverter -b -f mp3 -m cbr -q 128 -j 1 -o "$dir" "${FILES[@]}" \
    </dev/null >"$OUT/soundconverter.log" 2>&1
  SC+=("$(elapsed "$t0" "$(now)")")
  check_outputs "$dir" soundconverter
}

run_ffmpeg() {
  local dir=$OUT/ffmpeg t0 f
  fresh_dir "$dir"
  t0=$(now)
  for f in "${FILES[@]}"; do
    ffmpeg -nostdin -v error -y -i "$f" -c:a libmp3lame -b:a 128k \
      "$dir/$(basename "$f" .wav).mp3"
  done
  FFMPEG+=("$(elapsed "$t0" "$(now)")")
  check_outputs "$dir" ffmpeg
}

# --- batch: eight files, interleaved repetitions ------------------------------
OURS=() OURS_PROCESS=() GAPS=() LAME=() SC=() FFMPEG=()
echo "Timing 8 x 60 s stereo WAV to MP3 128 kbps, $REPS rounds (load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
for ((r = 1; r <= REPS; r++)); do
  run_lame
  run_ours
  run_sc
  run_ffmpeg
  echo "  round $r: lame ${LAME[-1]} s, ours ${OURS[-1]} s (process ${OURS_PROCESS[-1]} s)," \
    "soundconverter ${SC[-1]} s, ffmpeg ${FFMPEG[-1]} s, longest gap ${GAPS[-1]} ms"
done

gap_ms=$(median "${GAPS[@]}")
gap_worst_ms=$(maximum "${GAPS[@]}")
paired_ratio() {  # times... : median over rounds of time / lame's time that round
  local i out=()
  for ((i = 0; i < ${#LAME[@]}; i++)); do
    out+=("$(awk -v a="${!1:i:1}" -v b="${LAME[i]}" 'BEGIN { printf "%.3f", a / b }')")
  done
  printf '%.2f' "$(median "${out[@]}")"
}
ours_ratio=$(paired_ratio 'OURS[@]')

# --- memory: one file alone, ten minutes and one hour -------------------------
echo "Peak memory while converting one long file alone"
mem_run() {  # wav -> prints peak_rss_mb
  local dir=$OUT/long-out log=$OUT/long.log
  fresh_dir "$dir"
  if ! "$DRIVER" --out "$dir" "$1" >"$log" 2>"$OUT/long.err"; then
    cat "$log" "$OUT/long.err" >&2
    echo "the batch run did not convert $1" >&2
    exit 1
  fi
  echo "  $(basename "$1"): $(field seconds "$log") s, longest gap $(field max_gap_ms "$log") ms," \
    "resident before the run $(field rss_before_mb "$log") MiB, peak $(field peak_rss_mb "$log") MiB" >&2
  field peak_rss_mb "$log"
}
mem_short=$(mem_run "$LONG/ten-minutes.wav")
mem_hour=$(mem_run "$LONG/one-hour.wav")
mem_growth=$(awk -v a="$mem_short" -v b="$mem_hour" 'BEGIN { printf "%.1f", b - a }')

# --- report -------------------------------------------------------------------
echo
echo "$REPS rounds; ratio = median of (time / bare lame's time in the same round), lower is faster"
printf '  %-34s %9s %9s %7s\n' "" "best" "median" "ratio"
row() { printf '  %-34s %7s s %7s s %6sx\n' "$1" "$(minimum "${!2}")" "$(median "${!2}")" "$3"; }
row "bare lame -h -b128" 'LAME[@]' "1.00"
row "Sonbridge batch run (press to end)" 'OURS[@]' "$ours_ratio"
row "Sonbridge whole process" 'OURS_PROCESS[@]' "$(paired_ratio 'OURS_PROCESS[@]')"
row "SoundConverter -b, 1 job" 'SC[@]' "$(paired_ratio 'SC[@]')"
row "ffmpeg libmp3lame 128k" 'FFMPEG[@]' "$(paired_ratio 'FFMPEG[@]')"
echo "  longest event-loop gap during a batch run: $gap_ms ms (median round), $gap_worst_ms ms (worst)"
echo "  CPU time of the last batch run: $OURS_CPU s in our process, $LAME_CPU s in its lame processes"
echo "  peak memory: 10 min $mem_short MiB, 1 h $mem_hour MiB (growth $mem_growth MiB)"
echo
echo "Targets"
echo "  $(verdict "$ours_ratio <= 1.05") batch within 1.05x of bare lame ($ours_ratio x)"
echo "  $(verdict "$gap_ms < 50") longest event-loop gap under 50 ms ($gap_ms ms)"
echo "  $(verdict "$mem_hour < 80 && $mem_short < 80") peak memory under 80 MiB ($mem_hour MiB)"
echo "  $(verdict "$mem_growth < 4 && $mem_growth > -4") peak memory flat: 1 h within 4 MiB of 10 min ($mem_growth MiB)"
