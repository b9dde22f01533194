#!/usr/bin/env bash
# The conversion benchmark. Makes a corpus in bench/out/, builds sonbridge-cli
# in Release (no window is built), then times on the same eight WAV files, to
# MP3 128 kbps, side by side in one run:
#   ours 1     sonbridge-cli -j 1
#   ours N     sonbridge-cli -j N (N = processor cores), with its event-loop gap
#   lame       bare lame with our exact command line, one file after another
#   lame xN    the same through xargs -P N: the floor for N cores
#   sc N       SoundConverter's batch mode, -j N
#   ffmpeg xN  ffmpeg with libmp3lame, N processes at once
#   ours 48k   sonbridge-cli -j N on the same eight tracks made at 48 kHz, to
#              MP3 at 44.1 kHz: its CPU time (with lame's) against the -j N
#              run, which needs no resampling
#   short      500 files of 0.2 s: sonbridge-cli -j N against lame through
#              xargs -P N, where per-file costs (a thread, the check, tags,
#              fsync, rename) show
# Each round runs all six back to back, so they see the same load; a ratio is
# the median over the rounds of (time / the floor's time in the same round).
# Then sonbridge-cli -j 2 converts the one-hour and the ten-minute file
# together, under /usr/bin/time, for the peak memory.
# Targets are printed PASS/MISS; a miss does not fail the script.
#
# Environment: BENCH_BUILD_DIR (default build-bench in the repo), BENCH_REPS (5),
# BENCH_CLI (a sonbridge-cli to time instead of building one), BENCH_SHORT_ONLY=1
# (only the 500 short files).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/bench/out
BUILD=${BENCH_BUILD_DIR:-$ROOT/build-bench}
REPS=${BENCH_REPS:-5}
N=$(nproc)
CORPUS=$OUT/corpus
LONG=$OUT/long

# --- packages -------------------------------------------------------------
source "$ROOT/scripts/install-deps.sh"
SONBRIDGE_PACKAGES+=(soundconverter gstreamer1.0-plugins-ugly gstreamer1.0-plugins-good time)
sonbridge_install_deps

# --- corpus -----------------------------------------------------------------
# Stereo 44.1 kHz 16-bit: a different tone and noise on each side, so the
# encoder has real work and joint stereo can't collapse the channels.
make_wav() {  # path seconds seed [rate]
  local path=$1 seconds=$2 seed=$3 rate=${4:-44100}
  [ -s "$path" ] && return 0
  ffmpeg -nostdin -v error -y \
    -f lavfi -i "sine=frequency=$((220 + seed * 55)):sample_rate=$rate:duration=$seconds" \
    -f lavfi -i "anoisesrc=color=pink:sample_rate=$rate:amplitude=0.25:duration=$seconds:seed=$seed" \
    -f lavfi -i "sine=frequency=$((330 + seed * 40)):sample_rate=$rate:duration=$seconds" \
    -f lavfi -i "anoisesrc=color=white:sample_rate=$rate:amplitude=0.1:duration=$seconds:seed=$((seed + 100))" \
    -filter_complex "[0][1]amix=inputs=2:normalize=0[l];[2][3]amix=inputs=2:normalize=0[r];[l][r]join=inputs=2:channel_layout=stereo" \
    -c:a pcm_s16le "$path.part.wav"
  mv "$path.part.wav" "$path"
}

CORPUS48=$OUT/corpus48
mkdir -p "$CORPUS" "$CORPUS48" "$LONG"
echo "Making the corpus in $OUT (kept for later runs)"
FILES=() FILES48=()
for i in 1 2 3 4 5 6 7 8; do
  [ "${BENCH_SHORT_ONLY:-}" = 1 ] && break
  make_wav "$CORPUS/track$i.wav" 60 "$i"
  make_wav "$CORPUS48/track$i.wav" 60 "$i" 48000
  FILES+=("$CORPUS/track$i.wav")
  FILES48+=("$CORPUS48/track$i.wav")
done
if [ "${BENCH_SHORT_ONLY:-}" != 1 ]; then
  make_wav "$LONG/ten-minutes.wav" 600 21
  make_wav "$LONG/one-hour.wav" 3600 22
fi

# --- the command line, alone --------------------------------------------------
if [ -n "${BENCH_CLI:-}" ]; then
  CLI=$BENCH_CLI
