// File names that are not UTF-8: every byte string survives the trip into a
// QString and back, and the file-system helpers find the file it names.
#include "app/NativePath.h"
#include "app/PathHelpers.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using app::NativePath;
using app::PathFromNative;

class NativePathTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteStringRoundTrips_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("/music/a b.wav");
        QTest::newRow("utf-8") << QByteArray("/m\xC3\xBCsic/\xE2\x99\xAA \xF0\x9F\x8E\xB5.ogg");
        QTest::newRow("latin-1") << QByteArray("/m\xFCsic/caf\xE9.wav");
        QTest::newRow("lone continuation") << QByteArray("a\x80z");
        QTest::newRow("overlong slash") << QByteArray("a\xC0\xAFz");
        QTest::newRow("encoded surrogate") << QByteArray("a\xED\xA0\x80z");
        QTest::newRow("above U+10FFFF") << QByteArray("a\xF4\x90\x80\x80z");
        QTest::newRow("truncated at end") << QByteArray("a\xE2\x99");
        QTest::newRow("pair then stray") << QByteArray("\xF0\x90\x82\x80\xFF");
        QTest::newRow("byte-order mark first") << QByteArray(
            "\xEF\xBB\xBF"
            "a.wav");
        QTest::newRow("byte-order mark after a stray") << QByteArray("\xFF\xEF\xBB\xBF.wav");
    }

    void everyByteStringRoundTrips() {
        QFETCH(QByteArray, bytes);
        const QString text = PathFromNative(bytes);
        QCOMPARE(NativePath(text), bytes);
        // Valid UTF-8 reads as plain text; anything else shows no U+FFFD.
        if (QByteArrayView(bytes).isValidUtf8()) QCOMPARE(text.toUtf8(), bytes);
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
    }

    void randomBytesRoundTrip() {
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 20000; ++round) {
            QByteArray bytes(int(rng.bounded(1, 24)), '\0');
            for (char& c : bytes) c = char(rng.bounded(1, 256));
            QCOMPARE(NativePath(PathFromNative(bytes)), bytes);
        }
    }

    void helpersFindFilesWithRawNames() {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/d\xE9j\xE0";
        const QByteArray file = folder + "/\xFF\xFE sound.wav";
        const QString path = PathFromNative(file);
        // QTemporaryDir cannot remove names Qt cannot spell.
        const auto removeRaw = qScopeGuard([&] {
            ::unlink(file.constData());
            ::rmdir(folder.constData());
        });
        QVERIFY(!app::EntryExists(path));

        app::CreateFolder(path);  // makes the folders before the last separator
        struct stat st;
        QVERIFY(::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode));
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "12345", 5), 5);
        ::close(fd);

        QVERIFY(app::EntryExists(path));
        QVERIFY(app::FileExists(path));
        QCOMPARE(app::filesize(path), qint64(5));
        QCOMPARE(app::NameOnly(path), PathFromNative("\xFF\xFE sound.wav"));
        // Qt's own decoding names another, absent file.
        QVERIFY(!app::EntryExists(QFile::decodeName(file)));
    }
};

QTEST_GUILESS_MAIN(NativePathTest)
#include "tst_native_path.moc"
