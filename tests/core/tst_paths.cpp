// The path helpers, file names that are not UTF-8, and where each output goes.
#include "core/NativePath.h"
#include "core/OutputFile.h"
#include "core/OutputNaming.h"
#include "core/PathHelpers.h"
#include "support/AudioFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using core::OutputFormat;

namespace {

// An entry to make before naming: "f:name" a file, "d:name" a folder, "l:name" a broken link.
bool makeEntry(const QString& root, const QString& spec) {
    const QString path = root + "/" + spec.mid(2);
    if (!QDir().mkpath(QFileInfo(path).path())) return false;
    switch (spec.at(0).toLatin1()) {
        case 'f':
            return fixtures::writeFile(path, "keep");
        case 'd':
            return QDir().mkdir(path);
        case 'l':
            return QFile::link(root + "/nowhere", path);
    }
    return false;
}

// Restores the current folder when a test that changes it ends.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& path) : saved_(QDir::currentPath()) {
        QDir::setCurrent(path);
    }
    ~CurrentFolder() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

}  // namespace

class PathsTest : public QObject {
    Q_OBJECT

private slots:
    void splitting_data() {
        // clang-format off
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("withoutExtension");
        QTest::addColumn<QString>("nameOnly");
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "/Music/song.mp3" << "/Music/song" << "song.mp3" << "/Music/";
        QTest::newRow("no separator") << "song.mp3" << "song" << "song.mp3" << "";
        QTest::newRow("dot only in folder") << "/My.Music/song" << "/My.Music/song" << "song"
                                            << "/My.Music/";
        QTest::newRow("trailing separator") << "/Music/" << "/Music/" << "" << "/Music/";
        QTest::newRow("two extensions") << "/Music/archive.tar.gz" << "/Music/archive.tar"
                                        << "archive.tar.gz" << "/Music/";
        QTest::newRow("trailing dot") << "/Music/song." << "/Music/song" << "song." << "/Music/";
        QTest::newRow("empty") << "" << "" << "" << "";
        QTest::newRow("leading-dot name") << "/Music/.wav" << "/Music/" << ".wav" << "/Music/";
        QTest::newRow("doubled separators") << "/a//b.ogg" << "/a//b" << "b.ogg" << "/a//";
        QTest::newRow("backslash is a name character") << "/x/a\\b.c" << "/x/a\\b" << "a\\b.c"
                                                       << "/x/";
        QTest::newRow("root file") << "/song.wav" << "/song" << "song.wav" << "/";
        // clang-format on
    }

    void splitting() {
        QFETCH(QString, path);
        QFETCH(QString, withoutExtension);
        QFETCH(QString, nameOnly);
        QFETCH(QString, folder);
        QCOMPARE(core::withoutExtension(path), withoutExtension);
        QCOMPARE(core::nameOnly(path), nameOnly);
        QCOMPARE(core::folderOf(path), folder);
    }

    void createFolderMakesEveryLevelBeforeTheLastSeparator() {
        QCOMPARE(core::createFolderRequests("/Out/Music/"),
                 (QStringList{"", "/Out", "/Out/Music"}));
        QCOMPARE(core::createFolderRequests("/Out/Music"), (QStringList{"", "/Out"}));
        QCOMPARE(core::createFolderRequests("Out"), QStringList());
        QCOMPARE(core::createFolderRequests("a//b/"), (QStringList{"a", "a/", "a//b"}));

        QTemporaryDir tmp;
        const QString base = tmp.path();
        core::createFolder(base + "/one/two/three/");
        QVERIFY(QFileInfo(base + "/one/two/three").isDir());
        core::createFolder(base + "/one/two/three/");  // existing folders are no error
        core::createFolder(base + "/file/part");
        QVERIFY(QFileInfo(base + "/file").isDir());
        QVERIFY(!QFileInfo::exists(base + "/file/part"));
    }

    void existence_data() {
        // clang-format off
        QTest::addColumn<QString>("entry");  // as makeEntry takes it; empty: nothing made
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("entryExists");
        QTest::addColumn<qint64>("size");
        QTest::newRow("ordinary file") << "f:a.wav" << "a.wav" << true << true << qint64(4);
        QTest::newRow("hidden file") << "f:.h.wav" << ".h.wav" << false << true << qint64(4);
        QTest::newRow("folder") << "d:d.wav" << "d.wav" << false << true << qint64(0);
        QTest::newRow("broken link") << "l:l.wav" << "l.wav" << false << true << qint64(0);
        QTest::newRow("missing") << "" << "m.wav" << false << false << qint64(0);
        QTest::newRow("empty name") << "" << "" << false << false << qint64(0);
        // clang-format on
    }

