#pragma once
// File drops on the main window. Qt hands a drag to the widget under the
// pointer, or to its nearest parent that accepts drops; so a widget that must
// not take files while its parent does has to refuse them itself.

#include <QObject>

#include <functional>

class QMimeData;
class QWidget;

namespace filelist {

class DropFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QMimeData*)>;

    // Takes drags that carry local files and passes each drop to onDrop.
    static DropFilter* acceptingFiles(Handler onDrop, QObject* parent);
    // Refuses every drag, so it never reaches a parent that would take it.
    static DropFilter* refusingAll(QObject* parent);

    // Makes widget a drop target governed by this filter.
    void install(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropFilter(Handler onDrop, QObject* parent);
    Handler onDrop_;  // empty: refuse
};

}  // namespace filelist
