#pragma once
// Long paths and statuses keep both ends in view: they are cut in the
// middle. A converting row's status is drawn as a bar with its text on it.

#include <QStyledItemDelegate>

namespace gui {

class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace gui
