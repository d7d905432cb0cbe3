// Start-up and shut-down of the real application: the window, its first address, and the
// settings it writes when it closes.
#include "app/CommandLine.h"
#include "catalog/CatalogView.h"
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "frame/AddressBar.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "frame/StatusPanes.h"
#include "frame/TrayIcon.h"
#include "frame/WindowPlacement.h"
#include "gui/AppFixture.h"
#include "model/Mp3File.h"
#include "platform/CommandIds.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "settings/SettingsKeys.h"
#include "support/RebuildWatcher.h"
#include "views/LeftView.h"
#include "views/QuavView.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidgetItem>
#include <QUrl>
#include <QWindow>

#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

using namespace SettingsKey;
using Startup = CAppFixture;
using Shutdown = CAppFixture;
using Keys = std::vector<std::string>;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TEST_F(Startup, WithoutAProfileTheWindowShowsTheMusicFolder) {
    const std::string music = dir.MakeDir("home/Music");
    Track("home/Music/a.mp3", "Zed");
    Track("home/Music/sub/b.mp3", "alpha");
    Track("home/Music/c.mp3", "Beta");
    CScopedEnv home("HOME", (dir / "home").c_str());
    CScopedEnv config("XDG_CONFIG_HOME", nullptr);
    CScopedEnv musicDir("XDG_MUSIC_DIR", nullptr);
    CScopedEnv profileVar("QUAVERO_PROFILE", nullptr);
    Start();

    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.windowTitle(), Q(music) + QStringLiteral(" - Quavero"));
    const QRect first = CWindowPlacement::FirstWindow();
    EXPECT_EQ(frame.geometry(), first) << "two thirds of the screen, in its middle";
    EXPECT_EQ(frame.Splitter().sizes().value(0), 250);
    QTreeWidgetItem* root = Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), Q(music));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(frame.GetLeftView()->currentItem(), root);
    EXPECT_EQ(ChildTexts(root), (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta"),
                                             QStringLiteral("Zed")}));
    EXPECT_EQ(frame.StatusPanes().Text(CStatusPanes::kLocation), Q(music));
    EXPECT_EQ(frame.StatusPanes().Text(CStatusPanes::kCount), QStringLiteral("3 file(s)"));
    EXPECT_EQ(frame.StatusPanes().IconImage(CStatusPanes::kMode), ResourceId::kImageArtist);
    EXPECT_EQ(AddressBox().Entries(), QStringList{Q(music)});
    EXPECT_EQ(AddressBox().EntryImage(0), ResourceId::kImageFolder);
    EXPECT_EQ(AddressBox().currentText(), Q(music));
    ASSERT_NE(frame.GetTrackListView(), nullptr);
    EXPECT_TRUE(frame.GetTrackListView()->IsReady());
    EXPECT_EQ(frame.GetTrackListView()->ViewStyle(), EViewStyle::Details);

    Close();
    const CIniProfile written(dir / "home/.config/quavero/quavero.ini");
    EXPECT_EQ(written.GetString(kSectionMp3, kFilePath, ""), music);
    EXPECT_EQ(written.GetString(kSectionUser, "Address0", ""), music);
    EXPECT_EQ(written.GetInt(kSectionUser, kShowLabels, -1), 1);
    EXPECT_EQ(written.GetInt(kSectionUser, kViewType, -1), 0);
    EXPECT_EQ(written.GetInt(kSectionUser, kCx, -1), first.width());
    EXPECT_EQ(written.GetInt(kSectionUser, kY, -1), first.y());
}

