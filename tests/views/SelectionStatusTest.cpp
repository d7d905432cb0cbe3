#include "views/SelectionStatus.h"
#include "ViewFixture.h"
#include "model/FieldIds.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>

namespace {

const std::vector<STrackFields> kThree = {{"a.mp3", "Ann", "Song A", 2000},
                                          {"b.mp3", "Bob", "Song B", 5000},
                                          {"c.mp3", "Cid", "Song C", 9000}};

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TEST(SelectionStatus, InformationTextOfOneTrack) {
    CMp3File track;
    track.SetArtist("A");
    track.SetTitle("T");
    track.SetAlbum("B");
    track.SetYear("1999");
    track.SetGenre(8);
    EXPECT_EQ(CSelectionStatus::InformationText(track), Q("A - T - Album : B - 1999 [ Jazz ]"));
    track.SetAlbum("");
    track.SetYear("");
    EXPECT_EQ(CSelectionStatus::InformationText(track), Q("A - T [ Jazz ]"));
    track.SetGenre(148);
    EXPECT_EQ(CSelectionStatus::InformationText(track), Q("A - T"));
    // Untagged: the defaults, so two blanks stand between the first two dashes.
    const CMp3File untagged;
    EXPECT_EQ(CSelectionStatus::InformationText(untagged),
              Q("<Undefined> -  - Album : <Undefined>"));
    // Latin-1 and UTF-8 fields side by side each read as they are.
    CMp3File mixed;
    mixed.SetArtist("Caf\xE9");
    mixed.SetTitle("Caf\xC3\xA9");
    mixed.SetAlbum("");
    EXPECT_EQ(CSelectionStatus::InformationText(mixed), Q("Caf\xC3\xA9 - Caf\xC3\xA9"));
}

TEST(SelectionStatus, ClipboardLinesKeepTabsInsideFields) {
    CMp3File first;
    first.SetTitle("One");
    first.SetComment("left\tright");
    CMp3File second;
    second.SetTitle("Two");
    const TrackArray tracks{&first, &second};
    EXPECT_EQ(CSelectionStatus::ClipboardText(tracks, {EFieldId::Title, EFieldId::Comment}),
              Q("One\tleft\tright\r\nTwo\t\r\n"));
    EXPECT_EQ(CSelectionStatus::ClipboardText({}, {EFieldId::Title}), QString());
}

TEST_F(CQuavViewTest, SelectionStatusFollowsTheSelectedRows) {
    WriteTracks(kThree);
    ASSERT_NO_FATAL_FAILURE(Open());
    QItemSelectionModel& selection = *view->List()->SelectionModel();
    const auto& model = view->Model();

    selection.select(model.index(1, 0),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const CMp3File& bob = *model.Track(1);
    ASSERT_EQ(frame.status.size(), 5);
    EXPECT_EQ(frame.status[0], QString()) << "the tree's location stays";
    EXPECT_EQ(frame.status[1], CSelectionStatus::InformationText(bob));
    EXPECT_EQ(frame.status[2], Q("1 selected file"));
    EXPECT_EQ(frame.status[3], QString::fromStdString(CMp3File::FormatSize(bob.SizeK())));

    view->SelectAll();
    int sizeK = 0;
    int seconds = 0;
    for (const CMp3File* track : view->SelectedTracks()) {
        sizeK += track->SizeK();
        seconds += track->Duration();
    }
    EXPECT_EQ(frame.status[1], QString()) << "no information for several rows";
    EXPECT_EQ(frame.status[2], Q("3 selected files"));
    EXPECT_EQ(frame.status[3], QString::fromStdString(CMp3File::FormatSize(sizeK)));
    EXPECT_EQ(frame.status[4], QString::fromStdString(CMp3File::FormatDuration(seconds)));

    selection.clearSelection();
    EXPECT_EQ(frame.status[1], QString());
    EXPECT_EQ(frame.status[2], QString()) << "the count pane keeps its text";
    EXPECT_EQ(frame.status[3], Q("  0.0 MB"));
    EXPECT_EQ(frame.status[4], Q("0:00"));

    // While the rows are not settled, the selection says nothing.
    view->SetReady(false);
    const int updates = frame.statusUpdates;
    view->SelectAll();
    EXPECT_EQ(frame.statusUpdates, updates);
}

TEST_F(CQuavViewTest, CopyPutsTheShownColumnsOfTheSelectedRowsOnTheClipboard) {
    WriteTracks(kThree);
    ASSERT_NO_FATAL_FAILURE(Open());
    const auto& model = view->Model();
    QItemSelectionModel& selection = *view->List()->SelectionModel();
    selection.select(model.index(0, 0),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection.select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->Copy();
    const QStringList lines = QGuiApplication::clipboard()->text().split(Q("\r\n"));
    ASSERT_EQ(lines.size(), 3) << "two lines, each ending in CR LF";
    EXPECT_EQ(lines[2], QString());
    for (int row : {0, 1}) {
        const QStringList fields = lines[row].split(QLatin1Char('\t'));
        ASSERT_EQ(fields.size(), 8) << "the eight default columns";
        const CMp3File& track = *model.Track(row == 0 ? 0 : 2);
        EXPECT_EQ(fields[0], QString::fromUtf8(track.FileName()));
        EXPECT_EQ(fields[1], QString::fromUtf8(track.Title()));
        EXPECT_EQ(fields[6], QString::fromStdString(CMp3File::FormatDuration(track.Duration())));
    }
}
