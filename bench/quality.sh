#!/usr/bin/env bash
# What the conversion does to the samples, next to sox on the same sources.
# Makes its own test signals in bench/out/quality/, converts them with
# sonbridge-cli and with sox (rate -h for resampling, -b 16 with its default
# dither for 24 -> 16 bits), and prints one table:
#   bit-exact      24-bit FLAC -> 24-bit WAV and float WAV -> float WAV
#   -100 dBFS      level of a 1 kHz tone at -100 dBFS after 24 -> 16 bits,
#                  and its third harmonic
#   aliases        the loudest alias of ten tones between the new and the old
#                  Nyquist frequency (48 -> 44.1, 44.1 -> 22.05, 44.1 -> 8 kHz)
#   passband       a tone at 90% of the new Nyquist frequency, against its input
#   downmix peaks  full-scale square waves in every channel, mixed down
#                  (and the share of samples whose sign flipped)
#   mono->stereo   gain of each channel
#
# Environment: QUALITY_CLI (a sonbridge-cli to measure; default: build one in
# Release in BENCH_BUILD_DIR, as run.sh does).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/bench/out/quality
BUILD=${BENCH_BUILD_DIR:-$ROOT/build-bench}
PYTHON=/usr/bin/python3  # Debian's, with python3-numpy

if [ -z "${QUALITY_CLI:-}" ]; then
  echo "Building sonbridge-cli (Release) in $BUILD" >&2
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DSONBRIDGE_TESTS=OFF >/dev/null
  cmake --build "$BUILD" -j2 --target sonbridge-cli >/dev/null
  QUALITY_CLI=$BUILD/sonbridge-cli
fi
rm -rf "$OUT" && mkdir -p "$OUT"
export QUALITY_CLI OUT
exec "$PYTHON" - <<'EOF'
import os, subprocess, numpy as np

cli, out = os.environ["QUALITY_CLI"], os.environ["OUT"]

def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

def write(name, pcm, rate, codec, extra=()):
    """pcm: frames x channels in [-1, 1]; written by ffmpeg with codec."""
    path = os.path.join(out, name)
    data = np.ascontiguousarray(pcm, dtype="<f8")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "f64le", "-ar", str(rate), "-ac",
                    str(data.shape[1]), "-i", "-", "-c:a", codec, *extra, path],
                   input=data.tobytes(), check=True)
    return path

def read(path):
    info = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                           "stream=channels,sample_rate", "-of", "csv=p=0", path],
                          check=True, capture_output=True, text=True).stdout.split(",")
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "f64le", "-"],
                         check=True, capture_output=True).stdout
    rate, channels = int(info[0]), int(info[1])
    return np.frombuffer(raw, "<f8").reshape(-1, channels), rate

def ours(source, spec, name):
    folder = os.path.join(out, "ours-" + name)
    run(cli, "--no-settings", "--no-tags", "-w", spec, "-o", folder, source)
    return os.path.join(folder, os.path.splitext(os.path.basename(source))[0] + ".wav")

def sox(source, name, *effects, output=()):
    path = os.path.join(out, "sox-" + name + ".wav")
    run("sox", source, *output, path, *effects)
    return path

def tone_db(x, rate, hz):
    """Amplitude (dBFS) of one frequency over the middle half, Hann-windowed."""
    n0, n = len(x) // 4, len(x) // 2
    t = np.arange(n0, n0 + n) / rate
    w = np.hanning(n)
    a = abs(np.sum(x[n0:n0 + n] * w * np.exp(-2j * np.pi * hz * t))) * 2 / np.sum(w)
    return 20 * np.log10(max(a, 1e-20))

def db(v):
    return "%.1f dB" % v

rows = []
seconds = 2.0

# --- bit-exactness ---------------------------------------------------------
rng = np.random.default_rng(7)
noise = rng.uniform(-0.9, 0.9, (int(48000 * seconds), 2))
flac = write("noise24.flac", noise, 48000, "flac", ["-sample_fmt", "s32"])
flt = write("noise-float.wav", noise, 48000, "pcm_f32le")
for label, source, spec in (("24-bit FLAC -> pcm24", flac, "pcm24"),
                            ("float WAV -> float32", flt, "float32")):
    ref = read(source)[0]
    o = read(ours(source, spec, "exact-" + spec))[0]
    s = read(sox(source, "exact-" + spec))[0]
    fmt = lambda y: "identical" if y.shape == ref.shape and np.array_equal(y, ref) else \
        "max error %.1e" % (np.max(np.abs(y[:len(ref)] - ref[:len(y)])) if len(y) else 1)
    rows.append(("bit-exact: " + label, fmt(o), fmt(s)))

