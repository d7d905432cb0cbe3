#pragma once

#include <QObject>

class QSplitter;

// How the width of the main window is shared between the tree and the list. The tree keeps
// the part of the width the user last gave it, by dragging the handle or from the start, as
// the window grows or shrinks; the list always keeps at least half.
class CPaneSplit : public QObject {
    Q_OBJECT

public:
    // The tree starts with `treeWidth` pixels of the splitter's first width.
    CPaneSplit(QSplitter& splitter, int treeWidth);

    // The tree's width in a splitter `width` pixels wide (the handle excluded).
    static int TreeWidth(double share, int width);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Share();

    QSplitter& splitter_;
    int startWidth_;
    double share_ = -1.0; // none until the splitter first has a width
};
