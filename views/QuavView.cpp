#include "views/QuavView.h"

#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "desktop/FrameStrings.h"
#include "desktop/MessageBoxReporter.h"
#include "desktop/TextCodec.h"
#include "dialogs/Mp3PropertySheet.h"
#include "model/TrackTotals.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "settings/AppSettings.h"
#include "settings/DoubleClickAction.h"
#include "views/ColumnHeader.h"
#include "views/FilterJob.h"
#include "views/FrameServices.h"
#include "views/ListViewEx.h"
#include "views/SelectionStatus.h"
#include "views/TrackTableModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

Qt::Alignment QtAlignment(EColumnAlign alignment) {
    switch (alignment) {
    case EColumnAlign::Right:
        return Qt::AlignRight;
    case EColumnAlign::Center:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

CQuavView::CQuavView(CQuavDoc& doc, CAppSettings& settings, IFrameServices& frame, QWidget* parent)
    : QWidget(parent), doc_(doc), settings_(settings), frame_(frame),
      model_(new CTrackTableModel(this)), list_(new CListViewEx(this)), rowsNote_(new QLabel(this)),
      player_(doc, settings, *this), columns_(CColumnInfo::DefaultColumns()),
      filterJob_(new CFilterJob(this)), displayAll_(settings.DisplayAll != 0),
      sortKey_(settings.SortingColumn), secondarySortKey_(settings.SecondarySortingColumn) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(list_);
    rowsNote_->setObjectName(QStringLiteral("rowsNote"));
    rowsNote_->setContentsMargins(4, 2, 4, 2);
    rowsNote_->hide();
    layout->addWidget(rowsNote_);
    setFocusProxy(list_);
    list_->SetModel(model_);
    // The status bar counts the selected tracks; the rows it counts stay in sight while the
    // tree or the filter box has the keys.
    list_->SetAlwaysShowSelection(true);
    header_ = new CColumnHeader(*list_->DetailsView()->header(), columns_, displayedColumns_);
    connect(header_, &CColumnHeader::ColumnsEdited, this, &CQuavView::OnColumnsEdited);
    connect(header_, &CColumnHeader::OptionsRequested, this, &CQuavView::ColumnOptionsRequested);
    connect(list_, &CListViewEx::ColumnClicked, this, &CQuavView::OnColumnClick);
    connect(list_, &CListViewEx::TabPressed, this, [this] { frame_.CycleFocus(); });
    connect(list_, &CListViewEx::ItemActivated, this, &CQuavView::RunDoubleClickAction);
    connect(list_, &CListViewEx::ContextMenuRequested, this, &CQuavView::ContextMenuRequested);
    connect(list_->SelectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CQuavView::OnSelectionChanged);
    connect(filterJob_, &CFilterJob::Found, this,
            [this] { ShowPassing(filterJob_->TakePassing()); });
    BuildDisplayedColumns();
    doc_.AddView(this);
}

CQuavView::~CQuavView() {
    doc_.RemoveView(this);
}

void CQuavView::LoadColumnSettings(const CIniProfile& profile) {
    CColumnInfo::LoadAll(columns_, profile, settings_.ColumnsSettings != 0);
    BuildDisplayedColumns();
}

void CQuavView::SaveColumnSettings(CIniProfile& profile) const {
    for (const CColumnInfo& column : columns_)
        column.Save(profile);
}

void CQuavView::OnInitialUpdate() {
    SetRowImages();
    shownTracks_ = &doc_.GetTrackList().Tracks();
    ApplyColumnsChanged();
}

// One icon holds both sizes: the details, small-icon and list styles draw the 16 x 16 track
// image, the large-icon style the 32 x 32 one.
void CQuavView::SetRowImages() {
    QIcon icon(CResources::SmallPixmap(ResourceId::kImageTrack));
    icon.addPixmap(CResources::Image(ResourceId::kTrackLargePath));
    model_->SetRowIcon(icon);
}

void CQuavView::OnUpdate(CView*, EHint hint, const TrackArray* tracks) {
    switch (hint) {
    case EHint::RebuildBegin:
        if (shownTracks_ != nullptr && rowMemory_.IsEmpty())
            rowMemory_.Remember(*list_, *model_);
        DropTracks();
        break;
    case EHint::ColumnsChanged:
        ApplyColumnsChanged();
        break;
    default:
        break;
    }
    if (!tracks)
        return;
    shownTracks_ = tracks;
    filterJob_->SetTracks(shownTracks_, DisplayedFields());
    restorePending_ = true;
    restoreSameNode_ = hint == EHint::ShowTracksAgain;
    Refill();
}

void CQuavView::RestoreRows() {
    if (!restorePending_)
        return;
    restorePending_ = false;
    rowMemory_.Restore(*list_, *model_, restoreSameNode_);
}

// The document is about to destroy its tracks and groups: no row, and no list, may point at
// them until the rebuild ends and the tree sends the new node.
void CQuavView::DropTracks() {
    ready_ = false;
    shownTracks_ = nullptr;
    filterJob_->SetTracks(nullptr, {});
    restorePending_ = false;
    model_->Clear();
    ShowRowsNote(0, 0); // the rows it counted are gone with them
}

// The rows are made anew without a selection: the status bar gives the node's totals again
// (the filter's, when one is typed, come with the refill).
void CQuavView::ApplyColumnsChanged() {
    const bool hadSelection = CanPlay();
    list_->SetFullRowSelection(settings_.FullRowSelection != 0);
    BuildDisplayedColumns();
    CreateColumns();
    filterJob_->SetTracks(shownTracks_, DisplayedFields());
    Refill();
    if (hadSelection && filter_.IsEmpty() && shownTracks_ != nullptr)
        ShowFilteredTotals(*shownTracks_);
}

// The shown columns keep the widths they were dragged to; the records take them as the
// shut-down write would.
void CQuavView::OnColumnsEdited(ColumnArray columns) {
    for (std::size_t i = 0; i < displayedColumns_.size(); ++i)
        columns[static_cast<std::size_t>(displayedColumns_[i] - columns_.data())].width =
            list_->ColumnWidth(static_cast<int>(i));
    Q_EMIT ColumnsEdited(columns);
}

// Left to right by order; a record goes after those of equal order, so ties keep table order.
void CQuavView::BuildDisplayedColumns() {
    displayedColumns_.clear();
    for (CColumnInfo& column : columns_) {
        if (!column.displayed && !displayAll_)
            continue;
        const auto after = std::find_if(
            displayedColumns_.begin(), displayedColumns_.end(),
            [&column](const CColumnInfo* shown) { return shown->order > column.order; });
        displayedColumns_.insert(after, &column);
    }
}

// Each column comes back at the width its record holds, whatever it was dragged to since.
void CQuavView::CreateColumns() {
    std::vector<EFieldId> fieldIds;
    std::vector<QString> labels;
    std::vector<Qt::Alignment> alignments;
    for (const CColumnInfo* column : displayedColumns_) {
        fieldIds.push_back(column->fieldId);
        labels.push_back(CTextCodec::ToQString(column->label));
        alignments.push_back(QtAlignment(column->alignment));
    }
    model_->SetColumns(std::move(fieldIds), std::move(labels));
    header_->ResetOrder();
    model_->SetColumnAlignments(std::move(alignments));
    for (std::size_t i = 0; i < displayedColumns_.size(); ++i)
        list_->SetColumnWidth(static_cast<int>(i), displayedColumns_[i]->width);
    header_->ShowSortKey(sortKey_);
}

// The first MaxRow tracks of the list are taken before sorting; the rest are never shown, and
// the line below the rows says how many are. While a rebuild has taken the list away the view
// stays empty and not ready; while the filter's search runs, the rows are not yet settled.
void CQuavView::Refill() {
    ready_ = false;
    if (!shownTracks_) {
        filterJob_->Cancel();
        model_->Clear();
        ShowRowsNote(0, 0);
        return;
    }
    if (!filter_.IsEmpty()) {
        filterJob_->Search(filter_); // the rows come with ShowPassing
        return;
    }
    filterJob_->Cancel();
    const std::size_t total = shownTracks_->size();
    const std::size_t count =
        std::min(total, static_cast<std::size_t>(std::max(settings_.MaxRow, 0)));
    model_->SetTracks({shownTracks_->begin(), shownTracks_->begin() + static_cast<long>(count)});
    model_->Sort(sortKey_, secondarySortKey_);
    ShowRowsNote(static_cast<std::size_t>(model_->rowCount()), total);
    ready_ = true;
    RestoreRows();
}

// The filter's result for the text typed last.
void CQuavView::ShowPassing(TrackArray passing) {
    const std::size_t limit = static_cast<std::size_t>(std::max(settings_.MaxRow, 0));
    ShowFilteredTotals(passing);
    const std::size_t total = passing.size();
    passing.resize(std::min(passing.size(), limit));
    passing.shrink_to_fit(); // the rows keep MaxRow tracks, not the room of all found
    model_->SetTracks(std::move(passing));
    model_->Sort(sortKey_, secondarySortKey_);
    ShowRowsNote(static_cast<std::size_t>(model_->rowCount()), total);
    ready_ = true;
    RestoreRows();
}

void CQuavView::ShowRowsNote(std::size_t shown, std::size_t total) {
    list_->SetEmptyText(filter_.IsEmpty() ? QString()
                                          : CFrameStrings::Get(EStringId::NoTrackMatches));
    rowsNote_->setText(shown < total
                           ? CFrameStrings::Get(EStringId::RowsShownFormat)
                                 .arg(CFrameStrings::Number(shown), CFrameStrings::Number(total))
                           : QString());
    rowsNote_->setVisible(!rowsNote_->text().isEmpty());
}

QString CQuavView::RowsNote() const {
    return rowsNote_->text();
}

void CQuavView::SetFilter(const QString& text) {
    const bool wasFiltered = !filter_.IsEmpty();
    filter_ = CTrackFilter(text);
    Refill();
    if (wasFiltered && filter_.IsEmpty() && shownTracks_ != nullptr)
        ShowFilteredTotals(*shownTracks_);
}

void CQuavView::PrepareFilter() {
    filterJob_->Prepare();
}

bool CQuavView::IsFiltering() const {
    return filterJob_->IsSearching();
}

void CQuavView::ShowFilteredTotals(const TrackArray& passing) {
    const CTrackTotals totals(passing);
    frame_.UpdateStatusPanes(
        {}, {}, CFrameStrings::FileCount(static_cast<long long>(passing.size())),
        QString::fromStdString(totals.SizeText()), QString::fromStdString(totals.TimeText()));
}

std::vector<EFieldId> CQuavView::DisplayedFields() const {
    std::vector<EFieldId> fields;
    fields.reserve(displayedColumns_.size());
    for (const CColumnInfo* column : displayedColumns_)
        fields.push_back(column->fieldId);
    return fields;
}

// A second click on the sorting column turns its direction round; a click on another column
// makes it the primary key and the old primary the secondary one. One stable sort by the new
// key is enough: the rows are already in the order of the old key.
void CQuavView::OnColumnClick(int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= displayedColumns_.size())
        return;
    const int fieldId =
        static_cast<int>(displayedColumns_[static_cast<std::size_t>(column)]->fieldId);
    if (sortKey_ == fieldId || sortKey_ == -fieldId) {
        sortKey_ = -sortKey_;
    } else {
        secondarySortKey_ = sortKey_;
        sortKey_ = fieldId;
    }
    model_->Sort(sortKey_, 0);
    header_->ShowSortKey(sortKey_);
    settings_.SortingColumn = sortKey_;
    settings_.SecondarySortingColumn = secondarySortKey_;
}

