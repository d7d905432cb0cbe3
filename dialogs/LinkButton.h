#pragma once

#include <QPushButton>

// A web address drawn as a link (underlined, violet, centred at the top) that opens it in the
// desktop's browser when clicked.
class CLinkButton : public QPushButton {
public:
    explicit CLinkButton(const QString& address, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
