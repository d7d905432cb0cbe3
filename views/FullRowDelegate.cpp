#include "views/FullRowDelegate.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QTreeView>

#include <algorithm>
#include <cmath>
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

// Nothing when the text is used as it is. Otherwise the longest head that fits with the dots:
// a head is never narrower than a shorter one, so halving the range of lengths finds it with a
// few measures where trying every length from the end would take one per character cut. The
// first character stays even when nothing fits, and no character is cut in half.
std::optional<QString> Shortened(const QFontMetrics& metrics, const QString& text, int textWidth,
                                 int width) {
    if (text.isEmpty() || textWidth <= width)
        return std::nullopt;
    const int room = width - metrics.horizontalAdvance(Dots());
    qsizetype fits = text.size() > 1 && text.at(0).isHighSurrogate() ? 2 : 1;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        qsizetype n = fits + (tooLong - fits) / 2;
        if (text.at(n - 1).isHighSurrogate())
            n = n - 1 > fits ? n - 1 : n + 1;
        if (n >= tooLong)
            break;
        if (metrics.horizontalAdvance(text.left(n)) <= room)
            fits = n;
        else
            tooLong = n;
    }
    return text.left(fits) + Dots();
}

// Line breaks in a tag show as blanks: a row holds one line.
QString OneLine(QString text) {
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

// Where a text of `textWidth` pixels starts in `box`; its baseline centres the line vertically.
QPoint TextOrigin(const QFontMetrics& metrics, const QRect& box, Qt::Alignment align,
                  int textWidth) {
    int x = box.left();
    if (align == Qt::AlignRight)
        x = box.left() + box.width() - textWidth;
    else if (align == Qt::AlignHCenter)
        x = box.left() + (box.width() - textWidth) / 2;
    return {x, box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent()};
}

// A list without the keyboard focus shows its selection in the inactive colours, as it does in
// an inactive window: the user sees which rows are chosen and that the keys go elsewhere.
QPalette::ColorGroup GroupOf(QStyle::State state, bool hasFocus) {
    if (!(state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return (state & QStyle::State_Active) && hasFocus ? QPalette::Active : QPalette::Inactive;
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

QPixmap Blended(const QPixmap& pixmap, QColor colour) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    colour.setAlphaF(0.5);
    painter.fillRect(image.rect(), colour);
    painter.end();
    QPixmap blended = QPixmap::fromImage(image);
    blended.setDevicePixelRatio(pixmap.devicePixelRatio());
    return blended;
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
    return Shortened(metrics, text, text.isEmpty() ? 0 : metrics.horizontalAdvance(text), width)
        .value_or(text);
}

CFullRowDelegate::SRowLook CFullRowDelegate::RowLook(const QStyleOptionViewItem& option,
                                                     const QModelIndex& index) const {
    SRowLook look;
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool hasFocus = view && view->hasFocus();
    look.group = GroupOf(option.state, hasFocus || !view);
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
    // The small picture at any scale: asked at the device's ratio, an icon would hand out its
    // 32 x 32 picture for large icons instead.
    const qreal ratio = std::max<qreal>(1.0, std::round(painter->device()->devicePixelRatioF()));
    QPixmap pixmap = icon.pixmap(QSize(kIconSize, kIconSize), ratio, QIcon::Normal);
    if (pixmap.width() > static_cast<int>(kIconSize * ratio))
        pixmap = icon.pixmap(QSize(kIconSize, kIconSize), 1.0, QIcon::Normal);
    // A highlighted row's picture is blended half and half with the highlight colour.
    if (look.lit)
        pixmap = Blended(pixmap, option.palette.color(look.group, QPalette::Highlight));
    const int top = option.rect.top() + (option.rect.height() - kIconSize) / 2;
    painter->drawPixmap(QRect(option.rect.left(), top, kIconSize, kIconSize), pixmap);
}

// A shortened text always starts at the left so that its head stays readable. The text is
// placed here and drawn from its origin: laying it out in a rectangle costs several times more,
// and a list repaints hundreds of cells at once.
void CFullRowDelegate::DrawText(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index, const SRowLook& look) {
    const QString text = OneLine(index.data(Qt::DisplayRole).toString());
    if (text.isEmpty())
        return;
    const bool first = index.column() == 0;
    const int inset = first ? kFirstColumnInset : kColumnInset;
    const QRect box = look.label.adjusted(inset, 0, -inset, 0);
    const QFontMetrics metrics(option.font, painter->device());
    const int textWidth = metrics.horizontalAdvance(text);
    const std::optional<QString> shortened = Shortened(metrics, text, textWidth, box.width());
    const Qt::Alignment align = first || shortened ? Qt::AlignLeft : ColumnAlignment(index);
    painter->setFont(option.font);
    painter->setPen(
        option.palette.color(look.group, look.lit ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(TextOrigin(metrics, box, align, textWidth), shortened.value_or(text));
}
