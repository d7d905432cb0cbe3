#include "views/TrackTableModel.h"

#include "TrackFiles.h"
#include "model/FieldIds.h"

#include <QItemSelectionModel>
#include <QMimeData>
#include <QPixmap>
#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

// Two titles, three artists, sizes in distinct thousands of bytes.
const std::vector<STrackFields> kTracks = {
    {"1.mp3", "Beta", "Zed", 1000},
    {"2.mp3", "Alpha", "Moe", 5000},
    {"3.mp3", "Beta", "Abe", 3000},
    {"4.mp3", "Alpha", "Abe", 9000},
};

using Names = std::vector<std::string>;

} // namespace

TEST(TrackTableModel, SortsByTwoKeysAndKeepsTheOrderOfEqualRows) {
    CTrackFiles files(kTracks);
    CTrackTableModel model;
    model.SetColumns({EFieldId::File, EFieldId::Title}, {});
    model.SetTracks(files.Pointers());

    model.Sort(+EFieldId::Title, 0);
    EXPECT_EQ(NamesOf(model.Tracks()), (Names{"2.mp3", "4.mp3", "1.mp3", "3.mp3"}));
    model.Sort(-EFieldId::Title, 0);
    EXPECT_EQ(NamesOf(model.Tracks()), (Names{"1.mp3", "3.mp3", "2.mp3", "4.mp3"}))
        << "descending, ties keep the order they had";
    // Title clicked twice, then Artist: artist A to Z, titles Z to A within an artist.
    model.Sort(+EFieldId::Artist, -EFieldId::Title);
    EXPECT_EQ(NamesOf(model.Tracks()), (Names{"3.mp3", "4.mp3", "2.mp3", "1.mp3"}));

    model.Sort(+EFieldId::Size, 0);
    EXPECT_EQ(NamesOf(model.Tracks()), (Names{"4.mp3", "2.mp3", "3.mp3", "1.mp3"}))
        << "a positive size key puts the largest file first";
    model.Sort(-EFieldId::Size, +EFieldId::Title);
    EXPECT_EQ(NamesOf(model.Tracks()), (Names{"1.mp3", "3.mp3", "2.mp3", "4.mp3"}));

    for (const auto& [primary, secondary] : {std::pair{0, 0}, std::pair{15, -99}}) {
        model.SetTracks(files.Pointers());
        model.Sort(primary, secondary);
        EXPECT_EQ(NamesOf(model.Tracks()), NamesOf(files.Pointers())) << primary;
    }
}

// Discs sort by number, so that 10 follows 9; a track without one shows none and comes first.
TEST(TrackTableModel, SortsByDiscNumber) {
    CTrackFiles files(kTracks);
    const std::array<std::uint16_t, 4> discs{10, 9, 0, 2};
    for (std::size_t i = 0; i < discs.size(); ++i)
        files[i]->SetDisc(discs[i]);
    CTrackTableModel model;
    model.SetColumns({EFieldId::File, EFieldId::Disc}, {});
    model.SetTracks(files.Pointers());
    model.Sort(-EFieldId::Disc, 0);
    EXPECT_EQ(NamesOf(model.Tracks()), (Names{"1.mp3", "2.mp3", "4.mp3", "3.mp3"}));
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("9"));
    EXPECT_EQ(model.data(model.index(3, 1), Qt::DisplayRole).toString(), QString());
}

TEST(TrackTableModel, RowsEqualOnBothKeysStayInListOrder) {
    CTrackFiles files({{"a.mp3", "Same", "One", 2000},
                       {"b.mp3", "Same", "One", 2000},
                       {"c.mp3", "Other", "One", 2000},
                       {"d.mp3", "Same", "One", 2000}});
    CTrackTableModel model;
    model.SetColumns({EFieldId::Title}, {});
    TrackArray reversed = files.Pointers();
    std::reverse(reversed.begin(), reversed.end());
    for (const auto& order : {files.Pointers(), reversed}) {
        model.SetTracks(order);
        model.Sort(+EFieldId::Title, +EFieldId::Artist);
        Names expected;
        for (const CMp3File* track : order) {
            if (track->Title() == "Same")
                expected.emplace_back(track->FileName());
        }
        expected.insert(expected.begin(), "c.mp3");
        EXPECT_EQ(NamesOf(model.Tracks()), expected);
    }
}

TEST(TrackTableModel, SelectionFollowsTheTracksThroughASort) {
    CTrackFiles files(kTracks);
    CTrackTableModel model;
    model.SetColumns({EFieldId::File, EFieldId::Title}, {});
    model.SetTracks(files.Pointers());
    QItemSelectionModel selection(&model);
    selection.select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.setCurrentIndex(model.index(3, 1), QItemSelectionModel::NoUpdate);
    QSignalSpy layoutChanges(&model, &QAbstractItemModel::layoutChanged);

    model.Sort(+EFieldId::Size, 0);
    EXPECT_EQ(layoutChanges.count(), 1);
    const QModelIndexList rows = selection.selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(model.Track(rows[0].row()), files[0]);
    EXPECT_EQ(model.Track(selection.currentIndex().row()), files[3]);
    EXPECT_EQ(selection.currentIndex().column(), 1);
}

