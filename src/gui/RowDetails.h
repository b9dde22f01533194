#pragma once
// Fills a row's "Title" and "Length" cells after the row is in the list:
// reading tags and opening a decoder for thousands of files would make
// adding them slow, so one worker thread reads them in list order and the
// cells fill in as it goes.

#include "gui/WorkQueue.h"

#include <QHash>
#include <QObject>
#include <QPersistentModelIndex>
#include <QString>

class QAbstractItemModel;

namespace gui {

// "m:ss" of a length in seconds; empty when it is unknown.
QString lengthText(double seconds);

class RowDetails : public QObject {
    Q_OBJECT
public:
    // Going away stops the worker after the file it is reading.
    RowDetails(QAbstractItemModel* model, int titleColumn, int lengthColumn);

    // rows: indexes of the rows' first cells; paths: their files, alike.
    void read(const QList<QPersistentModelIndex>& rows, const QStringList& paths);

private:
    struct Request {
        quint64 id;
        QString path;
    };
    void readOne(const Request& request);  // worker thread
    void show(quint64 id, const QString& title, const QString& length);

    QAbstractItemModel* model_;
    int titleColumn_;
    int lengthColumn_;
    quint64 nextId_ = 0;
    QHash<quint64, QPersistentModelIndex> waiting_;
    WorkQueue<Request> queue_;  // last: stopped before the rest goes
};

}  // namespace gui
