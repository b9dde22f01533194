// Batches that meet faults and hostile input: an encoder stopped or killed
// mid-file, a destination that fills up or can't be made, names a shell
// would misread or that are not UTF-8. Every case ends with a clear outcome,
// nothing overwritten and no encoder process left behind.
#include "core/Batch.h"
#include "core/NativePath.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"
#include "support/Processes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

using core::BatchEnd;
using core::JobOutcome;
using core::OutputFormat;
using fixtures::BatchRecorder;
using fixtures::jobs;

namespace {

// A small tmpfs, unmounted when the test ends however it ends.
class SmallDisk {
public:
    explicit SmallDisk(const QString& where) : path_(QFile::encodeName(where)) {
        mounted_ = ::mount("tmpfs", path_.constData(), "tmpfs", 0, "size=128k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(path_.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }

private:
    QByteArray path_;
    bool mounted_ = false;
};

}  // namespace

class BatchFaultsTest : public QObject {
    Q_OBJECT

    QTemporaryDir media_;
    QString tone_;  // 2 s
    QString long_;  // 20 s of noise

private slots:
    void initTestCase() {
        tone_ = fixtures::makeWav(media_.path(), "tone.wav", 2.0, 44100, 2);
        long_ = fixtures::makeWav(media_.path(), "long.wav", 20.0, 44100, 2, "pcm_s16le",
                                  fixtures::Signal::Noise);
        QVERIFY(!tone_.isEmpty() && !long_.isEmpty());
    }

    void cleanup() {
        const auto left = fixtures::children();
        for (const auto& c : left) qWarning("left behind: %d %s", c.pid, qPrintable(c.name));
        QVERIFY(left.isEmpty());
    }

    // The batch's thread keeps turning while its encoder hangs or dies, and
    // the batch can run again afterwards.
    void misbehavingEncoderFailsItsJob_data() {
        // clang-format off
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("reason");  // empty: any
        QTest::newRow("lame stops reading") << 1 << "lame" << SIGSTOP
                                            << "lame stopped reading its input";
        QTest::newRow("oggenc stops reading") << 2 << "oggenc" << SIGSTOP
                                              << "oggenc stopped reading its input";
        QTest::newRow("lame killed") << 1 << "lame" << SIGKILL << "";
        QTest::newRow("oggenc killed") << 2 << "oggenc" << SIGKILL << "";
        // clang-format on
    }

    void misbehavingEncoderFailsItsJob() {
        QFETCH(int, format);
        QFETCH(QString, program);
        QFETCH(int, signal);
        QFETCH(QString, reason);
        QTemporaryDir out;
        core::Batch batch;
        batch.setMaxSimultaneous(1);
        batch.setEncoderStallTimeout(500);
        BatchRecorder rec(batch);
        pid_t hit = 0;
        qint64 longestGap = 0;
        QElapsedTimer gap;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, gap.restart());
            for (const auto& c : fixtures::children())
                if (!hit && c.name == program && ::kill(c.pid, signal) == 0) hit = c.pid;
        });
        gap.start();
        ticker.start(5);
        const OutputFormat f = *core::outputFormatFromIndex(format);
        QVERIFY(batch.start(jobs({long_, tone_}, f, out.path())));
        QVERIFY(rec.waitForEnd());
        ticker.stop();

        QVERIFY(hit != 0);
        QVERIFY(QDir(out.path()).isEmpty());  // nothing half-written stays
        QCOMPARE(*rec.end, BatchEnd::Failed);
        QCOMPARE(rec.started, QList<int>{0});
        QCOMPARE(rec.results[0].outcome, JobOutcome::Failed);
        QVERIFY(!rec.results[0].reason.isEmpty());
        if (!reason.isEmpty()) QCOMPARE(rec.results[0].reason, reason);
        QVERIFY2(longestGap < 250, qPrintable(QString::number(longestGap)));

