#include "ViewFixture.h"

#include "catalog/Hints.h"
#include "model/FieldIds.h"
#include "settings/SettingsKeys.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QTreeView>

#include <climits>
#include <cstdio>

namespace {

using Names = std::vector<std::string>;
using Ints = std::vector<int>;

// Titles and artists that tie in places; sizes in distinct thousands of bytes.
const std::vector<STrackFields> kFive = {
    {"a.mp3", "Beta", "Zed", 1000},  {"b.mp3", "Alpha", "Moe", 5000},
    {"c.mp3", "Beta", "Abe", 3000},  {"d.mp3", "Alpha", "Abe", 9000},
    {"e.mp3", "Gamma", "Moe", 7000},
};

QStringList Labels(std::initializer_list<const char*> texts) {
    QStringList labels;
    for (const char* text : texts)
        labels << QString::fromUtf8(text);
    return labels;
}

} // namespace

TEST_F(CQuavViewTest, ShowsTheDefaultColumnsOrAllFourteenAtTheirTableWidths) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Headers(),
              Labels({"File", "Title", "Album", "Artist", "Date", "Genre", "Time", "Track"}));
    EXPECT_EQ(Widths(), (Ints{150, 150, 150, 100, 50, 100, 50, 50}));
    EXPECT_FALSE(view->DisplayAll());
    EXPECT_EQ(Cell(0, 0), QStringLiteral("a.mp3"));
    EXPECT_EQ(Cell(0, 3), QStringLiteral("Zed"));

    view->ToggleDisplayAll();
    EXPECT_TRUE(view->DisplayAll());
    EXPECT_EQ(Headers(), Labels({"File", "Title", "Album", "Artist", "Location", "Size", "Date",
                                 "Genre", "Comment", "Time", "MPEG/Layer", "Bitrate", "Frequency",
                                 "Mode", "Track", "Album artist", "Disc"}));
    EXPECT_EQ(Widths(),
              (Ints{150, 150, 150, 100, 150, 65, 50, 100, 150, 50, 150, 70, 80, 100, 50, 100, 40}));
    const CTrackTableModel& model = view->Model();
    ASSERT_EQ(model.rowCount(), 5) << "display all refills the rows";
    for (int column = 0; column < model.columnCount(); ++column) {
        const EFieldId field = view->DisplayedColumns()[static_cast<std::size_t>(column)]->fieldId;
        EXPECT_EQ(model.ColumnField(column), field);
        EXPECT_EQ(Cell(2, column).toStdString(), model.Track(2)->GetFieldText(field)) << column;
    }
    const auto alignment = [&model](int column) {
        return Qt::Alignment(
                   model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(5), Qt::AlignRight) << "Size";
    EXPECT_EQ(alignment(6), Qt::AlignHCenter) << "Date";
    EXPECT_EQ(alignment(7), Qt::AlignLeft) << "Genre";
    EXPECT_EQ(alignment(14), Qt::AlignRight) << "Track";
    EXPECT_EQ(alignment(16), Qt::AlignRight) << "Disc";

    view->ToggleDisplayAll();
    EXPECT_EQ(Headers().size(), 8);
}

