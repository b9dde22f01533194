// The path helpers, file names that are not UTF-8, and where each output goes.
#include "core/NativePath.h"
#include "core/OutputFile.h"
#include "core/OutputNaming.h"
#include "core/PathHelpers.h"
#include "support/AudioFixtures.h"

#include <QtTest>

#include <unistd.h>

#include <tuple>

using core::OutputFormat;

class PathsTest : public QObject {
    Q_OBJECT

private slots:
    // Path, without extension, name, folder. Only the last dot after the
    // last separator starts an extension; a backslash is part of a name.
    void splitting() {
        const std::tuple<QString, QString, QString, QString> rows[] = {
            {"/Music/song.mp3", "/Music/song", "song.mp3", "/Music/"},
            {"song.mp3", "song", "song.mp3", ""},
            {"/My.Music/song", "/My.Music/song", "song", "/My.Music/"},
            {"/Music/", "/Music/", "", "/Music/"},
            {"/M/archive.tar.gz", "/M/archive.tar", "archive.tar.gz", "/M/"},
            {"/Music/.wav", "/Music/", ".wav", "/Music/"},
            {"/x/a\\b.c", "/x/a\\b", "a\\b.c", "/x/"},
            {"/song.wav", "/song", "song.wav", "/"}};
        for (const auto& [path, withoutExtension, name, folder] : rows) {
            QCOMPARE(core::withoutExtension(path), withoutExtension);
            QCOMPARE(core::nameOnly(path), name);
            QCOMPARE(core::folderOf(path), folder);
        }
    }

    // UTF-8; Latin-1; above U+10FFFF; cut short; a pair then a stray byte;
    // a byte-order mark first, and after a stray byte.
    void everyByteStringRoundTrips() {
        for (const QByteArray bytes :
             {"/m\xC3\xBCsic/\xE2\x99\xAA \xF0\x9F\x8E\xB5.ogg", "/m\xFCsic/caf\xE9.wav",
              "a\xF4\x90\x80\x80z", "a\xE2\x99", "\xF0\x90\x82\x80\xFF",
              "\xEF\xBB\xBF"
              "a.wav",
              "\xFF\xEF\xBB\xBF.wav"}) {
            const QString text = core::pathFromNative(bytes);
            QCOMPARE(core::nativePath(text), bytes);
            // Valid UTF-8 reads as plain text; anything else shows no U+FFFD.
            if (QByteArrayView(bytes).isValidUtf8()) QCOMPARE(text.toUtf8(), bytes);
            QVERIFY(!text.contains(QChar::ReplacementCharacter));
            // A file URL names the same bytes.
            if (bytes.startsWith('/'))
                QCOMPARE(QByteArray::fromPercentEncoding(
                             core::urlFromPath(text).path(QUrl::FullyEncoded).toLatin1()),
                         bytes);
        }
    }

    // The helpers ask the file system with the name's own bytes; only a
    // regular file has a size.
    void helpersFindFilesWithRawNames() {
        QTemporaryDir dir;
        const QByteArray file = QFile::encodeName(dir.path()) + "/\xFF\xFE sound.wav";
        const QString path = core::pathFromNative(file);
        QVERIFY(!core::entryExists(path));
        QVERIFY(fixtures::writeFile(dir.filePath("x"), "12345"));
        QCOMPARE(::rename(QFile::encodeName(dir.filePath("x")).constData(), file.constData()), 0);
        QCOMPARE(core::fileSize(path), qint64(5));
        QCOMPARE(core::fileSize(dir.path()), qint64(0));
        QVERIFY(!core::entryExists(QFile::decodeName(file)));  // Qt's decoding names no file
        QCOMPARE(core::buildOutputPath(path, OutputFormat::Wav, true, {}),
                 core::pathFromNative(file.chopped(4) + " (copy).wav"));
        ::unlink(file.constData());
    }

