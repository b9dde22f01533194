#pragma once
// A core::Batch writing into a fresh folder, with everything it reports
// during a run in the order it came; and the jobs and WAV formats the core
// suites start from. Header-only: for suites that link the core.

#include "core/Batch.h"
#include "core/WaveFormat.h"

#include <QtTest>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace fixtures {

// One job per source, all in one format into one destination folder (MP3
// and OGG at 128 kbps, 44100 Hz, stereo).
inline QList<core::JobSpec> jobs(const QStringList& sources, core::OutputFormat format,
                                 const QString& destination) {
    QList<core::JobSpec> list;
    for (const QString& s : sources)
        list << core::JobSpec{s, format, {128, 44100, true}, false, destination};
    return list;
}

// The block of the writer's format list with that name and description.
inline QByteArray waveFormat(const QString& name, const QString& attributes) {
    for (const core::WaveFormatInfo& f : core::waveFormats())
        if (f.formatName == name && f.attributes == attributes) return f.waveFormatEx;
    return {};
}

struct BatchRecorder {
    // n jobs at once, progress every 10 ms.
    explicit BatchRecorder(int n = 1) {
        using core::Batch;
        Batch* b = batch.get();
        b->setMaxSimultaneous(n);
        b->setProgressInterval(10);
        QObject::connect(b, &Batch::jobStarted, &context, [this](int job, QString out) {
            started << job;
            outputs[job] = out;
            maxRunning = std::max(maxRunning, ++running);
        });
        QObject::connect(b, &Batch::jobProgress, &context, [this](int job, qint64 at, qint64 of) {
            progress[job] << qMakePair(at, of);
        });
        QObject::connect(b, &Batch::jobFinished, &context, [this](int job, core::JobResult r) {
            running -= outputs.contains(job);
            results[job] = r;
        });
        QObject::connect(b, &Batch::waveFormatNeeded, &context, [this](int job, QByteArray now) {
            twoQuestionsOpen |= std::exchange(questionOpen, true);
            asked << job;
            offered << now;
        });
        QObject::connect(b, &Batch::finished, &context, [this](core::BatchEnd e) { end = e; });
    }

    // Starts the sources in one format into the folder (or destination)
    // and waits for the end.
    bool run(const QStringList& sources, core::OutputFormat format, QString destination = {}) {
        return runJobs(jobs(sources, format, destination.isEmpty() ? out.path() : destination));
    }
    bool runJobs(const QList<core::JobSpec>& specs) {
        end.reset();
        return batch->start(specs) && QTest::qWaitFor([this] { return end.has_value(); }, 60000);
    }
    // Jobs whose result is outcome.
    QList<int> with(core::JobOutcome outcome) const {
        QList<int> jobs;
        for (auto it = results.begin(); it != results.end(); ++it)
            if (it->outcome == outcome) jobs << it.key();
        return jobs;
    }

    QTemporaryDir out;
    QObject context;  // the connections end with the recorder
    std::unique_ptr<core::Batch> batch = std::make_unique<core::Batch>();
    QList<int> started;
    QMap<int, QString> outputs;
    QMap<int, core::JobResult> results;
    QMap<int, QList<QPair<qint64, qint64>>> progress;
    int running = 0;
    int maxRunning = 0;
    QList<int> asked;  // the jobs a WAV question was asked for
    QList<QByteArray> offered;
    bool questionOpen = false;  // the answering test clears it
    bool twoQuestionsOpen = false;
    std::optional<core::BatchEnd> end;
};

}  // namespace fixtures
