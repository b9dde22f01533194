#pragma once
// The path column has first claim on the list's free width: as wide as its
// longest path needs, leaving the title column at least a fifth; the title
// takes the rest. Refitted when the list is resized or rows come and go.

#include <QObject>
#include <QTimer>

class QTreeWidget;

namespace gui {

class PathColumnFit : public QObject {
public:
    PathColumnFit(QTreeWidget* view, int pathColumn, int titleColumn);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void measure(int first, int last);
    void refit();

    QTreeWidget* view_;
    // Kept apart: the viewport still sends events while the list's own
    // destructor has already run, so view_ can't be asked for it then.
    QObject* viewport_;
    int pathColumn_;
    int titleColumn_;
    int widest_ = 0;  // the longest path's text, in pixels
    bool remeasure_ = false;
    QTimer refitSoon_{this};
};

}  // namespace gui