# --- a -100 dBFS tone, 24 -> 16 bits ----------------------------------------
t = np.arange(int(44100 * seconds)) / 44100
quiet = write("quiet24.wav", (1e-5 * np.sin(2 * np.pi * 1000 * t))[:, None], 44100, "pcm_s24le")
o = read(ours(quiet, "pcm16,44100,1", "quiet"))[0][:, 0]
s = read(sox(quiet, "quiet", output=("-b", "16")))[0][:, 0]
rows.append(("-100 dBFS 1 kHz tone after 24 -> 16 bits", db(tone_db(o, 44100, 1000)),
             db(tone_db(s, 44100, 1000))))
rows.append(("  its third harmonic (3 kHz)", db(tone_db(o, 44100, 3000)),
             db(tone_db(s, 44100, 3000))))

# --- aliases and passband -------------------------------------------------
for src_rate, dst_rate in ((48000, 44100), (44100, 22050), (44100, 8000)):
    ny_out, ny_in = dst_rate / 2, src_rate / 2
    tones = np.linspace(ny_out * 1.01, ny_in * 0.99, 10)
    t = np.arange(int(src_rate * seconds)) / src_rate
    mix = sum(0.05 * np.sin(2 * np.pi * f * t) for f in tones)
    name = "alias-%d-%d" % (src_rate, dst_rate)
    source = write(name + ".wav", mix[:, None], src_rate, "pcm_f32le")
    o = read(ours(source, "float32,%d,1" % dst_rate, name))[0][:, 0]
    s = read(sox(source, name, "rate", "-h", str(dst_rate), output=("-e", "floating-point",
                                                                     "-b", "32")))[0][:, 0]
    # Against the tone's own level (0.05 = -26 dBFS). A tone at f comes back
    # at dst_rate - f when it folds, else it is gone.
    worst = lambda y: max(tone_db(y, dst_rate, dst_rate - f) for f in tones) - 20 * np.log10(0.05)
    rows.append(("largest alias %g -> %g kHz" % (src_rate / 1000, dst_rate / 1000),
                 db(worst(o)), db(worst(s))))
    edge = 0.9 * ny_out
    pb = write(name + "-pass.wav", (0.5 * np.sin(2 * np.pi * edge * t))[:, None], src_rate,
               "pcm_f32le")
    o = read(ours(pb, "float32,%d,1" % dst_rate, name + "-pass"))[0][:, 0]
    s = read(sox(pb, name + "-pass", "rate", "-h", str(dst_rate),
                 output=("-e", "floating-point", "-b", "32")))[0][:, 0]
    ref = 20 * np.log10(0.5)
    rows.append(("  passband at %.0f Hz" % edge, "%+.3f dB" % (tone_db(o, dst_rate, edge) - ref),
                 "%+.3f dB" % (tone_db(s, dst_rate, edge) - ref)))

# --- downmix peaks --------------------------------------------------------
t = np.arange(int(44100 * 0.5)) / 44100
square = np.where((t * 441) % 1 < 0.5, 1.0, -1.0)
for layout, channels, spec, sox_out in (("5.1", 6, "float32,44100,2", ("-e", "floating-point", "-b", "32", "-c", "2")),
                                         ("7.1", 8, "float32,44100,2", ("-e", "floating-point", "-b", "32", "-c", "2")),
                                         ("stereo", 2, "float32,44100,1", ("-e", "floating-point", "-b", "32", "-c", "1")),
                                         ("7.1", 8, "pcm16,44100,1", ("-b", "16", "-c", "1"))):
    name = "square-%s-%s" % (layout, spec.split(",")[0] + spec[-1])
    source = write(name + ".wav", np.repeat(square[:, None], channels, 1), 44100, "pcm_s16le",
                   ["-channel_layout", layout])
    def peak(y):
        flipped = np.mean(np.sign(y) != np.sign(square[:len(y), None]))
        return "%+.2f dBFS, %.0f%% flipped" % (20 * np.log10(np.max(np.abs(y))), 100 * flipped)
    o = read(ours(source, spec, name))[0]
    s = read(sox(source, name, output=sox_out))[0]
    rows.append(("full-scale %s -> %s" % (layout, spec.replace(",44100", "")), peak(o), peak(s)))

# --- mono to stereo -------------------------------------------------------
mono = write("mono.wav", (0.5 * np.sin(2 * np.pi * 1000 * t))[:, None], 44100, "pcm_s16le")
o = read(ours(mono, "pcm16,44100,2", "mono"))[0]
s = read(sox(mono, "mono", output=("-c", "2")))[0]
gain = lambda y: "%+.2f dB" % (20 * np.log10(np.max(np.abs(y[:, 0])) / np.max(np.abs(read(mono)[0]))))
rows.append(("mono -> stereo, each channel", gain(o), gain(s)))

width = max(len(r[0]) for r in rows)
print("%-*s  %-28s  %s" % (width, "", "sonbridge-cli", "sox"))
for r in rows:
    print("%-*s  %-28s  %s" % (width, r[0], r[1], r[2]))
EOF
