#include "desktop/MessageBox.h"

#include "desktop/FrameStrings.h"
#include "platform/StringIds.h"

QMessageBox::StandardButton CMessageBox::Show(QWidget* owner, const QString& text,
                                              QMessageBox::Icon icon,
                                              QMessageBox::StandardButtons buttons) {
    return Show(owner, CFrameStrings::Get(EStringId::AppTitle), text, icon, buttons);
}

QMessageBox::StandardButton CMessageBox::Show(QWidget* owner, const QString& caption,
                                              const QString& text, QMessageBox::Icon icon,
                                              QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
