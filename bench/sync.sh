#!/bin/sh
# A nightly sync over a library whose outputs all exist: sonbridge-cli with
# --existing skip over 10,000 sources must end within 5 seconds.
set -e
CLI=${CLI:-$(dirname "$0")/../build/sonbridge-cli}
N=${N:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/library" "$work/phone"
ffmpeg -v error -f lavfi -i sine=duration=0.1 "$work/one.wav"
i=0
while [ $i -lt "$N" ]; do
    d=$((i / 100))
    mkdir -p "$work/library/$d" "$work/phone/$d"
    ln "$work/one.wav" "$work/library/$d/$i.wav"
    echo x > "$work/phone/$d/$i.mp3"
    i=$((i + 1))
done
start=$(date +%s.%N)
"$CLI" --no-settings -q -R --keep-structure --existing skip -o "$work/phone" "$work/library"
end=$(date +%s.%N)
echo "sync of $N sources whose outputs exist (skip): $(echo "$end - $start" | bc) s (limit 5 s)"
