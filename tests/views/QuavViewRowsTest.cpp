#include "ViewFixture.h"

#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QPalette>
#include <QTreeView>

#include <cstdio>
#include <string>

namespace {

std::vector<STrackFields> Numbered(const char* prefix, int first, int count) {
    std::vector<STrackFields> tracks;
    for (int i = first; i < first + count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%02d.mp3", prefix, i);
        tracks.push_back({name, "Title", "Artist", 500});
    }
    return tracks;
}

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
