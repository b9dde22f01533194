#include "core/ConversionJob.h"

#include "core/Decoder.h"
#include "core/EncoderCommand.h"
#include "core/EncoderLimits.h"
#include "core/EncoderProcess.h"
#include "core/OutputCheck.h"
#include "core/OutputFile.h"
#include "core/Tags.h"
#include "core/WavWriter.h"
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

}  // namespace

struct ConversionJob::Started {
    std::unique_ptr<Encoder> encoder;
    ExpectedOutput expected;
    QString note;
};

ConversionJob::ConversionJob(JobSpec spec, QString outputPath, Environment environment)
    : spec_(std::move(spec)),
      outputPath_(std::move(outputPath)),
      environment_(std::move(environment)) {}

Result<ConversionJob::Started> ConversionJob::startEncoder(const Decoder& decoder,
                                                           const TemporaryOutput& temporary,
                                                           const std::atomic<bool>& stop) {
    Started started;
    if (!spec_.format)
        return Failure{QCoreApplication::translate("core", "No output format is selected")};
    if (*spec_.format == OutputFormat::Wav) {
        const WaveFormatAnswer answer =
            environment_.askWaveFormat ? environment_.askWaveFormat() : WaveFormatAnswer{};
        if (answer.withdrawn || stop.load()) {
            withdrawn_ = true;
            return Failure{};
        }
        if (!answer.waveFormatEx)
            return Failure{QCoreApplication::translate("core", "No wave format was chosen")};
        Result<WavEncoding> encoding = parseWaveFormat(*answer.waveFormatEx);
        if (!encoding) return Failure{encoding.reason()};
        started.note = fitWaveEncoding(*encoding, decoder.sampleRate(), decoder.channels());
        auto writer = WavWriter::create(*encoding, temporary.descriptorPath(), decoder.sampleRate(),
                                        decoder.channels());
        if (!writer) return Failure{writer.reason()};
        started.encoder = writer.take();
        const AVCodec* codec = avcodec_find_encoder_by_name(encoding->encoder);
        started.expected = {codec ? codec->id : AV_CODEC_ID_NONE, encoding->sampleRate,
                            encoding->channels, 0};
        return started;
    }

    EncoderSettings settings = spec_.encoder;
    const int askedChannels = settings.sourceChannels ? 0 : settings.stereo ? 2 : 1;
    const FittedAudio fit = fitToOutput(encoderCapacity(*spec_.format), settings.sampleRate,
                                        askedChannels, decoder.sampleRate(), decoder.channels());
    settings.sampleRate = fit.sampleRate;
    settings.stereo = fit.channels == 2;
    settings.sourceChannels = false;
    const BitrateAdjustment bitrate = adjustBitrate(*spec_.format, settings);
    settings.bitrate = bitrate.kbps;
    started.note = joinedNotes(fit.note, bitrate.note);
    EncoderCommandLine command = buildEncoderCommand(
        *spec_.format, settings, environment_.encoderFolder, encoderOutputPath());
    command.encoder.outputFd = temporary.descriptor();
    const bool mp3 = *spec_.format == OutputFormat::Mp3;
    if (command.encoder.program.isEmpty())
        return Failure{QCoreApplication::translate("core", "The encoder %1 was not found")
                           .arg(mp3 ? QStringLiteral("lame") : QStringLiteral("oggenc"))};
    auto process =
        EncoderProcess::create(command.encoder, decoder.sampleRate(), decoder.channels());
    if (!process) return Failure{process.reason()};
    (*process)->setStallTimeout(environment_.encoderStallTimeoutMs);
    started.encoder = process.take();
    started.expected = {mp3 ? AV_CODEC_ID_MP3 : AV_CODEC_ID_VORBIS, settings.sampleRate,
                        settings.stereo ? 2 : 1, 0};
    return started;
}

JobResult ConversionJob::run(const std::atomic<bool>& stop) {
    const auto failed = [this](const QString& reason) {
        return JobResult{JobOutcome::Failed, reason, outputPath_, {}};
    };
    const JobResult terminated{JobOutcome::Terminated, {}, outputPath_, {}};
    if (outputPath_.isEmpty())
        return failed(QCoreApplication::translate("core", "Choose a destination folder"));
    Result<std::unique_ptr<Decoder>> opened = Decoder::open(spec_.source);
    if (!opened) return failed(opened.reason());
    std::unique_ptr<Decoder> decoder = opened.take();
    length_ = decoder->length();
    if (stop.load()) return terminated;

    Result<TemporaryOutput> created = TemporaryOutput::create(outputPath_);
    if (!created) return failed(created.reason());
    TemporaryOutput temporary = created.take();
    Result<Started> started = startEncoder(*decoder, temporary, stop);
    if (!started && withdrawn_)
        return stop.load() ? terminated : JobResult{JobOutcome::Withdrawn, {}, outputPath_, {}};
    if (!started) return failed(started.reason());
    Encoder& encoder = *started->encoder;

    // The plain loop: a block decoded, handed to the encoder, the stop flag read.
    std::vector<uint8_t> block(kBlockBytes);
    while (!decoder->atEnd()) {
        const qint64 got = decoder->read(block.data(), kBlockBytes);
        decoded_ = decoder->delivered();
        length_ = decoder->length();
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
    if (spec_.copyTags) {
        const Result<QString> tagNote =
            copyTags(spec_.source, temporary.descriptorPath(), *spec_.format);
        if (!tagNote) return failedWriting(tagNote.reason());
        note = joinedNotes(note, *tagNote);
    }

    ExpectedOutput expected = started->expected;
    expected.seconds = double(decoder->delivered()) /
                       (double(decoder->sampleRate()) * double(decoder->frameBytes()));
    if (const Status checked = checkOutput(temporary.descriptorPath(), expected); !checked)
        return failedWriting(checked.reason());
    const Result<QString> named = temporary.commit(outputPath_);
    if (!named) return failedWriting(named.reason());
    return JobResult{JobOutcome::Converted, {}, *named, note};
}

}  // namespace core
