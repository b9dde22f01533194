// sonbridge-cli end to end: the real binary on real files, with real lame,
// oggenc and FFmpeg; outputs checked with ffprobe.

#include "support/AudioFixtures.h"
#include "support/Processes.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <dirent.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>
#include <csignal>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

QStringList lines(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Every file below dir, as paths relative to it, sorted.
QStringList filesBelow(const QString& dir) {
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) found << QDir(dir).relativeFilePath(it.next());
    found.sort();
    return found;
}

// The names in a folder as bytes (QDir would turn bytes that are not UTF-8 into U+FFFD).
QByteArrayList namesIn(const QByteArray& folder) {
    QByteArrayList names;
    if (DIR* d = ::opendir(folder.constData())) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] != '.') names << QByteArray(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

}  // namespace

class CliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_{QString::fromLocal8Bit(qgetenv("SONBRIDGE_TEST_OUTPUT")).isEmpty()
                           ? QDir::tempPath() + "/cli-XXXXXX"
                           : QString::fromLocal8Bit(qgetenv("SONBRIDGE_TEST_OUTPUT")) +
                                 "/cli-XXXXXX"};
    QString home_;
    QString settingsPath_;
    QString wav_;  // 1.5 s, 44100 Hz stereo

    QProcessEnvironment environment() const {
        // Never the developer's own settings.ini.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_);
        env.insert("XDG_CONFIG_HOME", home_ + "/.config");
        return env;
    }

    void startCli(QProcess& p, const QStringList& args) const {
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(tmp_.path());
        p.start(SONBRIDGE_CLI_PATH, args);
    }

    CliRun cli(const QStringList& args) const {
        QProcess p;
        startCli(p, args);
        CliRun r;
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) return r;
        r.exitCode = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QString dir(const QString& name) const {
        const QString path = tmp_.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        return path;
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        home_ = dir("home");
        settingsPath_ = home_ + "/Documents/Quillmoor Sonbridge/settings.ini";
        wav_ = fixtures::makeWav(dir("src"), "tone.wav", 1.5, 44100, 2);
        QVERIFY(!wav_.isEmpty());
    }

    void cleanup() { QFile::remove(settingsPath_); }

    // What a command line (and the window's saved settings) make of a source.
    void formats_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("settings");  // empty: no settings.ini
        QTest::addColumn<int>("sourceRate");
        QTest::addColumn<int>("sourceChannels");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("extension");
        const QByteArray none;
        const QByteArray oggMono32k = "[Main]\r\n3=96\r\n4=2\r\n5=0\r\n6=32000\r\n";
        const QByteArray wav22k = "[Main]\r\n4=0\r\n5=1\r\n6=22050\r\n";
        const QByteArray damaged = "[Main]\r\n3=abc\r\n4=7\r\n5=\r\n6=0\r\n";
        // clang-format off
        QTest::newRow("mp3 stereo 44100") << QStringList{"-f", "mp3", "-b", "128", "-r", "44100", "--stereo"} << none << 48000 << 2 << "mp3" << 44100 << 2 << "mp3";
        QTest::newRow("mp3 mono 22050") << QStringList{"-f", "mp3", "-b", "64", "-r", "22050", "--mono"} << none << 44100 << 2 << "mp3" << 22050 << 1 << "mp3";
        QTest::newRow("ogg stereo 48000") << QStringList{"-f", "ogg", "-b", "128", "-r", "48000"} << none << 22050 << 1 << "vorbis" << 48000 << 2 << "ogg";
        QTest::newRow("ogg mono 22050") << QStringList{"-f", "ogg", "-b", "48", "-r", "22050", "--mono"} << none << 44100 << 2 << "vorbis" << 22050 << 1 << "ogg";
        QTest::newRow("wav default pcm16") << QStringList{"-f", "wav"} << none << 22050 << 1 << "pcm_s16le" << 44100 << 2 << "wav";
        QTest::newRow("wav from -r and --mono") << QStringList{"-f", "wav", "-r", "16000", "--mono"} << none << 44100 << 2 << "pcm_s16le" << 16000 << 1 << "wav";
        QTest::newRow("pcm8") << QStringList{"-w", "pcm8,11025,1"} << none << 44100 << 2 << "pcm_u8" << 11025 << 1 << "wav";
        QTest::newRow("pcm24") << QStringList{"-w", "pcm24,48000,2"} << none << 44100 << 1 << "pcm_s24le" << 48000 << 2 << "wav";
        QTest::newRow("pcm32") << QStringList{"-w", "pcm32"} << none << 44100 << 2 << "pcm_s32le" << 44100 << 2 << "wav";
        QTest::newRow("float32 mono") << QStringList{"-w", "float32,48000,mono"} << none << 44100 << 2 << "pcm_f32le" << 48000 << 1 << "wav";
        QTest::newRow("alaw") << QStringList{"-w", "alaw,8000"} << none << 44100 << 2 << "pcm_alaw" << 8000 << 2 << "wav";
        QTest::newRow("mulaw") << QStringList{"-w", "mulaw,8000,1"} << none << 44100 << 2 << "pcm_mulaw" << 8000 << 1 << "wav";
        QTest::newRow("ima-adpcm") << QStringList{"-w", "ima-adpcm,22050,1"} << none << 44100 << 2 << "adpcm_ima_wav" << 22050 << 1 << "wav";
        QTest::newRow("ms-adpcm") << QStringList{"-w", "ms-adpcm,11025"} << none << 44100 << 1 << "adpcm_ms" << 11025 << 2 << "wav";
        QTest::newRow("gsm610 takes its only rate") << QStringList{"-w", "gsm610"} << none << 44100 << 2 << "gsm_ms" << 8000 << 1 << "wav";
        QTest::newRow("mp3 inside wav") << QStringList{"-w", "mp3,32000,1"} << none << 44100 << 2 << "mp3" << 32000 << 1 << "wav";
        QTest::newRow("saved ogg mono 32000") << QStringList{} << oggMono32k << 44100 << 2 << "vorbis" << 32000 << 1 << "ogg";
        QTest::newRow("saved rate, format given") << QStringList{"-f", "mp3"} << wav22k << 44100 << 2 << "mp3" << 22050 << 2 << "mp3";
        QTest::newRow("saved, --no-settings") << QStringList{"--no-settings"} << oggMono32k << 22050 << 2 << "mp3" << 44100 << 2 << "mp3";
        QTest::newRow("saved values damaged") << QStringList{} << damaged << 22050 << 2 << "mp3" << 44100 << 2 << "mp3";
        // clang-format on
    }

    void formats() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, settings);
        QFETCH(int, sourceRate);
        QFETCH(int, sourceChannels);
        QFETCH(QString, codec);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(QString, extension);
        const double seconds = 1.5;
        const QString source =
            fixtures::makeWav(dir("fmt-src"), "in.wav", seconds, sourceRate, sourceChannels);
        QVERIFY(!source.isEmpty());
        if (!settings.isEmpty()) writeFile(settingsPath_, settings);
        const QString out = dir("fmt-out");

        const CliRun r = cli(args + QStringList{"-o", out, source});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(filesBelow(out), QStringList{"in." + extension});
        const QString output = out + "/in." + extension;
        // Not a terminal: the per-file line and nothing else.
        QCOMPARE(r.out, QStringLiteral("converted  %1 -> %2\n").arg(source, output));
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));

        const fixtures::ProbeResult p = fixtures::probe(output);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.codec, codec);
        QCOMPARE(p.sampleRate, rate);
        QCOMPARE(p.channels, channels);
        QVERIFY2(qAbs(p.duration - seconds) < 0.1, qPrintable(QString::number(p.duration)));
        // The command line reads the window's settings and never writes them.
        if (!settings.isEmpty()) {
            QFile f(settingsPath_);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), settings);
        }
    }

    void folders_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("outputs");  // in the order they are reported
        QTest::addColumn<QString>("error");
        // clang-format off
        QTest::newRow("-R --keep-structure") << QStringList{"-R", "--keep-structure", "music"} << 0
            << QStringList{"a.mp3", "sub/b.mp3", "sub/deeper/c.mp3", "sub/e.mp3"} << "";
        QTest::newRow("-R flat") << QStringList{"-R", "music"} << 0
            << QStringList{"a.mp3", "b.mp3", "c.mp3", "e.mp3"} << "";
        QTest::newRow("folder without -R") << QStringList{"music", "music/a.wav"} << 1
            << QStringList{"a.mp3"} << "sonbridge-cli: music: is a folder; use -R";
        QTest::newRow("missing file") << QStringList{"music/nothere.wav", "music/a.wav"} << 1
            << QStringList{"a.mp3"} << "sonbridge-cli: music/nothere.wav: No such file or directory";
        // clang-format on
    }

    void folders() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QStringList, outputs);
        QFETCH(QString, error);
        // Audio by extension, hidden entries skipped, names in byte order.
        const QString music = dir("music");
        QVERIFY(QDir(music).mkpath("sub/deeper") && QDir(music).mkpath(".hidden"));
        QVERIFY(QFile::copy(wav_, music + "/a.wav"));
        QVERIFY(!fixtures::makeFlac(music + "/sub", "b.flac", 1.0, 44100, 2).isEmpty());
        QVERIFY(!fixtures::makeOgg(music + "/sub/deeper", "c.ogg", 1.0, 22050, 1).isEmpty());
        QVERIFY(QFile::copy(wav_, music + "/sub/e.WAV"));
        QVERIFY(QFile::copy(wav_, music + "/.hidden/d.wav"));
        QVERIFY(QFile::copy(wav_, music + "/sub/.d.wav"));
        writeFile(music + "/sub/cover.jpg", QByteArray(500, 'x'));
        const QString out = dir("folders-out");

        const CliRun r = cli(QStringList{"--no-settings", "-j", "1", "-o", out} + args);
        QCOMPARE(r.exitCode, exitCode);
        QStringList reported;
        for (const QString& line : lines(r.out)) {
            QVERIFY2(line.startsWith("converted  "), qPrintable(line));
            reported << QDir(out).relativeFilePath(line.section(" -> ", 1));
        }
        QCOMPARE(reported, outputs);
        outputs.sort();
        QCOMPARE(filesBelow(out), outputs);
        QCOMPARE(lines(r.err), error.isEmpty() ? QStringList() : QStringList{error});
    }

    // Never overwritten: a name taken on disk, and one taken by a job of the same batch.
    void clashes() {
        const QString out = dir("clash-out");
        writeFile(out + "/tone.mp3", "keep me");
        const QString second = dir("clash-src") + "/tone.wav";
        QVERIFY(QFile::copy(wav_, second));
        const CliRun r = cli({"--no-settings", "-j", "2", "-o", out, wav_, second});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(filesBelow(out),
                 (QStringList{"tone (copy 2).mp3", "tone (copy).mp3", "tone.mp3"}));
        QFile kept(out + "/tone.mp3");
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        for (const char* name : {"tone (copy).mp3", "tone (copy 2).mp3"})
            QVERIFY(fixtures::probe(out + "/" + QLatin1String(name)).ok);
    }

    // Tags travel unless --no-tags, or the window's saved settings, say not.
    void tags_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("title");
        QTest::newRow("default") << QStringList{} << QByteArray() << "Tïtle 🎵";
        QTest::newRow("--no-tags") << QStringList{"--no-tags"} << QByteArray() << "";
        QTest::newRow("saved unticked") << QStringList{} << QByteArray("[Main]\n8=0\n") << "";
    }

    void tags() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, settings);
        const QString source = dir("tag-src") + "/in.flac";
        QVERIFY(fixtures::run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=1",
                                         "-metadata", "title=Tïtle 🎵", source}));
        if (!settings.isEmpty()) writeFile(settingsPath_, settings);
        const QString out = dir("tag-out");
        QCOMPARE(cli(args + QStringList{"-f", "mp3", "-o", out, source}).exitCode, 0);
        QByteArray title;
        QVERIFY(fixtures::run("ffprobe",
                              {"-v", "error", "-show_entries", "format_tags=title", "-of",
                               "csv=p=0", out + "/in.mp3"},
                              nullptr, &title));
        QTEST(QString::fromUtf8(title).trimmed(), "title");
    }

    // The others still convert; -q keeps only the failure, on standard error.
    void damagedAmongGood() {
        const QString src = dir("damaged-src");
        QVERIFY(QFile::copy(wav_, src + "/good1.wav"));
        writeFile(src + "/bad.mp3", QByteArray(40000, '\x5a'));
        QVERIFY(!fixtures::makeFlac(src, "good2.flac", 1.0, 48000, 1).isEmpty());
        const QString out = dir("damaged-out");
        const CliRun r = cli({"--no-settings", "-q", "-f", "ogg", "-j", "2", "-o", out,
                              src + "/good1.wav", src + "/bad.mp3", src + "/good2.flac"});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(filesBelow(out), (QStringList{"good1.ogg", "good2.ogg"}));
        QVERIFY(fixtures::probe(out + "/good1.ogg").ok && fixtures::probe(out + "/good2.ogg").ok);
        const QString failed = "failed     " + src + "/bad.mp3: ";
        QCOMPARE(lines(r.err).size(), 1);
        QVERIFY2(r.err.startsWith(failed) && r.err.size() > failed.size() + 1, qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }

    // File names are bytes: one that is not UTF-8, named on the command line
    // and found by -R, reaches the encoder and the output unchanged.
    void namesThatAreNotUtf8() {
        const QByteArray name = "\xE9t\xE9 \"$(x)\"";
        const QByteArray src = QFile::encodeName(dir("bytes-src")) + '/' + name + ".wav";
        QFile in(wav_);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray audio = in.readAll();
        const int fd = ::open(src.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, audio.constData(), size_t(audio.size())), ssize_t(audio.size()));
        ::close(fd);
        const QByteArray out = QFile::encodeName(dir("bytes-out"));

        // QProcess would re-encode the arguments as text; the child execs with the bytes.
        const QList<QByteArray> args{SONBRIDGE_CLI_PATH,
                                     "--no-settings",
                                     "-j",
                                     "1",
                                     "-R",
                                     "-o",
                                     out,
                                     src,
                                     QFile::encodeName(tmp_.path()) + "/bytes-src"};
        std::vector<char*> argv;
        for (const QByteArray& a : args) argv.push_back(const_cast<char*>(a.constData()));
        argv.push_back(nullptr);
        QProcess p;
        // Only exec between fork and exec: no allocation there.
        p.setChildProcessModifier([&argv] {
            ::execv(argv[0], argv.data());
            ::_exit(127);
        });
        startCli(p, {});
        QVERIFY(p.waitForFinished(60000));
        const QByteArrayList written = namesIn(out);
        for (const QByteArray& n : written) ::unlink(out + '/' + n);  // QDir can't remove them
        ::unlink(src);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(written, (QByteArrayList{name + " (copy).mp3", name + ".mp3"}));
        QCOMPARE(p.readAllStandardOutput(), "converted  " + src + " -> " + out + "/" + name +
                                                ".mp3\nconverted  " + src + " -> " + out + "/" +
                                                name + " (copy).mp3\n");
    }

    void badUsage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "SRC"} << "Unknown option 'frobnicate'.";
        QTest::newRow("bitrate not a number") << QStringList{"-b", "12x", "SRC"} << "bitrate '12x' is not a number from 8 to 320";
        QTest::newRow("bitrate out of range") << QStringList{"-b", "0", "SRC"} << "bitrate '0' is not a number from 8 to 320";
        QTest::newRow("rate not a number") << QStringList{"-r", "44.1k", "SRC"} << "rate '44.1k' is not one of";
        QTest::newRow("rate not offered") << QStringList{"-r", "12345", "SRC"} << "rate '12345' is not one of";
        QTest::newRow("jobs zero") << QStringList{"-j", "0", "SRC"} << "jobs '0' is not a number from 1 to 16";
        QTest::newRow("jobs not a number") << QStringList{"--jobs", "two", "SRC"} << "jobs 'two' is not a number";
        QTest::newRow("unknown format") << QStringList{"-f", "flac", "SRC"} << "unknown format 'flac'";
        QTest::newRow("wave channels") << QStringList{"-w", "pcm16,44100,3", "SRC"} << "pcm16 has no channel count '3'";
        QTest::newRow("wave codec") << QStringList{"-w", "opus", "SRC"} << "unknown WAV codec 'opus'";
        QTest::newRow("wave format for mp3") << QStringList{"-f", "mp3", "-w", "pcm16", "SRC"} << "--wave-format is for WAV output only";
        QTest::newRow("mono and stereo") << QStringList{"--mono", "--stereo", "SRC"} << "--mono and --stereo exclude each other";
        QTest::newRow("keep structure without -R") << QStringList{"--keep-structure", "SRC"} << "--keep-structure needs -o DIR and -R";
        QTest::newRow("missing value") << QStringList{"SRC", "-b"} << "Missing value after '-b'.";
        QTest::newRow("no file") << QStringList{"-f", "mp3"} << "no FILE or FOLDER given";
        // clang-format on
    }

    void badUsage() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        args.replaceInStrings(QRegularExpression("^SRC$"), wav_);
        const QString out = dir("usage-out");
        const CliRun r = cli(QStringList{"--no-settings", "-o", out} + args);
        QCOMPARE(r.exitCode, 2);
        const QStringList errors = lines(r.err);
        QCOMPARE(errors.size(), 2);
        QVERIFY2(errors[0].startsWith("sonbridge-cli: " + message), qPrintable(errors[0]));
        QCOMPARE(errors[1], QStringLiteral("Try 'sonbridge-cli --help' for more information."));
        QVERIFY(r.out.isEmpty());
        QVERIFY(filesBelow(out).isEmpty());
    }

    // The live total appears on a terminal only; the formats cases show the plain lines.
    void liveLineOnTerminal() {
        int master = -1, slave = -1;
        QCOMPARE(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        const QString out = dir("tty-out");
        QProcess p;
        p.setChildProcessModifier([slave] { ::dup2(slave, STDOUT_FILENO); });
        startCli(p, {"--no-settings", "-j", "2", "-o", out, wav_, wav_});
        QVERIFY(p.waitForFinished(60000));
        ::close(slave);
        QByteArray screen;
        char buf[4096];
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;) screen.append(buf, n);
        ::close(master);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(screen.contains("\r\x1b[K0 of 2 files"), screen.constData());
        QVERIFY2(screen.contains("\r\x1b[K2 of 2 files, 100%"), screen.constData());
        QVERIFY2(screen.contains("2 converted, 0 failed in 0:0"), screen.constData());
        QCOMPARE(screen.count("converted  "), 2);
    }

    void signalStops_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("encoder");
        QTest::newRow("SIGINT, mp3") << int(SIGINT) << "mp3"
                                     << "lame";
        QTest::newRow("SIGTERM, ogg") << int(SIGTERM) << "ogg"
                                      << "oggenc";
    }

    // In the middle of two long files: both stop, nothing is left behind.
    void signalStops() {
        QFETCH(int, signal);
        QFETCH(QString, format);
        QFETCH(QString, encoder);
        static const QString longWav = fixtures::makeWav(dir("long"), "long.wav", 240, 44100, 2,
                                                         "pcm_s16le", fixtures::Signal::Noise);
        QVERIFY(!longWav.isEmpty());
        const QString out = dir("signal-out");
        QProcess p;
        startCli(p, {"--no-settings", "-f", format, "-j", "2", "-o", out, longWav, longWav, wav_});
        QVERIFY(p.waitForStarted());

        // Both encoders are running and writing.
        QList<fixtures::ChildInfo> encoders;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000) {
            encoders.clear();
            for (const fixtures::ChildInfo& c : fixtures::childrenOf(pid_t(p.processId())))
                if (c.name == encoder && !c.zombie) encoders << c;
            // Both write under hidden temporary names until they finish.
            if (encoders.size() == 2 && filesBelow(out).size() == 2) break;
            QThread::msleep(20);
        }
        QCOMPARE(encoders.size(), 2);
        QThread::msleep(300);
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QVERIFY(p.waitForFinished(30000));

        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 128 + signal);
        QCOMPARE(filesBelow(out), QStringList());
        for (const fixtures::ChildInfo& c : encoders)
            QVERIFY2(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(c.pid)),
                     qPrintable(c.name + " is still there"));
        QCOMPARE(lines(QString::fromUtf8(p.readAllStandardOutput())),
                 (QStringList{"terminated " + longWav, "terminated " + longWav}));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