void CQuavView::ToggleDisplayAll() {
    displayAll_ = !displayAll_;
    ApplyColumnsChanged();
}

void CQuavView::SetViewStyle(EViewStyle style) {
    list_->SetViewStyle(style);
}

EViewStyle CQuavView::ViewStyle() const {
    return list_->ViewStyle();
}

void CQuavView::SelectAll() {
    list_->SelectAll();
}

bool CQuavView::CanPlay() const {
    const QItemSelectionModel* selection = list_->SelectionModel();
    return selection && selection->hasSelection();
}

void CQuavView::Play() {
    Play(SelectedTracks());
}

void CQuavView::Enqueue() {
    Enqueue(SelectedTracks());
}

void CQuavView::Play(const TrackArray& tracks) {
    player_.Run(CPlayerCommands::ECommand::Play, tracks);
}

void CQuavView::Enqueue(const TrackArray& tracks) {
    player_.Run(CPlayerCommands::ECommand::Enqueue, tracks);
}

TrackArray CQuavView::InListOrder(TrackArray tracks) const {
    CTrackTableModel::SortTracks(tracks, sortKey_, secondarySortKey_);
    return tracks;
}

bool CQuavView::SelectTrack(const CMp3File* track) {
    const TrackArray& rows = model_->Tracks();
    const auto row = std::find(rows.begin(), rows.end(), track);
    if (track == nullptr || row == rows.end())
        return false;
    list_->SelectRow(static_cast<int>(row - rows.begin()));
    return true;
}