TEST_F(CQuavViewTest, ReadsStoredColumnsAndKeepsTableOrderForEqualOrders) {
    using namespace SettingsKey;
    WriteTracks(kFive);
    profile.WriteInt(kSectionUser, kColumnsSettings, 1);
    // Artist first; File and Title share an order and keep the table's; Size last and
    // left-aligned. Everything not mentioned reads as order 0, hidden, left.
    profile.WriteInt("Column2", kColumnOrder, 0);
    profile.WriteInt("Column2", kColumnDisplayed, 1);
    profile.WriteInt("Column3", kColumnOrder, 4);
    profile.WriteInt("Column3", kColumnDisplayed, 1);
    profile.WriteInt("Column1", kColumnOrder, 4);
    profile.WriteInt("Column1", kColumnDisplayed, 1);
    profile.WriteInt("Column5", kColumnOrder, 9);
    profile.WriteInt("Column5", kColumnDisplayed, 1);
    profile.WriteInt("Column5", kColumnAlignment, 0);
    profile.WriteInt("Column5", kColumnWidth, 91);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Headers(), Labels({"Artist", "File", "Title", "Size"}));
    EXPECT_EQ(Widths(), (Ints{100, 150, 150, 91}));
    const int sizeAlignment =
        view->Model().headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
    EXPECT_EQ(Qt::Alignment(sizeAlignment) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    view->ToggleDisplayAll();
    const QStringList all = Headers();
    ASSERT_EQ(all.size(), 17);
    // The eleven columns of order 0 stand in table order before those of orders 4 and 9; the
    // Track, Album artist and Disc columns, which the profile predates, after them all.
    EXPECT_EQ(all.mid(0, 4), Labels({"Album", "Artist", "Location", "Date"}));
    EXPECT_EQ(all[10], QStringLiteral("Mode"));
    EXPECT_EQ(all.mid(11), Labels({"File", "Title", "Size", "Track", "Album artist", "Disc"}));
}

TEST_F(CQuavViewTest, WithoutStoredColumnsOnlyTheWidthsAreRead) {
    using namespace SettingsKey;
    WriteTracks(kFive);
    profile.WriteInt("Column3", kColumnOrder, 99);
    profile.WriteInt("Column3", kColumnWidth, 222);
    profile.WriteInt("Column7", kColumnDisplayed, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Headers(),
              Labels({"File", "Title", "Album", "Artist", "Date", "Genre", "Time", "Track"}));
    EXPECT_EQ(Widths(), (Ints{150, 222, 150, 100, 50, 100, 50, 50}));
}

TEST_F(CQuavViewTest, SavesAndReloadsTheOptionSheetsColumnSettings) {
    using namespace SettingsKey;
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    CQuavView::ColumnArray& records = view->Columns();
    records[5].displayed = 1; // Size
    records[5].order = 0;
    records[0].alignment = EColumnAlign::Center;
    view->SaveColumnSettings(profile);
    for (const CColumnInfo& column : records) {
        const std::string section = CColumnInfo::SectionName(column.fieldId);
        EXPECT_EQ(profile.GetInt(section, kColumnOrder, -1), column.order) << section;
        EXPECT_EQ(profile.GetInt(section, kColumnDisplayed, -1), column.displayed) << section;
        EXPECT_EQ(profile.GetInt(section, kColumnAlignment, -1), static_cast<int>(column.alignment))
            << section;
        EXPECT_EQ(profile.GetInt(section, kColumnWidth, -1), -1) << "widths wait for the close";
    }
    doc->UpdateAllViews(nullptr, EHint::ColumnsChanged);
    EXPECT_EQ(Headers().front(), QStringLiteral("Size"));

    settings.ColumnsSettings = 1;
    CQuavView other(*doc, settings, frame);
    other.LoadColumnSettings(CIniProfile(profile.Path()));
    ASSERT_EQ(other.DisplayedColumns().size(), 9u);
    EXPECT_EQ(other.DisplayedColumns()[0]->fieldId, EFieldId::Size);
    EXPECT_EQ(other.Columns()[0].alignment, EColumnAlign::Center);
    EXPECT_EQ(other.Columns()[0].label, "File");
}

