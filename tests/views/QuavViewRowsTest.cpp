#include "ViewFixture.h"

#include "model/Mp3File.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QPalette>
#include <QTreeView>

#include <cstdio>
#include <string>

namespace {

std::string NameAt(const CQuavView& view, int row) {
    return std::string(view.Model().Track(row)->FileName());
}

int TopRow(const CQuavView& view) {
    return view.List()->DetailsView()->indexAt(QPoint(4, 4)).row();
}

std::vector<STrackFields> Numbered(const char* prefix, int first, int count) {
    std::vector<STrackFields> tracks;
    for (int i = first; i < first + count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%02d.mp3", prefix, i);
        tracks.push_back({name, "Title", "Artist", 500});
    }
    return tracks;
}

// The tree after a rescan that finds its node again.
class CNodeFoundAgain : public CView {
public:
    explicit CNodeFoundAgain(CQuavDoc& doc) : doc_(doc) { doc_.AddView(this); }
    ~CNodeFoundAgain() override { doc_.RemoveView(this); }
    void OnUpdate(CView*, EHint hint, const TrackArray*) override {
        if (hint == EHint::RebuildEnd)
            doc_.UpdateAllViews(this, EHint::ShowTracksAgain, &doc_.GetTrackList().Tracks());
    }

private:
    CQuavDoc& doc_;
};

} // namespace

// The status bar counts the selected tracks while the tree or the filter box has the keys: the
// rows it counts stay highlighted, in the colour of an inactive selection.
TEST_F(CQuavViewTest, SelectionShowsWithoutTheFocusInTheInactiveColour) {
    WriteTracks(Numbered("t", 0, 3));
    ASSERT_NO_FATAL_FAILURE(Open());
    QTreeView* details = view->List()->DetailsView();
    QPalette palette = details->palette();
    const QColor active(0x20, 0x40, 0xC0);
    const QColor inactive(0x90, 0xA0, 0xB0);
    palette.setColor(QPalette::Active, QPalette::Highlight, active);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, inactive);
    details->setPalette(palette);
    view->List()->SelectRow(1);
    details->clearFocus();
    ASSERT_FALSE(details->hasFocus());
    ASSERT_EQ(frame.status.value(2), QStringLiteral("1 selected file"));

    const QImage picture = details->viewport()->grab().toImage();
    const QRect cell = details->visualRect(view->Model().index(1, 0));
    const QPoint inHighlight(cell.right() - 2, cell.center().y());
    EXPECT_EQ(picture.pixelColor(inHighlight), inactive);
    const QRect other = details->visualRect(view->Model().index(0, 0));
    EXPECT_NE(picture.pixelColor(other.right() - 2, other.center().y()), inactive);
}

// Files added above the user's rows (from outside, then a rescan) move the rows down; the list
// follows the files, not the row numbers.
TEST_F(CQuavViewTest, FilesAddedAboveKeepTheFirstTrackInSightAtTheTop) {
    WriteTracks(Numbered("t", 10, 60));
    ASSERT_NO_FATAL_FAILURE(Open());
    tree.reset();
    const CNodeFoundAgain again(*doc);
    QTreeView* details = view->List()->DetailsView();
    details->scrollTo(view->Model().index(30, 0), QAbstractItemView::PositionAtTop);
    view->List()->SelectRow(32);
    ASSERT_EQ(TopRow(*view), 30);
    ASSERT_EQ(NameAt(*view, 30), "t40.mp3");

    WriteTracks(Numbered("a", 0, 5));
    doc->Refresh();
    ASSERT_EQ(view->Model().rowCount(), 65);
    EXPECT_EQ(NameAt(*view, TopRow(*view)), "t40.mp3");
    ASSERT_EQ(view->List()->CurrentRow(), 37);
    EXPECT_EQ(NameAt(*view, 37), "t42.mp3");

    // The top track renamed away: the selected one stays in sight.
    details->scrollTo(view->Model().index(37, 0), QAbstractItemView::PositionAtBottom);
    const std::string top = NameAt(*view, TopRow(*view));
    ASSERT_EQ(std::rename((music + "/" + top).c_str(), (music + "/zz.mp3").c_str()), 0);
    WriteTracks(Numbered("b", 0, 20));
    doc->Refresh();
    ASSERT_EQ(view->List()->CurrentRow(), 56);
    EXPECT_EQ(NameAt(*view, 56), "t42.mp3");
    EXPECT_TRUE(details->viewport()->rect().contains(
        details->visualRect(view->Model().index(56, 0)).center()));
}
