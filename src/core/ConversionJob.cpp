#include "core/ConversionJob.h"

#include "core/Decoder.h"
#include "core/EncoderCommand.h"
#include "core/EncoderProcess.h"
#include "core/WavWriter.h"
#include "core/WaveFormat.h"

#include <memory>
#include <vector>

namespace core {

namespace {

JobResult failed(const QString& reason, const QString& output) {
    return JobResult{JobOutcome::Failed, reason, output};
}

}  // namespace

ConversionJob::ConversionJob(JobSpec spec, QString outputPath, Environment environment)
    : spec_(std::move(spec)),
      outputPath_(std::move(outputPath)),
      environment_(std::move(environment)) {}

JobResult ConversionJob::run(const std::atomic<bool>& stop) {
    Result<std::unique_ptr<Decoder>> opened = Decoder::open(spec_.source);
    if (!opened) return failed(opened.reason(), outputPath_);
    std::unique_ptr<Decoder> decoder = opened.take();
    length_ = decoder->length();

    std::unique_ptr<Encoder> encoder;
    if (stop.load()) return JobResult{JobOutcome::Terminated, {}, outputPath_};
    if (!spec_.format) return failed(QStringLiteral("No output format is selected"), outputPath_);
    if (*spec_.format == OutputFormat::Wav) {
        const WaveFormatAnswer answer =
            environment_.askWaveFormat ? environment_.askWaveFormat() : WaveFormatAnswer{};
        if (answer.withdrawn || stop.load()) return JobResult{JobOutcome::Terminated, {}, outputPath_};
        if (!answer.waveFormatEx) return failed(QStringLiteral("No wave format was chosen"), outputPath_);
        Result<WavEncoding> encoding = parseWaveFormat(*answer.waveFormatEx);
        if (!encoding) return failed(encoding.reason(), outputPath_);
        auto writer = WavWriter::create(*encoding, outputPath_, decoder->sampleRate(),
                                        decoder->channels());
        if (!writer) return failed(writer.reason(), outputPath_);
        encoder = writer.take();
    } else {
        const EncoderCommandLine command = buildEncoderCommand(
            *spec_.format, spec_.encoder, environment_.encoderFolder, outputPath_);
        if (command.encoder.program.isEmpty()) {
            return failed(QStringLiteral("%1 not found")
                              .arg(*spec_.format == OutputFormat::Mp3 ? QStringLiteral("lame")
                                                                       : QStringLiteral("oggenc")),
                          outputPath_);
        }
        auto process = EncoderProcess::create(command.encoder, decoder->sampleRate(),
                                              decoder->channels());
        if (!process) return failed(process.reason(), outputPath_);
        (*process)->setStallTimeout(environment_.encoderStallTimeoutMs);
        encoder = process.take();
    }

    // The plain loop: a block decoded, handed to the encoder, the stop flag read.
    std::vector<uint8_t> block(kBlockBytes);
    while (!decoder->atEnd()) {
        const qint64 got = decoder->read(block.data(), kBlockBytes);
        decoded_ = decoder->delivered();
        length_ = decoder->length();
        // An encoder that takes no more has failed; decoding on would only waste time.
        if (got > 0 && !encoder->write(block.data(), got)) break;
        if (stop.load()) break;
    }

    // A file the encoder did not finish is never reported as converted.
    const Status finished = encoder->finish();
    if (!finished) return failed(finished.reason(), outputPath_);
    if (stop.load()) return JobResult{JobOutcome::Terminated, {}, outputPath_};
    return JobResult{JobOutcome::Converted, {}, outputPath_};
}

}  // namespace core
