#include "core/ConversionJob.h"

#include "core/Decoder.h"
#include "core/EncoderCommand.h"
#include "core/EncoderLimits.h"
#include "core/EncoderProcess.h"
#include "core/FfmpegEncoder.h"
#include "core/NamePattern.h"
#include "core/OutputCheck.h"
#include "core/OutputFile.h"
#include "core/PathHelpers.h"
#include "core/ReplayGain.h"
#include "core/Tags.h"
#include "core/WaveFormat.h"

#include <QCoreApplication>
#include <memory>
#include <vector>

namespace core {

namespace {

QString joinedNotes(const QString& first, const QString& second) {
    if (first.isEmpty() || second.isEmpty()) return first + second;
    return first + QStringLiteral("; ") + second;
}

// The rate and channels written: those asked (0 for the source's), fitted to
// what the format takes. A format with a single rate says nothing about it.
FittedAudio fittedAudio(const FormatInfo& format, const EncoderSettings& settings,
                        const Decoder& decoder) {
    const int askedRate = format.rates.size() == 1 ? format.rates.front() : settings.sampleRate;
    const int askedChannels = settings.sourceChannels ? 0 : settings.stereo ? 2 : 1;
    return fitToOutput(encoderCapacity(format.format), askedRate, askedChannels,
                       decoder.sampleRate(), decoder.channels());
}

// What an in-process encoder is set up with, from the format's mode.
FfmpegEncoding inProcessEncoding(const FormatInfo& format, const EncoderSettings& settings,
                                 const FittedAudio& fit) {
    FfmpegEncoding e;
    e.muxer = format.muxer;
    e.encoder = format.ffmpegEncoder;
    e.sampleRate = fit.sampleRate;
    e.channels = fit.channels;
    e.lossless = format.lossless;
    if (const EncoderMode* mode = chosenMode(format, settings)) {
        const qint32 number = modeNumber(*mode, settings);
        if (mode->value == ModeValue::Kbps) e.bitRate = qint64(number) * 1000;
        if (mode->value == ModeValue::Compression) e.compressionLevel = number;
    }
    return e;
}

}  // namespace

struct ConversionJob::Started {
    std::unique_ptr<Encoder> encoder;
    ExpectedOutput expected;
    QString note;
    const FfmpegEncoder* lossless = nullptr;  // its digest is compared with the file
};

ConversionJob::ConversionJob(JobSpec spec, Result<QString> outputPath, Environment environment)
    : spec_(std::move(spec)),
      output_(std::move(outputPath)),
      environment_(std::move(environment)) {}

Result<ConversionJob::Started> ConversionJob::startEncoder(
    const Decoder& decoder, const TemporaryOutput& temporary,
    const std::optional<QByteArray>& waveFormat, const std::atomic<bool>& stop) {
    Started started;
    const FormatInfo& format = formatInfo(*spec_.format);
    if (format.encoder == EncoderKind::InProcess) {
        const FittedAudio fit = fittedAudio(format, spec_.encoder, decoder);
        const FfmpegEncoding encoding = inProcessEncoding(format, spec_.encoder, fit);
        auto encoder =
            FfmpegEncoder::create(encoding, temporary.descriptorPath(), decoder.format());
        if (!encoder) return Failure{encoder.reason()};
        if (format.lossless) started.lossless = encoder->get();
        started.encoder = encoder.take();
        started.note = fit.note;
        started.expected = {format.codec, encoding.sampleRate, encoding.channels, 0};
        return started;
    }
    if (waveFormat) {
        Result<WavEncoding> encoding = parseWaveFormat(*waveFormat);
        if (!encoding) return Failure{encoding.reason()};
        started.note = fitWaveEncoding(*encoding, decoder.sampleRate(), decoder.channels());
        FfmpegEncoding wav;
        wav.encoder = encoding->encoder;
        wav.sampleRate = encoding->sampleRate;
        wav.channels = encoding->channels;
        wav.blockAlign = encoding->blockAlign;
        wav.bitRate = encoding->bitRate;
        auto writer = FfmpegEncoder::create(wav, temporary.descriptorPath(), decoder.format());
        if (!writer) return Failure{writer.reason()};
        started.encoder = writer.take();
        const AVCodec* codec = avcodec_find_encoder_by_name(encoding->encoder);
        started.expected = {codec ? codec->id : AV_CODEC_ID_NONE, encoding->sampleRate,
                            encoding->channels, 0};
        return started;
    }

    EncoderSettings settings = spec_.encoder;
    const FittedAudio fit = fittedAudio(format, settings, decoder);
    settings.sampleRate = fit.sampleRate;
    settings.stereo = fit.channels == 2;
    settings.sourceChannels = false;
    const BitrateAdjustment bitrate = adjustBitrate(*spec_.format, settings);
    if (const EncoderMode* mode = chosenMode(format, settings))
        setModeNumber(*mode, bitrate.kbps, settings);
    started.note = joinedNotes(fit.note, bitrate.note);
    EncoderCommandLine command = buildEncoderCommand(
        *spec_.format, settings, environment_.encoderFolder, encoderOutputPath());
    command.encoder.outputFd = temporary.descriptor();
    if (command.encoder.program.isEmpty())
        return Failure{QCoreApplication::translate("core", "The encoder %1 was not found")
                           .arg(QLatin1String(format.program))};
    auto process = EncoderProcess::create(command.encoder, decoder.format());
    if (!process) return Failure{process.reason()};
    (*process)->setStallTimeout(environment_.encoderStallTimeoutMs);
    (*process)->setStopFlag(&stop);
    started.encoder = process.take();
    started.expected = {format.codec, settings.sampleRate, settings.stereo ? 2 : 1, 0};
    return started;
}

JobResult ConversionJob::run(const std::atomic<bool>& stop) {
    if (!output_) return JobResult{JobOutcome::Failed, output_.reason(), {}, {}};
    const QString& outputPath = *output_;
    const auto failed = [&](const QString& reason) {
        return JobResult{JobOutcome::Failed, reason, outputPath, {}};
    };
    const JobResult terminated{JobOutcome::Terminated, {}, outputPath, {}};
    if (!spec_.format)
        return failed(QCoreApplication::translate("core", "No output format is selected"));
    Result<std::unique_ptr<Decoder>> opened = Decoder::open(spec_.source, &stop);
    if (!opened) return stop.load() ? terminated : failed(opened.reason());
    std::unique_ptr<Decoder> decoder = opened.take();
    length_ = decoder->length();
    if (stop.load()) return terminated;

    std::optional<QByteArray> waveFormat;
    if (*spec_.format == OutputFormat::Wav) {
        const WaveFormatAnswer answer =
            environment_.askWaveFormat ? environment_.askWaveFormat() : WaveFormatAnswer{};
        if (stop.load()) return terminated;
        if (answer.withdrawn) return JobResult{JobOutcome::Withdrawn, {}, outputPath, {}};
        if (!answer.waveFormatEx)
            return failed(QCoreApplication::translate("core", "No wave format was chosen"));
        waveFormat = answer.waveFormatEx;
    }

    if (environment_.tidyFolder) environment_.tidyFolder(folderOf(outputPath));
    Result<TemporaryOutput> created = TemporaryOutput::create(outputPath);
    if (!created) return failed(created.reason());
    TemporaryOutput temporary = created.take();
    Result<Started> started = startEncoder(*decoder, temporary, waveFormat, stop);
    if (!started) return failed(started.reason());
    Encoder& encoder = *started->encoder;

    // Loudness from the same blocks, as the output's channels hear them.
    std::unique_ptr<LoudnessMeter> meter;
    if (spec_.replayGain != ReplayGain::Off) {
        Result<std::unique_ptr<LoudnessMeter>> made =
            LoudnessMeter::create(decoder->format(), started->expected.channels);
        if (!made) return failed(made.reason());
        meter = made.take();
    }

    // The plain loop: a block decoded, handed to the encoder, the stop flag read.
    std::vector<uint8_t> block(kBlockBytes);
    while (!decoder->atEnd()) {
        const qint64 got = decoder->read(block.data(), kBlockBytes);
        decoded_ = decoder->delivered();
        length_ = decoder->length();
        if (meter && got > 0 && !meter->add(block.data(), got)) meter.reset();
        // An encoder that takes no more has failed; decoding on would only waste time.
        if (got > 0 && !encoder.write(block.data(), got)) break;
        if (stop.load()) break;
    }

    // A file the encoder did not finish is never reported as converted.
    // Whatever a writer said about it, a full disk is named as such.
    const auto failedWriting = [&](const QString& reason) {
        return failed(temporary.onFullDisk()
                          ? QCoreApplication::translate("core", "No space left on device")
                          : reason);
    };
    const Status finished = encoder.finish();
    if (stop.load()) return terminated;
    if (!finished) return failedWriting(finished.reason());
    if (decoder->delivered() == 0)
        return failed(QCoreApplication::translate("core", "The file holds no audio"));

    // Tags go in before the check, so that a file TagLib spoiled is never kept.
    QString note = started->note;
    const double bytesPerSecond = double(decoder->sampleRate()) * double(decoder->frameBytes());
    const double decodedSeconds = double(decoder->delivered()) / bytesPerSecond;
    const double claimedSeconds = double(decoder->claimedLength()) / bytesPerSecond;
    // A damaged or cut-off source converts as far as it goes, and says so.
    if (claimedSeconds - decodedSeconds > std::max(0.1, claimedSeconds * 0.05))
        note = joinedNotes(note, QCoreApplication::translate(
                                     "core", "The source ended early: %1 s of %2 s decoded")
                                     .arg(decodedSeconds, 0, 'f', 1)
                                     .arg(claimedSeconds, 0, 'f', 1));
    if (spec_.copyTags) {
        const Result<QString> tagNote =
            copyTags(spec_.source, temporary.descriptorPath(), *spec_.format);
        if (!tagNote) return failedWriting(tagNote.reason());
        note = joinedNotes(note, *tagNote);
    }

    std::shared_ptr<TrackLoudness> loudness;
    if (spec_.replayGain != ReplayGain::Off) {
        Result<TrackLoudness> measured =
            meter ? meter->finish()
                  : Result<TrackLoudness>(Failure{QCoreApplication::translate(
                        "core", "ReplayGain tags not written: the audio could not be measured")});
        Status written =
            measured ? writeReplayGain(temporary.descriptorPath(), *spec_.format,
                                       QStringLiteral("TRACK"), measured->gainDb, measured->peak)
                     : Status(Failure{measured.reason()});
        if (written) {
            loudness = std::make_shared<TrackLoudness>(measured.take());
            loudness->album = readNameTags(spec_.source).album;
        } else {
            note = joinedNotes(note, written.reason());
        }
    }

    ExpectedOutput expected = started->expected;
    expected.seconds = decodedSeconds;
    if (const Status checked =
            checkOutput(temporary.descriptorPath(), expected,
                        started->lossless ? &started->lossless->digest() : nullptr);
        !checked)
        return failedWriting(checked.reason());
    const Result<QString> named =
        temporary.commit(outputPath, spec_.existing == ExistingOutput::Replace);
    if (!named) return failedWriting(named.reason());
    return JobResult{JobOutcome::Converted, {}, *named, note, std::move(loudness)};
}

}  // namespace core
