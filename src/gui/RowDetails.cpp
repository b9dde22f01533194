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
      queue_([this](const Request& request, const std::stop_token&) { readOne(request); }) {}

void RowDetails::read(const QList<QPersistentModelIndex>& rows, const QStringList& paths) {
    QList<Request> batch;
    for (qsizetype i = 0; i < rows.size() && i < paths.size(); ++i) {
        const quint64 id = nextId_++;
        waiting_.insert(id, rows.at(i));
        batch.append(Request{id, paths.at(i)});
    }
    queue_.pushAll(batch);
}

void RowDetails::readOne(const Request& request) {
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

void RowDetails::show(quint64 id, const QString& title, const QString& length) {
    const QPersistentModelIndex row = waiting_.take(id);
    if (!row.isValid()) return;  // removed meanwhile
    model_->setData(row.sibling(row.row(), titleColumn_), title);
    model_->setData(row.sibling(row.row(), lengthColumn_), length);
}

}  // namespace gui
