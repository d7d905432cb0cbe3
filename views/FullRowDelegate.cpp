#include "views/FullRowDelegate.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QTreeView>

#include <algorithm>
#include <optional>

struct CFullRowDelegate::SRowLook {
    QPalette::ColorGroup group = QPalette::Active;
    bool highlighted = false;
    bool focused = false;
    bool lit = false; // this cell lies in the highlight
    QRect label;      // the cell less its icon
    QRect area;       // the cell, and for the last cell of a full row the rest up to the edge
    QRect highlight;  // the row's highlight, also framed by the focus rectangle
};

namespace {

QString Dots() {
    return QStringLiteral("...");
}

// Nothing when the text is used as it is.
std::optional<QString> Shortened(const QFontMetrics& metrics, const QString& text, int width) {
    if (text.isEmpty() || metrics.horizontalAdvance(text) <= width)
        return std::nullopt;
    const int room = width - metrics.horizontalAdvance(Dots());
    const qsizetype first = text.size() > 1 && text.at(0).isHighSurrogate() ? 2 : 1;
    qsizetype n = text.size() - 1;
    for (; n > first; --n) {
        if (text.at(n - 1).isHighSurrogate())
            continue;
        if (metrics.horizontalAdvance(text.left(n)) <= room)
            break;
    }
    return text.left(std::max(n, first)) + Dots();
}

QPalette::ColorGroup GroupOf(QStyle::State state) {
    if (!(state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return (state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

QIcon IconOf(const QModelIndex& index) {
    if (index.column() != 0)
        return {};
    const QVariant value = index.data(Qt::DecorationRole);
    return value.canConvert<QIcon>() ? value.value<QIcon>() : QIcon();
}

Qt::Alignment ColumnAlignment(const QModelIndex& index) {
    const auto given = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    if (given & Qt::AlignRight)
        return Qt::AlignRight;
    if (given & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

QRect LabelOf(const QRect& cell, const QModelIndex& index) {
    if (IconOf(index).isNull())
        return cell;
    return cell.adjusted(CFullRowDelegate::kIconSize, 0, 0, 0);
}

bool IsRowSelected(const QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) {
    if (!view || !view->selectionModel())
        return (option.state & QStyle::State_Selected) != 0;
    return view->selectionModel()->isSelected(index.siblingAtColumn(0));
}

// Another cell of the same row, found through the details view's header without a lookup of
// the row.
QRect CellOf(const QStyleOptionViewItem& option, const QModelIndex& index, int column) {
    const auto* tree = qobject_cast<const QTreeView*>(option.widget);
    if (!tree || column == index.column())
        return option.rect;
    const QHeaderView* header = tree->header();
    return QRect(header->sectionViewportPosition(column), option.rect.top(),
                 header->sectionSize(column), option.rect.height());
}

} // namespace

CFullRowDelegate::CFullRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QString CFullRowDelegate::ShortenText(const QFontMetrics& metrics, const QString& text, int width) {
    return Shortened(metrics, text, width).value_or(text);
}

CFullRowDelegate::SRowLook CFullRowDelegate::RowLook(const QStyleOptionViewItem& option,
                                                     const QModelIndex& index) const {
    SRowLook look;
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool hasFocus = view && view->hasFocus();
    look.group = GroupOf(option.state);
    look.highlighted = IsRowSelected(view, option, index) && (hasFocus || alwaysShowSelection_);
    look.focused = hasFocus && view->currentIndex().row() == index.row() &&
                   view->currentIndex().parent() == index.parent();
    look.label = LabelOf(option.rect, index);
    look.area = option.rect;
    look.highlight = LabelOf(CellOf(option, index, 0), index.siblingAtColumn(0));
    look.lit = look.highlighted && (fullRowSelection_ || index.column() == 0);
    if (!fullRowSelection_)
        return look;
    const int lastColumn = index.model()->columnCount(index.parent()) - 1;
    const int rowRight = CellOf(option, index, lastColumn).right();
    const int edge = view ? view->viewport()->width() - 1 : rowRight;
    look.highlight.setRight(std::max(rowRight, edge));
    if (index.column() == lastColumn)
        look.area.setRight(std::max(look.area.right(), edge));
    return look;
}

void CFullRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const SRowLook look = RowLook(option, index);
    painter->save();
    painter->fillRect(look.area, option.palette.brush(look.group, QPalette::Base));
    if (look.lit)
        painter->fillRect(look.area.intersected(look.highlight),
                          option.palette.brush(look.group, QPalette::Highlight));
    DrawIcon(painter, option, index, look);
    DrawText(painter, option, index, look);
    if (look.focused)
        DrawFocusFrame(painter, option, look);
    painter->restore();
}

// A dotted frame around the row's highlight, in the colour of the row's text so that it shows
// on the highlight and off it. Each cell draws its own stretch of the frame, so a partial
// repaint leaves no gap; the dots line up because every cell draws the same rectangle.
void CFullRowDelegate::DrawFocusFrame(QPainter* painter, const QStyleOptionViewItem& option,
                                      const SRowLook& look) {
    painter->setClipRect(look.area, Qt::IntersectClip);
    QPen pen(
        option.palette.color(look.group, look.lit ? QPalette::HighlightedText : QPalette::Text));
    pen.setStyle(Qt::DotLine);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(look.highlight.adjusted(0, 0, -1, -1));
}

void CFullRowDelegate::DrawIcon(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index, const SRowLook& look) {
    const QIcon icon = IconOf(index);
    if (icon.isNull() || option.rect.width() <= 1)
        return;
    const QPixmap pixmap =
        icon.pixmap(QSize(kIconSize, kIconSize), painter->device()->devicePixelRatioF(),
                    look.lit ? QIcon::Selected : QIcon::Normal);
    const int top = option.rect.top() + (option.rect.height() - kIconSize) / 2;
    painter->drawPixmap(QRect(option.rect.left(), top, kIconSize, kIconSize), pixmap);
}

// A shortened text always starts at the left so that its head stays readable.
void CFullRowDelegate::DrawText(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index, const SRowLook& look) {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    const bool first = index.column() == 0;
    const int inset = first ? kFirstColumnInset : kColumnInset;
    const QFontMetrics metrics(option.font, painter->device());
    const std::optional<QString> shortened =
        Shortened(metrics, text, look.label.width() - 2 * inset);
    const Qt::Alignment align = first || shortened ? Qt::AlignLeft : ColumnAlignment(index);
    painter->setFont(option.font);
    painter->setPen(
        option.palette.color(look.group, look.lit ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(look.label.adjusted(inset, 0, -inset, 0),
                      int(align | Qt::AlignVCenter) | Qt::TextSingleLine | Qt::TextDontClip,
                      shortened.value_or(text));
}
