#include "gui/BatchStatusBar.h"

#include "core/PathHelpers.h"
#include "core/TotalProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace gui {

namespace {

constexpr int kRefreshMs = 500;
constexpr int kBarSteps = 1000;
constexpr int kFailuresListed = 10;

}  // namespace

BatchStatusBar::BatchStatusBar(QStatusBar* statusBar)
    : QObject(statusBar),
      statusBar_(statusBar),
      filesLabel_(new QLabel(statusBar)),
      totalBar_(new QProgressBar(statusBar)) {
    filesLabel_->setObjectName(QStringLiteral("batchFilesLabel"));
    totalBar_->setObjectName(QStringLiteral("batchTotalBar"));
    totalBar_->setRange(0, kBarSteps);
    totalBar_->setAccessibleName(tr("Converted so far"));
    statusBar_->addWidget(filesLabel_, 1);
    statusBar_->addPermanentWidget(totalBar_, 1);
    statusBar_->setSizeGripEnabled(false);
    statusBar_->hide();
    refreshTimer_.setInterval(kRefreshMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &BatchStatusBar::refresh);
}

BatchStatusBar::~BatchStatusBar() = default;

void BatchStatusBar::start(const QStringList& sources) {
    total_ = std::make_unique<core::TotalProgress>(sources);
    converted_ = 0;
    failures_.clear();
    shownPercent_ = -1;
    clock_.start();
    statusBar_->show();
    refresh();
    refreshTimer_.start();
}

void BatchStatusBar::setFraction(int job, double fraction) {
    if (total_) total_->setFraction(job, fraction);
}

void BatchStatusBar::setDone(int job, const core::JobResult& result, const QString& source) {
    if (!total_) return;
    total_->setDone(job);
    if (result.outcome == core::JobOutcome::Converted) ++converted_;
    if (result.outcome == core::JobOutcome::Failed)
        failures_ << tr("%1: %2").arg(core::nameOnly(source), result.reason);
    refresh();
}

void BatchStatusBar::finish() {
    refreshTimer_.stop();
    elapsedAtEnd_ = clock_.isValid() ? clock_.elapsed() : 0;
    total_.reset();
    statusBar_->hide();
    shownPercent_ = -1;
    emit percentChanged(-1);
}

QString BatchStatusBar::summary() const {
    return core::summaryText(converted_, failed(), total_ ? clock_.elapsed() : elapsedAtEnd_);
}

QString BatchStatusBar::failureList() const {
    QStringList lines = failures_.mid(0, kFailuresListed);
    if (failures_.size() > kFailuresListed)
        lines << tr("and %1 more").arg(failures_.size() - kFailuresListed);
    return lines.join(QLatin1Char('\n'));
}

void BatchStatusBar::refresh() {
    if (!total_) return;
    const double share = total_->share();
    totalBar_->setValue(int(share * kBarSteps));
    const int files = total_->files();
    QString text = files == 1 ? tr("%1 of %2 file").arg(total_->done()).arg(files)
                              : tr("%1 of %2 files").arg(total_->done()).arg(files);
    if (const auto left = total_->secondsLeft(clock_.elapsed()))
        text += tr(", %1 left").arg(core::clockText(*left));
    filesLabel_->setText(text);
    const int percent = int(share * 100);
    // The same number as the title's, not the bar's own rounding.
    totalBar_->setFormat(tr("%1%").arg(percent));
    if (percent != shownPercent_) {
        shownPercent_ = percent;
        emit percentChanged(percent);
    }
}

}  // namespace gui
