#include "frame/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// What must show of the window's top edge for the title bar to be grabbed.
constexpr int kGrip = 48;
// A saved size below this (a broken profile) is taken as this.
constexpr QSize kSmallest(160, 120);

qint64 Area(const QRect& rect) {
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

} // namespace

// Kept as saved when the whole window fits the screen it is mostly on and the start of its top
// edge shows there; the window system adds its frame above that edge.
QRect CWindowPlacement::OnScreen(const QRect& saved, const QList<QRect>& screens) {
    QRect window(saved.topLeft(), saved.size().expandedTo(kSmallest));
    if (screens.isEmpty())
        return window;
    const auto most =
        std::max_element(screens.begin(), screens.end(), [&window](const QRect& a, const QRect& b) {
            return Area(a & window) < Area(b & window);
        });
    const QRect screen = Area(*most & window) > 0 ? *most : screens.front();
    const QRect grip(window.topLeft(), QSize(std::min(kGrip, window.width()), 1));
    if (screen.contains(grip) && window.width() <= screen.width() &&
        window.height() <= screen.height())
        return window;
    window.setSize(window.size().boundedTo(screen.size()));
    window.moveLeft(std::clamp(window.left(), screen.left(), screen.right() - window.width() + 1));
    window.moveTop(std::clamp(window.top(), screen.top(), screen.bottom() - window.height() + 1));
    return window;
}

QRect CWindowPlacement::FirstWindow(const QRect& screen) {
    const QSize size = (screen.size() * 2 / 3).expandedTo(kSmallest).boundedTo(screen.size());
    QRect window(QPoint(), size);
    window.moveCenter(screen.center());
    return window;
}

QRect CWindowPlacement::FirstWindow() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary != nullptr ? FirstWindow(primary->availableGeometry()) : QRect();
}

QRect CWindowPlacement::OnScreen(const QRect& saved) {
    QList<QRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            screens.append(screen->availableGeometry());
    return OnScreen(saved, screens);
}
