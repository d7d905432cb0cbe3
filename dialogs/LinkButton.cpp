#include "dialogs/LinkButton.h"

#include <QDesktopServices>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QUrl>

namespace {

const QColor kLinkColour(0x40, 0x00, 0x80);

} // namespace

CLinkButton::CLinkButton(const QString& address, QWidget* parent) : QPushButton(address, parent) {
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    // Whether a browser opened is not the program's concern.
    connect(this, &QPushButton::clicked, this, [this] { QDesktopServices::openUrl(QUrl(text())); });
}

void CLinkButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(kLinkColour);
    painter.drawText(rect(), Qt::AlignHCenter | Qt::AlignTop, text());
    if (!hasFocus())
        return;
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = fontMetrics().boundingRect(rect(), Qt::AlignHCenter | Qt::AlignTop, text());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}