// The real program asked for its usage or version answers without a display to open a
// window on, and writes nothing; an option neither its own nor Qt's, or a second address, is
// named on standard error before the usage, with status 2.
TEST_F(Startup, HelpVersionAndUnknownOptionsAnswerWithoutAWindow) {
    const struct {
        const char* arguments;
        int status;
        const char* out;
        const char* error;
    } cases[] = {
        {"--help", 0, "usage: quavero [--minimized] [Qt options] [FOLDER | FILE.mp3]\n", ""},
        {"-h", 0, "usage: quavero ", ""},
        {"-platform xcb --version", 0, "quavero 2.2.0\n", ""},
        {"-style Fusion --bogus", 2, "", "quavero: unknown option '--bogus'\nusage: quavero ["},
        {"a.mp3 -x", 2, "", "quavero: unknown option '-x'\nusage: quavero "},
        {"-style Fusion a b", 2, "",
         "quavero: only one address is taken, not 'b' as well\nusage: "},
    };
    for (const auto& c : cases) {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "
                                    "timeout 60 " QUAVERO_APP " " +
                                    std::string(c.arguments) + " >'" + dir / "out.txt" + "' 2>'" +
                                    dir / "error.txt" + "'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.status) << c.arguments;
        EXPECT_TRUE(ReadFileBytes(dir / "out.txt").starts_with(c.out)) << c.arguments;
        const std::string error = ReadFileBytes(dir / "error.txt");
        EXPECT_TRUE(*c.error == 0 ? error.empty() : error.starts_with(c.error)) << error;
    }
    EXPECT_NE(ReadFileBytes(dir / "error.txt").find("FILE.mp3  "), std::string::npos);
    EXPECT_EQ(Stored(kSectionMp3, kFilePath), "<absent>");
    // Qt's own options, with one dash or two, and addresses are left to the window.
    std::vector<std::string> passing = {
        "quavero",  "-style", "Fusion",         "--reverse",        "-platform", "offscreen",
        "-display", ":0",     "--style=Fusion", "-qwindowgeometry", "640x480",   "a.mp3"};
    std::vector<char*> argv;
    argv.reserve(passing.size());
    for (std::string& argument : passing)
        argv.push_back(argument.data());
    EXPECT_EQ(CCommandLine::Answer(static_cast<int>(argv.size()), argv.data()), std::nullopt);
}

TEST_F(Startup, AProfileGivesTheFolderTheModeTheAddressesAndTheBars) {
    Track("music/a.mp3", "Ann", "X", 17);
    Track("music/b.mp3", "Bob", "X", 17);
    Track("music/c.mp3", "Ann", "Y", 13);
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, kViewType, "1");
    Set(kSectionUser, kShowLabels, "0");
    Set(kSectionUser, "Address0", dir / "a0");
    Set(kSectionUser, "Address1", "");
    Set(kSectionUser, "Address2", dir / "a2");
    Set(kSectionUser, "Address3", Music());
    Start();

    CMainFrame& frame = Frame();
    QTreeWidgetItem* root = Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(ChildTexts(root), (QStringList{QStringLiteral("Pop"), QStringLiteral("Rock")}));
    EXPECT_EQ(ChildTexts(root->child(1)),
              (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob")}));
    EXPECT_FALSE(root->child(1)->isExpanded());
    EXPECT_TRUE(frame.Commands().Action(ECommandId::ModeGenreArtist)->isChecked());
    EXPECT_FALSE(frame.Commands().Action(ECommandId::ModeArtist)->isChecked());
    EXPECT_EQ(frame.StatusPanes().IconImage(CStatusPanes::kMode), ResourceId::kImageGenre);

    EXPECT_EQ(AddressBox().Entries(), (QStringList{Q(dir / "a0"), Q(dir / "a2"), Q(Music())}));
    EXPECT_EQ(AddressBox().currentIndex(), 2);

    EXPECT_FALSE(frame.Commands().Action(ECommandId::TextLabels)->isChecked());
    EXPECT_EQ(ToolButton(ECommandId::Play)->size(), QSize(32, 30));
    EXPECT_EQ(ToolButton(ECommandId::Play)->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

TEST_F(Startup, AStartAddressThatIsGoneGivesAnEmptyWindow) {
    Set(kSectionMp3, kFilePath, dir / "gone");
    Start();
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Quavero"));
    EXPECT_EQ(Frame().GetLeftView()->topLevelItemCount(), 0);
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 0u);
    EXPECT_EQ(AddressBox().Entries(), QStringList{Q(dir / "gone")});
    EXPECT_EQ(Stored(kSectionMp3, kFilePath), dir / "gone");
    EXPECT_FALSE(Frame().Commands().Action(ECommandId::Refresh)->isEnabled()) << "no address";
    EXPECT_TRUE(Named<QLabel>("emptyHint").isVisible()) << "it says how to open a folder";
}

// The offscreen platform has no notification area: with the tray option on, the window is
// minimised as usual rather than hidden with nothing to bring it back (the real tray is tried in
// tests/tray).
TEST_F(Startup, MinimisedStartWithoutANotificationAreaKeepsTheWindowReachable) {
    Track("music/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start({QStringLiteral("--minimized")});
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Frame().isMinimized());
    EXPECT_EQ(Frame().TrayIcon(), nullptr);
    app.reset();

    Set(kSectionAdvanced, kMinimizeToSystray, "1");
    Start({QStringLiteral("--minimized")});
    ASSERT_NE(Frame().TrayIcon(), nullptr);
    EXPECT_FALSE(Frame().TrayIcon()->IsEnabled());
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Frame().isMinimized());
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 1u);
    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(ChildTexts(Root()), QStringList{QStringLiteral("Ann")});
}

