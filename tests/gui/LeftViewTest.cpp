// The organisation tree in the real window: nodes of the three modes, sibling order, the
// tracks and totals of a selected node, and the empty state between rebuild hints.
#include "views/LeftView.h"
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "desktop/BusyAnimation.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "frame/StatusPanes.h"
#include "gui/AppFixture.h"
#include "model/Mp3File.h"
#include "settings/SettingsKeys.h"
#include "support/Mp3Maker.h"
#include "support/RecordingView.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"
#include "views/TrackTableModel.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTreeView>
#include <QTreeWidgetItem>

#include <filesystem>

using namespace SettingsKey;
using LeftView = CAppFixture;

namespace {

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}

QTreeWidgetItem* Child(QTreeWidgetItem* parent, const char* text) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == QString::fromUtf8(text))
            return parent->child(i);
    return nullptr;
}

} // namespace

TEST_F(LeftView, SiblingsStandInAlphabeticalOrderWithoutRegardToCase) {
    Track("music/1.mp3", "beta");
    Track("music/2.mp3", "Beta");
    Track("music/3.mp3", "alpha");
    Track("music/4.mp3", "Gamma");
    dir.Write("music/5.mp3", Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(300));
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionAdvanced, kGroupByAlbumArtist, "0");
    Start();
    EXPECT_EQ(ChildTexts(Root()), Texts({"<Undefined>", "alpha", "Beta", "beta", "Gamma"}));
    EXPECT_EQ(Root()->childCount(), 5);
    EXPECT_EQ(Frame().GetLeftView()->NodeTracks(Root()), Doc().GetTrackList().Tracks());
}

// Grouped by album artist: an artist's node holds its albums, a folder's album of three artists
// is a compilation, and siblings go by sort name, the compilations first.
TEST_F(LeftView, ArtistsHoldTheirAlbumsAndCompilationsComeFirst) {
    Track("music/a/1.mp3", "The Zoo", "Y");
    Track("music/a/2.mp3", "The Zoo", "X");
    Track("music/b/1.mp3", "Ann", "Mix");
    Track("music/b/2.mp3", "Bob", "Mix");
    Track("music/b/3.mp3", "Cy", "Mix");
    Track("music/c/1.mp3", "beta");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    EXPECT_EQ(ChildTexts(Root()), Texts({"Various Artists", "beta", "The Zoo"}));
    EXPECT_EQ(ChildTexts(Child(Root(), "Various Artists")), Texts({"Mix"}));
    QTreeWidgetItem* zoo = Child(Root(), "The Zoo");
    ASSERT_NE(zoo, nullptr);
    EXPECT_EQ(ChildTexts(zoo), Texts({"X", "Y"}));
    EXPECT_EQ(Frame().GetLeftView()->NodeTracks(zoo)->size(), 2u);
}

TEST_F(LeftView, GenreAndAlbumModesNestTheirArtists) {
    Track("music/1.mp3", "Ann", "Zeta", 17);
    Track("music/2.mp3", "Ann", "Alpha", 13);
    Track("music/3.mp3", "Bob", "Zeta", 17);
    Track("music/4.mp3", "Ann", "Zeta", 17);
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, kViewType, "1");
    Start();
    QTreeWidgetItem* rock = Child(Root(), "Rock");
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(ChildTexts(rock), Texts({"Ann", "Bob"}));
    const CLeftView& tree = *Frame().GetLeftView();
    const TrackArray& all = Doc().GetTrackList().Tracks();
    EXPECT_EQ(tree.NodeTracks(rock), (TrackArray{all[0], all[2], all[3]})) << "in list order";
    EXPECT_EQ(tree.NodeTracks(Child(rock, "Ann")), (TrackArray{all[0], all[3]}));
    QTreeWidgetItem* pop = Child(Root(), "Pop");
    ASSERT_NE(pop, nullptr);
    EXPECT_EQ(ChildTexts(pop), Texts({"Ann"}));
    EXPECT_EQ(tree.NodeTracks(Child(pop, "Ann"))->size(), 1u);
    EXPECT_FALSE(rock->isExpanded());

    Frame().SetDisplayMode(EDisplayMode::AlbumArtist);
    EXPECT_EQ(ChildTexts(Root()), Texts({"Alpha", "Zeta"}));
    EXPECT_EQ(ChildTexts(Child(Root(), "Zeta")), Texts({"Ann", "Bob"}));
}

TEST_F(LeftView, SelectingANodeShowsItsTracksAndTotals) {
    Track("music/1.mp3", "Ann", "X", 17, 20000);
    Track("music/2.mp3", "Bob", "X", 17, 500);
    Track("music/3.mp3", "Ann", "X", 17, 90000);
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CRecordingView recorder(Doc());
    QTreeWidgetItem* ann = Child(Root(), "Ann");
    ASSERT_NE(ann, nullptr);
    Frame().StatusPanes().SetText(CStatusPanes::kInformation, QStringLiteral("stale"));
    Frame().StatusPanes().SetIcon(CStatusPanes::kInformation, 0);
    Frame().GetLeftView()->setCurrentItem(ann);

    const std::optional<TrackArray> tracks = Frame().GetLeftView()->NodeTracks(ann);
    ASSERT_EQ(tracks->size(), 2u);
    ASSERT_EQ(recorder.hints, std::vector<EHint>{EHint::ShowTracks});
    EXPECT_EQ(*recorder.objects[0], *tracks);
    int sizeK = 0, seconds = 0;
    for (const CMp3File* track : *tracks) {
        EXPECT_EQ(track->Artist(), "Ann");
        sizeK += track->SizeK();
        seconds += track->Duration();
    }
    const CStatusPanes& panes = Frame().StatusPanes();
    EXPECT_EQ(panes.Text(CStatusPanes::kLocation), QStringLiteral("Ann"));
    EXPECT_EQ(panes.Text(CStatusPanes::kInformation), QString());
    EXPECT_EQ(panes.IconImage(CStatusPanes::kInformation), -1);
    EXPECT_EQ(panes.Text(CStatusPanes::kCount), QStringLiteral("2 file(s)"));
    EXPECT_EQ(panes.Text(CStatusPanes::kSize), QString::fromStdString(CMp3File::FormatSize(sizeK)));
    EXPECT_EQ(panes.Text(CStatusPanes::kTime),
              QString::fromStdString(CMp3File::FormatDuration(seconds)));
    EXPECT_GT(sizeK, 100);
}

