#pragma once

#include <QLineEdit>

// The filter box beside the address: typing narrows the list to the rows holding every word;
// Esc empties it, Down or Enter goes on to the first row found. Entering it lets the list get
// ready for the words to come.
class CFilterBox : public QLineEdit {
    Q_OBJECT
public:
    explicit CFilterBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void GoToResults();
    void Entered();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};
