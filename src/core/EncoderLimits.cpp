#include "core/EncoderLimits.h"

#include <vorbis/vorbisenc.h>

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>

namespace core {

namespace {

constexpr std::array<int, 14> kMpeg1 = {32,  40,  48,  56,  64,  80,  96,
                                        112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 14> kMpeg2 = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr std::array<int, 8> kMpeg25 = {8, 16, 24, 32, 40, 48, 56, 64};

bool vorbisReaches(int sampleRate, int channels, int kbps) {
    vorbis_info info;
    vorbis_info_init(&info);
    const int ret =
        vorbis_encode_setup_managed(&info, channels, sampleRate, -1, long(kbps) * 1000, -1);
    vorbis_info_clear(&info);
    return ret == 0;
}

QString modeText(bool stereo) {
    return stereo ? QCoreApplication::translate("core", "stereo")
                  : QCoreApplication::translate("core", "mono");
}

QString channelsText(int channels) {
    return channels <= 2 ? modeText(channels == 2) : QStringLiteral("%1 channels").arg(channels);
}

// The choice nearest wanted; a tie goes to the higher one.
int nearestOf(std::span<const int> choices, int wanted) {
    int best = choices.front();
    for (const int c : choices)
        if (std::abs(qint64(c) - wanted) <= std::abs(qint64(best) - wanted)) best = c;
    return best;
}

}  // namespace

FittedAudio fitToOutput(const OutputCapacity& capacity, int askedRate, int askedChannels,
                        int sourceRate, int sourceChannels) {
    const int wantedRate = askedRate > 0 ? askedRate : sourceRate;
    const int wantedChannels = askedChannels > 0 ? askedChannels : sourceChannels;
    FittedAudio fit;
    fit.sampleRate = capacity.rates.empty()
                         ? std::clamp(wantedRate, capacity.minRate, capacity.maxRate)
                         : nearestOf(capacity.rates, wantedRate);
    fit.channels = std::clamp(wantedChannels, 1, capacity.maxChannels);
    QStringList got, wanted;
    if (fit.sampleRate != wantedRate) {
        got << QStringLiteral("%1 Hz").arg(fit.sampleRate);
        wanted << QStringLiteral("%1 Hz").arg(wantedRate);
    }
    if (fit.channels != wantedChannels) {
        got << channelsText(fit.channels);
        wanted << channelsText(wantedChannels);
    }
    if (!got.isEmpty())
        fit.note = QCoreApplication::translate("core", "Encoded as %1: %2 can't take %3")
                       .arg(got.join(QLatin1Char(' ')), capacity.formatName,
                            wanted.join(QStringLiteral(", ")));
    return fit;
}

OutputCapacity encoderCapacity(OutputFormat format) {
    const FormatInfo& info = formatInfo(format);
    return {QLatin1String(info.fullName), info.rates, info.anyRate.lowest, info.anyRate.highest,
            info.maxChannels};
}

std::span<const int> mpegBitrates(int sampleRate) {
    if (sampleRate >= 32000) return kMpeg1;
    if (sampleRate >= 16000) return kMpeg2;
    return kMpeg25;
}

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
    const FormatInfo& info = formatInfo(format);
    const EncoderMode* mode = chosenMode(info, settings);
    if (!mode) return {};
    const int wanted = modeNumber(*mode, settings);
    BitrateAdjustment result{wanted, {}};
    const QLatin1String id(mode->id);
    // Only a fixed bitrate must be one the encoder can be set to.
    if (format == OutputFormat::Mp3 && id == QLatin1String("cbr"))
        result.kbps = nearestMp3Bitrate(settings.sampleRate, wanted);
    else if (format == OutputFormat::Ogg && id == QLatin1String("bitrate"))
        result.kbps = nearestVorbisBitrate(settings.sampleRate, settings.stereo ? 2 : 1, wanted);
    else
        return result;
    const QString encoder = QLatin1String(format == OutputFormat::Mp3 ? "MP3" : "Ogg Vorbis");
    if (result.kbps == 0) {
        result.kbps = wanted;  // nothing better known: the encoder says no itself
    } else if (result.kbps != wanted) {
        result.note = QCoreApplication::translate(
                          "core", "Encoded at %1 kbps: %2 can't reach %3 kbps at %4 Hz %5")
                          .arg(result.kbps)
                          .arg(encoder)
                          .arg(wanted)
                          .arg(settings.sampleRate)
                          .arg(modeText(settings.stereo));
    }
    return result;
}

}  // namespace core