// Asked for the rows found, the user waits for the search still running.
bool CQuavView::FocusFirstRow() {
    filterJob_->Complete();
    if (model_->rowCount() == 0)
        return false;
    list_->SelectRow(0);
    list_->setFocus(Qt::OtherFocusReason);
    return true;
}

// Properties goes through the window's commands, which know whether it can run.
void CQuavView::RunDoubleClickAction() {
    if (!CanPlay())
        return;
    switch (static_cast<EDoubleClickAction>(settings_.DoubleClickAction)) {
    case EDoubleClickAction::Play:
        Play();
        break;
    case EDoubleClickAction::Enqueue:
        Enqueue();
        break;
    case EDoubleClickAction::Properties:
        frame_.RunCommand(ECommandId::Properties);
        break;
    }
}

void CQuavView::WriteColumnWidths(CIniProfile& profile) const {
    for (std::size_t i = 0; i < displayedColumns_.size(); ++i) {
        CColumnInfo& column = *displayedColumns_[i];
        column.width = list_->ColumnWidth(static_cast<int>(i));
        column.SaveWidth(profile);
    }
}

// The selection's status reaches the frame only while the rows are settled: a refill, or a
// rebuild of the catalog, leaves the tree's own status standing.
void CQuavView::OnSelectionChanged() {
    if (!ready_)
        return;
    const CSelectionStatus::STexts texts = CSelectionStatus::Compute(SelectedTracks());
    frame_.UpdateStatusPanes({}, texts.information, texts.count, texts.size, texts.time);
}

