#pragma once
// Everything a core::Batch reports during a run, in the order it came, and
// the jobs and WAV formats the batch suites start from. Header-only: for
// suites that link the core.

#include "core/Batch.h"
#include "core/WaveFormat.h"

#include <QMap>
#include <QObject>
#include <QTest>

#include <algorithm>
#include <optional>

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
    explicit BatchRecorder(core::Batch& batch) {
        using core::Batch;
        QObject::connect(&batch, &Batch::jobStarted, &context, [this](int job, const QString& out) {
            started << job;
            outputs[job] = out;
            maxRunning = std::max(maxRunning, ++running);
        });
        QObject::connect(&batch, &Batch::jobProgress, &context,
                         [this](int job, qint64 decoded, qint64 length) {
                             progress[job] << qMakePair(decoded, length);
                         });
        QObject::connect(&batch, &Batch::jobFinished, &context,
                         [this](int job, const core::JobResult& result) {
                             if (outputs.contains(job)) --running;
                             results[job] = result;
                         });
        QObject::connect(&batch, &Batch::waveFormatNeeded, &context,
                         [this](int job, const QByteArray& current) {
                             if (questionOpen) twoQuestionsOpen = true;
                             questionOpen = true;
                             asked << job;
                             offered << current;
                         });
        QObject::connect(&batch, &Batch::finished, &context, [this](core::BatchEnd e) { end = e; });
    }

    bool waitForEnd(int ms = 60000) {
        return QTest::qWaitFor([this] { return end.has_value(); }, ms);
    }
    // Jobs whose result is outcome.
    QList<int> with(core::JobOutcome outcome) const {
        QList<int> jobs;
        for (auto it = results.begin(); it != results.end(); ++it)
            if (it->outcome == outcome) jobs << it.key();
        return jobs;
    }

    QObject context;  // the connections end with the recorder
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
