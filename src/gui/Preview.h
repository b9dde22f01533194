#pragma once
// Playing one source file through the sound device, and noticing its end:
// a 100 ms timer compares the played position with the length.

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace playback {
class AudioDevice;
class PlayStream;
}  // namespace playback

namespace gui {

class Preview : public QObject {
    Q_OBJECT
public:
    // device: none when no sound output could be opened; nothing then plays.
    explicit Preview(playback::AudioDevice* device, QObject* parent = nullptr);
    ~Preview() override;

    // True when the file opened and started playing. A file that can't be
    // opened or started leaves nothing open.
    bool play(const QString& path);
    void stop();
    bool isOpen() const { return stream_ != nullptr; }
    bool canPlay() const { return device_ != nullptr; }

signals:
    // The file has played to its end.
    void ended();

private:
    void checkEnd();

    playback::AudioDevice* device_;
    std::unique_ptr<playback::PlayStream> stream_;
    QTimer endTimer_{this};  // a child, so the window can tell that it runs
};

}  // namespace gui
