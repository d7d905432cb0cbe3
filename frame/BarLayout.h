#pragma once

#include <QSize>

class CAddressBar;
class CBusyAnimation;
class CCommandTable;
class QAction;
class QLineEdit;
class QMainWindow;
class QToolBar;

// The bars at the top of the main window, on two rows: the twelve tool buttons, then the
// "Address" box with the busy animation at the right end of its row. Each part can be hidden
// but the animation; without labels the buttons shrink to their pictures.
class CBarLayout {
public:
    CBarLayout(QMainWindow& window, CCommandTable& commands, CAddressBar& addressBox,
               QLineEdit& filterBox, CBusyAnimation& animation);

    void Apply(bool showToolBar, bool showAddressBar, bool showLabels);

private:
    void MeasureButtons();

    QToolBar* buttons_ = nullptr;
    QToolBar* addressRow_ = nullptr;
    CAddressBar& addressBox_;
    QAction* addressLabel_ = nullptr;
    QAction* address_ = nullptr;
    QAction* filter_ = nullptr;
    QAction* gap_ = nullptr;
    QSize labelledSize_; // every button's size with its label, measured once
};
