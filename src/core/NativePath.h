#pragma once
// File names on Linux are bytes, not text. A name that is not valid UTF-8
// keeps each stray byte as a lone surrogate U+DC80..U+DCFF in the QString,
// so every name the file system holds survives the trip into the program
// and back out to open(), FFmpeg and the encoders. Qt's own conversion
// would turn those bytes into U+FFFD and name a file that does not exist.
// Header-only so that the engine layer can use it without linking app/.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QUrl>

namespace core {

inline constexpr char16_t kEscapeBase = 0xDC00;

inline bool isEscapedByte(QChar c) {
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

namespace detail {
// Length of the well-formed UTF-8 sequence at bytes[i], 0 when there is none.
inline qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b = at(i);
    const qsizetype left = bytes.size() - i;
    const auto cont = [&](qsizetype k) { return k < bytes.size() && (at(k) & 0xC0) == 0x80; };
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return left >= 2 && cont(i + 1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3 || !cont(i + 1) || !cont(i + 2)) return 0;
        const unsigned char b1 = at(i + 1);
        if (b == 0xE0 && b1 < 0xA0) return 0;   // overlong
        if (b == 0xED && b1 >= 0xA0) return 0;  // a surrogate
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4 || !cont(i + 1) || !cont(i + 2) || !cont(i + 3)) return 0;
        const unsigned char b1 = at(i + 1);
        if (b == 0xF0 && b1 < 0x90) return 0;   // overlong
        if (b == 0xF4 && b1 >= 0x90) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}
}  // namespace detail

// The bytes of a file name (or any text from disk) as text. A byte-order
// mark is kept as U+FEFF wherever it stands: QString::fromUtf8 drops one at
// the start, and the bytes could then not be written back.
inline QString pathFromNative(QByteArrayView bytes) {
    const auto utf8 = [](QByteArrayView run) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                         QStringDecoder::Flag::ConvertInitialBom);
        return QString(decoder(run));
    };
    if (bytes.isValidUtf8()) return utf8(bytes);
    QString text;
    text.reserve(bytes.size());
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype n = detail::utf8SequenceLength(bytes, i);
        if (n > 0) {
            i += n;
            continue;
        }
        text += utf8(bytes.sliced(runStart, i - runStart));
        text += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
        runStart = ++i;
    }
    text += utf8(bytes.sliced(runStart));
    return text;
}

// The bytes to hand the system for a name made by pathFromNative or typed.
inline QByteArray nativePath(const QString& path) {
    qsizetype i = 0;
    while (i < path.size() && !isEscapedByte(path[i])) ++i;
    if (i == path.size()) return path.toUtf8();
    QByteArray bytes;
    bytes.reserve(path.size() * 2);
    qsizetype runStart = 0;
    for (; i < path.size(); ++i) {
        if (!isEscapedByte(path[i])) continue;
        // The escape is a lone low surrogate; one that ends a pair is real text.
        if (i > 0 && path[i - 1].isHighSurrogate()) continue;
        bytes += QStringView(path).sliced(runStart, i - runStart).toUtf8();
        bytes += char(path[i].unicode() - kEscapeBase);
        runStart = i + 1;
    }
    bytes += QStringView(path).sliced(runStart).toUtf8();
    return bytes;
}

// A file URL that names the same bytes (Qt's own would carry U+FFFD).
inline QUrl urlFromPath(const QString& path) {
    const QByteArray bytes = nativePath(path);
    if (!path.startsWith(QLatin1Char('/')) || QByteArrayView(bytes).isValidUtf8())
        return QUrl::fromLocalFile(path);
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

}  // namespace core