TEST_F(Startup, NewReopensTheStartAddress) {
    Track("music/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    ASSERT_TRUE(Frame().GoToAddress(Q(dir / "other")));
    EXPECT_EQ(Frame().windowTitle(), Q(dir / "other") + QStringLiteral(" - Quavero"));
    EXPECT_EQ(Stored(kSectionMp3, kFilePath), dir / "other");

    Frame().Commands().Action(ECommandId::New)->trigger();
    EXPECT_EQ(Doc().Address(), Music());
    EXPECT_EQ(Root()->text(0), Q(Music()));
    EXPECT_EQ(ChildTexts(Root()), QStringList{QStringLiteral("Ann")});
    EXPECT_EQ(app->Settings().FilePath, Music());
}

TEST_F(Shutdown, WritesTheWindowsValuesInOrder) {
    Track("music/a.mp3", "Ann");
    dir.MakeDir("other");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, kSortingColumn, "-3");
    Start();
    CMainFrame& frame = Frame();
    AddressBox().setEditText(Q(dir / "other"));
    ASSERT_TRUE(frame.GoToAddress(Q(dir / "other")));
    frame.AddAddressEntry(Q(dir / "other"));
    frame.Commands().Action(ECommandId::ModeAlbumArtist)->trigger();
    frame.Commands().Action(ECommandId::TextLabels)->trigger();
    frame.Commands().Action(ECommandId::DisplayAll)->trigger();
    frame.setGeometry(100, 200, 640, 480);
    Idle();
    frame.showMaximized();
    Idle();
    ASSERT_TRUE(frame.isMaximized());
    Close();

    EXPECT_EQ(KeysOf(kSectionUser),
              (Keys{kSortingColumn, kShowLabels, kViewType, kDisplayAll, kSecondarySortingColumn,
                    "Address0", "Address1", kCx, kCy, kX, kY}));
    EXPECT_EQ(Stored(kSectionUser, kShowLabels), "0");
    EXPECT_EQ(Stored(kSectionUser, kViewType), "2");
    EXPECT_EQ(Stored(kSectionUser, kDisplayAll), "1");
    EXPECT_EQ(Stored(kSectionUser, kSortingColumn), "-3");
    EXPECT_EQ(Stored(kSectionUser, "Address0"), dir / "other");
    EXPECT_EQ(Stored(kSectionUser, "Address1"), Music());
    EXPECT_EQ(Stored(kSectionUser, kX), "100");
    EXPECT_EQ(Stored(kSectionUser, kY), "200");
    EXPECT_EQ(Stored(kSectionUser, kCx), "640");
    EXPECT_EQ(Stored(kSectionUser, kCy), "480");
    EXPECT_EQ(Stored(kSectionMp3, kFilePath), dir / "other");
}

