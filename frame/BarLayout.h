#pragma once

#include <QObject>
#include <QSize>

class CAddressBar;
class CBusyAnimation;
class CCommandTable;
class QAction;
class QLineEdit;
class QMainWindow;
class QToolBar;
class QWidget;

// The bars at the top of the main window, on two rows: the twelve tool buttons, then the
// "Address" box with the busy animation at the right end of its row, and the Stop button beside
// it while a walk runs. Each part can be hidden but the animation; without labels the buttons
// shrink to their pictures. In a narrow window the filter box gives the address up to 60 pixels
// of its width.
class CBarLayout : public QObject {
public:
    CBarLayout(QMainWindow& window, CCommandTable& commands, CAddressBar& addressBox,
               QLineEdit& filterBox, QWidget& stopButton, CBusyAnimation& animation);

    void Apply(bool showToolBar, bool showAddressBar, bool showLabels);
    void ShowStop(bool show);

    // The filter box's width when it and the address box share `sharedWidth` pixels.
    static int FilterWidth(int sharedWidth);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MeasureButtons();

    QToolBar* buttons_ = nullptr;
    QToolBar* addressRow_ = nullptr;
    CAddressBar& addressBox_;
    QLineEdit& filterBox_;
    QAction* addressLabel_ = nullptr;
    QAction* address_ = nullptr;
    QAction* filter_ = nullptr;
    QAction* gap_ = nullptr;
    QAction* stop_ = nullptr;
    QSize labelledSize_; // every button's size with its label, measured once
};
