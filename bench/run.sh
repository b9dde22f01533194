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
# and, in the same rounds, each other format against its own floor of N
# parallel processes of the usual encoder on the same files:
#   ogg        -f ogg -b 128             oggenc --bitrate=128
#   flac       -f flac (compression 5)   flac -5
#   opus       -f opus -b 128            opusenc --bitrate 128 (both resample to 48 kHz)
#   aac        -f aac -b 192 (.m4a)      ffmpeg -c:a aac -b:a 192k
#   alac       -f alac (.m4a)            ffmpeg -c:a alac
#   wavpack    -f wavpack (.wv)          ffmpeg -c:a wavpack
# Beside FLAC's floor, flac -5 -V (flac decoding each frame again to verify
# it) shows what a verified encode costs, as ours decodes its file again.
# Each round runs them all back to back, so they see the same load; a ratio is
# the median over the rounds of (time / the floor's time in the same round).
# Then sonbridge-cli -j 2 converts the one-hour and the ten-minute file
# together, under /usr/bin/time, for the peak memory.
# Targets are printed PASS/MISS; a miss does not fail the script.
#
# Environment: BENCH_BUILD_DIR (default build-bench in the repo), BENCH_REPS (5),
# BENCH_CLI (a sonbridge-cli to time instead of building one), BENCH_SHORT_ONLY=1
# (only the 500 short files), BENCH_FORMATS (the formats to time, default
# "mp3 ogg flac opus aac alac wavpack"; without mp3 the MP3 rows, the short
# files and the memory run are left out, e.g. BENCH_FORMATS="flac opus").
# Per-format arrays are declared by name and reached through namerefs:
# shellcheck disable=SC2154,SC2178
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/bench/out
BUILD=${BENCH_BUILD_DIR:-$ROOT/build-bench}
REPS=${BENCH_REPS:-5}
N=$(nproc)
CORPUS=$OUT/corpus
LONG=$OUT/long
ALL_FORMATS="mp3 ogg flac opus aac alac wavpack"
read -r -a FORMATS <<<"${BENCH_FORMATS:-$ALL_FORMATS}"
for f in "${FORMATS[@]}"; do
  [[ " $ALL_FORMATS " == *" $f "* ]] || { echo "BENCH_FORMATS: unknown format '$f' ($ALL_FORMATS)" >&2; exit 2; }