TEST_F(Shutdown, AddressKeysBeyondTheListKeepTheirText) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    // Another instance wrote these while this one ran.
    Set(kSectionUser, "Address2", "old2");
    Set(kSectionUser, "Address4", "old4");
    Close();
    EXPECT_EQ(Stored(kSectionUser, "Address0"), Music());
    EXPECT_EQ(Stored(kSectionUser, "Address1"), "<absent>");
    EXPECT_EQ(Stored(kSectionUser, "Address2"), "old2");
    EXPECT_EQ(Stored(kSectionUser, "Address4"), "old4");
}

// At any width the panes stay inside the bar, side by side, none an empty sliver; the count,
// size and time panes keep their widths while the bar has room for them.
TEST_F(Startup, StatusPanesFitTheWindow) {
    Start();
    CMainFrame& frame = Frame();
    frame.show();
    for (const int width : {600, 420, 200}) {
        frame.resize(width, 400);
        Idle();
        int right = -1;
        for (int pane = 0; pane < CStatusPanes::kPaneCount; ++pane) {
            const QWidget* box = frame.StatusPanes().Pane(pane);
            if (!box->isVisible())
                continue;
            const QRect inBar = box->geometry().translated(box->parentWidget()->pos());
            EXPECT_GE(box->width(), 24) << width << " pane " << pane;
            EXPECT_GT(inBar.left(), right) << width << " pane " << pane;
            EXPECT_LE(inBar.right(), frame.statusBar()->width()) << width << " pane " << pane;
            right = inBar.right();
        }
        if (width != 600)
            continue;
        for (int pane = 0; pane < CStatusPanes::kPaneCount; ++pane)
            EXPECT_TRUE(frame.StatusPanes().Pane(pane)->isVisible()) << "pane " << pane;
        EXPECT_EQ(frame.StatusPanes().Pane(CStatusPanes::kSize)->width(),
                  frame.StatusPanes().Pane(CStatusPanes::kTime)->width());
    }
}

