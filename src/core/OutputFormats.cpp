#include "core/OutputFormats.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace core {

namespace {

// The dialog's lists, highest first.
constexpr std::array<int, 9> kSampleRates{48000, 44100, 32000, 24000, 22050,
                                          16000, 12000, 11025, 8000};
constexpr std::array<int, 15> kBitrates{320, 256, 224, 192, 160, 128, 112, 96,
                                        80,  64,  56,  48,  32,  16,  8};
// What FFmpeg's AAC encoder takes.
constexpr std::array<int, 13> kAacRates{96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                        22050, 16000, 12000, 11025, 8000,  7350};
constexpr std::array<int, 1> kOpusRates{48000};
// Lossless formats keep a source's own rate, within what FFmpeg's encoders take.
constexpr RateRange kAnyRate{1000, 384000};

constexpr EncoderMode kMp3Modes[] = {
    {"cbr", QT_TRANSLATE_NOOP("core", "Constant bitrate"), ModeValue::Kbps, "3", 8, 320, 160,
     kBitrates},
    {"vbr",
     QT_TRANSLATE_NOOP("core", "Variable bitrate"),
     ModeValue::Quality,
     "Mp3Quality",
     0,
     9,
     2,
     {}},
    {"abr",
     QT_TRANSLATE_NOOP("core", "Average bitrate"),
     ModeValue::Kbps,
     "Mp3AverageBitrate",
     8,
     310,
     160,
     {}},
};
constexpr EncoderMode kVorbisModes[] = {
    {"bitrate", QT_TRANSLATE_NOOP("core", "Bitrate"), ModeValue::Kbps, "3", 8, 320, 160, kBitrates},
    {"quality",
     QT_TRANSLATE_NOOP("core", "Quality"),
     ModeValue::Quality,
     "OggQuality",
     -1,
     10,
     5,
     {}},
};
constexpr EncoderMode kFlacModes[] = {
    {"compression",
     QT_TRANSLATE_NOOP("core", "Compression level"),
     ModeValue::Compression,
     "FlacCompression",
     0,
     8,
     5,
     {}},
};
constexpr EncoderMode kOpusModes[] = {
    {"bitrate",
     QT_TRANSLATE_NOOP("core", "Bitrate"),
     ModeValue::Kbps,
     "OpusBitrate",
     6,
     510,
     128,
     {}},
};
constexpr EncoderMode kAacModes[] = {
    {"bitrate",
     QT_TRANSLATE_NOOP("core", "Bitrate"),
     ModeValue::Kbps,
     "AacBitrate",
     32,
     320,
     192,
     {}},
};

using enum OutputFormat;
using enum EncoderKind;
using enum TagStyle;

// clang-format off
constexpr FormatInfo kFormats[] = {
    // format, id, name, full name, extension, encoder, program, FFmpeg encoder, muxer,
    // codec, modes, mode key, rates (or lowest and highest rate), channels, tags, lossless
    {Wav, "wav", "WAV", "WAV", "wav", WaveWriter, nullptr, nullptr, "wav",
     AV_CODEC_ID_NONE, {}, nullptr, {}, kAnyRate, 8, RiffInfoAndId3, false},
    {Mp3, "mp3", "MP3", "MP3", "mp3", CommandLine, "lame", nullptr, nullptr,
     AV_CODEC_ID_MP3, kMp3Modes, "Mp3Mode", kSampleRates, {}, 2, Id3v2, false},
    // Vorbis's managed bitrates end at 48 kHz; oggenc's raw input keeps the
    // order it is given, not Vorbis's surround order, so two channels at most.
    {Ogg, "ogg", "OGG", "Ogg Vorbis", "ogg", CommandLine, "oggenc", nullptr, nullptr,
     AV_CODEC_ID_VORBIS, kVorbisModes, "OggMode", kSampleRates, {}, 2, VorbisComment, false},
    {Flac, "flac", "FLAC", "FLAC", "flac", InProcess, nullptr, "flac", "flac",
     AV_CODEC_ID_FLAC, kFlacModes, nullptr, {}, kAnyRate, 8, FlacMetadata, true},
    {Opus, "opus", "Opus", "Opus", "opus", InProcess, nullptr, "libopus", "opus",
     AV_CODEC_ID_OPUS, kOpusModes, nullptr, kOpusRates, {}, 2, VorbisComment, false},
    {Aac, "aac", "AAC (.m4a)", "AAC", "m4a", InProcess, nullptr, "aac", "ipod",
     AV_CODEC_ID_AAC, kAacModes, nullptr, kAacRates, {}, 8, Mp4Atoms, false},
    {Alac, "alac", "ALAC (.m4a)", "ALAC", "m4a", InProcess, nullptr, "alac", "ipod",
     AV_CODEC_ID_ALAC, {}, nullptr, {}, kAnyRate, 8, Mp4Atoms, true},
    {WavPack, "wavpack", "WavPack", "WavPack", "wv", InProcess, nullptr, "wavpack", "wv",
     AV_CODEC_ID_WAVPACK, {}, nullptr, {}, kAnyRate, 8, Ape, true},
};
// clang-format on

}  // namespace

std::span<const FormatInfo> outputFormats() {
    return kFormats;
}

const FormatInfo& formatInfo(OutputFormat format) {
    return kFormats[static_cast<int>(format)];
}

const FormatInfo* formatById(QAnyStringView id) {
    for (const FormatInfo& f : kFormats)
        if (QAnyStringView::compare(id, QLatin1String(f.id), Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

std::optional<OutputFormat> outputFormatFromIndex(int index) {
    if (index < 0 || index >= int(std::size(kFormats))) return std::nullopt;
    return kFormats[index].format;
}

int outputFormatIndex(OutputFormat format) {
    return static_cast<int>(format);
}

QString outputExtension(OutputFormat format) {
    return QLatin1String(formatInfo(format).extension);
}

QString formatIdList() {
    QStringList ids;
    for (const FormatInfo& f : kFormats) ids << QLatin1String(f.id);
    return ids.join(QStringLiteral(", "));
}

std::span<const int> sampleRateChoices() {
    return kSampleRates;
}

const EncoderMode* findMode(const FormatInfo& format, QAnyStringView id) {
    for (const EncoderMode& m : format.modes)
        if (QAnyStringView::compare(id, QLatin1String(m.id), Qt::CaseInsensitive) == 0) return &m;
    return nullptr;
}

QString modeRangeText(const EncoderMode& mode) {
    return QStringLiteral("%1 to %2").arg(mode.minimum).arg(mode.maximum);
}

bool modeAccepts(const EncoderMode& mode, qint64 value) {
    return value >= mode.minimum && value <= mode.maximum;
}

}  // namespace core
