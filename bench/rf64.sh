#!/usr/bin/env bash
# A WAV past 4 GiB: seven hours of an 8 kHz mono tone written as 44.1 kHz
# stereo 16-bit (4.4 GB). It must be RF64 with sizes that match the file, and
# read back whole by ffprobe and sox. Writes into bench/out/rf64 (about 4.5 GB).
#   bench/rf64.sh [sonbridge-cli]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
CLI=${1:-$ROOT/build/sonbridge-cli}
OUT=$ROOT/bench/out/rf64
mkdir -p "$OUT"
[ -s "$OUT/seven-hours.flac" ] ||
  ffmpeg -nostdin -v error -y -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=25200" \
    -c:a flac "$OUT/seven-hours.flac"
rm -f "$OUT/seven-hours.wav"
"$CLI" --no-settings -f wav -w pcm16,44100,2 -o "$OUT" "$OUT/seven-hours.flac"
echo "header: $(head -c 4 "$OUT/seven-hours.wav"), $(stat -c %s "$OUT/seven-hours.wav") bytes"
echo "ffprobe: $(ffprobe -v error -show_entries stream=duration -of csv=p=0 "$OUT/seven-hours.wav") s"
echo "sox: $(sox --i -D "$OUT/seven-hours.wav") s (25200 expected)"
rm -f "$OUT/seven-hours.wav"
