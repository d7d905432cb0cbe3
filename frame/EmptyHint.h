#pragma once

#include <QLabel>

// A few lines centred over a pane that has nothing to show, saying what to do there (how to
// open a folder while none is open). It covers the pane whatever its size, and lets the mouse
// through to it; the window shows and hides it.
class CEmptyHint : public QLabel {
    Q_OBJECT
public:
    CEmptyHint(const QString& text, QWidget& pane);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
