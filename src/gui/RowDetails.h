#pragma once
// Fills a row's "Title" and "Length" cells after the row is in the list:
// reading tags and opening a decoder for thousands of files would make
// adding them slow, so one worker thread reads them in list order and the
// cells fill in as it goes.

#include <QHash>
#include <QObject>
#include <QPersistentModelIndex>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class QAbstractItemModel;

namespace gui {

// "m:ss" of a length in seconds; empty when it is unknown.
QString lengthText(double seconds);

class RowDetails : public QObject {
    Q_OBJECT
public:
    RowDetails(QAbstractItemModel* model, int titleColumn, int lengthColumn);
    // Stops the worker after the file it is reading.
    ~RowDetails() override;

    // rows: indexes of the rows' first cells; paths: their files, alike.
    void read(const QList<QPersistentModelIndex>& rows, const QStringList& paths);

private:
    struct Request {
        quint64 id;
        QString path;
    };
    void work(const std::stop_token& stop);  // worker thread
    void show(quint64 id, const QString& title, const QString& length);

    QAbstractItemModel* model_;
    int titleColumn_;
    int lengthColumn_;
    quint64 nextId_ = 0;
    QHash<quint64, QPersistentModelIndex> waiting_;

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<Request> requests_;
    std::jthread worker_;  // last: stopped and joined before the rest goes
};

}  // namespace gui
