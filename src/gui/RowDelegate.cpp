#include "gui/RowDelegate.h"

#include "gui/Palette.h"
#include "gui/SourceList.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionProgressBar>

namespace gui {

void RowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = index.column() == kPathColumn   ? Qt::ElideLeft
                            : index.column() == kSizeColumn ? Qt::ElideRight
                                                            : Qt::ElideMiddle;
}

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    const QVariant percent = index.data(kProgressRole);
    if (index.column() != kStatusColumn || !percent.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The selection behind, the bar over it, inset so the rows stay apart.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(1, 1, -1, -1);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = qBound(0, percent.toInt(), 100);
    bar.text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                             Qt::ElideMiddle, bar.rect.width() - 4);
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    bar.state = option.state | QStyle::State_Horizontal;
    bar.fontMetrics = option.fontMetrics;
    bar.palette = readableProgressPalette(option.palette);
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
}

}  // namespace gui
