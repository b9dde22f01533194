// The batch through core::Batch alone, with real decoding, lame, oggenc and
// files: the order jobs start in, N at once, Stop, a failure while others
// run, the WAV question, encoders that hang or die, destinations that fill
// up or vanish, and a running batch torn down. Every case ends with a clear
// outcome, nothing overwritten or half-written and no encoder left behind.
#include "core/Batch.h"
#include "core/Decoder.h"
#include "core/TotalProgress.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"
#include "support/Processes.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <QtTest>

#include <sys/mount.h>
#include <csignal>
#include <thread>
#include <tuple>
#include <vector>

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

// Every job that started and runs has shown some progress beyond its start.
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

// Sign changes of the first channel per second: about 880 for the 440 Hz
// tone, thousands for noise, in between for a mix of the two.
double crossingsPerSecond(const QString& path) {
    auto opened = core::Decoder::open(path);
    if (!opened) return -1;
    core::Decoder& d = **opened;
    std::vector<uint8_t> block(20000);
    qint64 crossings = 0, frames = 0;
    bool wasNegative = false;
    // The sign bit of the first channel's sample, whatever its width or type.
    const int signByte = av_get_bytes_per_sample(d.format().sampleFormat) - 1;
    while (!d.atEnd()) {
        const qint64 n = d.read(block.data(), qint64(block.size())) / d.frameBytes();
        for (qint64 i = 0; i < n; ++i, ++frames) {
            const bool negative = block[size_t(i * d.frameBytes() + signByte)] & 0x80;
            crossings += negative != wasNegative;
            wasNegative = negative;
        }
    }
    return frames ? double(crossings) * d.sampleRate() / double(frames) : -1;
}

}  // namespace

class BatchTest : public QObject {
    Q_OBJECT

    QTemporaryDir media_;
    QString tone_;  // 2 s
    QString long_;  // 20 s of noise, still running when a test acts; a name a shell would misread

private slots:
    void initTestCase() {
        tone_ = fixtures::makeWav(media_.path(), "tone.wav", 2.0, 44100, 2);
        long_ = fixtures::makeWav(media_.path(), "-long \"$(x)\" it's `y`.wav", 20.0, 44100, 2,
                                  "pcm_s16le", fixtures::Signal::Noise);
        QVERIFY(!tone_.isEmpty() && !long_.isEmpty());
    }

    // Whatever happened, every encoder has ended and been reaped.
    void cleanup() { QVERIFY2(fixtures::children().isEmpty(), "an encoder was left behind"); }

    // Five jobs of one name into one folder that already holds the plain name.
    void startsInOrderNeverMoreThanN() {
        for (int n : {1, 3}) {
            BatchRecorder rec(n);
            QVERIFY(fixtures::writeFile(rec.out.filePath("tone.mp3"), "keep me"));
            QVERIFY(rec.run(QStringList(5, tone_), OutputFormat::Mp3));
            QCOMPARE(*rec.end, BatchEnd::Completed);
            QCOMPARE(rec.started, (QList<int>{0, 1, 2, 3, 4}));
            QCOMPARE(rec.maxRunning, n);
            QCOMPARE(rec.with(JobOutcome::Converted), (QList<int>{0, 1, 2, 3, 4}));
            QCOMPARE(fixtures::readFile(rec.out.filePath("tone.mp3")), QByteArray("keep me"));
            for (int job = 0; job < 5; ++job) {
                const QString name = rec.out.filePath(
                    job ? QString("tone (copy %1).mp3").arg(job + 1) : "tone (copy).mp3");
                QVERIFY(rec.outputs[job] == name && rec.results[job].outputPath == name);
                const auto p = fixtures::probe(name);
                QVERIFY2(p.ok && qAbs(p.duration - 2.0) < 0.1, qPrintable(name + p.error));
                // Progress only grows and never passes the length.
                qint64 last = 0;
                for (const auto& [decoded, length] : rec.progress.value(job)) {
                    QVERIFY(decoded >= last && (length < 0 || decoded <= length));
                    last = decoded;
                }
            }
            QVERIFY(!rec.progress.isEmpty() && !rec.batch->isRunning());
        }
    }

