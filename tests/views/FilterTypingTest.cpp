// Typing in the filter box on a list whose search takes many slices: no key waits for the
// search of the one before, the rows show only the result of the last text, and a column shown
// or hidden is searched as it is then.
#include "ViewFixture.h"

#include "catalog/Hints.h"
#include "views/FilterJob.h"
#include "views/TrackTableModel.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

using Names = std::vector<std::string>;

const std::vector<STrackFields> kTracks = {
    {"a.mp3", "Alpha", "Zed"}, {"b.mp3", "Alps", "Moe"},  {"c.mp3", "Alpine", "Abe"},
    {"d.mp3", "Album", "Alp"}, {"e.mp3", "Gamma", "Moe"}, {"f.mp3", "Alphorn", "Abe"},
    {"g.mp3", "Salpa", "Moe"}, {"h.mp3", "Beta", "Alph"},
};

} // namespace

TEST_F(CQuavViewTest, TypingOnNeverWaitsAndShowsTheLastTextsRows) {
    WriteTracks(kTracks);
    ASSERT_NO_FATAL_FAILURE(Open());
    view->FilterJob().SetSlices(1, 1); // a track folded, or looked at, per turn of the loop
    QSignalSpy resets(&view->Model(), &QAbstractItemModel::modelReset);
    for (const char* typed : {"a", "al", "alp", "alph"}) {
        view->SetFilter(QString::fromLatin1(typed));
        EXPECT_TRUE(view->IsFiltering()) << typed << ": the search is left to the event loop";
        EXPECT_EQ(RowNames().size(), kTracks.size()) << "the rows stay until a result comes";
    }
    int turns = 0;
    while (view->IsFiltering() && turns < 1000) {
        QCoreApplication::processEvents();
        ++turns;
    }
    EXPECT_GT(turns, 2) << "the folding and the search went in slices";
    EXPECT_EQ(RowNames(), (Names{"a.mp3", "f.mp3", "h.mp3"})) << "Alph: titles and artist";
    EXPECT_EQ(resets.count(), 1) << "no result of an older text was shown";
    EXPECT_EQ(frame.status.value(2), QStringLiteral("3 file(s)"));

    // Typed on: searched within the last result, which is ready a slice later.
    view->SetFilter(QStringLiteral("alpho"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsFiltering(); }));
    EXPECT_EQ(RowNames(), Names{"f.mp3"});
    view->SetFilter(QStringLiteral("alp moe"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsFiltering(); }));
    EXPECT_EQ(RowNames(), (Names{"b.mp3", "g.mp3"}));

    // Down or Enter in the box waits for the rows it goes on to.
    view->SetFilter(QStringLiteral("gam"));
    EXPECT_TRUE(view->IsFiltering());
    EXPECT_TRUE(view->FocusFirstRow());
    EXPECT_EQ(NamesOf(view->SelectedTracks()), Names{"e.mp3"});

    // The artist's column hidden: its texts are no longer searched.
    view->SetFilter(QStringLiteral("alp moe"));
    view->Columns()[3].displayed = false;
    doc->UpdateAllViews(nullptr, EHint::ColumnsChanged);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsFiltering(); }));
    EXPECT_TRUE(RowNames().empty());
    view->SetFilter({});
    EXPECT_FALSE(view->IsFiltering());
    EXPECT_EQ(RowNames().size(), kTracks.size());
}

// The tracks a search runs over go with a rebuild: the search goes with them, and the words
// apply to the tracks that come after it, with the remembered selection.
TEST_F(CQuavViewTest, ARebuildDropsTheSearchAndTheWordsApplyAfterIt) {
    WriteTracks(kTracks);
    ASSERT_NO_FATAL_FAILURE(Open());
    view->FilterJob().SetSlices(1, 1);
    view->SetFilter(QStringLiteral("moe"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsFiltering(); }));
    ASSERT_TRUE(view->SelectTrack(view->Model().Track(1)));
    view->SetFilter(QStringLiteral("moe "));
    ASSERT_TRUE(view->IsFiltering());
    doc->Refresh(); // the tracks are made anew, sent again, and searched in slices
    EXPECT_TRUE(view->IsFiltering());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsFiltering(); }));
    EXPECT_EQ(RowNames(), (Names{"b.mp3", "e.mp3", "g.mp3"}));
    EXPECT_EQ(NamesOf(view->SelectedTracks()), Names{"e.mp3"}) << "the selection came back";
}
