#pragma once
// Single-owner wrappers for the FFmpeg objects the engine uses, and the one
// place where a failing FFmpeg call becomes a reason a person understands.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <QString>

#include <memory>

namespace core::ff {

struct InputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrCloser {
    void operator()(SwrContext* c) const { swr_free(&c); }
};
struct PacketCloser {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameCloser {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct FifoCloser {
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};
struct DictCloser {
    void operator()(AVDictionary* d) const { av_dict_free(&d); }
};

using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using SwrPtr = std::unique_ptr<SwrContext, SwrCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameCloser>;
using FifoPtr = std::unique_ptr<AVAudioFifo, FifoCloser>;

// An output context owns its AVIOContext separately: closing it is where a
// delayed write error shows, so it is done explicitly and checked.
struct OutputCloser {
    void operator()(AVFormatContext* c) const {
        if (c && !(c->oformat->flags & AVFMT_NOFILE)) avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
using OutputPtr = std::unique_ptr<AVFormatContext, OutputCloser>;

// FFmpeg's text for an error code.
QString errorText(int err);

// Which end of a conversion a call served: the same FFmpeg call can fail on
// a damaged source or on an output that can't be written.
enum class Side { Reading, Writing };

// Logs "<call> failed: <FFmpeg's text>" as a warning (standard error; the
// command line shows it with --verbose) and returns the reason a person
// reads on the row or the command line: a sentence, no function names.
QString logError(const char* call, int err, Side side = Side::Reading);
// The same reason, without the log line.
QString readableReason(const char* call, int err, Side side = Side::Reading);

// Our own warnings name the failing call; FFmpeg's chatter about each
// damaged frame is not wanted on the console. Once per process.
void quietLogging();

// Empty when the FFmpeg libraries loaded at run time are those built
// against; otherwise the file name of the first one that differs.
QString versionMismatch();

}  // namespace core::ff
