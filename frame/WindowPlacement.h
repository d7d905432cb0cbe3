#pragma once

#include <QList>
#include <QRect>

// Where the window opens: its saved rectangle, unless that would leave it out of reach (a
// monitor gone, a smaller screen, a changed scale factor). Then it moves, shrunk if need be,
// onto the screen it overlaps most, or the first one.
class CWindowPlacement {
public:
    // `screens` are the screens' available areas, the primary first.
    static QRect OnScreen(const QRect& saved, const QList<QRect>& screens);
    // The same for the screens of the running desktop.
    static QRect OnScreen(const QRect& saved);
    // A first start's window, with no size saved yet: two thirds of the screen's width and
    // height, in its middle.
    static QRect FirstWindow(const QRect& screen);
    // The same on the primary screen of the running desktop; an empty rectangle without one.
    static QRect FirstWindow();
};
