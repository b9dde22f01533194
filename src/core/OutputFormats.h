#pragma once
// Every output format in one table: the window's list, the encoder settings
// dialog, the command line, the encoders, the tag writer and the output check
// all read it. A new format is one entry (plus an encoder class for a new
// kind of encoder).

#include <QAnyStringView>
#include <QString>

#include <optional>
#include <span>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace core {

// The order is the settings file's format value and the window's list order.
enum class OutputFormat { Wav, Mp3, Ogg, Flac, Opus, Aac, Alac, WavPack };

enum class EncoderKind {
    WaveWriter,   // FFmpeg's wav muxer, the codec chosen per batch
    CommandLine,  // lame or oggenc fed on a pipe
    InProcess,    // an FFmpeg encoder and muxer in this process
};

// How the finished file's tags and cover art are written.
enum class TagStyle {
    RiffInfoAndId3,  // INFO list and an id3 chunk
    Id3v2,           // ID3v2.4 (and ID3v1 when the source had one)
    VorbisComment,   // Ogg Vorbis or Opus: comments with a picture block
    FlacMetadata,    // Vorbis comments and a PICTURE block
    Mp4Atoms,        // ilst atoms and covr
    Ape,             // APEv2 with a "Cover Art (Front)" item
};

// What a mode's number sets; the command line's options follow it.
enum class ModeValue { Kbps, Quality, Compression };

struct EncoderMode {
    const char* id;    // --mode and the settings file: "cbr"
    const char* name;  // shown through translate("core"): "Constant bitrate"
    ModeValue value;
    const char* settingsKey;  // where its number is kept in section "Main"
    int minimum;
    int maximum;
    int defaultValue;
    std::span<const int> listed;  // the dialog's list; empty: any whole number in range
};

struct RateRange {
    int lowest = 0;
    int highest = 0;
};

struct FormatInfo {
    OutputFormat format;
    const char* id;         // -f: "mp3"
    const char* name;       // the window's list: "MP3"
    const char* fullName;   // in notes and help: "Ogg Vorbis"
    const char* extension;  // "mp3"
    EncoderKind encoder;
    const char* program;                 // CommandLine: "lame"
    const char* ffmpegEncoder;           // InProcess: "flac"
    const char* muxer;                   // InProcess: "flac"
    AVCodecID codec;                     // what the output check expects (WAV: the chosen codec)
    std::span<const EncoderMode> modes;  // none for WAV, whose wave format says all
    const char* modeKey;                 // settings key of the chosen mode; null with a single mode
    std::span<const int> rates;          // rates it takes; empty: any in anyRate
    RateRange anyRate;
    int maxChannels;
    TagStyle tags;
    bool lossless;  // the check compares the decoded samples with those fed
};

std::span<const FormatInfo> outputFormats();
const FormatInfo& formatInfo(OutputFormat format);
// By -f name, case-insensitive; null when there is none.
const FormatInfo* formatById(QAnyStringView id);
// The settings file and the window's list number the formats from 0; any
// other index is no format.
std::optional<OutputFormat> outputFormatFromIndex(int index);
int outputFormatIndex(OutputFormat format);
QString outputExtension(OutputFormat format);
// "wav, mp3, ogg, flac, ..." for messages and help.
QString formatIdList();

// The sample rates a person picks from, in the dialog's order (highest first).
std::span<const int> sampleRateChoices();
const EncoderMode* findMode(const FormatInfo& format, QAnyStringView id);
// "0 to 9", for help and messages.
QString modeRangeText(const EncoderMode& mode);
// Any whole number in the mode's range; the dialog's list is only a choice of them.
bool modeAccepts(const EncoderMode& mode, qint64 value);

}  // namespace core
