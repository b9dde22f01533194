#include "cli/Console.h"

#include "core/NativePath.h"

#include <sys/ioctl.h>
#include <unistd.h>
#include <cerrno>

namespace cli {

namespace {

// A closed pipe or a full disk loses the text, never the conversion.
void writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        data += n;
        left -= n;
    }
}

int terminalColumns() {
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

const QByteArray kEraseLine = QByteArrayLiteral("\r\x1b[K");

}  // namespace

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

Console::Console(bool live) : live_(live) {}

void Console::out(const QString& line) {
    eraseStatus();
    writeAll(STDOUT_FILENO, core::nativePath(line) + '\n');
    drawStatus();
}

void Console::err(const QString& line) {
    eraseStatus();
    writeAll(STDERR_FILENO, core::nativePath(line) + '\n');
    drawStatus();
}

void Console::status(const QString& text) {
    if (!live_) return;
    // A line wider than the terminal would wrap, and \r would then redraw only its tail.
    status_ = text.left(terminalColumns() - 1);
    writeAll(STDOUT_FILENO, kEraseLine + core::nativePath(status_));
}

void Console::keepStatus() {
    if (!live_ || status_.isEmpty()) return;
    writeAll(STDOUT_FILENO, QByteArrayLiteral("\n"));
    status_.clear();
}

void Console::eraseStatus() {
    if (live_ && !status_.isEmpty()) writeAll(STDOUT_FILENO, kEraseLine);
}

void Console::drawStatus() {
    if (live_ && !status_.isEmpty()) writeAll(STDOUT_FILENO, core::nativePath(status_));
}

}  // namespace cli
