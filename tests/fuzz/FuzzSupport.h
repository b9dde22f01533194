#pragma once
// What every fuzz target needs: a check that stops the run where it fails,
// a private folder for the files it makes, and no Qt log noise per input.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#define CHECK(cond)                    \
    do {                               \
        if (!(cond)) __builtin_trap(); \
    } while (0)

namespace fuzz {

inline QTemporaryDir* tempDir() {
    static std::unique_ptr<QTemporaryDir> dir = [] {
        auto d = std::make_unique<QTemporaryDir>();
        if (!d->isValid()) std::abort();
        return d;
    }();
    return dir.get();
}

inline void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// Replaces the file's content; aborts when it cannot, as the run would be meaningless.
inline void writeFile(const QString& path, const char* data, qsizetype size) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data, size) != size)
        std::abort();
}

}  // namespace fuzz
