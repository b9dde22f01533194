// Path helpers on arbitrary text, and output naming confined to a private
// folder: the name chosen is never an existing entry, carries the format's
// extension and lies in the folder asked for.
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

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

void checkStringHelpers(const QString& p) {
    const QChar sep = core::pathSeparator();
    const QString folder = core::folderOf(p);
    const QString name = core::nameOnly(p);
    CHECK(folder + name == p);
    CHECK(!name.contains(sep));
    CHECK(folder.isEmpty() || folder.endsWith(sep));

    const QString cut = core::withoutExtension(p);
    CHECK(p.startsWith(cut));
    if (cut.size() != p.size()) {
        CHECK(p.at(cut.size()) == QLatin1Char('.'));
        CHECK(!p.mid(cut.size()).contains(sep));
        CHECK(!p.mid(cut.size() + 1).contains(QLatin1Char('.')));
    }

    const QStringList requests = core::createFolderRequests(p);
    CHECK(requests.size() == p.count(sep));
    qsizetype last = -1;
    for (const QString& r : requests) {
        CHECK(r.size() > last && p.startsWith(r) && p.at(r.size()) == sep);
        last = r.size();
    }
}

bool hasParentStep(const QString& text) {
    return text.split(core::pathSeparator()).contains(QStringLiteral(".."));
}

QString candidate(const QString& folder, const QString& base, const QString& ext, int n) {
    if (n == 0) return folder + base + QLatin1Char('.') + ext;
    if (n == 1) return folder + base + QStringLiteral(" (copy).") + ext;
    return folder + base + QStringLiteral(" (copy %1).").arg(n) + ext;
}

void makeEntry(const QString& path, bool asFolder) {
    QDir().mkpath(QFileInfo(path).path());
    if (asFolder) {
        QDir().mkdir(path);
    } else {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write("x");
    }
}

// Some prefix of folder is taken by something that is not a folder, or a
// name is longer than the file system allows: the folder can't be made.
bool folderBlocked(const QString& folder) {
    for (const QString& r : core::createFolderRequests(folder)) {
        if (r.isEmpty()) continue;
        const QFileInfo info(r);
        if ((info.exists() || info.isSymLink()) && !info.isDir()) return true;
        if (QFile::encodeName(info.fileName()).size() > 255) return true;
    }
    return QFile::encodeName(folder).size() >= 4096;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString whole = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // Any byte string, as a file name, comes back out unchanged.
    const QByteArrayView bytes(data, qsizetype(size));
    CHECK(core::nativePath(core::pathFromNative(bytes)) == bytes);
    checkStringHelpers(whole);
    if (size < 1) return 0;

    const uint8_t flags = data[0];
    const bool sameFolder = flags & 1;
    const int format = (flags >> 1) & 3;
    const int existing = (flags >> 3) & 7;
    const bool asFolders = flags & 0x40;
    const bool makeSource = flags & 0x80;
    const std::optional<core::OutputFormat> outputFormat = core::outputFormatFromIndex(format);
    const QString ext = outputFormat ? core::outputExtension(*outputFormat) : QString();
    CHECK(ext == QStringList({"wav", "mp3", "ogg", ""}).at(format));
    CHECK(!core::outputFormatFromIndex(-1 - format));

    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const qsizetype nl = text.indexOf(QLatin1Char('\n'));
    const QString sourceName = nl >= 0 ? text.left(nl) : text;
    const QString destName = nl >= 0 ? text.mid(nl + 1) : QString();
    // Nothing may leave the private folder; a NUL can't be in a file name.
    if (hasParentStep(sourceName) || hasParentStep(destName) || text.contains(QChar(0))) return 0;

    static int runs = 0;
    if (++runs % 500 == 0) {
        QDir(fuzz::tempDir()->path()).removeRecursively();
        QDir().mkpath(fuzz::tempDir()->path());
    }
    const QString root = fuzz::tempDir()->path() + QLatin1Char('/');
    const QString source = root + QStringLiteral("src/") + sourceName;
    const QString dest = root + QStringLiteral("dst/") + destName;

    QString folder = sameFolder ? core::folderOf(source) : dest;
    if (!folder.endsWith(core::pathSeparator())) folder += core::pathSeparator();
    QString base = core::withoutExtension(core::nameOnly(source));
    while (base.startsWith(QLatin1Char(' '))) base.remove(0, 1);
    while (base.endsWith(QLatin1Char(' '))) base.chop(1);
    if (makeSource) makeEntry(source, false);
    for (int n = 0; n < existing; ++n) {
        const QString c = candidate(folder, base, ext, n);
        // With an empty base these are dot-files: hidden, yet taken.
        makeEntry(c, asFolders && n % 2 == 0);
    }

    const QString out = core::buildOutputPath(source, outputFormat, sameFolder, dest);
    CHECK(!core::entryExists(out));
    CHECK(out.endsWith(QLatin1Char('.') + ext));
    CHECK(core::folderOf(out) == folder);
    CHECK(QFileInfo(folder).isDir() || folderBlocked(folder));
    return 0;
}
