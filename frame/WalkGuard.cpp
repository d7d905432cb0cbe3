#include "frame/WalkGuard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {

// Every event that carries the user's input: pointer, wheel, keys and what the toolkit makes of
// them (shortcuts, context menus), touch, tablet, gestures, input methods, drags and drops.
constexpr std::array kInputEvents{
    QEvent::MouseButtonPress,
    QEvent::MouseButtonRelease,
    QEvent::MouseButtonDblClick,
    QEvent::MouseMove,
    QEvent::Wheel,
    QEvent::KeyPress,
    QEvent::KeyRelease,
    QEvent::ShortcutOverride,
    QEvent::Shortcut,
    QEvent::ContextMenu,
    QEvent::TouchBegin,
    QEvent::TouchUpdate,
    QEvent::TouchEnd,
    QEvent::TouchCancel,
    QEvent::TabletPress,
    QEvent::TabletRelease,
    QEvent::TabletMove,
    QEvent::NativeGesture,
    QEvent::Gesture,
    QEvent::InputMethod,
    QEvent::DragEnter,
    QEvent::DragMove,
    QEvent::Drop,
    QEvent::NonClientAreaMouseButtonPress,
    QEvent::NonClientAreaMouseButtonDblClick,
};

// A mouse event over the Stop button may reach it: that is how it is clicked.
constexpr std::array kPointerEvents{QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseMove};

bool IsInput(QEvent::Type type) {
    return std::find(kInputEvents.begin(), kInputEvents.end(), type) != kInputEvents.end();
}

bool ClosesTheWindow(const QKeyEvent& key) {
    return key.matches(QKeySequence::Quit) ||
           (key.key() == Qt::Key_Q && key.modifiers() == Qt::ControlModifier);
}

} // namespace

CWalkGuard::CWalkGuard(QWidget& stopButton, QObject* parent)
    : QObject(parent), stopButton_(stopButton) {}

CWalkGuard::~CWalkGuard() {
    SetActive(false);
}

void CWalkGuard::SetActive(bool active) {
    if (active == active_)
        return;
    active_ = active;
    if (active)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

// The window system hands input to a window, which hands it on to its widgets: the guard judges
// it there, where the receiver is known. A key is judged at its first delivery to a widget, the
// shortcut override (none comes when no widget has the focus: then at the press).
bool CWalkGuard::Passes(QObject* receiver, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!active_ || !IsInput(type) || receiver->isWindowType())
        return true;
    if (type == QEvent::ShortcutOverride || type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier)
            Q_EMIT StopRequested();
        else if (ClosesTheWindow(*key))
            Q_EMIT CloseRequested();
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(receiver);
    const bool onStop =
        widget != nullptr && (widget == &stopButton_ || stopButton_.isAncestorOf(widget));
    return onStop &&
           std::find(kPointerEvents.begin(), kPointerEvents.end(), type) != kPointerEvents.end();
}

bool CWalkGuard::eventFilter(QObject* watched, QEvent* event) {
    return !Passes(watched, event);
}
