#include "app/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace app;

class PathHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void splitting_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("withoutExtension");
        QTest::addColumn<QString>("nameOnly");
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "/Music/song.mp3"
                               << "/Music/song"
                               << "song.mp3"
                               << "/Music/";
        QTest::newRow("no separator") << "song.mp3"
                                      << "song"
                                      << "song.mp3"
                                      << "";
        QTest::newRow("dot only in folder") << "/My.Music/song"
                                            << "/My.Music/song"
                                            << "song"
                                            << "/My.Music/";
        QTest::newRow("trailing separator") << "/Music/"
                                            << "/Music/"
                                            << ""
                                            << "/Music/";
        QTest::newRow("two extensions") << "/Music/archive.tar.gz"
                                        << "/Music/archive.tar"
                                        << "archive.tar.gz"
                                        << "/Music/";
        QTest::newRow("trailing dot") << "/Music/song."
                                      << "/Music/song"
                                      << "song."
                                      << "/Music/";
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << "";
        QTest::newRow("leading-dot name") << "/Music/.wav"
                                          << "/Music/"
                                          << ".wav"
                                          << "/Music/";
        QTest::newRow("doubled separators") << "/a//b.ogg"
                                            << "/a//b"
                                            << "b.ogg"
                                            << "/a//";
        // A backslash is an ordinary character here.
        QTest::newRow("backslash") << "/x/a\\b.c"
                                   << "/x/a\\b"
                                   << "a\\b.c"
                                   << "/x/";
        QTest::newRow("root file") << "/song.wav"
                                   << "/song"
                                   << "song.wav"
                                   << "/";
    }

    void splitting() {
        QFETCH(QString, path);
        QFETCH(QString, withoutExtension);
        QFETCH(QString, nameOnly);
        QFETCH(QString, folder);
        QCOMPARE(WithoutExtension(path), withoutExtension);
        QCOMPARE(NameOnly(path), nameOnly);
        QCOMPARE(GetPATH(path), folder);
        QCOMPARE(GetPATH(path) + NameOnly(path), path);  // the two halves give the path back
    }

    void createFolderAsksInOrder() {
        QCOMPARE(CreateFolderRequests("/Out/Music/"), (QStringList{"", "/Out", "/Out/Music"}));
        QCOMPARE(CreateFolderRequests("/Out/Music"), (QStringList{"", "/Out"}));
        QCOMPARE(CreateFolderRequests("Out"), QStringList());
        QCOMPARE(CreateFolderRequests("a//b/"), (QStringList{"a", "a/", "a//b"}));
    }

    void createFolderMakesEveryMissingLevel() {
        QTemporaryDir tmp;
        const QString base = tmp.path();
        CreateFolder(base + "/one/two/three/");
        QVERIFY(QFileInfo(base + "/one/two/three").isDir());
        CreateFolder(base + "/one/two/three/");  // existing folders are no error
        CreateFolder(base + "/file/part");       // the text after the last separator is not made
        QVERIFY(QFileInfo(base + "/file").isDir());
        QVERIFY(!QFileInfo::exists(base + "/file/part"));
    }

    void fileExistsOnlyForOrdinaryVisibleFiles() {
        QTemporaryDir tmp;
        const QString dir = tmp.path();
        writeFile(dir + "/a.wav", "x");
        writeFile(dir + "/.hidden.wav", "x");
        QDir(dir).mkdir("folder.wav");
        QVERIFY(FileExists(dir + "/a.wav"));
        QVERIFY(!FileExists(dir + "/.hidden.wav"));
        QVERIFY(!FileExists(dir + "/folder.wav"));
        QVERIFY(!FileExists(dir + "/missing.wav"));
        QVERIFY(!FileExists(""));
        // Anything standing at a path takes the name, hidden files and folders too.
        QVERIFY(EntryExists(dir + "/.hidden.wav"));
        QVERIFY(EntryExists(dir + "/folder.wav"));
        QVERIFY(QFile::link(dir + "/nowhere", dir + "/broken.wav"));
        QVERIFY(EntryExists(dir + "/broken.wav"));
        QVERIFY(!EntryExists(dir + "/missing.wav"));
    }

    void filesizeReadsZeroForWhatCannotBeAdded() {
        QTemporaryDir tmp;
        const QString dir = tmp.path();
        writeFile(dir + "/empty.wav", "");
        writeFile(dir + "/five.wav", "12345");
        QCOMPARE(filesize(dir + "/empty.wav"), 0);
        QCOMPARE(filesize(dir + "/five.wav"), 5);
        QCOMPARE(filesize(dir + "/missing.wav"), 0);
        QCOMPARE(filesize(dir), 0);
        QCOMPARE(filesize(""), 0);
    }

private:
    static void writeFile(const QString& path, const QByteArray& data) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
};

QTEST_GUILESS_MAIN(PathHelpersTest)
#include "tst_path_helpers.moc"
