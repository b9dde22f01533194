#include "gui/RowDelegate.h"

#include "gui/SourceList.h"

namespace gui {

void RowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = index.column() == kPathColumn ? Qt::ElideMiddle : Qt::ElideRight;
}

}  // namespace gui
