#pragma once

#include "app/QuavApp.h"
#include "catalog/QuavDoc.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <cstdio>
#include <string>

// The window benchmarks start the whole program as the user does, once per measure, in a child
// process of their own, and time it until its window first paints the catalog.
namespace WindowStart {

inline constexpr char kChild[] = "--child";

// Notes the window's first paint with the catalog in it (a window may show before its first
// address opens).
class CPaintClock : public QObject {
public:
    explicit CPaintClock(const CQuavApp& app) : app_(app) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && app_.Document() != nullptr &&
            !app_.Document()->IsWalking() && app_.Document()->GetTrackList().GetSize() > 0)
            painted_ = true;
        return QObject::eventFilter(watched, event);
    }
    bool Painted() const { return painted_; }

private:
    const CQuavApp& app_;
    bool painted_ = false;
};

// Starts the window of `app` and turns its event loop until the catalog is painted; false when
// the program does not start.
inline bool UntilPainted(CQuavApp& app) {
    CPaintClock paint(app);
    app.installEventFilter(&paint);
    if (!app.InitInstance())
        return false;
    while (!paint.Painted())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    app.removeEventFilter(&paint);
    return true;
}

// This program run again as the child of one start, on `profile`, its output to be read.
inline FILE* OpenChild(const std::string& self, const std::string& profile,
                       const std::string& arguments = {}) {
    const std::string command = "QUAVERO_PROFILE='" + profile + "' QT_QPA_PLATFORM=offscreen '" +
                                self + "' " + kChild + arguments + " 2>/dev/null";
    return ::popen(command.c_str(), "r");
}

} // namespace WindowStart
