#include "dialogs/ColumnListDelegate.h"

#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {

// Between the check mark's place and the label.
constexpr int kLabelGap = 2;

} // namespace

CColumnListDelegate::CColumnListDelegate(QObject* parent)
    : QStyledItemDelegate(parent), checkMark_(CResources::Image(ResourceId::kCheckMarkPath)) {}

// The picture has its own transparency, so it is drawn over the background as it stands.
void CColumnListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QRect item = option.rect;
    const QRect text = item.adjusted(ResourceId::kCheckMarkSize + kLabelGap, 0, 0, 0);
    const QPalette& palette = option.palette;
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->fillRect(item, palette.base());
    if (index.data(kDisplayedRole).toBool())
        painter->drawPixmap(item.topLeft(), checkMark_);
    if (selected)
        painter->fillRect(text, palette.highlight());
    painter->setFont(option.font);
    painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, index.data(kLabelRole).toString());
    if ((option.state & QStyle::State_HasFocus) != 0) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = text;
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

QSize CColumnListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int height = std::max(option.fontMetrics.height(), ResourceId::kCheckMarkSize);
    return {option.rect.width(), height};
}