else
  echo "Building sonbridge-cli (Release) in $BUILD"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DSONBRIDGE_TESTS=OFF >/dev/null
  cmake --build "$BUILD" -j2 --target sonbridge-cli >/dev/null
  CLI=$BUILD/sonbridge-cli
fi
# The same settings as the bare lame line below: -h -ms -b128 -s44.1 --resample 44.1.
CLI_ARGS=(--no-settings -f mp3 -b 128 -r 44100 --stereo)
LAME_ARGS=(-h -ms -b128 -s44.1 --resample 44.1)

# --- helpers ------------------------------------------------------------------
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
maximum() { printf '%s\n' "$@" | sort -g | tail -n 1; }
minimum() { printf '%s\n' "$@" | sort -g | head -n 1; }
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
export LAME_LINE="${LAME_ARGS[*]}"

cpu_seconds() { awk '{ printf "%.2f", $1 + $2 }' "$OUT/cpu.txt"; }

run_ours() {  # jobs times (array name) [source files (array name)]
  local jobs=$1 dir=$OUT/ours-$1 t0 t1
  local -n into=$2 sources=${3:-FILES}
  fresh_dir "$dir"
  t0=$(now)
  # User and system time of sonbridge-cli and the encoders it waited for.
  if ! /usr/bin/time -f '%U %S' -o "$OUT/cpu.txt" \
    "$CLI" "${CLI_ARGS[@]}" -j "$jobs" --report-loop-gap -o "$dir" "${sources[@]}" \
    >"$OUT/ours.log" 2>"$OUT/ours.err"; then
    cat "$OUT/ours.log" "$OUT/ours.err" >&2
    echo "sonbridge-cli did not convert every file" >&2
    exit 1
  fi
  t1=$(now)
  check_outputs "$dir" "sonbridge-cli -j $jobs"
  into+=("$(elapsed "$t0" "$t1")")
  LAST_CPU=$(cpu_seconds)
  LAST_GAP=$(sed -n 's/^longest event-loop gap: \([0-9.]*\) ms$/\1/p' "$OUT/ours.err")
}

run_lame() {
  local dir=$OUT/lame t0 f
  fresh_dir "$dir"
  t0=$(now)
  for f in "${FILES[@]}"; do
    lame "${LAME_ARGS[@]}" - "$dir/$(basename "$f" .wav).mp3" <"$f" >/dev/null 2>&1
  done
  LAME+=("$(elapsed "$t0" "$(now)")")
  check_outputs "$dir" lame
}

run_lame_parallel() {
  local dir=$OUT/lame-parallel t0
  fresh_dir "$dir"
  t0=$(now)
  # shellcheck disable=SC2016
  printf '%s\0' "${FILES[@]}" | /usr/bin/time -f '%U %S' -o "$OUT/cpu.txt" xargs -0 -n 1 -P "$N" \
    sh -c 'lame $LAME_LINE - "$0/$(basename "$1" .wav).mp3" <"$1" >/dev/null 2>&1' "$dir"
  FLOOR+=("$(elapsed "$t0" "$(now)")")
  FLOOR_CPU+=("$(cpu_seconds)")
  check_outputs "$dir" "lame through xargs -P $N"
}

run_sc() {
  local dir=$OUT/soundconverter t0
  fresh_dir "$dir"
  t0=$(now)
  soundconverter -b -f mp3 -m cbr -q 128 -j "$N" -o "$dir" "${FILES[@]}" \
    </dev/null >"$OUT/soundconverter.log" 2>&1
  SC+=("$(elapsed "$t0" "$(now)")")
  check_outputs "$dir" soundconverter
}

run_ffmpeg() {
  local dir=$OUT/ffmpeg t0
  fresh_dir "$dir"
  t0=$(now)
  # shellcheck disable=SC2016
  printf '%s\0' "${FILES[@]}" | xargs -0 -n 1 -P "$N" sh -c \
    'ffmpeg -nostdin -v error -y -i "$1" -c:a libmp3lame -b:a 128k "$0/$(basename "$1" .wav).mp3"' \
    "$dir"
  FFMPEG+=("$(elapsed "$t0" "$(now)")")
  check_outputs "$dir" ffmpeg
}

