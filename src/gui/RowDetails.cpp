#include "gui/RowDetails.h"

#include "core/Decoder.h"
#include "core/Tags.h"

#include <QAbstractItemModel>

namespace gui {

QString lengthText(double seconds) {
    if (!(seconds >= 0)) return QString();
    const qint64 whole = qint64(seconds + 0.5);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

RowDetails::RowDetails(QAbstractItemModel* model, int titleColumn, int lengthColumn)
    : model_(model),
      titleColumn_(titleColumn),
      lengthColumn_(lengthColumn),
      worker_([this](std::stop_token stop) { work(stop); }) {}

RowDetails::~RowDetails() {
    worker_.request_stop();
    wake_.notify_all();
    worker_.join();
}

void RowDetails::read(const QList<QPersistentModelIndex>& rows, const QStringList& paths) {
    std::deque<Request> batch;
    for (qsizetype i = 0; i < rows.size() && i < paths.size(); ++i) {
        const quint64 id = nextId_++;
        waiting_.insert(id, rows.at(i));
        batch.push_back(Request{id, paths.at(i)});
    }
    {
        std::lock_guard lock(mutex_);
        requests_.insert(requests_.end(), batch.begin(), batch.end());
    }
    wake_.notify_all();
}

void RowDetails::work(const std::stop_token& stop) {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !requests_.empty(); })) return;
            request = requests_.front();
            requests_.pop_front();
        }
        const QString title = core::artistAndTitle(request.path);
        QString length;
        if (auto decoder = core::Decoder::open(request.path); decoder && (*decoder)->length() > 0) {
            const core::Decoder& d = **decoder;
            length = lengthText(double(d.length()) / (double(d.sampleRate()) * d.frameBytes()));
        }
        QMetaObject::invokeMethod(
            this, [this, id = request.id, title, length] { show(id, title, length); },
            Qt::QueuedConnection);
    }
}

void RowDetails::show(quint64 id, const QString& title, const QString& length) {
    const QPersistentModelIndex row = waiting_.take(id);
    if (!row.isValid()) return;  // removed meanwhile
    model_->setData(row.sibling(row.row(), titleColumn_), title);
    model_->setData(row.sibling(row.row(), lengthColumn_), length);
}

}  // namespace gui
