#include "gui/DropTargets.h"

#include "gui/SourceList.h"

#include <QDropEvent>
#include <QWidget>

namespace gui {

DropFilter::DropFilter(Handler onDrop, QObject* parent)
    : QObject(parent), onDrop_(std::move(onDrop)) {}

DropFilter* DropFilter::acceptingFiles(Handler onDrop, QObject* parent) {
    return new DropFilter(std::move(onDrop), parent);
}

DropFilter* DropFilter::refusingAll(QObject* parent) {
    return new DropFilter(Handler(), parent);
}

void DropFilter::install(QWidget* widget) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool DropFilter::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter: {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (!onDrop_) {
                // Taken, with nothing to do, so Qt does not offer it to the parent.
                drag->setDropAction(Qt::IgnoreAction);
                drag->accept();
            } else if (!droppedPaths(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (onDrop_ && !droppedPaths(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::DragLeave:
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!onDrop_) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            onDrop_(drop->mimeData());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace gui
