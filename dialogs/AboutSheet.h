#pragma once

#include <QDialog>

class QTabWidget;

// The program's picture, its version and its web page on one tab, the scrolling credits on the
// other; OK is the only button.
class CAboutSheet : public QDialog {
    Q_OBJECT
public:
    // The project's web page; a placeholder until the project has one.
    static constexpr char kWebPage[] = "https://quavero.example/";

    explicit CAboutSheet(QWidget* parent = nullptr);

    // "Quavero - version " and the build's version number.
    static QString VersionLine();
    QTabWidget& Tabs() const { return *tabs_; }

private:
    static QWidget* MakeProductPage();
    static QWidget* MakeCreditsPage();

    QTabWidget* tabs_;
};
