#pragma once
// A long path keeps its end in view (the file's name): it is cut on the
// left; titles and statuses are cut in the middle. A converting row's
// status is drawn as a bar with its text on it, readable in any scheme.

#include <QStyledItemDelegate>

namespace gui {

class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace gui