    // Jobs at once, format, stopped from another thread: the running jobs
    // end, the rest are terminated, nothing stays, and the batch runs again.
    void stopEndsRunningJobsAndTerminatesTheRest() {
        for (const auto& [n, format, fromAnotherThread] :
             {std::tuple{1, 1, false}, {2, 2, false}, {2, 0, false}, {2, 1, true}}) {
            BatchRecorder rec(n);
            core::Batch& batch = *rec.batch;
            // A WAV format slow enough to stop midway.
            batch.setWaveFormat(waveFormat("MPEG Layer-3", "44100 Hz, 128 kbit/s, Stereo"), true);
            bool refused = false;
            QObject::connect(&batch, &core::Batch::jobProgress, &rec.context, [&] {
                if (batch.stopRequested() || !allRunningShowProgress(rec) || rec.running < n)
                    return;
                if (fromAnotherThread)
                    std::thread([&] { batch.stop(); }).join();
                else
                    batch.stop();
                refused = !batch.start(jobs({tone_}, OutputFormat::Mp3, rec.out.path()));
            });
            QVERIFY(rec.run({long_, long_, long_, tone_}, OutputFormat(format)));
            QVERIFY(refused);  // a stopped batch still winding down takes no new start
            QCOMPARE(*rec.end, BatchEnd::Stopped);
            QCOMPARE(rec.started.size(), n);
            QCOMPARE(rec.with(JobOutcome::Terminated), (QList<int>{0, 1, 2, 3}));
            QVERIFY(QDir(rec.out.path()).isEmpty());  // nothing half-written under any name
            QVERIFY(rec.run({tone_}, OutputFormat::Mp3));
            QCOMPARE(rec.results[0].outcome, JobOutcome::Converted);
        }
    }

    // The total weighs each file by its length: once the 2 s file of a
    // 2 s + 20 s batch is done, 1/11 is done, and the pace so far gives the
    // time left. The end says what happened.
    void totalWeighsFilesByLength() {
        BatchRecorder rec;
        core::TotalProgress total({tone_, long_});
        QTRY_VERIFY(total.lengthsKnown());
        double shareAfterFirst = -1;
        std::optional<qint64> leftAfterFirst;
        QObject::connect(rec.batch.get(), &core::Batch::jobProgress, &rec.context,
                         [&](int job, qint64 at, qint64 of) {
                             if (of > 0) total.setFraction(job, double(at) / double(of));
                         });
        QObject::connect(rec.batch.get(), &core::Batch::jobFinished, &rec.context, [&](int job) {
            total.setDone(job);
            if (job == 0) {
                shareAfterFirst = total.share();
                leftAfterFirst = total.secondsLeft(4000);
            }
        });
        QVERIFY(rec.run({tone_, long_}, OutputFormat::Mp3));
        QVERIFY2(qAbs(shareAfterFirst - 1.0 / 11) < 0.01,
                 qPrintable(QString::number(shareAfterFirst)));
        QVERIFY(leftAfterFirst && qAbs(*leftAfterFirst - 40) <= 1);
        QCOMPARE(total.done(), 2);
        QCOMPARE(total.share(), 1.0);
        QCOMPARE(total.text(9000), QString("2 of 2 files, 100%"));
        // clang-format off
        const std::tuple<int, int, qint64, QString> summaries[] = {
            {10, 0, 102000, "10 files converted in 1:42"}, {1, 0, 5400, "1 file converted in 0:05"},
            {8, 2, 3723000, "8 converted, 2 failed in 1:02:03"}, {0, 1, 0, "0 converted, 1 failed in 0:00"}};
        // clang-format on
        for (const auto& [converted, failed, ms, text] : summaries)
            QCOMPARE(core::summaryText(converted, failed, ms), text);
    }

    // One job fails while another runs: no further job starts, the running one
    // finishes and keeps its outcome. The command line's batch runs on instead.
    void failureWhileOthersRun() {
        for (bool stopAtFirstFailure : {true, false}) {
            BatchRecorder rec(2);
            rec.batch->setStopAtFirstFailure(stopAtFirstFailure);
            const QString missing = media_.filePath("missing.wav");
            QVERIFY(rec.run({long_, missing, tone_, missing}, OutputFormat::Ogg));
            QCOMPARE(rec.results[1].outcome, JobOutcome::Failed);
            QVERIFY(rec.results[1].reason == "The file does not exist");
            QCOMPARE(rec.results[0].outcome, JobOutcome::Converted);
            QVERIFY(fixtures::probe(rec.results[0].outputPath).ok);
            QCOMPARE(*rec.end, stopAtFirstFailure ? BatchEnd::Failed : BatchEnd::Completed);
            // After a stop at a failure the rest keep their status.
            QCOMPARE(rec.results.size(), stopAtFirstFailure ? 2 : 4);
            QCOMPARE(rec.with(JobOutcome::Converted).size(), stopAtFirstFailure ? 1 : 2);
        }
    }