TEST_F(CQuavViewTest, HeaderClicksSetTheTwoKeys) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(RowNames(), (Names{"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}));

    const QHeaderView* header = view->List()->DetailsView()->header();
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), -1) << "no key, no arrow";
    ClickHeader(QStringLiteral("Title"));
    EXPECT_EQ(RowNames(), (Names{"b.mp3", "d.mp3", "a.mp3", "c.mp3", "e.mp3"}));
    EXPECT_EQ(settings.SortingColumn, +EFieldId::Title);
    EXPECT_EQ(settings.SecondarySortingColumn, 0);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    ClickHeader(QStringLiteral("Title"));
    EXPECT_EQ(RowNames(), (Names{"e.mp3", "a.mp3", "c.mp3", "b.mp3", "d.mp3"}))
        << "Z to A; equal titles keep their order";
    EXPECT_EQ(settings.SortingColumn, -EFieldId::Title);
    EXPECT_EQ(settings.SecondarySortingColumn, 0) << "a flip keeps the secondary key";
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    ClickHeader(QStringLiteral("Artist"));
    EXPECT_EQ(RowNames(), (Names{"c.mp3", "d.mp3", "e.mp3", "b.mp3", "a.mp3"}))
        << "artist A to Z, the tracks of one artist in descending title order";
    EXPECT_EQ(settings.SortingColumn, +EFieldId::Artist);
    EXPECT_EQ(settings.SecondarySortingColumn, -EFieldId::Title);
    EXPECT_EQ(view->SortKey(), +EFieldId::Artist);
    EXPECT_EQ(view->SecondarySortKey(), -EFieldId::Title);

    // A refill sorts by both keys from list order and comes to the same rows.
    SendTracks(doc->GetTrackList().Tracks());
    EXPECT_EQ(RowNames(), (Names{"c.mp3", "d.mp3", "e.mp3", "b.mp3", "a.mp3"}));
}

TEST_F(CQuavViewTest, SizePutsTheLargestFileFirst) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    view->ToggleDisplayAll();
    ClickHeader(QStringLiteral("Size"));
    EXPECT_EQ(RowNames(), (Names{"d.mp3", "e.mp3", "b.mp3", "c.mp3", "a.mp3"}));
    EXPECT_EQ(settings.SortingColumn, +EFieldId::Size);
    const QHeaderView* header = view->List()->DetailsView()->header();
    EXPECT_EQ(header->sortIndicatorSection(), 5);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder) << "the arrow follows the rows";
    view->ToggleDisplayAll();
    EXPECT_EQ(header->sortIndicatorSection(), -1) << "the sorting column is hidden";
    view->ToggleDisplayAll();
    ClickHeader(QStringLiteral("Size"));
    EXPECT_EQ(RowNames(), (Names{"a.mp3", "c.mp3", "b.mp3", "e.mp3", "d.mp3"}));
}

TEST_F(CQuavViewTest, SortKeysZeroShowListOrderAndSavedKeysSortEachRefill) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(view->SortKey(), 0);
    TrackArray reversed = doc->GetTrackList().Tracks();
    std::reverse(reversed.begin(), reversed.end());
    SendTracks(reversed);
    EXPECT_EQ(RowNames(), (Names{"e.mp3", "d.mp3", "c.mp3", "b.mp3", "a.mp3"}));

    using namespace SettingsKey;
    profile.WriteInt(kSectionUser, kSortingColumn, -EFieldId::Title);
    profile.WriteInt(kSectionUser, kSecondarySortingColumn, +EFieldId::Artist);
    view.reset();
    tree.reset();
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(RowNames(), (Names{"e.mp3", "c.mp3", "a.mp3", "d.mp3", "b.mp3"}));
    reversed = doc->GetTrackList().Tracks();
    std::reverse(reversed.begin(), reversed.end());
    SendTracks(reversed);
    EXPECT_EQ(RowNames(), (Names{"e.mp3", "c.mp3", "a.mp3", "d.mp3", "b.mp3"}));
}