    // Source, format (-1 none), destination (empty: beside the source),
    // entries made first, the output; relative to a fresh folder. Entries:
    // "f:name" a file, "d:name" a folder, "l:name" a broken link, "r:name"
    // reserved by a running job. Missing folders are made, blanks around
    // the name trimmed; "." and ".." are never free.
    void outputNaming() {
        const std::tuple<const char*, int, const char*, const char*, const char*> rows[] = {
            {"M/Song.flac", 1, "", "", "M/Song.mp3"},
            {"M/Song.flac", 2, "Out", "", "Out/Song.ogg"},
            {"M/Song.flac", 1, "Out/", "", "Out/Song.mp3"},
            {"M/Song.flac", 0, "a/b c/d", "", "a/b c/d/Song.wav"},
            {"M/Song.flac", -1, "", "", "M/Song."},
            {"M/ Song .wav", 1, "", "", "M/Song.mp3"},
            {"M/.flac", 1, "", "", "M/.mp3"},
            {"M/.flac", -1, "N", "", "N/ (copy)."},
            {"M/..flac", -1, "N", "", "N/. (copy)."},
            {"M/Song.flac", 1, "", "f:M/Song.mp3|f:M/Song (copy).mp3|f:M/Song (copy 2).mp3",
             "M/Song (copy 3).mp3"},
            {"M/Song.flac", 1, "", "d:M/Song.mp3", "M/Song (copy).mp3"},
            {"M/Song.flac", 1, "", "l:M/Song.mp3", "M/Song (copy).mp3"},
            {"M/Song.flac", 1, "O", "r:O/Song.mp3|f:O/Song (copy).mp3|r:O/Song (copy 2).mp3",
             "O/Song (copy 3).mp3"}};
        for (const auto& [source, format, destination, entries, expected] : rows) {
            QTemporaryDir tmp;
            const QString t = tmp.path() + "/";
            QSet<QString> reserved;
            for (const QString& e : QString(entries).split('|', Qt::SkipEmptyParts)) {
                const QString path = t + e.mid(2);
                QVERIFY(QDir().mkpath(QFileInfo(path).path()));
                if (e[0] == 'r') reserved.insert(path);
                if (e[0] == 'f') QVERIFY(fixtures::writeFile(path, "keep"));
                if (e[0] == 'd') QVERIFY(QDir().mkdir(path));
                if (e[0] == 'l') QVERIFY(QFile::link(t + "nowhere", path));
            }
            const QString output =
                core::buildOutputPath(t + source, core::outputFormatFromIndex(format),
                                      !*destination, t + destination, reserved);
            QCOMPARE(output, t + expected);
            QVERIFY(
                QFileInfo(core::folderOf(output)).isDir());  // the folder is made, never the file
            QVERIFY(!core::entryExists(output));
        }
    }

    // A finished output meets names taken while it was written: it takes the
    // next free one and replaces nothing.
    void finishedOutputNeverReplaces() {
        QTemporaryDir tmp;
        const QString temporary = core::temporaryPathFor(tmp.filePath("Song.mp3"));
        QCOMPARE(core::nameOnly(temporary), QString(".Song.mp3.part"));
        QVERIFY(fixtures::writeFile(temporary, "new"));
        for (const char* name : {"Song.mp3", "Song (copy).mp3"})
            QVERIFY(fixtures::writeFile(tmp.filePath(name), name));
        const core::Result<QString> result =
            core::commitOutput(temporary, tmp.filePath("Song.mp3"));
        QVERIFY2(result.ok(), qPrintable(result.reason()));
        QCOMPARE(*result, tmp.filePath("Song (copy 2).mp3"));
        QCOMPARE(fixtures::readFile(*result), QByteArray("new"));
        for (const char* name : {"Song.mp3", "Song (copy).mp3"})
            QCOMPARE(fixtures::readFile(tmp.filePath(name)), QByteArray(name));
        QVERIFY(!QFileInfo::exists(temporary));
    }
};

QTEST_GUILESS_MAIN(PathsTest)
#include "tst_paths.moc"