done
timing() { [[ " ${FORMATS[*]} " == *" $1 "* ]]; }
MP3=false
timing mp3 && MP3=true
OTHER_FORMATS=()
for f in "${FORMATS[@]}"; do [ "$f" = mp3 ] || OTHER_FORMATS+=("$f"); done

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
if [ "${BENCH_SHORT_ONLY:-}" != 1 ] && $MP3; then
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
check_outputs() {  # dir name [extension]: every corpus file has a non-empty output
  local f base ext=${3:-mp3}
  for f in "${FILES[@]}"; do
    base=$(basename "$f" .wav)
    if [ ! -s "$1/$base.$ext" ]; then
      echo "$2 did not write $1/$base.$ext" >&2
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

# --- each format against its own floor -------------------------------------------
# One line per format: id | name | extension | our options (the defaults of our
# table: FLAC compression 5, Opus 128 kbps, AAC 192 kbps) | the floor's name |
# the floor's command for one file, run by sh with $1 the WAV and $o the output.
# shellcheck disable=SC2016
FORMAT_TABLE='
mp3|MP3|mp3|'"${CLI_ARGS[*]}"'|lame|lame $LAME_LINE - "$o" <"$1"
ogg|Ogg Vorbis|ogg|-f ogg --mode bitrate -b 128 -r 44100 --stereo|oggenc -b 128|oggenc -Q --bitrate=128 -o "$o" "$1"
flac|FLAC|flac|-f flac --compression 5|flac -5|flac -5 -s -f -o "$o" "$1"
opus|Opus|opus|-f opus -b 128|opusenc --bitrate 128|opusenc --quiet --bitrate 128 "$1" "$o"
aac|AAC|m4a|-f aac -b 192|ffmpeg aac 192k|ffmpeg -nostdin -v error -y -i "$1" -c:a aac -b:a 192k "$o"
alac|ALAC|m4a|-f alac|ffmpeg alac|ffmpeg -nostdin -v error -y -i "$1" -c:a alac "$o"
wavpack|WavPack|wv|-f wavpack|ffmpeg wavpack|ffmpeg -nostdin -v error -y -i "$1" -c:a wavpack "$o"
'
declare -A FMT_NAME FMT_EXT FMT_OURS FMT_FLOOR_NAME FMT_FLOOR FMT_VERIFY_NAME FMT_VERIFY
# A verifying reference, timed beside the floor: name | command, as above.
# shellcheck disable=SC2016
FMT_VERIFY_NAME[flac]='flac -5 -V' FMT_VERIFY[flac]='flac -5 -V -s -f -o "$o" "$1"'
while IFS='|' read -r id name ext ours floor_name floor; do
  [ -n "$id" ] || continue
  FMT_NAME[$id]=$name FMT_EXT[$id]=$ext FMT_OURS[$id]=$ours
  FMT_FLOOR_NAME[$id]=$floor_name FMT_FLOOR[$id]=$floor
done <<<"$FORMAT_TABLE"
# Per format: times and CPU seconds of ours and of the floor, one entry a round.
for f in "${FORMATS[@]}"; do
  declare -a "OURS_$f=()" "FLOOR_$f=()" "OURS_CPU_$f=()" "FLOOR_CPU_$f=()" "VERIFY_$f=()" "VERIFY_CPU_$f=()"
done

# The floor's script for xargs: sh gets the output folder as $0, the WAV as $1.
floor_script() {  # format [command, default the floor's]
  echo "o=\"\$0/\$(basename \"\$1\" .wav).${FMT_EXT[$1]}\"; ${2:-${FMT_FLOOR[$1]}} >/dev/null 2>&1"
}

run_format_floor() {  # format [verify: the verifying reference instead of the floor]
  local f=$1 dir=$OUT/floor-$1 t0 into=FLOOR command=${FMT_FLOOR[$1]} name=${FMT_FLOOR_NAME[$1]}
  if [ "${2:-}" = verify ]; then
    into=VERIFY command=${FMT_VERIFY[$f]} name=${FMT_VERIFY_NAME[$f]}
  fi
  local -n times=${into}_$f cpu=${into}_CPU_$f
  fresh_dir "$dir"
  t0=$(now)
  printf '%s\0' "${FILES[@]}" | /usr/bin/time -f '%U %S' -o "$OUT/cpu.txt" xargs -0 -n 1 -P "$N" \
    sh -c "$(floor_script "$f" "$command")" "$dir"
  times+=("$(elapsed "$t0" "$(now)")")
  cpu+=("$(cpu_seconds)")
  check_outputs "$dir" "$name through xargs -P $N" "${FMT_EXT[$f]}"
}

run_format_ours() {  # format
  local f=$1 dir=$OUT/ours-$1 t0 args
  local -n times=OURS_$f cpu=OURS_CPU_$f
  read -r -a args <<<"${FMT_OURS[$f]}"
  fresh_dir "$dir"
  t0=$(now)
  if ! /usr/bin/time -f '%U %S' -o "$OUT/cpu.txt" \
    "$CLI" --no-settings "${args[@]}" -j "$N" -o "$dir" "${FILES[@]}" \
    >"$OUT/ours.log" 2>"$OUT/ours.err"; then
    cat "$OUT/ours.log" "$OUT/ours.err" >&2
    echo "sonbridge-cli ${FMT_OURS[$f]} did not convert every file" >&2
    exit 1
  fi
  times+=("$(elapsed "$t0" "$(now)")")
  cpu+=("$(cpu_seconds)")
  check_outputs "$dir" "sonbridge-cli ${FMT_OURS[$f]}" "${FMT_EXT[$f]}"
}

# --- 500 short files: per-file costs ------------------------------------------
SHORT_LINE=
if $MP3 || [ "${BENCH_SHORT_ONLY:-}" = 1 ]; then
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
      printf '%s\0' "${SHORT_FILES[@]}" | xargs -0 -n 1 -P "$N" sh -c "$(floor_script mp3)" "$dir"
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
fi

# --- eight files, interleaved rounds ------------------------------------------
OURS1=() OURSN=() GAPS=() LAME=() SC=() FFMPEG=() OURS48=()
OURSN_CPU=() OURS48_CPU=()
LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Timing 8 x 60 s stereo WAV to ${FORMATS[*]}, $REPS rounds, N = $N" \
  "(load average now: $LOAD_BEFORE)"
for ((r = 1; r <= REPS; r++)); do
  if $MP3; then
    run_format_floor mp3
    run_ours "$N" OURSN
    GAPS+=("$LAST_GAP")
    OURSN_CPU+=("$LAST_CPU")
    run_ours "$N" OURS48 FILES48
    OURS48_CPU+=("$LAST_CPU")
    run_sc
    run_ffmpeg
    run_lame
    run_ours 1 OURS1
    echo "  round $r: floor ${FLOOR_mp3[-1]} s, ours -j $N ${OURSN[-1]} s (gap ${GAPS[-1]} ms)," \
      "soundconverter ${SC[-1]} s, ffmpeg ${FFMPEG[-1]} s, lame ${LAME[-1]} s, ours -j 1 ${OURS1[-1]} s," \
      "ours 48k -j $N ${OURS48[-1]} s; CPU: floor ${FLOOR_CPU_mp3[-1]} s, ours ${OURSN_CPU[-1]} s, 48k ${OURS48_CPU[-1]} s"
  fi
  for f in "${OTHER_FORMATS[@]}"; do
    run_format_floor "$f"
    [ -n "${FMT_VERIFY[$f]:-}" ] && run_format_floor "$f" verify
    run_format_ours "$f"
    declare -n floor_times=FLOOR_$f ours_times=OURS_$f floor_cpu=FLOOR_CPU_$f ours_cpu=OURS_CPU_$f
    echo "  round $r, $f: floor ${floor_times[-1]} s, ours -j $N ${ours_times[-1]} s;" \
      "CPU: floor ${floor_cpu[-1]} s, ours ${ours_cpu[-1]} s"
    if [ -n "${FMT_VERIFY[$f]:-}" ]; then
      declare -n verify_times=VERIFY_$f verify_cpu=VERIFY_CPU_$f
      echo "    ${FMT_VERIFY_NAME[$f]}: ${verify_times[-1]} s, CPU ${verify_cpu[-1]} s"
      unset -n verify_times verify_cpu
    fi
    unset -n floor_times ours_times floor_cpu ours_cpu
  done
done

paired_ratio() {  # times base (array names): median over rounds of time / base's time that round
  local -n times=$1 base=$2
  local i out=()
  for ((i = 0; i < ${#base[@]}; i++)); do
    out+=("$(awk -v a="${times[i]}" -v b="${base[i]}" 'BEGIN { printf "%.3f", a / b }')")
  done
  printf '%.2f' "$(median "${out[@]}")"
}
if $MP3; then
  oursN_ratio=$(paired_ratio OURSN FLOOR_mp3)
  sc_ratio=$(paired_ratio SC FLOOR_mp3)
  ffmpeg_ratio=$(paired_ratio FFMPEG FLOOR_mp3)
  lame_ratio=$(paired_ratio LAME FLOOR_mp3)
  ours1_ratio=$(paired_ratio OURS1 FLOOR_mp3)
  ours1_to_lame=$(paired_ratio OURS1 LAME)
  ours48_ratio=$(paired_ratio OURS48 FLOOR_mp3)
  cpu48_ratio=$(paired_ratio OURS48_CPU OURSN_CPU)
  cpu_own_ratio=$(paired_ratio OURSN_CPU FLOOR_CPU_mp3)
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
fi

# --- report -------------------------------------------------------------------
echo
echo "$REPS rounds, N = $N; ratio = median of (time / the floor's time in the same round);" \
  "load average before the rounds $LOAD_BEFORE, after $(cut -d' ' -f1-3 /proc/loadavg)"
printf '  %-46s %9s %9s %9s %9s\n' "" "best" "median" "ratio" "CPU ratio"
row() { printf '  %-46s %7s s %7s s %8sx %9s\n' "$1" "$(minimum "${!2}")" "$(median "${!2}")" "$3" "${4:-}"; }
if $MP3; then
  row "floor: lame through xargs -P $N" 'FLOOR_mp3[@]' "1.00"
  row "Sonbridge sonbridge-cli -j $N" 'OURSN[@]' "$oursN_ratio" "${cpu_own_ratio}x"
  row "SoundConverter -b -j $N" 'SC[@]' "$sc_ratio"
  row "ffmpeg libmp3lame, $N at once" 'FFMPEG[@]' "$ffmpeg_ratio"
  row "bare lame, one after another" 'LAME[@]' "$lame_ratio"
  row "Sonbridge sonbridge-cli -j 1" 'OURS1[@]' "$ours1_ratio"
  row "Sonbridge -j $N, 48 kHz sources to 44.1" 'OURS48[@]' "$ours48_ratio"
fi
declare -A FMT_RATIO FMT_CPU_RATIO
for f in "${OTHER_FORMATS[@]}"; do
  FMT_RATIO[$f]=$(paired_ratio "OURS_$f" "FLOOR_$f")
  FMT_CPU_RATIO[$f]=$(paired_ratio "OURS_CPU_$f" "FLOOR_CPU_$f")
  row "floor: ${FMT_FLOOR_NAME[$f]} through xargs -P $N" "FLOOR_${f}[@]" "1.00"
  [ -n "${FMT_VERIFY[$f]:-}" ] &&
    row "verifying: ${FMT_VERIFY_NAME[$f]} through xargs -P $N" "VERIFY_${f}[@]" \
      "$(paired_ratio "VERIFY_$f" "FLOOR_$f")" "$(paired_ratio "VERIFY_CPU_$f" "FLOOR_CPU_$f")x"
  row "Sonbridge -f $f -j $N" "OURS_${f}[@]" "${FMT_RATIO[$f]}" "${FMT_CPU_RATIO[$f]}x"
done
echo "  (CPU ratio: user + system seconds of sonbridge-cli and its encoders against the floor's)"
if $MP3; then
  echo "  sonbridge-cli -j 1 against bare lame: ${ours1_to_lame}x"
  echo "  CPU time, ours -j $N against lame's alone (xargs): ${cpu_own_ratio}x" \
    "(rounds: ${OURSN_CPU[*]} s against ${FLOOR_CPU_mp3[*]} s)"
  echo "  CPU time, 48 kHz sources resampled to 44.1 against 44.1 kHz sources: ${cpu48_ratio}x"
  echo "  longest event-loop gap during the -j $N runs: $gap_ms ms (worst round)"
  echo "  peak memory, -j 2 on the one-hour and ten-minute files: $mem_mb MiB ($long_s s)"
fi
echo
echo "Targets"
if $MP3; then
  echo "  $(verdict "$oursN_ratio <= 1.10") $N jobs within 1.10x of the xargs -P $N floor (${oursN_ratio}x)"
  echo "  $(verdict "$oursN_ratio <= $sc_ratio") $N jobs not slower than SoundConverter -j $N" \
    "(${oursN_ratio}x against ${sc_ratio}x)"
  echo "  $(verdict "$cpu48_ratio <= 1.10") resampling 48 -> 44.1 kHz within 10% of the CPU without (${cpu48_ratio}x)"
  echo "  $(verdict "$ours1_to_lame <= 1.05") 1 job within 1.05x of bare lame (${ours1_to_lame}x)"
  echo "  $(verdict "$gap_ms < 20") longest event-loop gap under 20 ms ($gap_ms ms)"
  echo "  $(verdict "$mem_mb < 80") peak memory under 80 MB with 2 jobs ($mem_mb MiB)"
  echo "  $SHORT_LINE"
fi
for f in "${OTHER_FORMATS[@]}"; do
  echo "  $(verdict "${FMT_RATIO[$f]} <= 1.05") ${FMT_NAME[$f]}: $N jobs within 1.05x of ${FMT_FLOOR_NAME[$f]}" \
    "through xargs -P $N (${FMT_RATIO[$f]}x)"
done
