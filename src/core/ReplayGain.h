#pragma once
// ReplayGain 2.0: loudness (EBU R128, integrated) and peak measured
// with libebur128 from the audio a job converts, written as
// REPLAYGAIN_TRACK_GAIN/_PEAK (and _ALBUM_) tags, the gain taking the
// track to -18 LUFS.

#include "core/EncoderSettings.h"
#include "core/Result.h"
#include "core/SampleConverter.h"

#include <QString>

#include <ebur128.h>

#include <memory>
#include <vector>

namespace core {

inline constexpr double kReplayGainReferenceLufs = -18.0;

struct EbuStateCloser {
    void operator()(ebur128_state* state) const;
};
using EbuState = std::unique_ptr<ebur128_state, EbuStateCloser>;

// One output's measurement; the state stays for an album's loudness. The
// peak is the sample peak: libebur128's true peak (4x oversampled) would
// add a fifth to the CPU time of an MP3 conversion.
struct TrackLoudness {
    EbuState state;
    double gainDb = 0;  // kReplayGainReferenceLufs minus the integrated loudness
    double peak = 0;    // sample peak, 1.0 full scale
    QString album;      // the source's album tag
};

// Worker thread. Measures audio in the decoder's format as the output's
// channels hear it (the same mixing as the conversion), at the source's rate.
class LoudnessMeter {
public:
    static Result<std::unique_ptr<LoudnessMeter>> create(const PcmFormat& in, int outChannels);
    bool add(const uint8_t* pcm, qint64 bytes);
    // Ends the measurement; the meter is spent.
    Result<TrackLoudness> finish();

private:
    LoudnessMeter() = default;
    bool add(const void* samples, int frames, AVSampleFormat format);

    SampleConverter converter_;
    bool convert_ = false;  // other channels than the decoder's: mixed first
    AVSampleFormat inFormat_ = AV_SAMPLE_FMT_NONE;
    int inFrameBytes_ = 0;
    EbuState state_;
};

// Gain and peak of several tracks as one album.
Result<std::pair<double, double>> albumGain(const std::vector<const TrackLoudness*>& tracks);

// "-3.21 dB" and "0.987654".
QString gainText(double gainDb);
QString peakText(double peak);

// Writes REPLAYGAIN_<scope>_GAIN and _PEAK (scope "TRACK" or "ALBUM") into
// the output at path, read as format: ID3v2 TXXX frames in MP3 and in WAV's
// id3 chunk, Vorbis comments in Ogg Vorbis. Other tags stay as they are.
Status writeReplayGain(const QString& path, OutputFormat format, const QString& scope,
                       double gainDb, double peak);

}  // namespace core
