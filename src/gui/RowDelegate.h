#pragma once
// Long paths keep their file name in view: the path column is cut in the
// middle, the other columns at the end.

#include <QStyledItemDelegate>

namespace gui {

class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace gui