// A text wider than its pane ends in "…" and shows whole as a tooltip; the totals are never
// cut; a narrow bar keeps one of location and information, the selected track's when there is
// one.
TEST_F(Startup, StatusTextsAreCutVisiblyAndTotalsNever) {
    Track("music/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    frame.show();
    frame.resize(600, 400);
    Idle();
    CStatusPanes& panes = frame.StatusPanes();
    const QString location = QStringLiteral("A node whose name is much longer than its pane");
    const QString size = QStringLiteral("109981.9 MB");
    panes.SetText(CStatusPanes::kLocation, location);
    panes.SetText(CStatusPanes::kSize, size);
    panes.SetText(CStatusPanes::kCount, QStringLiteral("20000 file(s)"));
    EXPECT_TRUE(panes.ShownText(CStatusPanes::kLocation).endsWith(QChar(0x2026)));
    EXPECT_EQ(panes.ToolTip(CStatusPanes::kLocation), location);
    EXPECT_EQ(panes.Text(CStatusPanes::kLocation), location);
    EXPECT_EQ(panes.ShownText(CStatusPanes::kSize), size);
    EXPECT_TRUE(panes.ToolTip(CStatusPanes::kSize).isEmpty());

    const auto shown = [&panes](int pane) { return panes.Pane(pane)->isVisible(); };
    frame.resize(380, 400);
    Idle();
    EXPECT_TRUE(shown(CStatusPanes::kLocation) != shown(CStatusPanes::kInformation));
    EXPECT_TRUE(shown(CStatusPanes::kLocation)) << "no track selected";
    frame.GetTrackListView()->SelectAll();
    EXPECT_FALSE(shown(CStatusPanes::kLocation));
    EXPECT_TRUE(shown(CStatusPanes::kInformation)) << "the selected track's information";
    for (const int pane : {CStatusPanes::kCount, CStatusPanes::kSize, CStatusPanes::kTime}) {
        EXPECT_TRUE(shown(pane)) << pane;
        EXPECT_EQ(panes.ShownText(pane), panes.Text(pane)) << pane;
    }
}

// A folder on the command line, or a track for its folder with its row selected, opens instead
// of the last address and joins the address list; a folder or a track dropped on the window
// opens the same way. A track beyond MaxRow in the whole address is shown in its album's node.
TEST_F(Startup, CommandLineAndDroppedFoldersAndTracksOpen) {
    Track("music/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    Track("other/c.mp3", "Cy");
    Track("third/d.mp3", "Al");
    Track("third/e.mp3", "Eve");
    dir.Write("third/notes.txt", "x");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionAdvanced, kMaxRow, "1");
    const auto selected = [this] {
        const TrackArray tracks = Frame().GetTrackListView()->SelectedTracks();
        return tracks.size() == 1 ? std::string(tracks.front()->FileName()) : std::string("-");
    };
    for (const std::string& argument : {dir / "other", dir / "other/c.mp3"}) {
        Start({Q(argument)});
        EXPECT_EQ(Doc().Address(), dir / "other") << argument;
        EXPECT_TRUE(AddressBox().Entries().contains(Q(dir / "other"))) << argument;
        EXPECT_EQ(selected(), argument.ends_with(".mp3") ? "c.mp3" : "-");
        // The track's album node, under its artist's.
        const QTreeWidgetItem* current = Frame().GetLeftView()->currentItem();
        const QTreeWidgetItem* artist = argument.ends_with(".mp3") ? current->parent() : current;
        EXPECT_EQ(artist->text(0),
                  argument.ends_with(".mp3") ? QStringLiteral("Cy") : Q(dir / "other"));
        Close();
        app.reset();
        Set(kSectionMp3, kFilePath, Music());
    }

    Start();
    ASSERT_EQ(Doc().Address(), Music());
    const auto drop = [this](const std::string& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Q(path))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&Frame(), &enter);
        QDropEvent release(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Frame(), &release);
        return enter.isAccepted();
    };
    EXPECT_FALSE(drop(dir / "third/notes.txt")) << "not a track";
    EXPECT_EQ(Doc().Address(), Music());
    EXPECT_TRUE(drop(dir / "third"));
    EXPECT_EQ(Doc().Address(), dir / "third");
    EXPECT_TRUE(AddressBox().Entries().contains(Q(dir / "third")));
    EXPECT_EQ(selected(), "-");
    EXPECT_TRUE(drop(dir / "third/e.mp3"));
    EXPECT_EQ(selected(), "e.mp3");
}

// In French, Qt's own texts are French too where Qt's translations are installed.
TEST_F(Startup, ToolkitTextsFollowTheLanguage) {
    CScopedEnv french("QUAVERO_LANG", "fr");
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                       QStringLiteral("/qtbase_fr.qm")))
        GTEST_SKIP() << "Qt's French translation is not installed (qt6-translations-l10n)";
    Start();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
}

// The window is on screen, where it was last, before the first address is walked, whether the
// profile or the command line names it; the walk counts its files and stops as one started from
// the window does: what was read is the catalog, marked incomplete, and no snapshot is written.
class CStartWalk : public CAppFixture, public testing::WithParamInterface<bool> {};

