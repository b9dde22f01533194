#pragma once
// What every fuzz target needs: a check that stops the run where it fails,
// a private folder for the files it makes, and no Qt log noise per input.

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

#define CHECK(cond) ((cond) ? (void)0 : __builtin_trap())

namespace fuzz {

inline QString tempPath(const QString& name) {
    static QTemporaryDir dir;
    if (!dir.isValid()) std::abort();
    return dir.filePath(name);
}

inline void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// The file name, with its content replaced; aborts when it cannot, as the
// run would be meaningless.
inline QString writeFile(const QString& name, const char* data, size_t size) {
    QFile f(tempPath(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(data, qint64(size)) != qint64(size))
        std::abort();
    return f.fileName();
}

}  // namespace fuzz