# --- 500 short files: per-file costs ------------------------------------------
SHORT=$OUT/short
if [ "$(find "$SHORT" -name '*.wav' 2>/dev/null | wc -l)" -ne 500 ]; then
  rm -rf "$SHORT" && mkdir -p "$SHORT"
  make_wav "$OUT/hundred-seconds.wav" 100 31
  ffmpeg -nostdin -v error -i "$OUT/hundred-seconds.wav" -f segment -segment_time 0.2 \
    -c copy "$SHORT/short%03d.wav"
fi
SHORT_FILES=("$SHORT"/short*.wav)
run_short() {  # times (array name) ours|floor
  local -n into=$1
  local dir=$OUT/short-$2 t0
  fresh_dir "$dir"
  t0=$(now)
  if [ "$2" = ours ]; then
    "$CLI" "${CLI_ARGS[@]}" -j "$N" -q -o "$dir" "${SHORT_FILES[@]}" >/dev/null
  else
    # shellcheck disable=SC2016
    printf '%s\0' "${SHORT_FILES[@]}" | xargs -0 -n 1 -P "$N" \
      sh -c 'lame $LAME_LINE - "$0/$(basename "$1" .wav).mp3" <"$1" >/dev/null 2>&1' "$dir"
  fi
  into+=("$(elapsed "$t0" "$(now)")")
  [ "$(find "$dir" -name '*.mp3' | wc -l)" -eq 500 ] || { echo "$2 missed short files" >&2; exit 1; }
}
SHORT_OURS=() SHORT_FLOOR=()
echo "Timing 500 x 0.2 s stereo WAV to MP3, $REPS rounds, N = $N" \
  "(load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
for ((r = 1; r <= REPS; r++)); do
  run_short SHORT_FLOOR floor
  run_short SHORT_OURS ours
  echo "  round $r: floor ${SHORT_FLOOR[-1]} s, ours -j $N ${SHORT_OURS[-1]} s"