TEST_P(CStartWalk, ShowsTheWindowFirstAndCanBeStopped) {
    const bool fromCommandLine = GetParam();
    for (int i = 0; i < 40; ++i)
        Track("music/" + std::to_string(i) + ".mp3", "Ann");
    Set(kSectionMp3, kFilePath, fromCommandLine ? dir / "gone" : Music());
    Set(kSectionUser, kX, "70");
    Set(kSectionUser, kY, "60");
    Set(kSectionUser, kCx, "520");
    Set(kSectionUser, kCy, "380");
    struct {
        bool visible = false;
        QRect geometry;
        QString address;
        bool ran = false;
        bool exposed = false;
        QString count;
        bool refresh = true;
    } seen;
    // The button shows once the walk is under way, and is clicked as soon as it is there.
    std::function<void()> clickWhenShown = [&] {
        QTimer::singleShot(1, &Frame(), [&] {
            auto& stop = Named<QToolButton>("stopButton");
            if (!stop.isVisible()) {
                clickWhenShown();
                return;
            }
            seen.ran = Doc().IsWalking();
            seen.exposed = QTest::qWaitForWindowExposed(Frame().windowHandle());
            seen.count = Frame().StatusPanes().Text(CStatusPanes::kCount);
            seen.refresh = Frame().Commands().Action(ECommandId::Refresh)->isEnabled();
            QTest::mouseClick(&stop, Qt::LeftButton);
        });
    };
    std::unique_ptr<CRebuildWatcher> hook;
    Start(fromCommandLine ? QStringList{Q(Music())} : QStringList{}, [&] {
        hook = std::make_unique<CRebuildWatcher>(Doc(), [&] {
            seen.visible = Frame().isVisible();
            seen.geometry = Frame().geometry();
            seen.address = AddressBox().currentText();
            clickWhenShown();
            // Longer than the window waits between two looks at its events.
            std::this_thread::sleep_for(std::chrono::milliseconds(80));
        });
    });
    Idle();
    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(seen.geometry, QRect(70, 60, 520, 380));
    EXPECT_EQ(seen.address, Q(Music())) << "the box names the folder walked";
    ASSERT_TRUE(seen.ran);
    EXPECT_TRUE(seen.exposed);
    EXPECT_EQ(seen.count, QStringLiteral("1 file(s)"));
    EXPECT_FALSE(seen.refresh) << "commands are held during the walk";
    EXPECT_FALSE(Named<QLabel>("emptyHint").isVisible());
    const std::size_t read = Doc().GetTrackList().GetSize();
    EXPECT_GE(read, 1u);
    EXPECT_LT(read, 40u);
    EXPECT_EQ(Doc().Address(), Music());
    EXPECT_TRUE(Frame().windowTitle().endsWith(QStringLiteral(" (incomplete) - Quavero")));
    EXPECT_FALSE(std::filesystem::exists(dir / "music/mp3cache.qvc"));
    EXPECT_FALSE(Named<QToolButton>("stopButton").isVisible());
}

INSTANTIATE_TEST_SUITE_P(Startup, CStartWalk, testing::Values(false, true),
                         [](const auto& row) { return row.param ? "CommandLine" : "Profile"; });

// A close during the walk at start-up hides the window at once, stops the walk and writes the
// settings when it has ended.
TEST_F(Startup, ACloseDuringTheFirstWalkStopsItAndCloses) {
    for (int i = 0; i < 40; ++i)
        Track("music/" + std::to_string(i) + ".mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    bool visibleAfterClose = true;
    std::unique_ptr<CRebuildWatcher> hook;
    Start({}, [&] {
        hook = std::make_unique<CRebuildWatcher>(Doc(), [&] {
            Frame().close();
            visibleAfterClose = Frame().isVisible();
        });
    });
    Idle();
    EXPECT_FALSE(visibleAfterClose);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 0u) << "the walk stopped at its first file";
    EXPECT_EQ(Stored(kSectionUser, kViewType), "0");
    EXPECT_EQ(Stored(kSectionUser, "Address0"), Music());
    EXPECT_FALSE(std::filesystem::exists(dir / "music/mp3cache.qvc"));
}