// A saved key whose magnitude names no field sorts nothing, and goes back to the profile as
// it came, also after a click has made it the secondary key.
TEST_F(CQuavViewTest, SavedKeysThatNameNoFieldLeaveTheOrderAndAreWrittenBackAsRead) {
    using namespace SettingsKey;
    WriteTracks(kFive);
    profile.WriteInt(kSectionUser, kSortingColumn, INT_MIN);
    profile.WriteInt(kSectionUser, kSecondarySortingColumn, 15);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(view->List()->DetailsView()->header()->sortIndicatorSection(), -1) << "no arrow";
    TrackArray reversed = doc->GetTrackList().Tracks();
    std::reverse(reversed.begin(), reversed.end());
    SendTracks(reversed);
    EXPECT_EQ(RowNames(), (Names{"e.mp3", "d.mp3", "c.mp3", "b.mp3", "a.mp3"}));
    settings.WriteShutdown(profile, {});
    EXPECT_EQ(CIniProfile(profile.Path()).GetString(kSectionUser, kSortingColumn, ""),
              "-2147483648");
    EXPECT_EQ(CIniProfile(profile.Path()).GetString(kSectionUser, kSecondarySortingColumn, ""),
              "15");

    ClickHeader(QStringLiteral("Title"));
    EXPECT_EQ(RowNames(), (Names{"d.mp3", "b.mp3", "c.mp3", "a.mp3", "e.mp3"}));
    EXPECT_EQ(settings.SecondarySortingColumn, INT_MIN);
}

TEST_F(CQuavViewTest, ShowsAtMostMaxRowTracksTakenBeforeSorting) {
    std::vector<STrackFields> tracks;
    for (int i = 0; i < 1500; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "t%04d.mp3", i);
        tracks.push_back({name, "Title", "Artist", 100});
    }
    WriteTracks(tracks);
    using namespace SettingsKey;
    profile.WriteInt(kSectionAdvanced, kMaxRow, 1000);
    profile.WriteInt(kSectionUser, kSortingColumn, -EFieldId::File);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(doc->GetTrackList().GetSize(), 1500u);
    const Names rows = RowNames();
    ASSERT_EQ(rows.size(), 1000u);
    EXPECT_EQ(rows.front(), "t0999.mp3") << "the first 1000 of the list, sorted among themselves";
    EXPECT_EQ(rows.back(), "t0000.mp3");
    EXPECT_TRUE(std::is_sorted(rows.rbegin(), rows.rend()));
    EXPECT_EQ(view->RowsNote(), QStringLiteral("1,000 of 1,500 tracks shown"))
        << "a sort over the first rows is not the whole node's order";

    settings.MaxRow = 3;
    doc->UpdateAllViews(nullptr, EHint::ColumnsChanged);
    EXPECT_EQ(RowNames(), (Names{"t0002.mp3", "t0001.mp3", "t0000.mp3"}));
    view->SetFilter(QStringLiteral("t000"));
    EXPECT_EQ(view->RowsNote(), QStringLiteral("3 of 10 tracks shown")) << "of those found";
    settings.MaxRow = 1200;
    view->SetFilter({});
    EXPECT_EQ(view->RowsNote(), QStringLiteral("1,200 of 1,500 tracks shown"));
    doc->UpdateAllViews(nullptr, EHint::RebuildBegin);
    EXPECT_EQ(view->RowsNote(), QString()) << "no rows while a walk runs";
    SendTracks(TrackArray(doc->GetTrackList().Tracks().begin(),
                          doc->GetTrackList().Tracks().begin() + 1200));
    EXPECT_TRUE(view->RowsNote().isEmpty()) << "nothing held back";
    EXPECT_FALSE(view->findChild<QLabel*>(QStringLiteral("rowsNote"))->isVisibleTo(view.get()));
}

// An empty list says why when the filter found nothing; the keys of the filter box go on to
// the first row found.
TEST_F(CQuavViewTest, AFilterThatFindsNothingSaysSo) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(view->List()->EmptyText().isEmpty());
    view->SetFilter(QStringLiteral("nobody"));
    EXPECT_EQ(view->List()->EmptyText(), QStringLiteral("No track matches"));
    EXPECT_FALSE(view->FocusFirstRow());
    view->SetFilter(QStringLiteral("gamma"));
    EXPECT_TRUE(view->List()->EmptyText().isEmpty());
    EXPECT_TRUE(view->FocusFirstRow());
    EXPECT_EQ(NamesOf(view->SelectedTracks()), Names{"e.mp3"});
    EXPECT_EQ(view->List()->CurrentRow(), 0);
}