TEST_F(LeftView, AnEmptyAddressShowsTheRootAlone) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(Root()->childCount(), 0);
    const CStatusPanes& panes = Frame().StatusPanes();
    EXPECT_EQ(panes.Text(CStatusPanes::kCount), QStringLiteral("0 file(s)"));
    EXPECT_EQ(panes.Text(CStatusPanes::kSize), QStringLiteral("  0.0 MB"));
    EXPECT_EQ(panes.Text(CStatusPanes::kTime), QStringLiteral("0:00"));
}

TEST_F(LeftView, TheFavouritesRootCarriesTheirTitle) {
    Track("one/a.mp3", "Ann");
    Track("two/b.mp3", "Bob");
    Set(kSectionMp3, kFilePath, "*");
    Set(kSectionUser, kFavoriteAddresses, dir / "one" + ";" + dir / "two");
    Start();
    EXPECT_EQ(Root()->text(0), QStringLiteral("My favorite addresses"));
    EXPECT_EQ(ChildTexts(Root()), Texts({"Ann", "Bob"}));
}

// Between the rebuild hints the tree holds nothing that points at tracks, the list is not ready
// and the window shows that it is busy.
TEST_F(LeftView, TheTreeIsEmptyWhileTheCatalogIsRebuilt) {
    Track("music/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    Doc().UpdateAllViews(nullptr, EHint::RebuildBegin);
    EXPECT_EQ(frame.GetLeftView()->topLevelItemCount(), 0);
    EXPECT_EQ(frame.GetLeftView()->RootItem(), nullptr);
    EXPECT_FALSE(frame.GetTrackListView()->IsReady());
    EXPECT_TRUE(Animation().IsPlaying());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    Doc().UpdateAllViews(nullptr, EHint::RebuildEnd);
    EXPECT_EQ(ChildTexts(Root()), Texts({"Ann"}));
    EXPECT_EQ(frame.GetLeftView()->currentItem(), Root());
    EXPECT_TRUE(frame.GetTrackListView()->IsReady());
    EXPECT_FALSE(Animation().IsPlaying());
    EXPECT_EQ(Animation().CurrentFrame(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A refresh, a regroup or a mode change selects again the node by its names and the rows by
// their files, where they are still there; the list keeps its place when the node is the same.
TEST_F(LeftView, WhereTheUserWasSurvivesARebuild) {
    for (int i = 0; i < 60; ++i)
        Track("music/" + std::to_string(100 + i) + ".mp3", i % 2 == 0 ? "Ann" : "Bob", "Zeta", 17);
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, kSortingColumn, "1");
    Start();
    CQuavView& view = *Frame().GetTrackListView();
    CListViewEx& list = *view.List();
    QTreeView& details = *list.DetailsView();
    Frame().resize(700, 300);
    Frame().GetLeftView()->setCurrentItem(Child(Root(), "Bob"));
    const auto rowOf = [&](const std::string& name) {
        for (int row = 0; row < view.Model().rowCount(); ++row)
            if (view.Model().Track(row)->FileName() == name)
                return row;
        return -1;
    };
    const auto select = [&](std::initializer_list<const char*> names) {
        list.SelectionModel()->clear();
        for (const char* name : names)
            list.SelectionModel()->select(view.Model().index(rowOf(name), 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list.SelectionModel()->setCurrentIndex(view.Model().index(rowOf("155.mp3"), 0),
                                               QItemSelectionModel::NoUpdate);
    };
    const auto selectedNames = [&] {
        std::vector<std::string> names;
        for (const CMp3File* track : view.SelectedTracks())
            names.emplace_back(track->FileName());
        return names;
    };
    select({"103.mp3", "155.mp3"});
    details.verticalScrollBar()->setValue(7);
    Idle();

    Frame().Commands().Action(ECommandId::Refresh)->trigger();
    EXPECT_EQ(Frame().GetLeftView()->currentItem()->text(0), QStringLiteral("Bob"));
    EXPECT_EQ(selectedNames(), (std::vector<std::string>{"103.mp3", "155.mp3"}));
    EXPECT_EQ(view.Model().Track(list.CurrentRow())->FileName(), "155.mp3");
    EXPECT_EQ(details.verticalScrollBar()->value(), 7);

    std::filesystem::remove(Music() + "/103.mp3");
    Doc().RegroupAll();
    Doc().Refresh();
    EXPECT_EQ(Frame().GetLeftView()->currentItem()->text(0), QStringLiteral("Bob"));
    EXPECT_EQ(selectedNames(), std::vector<std::string>{"155.mp3"});

    Frame().Commands().Action(ECommandId::ModeGenreArtist)->trigger();
    EXPECT_EQ(Frame().GetLeftView()->currentItem(), Root()) << "no node of that name there";
    EXPECT_EQ(selectedNames(), std::vector<std::string>{"155.mp3"});
}