TEST(TrackTableModel, ShowsFieldTextsHeadersAlignmentsAndTracks) {
    CTrackFiles files(
        {{"utf8.mp3", "Caf\xC3\xA9", "Art", 2000}, {"latin1.mp3", "Caf\xE9", "", 4000}});
    CTrackTableModel model;
    model.SetColumns({EFieldId::File, EFieldId::Title, EFieldId::Size},
                     {QStringLiteral("File"), QStringLiteral("Title"), QStringLiteral("Size")});
    model.SetColumnAlignments({Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight});
    model.SetTracks(files.Pointers());

    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 3);
    const QString cafe = QString::fromUtf8("Caf\u00e9");
    EXPECT_EQ(model.index(0, 1).data().toString(), cafe);
    EXPECT_EQ(model.index(1, 1).data().toString(), cafe);
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("latin1.mp3"));
    EXPECT_EQ(model.index(1, 2).data().toString(),
              QString::fromStdString(files[1]->GetFieldText(EFieldId::Size)));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Size"));
    EXPECT_EQ(model.index(0, 2).data(Qt::TextAlignmentRole).toInt(),
              (Qt::AlignRight | Qt::AlignVCenter).toInt());
    EXPECT_EQ(model.index(0, 1).data(Qt::TextAlignmentRole).toInt(),
              (Qt::AlignHCenter | Qt::AlignVCenter).toInt());
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              (Qt::AlignRight | Qt::AlignVCenter).toInt());
    EXPECT_EQ(model.index(1, 1).data(CTrackTableModel::kTrackRole).value<quintptr>(),
              reinterpret_cast<quintptr>(files[1]));
    EXPECT_EQ(model.ColumnField(2), EFieldId::Size);
    EXPECT_EQ(model.ColumnField(3), EFieldId{});

    EXPECT_FALSE(model.index(0, 0).data(Qt::DecorationRole).isValid());
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    model.SetRowIcon(QIcon(picture));
    EXPECT_TRUE(model.index(0, 0).data(Qt::DecorationRole).canConvert<QIcon>());
    EXPECT_FALSE(model.index(0, 1).data(Qt::DecorationRole).isValid());
}

TEST(TrackTableModel, RefreshAndClear) {
    CTrackFiles files(kTracks);
    CTrackTableModel model;
    model.SetColumns({EFieldId::File, EFieldId::Title}, {});
    model.SetTracks(files.Pointers());
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    files[2]->SetTitle("Gamma");
    model.RefreshTexts();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].value<QModelIndex>(), model.index(0, 0));
    EXPECT_EQ(changes[0][1].value<QModelIndex>(), model.index(3, 1));
    EXPECT_EQ(model.index(2, 1).data().toString(), QStringLiteral("Gamma"));

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.Clear();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.Tracks().empty());
    EXPECT_EQ(model.Track(0), nullptr);
    EXPECT_FALSE(model.index(0, 0).data().isValid());
    EXPECT_EQ(model.columnCount(), 2) << "the columns stay";
    model.Sort(+EFieldId::Title, 0);
    EXPECT_EQ(model.rowCount(), 0);
}

// What a drag out of the list carries: each row's file once, in row order, its path's bytes
// escaped as they are (a name that is not UTF-8 included), as players and file managers read.
TEST(TrackTableModel, DraggedRowsCarryTheirFilesAsAUriList) {
    CTrackFiles files({{"b c.mp3", "T", "A"}, {"caf\xe9.mp3", "T", "A"}, {"a.mp3", "T", "A"}});
    CTrackTableModel model;
    model.SetColumns({EFieldId::File, EFieldId::Title}, {});
    model.SetTracks(files.Pointers());
    EXPECT_TRUE(model.flags(model.index(1, 1)) & Qt::ItemIsDragEnabled);
    EXPECT_EQ(model.mimeTypes(), QStringList{QStringLiteral("text/uri-list")});
    const std::unique_ptr<QMimeData> data(
        model.mimeData({model.index(2, 1), model.index(1, 0), model.index(2, 0)}));
    ASSERT_NE(data, nullptr);
    const std::string folder(files[0]->Directory());
    EXPECT_EQ(data->data(QStringLiteral("text/uri-list")).toStdString(),
              "file://" + folder + "/caf%E9.mp3\r\nfile://" + folder + "/a.mp3\r\n");
    EXPECT_EQ(data->urls().size(), 2);
    EXPECT_EQ(data->urls().back().toLocalFile().toStdString(), folder + "/a.mp3");
}

// By the Track column, disc by disc (no disc first), each disc by its track numbers; descending
// turns both round.
TEST(TrackTableModel, TrackColumnSortsByDiscThenTrack) {
    struct SRow {
        std::uint16_t disc, track;
    };
    const std::vector<SRow> rows = {{2, 1}, {1, 3}, {0, 9}, {1, 1}, {2, 2}, {10, 1}};
    std::vector<CMp3File> records(rows.size());
    TrackArray tracks;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        records[i].SetDisc(rows[i].disc);
        records[i].SetTrack(rows[i].track);
        tracks.push_back(&records[i]);
    }
    const auto order = [&](int key) {
        TrackArray sorted = tracks;
        CTrackTableModel::SortTracks(sorted, key, 0);
        std::vector<std::size_t> places;
        for (const CMp3File* track : sorted)
            places.push_back(static_cast<std::size_t>(track - records.data()));
        return places;
    };
    EXPECT_EQ(order(+EFieldId::Track), (std::vector<std::size_t>{2, 3, 1, 0, 4, 5}));
    EXPECT_EQ(order(-EFieldId::Track), (std::vector<std::size_t>{5, 4, 0, 1, 3, 2}));
}
