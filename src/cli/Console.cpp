#include "cli/Console.h"

#include "core/NativePath.h"

#include <sys/ioctl.h>
#include <unistd.h>
#include <algorithm>
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

bool isUnsafe(QChar c) {
    const char16_t u = c.unicode();
    return c.category() == QChar::Other_Control || u == 0x061C || u == 0x200E || u == 0x200F ||
           (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString escaped(const QString& unsafe) {
    QString text;
    // The letters $'...' writes for the controls from '\a' (7) to '\r' (13).
    static constexpr char kLetters[] = "abtnvfr";
    for (const char byte : core::nativePath(unsafe)) {
        if (byte >= '\a' && byte <= '\r')
            text.append(QLatin1Char('\\')).append(QLatin1Char(kLetters[byte - '\a']));
        else
            text += QStringLiteral("\\%1").arg(uint(uchar(byte)), 3, 8, QLatin1Char('0'));
    }
    return QStringLiteral("$'") + text + QLatin1Char('\'');
}

}  // namespace

QString quotedForTerminal(const QString& name) {
    if (std::none_of(name.begin(), name.end(), isUnsafe)) return name;
    QString quoted;
    for (qsizetype at = 0; at < name.size();) {
        const bool unsafe = isUnsafe(name.at(at));
        qsizetype end = at;
        while (end < name.size() && isUnsafe(name.at(end)) == unsafe) ++end;
        const QString run = name.mid(at, end - at);
        quoted += unsafe ? escaped(run)
                         : QLatin1Char('\'') +
                               QString(run).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
                               QLatin1Char('\'');
        at = end;
    }
    return quoted;
}

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
