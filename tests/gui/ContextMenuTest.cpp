// The context menus of the tree, the list and the tray icon in the real window. What they hand
// over goes to the recording player and file manager of tests/support, in a desktop of the
// test's own that GIO reads once per process: those cases run alone.
#include "frame/ContextMenus.h"
#include "frame/MainFrame.h"
#include "frame/TrayIcon.h"
#include "gui/AppFixture.h"
#include "model/Playlist.h"
#include "settings/SettingsKeys.h"
#include "support/ChildProcess.h"
#include "support/RecordingPlayer.h"
#include "views/LeftView.h"
#include "views/QuavView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QTreeWidgetItem>

#include <functional>

using namespace SettingsKey;

namespace {

class ContextMenus : public CAppFixture {
protected:
    // Ann has a.mp3 and c.mp3, Bob b.mp3; the list sorts by file name from Z to A and shows
    // one row.
    void StartOnThreeTracks() {
        player.UseDesktop();
        ::setenv("TMPDIR", dir.MakeDir("tmp").c_str(), 1);
        Track("music/a.mp3", "Ann");
        Track("music/b.mp3", "Bob");
        Track("music/c.mp3", "Ann");
        Set(kSectionMp3, kFilePath, Music());
        Set(kSectionUser, kSortingColumn, "-1");
        Set(kSectionAdvanced, kMaxRow, "1");
        Start();
        Frame().show();
    }
    QTreeWidgetItem* Node(const char* text) const {
        for (int i = 0; i < Root()->childCount(); ++i)
            if (Root()->child(i)->text(0) == QLatin1String(text))
                return Root()->child(i);
        return nullptr;
    }
    // Asks for the node's menu as a right click does, and works the menu once it is open.
    void RightClick(QTreeWidgetItem* node, const std::function<void(QMenu&)>& act) {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                watch.stop();
                act(*menu);
                menu->close();
            }
        });
        watch.start(5);
        CLeftView& tree = *Frame().GetLeftView();
        const QPoint at = tree.visualItemRect(node).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree.viewport(), &event);
    }
    static QStringList Texts(const QMenu& menu) {
        QStringList texts;
        for (const QAction* action : menu.actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }

    CRecordingPlayer player{dir};
};

} // namespace

// All the node's tracks, not only the rows shown, in the order the list sorts them.
TEST_F(ContextMenus, ANodesMenuPlaysAllItsTracksInTheListsOrder) {
    if (RerunAlone())
        return;
    StartOnThreeTracks();
    QStringList texts;
    RightClick(Node("Ann"), [&texts](QMenu& menu) {
        texts = Texts(menu);
        menu.actions().front()->trigger();
    });
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&Play"), QStringLiteral("&Enqueue"),
                                  QStringLiteral("-"), QStringLiteral("P&roperties ...")}));
    const std::string playlist = CPlaylist::Path();
    EXPECT_EQ(player.Received(), CRecordingPlayer::Args{playlist});
    EXPECT_EQ(ReadFileBytes(playlist), Music() + "/c.mp3\r\n" + Music() + "/a.mp3\r\n");
}

TEST_F(ContextMenus, OpenContainingFolderShowsTheTracksFolder) {
    if (RerunAlone())
        return;
    StartOnThreeTracks();
    CMainFrame& frame = Frame();
    EXPECT_FALSE(frame.ContextMenus().BuildTrackMenu()->actions().back()->isEnabled())
        << "no row selected";
    frame.GetTrackListView()->SelectAll();
    const std::unique_ptr<QMenu> menu = frame.ContextMenus().BuildTrackMenu();
    ASSERT_TRUE(menu->actions().back()->isEnabled());
    menu->actions().back()->trigger();
    EXPECT_EQ(player.Received(), CRecordingPlayer::Args{Music()})
        << "without a file manager on the session bus, the desktop's folder application";
}

// Without a notification area the icon does nothing, but its menu is there: Show/Hide and
// Quit, which closes the window as its close box does.
TEST_F(ContextMenus, TheTrayIconsMenuShowsHidesAndQuits) {
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionAdvanced, kMinimizeToSystray, "1");
    Start();
    Frame().show();
    ASSERT_NE(Frame().TrayIcon(), nullptr);
    QMenu* menu = Frame().TrayIcon()->Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Texts(*menu), (QStringList{QStringLiteral("&Show/Hide"), QStringLiteral("-"),
                                         QStringLiteral("&Quit")}));
    menu->actions().front()->trigger();
    EXPECT_TRUE(Frame().isVisible()) << "no tray to hide behind";
    menu->actions().back()->trigger();
    Idle();
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_NE(Stored(kSectionUser, kCx), "<absent>") << "quitting wrote the window's settings";
}
