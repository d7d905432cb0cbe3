#include "frame/EmptyHint.h"

#include <QEvent>

CEmptyHint::CEmptyHint(const QString& text, QWidget& pane) : QLabel(text, &pane) {
    setObjectName(QStringLiteral("emptyHint"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setForegroundRole(QPalette::PlaceholderText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(pane.rect());
    pane.installEventFilter(this);
    hide();
}

bool CEmptyHint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        setGeometry(static_cast<QWidget*>(watched)->rect());
    return QLabel::eventFilter(watched, event);
}
