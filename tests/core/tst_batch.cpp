// The batch through core::Batch alone: the order jobs start in, N at once,
// Stop, a failure while others run, the WAV question, and tearing a running
// batch down. Real decoding, real lame and oggenc, real files.
#include "core/Batch.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"
#include "support/Processes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <thread>

using core::BatchEnd;
using core::JobOutcome;
using core::OutputFormat;
using fixtures::BatchRecorder;
using fixtures::jobs;
using fixtures::waveFormat;

namespace {

QByteArray pcmFormat(int rate) {
    return waveFormat("PCM", QString("%1 Hz, 16 bit, Mono").arg(rate));
}

// Every job that started has shown some progress beyond its start.
bool allRunningShowProgress(const BatchRecorder& rec) {
    int shown = 0;
    for (int job : rec.started) {
        if (rec.results.contains(job)) continue;
        const auto& p = rec.progress.value(job);
        if (p.isEmpty() || p.last().first == 0) return false;
        ++shown;
    }
    return shown > 0;
}

}  // namespace

class BatchTest : public QObject {
    Q_OBJECT

    QTemporaryDir media_;
    QString tone_;  // 2 s
    QString long_;  // 20 s of noise: still running when a test acts
    QString media(const QString& name) const { return media_.filePath(name); }

private slots:
    void initTestCase() {
        tone_ = fixtures::makeWav(media_.path(), "tone.wav", 2.0, 44100, 2);
        long_ = fixtures::makeWav(media_.path(), "long.wav", 20.0, 44100, 2, "pcm_s16le",
                                  fixtures::Signal::Noise);
        QVERIFY(!tone_.isEmpty() && !long_.isEmpty());
    }

    // Whatever happened, every encoder has ended and been reaped.
    void cleanup() {
        const auto left = fixtures::children();
        for (const auto& c : left) qWarning("left behind: %d %s", c.pid, qPrintable(c.name));
        QVERIFY(left.isEmpty());
    }

    void startsInOrderNeverMoreThanN_data() {
        // clang-format off
        QTest::addColumn<int>("n");
        QTest::newRow("one at a time") << 1;
        QTest::newRow("two at once") << 2;
        QTest::newRow("three at once") << 3;
        // clang-format on
    }

    // Five jobs of one name into one folder that already holds the plain name.
    void startsInOrderNeverMoreThanN() {
        QFETCH(int, n);
        QTemporaryDir out;
        QVERIFY(fixtures::writeFile(out.filePath("tone.mp3"), "keep me"));
        core::Batch batch;
        batch.setMaxSimultaneous(n);
        batch.setProgressInterval(10);
        BatchRecorder rec(batch);
        QVERIFY(batch.start(jobs(QStringList(5, tone_), OutputFormat::Mp3, out.path())));
        QVERIFY(batch.isRunning());
        QVERIFY(!batch.start(jobs({tone_}, OutputFormat::Mp3, out.path())));
        QVERIFY(rec.waitForEnd());

        QCOMPARE(*rec.end, BatchEnd::Completed);
        QCOMPARE(rec.started, (QList<int>{0, 1, 2, 3, 4}));
        QCOMPARE(rec.maxRunning, n);
        QCOMPARE(rec.with(JobOutcome::Converted), (QList<int>{0, 1, 2, 3, 4}));
        QCOMPARE(fixtures::readFile(out.filePath("tone.mp3")), QByteArray("keep me"));
        for (int job = 0; job < 5; ++job) {
            const QString name =
                job == 0 ? "tone (copy).mp3" : QString("tone (copy %1).mp3").arg(job + 1);
            QCOMPARE(rec.outputs[job], out.filePath(name));
            QCOMPARE(rec.results[job].outputPath, out.filePath(name));
            const auto p = fixtures::probe(out.filePath(name));
            QVERIFY2(p.ok && qAbs(p.duration - 2.0) < 0.1, qPrintable(name + p.error));
            // Progress only grows and never passes the length.
            qint64 last = 0;
            for (const auto& [decoded, length] : rec.progress.value(job)) {
                QVERIFY(decoded >= last);
                QVERIFY(length < 0 || decoded <= length);
                last = decoded;
            }
        }
        QVERIFY(!rec.progress.isEmpty());
        QVERIFY(!batch.isRunning());
    }

    void stopEndsRunningJobsAndTerminatesTheRest_data() {
        // clang-format off
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("fromAnotherThread");
        QTest::newRow("one mp3 job") << 1 << 1 << false;
        QTest::newRow("two mp3 jobs") << 2 << 1 << false;
        QTest::newRow("two ogg jobs") << 2 << 2 << false;
        QTest::newRow("two wav jobs") << 2 << 0 << false;
        QTest::newRow("stopped from another thread") << 2 << 1 << true;
        // clang-format on
    }

