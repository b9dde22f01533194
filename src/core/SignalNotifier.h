#pragma once
// SIGINT, SIGTERM and SIGHUP delivered to the event loop as a Qt signal.
// The handler only writes the signal's number to a pipe (async-signal-safe);
// a socket notifier on the main thread reads it.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace core {

class SignalNotifier : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance per process.
    explicit SignalNotifier(QObject* parent = nullptr);
    ~SignalNotifier() override;

    // The first signal caught so far, 0 for none; readable before the event loop runs.
    static int caught();

signals:
    void received(int signalNumber);

private:
    void drain();

    std::unique_ptr<QSocketNotifier> notifier_;
};

// The exit status a shell gives a process ended by that signal: 128 + number.
inline int exitStatusForSignal(int signalNumber) {
    return 128 + signalNumber;
}

}  // namespace core
