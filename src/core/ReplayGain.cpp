#include "core/ReplayGain.h"

#include "core/NativePath.h"

#include <ebur128.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace core {

namespace {

TagLib::String toTagLib(const QString& text) {
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

void setUserText(TagLib::ID3v2::Tag& tag, const QString& description, const QString& value) {
    const TagLib::String key = toTagLib(description);
    // An earlier frame of that name goes.
    while (TagLib::ID3v2::UserTextIdentificationFrame* old =
               TagLib::ID3v2::UserTextIdentificationFrame::find(&tag, key))
        tag.removeFrame(old);
    auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
    frame->setDescription(key);
    frame->setText(toTagLib(value));
    tag.addFrame(frame);
}

Failure notWritten() {
    return Failure{QCoreApplication::translate(
        "core", "ReplayGain tags not written: TagLib could not save them to the output")};
}

}  // namespace

void EbuStateCloser::operator()(ebur128_state* state) const {
    ebur128_destroy(&state);
}

Result<std::unique_ptr<LoudnessMeter>> LoudnessMeter::create(const PcmFormat& in, int outChannels) {
    std::unique_ptr<LoudnessMeter> meter(new LoudnessMeter);
    const int channels = outChannels > 0 ? outChannels : in.channels;
    meter->inFormat_ = in.sampleFormat;
    meter->inFrameBytes_ = in.frameBytes();
    // The decoder's own samples when the channels match: no conversion to pay for.
    meter->convert_ = channels != in.channels || (in.sampleFormat != AV_SAMPLE_FMT_S16 &&
                                                  in.sampleFormat != AV_SAMPLE_FMT_S32 &&
                                                  in.sampleFormat != AV_SAMPLE_FMT_FLT);
    if (meter->convert_) {
        const PcmFormat measured{AV_SAMPLE_FMT_FLT, 32, in.sampleRate, channels, 0};
        if (Status ready = meter->converter_.init(in, measured); !ready)
            return Failure{ready.reason()};
    }
    meter->state_.reset(ebur128_init(unsigned(channels), unsigned(in.sampleRate),
                                     EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK));
    if (!meter->state_)
        return Failure{QCoreApplication::translate("core", "Loudness can't be measured")};
    return meter;
}

bool LoudnessMeter::add(const void* samples, int frames, AVSampleFormat format) {
    if (frames <= 0) return frames == 0;
    ebur128_state* st = state_.get();
    const size_t n = size_t(frames);
    switch (format) {
        case AV_SAMPLE_FMT_S16:
            return ebur128_add_frames_short(st, static_cast<const short*>(samples), n) ==
                   EBUR128_SUCCESS;
        case AV_SAMPLE_FMT_S32:
            return ebur128_add_frames_int(st, static_cast<const int*>(samples), n) ==
                   EBUR128_SUCCESS;
        default:
            return ebur128_add_frames_float(st, static_cast<const float*>(samples), n) ==
                   EBUR128_SUCCESS;
    }
}

bool LoudnessMeter::add(const uint8_t* pcm, qint64 bytes) {
    const int frames = int(bytes / inFrameBytes_);
    if (!convert_) return add(pcm, frames, inFormat_);
    const int converted = converter_.convert(pcm, frames);
    return converted >= 0 && add(converter_.planes()[0], converted, AV_SAMPLE_FMT_FLT);
}

Result<TrackLoudness> LoudnessMeter::finish() {
    const int frames = converter_.convert(nullptr, 0);
    if (frames > 0)
        ebur128_add_frames_float(
            state_.get(), reinterpret_cast<const float*>(converter_.planes()[0]), size_t(frames));
    TrackLoudness track;
    double loudness = 0;
    if (ebur128_loudness_global(state_.get(), &loudness) != EBUR128_SUCCESS ||
        !std::isfinite(loudness))
        return Failure{QCoreApplication::translate(
            "core", "ReplayGain tags not written: the output is silent")};
    for (unsigned c = 0; c < state_->channels; ++c) {
        double peak = 0;
        if (ebur128_sample_peak(state_.get(), c, &peak) == EBUR128_SUCCESS)
            track.peak = std::max(track.peak, peak);
    }
    track.gainDb = kReplayGainReferenceLufs - loudness;
    track.state = std::move(state_);
    return track;
}

Result<std::pair<double, double>> albumGain(const std::vector<const TrackLoudness*>& tracks) {
    std::vector<ebur128_state*> states;
    double peak = 0;
    for (const TrackLoudness* t : tracks) {
        states.push_back(t->state.get());
        peak = std::max(peak, t->peak);
    }
    double loudness = 0;
    if (states.empty() ||
        ebur128_loudness_global_multiple(states.data(), states.size(), &loudness) !=
            EBUR128_SUCCESS ||
        !std::isfinite(loudness))
        return Failure{QStringLiteral("no album loudness")};
    return std::pair{kReplayGainReferenceLufs - loudness, peak};
}

QString gainText(double gainDb) {
    return QString::asprintf("%.2f dB", gainDb);
}

QString peakText(double peak) {
    return QString::asprintf("%.6f", peak);
}

// Formats whose tags take any key (Vorbis comments, MP4 freeform atoms, APEv2).
template <typename TagFile>
Status writeProperties(const QByteArray& name, const QString& gainKey, const QString& gain,
                       const QString& peakKey, const QString& peak) {
    TagFile file(name.constData(), false);
    if (!file.isValid()) return notWritten();
    TagLib::PropertyMap properties = file.properties();
    properties.replace(toTagLib(gainKey), TagLib::StringList(toTagLib(gain)));
    properties.replace(toTagLib(peakKey), TagLib::StringList(toTagLib(peak)));
    file.setProperties(properties);
    return file.save() ? Status() : notWritten();
}

Status writeReplayGain(const QString& path, OutputFormat format, const QString& scope,
                       double gainDb, double peak) {
    const QByteArray name = nativePath(path);
    const QString gainKey = QStringLiteral("REPLAYGAIN_%1_GAIN").arg(scope);
    const QString peakKey = QStringLiteral("REPLAYGAIN_%1_PEAK").arg(scope);
    switch (format) {
        case OutputFormat::Mp3: {
            TagLib::MPEG::File file(name.constData(), false);
            if (!file.isValid()) return notWritten();
            TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
            setUserText(*tag, gainKey, gainText(gainDb));
            setUserText(*tag, peakKey, peakText(peak));
            int kinds = TagLib::MPEG::File::ID3v2;
            if (file.hasID3v1Tag()) kinds |= TagLib::MPEG::File::ID3v1;
            if (!file.save(kinds, TagLib::File::StripNone, TagLib::ID3v2::v4,
                           TagLib::File::DoNotDuplicate))
                return notWritten();
            return {};
        }
        case OutputFormat::Ogg: {
            TagLib::Ogg::Vorbis::File file(name.constData(), false);
            if (!file.isValid()) return notWritten();
            file.tag()->addField(toTagLib(gainKey), toTagLib(gainText(gainDb)), true);
            file.tag()->addField(toTagLib(peakKey), toTagLib(peakText(peak)), true);
            if (!file.save()) return notWritten();
            return {};
        }
        case OutputFormat::Wav: {
            TagLib::RIFF::WAV::File file(name.constData(), false);
            if (!file.isValid()) return notWritten();
            setUserText(*file.ID3v2Tag(), gainKey, gainText(gainDb));
            setUserText(*file.ID3v2Tag(), peakKey, peakText(peak));
            if (!file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripNone,
                           TagLib::ID3v2::v4))
                return notWritten();
            return {};
        }
        case OutputFormat::Flac:
            return writeProperties<TagLib::FLAC::File>(name, gainKey, gainText(gainDb), peakKey,
                                                       peakText(peak));
        case OutputFormat::Opus:
            return writeProperties<TagLib::Ogg::Opus::File>(name, gainKey, gainText(gainDb),
                                                            peakKey, peakText(peak));
        case OutputFormat::Aac:
        case OutputFormat::Alac:
            return writeProperties<TagLib::MP4::File>(name, gainKey, gainText(gainDb), peakKey,
                                                      peakText(peak));
        case OutputFormat::WavPack:
            return writeProperties<TagLib::WavPack::File>(name, gainKey, gainText(gainDb), peakKey,
                                                          peakText(peak));
    }
    return notWritten();
}

}  // namespace core
