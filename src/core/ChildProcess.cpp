#include "core/ChildProcess.h"

#include "core/NativePath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <chrono>
#include <thread>
#include <vector>

namespace core {

namespace {
constexpr size_t kKeptLines = 4;
// Standard input's pipe, where the system allows it: room for a fraction
// of a second of audio, so that the writer is woken less often.
constexpr int kLargePipeBytes = 1 << 20;

void ignoreSigpipe() {
    // A dead encoder must show as a failed write, never end the program.
    static const bool done = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)done;
}

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// posix_spawn's two option objects, destroyed however start() returns.
struct SpawnActions {
    posix_spawn_file_actions_t actions;
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
};
struct SpawnAttributes {
    posix_spawnattr_t attr;
    SpawnAttributes() { posix_spawnattr_init(&attr); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attr); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        stdin_.reset();
        reap(2000);
    }
    if (reader_.joinable()) {
        reader_.request_stop();
        reader_.join();
    }
}

Status ChildProcess::start(const QString& program, const QStringList& arguments, int passedFd) {
    ignoreSigpipe();
    name_ = QFileInfo(program).fileName();
    int in[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        return Failure{QCoreApplication::translate("core", "The encoder %1 can't be started: %2")
                           .arg(name_, errnoText(errno))};
    UniqueFd inRead(in[0]), inWrite(in[1]);
    if (pipe2(err, O_CLOEXEC) != 0)
        return Failure{QCoreApplication::translate("core", "The encoder %1 can't be started: %2")
                           .arg(name_, errnoText(errno))};
    UniqueFd errRead(err[0]), errWrite(err[1]);

    std::vector<QByteArray> args;
    args.push_back(core::nativePath(program));
    for (const QString& a : arguments) args.push_back(core::nativePath(a));
    std::vector<char*> argv;
    for (QByteArray& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    SpawnActions fa;
    posix_spawn_file_actions_adddup2(&fa.actions, inRead.get(), STDIN_FILENO);
    posix_spawn_file_actions_addopen(&fa.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&fa.actions, errWrite.get(), STDERR_FILENO);
    // dup2 onto itself clears close-on-exec, so this works for any number.
    if (passedFd >= 0) posix_spawn_file_actions_adddup2(&fa.actions, passedFd, kPassedFd);
    SpawnAttributes sa;
    // The child gets SIGPIPE back at its default and no inherited signal mask.
    sigset_t def, none;
    sigemptyset(&def);
    sigaddset(&def, SIGPIPE);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&sa.attr, &def);
    posix_spawnattr_setsigmask(&sa.attr, &none);
    // Its own process group: a terminal's Ctrl+C reaches only the program,
    // which stops the job in order, instead of killing the encoder mid-file.
    posix_spawnattr_setpgroup(&sa.attr, 0);
    posix_spawnattr_setflags(
        &sa.attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &fa.actions, &sa.attr, argv.data(), environ);
    if (rc != 0)
        return Failure{
            rc == ENOENT
                ? QCoreApplication::translate("core", "The encoder %1 was not found").arg(name_)
                : QCoreApplication::translate("core", "The encoder %1 can't be started: %2")
                      .arg(name_, errnoText(rc))};
    pid_ = pid;
    stdin_ = std::move(inWrite);
    ::fcntl(stdin_.get(), F_SETFL, ::fcntl(stdin_.get(), F_GETFL) | O_NONBLOCK);
    largePipe_ = ::fcntl(stdin_.get(), F_SETPIPE_SZ, kLargePipeBytes) >= kLargePipeBytes;
    stderr_ = std::move(errRead);
    reader_ = std::jthread([this](std::stop_token stop) {
        readErrors(stop);
        {
            std::lock_guard lock(linesMutex_);
            readerDone_ = true;
        }
        readerDoneChanged_.notify_all();
    });
    return {};
}

namespace {

// What encoders print while all is well (banners, progress, summaries):
// never a reason for a failure.
bool isChatter(const QByteArray& line) {
    static const QRegularExpression chatter(QStringLiteral(
        "^(\\[\\s*[0-9.]+%\\]|Encoding |Done encoding|File length:|Elapsed time:|Rate:|"
        "Average bitrate:|LAME [0-9]|Using polyphase|Frame\\s*\\||[0-9]+/[0-9]+\\s*\\(|"
        "Writing LAME Tag|ReplayGain:|average:|Resampling:|Autoconverting)|so far\\]|"
        "remaining\\]"));
    return chatter.match(QString::fromLocal8Bit(line)).hasMatch();
}

}  // namespace

void ChildProcess::readErrors(const std::stop_token& stop) {
    char buf[4096];
    while (!stop.stop_requested()) {
        pollfd p{stderr_.get(), POLLIN, 0};
        const int r = ::poll(&p, 1, 100);
        if (r < 0 && errno != EINTR) return;
        if (r <= 0) continue;
        const ssize_t n = ::read(stderr_.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        std::lock_guard lock(linesMutex_);
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buf[i];
            if (c == '\n' || c == '\r') {
                if (!partial_.trimmed().isEmpty() && !isChatter(partial_.trimmed())) {
                    lines_.push_back(partial_.trimmed());
                    if (lines_.size() > kKeptLines) lines_.pop_front();
                }
                partial_.clear();
            } else {
                // An endless line keeps its tail, where the error usually is.
                if (partial_.size() >= 2048) partial_.remove(0, 1024);
                partial_.append(c);
            }
        }
    }
}

QString ChildProcess::lastErrorLines() const {
    std::lock_guard lock(linesMutex_);
    QStringList out;
    for (const QByteArray& l : lines_) out << QString::fromLocal8Bit(l);
    if (!partial_.trimmed().isEmpty() && !isChatter(partial_.trimmed()))
        out << QString::fromLocal8Bit(partial_.trimmed());
    while (out.size() > 2) out.removeFirst();
    return out.join(QLatin1Char('\n'));
}

bool ChildProcess::writeAll(const char* data, qint64 size) {
    if (stdin_.get() < 0) return false;
    while (size > 0) {
        const ssize_t n = ::write(stdin_.get(), data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // An encoder that stops reading but stays alive must not hang
            // the program: after a long stall it is given up as failed, and
            // at once on a stop.
            if (waitWritable()) continue;
            if (!stopped()) stalled_ = true;
            terminate();
            stdin_.reset();
            return false;
        }
        if (n <= 0) {
            stdin_.reset();  // EPIPE: the encoder is gone
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

namespace {

constexpr int kSliceMs = 50;
constexpr auto kRefillDelay = std::chrono::milliseconds(5);
// A stopped encoder gets this long to end on SIGTERM before SIGKILL.
constexpr int kTerminateGraceMs = 2000;

// Waits up to timeoutMs for the child's exit, or until stop is set. A
// pidfd becomes readable the moment the process ends.
void waitForExit(pid_t pid, int timeoutMs, const std::atomic<bool>* stop) {
    UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || (stop && stop->load())) return;
        const int slice = int(std::min<qint64>(left, kSliceMs));
        if (pidfd.get() >= 0) {
            pollfd p{pidfd.get(), POLLIN, 0};
            if (::poll(&p, 1, slice) > 0) return;
            continue;
        }
        // Kernels without pidfds: look every few milliseconds.
        siginfo_t info{};
        if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno != EINTR)
            return;
        if (info.si_pid == pid) return;
        ::usleep(2000);
    }
}

}  // namespace

bool ChildProcess::stopped() const {
    return stop_ && stop_->load();
}

bool ChildProcess::waitWritable() {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(stallTimeoutMs_);
    while (!stopped() && std::chrono::steady_clock::now() < deadline) {
        pollfd p{stdin_.get(), POLLOUT, 0};
        if (::poll(&p, 1, kSliceMs) > 0) {
            // An encoder reads a page at a time, and each read of a full
            // pipe would wake us for one more page: a few milliseconds'
            // worth drains first, a small part of what a large pipe holds.
            if (largePipe_) std::this_thread::sleep_for(kRefillDelay);
            return true;
        }
    }
    return false;
}

void ChildProcess::reap(int timeoutMs) {
    pid_t r = ::waitpid(pid_, &status_, WNOHANG);
    if (r == 0) {
        waitForExit(pid_, timeoutMs, stop_);
        r = ::waitpid(pid_, &status_, WNOHANG);
        if (r == 0) {
            terminate();  // did not finish in time, or a stop came
            return;
        }
    }
    while (r < 0 && errno == EINTR) r = ::waitpid(pid_, &status_, 0);
    reaped_ = true;
}

void ChildProcess::terminate() {
    if (pid_ <= 0 || reaped_) return;
    // The whole group: whatever the encoder started goes with it. A
    // stopped process acts on SIGTERM only once continued.
    ::kill(-pid_, SIGTERM);
    ::kill(-pid_, SIGCONT);
    waitForExit(pid_, kTerminateGraceMs, nullptr);
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        reaped_ = true;
        return;
    }
    ::kill(-pid_, SIGKILL);
    pid_t r;
    while ((r = ::waitpid(pid_, &status_, 0)) < 0 && errno == EINTR) {
    }
    reaped_ = true;
}

