// sonbridge-cli end to end: the real binary on real files, with real lame,
// oggenc and FFmpeg. What the command line adds to the batch: its options
// and the window's saved settings (read, never written), folders and -R,
// the per-file lines, exit codes and signals. Outputs checked with ffprobe.

#include "support/AudioFixtures.h"
#include "support/Processes.h"

#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>
#include <csignal>
#include <tuple>

namespace {

struct CliRun {
    int exitCode;
    QString out, err;
};

QStringList lines(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

using fixtures::filesBelow;

// How many files below dir hold something.
int written(const QString& dir) {
    const QStringList files = filesBelow(dir);
    return int(std::count_if(files.begin(), files.end(), [&](const QString& f) {
        return QFileInfo(dir + '/' + f).size() > 0;
    }));
}

}  // namespace

class CliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_{qEnvironmentVariable("SONBRIDGE_TEST_OUTPUT", QDir::tempPath()) +
                       "/cli-XXXXXX"};
    const QString home_ = tmp_.filePath("home");
    const QString settingsPath_ = home_ + "/Documents/Quillmoor Sonbridge/settings.ini";
    QString wav_;  // 1.5 s, 44100 Hz stereo

    void startCli(QProcess& p, const QStringList& args) const {
        // Never the developer's own settings.ini.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_);
        env.insert("XDG_CONFIG_HOME", home_ + "/.config");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(tmp_.path());
        p.start(SONBRIDGE_CLI_PATH, args);
    }

