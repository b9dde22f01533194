#include "gui/PathColumnFit.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

namespace gui {

namespace {

constexpr int kTitleShareDivisor = 5;  // the title keeps at least a fifth

}  // namespace

PathColumnFit::PathColumnFit(QTreeWidget* view, int pathColumn, int titleColumn)
    : QObject(view),
      view_(view),
      viewport_(view->viewport()),
      pathColumn_(pathColumn),
      titleColumn_(titleColumn) {
    QHeaderView* header = view->header();
    header->setSectionResizeMode(pathColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(titleColumn, QHeaderView::Stretch);
    viewport_->installEventFilter(this);
    // Later, not inside the model's signal: a list that is being destroyed
    // empties its model while its header is already going.
    refitSoon_.setSingleShot(true);
    refitSoon_.setInterval(0);
    connect(&refitSoon_, &QTimer::timeout, this, [this] {
        if (remeasure_) {
            remeasure_ = false;
            widest_ = 0;
            measure(0, view_->topLevelItemCount() - 1);
        }
        refit();
    });
    QAbstractItemModel* model = view->model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                measure(first, last);
                refitSoon_.start();
            });
    const auto remeasureSoon = [this] {
        remeasure_ = true;
        refitSoon_.start();
    };
    connect(model, &QAbstractItemModel::rowsRemoved, this, remeasureSoon);
    connect(model, &QAbstractItemModel::modelReset, this, remeasureSoon);
}

bool PathColumnFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_ && event->type() == QEvent::Resize) refit();
    return QObject::eventFilter(watched, event);
}

void PathColumnFit::measure(int first, int last) {
    const QFontMetrics metrics = view_->fontMetrics();
    for (int row = first; row <= last; ++row)
        if (const QTreeWidgetItem* item = view_->topLevelItem(row))
            widest_ = std::max(widest_, metrics.horizontalAdvance(item->text(pathColumn_)));
}

void PathColumnFit::refit() {
    const QHeaderView* header = view_->header();
    int free = view_->viewport()->width();
    for (int column = 0; column < header->count(); ++column)
        if (column != pathColumn_ && column != titleColumn_) free -= header->sectionSize(column);
    // The icon, its gap and the text margins besides the text itself.
    const int frame = view_->iconSize().width() + 4 * view_->fontMetrics().averageCharWidth();
    const int wanted = std::max(widest_ + frame, header->minimumSectionSize());
    view_->setColumnWidth(
        pathColumn_,
        std::max(header->minimumSectionSize(), std::min(wanted, free - free / kTitleShareDivisor)));
}

}  // namespace gui
