// The tray icon on a real notification area: an X server of the test's own (Xvfb) with a tray
// (trayer) on it, and the program in a child process on that display. Skipped, and said so,
// where either is missing or the tray does not come up.
#include "app/QuavApp.h"
#include "dialogs/OptionSheet.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "frame/TrayIcon.h"
#include "platform/IniProfile.h"
#include "settings/AppSettings.h"
#include "settings/SettingsKeys.h"
#include "support/ModalDriver.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kNoTray = 77;

pid_t Spawn(const std::vector<std::string>& command, const std::string& display) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (!display.empty())
            ::setenv("DISPLAY", display.c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& a : command)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

void Stop(pid_t child) {
    if (child <= 0)
        return;
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
}

bool Installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null").c_str()) == 0;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Runs in the child: starts minimised with the option on, and checks the whole round of hiding
// behind the icon and coming back. The exit status says which step failed.
int RunProgram() {
    int argc = 2;
    char name[] = "quavero";
    char minimized[] = "--minimized";
    char* argv[] = {name, minimized, nullptr};
    CQuavApp app(argc, argv);
    if (!WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000))
        return kNoTray;
    if (!app.InitInstance())
        return 1;
    CMainFrame& frame = *app.Frame();
    if (frame.TrayIcon() == nullptr || !frame.TrayIcon()->IsEnabled())
        return 2;
    if (frame.TrayIcon()->ToolTip() != QStringLiteral("Quavero"))
        return 3;
    if (frame.isVisible())
        return 4; // started minimised: only the icon stands for the program
    Q_EMIT frame.TrayIcon()->LeftPressed();
    if (!WaitFor([&] { return frame.isVisible() && !frame.isMinimized(); }, 3000))
        return 5; // one click brings it back
    Q_EMIT frame.TrayIcon()->LeftPressed();
    if (!frame.isVisible())
        return 6; // a click while shown only brings it to the front
    frame.showMinimized();
    if (!WaitFor([&] { return !frame.isVisible(); }, 3000))
        return 7; // minimising hides it behind the icon again
    QMenu* menu = frame.TrayIcon()->Menu();
    if (menu == nullptr || menu->actions().size() != 3)
        return 8; // Show/Hide, a separator, Quit
    menu->actions().front()->trigger();
    if (!WaitFor([&] { return frame.isVisible() && !frame.isMinimized(); }, 3000))
        return 9; // the menu shows the hidden window
    menu->actions().front()->trigger();
    if (!WaitFor([&] { return !frame.isVisible(); }, 3000))
        return 10; // and hides it again
    QTimer::singleShot(0, menu->actions().back(), &QAction::trigger);
    QTimer::singleShot(3000, &app, [] { QCoreApplication::exit(1); });
    const int status = QCoreApplication::exec();
    const CIniProfile written(std::getenv("QUAVERO_PROFILE"));
    if (status != 0 || written.GetInt(SettingsKey::kSectionUser, SettingsKey::kCx, -1) < 0)
        return 11; // Quit ends the program from behind the icon, its settings written
    app.Settings().MinimizeToSystray = 0;
    frame.UpdateTrayIcon();
    if (frame.TrayIcon() != nullptr)
        return 12; // the option off removes the icon
    return 0;
}

// Runs in the child: the option turned on and then off in the options sheet shows the icon and
// removes it as soon as OK is pressed.
int RunOptionSheet() {
    int argc = 1;
    char name[] = "quavero";
    char* argv[] = {name, nullptr};
    CQuavApp app(argc, argv);
    if (!WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000))
        return kNoTray;
    if (!app.InitInstance())
        return 1;
    CMainFrame& frame = *app.Frame();
    for (const bool on : {true, false}) {
        auto watch = WhenModal<COptionSheet>([](COptionSheet& sheet) {
            sheet.Tabs().setCurrentIndex(3);
            sheet.findChild<QCheckBox*>(QStringLiteral("minimizeToSystray"))->click();
            sheet.accept();
        });
        frame.Commands().Action(ECommandId::Options)->trigger();
        const bool shown = frame.TrayIcon() != nullptr && frame.TrayIcon()->IsEnabled();
        if (shown != on)
            return on ? 2 : 3;
    }
    return 0;
}

// Runs `program` in a child process on an X server of the test's own with a tray on it, the
// profile in `dir`; its exit status.
int OnTestTray(const CTempDir& dir, int (*program)()) {
    const std::string display = ":" + std::to_string(70 + ::getpid() % 200);
    const pid_t server =
        Spawn({"Xvfb", display, "-nolisten", "tcp", "-screen", "0", "800x600x24"}, "");
    const std::string socket = "/tmp/.X11-unix/X" + display.substr(1);
    for (int i = 0; i < 100 && ::access(socket.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const pid_t tray = Spawn({"trayer", "--edge", "top", "--align", "right"}, display);

    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::setenv("QUAVERO_PROFILE", (dir / "quavero.ini").c_str(), 1);
        ::_exit(program());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Stop(tray);
    Stop(server);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct STrayCase {
    const char* name;
    int minimizeToSystray;
    int (*program)();
};

class Tray : public ::testing::TestWithParam<STrayCase> {};

} // namespace

TEST_P(Tray, RunsItsRoundOnARealNotificationArea) {
    if (!Installed("Xvfb") || !Installed("trayer"))
        GTEST_SKIP() << "Xvfb or trayer is not installed";
    CTempDir dir;
    dir.MakeDir("music");
    CIniProfile profile(dir / "quavero.ini");
    profile.WriteString(SettingsKey::kSectionMp3, SettingsKey::kFilePath, dir / "music");
    profile.WriteInt(SettingsKey::kSectionAdvanced, SettingsKey::kMinimizeToSystray,
                     GetParam().minimizeToSystray);
    const int status = OnTestTray(dir, GetParam().program);
    if (status == kNoTray)
        GTEST_SKIP() << "the tray did not come up on the test's X server";
    EXPECT_EQ(status, 0) << "failed at step " << status;
}

INSTANTIATE_TEST_SUITE_P(
    Rounds, Tray,
    ::testing::Values(STrayCase{"MinimisingHidesBehindTheIconAndAClickBringsItBack", 1, RunProgram},
                      STrayCase{"TheOptionSheetShowsAndRemovesTheIconAtOnce", 0, RunOptionSheet}),
    [](const ::testing::TestParamInfo<STrayCase>& round) { return std::string(round.param.name); });