    // Two batches at once into one folder, each with a source named song
    // (a tone, noise): every output called converted holds its own source's
    // audio, never the other's or a mix of both.
    void twoBatchesIntoOneFolderKeepTheirOwnAudio() {
        QTemporaryDir sources;
        QVERIFY(QDir(sources.path()).mkpath("a") && QDir(sources.path()).mkpath("b"));
        const QString tone = fixtures::makeWav(sources.filePath("a"), "song.wav", 1.0, 44100, 2);
        const QString noise = fixtures::make(sources.filePath("b"), "song.flac", 1.0, 44100, 2,
                                             {"-c:a", "flac"}, fixtures::Signal::Noise);
        QVERIFY(!tone.isEmpty() && !noise.isEmpty());
        for (int round = 0; round < 20; ++round) {
            const auto format = OutputFormat(round % 3);
            BatchRecorder first, second;
            for (BatchRecorder* rec : {&first, &second})
                rec->batch->setWaveFormat(waveFormat("PCM", "44100 Hz, 16 bit, Stereo"), true);
            QVERIFY(first.batch->start(jobs({tone}, format, first.out.path())));
            QVERIFY(second.batch->start(jobs({noise}, format, first.out.path())));
            QTRY_VERIFY_WITH_TIMEOUT(first.end && second.end, 60000);
            for (BatchRecorder* rec : {&first, &second}) {
                QVERIFY2(rec->results[0].outcome == JobOutcome::Converted,
                         qPrintable(rec->results[0].reason));
                const double rate = crossingsPerSecond(rec->results[0].outputPath);
                const bool fromTone = rec == &first;
                QVERIFY2(fromTone ? qAbs(rate - 880) < 40 : rate > 5000,
                         qPrintable(QString("round %1: %2 crossings a second in %3")
                                        .arg(round)
                                        .arg(rate)
                                        .arg(rec->results[0].outputPath)));
            }
        }
    }

    // A blank destination never means the root folder.
    void blankDestinationFails() {
        BatchRecorder rec;
        QVERIFY(rec.run({tone_}, OutputFormat::Mp3, " "));
        QCOMPARE(rec.results[0].reason, QString("Choose a destination folder"));
        QVERIFY(!QFileInfo::exists("/tone.mp3"));
    }

    // Jobs at once, "for the rest of the batch", "for every batch", the
    // questions asked. Answers come a little later, as from a person; the
    // recorder notes two questions open at once. Rates asked for: 8000,
    // 11025, 22050 in turn.
    void wavBatchAsksOncePerJobOrOncePerBatch() {
        for (const auto& [n, forRestOfBatch, forEveryBatch, questions] :
             {std::tuple{1, false, false, 3},
              {2, false, false, 3},
              {2, true, false, 1},
              {2, false, true, 0}}) {
            BatchRecorder rec(n);
            core::Batch& batch = *rec.batch;
            const QList<int> rates{8000, 11025, 22050};
            batch.setWaveFormat(pcmFormat(rates[0]), forEveryBatch);
            QObject::connect(&batch, &core::Batch::waveFormatNeeded, &rec.context, [&] {
                const QByteArray answer = pcmFormat(rates[(rec.asked.size() - 1) % 3]);
                QTimer::singleShot(30, &rec.context, [&, answer] {
                    rec.questionOpen = false;
                    batch.answerWaveFormat(answer, forRestOfBatch);
                });
            });
            QVERIFY(rec.run({tone_, tone_, tone_}, OutputFormat::Wav));
            QCOMPARE(*rec.end, BatchEnd::Completed);
            QCOMPARE(rec.asked, (QList<int>{0, 1, 2}.first(questions)));  // in list order
            QVERIFY(!rec.twoQuestionsOpen);
            // Each question offers the last choice first.
            for (int i = 0; i < rec.offered.size(); ++i)
                QCOMPARE(rec.offered[i], pcmFormat(rates[qMax(0, i - 1)]));
            for (int job = 0; job < 3; ++job)
                QCOMPARE(fixtures::probe(rec.outputs[job]).sampleRate,
                         questions == 3 ? rates[job] : rates[0]);
            QCOMPARE(batch.waveFormat(), pcmFormat(rates[questions == 3 ? 2 : 0]));
            // "For the rest of the batch" ends with the batch.
            QVERIFY(rec.run({tone_}, OutputFormat::Wav));
            QCOMPARE(rec.asked.size(), forEveryBatch ? 0 : questions + 1);
        }
    }

