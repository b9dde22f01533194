#include "core/EncoderLimits.h"

#include <vorbis/vorbisenc.h>

#include <array>
#include <cstdlib>
#include <span>

namespace core {

namespace {

constexpr std::array<int, 14> kMpeg1 = {32,  40,  48,  56,  64,  80,  96,
                                        112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 14> kMpeg2 = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr std::array<int, 8> kMpeg25 = {8, 16, 24, 32, 40, 48, 56, 64};

std::span<const int> mpegBitrates(int sampleRate) {
    if (sampleRate >= 32000) return kMpeg1;
    if (sampleRate >= 16000) return kMpeg2;
    return kMpeg25;
}

bool vorbisReaches(int sampleRate, int channels, int kbps) {
    vorbis_info info;
    vorbis_info_init(&info);
    const int ret =
        vorbis_encode_setup_managed(&info, channels, sampleRate, -1, long(kbps) * 1000, -1);
    vorbis_info_clear(&info);
    return ret == 0;
}

QString modeText(bool stereo) {
    return stereo ? QStringLiteral("stereo") : QStringLiteral("mono");
}

}  // namespace

int nearestMp3Bitrate(int sampleRate, int kbps) {
    int best = 0;
    for (const int allowed : mpegBitrates(sampleRate))
        if (best == 0 || std::abs(allowed - kbps) < std::abs(best - kbps)) best = allowed;
    return best;
}

int nearestVorbisBitrate(int sampleRate, int channels, int kbps) {
    if (sampleRate <= 0 || channels <= 0) return 0;
    // Outward from the wish, lower first: each question costs microseconds.
    for (int step = 0; step <= 1000; ++step) {
        if (kbps - step > 0 && vorbisReaches(sampleRate, channels, kbps - step)) return kbps - step;
        if (step > 0 && vorbisReaches(sampleRate, channels, kbps + step)) return kbps + step;
    }
    return 0;
}

BitrateAdjustment adjustBitrate(OutputFormat format, const EncoderSettings& settings) {
    BitrateAdjustment result{settings.bitrate, {}};
    QString encoder;
    switch (format) {
        case OutputFormat::Wav:
            return result;
        case OutputFormat::Mp3:
            result.kbps = nearestMp3Bitrate(settings.sampleRate, settings.bitrate);
            encoder = QStringLiteral("MP3");
            break;
        case OutputFormat::Ogg:
            result.kbps = nearestVorbisBitrate(settings.sampleRate, settings.stereo ? 2 : 1,
                                               settings.bitrate);
            encoder = QStringLiteral("Ogg Vorbis");
            break;
    }
    if (result.kbps == 0) {
        result.kbps = settings.bitrate;  // nothing better known: the encoder says no itself
    } else if (result.kbps != settings.bitrate) {
        result.note = QStringLiteral("Encoded at %1 kbps: %2 can't reach %3 kbps at %4 Hz %5")
                          .arg(result.kbps)
                          .arg(encoder)
                          .arg(settings.bitrate)
                          .arg(settings.sampleRate)
                          .arg(modeText(settings.stereo));
    }
    return result;
}

}  // namespace core