    void stopEndsRunningJobsAndTerminatesTheRest() {
        QFETCH(int, n);
        QFETCH(int, format);
        QFETCH(bool, fromAnotherThread);
        QTemporaryDir out;
        core::Batch batch;
        batch.setMaxSimultaneous(n);
        batch.setProgressInterval(10);
        // A WAV format slow enough to stop midway.
        batch.setWaveFormat(waveFormat("MPEG Layer-3", "44100 Hz, 128 kbit/s, Stereo"), true);
        BatchRecorder rec(batch);
        bool refused = false;
        QObject::connect(&batch, &core::Batch::jobProgress, &rec.context, [&] {
            if (batch.stopRequested() || !allRunningShowProgress(rec) || rec.running < n) return;
            if (fromAnotherThread)
                std::thread([&] { batch.stop(); }).join();
            else
                batch.stop();
            refused = !batch.start(jobs({tone_}, OutputFormat::Mp3, out.path()));
        });
        const auto list =
            jobs({long_, long_, long_, tone_}, *core::outputFormatFromIndex(format), out.path());
        QVERIFY(batch.start(list));
        QVERIFY(rec.waitForEnd());

        QVERIFY(refused);  // a stopped batch still winding down takes no new start
        QCOMPARE(*rec.end, BatchEnd::Stopped);
        QCOMPARE(rec.started.size(), n);
        QCOMPARE(rec.with(JobOutcome::Terminated), (QList<int>{0, 1, 2, 3}));
        QVERIFY(QDir(out.path()).isEmpty());  // nothing half-written under any name
        rec.end.reset();
        QVERIFY(batch.start(jobs({tone_}, OutputFormat::Mp3, out.path())));  // and the next runs
        QVERIFY(rec.waitForEnd());
        QCOMPARE(rec.results[0].outcome, JobOutcome::Converted);
    }

    // One job fails while another runs: no further job starts, the running one
    // finishes and keeps its outcome. The command line's batch runs on instead.
    void failureWhileOthersRun_data() {
        // clang-format off
        QTest::addColumn<bool>("stopAtFirstFailure");
        QTest::newRow("stop at the first failure") << true;
        QTest::newRow("run on") << false;
        // clang-format on
    }

    void failureWhileOthersRun() {
        QFETCH(bool, stopAtFirstFailure);
        QTemporaryDir out;
        core::Batch batch;
        batch.setMaxSimultaneous(2);
        batch.setStopAtFirstFailure(stopAtFirstFailure);
        BatchRecorder rec(batch);
        QVERIFY(batch.start(jobs({long_, media("missing.wav"), tone_, media("gone.flac")},
                                 OutputFormat::Ogg, out.path())));
        QVERIFY(rec.waitForEnd());

        QCOMPARE(rec.results[1].outcome, JobOutcome::Failed);
        QVERIFY2(rec.results[1].reason.contains("no such file"), qPrintable(rec.results[1].reason));
        QCOMPARE(rec.results[0].outcome, JobOutcome::Converted);
        QVERIFY(fixtures::probe(rec.results[0].outputPath).ok);
        if (stopAtFirstFailure) {
            QCOMPARE(*rec.end, BatchEnd::Failed);
            QCOMPARE(rec.started, (QList<int>{0, 1}));
            QCOMPARE(rec.results.keys(), (QList<int>{0, 1}));  // the rest keep their status
        } else {
            QCOMPARE(*rec.end, BatchEnd::Completed);
            QCOMPARE(rec.with(JobOutcome::Converted), (QList<int>{0, 2}));
            QCOMPARE(rec.with(JobOutcome::Failed), (QList<int>{1, 3}));
        }
    }

    // A blank destination never means the root folder.
    void blankDestinationFails() {
        core::Batch batch;
        BatchRecorder rec(batch);
        QVERIFY(batch.start(jobs({tone_}, OutputFormat::Mp3, " ")));
        QVERIFY(rec.waitForEnd());
        QCOMPARE(rec.results[0].reason, QString("Choose a destination folder"));
        QVERIFY(!QFileInfo::exists("/" + QFileInfo(tone_).completeBaseName() + ".mp3"));
    }

    // Answers come a little later, as from a person; the recorder notes two
    // questions open at once.
    void wavBatchAsksOncePerJobOrOncePerBatch_data() {
        // clang-format off
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("forRestOfBatch");
        QTest::addColumn<bool>("forEveryBatch");
        QTest::addColumn<int>("questions");
        QTest::newRow("one at a time") << 1 << false << false << 3;
        QTest::newRow("two at once") << 2 << false << false << 3;
        QTest::newRow("rest of the batch") << 2 << true << false << 1;
        QTest::newRow("every batch") << 2 << false << true << 0;
        // clang-format on
    }

