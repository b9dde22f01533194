#!/bin/bash
# What ReplayGain costs: the CPU time (ours and lame's) of sonbridge-cli
# converting 8 x 60 s stereo WAV to MP3 128 kbps with and without
# --replaygain track, in alternating rounds; prints the ratio.
set -e
CLI=${CLI:-$(dirname "$0")/../build/sonbridge-cli}
ROUNDS=${ROUNDS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in 1 2 3 4 5 6 7 8; do
    ffmpeg -v error -f lavfi -i "anoisesrc=color=pink:duration=60:seed=$i" -ac 2 "$work/$i.wav"
done
cpu() {  # seconds of CPU, children included
    rm -rf "$work/out"
    /usr/bin/time -f "%U %S" -o "$work/time" "$CLI" --no-settings -q -f mp3 -b 128 -r 44100 \
        --stereo -j 2 "$@" -o "$work/out" "$work"/*.wav
    awk '{print $1 + $2}' "$work/time"
}
plain=0
gained=0
for r in $(seq "$ROUNDS"); do
    plain=$(echo "$plain + $(cpu)" | bc)
    gained=$(echo "$gained + $(cpu --replaygain track)" | bc)
done
echo "MP3 128 kbps, 8 x 60 s, -j 2, $ROUNDS rounds: CPU $plain s plain, $gained s with" \
    "--replaygain track: ratio $(echo "scale=4; $gained / $plain" | bc) (limit 1.03)"
