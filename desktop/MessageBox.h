#pragma once

#include <QMessageBox>
#include <QString>

// Every message box of the program: modal to its owner's window and titled with the
// application's name unless another caption is given. Returns the button that closed it.
class CMessageBox {
public:
    static QMessageBox::StandardButton Show(QWidget* owner, const QString& text,
                                            QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton Show(QWidget* owner, const QString& caption,
                                            const QString& text, QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons);
};