    CliRun cli(const QStringList& args) const {
        QProcess p;
        startCli(p, args);
        const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
        return {ended ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    QString dir(const QString& name) const { return fixtures::freshDir(tmp_.filePath(name)); }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QVERIFY(QDir().mkpath(QFileInfo(settingsPath_).path()));
        wav_ = fixtures::makeWav(dir("src"), "tone.wav", 1.5, 44100, 2);
        QVERIFY(!wav_.isEmpty());
    }

    // Arguments, settings.ini (empty: none), the source's rate and channels,
    // then the output's codec, rate, channels, extension and whether it has
    // the source's title: what a command line and the window's saved
    // settings make of a source. WAV codecs themselves are the core suites'.
    void formats() {
        const QByteArray none, tagsOff = "[Main]\n3=160\n4=1\n5=1\n6=44100\n8=0\n";
        const QByteArray oggMono32k = "[Main]\r\n3=96\r\n4=2\r\n5=0\r\n6=32000\r\n";
        const QByteArray wav22k = "[Main]\r\n3=128\r\n4=0\r\n5=1\r\n6=22050\r\n";
        // Read as the window reads it: abc is 0 kbps, moved to MP3's lowest;
        // no format 99 falls back to MP3; a blank channel mode is mono.
        const QByteArray damaged = "[Main]\r\n3=abc\r\n4=99\r\n5=\r\n6=32000\r\n";
        const QByteArray sameAsSource = "[Main]\n3=160\n4=1\n5=2\n6=0\n";
        const QByteArray vbr = "[Main]\r\n3=320\r\n4=1\r\n5=1\r\n6=48000\r\nMp3Mode=vbr\r\n";
        // clang-format off
        const std::tuple<QStringList, QByteArray, int, int, QString, QString, bool> rows[] = {
            {{"-f", "mp3", "-b", "64", "-r", "22050", "--mono"}, none, 44100, 2, "mp3 22050 1", "mp3", true},
            {{"-f", "ogg", "-b", "128", "-r", "48000"}, none, 22050, 1, "vorbis 48000 2", "ogg", true},
            {{"-f", "wav"}, none, 22050, 1, "pcm_s16le 44100 2", "wav", true},
            {{"-f", "wav", "-r", "16000", "--mono"}, none, 44100, 2, "pcm_s16le 16000 1", "wav", true},
            {{"-w", "float32,48000,mono"}, none, 44100, 2, "pcm_f32le 48000 1", "wav", true},
            {{"-w", "alaw,8000"}, none, 44100, 2, "pcm_alaw 8000 2", "wav", true},
            {{"-w", "gsm610"}, none, 44100, 2, "gsm_ms 8000 1", "wav", true},
            {{"-w", "mp3,32000,1"}, none, 44100, 2, "mp3 32000 1", "wav", true},
            {{"-w", "pcm24"}, none, 96000, 6, "pcm_s24le 96000 6", "wav", true},
            {{"-f", "flac", "-r", "source", "--channels", "source"}, none, 96000, 6, "flac 96000 6", "flac", true},
            {{}, sameAsSource, 96000, 6, "mp3 48000 2", "mp3", true},
            {{"-f", "wav", "-r", "source"}, none, 32000, 1, "pcm_s16le 32000 2", "wav", true},
            {{"--no-tags"}, none, 44100, 2, "mp3 44100 2", "mp3", false},
            {{}, oggMono32k, 44100, 2, "vorbis 32000 1", "ogg", true},
            {{"-f", "mp3"}, wav22k, 44100, 2, "mp3 22050 2", "mp3", true},
            {{"--no-settings"}, oggMono32k, 22050, 2, "mp3 44100 2", "mp3", true},
            {{}, damaged, 22050, 2, "mp3 32000 1", "mp3", true},
            {{"-f", "opus", "-b", "96"}, vbr, 22050, 1, "opus 48000 2", "opus", true},
            {{"-f", "wavpack", "--mono"}, none, 44100, 2, "wavpack 44100 1", "wv", true},
            {{"--quality", "0"}, vbr, 44100, 2, "mp3 48000 2", "mp3", true},
            {{}, tagsOff, 22050, 2, "mp3 44100 2", "mp3", false}};
        // clang-format on
        for (const auto& [args, settings, sourceRate, sourceChannels, audio, extension, tagged] :
             rows) {
            const QString source =
                fixtures::make(dir("fmt-src"), "in.wav", 1.5, sourceRate, sourceChannels,
                               {"-c:a", "pcm_s16le", "-metadata", "title=Tïtle 🎵"});
            QFile::remove(settingsPath_);
            if (!settings.isEmpty()) QVERIFY(fixtures::writeFile(settingsPath_, settings));
            const QString out = dir("fmt-out"), output = out + "/in." + extension;
            const CliRun r = cli(args + QStringList{"-o", out, source});
            // Not a terminal: the per-file line and nothing else; a changed bitrate in brackets.
            QCOMPARE(lines(r.out).size(), 1);
            const QString ending = settings == damaged                          ? "mono)\n"
                                   : settings == sameAsSource && args.isEmpty() ? "6 channels)\n"
                                                                                : output + "\n";
            QVERIFY2(r.out.startsWith(QString("converted  %1 -> %2").arg(source, output)) &&
                         r.out.endsWith(ending),
                     qPrintable(r.out));
            QVERIFY2(r.exitCode == 0 && r.err.isEmpty(), qPrintable(r.err));
            QCOMPARE(filesBelow(out), QStringList{"in." + extension});
            const fixtures::ProbeResult p = fixtures::probe(output);
            QCOMPARE(QString("%1 %2 %3").arg(p.codec).arg(p.sampleRate).arg(p.channels), audio);
            // MP3 in WAV is as long as its frames.
            QVERIFY2(qAbs(p.duration - 1.5) < 0.2, qPrintable(QString::number(p.duration)));
            QCOMPARE(p.title, QString(tagged ? "Tïtle 🎵" : ""));
            // The command line reads the window's settings and never writes them.
            if (!settings.isEmpty()) QCOMPARE(fixtures::readFile(settingsPath_), settings);
        }
    }

    // Arguments, exit code, the outputs in the order they are reported
    // (with -q: none), the start of the one error line. Audio by extension,
    // hidden entries skipped, names in byte order; a folder needs -R; a file
    // that fails does not stop the others.
    void folders() {
        const QString music = dir("music");
        QVERIFY(QDir(music).mkpath("sub/deeper") && QDir(music).mkpath(".hidden"));
        for (const char* copy : {"a.wav", "sub/e.WAV", ".hidden/d.wav", "sub/.d.wav"})
            QVERIFY(QFile::copy(wav_, music + "/" + copy));
        QVERIFY(!fixtures::makeEncoded(music, "sub/b.flac", 1.0, 44100, 2, "flac").isEmpty());
        QVERIFY(
            !fixtures::makeEncoded(music, "sub/deeper/c.ogg", 1, 22050, 1, "libvorbis").isEmpty());
        QVERIFY(fixtures::writeFile(music + "/sub/cover.jpg", QByteArray(500, 'x')));
        QVERIFY(fixtures::writeFile(dir("bad") + "/x.mp3", QByteArray(40000, '\x5a')));
        // clang-format off
        const std::tuple<QStringList, int, QStringList, QString> rows[] = {
            {{"-R", "--keep-structure", "music"}, 0, {"a.mp3", "sub/b.mp3", "sub/deeper/c.mp3", "sub/e.mp3"}, ""},
            {{"-R", "music"}, 0, {"a.mp3", "b.mp3", "c.mp3", "e.mp3"}, ""},
            {{"music", "music/a.wav"}, 1, {"a.mp3"}, "sonbridge-cli: music: is a folder; use -R\n"},
            {{"music/nothere.wav", "music/a.wav"}, 1, {"a.mp3"}, "sonbridge-cli: music/nothere.wav: No such file or directory\n"},
            {{"-q", "-f", "ogg", "-j", "2", "music/a.wav", "bad/x.mp3", "music/sub/b.flac"}, 1, {"a.ogg", "b.ogg"}, "failed     bad/x.mp3: "}};
        // clang-format on
        for (auto [args, exitCode, outputs, error] : rows) {
            const QString out = dir("folders-out");
            const CliRun r = cli(QStringList{"--no-settings", "-j", "1", "-o", out} + args);
            QCOMPARE(r.exitCode, exitCode);
            QStringList reported;
            for (const QString& line : lines(r.out)) {
                QVERIFY2(line.startsWith("converted  "), qPrintable(line));
                reported << QDir(out).relativeFilePath(line.section(" -> ", 1));
            }
            QCOMPARE(reported, args.contains("-q") ? QStringList() : outputs);
            outputs.sort();
            QCOMPARE(filesBelow(out), outputs);
            QCOMPARE(lines(r.err).size(), error.isEmpty() ? 0 : 1);
            QVERIFY2(error.isEmpty() || r.err.startsWith(error),
                     qPrintable(args.join(" ") + ": " + r.err));
        }
    }

    // File names are bytes: one that is not UTF-8 and that a shell would
    // misread, named on the command line and found by -R, reaches the
    // encoder and the output unchanged; the second takes the next name.
    void namesThatAreNotUtf8() {
        const QByteArray name = "\xE9t\xE9 \"$(x)\"", folder = QFile::encodeName(dir("bytes-src"));
        const QByteArray src = folder + '/' + name + ".wav",
                         out = QFile::encodeName(dir("bytes-out"));
        QCOMPARE(::link(QFile::encodeName(wav_).constData(), src.constData()), 0);
        // QProcess would re-encode the arguments as text; the child execs with the bytes.
        const QByteArrayList args = QByteArrayList{SONBRIDGE_CLI_PATH} +
                                    QByteArray("--no-settings -j 1 -R -o").split(' ') +
                                    QByteArrayList{out, src, folder};
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
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), "converted  " + src + " -> " + out + "/" + name +
                                                ".mp3\nconverted  " + src + " -> " + out + "/" +
                                                name + " (copy).mp3\n");
        // QDir would turn the bytes into U+FFFD, and could not remove them.
        QCOMPARE(::unlink(src.constData()), 0);
        for (const QByteArray& output : {name + ".mp3", name + " (copy).mp3"})
            QCOMPARE(::unlink(out + '/' + output), 0);
        QVERIFY(QDir(QFile::decodeName(out)).isEmpty());
    }

    // A line break or a right-to-left override in a name: one line a file,
    // the name quoted as ls quotes it; a quote alone needs nothing.
    void namesThatWouldBreakTheLine() {
        const QString src = dir("quoting");
        QDir(tmp_.filePath("out")).removeRecursively();
        const QStringList names{"a\nb", QString(QChar(0x202E)) + "evil"};
        QStringList args{"--no-settings", "-j", "1", "-o", "out"};
        for (const QString& name : names) {
            QVERIFY(QFile::copy(wav_, src + "/" + name + ".wav"));
            args << "quoting/" + name + ".wav";
        }
        const CliRun r = cli(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(lines(r.out),
                 (QStringList{"converted  'quoting/a'$'\\n''b.wav' -> 'out/a'$'\\n''b.mp3'",
                              "converted  'quoting/'$'\\342\\200\\256''evil.wav' -> "
                              "'out/'$'\\342\\200\\256''evil.mp3'"}));
    }

    // Damaged inputs and the reason each failed line gives: a sentence a
    // person reads; the library's own words only with --verbose.
    void damagedInputsSaySentences() {
        const QString bad = dir("damaged");
        const QString video = fixtures::makeFrom(bad, "video.mkv", "testsrc=duration=1:size=64x64");
        QVERIFY(fixtures::writeFile(bad + "/text.mp3", "this is not audio at all\n"));
        QVERIFY(fixtures::writeFile(bad + "/noise.flac", QByteArray(40000, '\x5a')));
        QVERIFY(fixtures::writeFile(bad + "/Track01.cda", QByteArray(44, 'x')));
        const QString headerOnly = fixtures::make(bad, "empty.flac", 1, 8000, 1, {"-t", "0"});
        // clang-format off
        const std::pair<QString, QString> rows[] = {
            {bad + "/text.mp3", "Not an audio file, or the file is damaged"},
            {bad + "/noise.flac", "Not an audio file, or the file is damaged"},
            {video, "The file holds no audio stream"},
            {headerOnly, "The file holds no audio"},
            {bad + "/Track01.cda", "A CD audio track file only points to a track on a disc; copy the track first"}};
        // clang-format on
        for (const bool verbose : {false, true}) {
            QStringList args{"--no-settings", "-j", "1", "-o", dir("damaged-out")};
            if (verbose) args << "--verbose";
            for (const auto& row : rows) args << row.first;
            const CliRun r = cli(args);
            QCOMPARE(r.exitCode, 1);
            QStringList failed;
            for (const auto& [source, reason] : rows)
                failed << "failed     " + source + ": " + reason;
            const QStringList errors = lines(r.err);
            QStringList reported;
            for (const QString& line : errors)
                if (line.startsWith("failed")) reported << line;
            QCOMPARE(reported, failed);
            QCOMPARE(errors.size() > failed.size(), verbose);
            QCOMPARE(r.err.contains("avformat_open_input failed: "), verbose);
        }
    }

    // The manual page states the version the program prints.
    void manualPageVersion() {
        const CliRun r = cli({"--version"});
        QVERIFY(r.out.startsWith("sonbridge-cli "));
        QVERIFY(fixtures::readFile(SONBRIDGE_MAN_PAGE)
                    .contains("\"Sonbridge " + r.out.trimmed().section(' ', 1).toUtf8() + "\""));
    }

    // Arguments ("SRC": a good file) and the start of the message.
    void badUsage() {
        // clang-format off
        const std::pair<QStringList, QString> rows[] = {
            {{"--frobnicate", "SRC"}, "Unknown option 'frobnicate'."},
            {{"-b", "12x", "SRC"}, "bitrate '12x' is not a number from 8 to 320"},
            {{"-b", "0", "SRC"}, "bitrate '0' is not a number from 8 to 320"},
            {{"-r", "12345", "SRC"}, "rate '12345' is not one of"},
            {{"-j", "0", "SRC"}, "jobs '0' is not a number from 1 to 16"},
            {{"-f", "aiff", "SRC"}, "unknown format 'aiff' (wav, mp3, ogg, flac, opus, aac, alac, wavpack)"},
            {{"-f", "opus", "-b", "5", "SRC"}, "bitrate '5' is not a number from 6 to 510 for opus"},
            {{"-f", "ogg", "--quality", "11", "SRC"}, "quality '11' is not a number from -1 to 10 for ogg"},
            {{"-f", "flac", "--compression", "9", "SRC"}, "compression '9' is not a number from 0 to 8"},
            {{"-f", "flac", "-b", "128", "SRC"}, "--bitrate does not apply to flac"},
            {{"-f", "mp3", "--mode", "vbr", "-b", "128", "SRC"}, "--bitrate does not apply to mp3 in mode vbr"},
            {{"-f", "mp3", "--mode", "fast", "SRC"}, "mp3 has no mode 'fast' (cbr, vbr, abr)"},
            {{"-w", "pcm16,44100,3", "SRC"}, "pcm16 has no channel count '3'"},
            {{"-w", "opus", "SRC"}, "unknown WAV codec 'opus'"},
            {{"-f", "mp3", "-w", "pcm16", "SRC"}, "--wave-format is for WAV output only"},
            {{"--mono", "--channels", "2", "SRC"}, "--mono, --stereo and --channels exclude each other"},
            {{"--channels", "3", "SRC"}, "--channels '3' is not 1, 2 or source"},
            {{"--keep-structure", "SRC"}, "--keep-structure needs -o DIR and -R"},
            {{"--existing", "overwrite", "SRC"}, "--existing 'overwrite' is not copy, skip or replace"},
            {{"--name", "{artist}/{tilte}", "SRC"}, "--name: unknown field {tilte}"},
            {{"--shard", "3/2", "SRC"}, "--shard '3/2' is not K/N"},
            {{"-f", "mp3"}, "no FILE or FOLDER given"}};
        // clang-format on
        for (auto [args, message] : rows) {
            const QString out = dir("usage-out");
            const CliRun r = cli(QStringList{"--no-settings", "-o", out} +
                                 args.replaceInStrings(QRegularExpression("^SRC$"), wav_));
            QCOMPARE(r.exitCode, 2);
            QCOMPARE(lines(r.err).size(), 2);
            QVERIFY2(r.err.startsWith("sonbridge-cli: " + message), qPrintable(r.err));
            QVERIFY(r.err.endsWith("\nTry 'sonbridge-cli --help' for more information.\n"));
            QVERIFY(r.out.isEmpty() && filesBelow(out).isEmpty());
        }
    }

    // A nightly sync: the second run converts nothing and says so; N shards
    // of the sorted walk share the files out without overlap or gap.
    void syncAndShards() {
        const QString library = dir("library");
        for (const char* name : {"A/01.wav", "A/02.wav", "B/01.wav", "c.wav"}) {
            QVERIFY(QDir(library).mkpath(QFileInfo(name).path()));
            QVERIFY(QFile::copy(wav_, library + "/" + name));
        }
        const QString phone = dir("phone");
        const QStringList sync{"--no-settings", "-j",   "2",  "-R",  "--keep-structure",
                               "--existing",    "skip", "-o", phone, library};
        const QStringList all{"A/01.mp3", "A/02.mp3", "B/01.mp3", "c.mp3"};
        CliRun r = cli(sync);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count("converted  "), 4);
        QCOMPARE(filesBelow(phone), all);
        r = cli(sync);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count("skipped    "), 4);
        QVERIFY2(lines(r.out).contains(
                     QString("skipped    %1/B/01.wav (%2/B/01.mp3 exists)").arg(library, phone)),
                 qPrintable(r.out));

        QStringList shared;
        for (const char* shard : {"1/3", "2/3", "3/3"}) {
            const QString out = dir(QString("shard-%1").arg(shard[0]));
            r = cli(
                {"--no-settings", "-R", "--keep-structure", "--shard", shard, "-o", out, library});
            QCOMPARE(r.exitCode, 0);
            shared += filesBelow(out);
        }
        shared.sort();
        QCOMPARE(shared, filesBelow(phone));
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
        for (const char* part :
             {"\r\x1b[K0 of 2 files", "\r\x1b[K2 of 2 files, 100%", "2 files converted in 0:0"})
            QVERIFY2(screen.contains(part), screen.constData());
        QCOMPARE(screen.count("converted  "), 2);
    }

    // In the middle of two long files: both stop, nothing is left behind.
    void signalStops() {
        const QString longWav = fixtures::makeWav(dir("long"), "long.wav", 240, 44100, 2,
                                                  "pcm_s16le", fixtures::Signal::Noise);
        QVERIFY(!longWav.isEmpty());
        for (const auto& [signal, format, encoder] :
             {std::tuple{SIGINT, "mp3", "lame"}, std::tuple{SIGTERM, "ogg", "oggenc"}}) {
            const QString out = dir("signal-out");
            QProcess p;
            startCli(p,
                     {"--no-settings", "-f", format, "-j", "2", "-o", out, longWav, longWav, wav_});
            // Both encoders are running and have written, under hidden temporary names.
            QList<fixtures::ChildInfo> encoders;
            QTRY_VERIFY_WITH_TIMEOUT(
                (encoders = fixtures::childrenOf(pid_t(p.processId())),
                 encoders.removeIf([&](const auto& c) { return c.name != encoder || c.zombie; }),
                 encoders.size() == 2 && written(out) == 2),
                60000);
            QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
            QVERIFY(p.waitForFinished(30000));
            QVERIFY(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 128 + signal);
            QCOMPARE(filesBelow(out), QStringList());
            for (const fixtures::ChildInfo& c : encoders)
                QVERIFY2(!QFileInfo::exists(QString("/proc/%1").arg(c.pid)), qPrintable(c.name));
            QCOMPARE(lines(QString::fromUtf8(p.readAllStandardOutput())),
                     (QStringList{"terminated " + longWav, "terminated " + longWav}));
        }
    }

    // A run killed outright leaves its temporary files (its encoders finish
    // them and exit); the next run into that folder removes them and says so.
    void leftoversOfAKilledRunGoNextTime() {
        const QString longWav = fixtures::makeWav(dir("killed"), "long.wav", 60, 44100, 2,
                                                  "pcm_s16le", fixtures::Signal::Noise);
        const QString out = dir("killed-out");
        QProcess p;
        startCli(p, {"--no-settings", "-f", "mp3", "-j", "2", "-o", out, longWav, longWav});
        QList<fixtures::ChildInfo> encoders;
        QTRY_VERIFY_WITH_TIMEOUT((encoders = fixtures::childrenOf(pid_t(p.processId())),
                                  encoders.size() == 2 && written(out) == 2),
                                 60000);
        QCOMPARE(::kill(pid_t(p.processId()), SIGKILL), 0);
        QVERIFY(p.waitForFinished(10000));
        for (const fixtures::ChildInfo& c : encoders)
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QString("/proc/%1").arg(c.pid)), 60000);
        QCOMPARE(filesBelow(out).size(), 2);
        const CliRun next = cli({"--no-settings", "-f", "mp3", "-o", out, wav_});
        QCOMPARE(next.exitCode, 0);
        QCOMPARE(filesBelow(out), QStringList{"tone.mp3"});
        QVERIFY2(next.err.contains("Removed 2 unfinished files left by an earlier run"),
                 qPrintable(next.err));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
