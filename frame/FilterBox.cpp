#include "frame/FilterBox.h"

#include "desktop/FrameStrings.h"
#include "platform/StringIds.h"

#include <QKeyEvent>

CFilterBox::CFilterBox(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("filterBox"));
    setPlaceholderText(CFrameStrings::Get(EStringId::FilterPlaceholder));
    setAccessibleName(placeholderText());
    setClearButtonEnabled(true);
}

void CFilterBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        clear();
        break;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT GoToResults();
        break;
    default:
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CFilterBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Q_EMIT Entered();
}