    void cancelledWaveFormatFailsThatJob() {
        BatchRecorder rec(2);
        QObject::connect(rec.batch.get(), &core::Batch::waveFormatNeeded, &rec.context, [&] {
            rec.batch->answerWaveFormat(std::nullopt, false);  // the person cancels
        });
        QVERIFY(rec.run({tone_, tone_, tone_}, OutputFormat::Wav));
        QCOMPARE(*rec.end, BatchEnd::Failed);
        QCOMPARE(rec.asked, QList<int>{0});  // no second question after the failure
        QCOMPARE(rec.results[0].reason, QString("No wave format was chosen"));
        QVERIFY(rec.with(JobOutcome::Converted).isEmpty() && !rec.started.contains(2));
        QVERIFY(QDir(rec.out.path()).isEmpty());
    }

    // The destructor ends the jobs (encoders mid-file, or a job waiting for
    // the wave format), answers for the person and waits.
    void destroyingARunningBatchLeavesNothingRunning() {
        for (OutputFormat format : {OutputFormat::Mp3, OutputFormat::Wav}) {
            BatchRecorder rec(2);
            QVERIFY(rec.batch->start(jobs({long_, long_, long_}, format, rec.out.path())));
            if (format == OutputFormat::Wav)
                QTRY_VERIFY(!rec.asked.isEmpty());
            else
                QTRY_VERIFY(allRunningShowProgress(rec) && fixtures::children().size() == 2);
            QElapsedTimer clock;
            clock.start();
            rec.batch.reset();
            QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(rec.with(JobOutcome::Converted).isEmpty());
            QVERIFY(QDir(rec.out.path()).isEmpty());
        }
    }

    // The batch's thread keeps turning while lame hangs (its job fails once
    // it stalls for 3 s: a thread waiting on it would miss 3 s of ticks, not
    // the fraction a loaded machine costs) or oggenc dies, and the batch can
    // run again afterwards.
    void misbehavingEncoderFailsItsJob() {
        for (const auto& [format, program, signal, reason] :
             {std::tuple{1, "lame", SIGSTOP, "lame stopped reading its input"},
              std::tuple{2, "oggenc", SIGKILL, "oggenc was ended by signal 9"}}) {
            BatchRecorder rec;
            rec.batch->setEncoderStallTimeout(3000);
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
            QVERIFY(rec.run({long_, tone_}, OutputFormat(format)));
            ticker.stop();
            QVERIFY(hit && QDir(rec.out.path()).isEmpty());  // nothing half-written stays
            QCOMPARE(*rec.end, BatchEnd::Failed);
            QCOMPARE(rec.started, QList<int>{0});
            QVERIFY2(rec.results[0].reason.contains(reason), qPrintable(rec.results[0].reason));
            QVERIFY2(longestGap < 1500, qPrintable(QString::number(longestGap)));
            QVERIFY(rec.run({tone_}, OutputFormat(format)));
            QCOMPARE(rec.results[0].outcome, JobOutcome::Converted);
        }
    }

    // A stop reaches an encoder that takes no input (SIGSTOPped, or a
    // stand-in that never reads) once its pipe is full: its group is ended
    // within seconds (SIGKILL follows SIGTERM after two), not after the
    // stall timeout of a minute.
    void stopEndsAStalledEncoderAtOnce() {
        for (const char* stand : {"", "sleep 60 & wait"}) {
            BatchRecorder rec;
            rec.batch->setEncoderStallTimeout(60000);
            if (*stand) {
                QVERIFY(fixtures::writeFile(rec.out.filePath("lame"),
                                            QByteArray("#!/bin/sh\n") + stand));
                QVERIFY(QFile::setPermissions(rec.out.filePath("lame"),
                                              QFile::ReadOwner | QFile::ExeOwner));
                rec.batch->setEncoderFolder(rec.out.path());
            }
            QVERIFY(rec.batch->start(jobs({long_}, OutputFormat::Mp3, rec.out.path())));
            pid_t encoder = 0;
            QTRY_VERIFY_WITH_TIMEOUT((encoder = fixtures::children().value(0).pid) > 0, 30000);
            if (!*stand) QCOMPARE(::kill(encoder, SIGSTOP), 0);
            // The pipe is full once the decoded count stands still for 20 reports.
            const auto full = [&rec] {
                const auto shown = rec.progress.value(0);
                return shown.size() > 20 && shown.last().first > 0 &&
                       shown.last() == shown[shown.size() - 20];
            };
            QTRY_VERIFY_WITH_TIMEOUT(full(), 30000);
            QElapsedTimer clock;
            clock.start();
            rec.batch->stop();
            QTRY_VERIFY_WITH_TIMEOUT(rec.end.has_value(), 30000);
            QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(rec.results[0].outcome, JobOutcome::Terminated);
        }
    }

