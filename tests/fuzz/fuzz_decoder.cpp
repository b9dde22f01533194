// Damaged audio files through the decoder: it opens or refuses, reads whole
// frames, and at the end reports a length equal to what it delivered.
//
// Input: <selector byte> <file bytes>; the selector picks the file's
// extension (and with it the headerless formats) and the read block size.

#include "FuzzSupport.h"
#include "core/Decoder.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// An honest but long stream stops here rather than pass for a hang.
constexpr qint64 kMaxDecodedBytes = 64 << 20;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    qInstallMessageHandler(fuzz::quietMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kExtensions[] = {"wav", "mp3", "ogg", "flac", "raw", "vox"};
    const uint8_t selector = data[0];
    const QString path = fuzz::tempDir()->filePath(QStringLiteral("input.") +
                                                   QLatin1String(kExtensions[selector % 6]));
    fuzz::writeFile(path, reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    auto opened = core::Decoder::open(path);
    if (!opened) {
        CHECK(!opened.reason().isEmpty());
        return 0;
    }
    const std::unique_ptr<core::Decoder> decoder = opened.take();
    CHECK(decoder->sampleRate() > 0 && decoder->channels() > 0);
    const qint64 fb = decoder->frameBytes();

    // Odd block sizes up to 64 KiB, at least one frame.
    const qint64 block = std::max<qint64>(fb, (selector / 6 + 1) * 997 % 65536);
    std::vector<uint8_t> buffer(size_t(block) + 64);
    qint64 total = 0;
    while (!decoder->atEnd() && total < kMaxDecodedBytes) {
        const qint64 n = decoder->read(buffer.data(), block);
        CHECK(n >= 0 && n <= block && n % fb == 0);
        total += n;
        CHECK(decoder->delivered() == total);
        if (!decoder->atEnd()) {
            CHECK(n == block - block % fb);  // fewer bytes than asked only at the end
            const qint64 len = decoder->length();
            CHECK(len == -1 || len > total);
        }
    }
    if (decoder->atEnd()) {
        CHECK(decoder->length() == decoder->delivered());
        CHECK(decoder->read(buffer.data(), block) == 0);
        CHECK(decoder->delivered() == total);
    }
    return 0;
}
