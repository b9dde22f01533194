#include "filelist/RowDelegate.h"

#include "filelist/SourceList.h"

namespace filelist {

void RowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = index.column() == kPathColumn ? Qt::ElideMiddle : Qt::ElideRight;
}

}  // namespace filelist
