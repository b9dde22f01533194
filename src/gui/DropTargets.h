#pragma once
// File drops on the main window. Qt offers a drag to the widget under the
// pointer and, while it is not taken, to each parent in turn; so a widget
// that must not take files while its parent does has to take the drag itself
// and then do nothing with it.

#include <QObject>

#include <functional>

class QMimeData;
class QWidget;

namespace gui {

class DropFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QMimeData*)>;

    // Takes drags that carry local files and passes each drop to onDrop.
    static DropFilter* acceptingFiles(Handler onDrop, QObject* parent);
    // Takes every drag but allows no drop, so none reaches a parent that would.
    static DropFilter* refusingAll(QObject* parent);

    // Makes widget a drop target governed by this filter.
    void install(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropFilter(Handler onDrop, QObject* parent);
    Handler onDrop_;  // empty: refuse
};

}  // namespace gui