// The rows made anew (options' OK, "Display all information") have no selection, and the status
// bar goes back to the node's totals instead of telling of a selection that is gone.
TEST_F(CQuavViewTest, RowsMadeAnewDropTheSelectionsStatus) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    view->List()->SelectRow(1);
    ASSERT_EQ(frame.status.value(2), QStringLiteral("1 selected file"));
    ASSERT_FALSE(frame.status.value(1).isEmpty());
    view->ToggleDisplayAll();
    EXPECT_FALSE(view->CanPlay());
    EXPECT_EQ(frame.status.value(1), QString()) << "no track's information";
    EXPECT_EQ(frame.status.value(2), QStringLiteral("5 file(s)"));
    view->List()->SelectRow(0);
    doc->UpdateAllViews(nullptr, EHint::ColumnsChanged);
    EXPECT_EQ(frame.status.value(2), QStringLiteral("5 file(s)"));
}

TEST_F(CQuavViewTest, WidthsAreSavedAtCloseForShownColumnsAndComeBackOnRebuild) {
    using namespace SettingsKey;
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    CListViewEx* list = view->List();
    list->SetColumnWidth(1, 222); // Title
    list->SetColumnWidth(3, 61);  // Artist
    view->WriteColumnWidths(profile);
    const CIniProfile saved(profile.Path());
    EXPECT_EQ(saved.GetInt("Column3", kColumnWidth, -1), 222);
    EXPECT_EQ(saved.GetInt("Column2", kColumnWidth, -1), 61);
    EXPECT_EQ(saved.GetInt("Column1", kColumnWidth, -1), 150);
    EXPECT_EQ(saved.GetInt("Column10", kColumnWidth, -1), 50);
    for (const char* hidden : {"Column4", "Column5", "Column9", "Column11", "Column12", "Column13",
                               "Column14", "Column16", "Column17"})
        EXPECT_EQ(saved.GetInt(hidden, kColumnWidth, -1), -1) << hidden;

    list->SetColumnWidth(1, 300);
    view->ToggleDisplayAll();
    EXPECT_EQ(Widths(),
              (Ints{150, 222, 150, 61, 150, 65, 50, 100, 150, 50, 150, 70, 80, 100, 50, 100, 40}))
        << "a dragged column goes back to its saved width";
    list->SetColumnWidth(4, 77); // Location, never saved
    view->ToggleDisplayAll();
    EXPECT_EQ(Widths(), (Ints{150, 222, 150, 61, 50, 100, 50, 50}));
    view->ToggleDisplayAll();
    EXPECT_EQ(Widths()[4], 150);
}

TEST_F(CQuavViewTest, ViewStylesShareTheRowsAndTheSelection) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    CListViewEx* list = view->List();
    EXPECT_EQ(view->ViewStyle(), EViewStyle::Details);
    EXPECT_FALSE(view->CanPlay());
    list->SelectionModel()->select(view->Model().index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->SelectionModel()->select(view->Model().index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(view->CanPlay());
    const TrackArray selected = view->SelectedTracks();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0]->FileName(), "b.mp3") << "top to bottom";
    EXPECT_EQ(selected[1]->FileName(), "d.mp3");

    for (EViewStyle style :
         {EViewStyle::LargeIcons, EViewStyle::SmallIcons, EViewStyle::List, EViewStyle::Details}) {
        view->SetViewStyle(style);
        EXPECT_EQ(view->ViewStyle(), style);
        QAbstractItemView* shown = list->CurrentView();
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(shown == list->DetailsView(), style == EViewStyle::Details);
        EXPECT_EQ(shown->model()->rowCount(), 5);
        EXPECT_EQ(view->SelectedTracks(), selected);
    }
    view->SetViewStyle(EViewStyle::LargeIcons);
    EXPECT_EQ(list->IconView()->iconSize(), QSize(32, 32));
    const QIcon icon = view->Model().index(0, 0).data(Qt::DecorationRole).value<QIcon>();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));

    view->SelectAll();
    EXPECT_EQ(view->SelectedTracks().size(), 5u);
}