    void wavBatchAsksOncePerJobOrOncePerBatch() {
        QFETCH(int, n);
        QFETCH(bool, forRestOfBatch);
        QFETCH(bool, forEveryBatch);
        QFETCH(int, questions);
        QTemporaryDir out;
        core::Batch batch;
        batch.setMaxSimultaneous(n);
        const QList<int> rates{8000, 11025, 22050};
        batch.setWaveFormat(pcmFormat(rates[0]), forEveryBatch);
        BatchRecorder rec(batch);
        QObject::connect(&batch, &core::Batch::waveFormatNeeded, &rec.context, [&] {
            const QByteArray answer = pcmFormat(rates[(rec.asked.size() - 1) % 3]);
            QTimer::singleShot(30, &rec.context, [&batch, &rec, answer, forRestOfBatch] {
                rec.questionOpen = false;
                batch.answerWaveFormat(answer, forRestOfBatch);
            });
        });
        QVERIFY(batch.start(jobs({tone_, tone_, tone_}, OutputFormat::Wav, out.path())));
        QVERIFY(rec.waitForEnd());

        QCOMPARE(*rec.end, BatchEnd::Completed);
        QCOMPARE(rec.asked, (QList<int>{0, 1, 2}.first(questions)));  // in list order
        QVERIFY(!rec.twoQuestionsOpen);
        // Each question offers the last choice first.
        for (int i = 0; i < rec.offered.size(); ++i)
            QCOMPARE(rec.offered[i], pcmFormat(rates[qMax(0, i - 1)]));
        for (int job = 0; job < 3; ++job) {
            const int rate = questions == 3 ? rates[job] : rates[0];
            QCOMPARE(fixtures::probe(rec.outputs[job]).sampleRate, rate);
        }
        QCOMPARE(batch.waveFormat(), pcmFormat(rates[questions == 3 ? 2 : 0]));
        // "For the rest of the batch" ends with the batch.
        rec.end.reset();
        QVERIFY(batch.start(jobs({tone_}, OutputFormat::Wav, out.path())));
        QVERIFY(rec.waitForEnd());
        QCOMPARE(rec.asked.size(), forEveryBatch ? 0 : questions + 1);
    }

    void cancelledWaveFormatFailsThatJob() {
        QTemporaryDir out;
        core::Batch batch;
        batch.setMaxSimultaneous(2);
        BatchRecorder rec(batch);
        QObject::connect(&batch, &core::Batch::waveFormatNeeded, &rec.context, [&] {
            rec.questionOpen = false;
            batch.answerWaveFormat(std::nullopt, false);  // the person cancels
        });
        QVERIFY(batch.start(jobs({tone_, tone_, tone_}, OutputFormat::Wav, out.path())));
        QVERIFY(rec.waitForEnd());

        QCOMPARE(*rec.end, BatchEnd::Failed);
        QCOMPARE(rec.asked, QList<int>{0});  // no second question after the failure
        QCOMPARE(rec.results[0].outcome, JobOutcome::Failed);
        QCOMPARE(rec.results[0].reason, QString("No wave format was chosen"));
        QVERIFY(rec.with(JobOutcome::Converted).isEmpty());
        QVERIFY(!rec.started.contains(2));
        QVERIFY(QDir(out.path()).isEmpty());
    }

    // The destructor ends the jobs, answers for the person and waits.
    void destroyingARunningBatchLeavesNothingRunning_data() {
        // clang-format off
        QTest::addColumn<int>("format");
        QTest::newRow("encoders mid-file") << 1;
        QTest::newRow("waiting for the wave format") << 0;
        // clang-format on
    }

    void destroyingARunningBatchLeavesNothingRunning() {
        QFETCH(int, format);
        QTemporaryDir out;
        auto batch = std::make_unique<core::Batch>();
        batch->setMaxSimultaneous(2);
        batch->setProgressInterval(10);
        BatchRecorder rec(*batch);
        QVERIFY(batch->start(
            jobs({long_, long_, long_}, *core::outputFormatFromIndex(format), out.path())));
        if (format == 0)
            QTRY_VERIFY(!rec.asked.isEmpty());
        else
            QTRY_VERIFY(allRunningShowProgress(rec) && fixtures::children().size() == 2);
        QElapsedTimer clock;
        clock.start();
        batch.reset();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(rec.with(JobOutcome::Converted).isEmpty());
        QVERIFY(QDir(out.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(BatchTest)
#include "tst_batch.moc"
