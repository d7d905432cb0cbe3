#include "frame/PaneSplit.h"

#include <QEvent>
#include <QSplitter>

#include <algorithm>
#include <cmath>

CPaneSplit::CPaneSplit(QSplitter& splitter, int treeWidth)
    : QObject(&splitter), splitter_(splitter), startWidth_(treeWidth) {
    splitter.installEventFilter(this);
    connect(&splitter, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = splitter_.sizes();
        const int total = sizes.value(0) + sizes.value(1);
        if (total > 0)
            share_ = static_cast<double>(sizes.value(0)) / total;
    });
}

int CPaneSplit::TreeWidth(double share, int width) {
    const int tree = static_cast<int>(std::lround(share * width));
    return std::clamp(tree, 0, width / 2);
}

// The splitter lays its panes out in its own resize handling, after this filter, from the
// sizes set here.
bool CPaneSplit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &splitter_ && event->type() == QEvent::Resize)
        Share();
    return QObject::eventFilter(watched, event);
}

void CPaneSplit::Share() {
    if (splitter_.count() != 2)
        return;
    const int width = splitter_.width() - splitter_.handleWidth();
    if (width <= 0)
        return;
    if (share_ < 0)
        share_ = static_cast<double>(startWidth_) / width;
    const int tree = TreeWidth(share_, width);
    splitter_.setSizes({tree, width - tree});
}