    // A disk that fills while the WAV writer or an encoder writes (a long
    // source, 128 KiB), or while the tags go in (a 3 MB cover, 1 MiB): the
    // job fails with the disk's own reason and leaves nothing.
    void fullDiskIsNeverConverted() {
        const QString covered =
            fixtures::makeEncoded(media_.path(), "cover.mp3", 2, 44100, 2, "libmp3lame");
        TagLib::MPEG::File tagged(QFile::encodeName(covered).constData());
        auto* picture = new TagLib::ID3v2::AttachedPictureFrame;
        picture->setPicture(TagLib::ByteVector(3 << 20, 'x'));
        tagged.ID3v2Tag(true)->addFrame(picture);
        QVERIFY(tagged.save());
        for (int format : {0, 1, 2}) {
            for (const auto& [source, size] : {std::pair{long_, "128k"}, {covered, "1m"}}) {
                BatchRecorder rec;
                const QByteArray where = QFile::encodeName(rec.out.path());
                if (::mount("tmpfs", where.constData(), "tmpfs", 0, QByteArray("size=") + size) !=
                    0)
                    QSKIP("cannot mount a tmpfs here");
                rec.batch->setWaveFormat(waveFormat("PCM", "44100 Hz, 16 bit, Stereo"), true);
                const bool ran = rec.run({source}, OutputFormat(format));
                const bool empty = QDir(rec.out.path()).isEmpty();
                ::umount2(where.constData(), MNT_DETACH);
                QVERIFY(ran && empty && *rec.end == BatchEnd::Failed);
                QVERIFY2(
                    rec.results[0].reason.contains("No space left on device"),
                    qPrintable(
                        QString("%1 %2: %3").arg(format).arg(size).arg(rec.results[0].reason)));
            }
        }
    }

    // An output is renamed into place only when it is whole; otherwise the
    // job fails, quickly, with a reason that says what went wrong. A
    // stand-in for lame (shell text; empty: lame itself), the source, the
    // reason (empty: the destination is removed meanwhile), the time. Two
    // stand-ins leave short files: lame given half the audio, and lame's
    // whole file cut in half, its header still claiming every frame.
    void onlyCheckedOutputsGetTheirNames() {
        const QString lame = QStandardPaths::findExecutable("lame");
        const QString tenMinutes = fixtures::makeWav(media_.path(), "ten.wav", 600, 8000, 1);
        // Stream info and padding, not one frame.
        const QString headerOnly =
            fixtures::make(media_.path(), "empty.flac", 1, 8000, 1, {"-t", "0"});
        // clang-format off
        const std::tuple<QString, QString, QString, int> rows[] = {
            {"{ head -c 300000 | " + lame + " \"$@\"; cat >/dev/null; }", long_, "the source 20.0 s", 60000},
            {lame + " \"$@\" || exit; eval out=\\${$#}; truncate -s $(($(stat -L -c %s \"$out\") / 2)) \"$out\"", long_, "the source 20.0 s", 60000},
            {"echo 'refused: bad settings' >&2; exit 1", tenMinutes, "refused: bad settings", 1000},
            {"", headerOnly, "The file holds no audio", 60000},
            {"", long_, "", 60000}};
        // clang-format on
        for (const auto& [encoder, source, reason, withinMs] : rows) {
            BatchRecorder rec;
            const QString destination = rec.out.filePath("sub"), stand = rec.out.filePath("lame");
            if (!encoder.isEmpty()) {
                QVERIFY(fixtures::writeFile(stand, "#!/bin/sh\n" + encoder.toUtf8()));
                QVERIFY(QFile::setPermissions(stand, QFile::ReadOwner | QFile::ExeOwner));
                rec.batch->setEncoderFolder(rec.out.path());
            }
            QVERIFY(QFileInfo(source).size() > 0);
            QObject::connect(rec.batch.get(), &core::Batch::jobProgress, &rec.context, [&] {
                if (reason.isEmpty()) QDir(destination).removeRecursively();
            });
            QElapsedTimer clock;
            clock.start();
            QVERIFY(rec.run({source}, OutputFormat::Mp3, destination));
            QVERIFY2(clock.elapsed() < withinMs, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(rec.results[0].outcome, JobOutcome::Failed);
            QVERIFY2(rec.results[0].reason.contains(reason), qPrintable(rec.results[0].reason));
            QVERIFY(!QDir(destination).exists() || QDir(destination).isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(BatchTest)
#include "tst_batch.moc"
