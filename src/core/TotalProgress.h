#pragma once
// The live total of a batch: files done, the share of the whole batch's
// audio converted, and the time left. Each source's length is read on a
// thread of its own, so the first conversions start at once.

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace core {

class TotalProgress {
public:
    // Starts reading the lengths of sources.
    explicit TotalProgress(const QStringList& sources);
    // Stops the reading thread after the file it is on.
    ~TotalProgress();

    // Owner's thread: how far one job has come (0 to 1), and that it ended.
    void setFraction(int job, double fraction);
    void setDone(int job);

    int files() const { return files_; }
    int done() const { return done_; }
    bool lengthsKnown() const { return allRead_; }
    // 0 to 1: each file weighs what its audio lasts once every length is
    // known (a file of unknown length weighs nothing), until then each file
    // weighs the same.
    double share() const;
    // From the pace so far; none until there is a pace to go by.
    std::optional<qint64> secondsLeft(qint64 elapsedMs) const;

    // "3 of 8 files, 41%, 0:37 left"; the percentage once every length is known.
    QString text(qint64 elapsedMs) const;

private:
    std::optional<double> weightedShare() const;

    int files_ = 0;
    int done_ = 0;
    std::vector<double> fractions_;
    // Written by the reading thread: seconds, -1 unknown.
    std::unique_ptr<std::atomic<double>[]> seconds_;
    std::atomic<bool> allRead_{false};
    std::jthread reader_;  // last: stopped before what it writes goes away
};

// 83 s -> "1:23", 3723 s -> "1:02:03".
QString clockText(qint64 seconds);

// What a finished batch did: "10 files converted in 1:42", "8 converted,
// 2 failed in 1:42".
QString summaryText(int converted, int failed, qint64 elapsedMs);

}  // namespace core
