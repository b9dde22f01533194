#include "gui/Preview.h"

#include "core/Decoder.h"
#include "playback/AudioDevice.h"
#include "playback/PlayStream.h"

namespace gui {

Preview::Preview(playback::AudioDevice* device, QObject* parent)
    : QObject(parent), device_(device) {
    endTimer_.setInterval(100);
    connect(&endTimer_, &QTimer::timeout, this, &Preview::checkEnd);
}

Preview::~Preview() = default;

bool Preview::play(const QString& path) {
    stop();
    if (!device_) return false;
    core::Result<std::unique_ptr<core::Decoder>> decoder = core::Decoder::open(path);
    if (!decoder) return false;
    core::Result<std::unique_ptr<playback::PlayStream>> stream =
        playback::PlayStream::create(decoder.take(), *device_);
    if (!stream) return false;
    // A stream that opened but could not start is released at once rather
    // than left open with no way to stop it.
    if (!(*stream)->play()) return false;
    stream_ = stream.take();
    endTimer_.start();
    return true;
}

void Preview::stop() {
    endTimer_.stop();
    if (stream_) stream_->stop();
    stream_.reset();
}

void Preview::checkEnd() {
    if (stream_ && stream_->position() == stream_->length()) emit ended();
}

}  // namespace gui
