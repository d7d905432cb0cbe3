#include "catalog/QuavDoc.h"
#include "frame/CommandTable.h"
#include "frame/FolderWatcher.h"
#include "frame/MainFrame.h"
#include "gui/AppFixture.h"
#include "model/Mp3File.h"
#include "platform/WatchTable.h"
#include "settings/AppSettings.h"
#include "settings/SettingsKeys.h"
#include "support/RecordingView.h"
#include "views/LeftView.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"
#include "views/TrackTableModel.h"

#include <QAction>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QStatusBar>
#include <QTreeWidgetItem>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace SettingsKey;
using Watch = CAppFixture;

namespace {

std::vector<std::string> RowNames(CQuavView& view) {
    std::vector<std::string> names;
    for (int row = 0; row < view.Model().rowCount(); ++row)
        names.emplace_back(view.Model().Track(row)->FileName());
    return names;
}

} // namespace

// A track copied into a watched folder shows within 2 s, with the node and the selected row the
// user was on; a folder removed goes from the tree.
TEST_F(Watch, AChangedFolderIsReadAgainWhereTheUserIs) {
    Track("music/Bob/1.mp3", "Bob");
    Track("music/Bob/2.mp3", "Bob");
    Track("music/Ann/3.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CLeftView& tree = *Frame().GetLeftView();
    CQuavView& view = *Frame().GetTrackListView();
    QTreeWidgetItem* bob = nullptr;
    for (int i = 0; i < tree.topLevelItem(0)->childCount(); ++i)
        if (tree.topLevelItem(0)->child(i)->text(0) == QStringLiteral("Bob"))
            bob = tree.topLevelItem(0)->child(i);
    ASSERT_NE(bob, nullptr);
    tree.setCurrentItem(bob);
    view.List()->SelectionModel()->select(view.Model().index(1, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(RowNames(view), (std::vector<std::string>{"1.mp3", "2.mp3"}));

    const auto waitFor = [&](const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000)
            Idle();
        return clock.elapsed();
    };
    Track("music/Bob/0.mp3", "Bob");
    EXPECT_LT(waitFor([&] { return RowNames(view).size() == 3; }), 2000);
    EXPECT_EQ(tree.currentItem()->text(0), QStringLiteral("Bob"));
    EXPECT_EQ(RowNames(view), (std::vector<std::string>{"0.mp3", "1.mp3", "2.mp3"}));
    ASSERT_EQ(view.SelectedTracks().size(), 1U);
    EXPECT_EQ(view.SelectedTracks()[0]->FileName(), "2.mp3");

    std::filesystem::remove_all(dir / "music/Ann");
    EXPECT_LT(waitFor([&] { return tree.topLevelItem(0)->childCount() == 1; }), 2000);
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 3U);
    EXPECT_EQ(Frame().Watcher().WatchCount(), 2U) << "the address and Bob";

    // The snapshot at face value: nothing watched, nothing read again.
    app->Settings().CheckForChanges = 0;
    Frame().Commands().Action(ECommandId::Refresh)->trigger();
    EXPECT_EQ(Frame().Watcher().WatchCount(), 0U);
}

// A watched folder moved away and another moved to its name: the watches follow the folders,
// so the one now at the name is watched anew and listed again, subfolders included. So it is
// when the swap comes before the watches are set, as the window shows.
class WatchSwap : public CAppFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(WatchSwap, AFolderReplacedAtItsNameIsWatchedAnew) {
    Track("music/Album/CD1/1.mp3", "Old");
    Track("music/Album2/CD1/2.mp3", "New");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    const bool watchedFirst = GetParam();
    while (watchedFirst && !Frame().Watcher().Settled())
        Idle();
    EXPECT_EQ(Frame().Watcher().WatchCount(), watchedFirst ? 5U : 0U);
    const auto paths = [&] {
        std::vector<std::string> found = RelativePaths(Doc());
        for (std::string& path : found)
            path.erase(0, std::string("music/").size());
        std::sort(found.begin(), found.end());
        return found;
    };
    const auto waitFor = [&](const std::vector<std::string>& expected) {
        QElapsedTimer clock;
        clock.start();
        while (paths() != expected && clock.elapsed() < 5000)
            Idle();
        return paths();
    };
    std::filesystem::rename(dir / "music/Album", dir / "music/AlbumOld");
    std::filesystem::rename(dir / "music/Album2", dir / "music/Album");
    EXPECT_EQ(waitFor({"Album/CD1/2.mp3", "AlbumOld/CD1/1.mp3"}),
              (std::vector<std::string>{"Album/CD1/2.mp3", "AlbumOld/CD1/1.mp3"}));
    Track("music/Album/CD1/3.mp3", "New");
    EXPECT_EQ(
        waitFor({"Album/CD1/2.mp3", "Album/CD1/3.mp3", "AlbumOld/CD1/1.mp3"}),
        (std::vector<std::string>{"Album/CD1/2.mp3", "Album/CD1/3.mp3", "AlbumOld/CD1/1.mp3"}));
    Track("music/AlbumOld/CD1/4.mp3", "Old");
    EXPECT_EQ(
        waitFor({"Album/CD1/2.mp3", "Album/CD1/3.mp3", "AlbumOld/CD1/1.mp3", "AlbumOld/CD1/4.mp3"}),
        (std::vector<std::string>{"Album/CD1/2.mp3", "Album/CD1/3.mp3", "AlbumOld/CD1/1.mp3",
                                  "AlbumOld/CD1/4.mp3"}));
}

INSTANTIATE_TEST_SUITE_P(BeforeAndAfterTheWatches, WatchSwap, ::testing::Bool());

// The window shows before a folder is watched; the watches come after it, in the background,
// and a track put into a folder before its watch is set is read all the same.
TEST_F(Watch, WatchesComeAfterTheWindowAndMissNothing) {
    constexpr int kFolders = 400;
    Track("music/Bob/1.mp3", "Bob");
    for (int i = 0; i < kFolders; ++i)
        dir.MakeDir("music/Empty/" + std::to_string(i));
    Set(kSectionMp3, kFilePath, Music());
    std::size_t watchedAtShow = 1;
    Start({}, [&] { watchedAtShow = Frame().Watcher().WatchCount(); });
    EXPECT_EQ(watchedAtShow, 0U);
    QElapsedTimer clock;
    for (clock.start(); Doc().GetTrackList().GetSize() < 1 && clock.elapsed() < 5000;)
        Idle();
    EXPECT_EQ(Frame().Watcher().WatchCount(), 0U) << "the window's first paint goes first";
    Track("music/Empty/399/2.mp3", "Ann");
    while ((!Frame().Watcher().Settled() || Doc().GetTrackList().GetSize() < 2) &&
           clock.elapsed() < 5000)
        Idle();
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 2U);
    const CWatchTable& table = Frame().Watcher().Table();
    EXPECT_EQ(Frame().Watcher().WatchCount(), kFolders + 3U) << "the address, Bob, Empty";
    EXPECT_LE(table.Bytes() / table.Size(), 100U);
}

