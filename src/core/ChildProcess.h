#pragma once
// A child process started from an argument vector (never a shell) with a
// pipe on its standard input, standard output on /dev/null and standard
// error read by a small thread that keeps the last lines. One owner: the
// destructor closes the pipe, waits a while, then kills, and always reaps.

#include "core/Result.h"
#include "core/UniqueFd.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace core {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Fails ("lame not found") when it cannot be started. A given
    // passedFd becomes the child's descriptor kPassedFd.
    Status start(const QString& program, const QStringList& arguments, int passedFd = -1);
    static constexpr int kPassedFd = 3;

    // Writes all of data to standard input; false once the pipe is broken.
    bool writeAll(const char* data, qint64 size);

    // Closes standard input and waits for the exit (killing the process
    // after timeoutMs). Success is a zero exit status; otherwise the reason says why.
    Status finish(int timeoutMs);

    QString lastErrorLines() const;

    // How long writeAll waits for an encoder that takes no input before it
    // kills it and fails.
    void setStallTimeout(int ms) { stallTimeoutMs_ = ms; }
    // Once *stop is set, writes and waits end the process group at once
    // (SIGTERM, SIGKILL after two seconds) instead of waiting it out.
    void setStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }

private:
    void readErrors(const std::stop_token& stop);
    void reap(int timeoutMs);
    void terminate();
    bool stopped() const;
    bool waitWritable();  // false after the stall timeout or on a stop

    QString name_;
    pid_t pid_ = -1;
    int status_ = 0;
    bool reaped_ = false;
    bool stalled_ = false;
    int stallTimeoutMs_ = 15000;
    const std::atomic<bool>* stop_ = nullptr;
    UniqueFd stdin_;
    bool largePipe_ = false;  // the system let standard input's pipe grow
    UniqueFd stderr_;
    bool readerDone_ = false;  // guarded by linesMutex_
    std::condition_variable readerDoneChanged_;
    std::jthread reader_;
    mutable std::mutex linesMutex_;
    std::deque<QByteArray> lines_;
    QByteArray partial_;
};

}  // namespace core
