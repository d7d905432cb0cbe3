#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws an entry of the options sheet's column list: the check mark at the left when the column
// is displayed, then the column's label (never in parentheses); only the label's part of the row
// shows the selection and the focus.
class CColumnListDelegate : public QStyledItemDelegate {
public:
    // Item data roles the list gives each entry.
    static constexpr int kLabelRole = Qt::UserRole + 1;
    static constexpr int kDisplayedRole = Qt::UserRole + 2;

    explicit CColumnListDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QPixmap checkMark_;
};