void CQuavView::Copy() {
    QGuiApplication::clipboard()->setText(
        CSelectionStatus::ClipboardText(SelectedTracks(), DisplayedFields()));
}

TrackArray CQuavView::SelectedTracks() const {
    TrackArray tracks;
    for (int row : list_->SelectedRows())
        tracks.push_back(model_->Track(row));
    return tracks;
}

void CQuavView::EditProperties() {
    EditProperties(SelectedTracks());
}

void CQuavView::EditProperties(const TrackArray& tracks) {
    if (tracks.empty())
        return;
    const CMp3PropertySheet::SOptions options{.writeId3v2 = settings_.WriteId3v2 != 0,
                                              .read = {.exactVbrTime = settings_.ExactVbrTime != 0,
                                                       .readId3v2 = settings_.ReadId3v2 != 0}};
    CMp3PropertySheet sheet(tracks, options, window());
    if (sheet.exec() != QDialog::Accepted)
        return;
    CMessageBoxReporter reporter(window());
    doc_.SettleLook();
    sheet.WriteTags(reporter);
    // A rewritten tag moves its picture, or has one now or none.
    doc_.NoteCoversAgain(tracks);
    if (sheet.ChangesGrouping(doc_.DisplayMode()))
        doc_.RegroupAll();
    else
        RefreshRows();
    doc_.StoreSnapshot();
}

// The same rows show their new texts, in the order the sort keys now give them; the selection
// stays, and its status is told again.
void CQuavView::RefreshRows() {
    filterJob_->ForgetTexts();
    model_->RefreshTexts();
    model_->Sort(sortKey_, secondarySortKey_);
    OnSelectionChanged();
}
