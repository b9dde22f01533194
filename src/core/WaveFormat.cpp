#include "core/WaveFormat.h"

#include "core/EncoderLimits.h"
#include "core/OutputFormats.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace core {

namespace {

enum Tag : quint16 {
    kPcm = 0x0001,
    kMsAdpcm = 0x0002,
    kFloat = 0x0003,
    kALaw = 0x0006,
    kMuLaw = 0x0007,
    kImaAdpcm = 0x0011,
    kGsm610 = 0x0031,
    kMp3 = 0x0055,
};

// Rates a source's own may be kept at in the PCM-like codecs.
constexpr int kMinKeptRate = 1000;
constexpr int kMaxKeptRate = 768000;
// Up to 7.1: the channel counts with a standard speaker layout.
constexpr int kMaxKeptChannels = 8;
constexpr std::array<int, 1> kGsmRates{8000};
// Microsoft ADPCM's standard predictor pairs.
constexpr std::array<qint16, 14> kMsCoefs{256, 0,   512, -256, 0,    0,   192,
                                          64,  240, 0,   460,  -208, 392, -232};

bool contains(const auto& list, int v) {
    return std::find(list.begin(), list.end(), v) != list.end();
}

// The rates offered for every codec: MP3's, lowest first.
QList<int> listedRates() {
    const std::span<const int> rates = formatInfo(OutputFormat::Mp3).rates;
    return QList<int>(rates.rbegin(), rates.rend());
}

bool isMpeg1Rate(int rate) {
    return rate >= 32000;
}

// ADPCM block size per channel as the usual codecs choose it: bigger blocks at higher rates.
int adpcmBlock(int rate, int channels) {
    const int perChannel = rate <= 16000 ? 256 : rate <= 32000 ? 512 : 1024;
    return perChannel * channels;
}
int imaSamplesPerBlock(int align, int ch) {
    return (align - 4 * ch) * 8 / (4 * ch) + 1;
}
int msSamplesPerBlock(int align, int ch) {
    return (align - 7 * ch) * 2 / ch + 2;
}

// Writes a block and keeps what it says beside it.
class Block {
public:
    Block(quint16 tag, int ch, int rate, qint64 avg, int align, int bits, int cbSize) {
        facts.formatTag = tag;
        facts.channels = ch;
        facts.sampleRate = rate;
        facts.averageKbps = int(avg * 8 / 1000);
        facts.bitsPerSample = bits;
        put16(tag);
        put16(ch);
        put32(rate);
        put32(avg);
        put16(align);
        put16(bits);
        put16(cbSize);
    }
    void put16(int v) {
        char b[2];
        qToLittleEndian<quint16>(quint16(v), b);
        facts.waveFormatEx.append(b, 2);
    }
    void put32(qint64 v) {
        char b[4];
        qToLittleEndian<quint32>(quint32(v), b);
        facts.waveFormatEx.append(b, 4);
    }
    WaveFormatInfo facts;
};

// Names a built block. sample says what one sample is ("16 bit"; empty
// where nothing does); shown is what the attributes put between the rate
// and the channels (the sample, or MP3's bitrate; nothing for GSM 6.10).
WaveFormatInfo named(Block block, const char* name, const QString& codec, const QString& sample,
                     const QString& shown) {
    WaveFormatInfo f = std::move(block.facts);
    f.formatName = QString::fromLatin1(name);
    f.codec = codec;
    f.description = sample.isEmpty() ? f.formatName : f.formatName + QLatin1Char(' ') + sample;
    const QString channels = f.channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
    f.attributes = shown.isEmpty()
                       ? QStringLiteral("%1 Hz, %2").arg(f.sampleRate).arg(channels)
                       : QStringLiteral("%1 Hz, %2, %3").arg(f.sampleRate).arg(shown, channels);
    return f;
}

WaveFormatInfo linear(quint16 tag, const char* name, const QString& codec, int ch, int rate,
                      int bits) {
    const int align = ch * bits / 8;
    const QString sample = QStringLiteral("%1 bit").arg(bits);
    return named(Block(tag, ch, rate, qint64(rate) * align, align, bits, 0), name, codec, sample,
                 sample);
}

WaveFormatInfo adpcm(quint16 tag, int ch, int rate) {
    const int align = adpcmBlock(rate, ch);
    const bool ima = tag == kImaAdpcm;
    const int spb = ima ? imaSamplesPerBlock(align, ch) : msSamplesPerBlock(align, ch);
    Block b(tag, ch, rate, qint64(rate) * align / spb, align, 4, ima ? 2 : 32);
    b.put16(spb);
    if (!ima) {
        b.put16(int(kMsCoefs.size() / 2));
        for (qint16 c : kMsCoefs) b.put16(c);
    }
    const QString sample = QStringLiteral("4 bit");
    return named(std::move(b), ima ? "IMA ADPCM" : "Microsoft ADPCM",
                 ima ? QStringLiteral("ima-adpcm") : QStringLiteral("ms-adpcm"), sample, sample);
}

WaveFormatInfo gsm() {
    Block b(kGsm610, 1, 8000, 1625, 65, 0, 2);
    b.put16(320);
    return named(std::move(b), "GSM 6.10", QStringLiteral("gsm610"), {}, {});
}

WaveFormatInfo mp3(int ch, int rate, int kbps) {
    Block b(kMp3, ch, rate, kbps * 125, 1, 0, 12);
    b.put16(1);  // MPEGLAYER3_ID_MPEG
    b.put32(2);  // padding off
    b.put16((isMpeg1Rate(rate) ? 144000 : 72000) * kbps / rate);
    b.put16(1);     // frames per block
    b.put16(1393);  // codec delay
    return named(std::move(b), "MPEG Layer-3", QStringLiteral("mp3"), {},
                 QStringLiteral("%1 kbit/s").arg(kbps));
}

QList<int> listedMp3Kbps(int rate) {
    if (isMpeg1Rate(rate)) return {64, 128, 192, 320};
    if (rate >= 16000) return {32, 64, 128};
    return {8, 16, 32};
}

QList<WaveFormatInfo> buildWaveFormats() {
    QList<WaveFormatInfo> out;
    for (int bits : {8, 16, 24, 32})
        for (int rate : listedRates())
            for (int ch : {1, 2})
                out.append(linear(kPcm, "PCM", QStringLiteral("pcm%1").arg(bits), ch, rate, bits));
    const struct {
        quint16 tag;
        const char* name;
        const char* codec;
        int bits;
    } simpleCodecs[] = {{kFloat, "IEEE Float", "float32", 32},
                        {kALaw, "A-Law", "alaw", 8},
                        {kMuLaw, "mu-Law", "mulaw", 8}};
    for (const auto& c : simpleCodecs)
        for (int rate : listedRates())
            for (int ch : {1, 2})
                out.append(linear(c.tag, c.name, QLatin1String(c.codec), ch, rate, c.bits));
    for (quint16 tag : {kImaAdpcm, kMsAdpcm})
        for (int rate : listedRates())
            for (int ch : {1, 2}) out.append(adpcm(tag, ch, rate));
    out.append(gsm());
    for (int rate : listedRates())
        for (int kbps : listedMp3Kbps(rate))
            for (int ch : {1, 2}) out.append(mp3(ch, rate, kbps));
    return out;
}

}  // namespace

