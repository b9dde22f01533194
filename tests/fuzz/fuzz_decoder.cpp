// Damaged audio files through the decoder: it opens or refuses with a
// reason, reads whole frames (fewer than asked only at the end), and at the
// end reports a length equal to what it delivered.
//
// Input: <selector byte> <file bytes>; the selector picks the file's
// extension (and with it the headerless formats) and the read block size.

#include "FuzzSupport.h"
#include "core/Decoder.h"

#include <vector>

extern "C" {
#include <libavutil/log.h>
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    qInstallMessageHandler(fuzz::quietMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kExtensions[] = {"wav", "mp3", "ogg", "flac", "raw", "vox"};
    const QString path = fuzz::writeFile(QString("input.") + kExtensions[data[0] % 6],
                                         reinterpret_cast<const char*>(data + 1), size - 1);
    auto opened = core::Decoder::open(path);
    if (!opened) {
        CHECK(!opened.reason().isEmpty());
        return 0;
    }
    core::Decoder& d = **opened;
    CHECK(d.sampleRate() > 0 && d.channels() > 0);
    const qint64 fb = d.frameBytes();
    // Odd block sizes up to 64 KiB, at least one frame; an honest but long
    // stream stops at 64 MB rather than pass for a hang.
    const qint64 block = std::max<qint64>(fb, (data[0] / 6 + 1) * 997 % 65536);
    std::vector<uint8_t> buffer(size_t(block) + 64);
    qint64 total = 0;
    while (!d.atEnd() && total < (64 << 20)) {
        const qint64 n = d.read(buffer.data(), block);
        total += n;
        CHECK(n >= 0 && n % fb == 0 && d.delivered() == total);
        CHECK(d.atEnd() || (n == block - block % fb && (d.length() == -1 || d.length() > total)));
    }
    if (d.atEnd()) CHECK(d.length() == total && d.read(buffer.data(), block) == 0);
    return 0;
}
