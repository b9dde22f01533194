#include "cli/WaveFormatSpec.h"

#include "core/WaveFormat.h"

#include <QMap>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace cli {

namespace {

QList<int> sortedUnique(QList<int> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

// The value of choices nearest to wanted; ties go to the larger one.
int nearest(const QList<int>& choices, int wanted) {
    int best = choices.value(0);
    for (int c : choices) {
        const qint64 d = std::llabs(qint64(c) - wanted);
        const qint64 bestD = std::llabs(qint64(best) - wanted);
        if (d < bestD || (d == bestD && c > best)) best = c;
    }
    return best;
}

QString joined(const QList<int>& values, const QString& separator) {
    QStringList texts;
    for (int v : values) texts << QString::number(v);
    return texts.join(separator);
}

std::optional<int> positiveNumber(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok && v > 0 ? std::optional<int>(v) : std::nullopt;
}

}  // namespace

core::Result<QByteArray> waveFormatFromSpec(const QString& spec, const WaveSpecDefaults& defaults) {
    const QStringList parts = spec.split(QLatin1Char(','));
    const QString codec = parts.value(0).trimmed().toLower();
    if (parts.size() > 3 || codec.isEmpty())
        return core::Failure{
            QStringLiteral("bad wave format '%1' (use codec[,rate[,channels]])").arg(spec)};
    QList<core::WaveFormatInfo> candidates;
    for (const core::WaveFormatInfo& e : core::waveFormats())
        if (e.codec == codec) candidates.append(e);
    if (candidates.isEmpty())
        return core::Failure{
            QStringLiteral("unknown WAV codec '%1' (see --list-wave-formats)").arg(codec)};

    QList<int> rates;
    for (const core::WaveFormatInfo& e : candidates) rates.append(e.sampleRate);
    rates = sortedUnique(rates);
    // A codec with one rate or channel count has nothing to follow the source in.
    const bool sourceRate = parts.size() < 2 && defaults.rate == 0 && rates.size() > 1;
    int rate = nearest(rates, defaults.rate);
    if (parts.size() >= 2) {
        const std::optional<int> asked = positiveNumber(parts[1]);
        if (!asked || !rates.contains(*asked))
            return core::Failure{QStringLiteral("%1 has no sample rate '%2' (rates: %3)")
                                     .arg(codec, parts[1].trimmed(), joined(rates, ", "))};
        rate = *asked;
    }

    QList<int> channelChoices;
    for (const core::WaveFormatInfo& e : candidates)
        if (e.sampleRate == rate) channelChoices.append(e.channels);
    channelChoices = sortedUnique(channelChoices);
    const bool sourceChannels =
        parts.size() < 3 && defaults.channels == 0 && channelChoices.size() > 1;
    int channels = nearest(channelChoices, defaults.channels);
    if (parts.size() == 3) {
        const QString text = parts[2].trimmed().toLower();
        const std::optional<int> asked = text == QLatin1String("mono")     ? 1
                                         : text == QLatin1String("stereo") ? 2
                                                                           : positiveNumber(text);
        if (!asked || !channelChoices.contains(*asked))
            return core::Failure{QStringLiteral("%1 has no channel count '%2' (channels: %3)")
                                     .arg(codec, parts[2].trimmed(), joined(channelChoices, ", "))};
        channels = *asked;
    }

    const core::WaveFormatInfo* chosen = nullptr;
    for (const core::WaveFormatInfo& e : candidates) {
        if (e.sampleRate != rate || e.channels != channels) continue;
        // Bitrates come in ascending order: a tie goes to the higher one.
        if (!chosen || std::llabs(qint64(e.averageKbps) - defaults.mp3Kbps) <=
                           std::llabs(qint64(chosen->averageKbps) - defaults.mp3Kbps))
            chosen = &e;
    }
    // rate and channels were picked from the candidates
    return core::sourceFollowingWaveFormat(chosen->waveFormatEx, sourceRate, sourceChannels);
}

QString waveFormatListing() {
    QStringList codecs;
    for (const core::WaveFormatInfo& e : core::waveFormats())
        if (!codecs.contains(e.codec)) codecs.append(e.codec);

    QString text;
    for (const QString& codec : codecs) {
        QString description;
        QList<int> rates, channels;
        QMap<int, QList<int>> kbpsByRate;
        for (const core::WaveFormatInfo& e : core::waveFormats()) {
            if (e.codec != codec) continue;
            description = e.description;
            rates.append(e.sampleRate);
            channels.append(e.channels);
            kbpsByRate[e.sampleRate].append(e.averageKbps);
        }
        rates = sortedUnique(rates);
        channels = sortedUnique(channels);
        text +=
            QStringLiteral("%1 %2 %3 Hz; channels %4\n")
                .arg(codec, -10)
                .arg(description, -22)
                .arg(joined(rates, QStringLiteral(" ")), joined(channels, QStringLiteral(" or ")));
        if (codec != QLatin1String("mp3")) continue;
        // Rates that share a bitrate list are shown together.
        QList<int> group;
        QList<int> groupKbps;
        const auto flush = [&] {
            if (group.isEmpty()) return;
            text += QStringLiteral("%1 %2-%3 Hz: %4 kbit/s\n")
                        .arg(QString(), -27)
                        .arg(group.first())
                        .arg(group.last())
                        .arg(joined(groupKbps, QStringLiteral(" ")));
            group.clear();
        };
        for (int rate : rates) {
            const QList<int> kbps = sortedUnique(kbpsByRate.value(rate));
            if (kbps != groupKbps) flush();
            groupKbps = kbps;
            group.append(rate);
        }
        flush();
    }
    return text;
}

}  // namespace cli
