// Reading block after block through an encoder makes no allocation of our
// own once the stream is running (FFmpeg's frames come from its pools), so
// memory stays flat however long the file is.
#include "audio/Engine.h"
#include "support/AudioFixtures.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <dlfcn.h>
#include <vector>

// Every heap allocation of the measuring thread is counted unless FFmpeg's
// own libraries make it (its demuxers hand out a fresh buffer per packet;
// that is FFmpeg's business, and it frees them again). The executable's
// malloc family stands in for the C library's, which is not possible under
// AddressSanitizer: it owns them.
namespace {
thread_local bool t_counting = false;
thread_local bool t_inside = false;
std::atomic<long> g_allocations{0};

bool madeByFfmpeg(void* caller) {
    Dl_info info{};
    if (!dladdr(caller, &info) || !info.dli_fname) return false;
    const char* name = std::strrchr(info.dli_fname, '/');
    name = name ? name + 1 : info.dli_fname;
    return std::strncmp(name, "libav", 5) == 0 || std::strncmp(name, "libsw", 5) == 0;
}

void count(void* caller) {
    if (!t_counting || t_inside) return;
    t_inside = true;
    if (!madeByFfmpeg(caller)) ++g_allocations;
    t_inside = false;
}
}  // namespace

#ifndef __SANITIZE_ADDRESS__
#define COUNTS_ALLOCATIONS 1
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);

__attribute__((noinline)) void* malloc(std::size_t size) {
    count(__builtin_return_address(0));
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
    count(__builtin_return_address(0));
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
    count(__builtin_return_address(0));
    return __libc_realloc(p, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    count(__builtin_return_address(0));
    void* p = __libc_memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    count(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    count(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}
}
#endif

using audio::Engine;
using audio::Handle;

class SteadyStateTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_source;

    // Allocations made by 200 blocks after 20 blocks of warm-up.
    long steadyAllocations(Engine& engine, Handle stream) {
        std::vector<char> buffer(20001);
        for (int i = 0; i < 20; ++i) engine.channelGetData(stream, buffer.data(), 20000);
        const long before = g_allocations;
        t_counting = true;
        for (int i = 0; i < 200 && engine.channelIsActive(stream); ++i)
            engine.channelGetData(stream, buffer.data(), 20000);
        t_counting = false;
        const long made = g_allocations - before;
        return engine.channelIsActive(stream) ? made : -1;  // -1: the file ended too soon
    }

private slots:
    void initTestCase() {
#ifndef COUNTS_ALLOCATIONS
        QSKIP("allocations cannot be counted under AddressSanitizer");
#endif
        m_source = fixtures::makeWav(m_dir.path(), "noise.wav", 40.0, 44100, 2, "pcm_s16le",
                                     fixtures::Signal::Noise);
        QVERIFY(!m_source.isEmpty());
        const long before = g_allocations;
        t_counting = true;
        const QString text = QString("counted") + m_source;
        t_counting = false;
        QVERIFY(g_allocations > before);  // the counter sees Qt's allocations too
    }

    void readingThroughAnEncoderAllocatesNothing() {
        for (const bool wav : {false, true}) {
            Engine engine;
            const Handle stream = engine.streamCreateFile(m_source, true);
            QVERIFY(stream);
            if (wav) {
                QByteArray format;
                for (const audio::WaveFormatInfo& f : Engine::waveFormats())
                    if (f.formatName == "IMA ADPCM" && f.attributes == "22050 Hz, 4 bit, Mono")
                        format = f.waveFormatEx;
                QVERIFY(engine.encodeStartACMFile(stream, format, m_dir.filePath("out.wav")));
            } else {
                // lame, with the audio resampled on the way
                QVERIFY(engine.encodeStart(
                    stream, {QStandardPaths::findExecutable("lame"),
                             {"-h", "-ms", "-b128", "-s22.05", "-", m_dir.filePath("out.mp3")},
                             22050,
                             0,
                             true}));
            }
            QVERIFY2(steadyAllocations(engine, stream) == 0, wav ? "WAV writer" : "lame");
            audio::EncodeOutcome outcome;
            QVERIFY(engine.streamFree(stream, &outcome));
            QVERIFY2(outcome.ok, qPrintable(outcome.reason));
        }
    }
};

QTEST_GUILESS_MAIN(SteadyStateTest)
#include "tst_engine_steady_state.moc"