done
short_ratio() {
  local i out=()
  for ((i = 0; i < ${#SHORT_FLOOR[@]}; i++)); do
    out+=("$(awk -v a="${SHORT_OURS[i]}" -v b="${SHORT_FLOOR[i]}" 'BEGIN { printf "%.3f", a / b }')")
  done
  printf '%.2f' "$(median "${out[@]}")"
}
SHORT_RATIO=$(short_ratio)
SHORT_LINE="$(verdict "$SHORT_RATIO <= 1.15") 500 files of 0.2 s, $N jobs within 1.15x of the xargs -P $N floor (${SHORT_RATIO}x)"
if [ "${BENCH_SHORT_ONLY:-}" = 1 ]; then
  echo "  $SHORT_LINE"
  exit 0
fi

# --- eight files, interleaved rounds ------------------------------------------
OURS1=() OURSN=() GAPS=() LAME=() FLOOR=() SC=() FFMPEG=() OURS48=()
OURSN_CPU=() OURS48_CPU=() FLOOR_CPU=()
echo "Timing 8 x 60 s stereo WAV to MP3 128 kbps, $REPS rounds, N = $N" \
  "(load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
for ((r = 1; r <= REPS; r++)); do
  run_lame_parallel
  run_ours "$N" OURSN
  GAPS+=("$LAST_GAP")
  OURSN_CPU+=("$LAST_CPU")
  run_ours "$N" OURS48 FILES48
  OURS48_CPU+=("$LAST_CPU")
  run_sc
  run_ffmpeg
  run_lame
  run_ours 1 OURS1
  echo "  round $r: floor ${FLOOR[-1]} s, ours -j $N ${OURSN[-1]} s (gap ${GAPS[-1]} ms)," \
    "soundconverter ${SC[-1]} s, ffmpeg ${FFMPEG[-1]} s, lame ${LAME[-1]} s, ours -j 1 ${OURS1[-1]} s," \
    "ours 48k -j $N ${OURS48[-1]} s; CPU: floor ${FLOOR_CPU[-1]} s, ours ${OURSN_CPU[-1]} s, 48k ${OURS48_CPU[-1]} s"
done

paired_ratio() {  # times base (array names): median over rounds of time / base's time that round
  local -n times=$1 base=$2
  local i out=()
  for ((i = 0; i < ${#base[@]}; i++)); do
    out+=("$(awk -v a="${times[i]}" -v b="${base[i]}" 'BEGIN { printf "%.3f", a / b }')")
  done
  printf '%.2f' "$(median "${out[@]}")"
}
oursN_ratio=$(paired_ratio OURSN FLOOR)
sc_ratio=$(paired_ratio SC FLOOR)
ffmpeg_ratio=$(paired_ratio FFMPEG FLOOR)
lame_ratio=$(paired_ratio LAME FLOOR)
ours1_ratio=$(paired_ratio OURS1 FLOOR)
ours1_to_lame=$(paired_ratio OURS1 LAME)
ours48_ratio=$(paired_ratio OURS48 FLOOR)
cpu48_ratio=$(paired_ratio OURS48_CPU OURSN_CPU)
cpu_own_ratio=$(paired_ratio OURSN_CPU FLOOR_CPU)
gap_ms=$(maximum "${GAPS[@]}")

# --- memory: the one-hour file with 2 jobs ------------------------------------
echo "Peak memory: sonbridge-cli -j 2 on the one-hour and the ten-minute file"
fresh_dir "$OUT/long-out"
t0=$(now)
/usr/bin/time -v -o "$OUT/time.log" "$CLI" "${CLI_ARGS[@]}" -j 2 -o "$OUT/long-out" \
  "$LONG/one-hour.wav" "$LONG/ten-minutes.wav" >"$OUT/long.log" 2>"$OUT/long.err" || {
  cat "$OUT/long.log" "$OUT/long.err" >&2
  echo "sonbridge-cli did not convert the long files" >&2
  exit 1
}
long_s=$(elapsed "$t0" "$(now)")
mem_mb=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$OUT/time.log")

# --- report -------------------------------------------------------------------
echo
echo "$REPS rounds, N = $N; ratio = median of (time / the floor's time in the same round)"
printf '  %-40s %9s %9s %9s\n' "" "best" "median" "ratio"
row() { printf '  %-40s %7s s %7s s %8sx\n' "$1" "$(minimum "${!2}")" "$(median "${!2}")" "$3"; }
row "floor: lame through xargs -P $N" 'FLOOR[@]' "1.00"
row "Sonbridge sonbridge-cli -j $N" 'OURSN[@]' "$oursN_ratio"
row "SoundConverter -b -j $N" 'SC[@]' "$sc_ratio"
row "ffmpeg libmp3lame, $N at once" 'FFMPEG[@]' "$ffmpeg_ratio"
row "bare lame, one after another" 'LAME[@]' "$lame_ratio"
row "Sonbridge sonbridge-cli -j 1" 'OURS1[@]' "$ours1_ratio"
row "Sonbridge -j $N, 48 kHz sources to 44.1" 'OURS48[@]' "$ours48_ratio"
echo "  sonbridge-cli -j 1 against bare lame: ${ours1_to_lame}x"
echo "  CPU time, ours -j $N against lame's alone (xargs): ${cpu_own_ratio}x" \
  "(rounds: ${OURSN_CPU[*]} s against ${FLOOR_CPU[*]} s)"
echo "  CPU time, 48 kHz sources resampled to 44.1 against 44.1 kHz sources: ${cpu48_ratio}x"
echo "  longest event-loop gap during the -j $N runs: $gap_ms ms (worst round)"
echo "  peak memory, -j 2 on the one-hour and ten-minute files: $mem_mb MiB ($long_s s)"
echo
echo "Targets"
echo "  $(verdict "$oursN_ratio <= 1.10") $N jobs within 1.10x of the xargs -P $N floor (${oursN_ratio}x)"
echo "  $(verdict "$oursN_ratio <= $sc_ratio") $N jobs not slower than SoundConverter -j $N" \
  "(${oursN_ratio}x against ${sc_ratio}x)"
echo "  $(verdict "$cpu48_ratio <= 1.10") resampling 48 -> 44.1 kHz within 10% of the CPU without (${cpu48_ratio}x)"
echo "  $(verdict "$ours1_to_lame <= 1.05") 1 job within 1.05x of bare lame (${ours1_to_lame}x)"
echo "  $(verdict "$gap_ms < 20") longest event-loop gap under 20 ms ($gap_ms ms)"
echo "  $(verdict "$mem_mb < 80") peak memory under 80 MB with 2 jobs ($mem_mb MiB)"
echo "  $SHORT_LINE"