Status ChildProcess::finish(int timeoutMs) {
    if (pid_ <= 0)
        return Failure{QCoreApplication::translate("core", "The encoder was not started")};
    stdin_.reset();  // end of input: the encoder finishes its file
    if (!reaped_) reap(timeoutMs);
    // Let the reader take the last lines up to EOF; a grandchild holding
    // stderr open must not keep us waiting, though.
    if (reader_.joinable()) {
        {
            std::unique_lock lock(linesMutex_);
            readerDoneChanged_.wait_for(lock, std::chrono::milliseconds(500),
                                        [this] { return readerDone_; });
        }
        reader_.request_stop();
        reader_.join();
    }
    if (WIFEXITED(status_) && WEXITSTATUS(status_) == 0 && !stalled_) return {};
    QString why;
    if (WIFSIGNALED(status_) && !stalled_)
        why = QCoreApplication::translate("core", "The encoder %1 was ended by signal %2")
                  .arg(name_)
                  .arg(WTERMSIG(status_));
    else if (stalled_)
        why = QCoreApplication::translate("core", "The encoder %1 stopped reading its input")
                  .arg(name_);
    else if (const QString said = lastErrorLines(); !said.isEmpty())
        why = QCoreApplication::translate("core", "The encoder %1 reported: %2").arg(name_, said);
    if (why.isEmpty()) {
        why = WIFSIGNALED(status_)
                  ? QCoreApplication::translate("core", "The encoder %1 was ended by signal %2")
                        .arg(name_)
                        .arg(WTERMSIG(status_))
                  : QCoreApplication::translate("core", "The encoder %1 exited with status %2")
                        .arg(name_)
                        .arg(WEXITSTATUS(status_));
    }
    return Failure{why};
}

}  // namespace core