    void existence() {
        QFETCH(QString, entry);
        QFETCH(QString, name);
        QFETCH(bool, fileExists);
        QFETCH(bool, entryExists);
        QFETCH(qint64, size);
        QTemporaryDir tmp;
        if (!entry.isEmpty()) QVERIFY(makeEntry(tmp.path(), entry));
        const QString path = name.isEmpty() ? QString() : tmp.filePath(name);
        QCOMPARE(core::fileExists(path), fileExists);
        QCOMPARE(core::entryExists(path), entryExists);
        QCOMPARE(core::fileSize(path), size);
    }

    void everyByteStringRoundTrips_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("/music/a b.wav");
        QTest::newRow("utf-8") << QByteArray("/m\xC3\xBCsic/\xE2\x99\xAA \xF0\x9F\x8E\xB5.ogg");
        QTest::newRow("latin-1") << QByteArray("/m\xFCsic/caf\xE9.wav");
        QTest::newRow("lone continuation") << QByteArray("a\x80z");
        QTest::newRow("overlong slash") << QByteArray("a\xC0\xAFz");
        QTest::newRow("above U+10FFFF") << QByteArray("a\xF4\x90\x80\x80z");
        QTest::newRow("truncated at end") << QByteArray("a\xE2\x99");
        QTest::newRow("pair then stray") << QByteArray("\xF0\x90\x82\x80\xFF");
        QTest::newRow("byte-order mark first") << QByteArray("\xEF\xBB\xBF" "a.wav");
        QTest::newRow("byte-order mark after a stray") << QByteArray("\xFF\xEF\xBB\xBF.wav");
        // clang-format on
    }

    void everyByteStringRoundTrips() {
        QFETCH(QByteArray, bytes);
        const QString text = core::pathFromNative(bytes);
        QCOMPARE(core::nativePath(text), bytes);
        // Valid UTF-8 reads as plain text; anything else shows no U+FFFD.
        if (QByteArrayView(bytes).isValidUtf8()) QCOMPARE(text.toUtf8(), bytes);
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        // A file URL names the same bytes.
        if (bytes.startsWith('/')) {
            const QUrl url = core::urlFromPath(text);
            QCOMPARE(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()),
                     bytes);
        }
    }

    // The helpers ask the file system with the name's own bytes.
    void helpersFindFilesWithRawNames() {
        QTemporaryDir dir;
        const QByteArray file = QFile::encodeName(dir.path()) + "/\xFF\xFE sound.wav";
        const QString path = core::pathFromNative(file);
        const auto removeRaw = qScopeGuard([&] { ::unlink(file.constData()); });
        QVERIFY(!core::entryExists(path));
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "12345", 5), 5);
        ::close(fd);
        QVERIFY(core::fileExists(path));
        QCOMPARE(core::fileSize(path), qint64(5));
        QVERIFY(!core::entryExists(QFile::decodeName(file)));  // Qt's decoding names no file
        QCOMPARE(core::buildOutputPath(path, OutputFormat::Wav, true, {}),
                 core::pathFromNative(file.chopped(4) + " (copy).wav"));
    }

    // Paths are relative to a fresh folder T. No destination: beside the source.
    // Entries as makeEntry takes them, "r:name" reserved by a running job.
    void outputNaming_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("format");  // outputFormatFromIndex: -1 none
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("entries");  // separated by '|'
        QTest::addColumn<QString>("expected");
        auto row = [](const char* tag, const char* source, int format, const char* destination,
                      const char* entries, const char* expected) {
            QTest::newRow(tag) << QString(source) << format << QString(destination)
                               << QString(entries) << QString(expected);
        };
        // clang-format off
        row("same folder", "M/Song.flac", 1, "", "", "M/Song.mp3");
        row("destination", "M/Song.flac", 2, "Out", "", "Out/Song.ogg");
        row("destination with slash", "M/Song.flac", 1, "Out/", "", "Out/Song.mp3");
        row("destination ending in backslash", "M/Song.flac", 1, "Out\\", "", "Out\\/Song.mp3");
        row("missing folders made", "M/Song.flac", 0, "a/b c/d", "", "a/b c/d/Song.wav");
        row("no format ends in the dot", "M/Song.flac", -1, "", "", "M/Song.");
        row("blanks trimmed", "M/ Song .wav", 1, "", "", "M/Song.mp3");
        row("two extensions", "M/archive.tar.gz", 1, "", "", "M/archive.tar.mp3");
        row("non-ASCII", "M/Café 音楽.flac", 1, "", "", "M/Café 音楽.mp3");
        row("only an extension", "M/.flac", 1, "", "", "M/.mp3");
        row("'.' is never a file", "M/.flac", -1, "N", "", "N/ (copy).");
        row("'..' is never a file", "M/..flac", -1, "N", "", "N/. (copy).");
        row("taken", "M/Song.flac", 1, "", "f:M/Song.mp3", "M/Song (copy).mp3");
        row("copy taken", "M/Song.flac", 1, "", "f:M/Song.mp3|f:M/Song (copy).mp3",
            "M/Song (copy 2).mp3");
        row("copy 2 taken", "M/Song.flac", 1, "",
            "f:M/Song.mp3|f:M/Song (copy).mp3|f:M/Song (copy 2).mp3", "M/Song (copy 3).mp3");
        row("other format free", "M/Song.flac", 2, "", "f:M/Song.mp3", "M/Song.ogg");
        row("a folder takes it", "M/Song.flac", 1, "", "d:M/Song.mp3", "M/Song (copy).mp3");
        row("a broken link takes it", "M/Song.flac", 1, "", "l:M/Song.mp3", "M/Song (copy).mp3");
        row("a hidden file takes it", "M/.p.flac", 1, "", "f:M/.p.mp3", "M/.p (copy).mp3");
        row("mp3 to mp3 never the source", "M/Song.mp3", 1, "", "f:M/Song.mp3",
            "M/Song (copy).mp3");
        row("reserved", "M/Song.flac", 1, "Out", "r:Out/Song.mp3", "Out/Song (copy).mp3");
        row("reserved and taken", "M/Song.flac", 1, "O",
            "r:O/Song.mp3|f:O/Song (copy).mp3|r:O/Song (copy 2).mp3", "O/Song (copy 3).mp3");
        // clang-format on
    }

    void outputNaming() {
        QFETCH(QString, source);
        QFETCH(int, format);
        QFETCH(QString, destination);
        QFETCH(QString, entries);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        const QString t = tmp.path() + "/";
        QSet<QString> reserved;
        for (const QString& e : entries.split('|', Qt::SkipEmptyParts)) {
            if (e.startsWith("r:"))
                reserved.insert(t + e.mid(2));
            else
                QVERIFY(makeEntry(tmp.path(), e));
        }
        const QString output =
            core::buildOutputPath(t + source, core::outputFormatFromIndex(format),
                                  destination.isEmpty(), t + destination, reserved);
        QCOMPARE(output, t + expected);
        QVERIFY(QFileInfo(core::folderOf(output)).isDir());  // the folder is made, never the file
        QVERIFY(!core::entryExists(output));
    }

    void sourceWithoutSeparatorStaysRelative() {
        QTemporaryDir tmp;
        CurrentFolder here(tmp.path());
        QCOMPARE(core::buildOutputPath("Song.flac", OutputFormat::Mp3, true, ""), "Song.mp3");
        QVERIFY(fixtures::writeFile(tmp.filePath("Song.mp3"), "x"));
        QCOMPARE(core::buildOutputPath("Song.flac", OutputFormat::Mp3, true, ""),
                 "Song (copy).mp3");
    }

    // A finished output meets names taken while it was written: it takes the
    // next free one and replaces nothing.
    void finishedOutputNeverReplaces_data() {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("named");
        QTest::newRow("free") << QStringList{} << "Song.mp3";
        QTest::newRow("taken") << QStringList{"Song.mp3"} << "Song (copy).mp3";
        QTest::newRow("copy taken too")
            << QStringList{"Song.mp3", "Song (copy).mp3"} << "Song (copy 2).mp3";
    }

    void finishedOutputNeverReplaces() {
        QFETCH(QStringList, taken);
        QFETCH(QString, named);
        QTemporaryDir tmp;
        const QString final = tmp.filePath("Song.mp3");
        const QString temporary = core::temporaryPathFor(final);
        QCOMPARE(core::nameOnly(temporary), QString(".Song.mp3.part"));
        QVERIFY(fixtures::writeFile(temporary, "new"));
        for (const QString& name : taken)
            QVERIFY(fixtures::writeFile(tmp.filePath(name), name.toUtf8()));
        const core::Result<QString> result = core::commitOutput(temporary, final);
        QVERIFY2(result.ok(), qPrintable(result.reason()));
        QCOMPARE(*result, tmp.filePath(named));
        QCOMPARE(fixtures::readFile(*result), QByteArray("new"));
        for (const QString& name : taken)
            QCOMPARE(fixtures::readFile(tmp.filePath(name)), name.toUtf8());
        QVERIFY(!QFileInfo::exists(temporary));
    }
};

QTEST_GUILESS_MAIN(PathsTest)
#include "tst_paths.moc"