// The window shows the snapshot as it is; the look for what changed since comes after, and what
// it finds shows as a re-read does, and is kept in the snapshot.
TEST_F(Watch, TheSnapshotShowsFirstAndItsLookComesAfter) {
    // The number of tracks each rebuild ends with.
    struct SCounts : CView {
        explicit SCounts(CQuavDoc& document) : doc(document) { doc.AddView(this); }
        ~SCounts() override { doc.RemoveView(this); }
        void OnUpdate(CView*, EHint hint, const TrackArray*) override {
            if (hint == EHint::RebuildEnd)
                counts.push_back(doc.GetTrackList().GetSize());
        }
        CQuavDoc& doc;
        std::vector<std::size_t> counts;
    };
    const auto settle = [this] {
        QElapsedTimer clock;
        for (clock.start(); (Doc().IsWalking() || Doc().GetTrackList().GetSize() == 0 ||
                             !Frame().Watcher().Settled()) &&
                            clock.elapsed() < 5000;)
            Idle();
    };
    Track("music/Bob/1.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    settle();
    app.reset();
    Track("music/Ann/2.mp3", "Ann");
    std::unique_ptr<SCounts> rebuilds;
    Start({}, [&] { rebuilds = std::make_unique<SCounts>(Doc()); });
    settle();
    EXPECT_EQ(rebuilds->counts, (std::vector<std::size_t>{1, 2}));
    rebuilds.reset();
    app.reset();
    Set(kSectionAdvanced, kCheckForChanges, "0");
    Start();
    settle();
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 2U) << "the snapshot holds what the look found";
}

// A share tells no watch of another machine's changes: its folders are looked at every
// PollSeconds instead (here a local folder taken for one), and the status bar says so once.
TEST_F(Watch, AShareIsLookedAtEveryPollSeconds) {
    struct SPollEverywhere {
        SPollEverywhere() { CFolderWatcher::PollEverywhere(true); }
        ~SPollEverywhere() { CFolderWatcher::PollEverywhere(false); }
    } everywhere;
    Track("music/Bob/1.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionAdvanced, kPollSeconds, "1");
    Start();
    EXPECT_TRUE(Frame().Watcher().Polling());
    EXPECT_EQ(Frame().Watcher().WatchCount(), 0U);
    EXPECT_EQ(Frame().statusBar()->currentMessage(),
              QStringLiteral("This address is on a network share: it is checked for changes "
                             "every second"));
    Track("music/Bob/2.mp3", "Bob");
    Track("music/Ann/3.mp3", "Ann");
    QElapsedTimer clock;
    clock.start();
    while (Doc().GetTrackList().GetSize() < 3 && clock.elapsed() < 5000)
        Idle();
    EXPECT_EQ(FileNames(Doc()), (std::vector<std::string>{"3.mp3", "1.mp3", "2.mp3"}));
    std::filesystem::remove(dir / "music/Bob/1.mp3");
    while (Doc().GetTrackList().GetSize() > 2 && clock.elapsed() < 10000)
        Idle();
    EXPECT_EQ(FileNames(Doc()), (std::vector<std::string>{"3.mp3", "2.mp3"}));
    // The snapshot written into the address after each change is no change of the share's.
    const CRecordingView hints(Doc());
    for (clock.start(); clock.elapsed() < 2500;)
        Idle();
    EXPECT_TRUE(hints.hints.empty());

    EXPECT_EQ(CFolderWatcher::PollNote(60),
              QStringLiteral("This address is on a network share: "
                             "it is checked for changes every minute"));
    EXPECT_TRUE(CFolderWatcher::PollNote(120).endsWith(QStringLiteral("every 2 minutes")));
    EXPECT_TRUE(CFolderWatcher::PollNote(90).endsWith(QStringLiteral("every 90 seconds")));
}