const QList<WaveFormatInfo>& waveFormats() {
    static const QList<WaveFormatInfo> formats = buildWaveFormats();
    return formats;
}

qint32 largestWaveFormatSize() {
    qint32 largest = 0;
    for (const WaveFormatInfo& f : waveFormats())
        largest = std::max<qint32>(largest, qint32(f.waveFormatEx.size()));
    return largest;
}

Result<WavEncoding> parseWaveFormat(const QByteArray& wfx) {
    auto fail = [](const QString& why) { return Failure{why}; };
    if (wfx.size() < 16)
        return fail(QCoreApplication::translate("core", "The wave format block is too short"));
    const auto* p = reinterpret_cast<const uchar*>(wfx.constData());
    const quint16 tag = qFromLittleEndian<quint16>(p);
    const int ch = qFromLittleEndian<quint16>(p + 2);
    const qint64 rate = qFromLittleEndian<quint32>(p + 4);
    const qint64 avg = qFromLittleEndian<quint32>(p + 8);
    const int align = qFromLittleEndian<quint16>(p + 12);
    const int bits = qFromLittleEndian<quint16>(p + 14);
    const int cbSize = wfx.size() >= 18 ? qFromLittleEndian<quint16>(p + 16) : 0;
    if (tag == 0 && ch == 0 && rate == 0)
        return fail(QCoreApplication::translate("core", "No wave format was chosen"));
    if (wfx.size() >= 18 && 18 + cbSize > wfx.size())
        return fail(QCoreApplication::translate("core", "The wave format block is truncated"));
    if (ch > 2)
        return fail(QCoreApplication::translate("core", "WAV output takes 1 or 2 channels, not %1")
                        .arg(ch));
    if (rate != 0 && (rate < 8000 || rate > 48000))
        return fail(QCoreApplication::translate("core", "The sample rate %1 Hz is not supported")
                        .arg(rate));
    const bool followsSource = rate == 0 || ch == 0;

    WavEncoding e;
    e.sampleRate = int(rate);
    e.channels = ch;
    const QString bad = QCoreApplication::translate("core", "The wave format block is malformed");
    auto checkLinear = [&](int wantBits) {
        return bits == wantBits && align == ch * bits / 8 && avg == rate * align;
    };
    switch (tag) {
        case kPcm:
            if (!checkLinear(bits) || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
                return fail(bad);
            e.encoder = bits == 8    ? "pcm_u8"
                        : bits == 16 ? "pcm_s16le"
                        : bits == 24 ? "pcm_s24le"
                                     : "pcm_s32le";
            return e;
        case kFloat:
            if (!checkLinear(32)) return fail(bad);
            e.encoder = "pcm_f32le";
            return e;
        case kALaw:
        case kMuLaw:
            if (!checkLinear(8)) return fail(bad);
            e.encoder = tag == kALaw ? "pcm_alaw" : "pcm_mulaw";
            return e;
        case kImaAdpcm:
        case kMsAdpcm: {
            const bool powerOfTwo = align > 0 && (align & (align - 1)) == 0;
            const bool validAlign =
                followsSource ? align == 0 : powerOfTwo && align >= 64 * ch && align <= 8192;
            if (wfx.size() < 20 || bits != 4 || !validAlign) return fail(bad);
            e.encoder = tag == kImaAdpcm ? "adpcm_ima_wav" : "adpcm_ms";
            e.blockAlign = align;
            return e;
        }
        case kGsm610:
            if ((rate != 8000 && rate != 0) || (ch != 1 && ch != 0) || align != 65)
                return fail(QCoreApplication::translate(
                    "core", "GSM 6.10 is written at 8000 Hz mono only"));
            e.encoder = "libgsm_ms";
            return e;
        case kMp3: {
            if (rate != 0 && !contains(listedRates(), int(rate)))
                return fail(QCoreApplication::translate(
                    "core", "This sample rate is not supported for MP3 in WAV"));
            const qint64 kbps = avg * 8 / 1000;
            // The source's rate (0) is not known yet: a bitrate of either MPEG version.
            const bool mpeg1 = contains(mpegBitrates(48000), int(kbps));
            const bool mpeg2 = contains(mpegBitrates(22050), int(kbps));
            const bool valid =
                avg * 8 % 1000 == 0 &&
                (rate == 0 ? mpeg1 || mpeg2 : contains(mpegBitrates(int(rate)), int(kbps)));
            if (!valid)
                return fail(QCoreApplication::translate(
                    "core", "This bitrate is not supported for MP3 in WAV"));
            e.encoder = "libmp3lame";
            e.bitRate = kbps * 1000;
            return e;
        }
        default:
            return fail(
                QCoreApplication::translate("core", "The wave format tag 0x%1 is not supported")
                    .arg(tag, 4, 16, QLatin1Char('0')));
    }
}

QByteArray sourceFollowingWaveFormat(const QByteArray& listed, bool sourceRate,
                                     bool sourceChannels) {
    QByteArray block = listed;
    if (block.size() < 16 || (!sourceRate && !sourceChannels)) return block;
    auto* p = reinterpret_cast<uchar*>(block.data());
    const quint16 tag = qFromLittleEndian<quint16>(p);
    const int bits = qFromLittleEndian<quint16>(p + 14);
    const int channels = sourceChannels ? 0 : qFromLittleEndian<quint16>(p + 2);
    const quint32 rate = sourceRate ? 0 : qFromLittleEndian<quint32>(p + 4);
    qToLittleEndian<quint16>(quint16(channels), p + 2);
    qToLittleEndian<quint32>(rate, p + 4);
    if (tag == kMp3 || tag == kGsm610) return block;  // their sizes don't depend on either
    const bool linear = tag == kPcm || tag == kFloat || tag == kALaw || tag == kMuLaw;
    const int align = linear ? channels * bits / 8 : 0;
    qToLittleEndian<quint16>(quint16(align), p + 12);
    qToLittleEndian<quint32>(rate * quint32(align), p + 8);
    return block;
}

QString fitWaveEncoding(WavEncoding& e, int sourceRate, int sourceChannels) {
    const QByteArray name(e.encoder ? e.encoder : "");
    // Held here: the capacity only points at the rates it is given.
    const auto mp3Rates = listedRates();
    OutputCapacity capacity{
        QStringLiteral("WAV"), {}, kMinKeptRate, kMaxKeptRate, kMaxKeptChannels};
    if (name == "libgsm_ms") {
        capacity = {QStringLiteral("GSM 6.10"), kGsmRates, 0, 0, 1};
    } else if (name == "libmp3lame") {
        capacity = {QStringLiteral("MPEG Layer-3"), mp3Rates, 0, 0, 2};
    } else if (name.startsWith("adpcm")) {
        capacity.formatName = QStringLiteral("ADPCM");
        capacity.maxChannels = 2;
    }
    const bool adaptBlock = e.sampleRate == 0 || e.channels == 0;
    const FittedAudio fit =
        fitToOutput(capacity, e.sampleRate, e.channels, sourceRate, sourceChannels);
    e.sampleRate = fit.sampleRate;
    e.channels = fit.channels;
    if (adaptBlock && name.startsWith("adpcm")) e.blockAlign = adpcmBlock(e.sampleRate, e.channels);
    if (name == "libmp3lame")
        e.bitRate = qint64(nearestMp3Bitrate(e.sampleRate, int(e.bitRate / 1000))) * 1000;
    return fit.note;
}

}  // namespace core