        rec.end.reset();
        QVERIFY(batch.start(jobs({tone_}, f, out.path())));
        QVERIFY(rec.waitForEnd());
        QCOMPARE(rec.results[0].outcome, JobOutcome::Converted);
        QVERIFY(fixtures::probe(rec.results[0].outputPath).ok);
    }

    void unwritableDestinationIsNeverConverted_data() {
        // clang-format off
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("fullDisk");  // else a folder under a file
        QTest::newRow("wav, full disk") << 0 << true;
        QTest::newRow("mp3, full disk") << 1 << true;
        QTest::newRow("ogg, full disk") << 2 << true;
        QTest::newRow("wav, folder under a file") << 0 << false;
        QTest::newRow("mp3, folder under a file") << 1 << false;
        QTest::newRow("ogg, folder under a file") << 2 << false;
        // clang-format on
    }

    void unwritableDestinationIsNeverConverted() {
        QFETCH(int, format);
        QFETCH(bool, fullDisk);
        QTemporaryDir out;
        SmallDisk disk(fullDisk ? out.path() : QString());
        if (fullDisk && !disk.mounted()) QSKIP("cannot mount a tmpfs here");
        QString destination = out.path();
        if (!fullDisk) {
            QVERIFY(fixtures::writeFile(out.filePath("file"), "x"));
            destination = out.filePath("file/sub");
        }
        core::Batch batch;
        batch.setMaxSimultaneous(1);
        batch.setWaveFormat(fixtures::waveFormat("PCM", "44100 Hz, 16 bit, Stereo"), true);
        BatchRecorder rec(batch);
        QVERIFY(
            batch.start(jobs({long_, tone_}, *core::outputFormatFromIndex(format), destination)));
        QVERIFY(rec.waitForEnd());
        QCOMPARE(*rec.end, BatchEnd::Failed);
        QCOMPARE(rec.started, QList<int>{0});
        QCOMPARE(rec.results[0].outcome, JobOutcome::Failed);
        QVERIFY(!rec.results[0].reason.isEmpty());
        if (fullDisk) QVERIFY(QDir(destination).isEmpty());
    }

    // An output is renamed into place only when it is whole; otherwise the
    // job fails, quickly, with a reason that says what went wrong.
    void onlyCheckedOutputsGetTheirNames_data() {
        QTest::addColumn<QString>("encoder");  // a stand-in for lame, as shell text; empty: lame
        QTest::addColumn<QString>("source");   // "long", "ten minutes", "header only"
        QTest::addColumn<bool>("removeDestination");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("withinMs");
        const QString lame = QStandardPaths::findExecutable("lame");
        QTest::newRow("encoder ends early with success")
            << "{ head -c 300000 | " + lame + " \"$@\"; cat >/dev/null; }"
            << "long" << false << "the source 20.0 s" << 60000;
        QTest::newRow("encoder refuses at once")
            << "echo 'refused: bad settings' >&2; exit 1"
            << "ten minutes" << false << "refused: bad settings" << 1000;
        QTest::newRow("header only")
            << ""
            << "header only" << false << "The file holds no audio" << 60000;
        QTest::newRow("destination removed") << ""
                                             << "long" << true << "" << 60000;
    }

    void onlyCheckedOutputsGetTheirNames() {
        QFETCH(QString, encoder);
        QFETCH(QString, source);
        QFETCH(bool, removeDestination);
        QFETCH(QString, reason);
        QFETCH(int, withinMs);
        QTemporaryDir out, programs;
        const QString destination = out.filePath("sub");
        core::Batch batch;
        if (!encoder.isEmpty()) {
            QVERIFY(
                fixtures::writeFile(programs.filePath("lame"), "#!/bin/sh\n" + encoder.toUtf8()));
            QVERIFY(QFile::setPermissions(programs.filePath("lame"),
                                          QFile::ReadOwner | QFile::ExeOwner));
            batch.setEncoderFolder(programs.path());
        }
        QString path = long_;
        if (source == "ten minutes")
            path = fixtures::makeWav(media_.path(), "ten.wav", 600, 8000, 1);
        if (source == "header only") {  // stream info and padding, not one frame
            path = media_.filePath("empty.flac");
            QVERIFY(fixtures::run(
                "ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "anullsrc", "-t", "0", path}));
        }
        QVERIFY(QFileInfo(path).size() > 0);
        BatchRecorder rec(batch);
        batch.setProgressInterval(10);
        QObject::connect(&batch, &core::Batch::jobProgress, &rec.context, [&] {
            if (removeDestination) QDir(destination).removeRecursively();
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(batch.start(jobs({path}, OutputFormat::Mp3, destination)));
        QVERIFY(rec.waitForEnd());
        QVERIFY2(clock.elapsed() < withinMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rec.results[0].outcome, JobOutcome::Failed);
        QVERIFY2(rec.results[0].reason.contains(reason), qPrintable(rec.results[0].reason));
        QVERIFY(!QDir(destination).exists() || QDir(destination).isEmpty());
    }

    // A name at the file system's limit still converts, and again beside itself.
    void longestNameConvertsTwice() {
        QTemporaryDir out;
        const QString name = QString(250, QChar('a')) + ".wav";
        QVERIFY(QFile::copy(tone_, media_.filePath(name)));
        core::Batch batch;
        BatchRecorder rec(batch);
        for (int round = 0; round < 2; ++round) {
            rec.end.reset();
            QVERIFY(batch.start(jobs({media_.filePath(name)}, OutputFormat::Ogg, out.path())));
            QVERIFY(rec.waitForEnd());
            QVERIFY2(rec.results[0].outcome == JobOutcome::Converted,
                     qPrintable(rec.results[0].reason));
        }
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{QString(244, 'a') + " (copy).ogg", QString(250, 'a') + ".ogg"}));
    }

    // Names reach the encoders as one argument each, never through a shell.
    void hostileNamesConvert() {
        QTemporaryDir out;
        const QString folder = media_.filePath("hostile");
        QVERIFY(QDir().mkpath(folder));
        const QStringList names{"say \"hi\" it's.wav",
                                "$(touch pwned).wav",
                                "`touch pwned` ;x.wav",
                                "--help -o.wav",
                                "-.wav",
                                "two\nlines.wav",
                                "~*?[a].wav",
                                QString(125, QChar(0xE9)) + "x.wav"};
        QStringList sources;
        for (const QString& name : names) {
            QVERIFY(QFile::copy(tone_, folder + "/" + name));
            sources << folder + "/" + name;
        }
        // And bytes that are not UTF-8, in the folder's name too.
        const QByteArray rawFolder = QFile::encodeName(folder) + "/caf\xE9";
        const QByteArray rawSource = rawFolder + "/ch\xE2teau \xFF.wav";
        const QByteArray rawOut = QFile::encodeName(out.path()) + "/ch\xE2teau \xFF";
        const auto removeRaw = qScopeGuard([&] {
            for (const char* ext : {".mp3", ".ogg"}) ::unlink(rawOut + ext);
            ::unlink(rawSource.constData());
            ::rmdir(rawFolder.constData());
        });
        QVERIFY(::mkdir(rawFolder.constData(), 0755) == 0);
        QVERIFY(::link(QFile::encodeName(tone_).constData(), rawSource.constData()) == 0);
        sources << core::pathFromNative(rawSource);

        core::Batch batch;
        batch.setMaxSimultaneous(2);
        BatchRecorder rec(batch);
        QVERIFY(batch.start(jobs(sources, OutputFormat::Mp3, out.path()) +
                            jobs(sources, OutputFormat::Ogg, out.path())));
        QVERIFY(rec.waitForEnd());
        QCOMPARE(*rec.end, BatchEnd::Completed);
        QCOMPARE(rec.with(JobOutcome::Converted).size(), 2 * sources.size());

        // Probed under plain names: the tools take their arguments as text.
        for (auto it = rec.results.begin(); it != rec.results.end(); ++it) {
            const QString plain = out.filePath(QString("probe-%1").arg(it.key()));
            QVERIFY2(::rename(core::nativePath(it->outputPath).constData(),
                              QFile::encodeName(plain).constData()) == 0,
                     qPrintable(it->outputPath));
            const auto p = fixtures::probe(plain);
            QVERIFY2(p.ok && qAbs(p.duration - 2.0) < 0.1, qPrintable(it->outputPath + p.error));
        }
        QCOMPARE(rec.results.first().outputPath, out.filePath("say \"hi\" it's.mp3"));
        QCOMPARE(rec.results.last().outputPath, core::pathFromNative(rawOut + ".ogg"));
        for (const QString& dir : {QDir::currentPath(), QDir::homePath(), folder})
            QVERIFY(!QFileInfo::exists(dir + "/pwned"));
    }
};

QTEST_GUILESS_MAIN(BatchFaultsTest)
#include "tst_batch_faults.moc"
