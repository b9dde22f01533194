#pragma once
// The window's status bar while a batch converts: a total bar in which
// each file weighs what its audio lasts, "3 of 10 files" and the time left
// from the pace so far. It also keeps the tally the end of the run reports.

#include "core/ConversionJob.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class QLabel;
class QProgressBar;
class QStatusBar;

namespace core {
class TotalProgress;
}

namespace gui {

class BatchStatusBar : public QObject {
    Q_OBJECT
public:
    // Fills statusBar, which shows only while a batch runs.
    explicit BatchStatusBar(QStatusBar* statusBar);
    ~BatchStatusBar() override;

    void start(const QStringList& sources);
    void setFraction(int job, double fraction);  // 0 to 1
    void setDone(int job, const core::JobResult& result, const QString& source);
    void finish();

    QLabel* filesLabel() const { return filesLabel_; }
    QProgressBar* totalBar() const { return totalBar_; }

    int converted() const { return converted_; }
    int failed() const { return failures_.size(); }
    // "10 files converted in 1:42", "8 converted, 2 failed in 1:42".
    QString summary() const;
    // One line per failed file: its name and why.
    QString failureList() const;

signals:
    // The batch's percentage, shown in the title and on the taskbar; -1 once it ended.
    void percentChanged(int percent);

private:
    void refresh();

    QStatusBar* statusBar_;
    QLabel* filesLabel_;
    QProgressBar* totalBar_;
    QTimer refreshTimer_;
    QElapsedTimer clock_;
    qint64 elapsedAtEnd_ = 0;
    std::unique_ptr<core::TotalProgress> total_;
    int converted_ = 0;
    QStringList failures_;
    int shownPercent_ = -1;
};

}  // namespace gui
