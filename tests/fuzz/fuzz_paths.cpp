// File names as bytes, and output naming confined to a private folder: any
// byte string comes back out of the path conversion unchanged; the name
// chosen is never an existing entry, carries the format's extension and
// lies in the folder asked for. (The path helpers' splitting and the making
// of the folder are pinned down by the unit tests.)
//
// Input: <flags byte> <source name> '\n' <destination text>
//   flags: bit 0 same folder, bits 1-2 format index (3: none),
//          bits 3-5 how many of the candidate names exist beforehand,
//          bit 6 every other one of them is a folder, bit 7 the source
//          file exists.

#include "FuzzSupport.h"
#include "core/NativePath.h"
#include "core/OutputNaming.h"
#include "core/PathHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

void makeEntry(const QString& path, bool asFolder) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    asFolder ? (void)QDir().mkdir(path) : (void)(f.open(QIODevice::WriteOnly) && f.write("x"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Any byte string, as a file name, comes back out unchanged.
    const QByteArrayView bytes(data, qsizetype(size));
    CHECK(core::nativePath(core::pathFromNative(bytes)) == bytes);
    if (size < 1) return 0;

    const uint8_t flags = data[0];
    const bool sameFolder = flags & 1;
    const auto format = core::outputFormatFromIndex((flags >> 1) & 3);
    const QString ext = format ? core::outputExtension(*format) : QString();
    const QString text = QString::fromUtf8(bytes.sliced(1));
    const QString sourceName = text.section('\n', 0, 0), destName = text.section('\n', 1);
    // Nothing may leave the private folder; a NUL can't be in a file name.
    if ((sourceName + '/' + destName).split('/').contains("..") || text.contains(QChar(0)))
        return 0;

    static int runs = 0;
    const QString root = fuzz::tempPath("run") + '/';
    if (++runs % 500 == 0) QDir(root).removeRecursively();
    const QString source = root + "src/" + sourceName, dest = root + "dst/" + destName;
    QString folder = sameFolder ? core::folderOf(source) : dest;
    if (!folder.endsWith('/')) folder += '/';
    QString base = core::withoutExtension(core::nameOnly(source));
    while (base.startsWith(' ')) base.remove(0, 1);
    while (base.endsWith(' ')) base.chop(1);
    if (flags & 0x80) makeEntry(source, false);
    // The plain name and its copies; with an empty base these are dot-files: hidden, yet taken.
    for (int n = 0; n < ((flags >> 3) & 7); ++n) {
        const QString mark = n == 0 ? "." : n == 1 ? " (copy)." : QString(" (copy %1).").arg(n);
        makeEntry(folder + base + mark + ext, (flags & 0x40) && n % 2 == 0);
    }

    const QString out = core::buildOutputPath(source, format, sameFolder, dest);
    CHECK(!core::entryExists(out) && out.endsWith('.' + ext) && core::folderOf(out) == folder);
    return 0;
}
