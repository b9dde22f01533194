#include "convert/OutputNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using convert::BuildOutputPath;

namespace {

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write("x");
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

class TestOutputNaming : public QObject {
    Q_OBJECT

private slots:
    // Every case starts in a fresh folder.
    void init() {
        tmp_ = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp_->isValid());
    }

    void sameFolderTakesTheSourceFolder() {
        const QString music = tmp_->path() + "/Music";
        QVERIFY(QDir().mkpath(music));
        QCOMPARE(BuildOutputPath(music + "/Song.flac", 1, true, "/ignored"), music + "/Song.mp3");
        QCOMPARE(BuildOutputPath(music + "/Song.flac", 0, true, ""), music + "/Song.wav");
        QCOMPARE(BuildOutputPath(music + "/Song.flac", 2, true, ""), music + "/Song.ogg");
    }

    void unknownFormatLeavesTheNameEndingInTheDot() {
        QCOMPARE(BuildOutputPath(tmp_->path() + "/Song.flac", -1, true, ""),
                 tmp_->path() + "/Song.");
        QCOMPARE(BuildOutputPath(tmp_->path() + "/Song.flac", 3, true, ""),
                 tmp_->path() + "/Song.");
        // With no base name either, "." and ".." would name a folder, not a file.
        const QString out = tmp_->path() + "/new/";
        QCOMPARE(BuildOutputPath("/src/.flac", 3, false, out), out + " (copy).");
        QCOMPARE(BuildOutputPath("/src/..flac", 3, false, out), out + ". (copy).");
    }

    void baseNameIsCutAndTrimmed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("spaces around") << " Song .wav"
                                       << "Song.mp3";
        QTest::newRow("two extensions") << "archive.tar.gz"
                                        << "archive.tar.mp3";
        QTest::newRow("no dot") << "README"
                                << "README.mp3";
        QTest::newRow("tab is part of the name") << "\tSong.wav"
                                                 << "\tSong.mp3";
        QTest::newRow("non-ASCII") << "Café Ünïcode 音楽.flac"
                                   << "Café Ünïcode 音楽.mp3";
        QTest::newRow("only an extension") << ".flac"
                                           << ".mp3";
    }
    void baseNameIsCutAndTrimmed() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(BuildOutputPath(tmp_->path() + "/" + name, 1, true, ""),
                 tmp_->path() + "/" + expected);
    }

    void destinationWithAndWithoutTrailingSlash() {
        const QString out = tmp_->path() + "/Out";
        QCOMPARE(BuildOutputPath("/src/Song.flac", 1, false, out), out + "/Song.mp3");
        QCOMPARE(BuildOutputPath("/src/Song.flac", 1, false, out + "/"), out + "/Song.mp3");
        QVERIFY(QFileInfo(out).isDir());
    }

    void destinationEndingInBackslashIsAnOrdinaryName() {
        // On Linux "\" is a file-name character, so the folder is "Out\".
        const QString out = tmp_->path() + "/Out\\";
        QCOMPARE(BuildOutputPath("/src/Song.flac", 1, false, out), out + "/Song.mp3");
        QVERIFY(QFileInfo(out).isDir());
    }

    void missingOutputFoldersAreCreated() {
        const QString deep = tmp_->path() + "/a/b c/d";
        const QString output = BuildOutputPath("/src/Song.flac", 2, false, deep);
        QCOMPARE(output, deep + "/Song.ogg");
        QVERIFY(QFileInfo(deep).isDir());
        QVERIFY(!QFileInfo::exists(output));  // only the folder, never the file
    }

    void emptyDestinationGivesAPathInTheRoot() {
        if (QFileInfo::exists("/Song.mp3")) QSKIP("the root folder holds a Song.mp3");
        QCOMPARE(BuildOutputPath("/src/Song.flac", 1, false, ""), QString("/Song.mp3"));
    }

    void sourceWithoutSeparatorStaysRelative() {
        CurrentFolder here(tmp_->path());
        QCOMPARE(BuildOutputPath("Song.flac", 1, true, ""), QString("Song.mp3"));
        Touch(tmp_->path() + "/Song.mp3");
        QCOMPARE(BuildOutputPath("Song.flac", 1, true, ""), QString("Song (copy).mp3"));
    }

    void takenNamesGetACopyCounter() {
        const QString dir = tmp_->path();
        const QString src = dir + "/Song.flac";
        Touch(src);
        QCOMPARE(BuildOutputPath(src, 1, true, ""), dir + "/Song.mp3");
        Touch(dir + "/Song.mp3");
        QCOMPARE(BuildOutputPath(src, 1, true, ""), dir + "/Song (copy).mp3");
        Touch(dir + "/Song (copy).mp3");
        QCOMPARE(BuildOutputPath(src, 1, true, ""), dir + "/Song (copy 2).mp3");
        Touch(dir + "/Song (copy 2).mp3");
        QCOMPARE(BuildOutputPath(src, 1, true, ""), dir + "/Song (copy 3).mp3");
        // Another format is not affected by the taken MP3 names.
        QCOMPARE(BuildOutputPath(src, 2, true, ""), dir + "/Song.ogg");
    }

    void anyEntryCountsAsTaken() {
        const QString dir = tmp_->path();
        // A folder of the output's name.
        QVERIFY(QDir(dir).mkdir("Song.mp3"));
        QCOMPARE(BuildOutputPath(dir + "/Song.flac", 1, true, ""), dir + "/Song (copy).mp3");
        // A dangling link.
        QVERIFY(QFile::link(dir + "/nowhere", dir + "/Song (copy).mp3"));
        QCOMPARE(BuildOutputPath(dir + "/Song.flac", 1, true, ""), dir + "/Song (copy 2).mp3");
        // A hidden file: the output of a dot-file source is itself hidden.
        Touch(dir + "/.profile.mp3");
        QCOMPARE(BuildOutputPath(dir + "/.profile.flac", 1, true, ""),
                 dir + "/.profile (copy).mp3");
    }

    void mp3ToMp3InItsOwnFolderNeverTargetsTheSource() {
        const QString src = tmp_->path() + "/Song.mp3";
        Touch(src);
        const QString output = BuildOutputPath(src, 1, true, "");
        QVERIFY(output != src);
        QCOMPARE(output, tmp_->path() + "/Song (copy).mp3");
    }

private:
    std::unique_ptr<QTemporaryDir> tmp_;
};

QTEST_GUILESS_MAIN(TestOutputNaming)
#include "tst_output_naming.moc"
