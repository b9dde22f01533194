#pragma once
// A stream played through the AudioDevice. A decoder thread of its own
// keeps a ring buffer filled with audio in the device's format; SDL's audio
// thread drains it, so a busy UI thread never causes a gap.

#include "core/Decoder.h"
#include "core/SampleConverter.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace playback {

class AudioDevice;

class PlayStream {
public:
    static core::Result<std::unique_ptr<PlayStream>> create(std::unique_ptr<core::Decoder> decoder,
                                                            AudioDevice& device);
    ~PlayStream();
    PlayStream(const PlayStream&) = delete;
    PlayStream& operator=(const PlayStream&) = delete;

    int sampleRate() const { return srcRate_; }
    int channels() const { return srcFrameBytes_ / 2; }
    bool play();
    void stop();
    bool isActive() const { return playing_ && !finished_; }
    qint64 length() const;    // source-format bytes
    qint64 position() const;  // played so far, in source-format bytes

    // Audio thread: copies up to len bytes of device-format audio to out.
    int pull(uint8_t* out, int len);

private:
    PlayStream(std::unique_ptr<core::Decoder> decoder, AudioDevice& device);
    void decodeLoop(const std::stop_token& stop);
    bool push(const uint8_t* data, size_t len, const std::stop_token& stop);

    std::unique_ptr<core::Decoder> decoder_;  // used by the decoder thread only while it runs
    AudioDevice& device_;
    core::SampleConverter conv_;
    const int srcRate_;
    const int srcFrameBytes_;
    std::vector<uint8_t> block_;

    std::mutex ringMutex_;
    std::condition_variable_any ringSpace_;
    std::vector<uint8_t> ring_;
    size_t ringHead_ = 0;   // next byte to play
    size_t ringCount_ = 0;  // bytes waiting

    std::atomic<qint64> delivered_{0};  // source bytes decoded
    std::atomic<qint64> length_{-1};    // decoder's length, source bytes
    std::atomic<qint64> consumed_{0};   // device bytes played
    std::atomic<bool> decodedAll_{false};
    std::atomic<bool> finished_{false};
    bool playing_ = false;
    std::jthread thread_;
};

}  // namespace playback