TEST_F(CQuavViewTest, NoTrackIsReadWhileTheCatalogIsRebuilt) {
    WriteTracks(kFive);
    dir.Write("other/x.mp3", ReadFileBytes(music + "/a.mp3"));
    dir.Write("other/y.mp3", ReadFileBytes(music + "/b.mp3"));
    ASSERT_NO_FATAL_FAILURE(Open());
    view->SelectAll();
    view->setFocus();
    EXPECT_TRUE(view->IsReady());

    int checks = 0;
    doc->SetProgress([&](std::size_t, std::size_t) {
        ++checks;
        EXPECT_FALSE(view->IsReady());
        EXPECT_EQ(view->Model().rowCount(), 0);
        EXPECT_FALSE(view->CanPlay());
        EXPECT_TRUE(view->SelectedTracks().empty());
        // The window keeps itself painted and the user may still use the view.
        view->List()->DetailsView()->viewport()->grab();
        view->ToggleDisplayAll();
        view->SelectAll();
        EXPECT_EQ(view->Model().rowCount(), 0);
    });
    // The old tracks are deleted after hint 1; under AddressSanitizer any read of them fails.
    ASSERT_TRUE(doc->OpenAddress(dir / "other"));
    EXPECT_EQ(checks, 2);
    EXPECT_TRUE(view->IsReady());
    EXPECT_EQ(RowNames(), (Names{"x.mp3", "y.mp3"}));
    view->List()->DetailsView()->viewport()->grab();

    doc->SetProgress({});
    doc->UpdateAllViews(nullptr, EHint::RebuildBegin);
    EXPECT_EQ(view->Model().rowCount(), 0);
    EXPECT_FALSE(view->IsReady());
    doc->UpdateAllViews(nullptr, EHint::ColumnsChanged);
    EXPECT_EQ(view->Model().rowCount(), 0) << "nothing shown until the tree sends a node";
    EXPECT_FALSE(view->IsReady());
}

TEST_F(CQuavViewTest, ReadyIsClearWhileRowsAreRefilled) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    std::vector<bool> readyAtReset;
    QObject::connect(&view->Model(), &QAbstractItemModel::modelReset,
                     [&] { readyAtReset.push_back(view->IsReady()); });
    SendTracks(doc->GetTrackList().Tracks());
    EXPECT_EQ(readyAtReset, std::vector<bool>{false});
    EXPECT_TRUE(view->IsReady());
    view->SetReady(false);
    EXPECT_FALSE(view->IsReady());
    view->SetReady(true);
    EXPECT_TRUE(view->IsReady());
}

TEST_F(CQuavViewTest, ModeHintsKeepTheRowsAndColumnHintsReapplyTheRowSelectionSetting) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_FALSE(view->List()->FullRowSelection()) << "the setting is off by default";
    for (const EHint hint : {EHint::ModeAlbumArtist, EHint::ModeGenreArtist, EHint::ModeArtist})
        doc->UpdateAllViews(nullptr, hint);
    EXPECT_EQ(view->Model().rowCount(), 5) << "mode hints leave the rows alone";

    settings.FullRowSelection = 1;
    EXPECT_FALSE(view->List()->FullRowSelection());
    doc->UpdateAllViews(nullptr, EHint::ColumnsChanged);
    EXPECT_TRUE(view->List()->FullRowSelection());
    settings.FullRowSelection = 0;
    view->ToggleDisplayAll();
    EXPECT_FALSE(view->List()->FullRowSelection());
}

TEST_F(CQuavViewTest, TabAsksTheFrameToMoveTheFocus) {
    WriteTracks(kFive);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (EViewStyle style : {EViewStyle::Details, EViewStyle::List}) {
        view->SetViewStyle(style);
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(view->List()->CurrentView(), &tab);
    }
    EXPECT_EQ(frame.focusCycles, 2);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(view->List()->CurrentView(), &down);
    EXPECT_EQ(frame.focusCycles, 2);
}
