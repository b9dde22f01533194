// A music library converted again and again: the one folder walk, which
// extensions it takes (each must decode).
#include "core/AudioFiles.h"
#include "core/Decoder.h"
#include "core/NativePath.h"
#include "support/AudioFixtures.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <tuple>

namespace {

QString touch(const QString& path, qint64 size = 10) {
    QDir().mkpath(QFileInfo(path).path());
    return fixtures::writeFile(path, QByteArray(size, 'x')) ? path : QString();
}

}  // namespace

class LibraryTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

private slots:
    // Audio by extension in any case, hidden entries skipped, full-path byte
    // order ("a.wav" before "a/"), a folder reached again through a link or a
    // second argument walked once, a name that is not UTF-8 kept byte for byte.
    void walkFindsEachAudioFileOnce() {
        const QString root = tmp_.filePath("walk");
        const QByteArray latin1Name = "\xE9t\xE9.wav";
        for (const char* name : {"a.wav", "a/b.FLAC", "a/c/d.ogg", "a b.mp3", ".hidden/x.wav",
                                 "a/.x.wav", "notes.txt", "a/c/cover.jpg"})
            QVERIFY(!touch(root + "/" + name).isEmpty());
        // QFile would name it in UTF-8.
        const int fd =
            ::open(QFile::encodeName(root + "/a/") + latin1Name, O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "x", 1) == 1 && ::close(fd) == 0);
        QCOMPARE(::symlink("..", QFile::encodeName(root + "/a/c/up").constData()), 0);
        QCOMPARE(::symlink("a", QFile::encodeName(root + "/z").constData()), 0);

        QStringList found;
        core::FolderWalk walk;
        for (const QString& folder : {root, root + "/a"})
            QVERIFY(walk.walk(folder,
                              [&](const QString& path) { found << path.mid(root.size() + 1); }));
        const QString escaped = core::pathFromNative("a/" + latin1Name);
        QCOMPARE(found, (QStringList{"a b.mp3", "a.wav", "a/b.FLAC", "a/c/d.ogg", escaped}));
        QVERIFY(walk.errors().isEmpty());

        int calls = 0;
        core::FolderWalk stopped([&] { return ++calls > 2; });
        QVERIFY(!stopped.walk(root, [](const QString&) {}));

        const std::tuple<QString, QString, QString> below[] = {{"/m/a/b/x.wav", "/m", "a/b/"},
                                                               {"/m/x.wav", "/m/", ""},
                                                               {"/n/x.wav", "/m", ""},
                                                               {"/m/x.wav", "", ""}};
        for (const auto& [path, addedFrom, sub] : below)
            QCOMPARE(core::subFolderBelow(path, addedFrom), sub);
    }

    // Each listed extension opens in the decoder: a file of each kind is made
    // by ffmpeg (it can't write APE, Musepack or AMR).
    void everyListedExtensionDecodes() {
        const QMap<QString, QStringList> made{
            {"mp3", {"-c:a", "libmp3lame"}},
            {"mp2", {"-c:a", "mp2"}},
            {"mpeg", {"-c:a", "mp2", "-f", "mp2"}},
            {"mpa", {"-c:a", "mp2", "-f", "mp2"}},
            {"mpg", {"-c:a", "mp2", "-f", "mp2"}},
            {"mp1", {"-c:a", "mp2", "-f", "mp2"}},
            {"wav", {}},
            {"wave", {"-f", "wav"}},
            {"w64", {}},
            {"ogg", {"-c:a", "libvorbis"}},
            {"oga", {"-c:a", "flac", "-f", "ogg"}},
            {"opus", {"-c:a", "libopus"}},
            {"spx", {"-c:a", "libspeex", "-ar", "16000"}},
            {"flac", {}},
            {"m4a", {"-c:a", "aac"}},
            {"m4b", {"-c:a", "aac", "-f", "mp4"}},
            {"aac", {}},
            {"aiff", {}},
            {"aif", {"-f", "aiff"}},
            {"aifc", {"-f", "aiff"}},
            {"au", {}},
            {"snd", {"-f", "au"}},
            {"caf", {}},
            {"wma", {"-c:a", "wmav2", "-f", "asf"}},
            {"wv", {}},
            {"tta", {}},
            {"mka", {"-c:a", "libvorbis"}},
            {"ac3", {}},
            {"dts", {"-c:a", "dca", "-strict", "-2"}},
            {"gsm", {"-c:a", "libgsm", "-ar", "8000", "-ac", "1", "-f", "gsm"}}};
        const QString dir = tmp_.filePath("kinds");
        QDir().mkpath(dir);
        for (const QString& ext : core::audioExtensions()) {
            const QString name = "tone." + ext;
            if (QStringList{"ape", "mpc", "amr"}.contains(ext)) continue;
            const QString path = ext == "vox"                   ? fixtures::makeVox(dir, name, 0.5)
                                 : ext == "raw" || ext == "pcm" ? fixtures::makeRaw(dir, name, 0.5)
                                 : made.contains(ext)
                                     ? fixtures::make(dir, name, 0.5, 48000, 2, made[ext])
                                     : QString();
            QVERIFY2(!path.isEmpty(), qPrintable("no " + name));
            auto decoder = core::Decoder::open(path);
            QVERIFY2(decoder, qPrintable(name + ": " + decoder.reason()));
            uint8_t block[4096];
            QVERIFY2((*decoder)->read(block, sizeof block) > 0, qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(LibraryTest)
#include "tst_library.moc"
