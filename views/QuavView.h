#pragma once

#include "catalog/CatalogView.h"
#include "model/TrackArray.h"
#include "settings/ColumnInfo.h"
#include "views/PlayerCommands.h"
#include "views/RowMemory.h"
#include "views/TrackFilter.h"
#include "views/ViewStyle.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <vector>

class CAppSettings;
class CColumnHeader;
class CFilterJob;
class CIniProfile;
class CListViewEx;
class CMp3File;
class CQuavDoc;
class CTrackTableModel;
class IFrameServices;
class QLabel;

// The right pane: one row per track of the node the tree selected (at most MaxRow of them),
// in the columns chosen from those of the column table, sorted by a primary and a
// secondary key that header clicks set. Rows point at the document's tracks, so the view lets
// go of them when a rebuild of the catalog begins.
class CQuavView : public QWidget, public CView {
    Q_OBJECT

public:
    using ColumnArray = std::array<CColumnInfo, kFieldCount>;

    CQuavView(CQuavDoc& doc, CAppSettings& settings, IFrameServices& frame,
              QWidget* parent = nullptr);
    ~CQuavView() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, EHint hint, const TrackArray* tracks) override;

    void SetViewStyle(EViewStyle style);
    EViewStyle ViewStyle() const;
    bool DisplayAll() const { return displayAll_; }
    // Flips displayAll, then acts as on EHint::ColumnsChanged.
    void ToggleDisplayAll();
    void SelectAll();
    // Shows only the node's tracks that pass the filter box's words; the status panes then
    // count those. An empty text shows them all again. On a large node the rows come when the
    // search is done, without blocking: the rows of the text typed before stay until then, and
    // a newer text drops the older search.
    void SetFilter(const QString& text);
    // The filter box is about to be used: the shown texts are folded for it ahead of the first
    // word typed.
    void PrepareFilter();
    // A search of the filter box's words runs, and the rows are not yet its result.
    bool IsFiltering() const;
    CFilterJob& FilterJob() { return *filterJob_; }
    void SetReady(bool ready) { ready_ = ready; }
    bool IsReady() const { return ready_; }
    // At shut-down: the current widths of the shown columns become their records' widths and
    // are written; hidden columns keep theirs.
    void WriteColumnWidths(CIniProfile& profile) const;
    // At least one row is selected.
    bool CanPlay() const;
    // The selected rows (or the tracks given) to the desktop's player, with the verb
    // CommandPlay or CommandEnqueue.
    void Play();
    void Enqueue();
    void Play(const TrackArray& tracks);
    void Enqueue(const TrackArray& tracks);
    // Tracks in the order the rows would show them: by the sort keys, ties in their own order.
    TrackArray InListOrder(TrackArray tracks) const;
    // The selected rows to the clipboard: the shown columns' full texts, tab-separated, one line
    // per row.
    void Copy();
    // The properties sheet on the selected rows. On OK their tags are written and each track
    // reads its file again; the views show what the files hold (regrouped when a track may have
    // changed groups) and the address's snapshot is stored again.
    void EditProperties();
    void EditProperties(const TrackArray& tracks);
    // The track's row selected and in sight; false when the list shows no row of it.
    bool SelectTrack(const CMp3File* track);
    // The first row selected and the keyboard in the list; false when there is no row.
    bool FocusFirstRow();
    // The line below the rows: how many of the node's (or the filter's) tracks the rows show,
    // when MaxRow holds some back; empty when it does not.
    QString RowsNote() const;

    // Reads the columns' "Column%d" sections; called once, before the initial update. Without
    // it the table's defaults hold.
    void LoadColumnSettings(const CIniProfile& profile);
    // Order, displayed and alignment of every record; the settings object marks the
    // profile as holding them (ColumnsSettings).
    void SaveColumnSettings(CIniProfile& profile) const;
    // The records in table order, for the options sheet; EHint::ColumnsChanged applies edits.
    ColumnArray& Columns() { return columns_; }
    const ColumnArray& Columns() const { return columns_; }
    // The shown columns, left to right.
    const std::vector<CColumnInfo*>& DisplayedColumns() const { return displayedColumns_; }

    int SortKey() const { return sortKey_; }
    int SecondarySortKey() const { return secondarySortKey_; }
    // The selected rows' tracks, top to bottom.
    TrackArray SelectedTracks() const;

    CListViewEx* List() const { return list_; }
    const CTrackTableModel& Model() const { return *model_; }

Q_SIGNALS:
    // The list asks for its context menu, at this point of the screen.
    void ContextMenuRequested(QPoint globalPosition);
    // The header changed the columns: the records to apply and write as the options' OK does.
    // The shown columns keep the widths they have now.
    void ColumnsEdited(const ColumnArray& columns);
    // The header's "Columns…".
    void ColumnOptionsRequested();

private:
    void OnSelectionChanged();
    void RunDoubleClickAction();
    void DropTracks();
    void ApplyColumnsChanged();
    void BuildDisplayedColumns();
    void CreateColumns();
    void Refill();
    void ShowPassing(TrackArray passing);
    void RestoreRows();
    void OnColumnClick(int column);
    void SetRowImages();
    void ShowFilteredTotals(const TrackArray& passing);
    void ShowRowsNote(std::size_t shown, std::size_t total);
    void OnColumnsEdited(ColumnArray columns);
    std::vector<EFieldId> DisplayedFields() const;
    void RefreshRows();

    CQuavDoc& doc_;
    CAppSettings& settings_;
    IFrameServices& frame_;
    CTrackTableModel* model_;
    CListViewEx* list_;
    QLabel* rowsNote_;
    CPlayerCommands player_;

    // Widths are mutable: the shut-down write refreshes them from the list.
    mutable ColumnArray columns_;
    std::vector<CColumnInfo*> displayedColumns_;
    CColumnHeader* header_ = nullptr;
    const TrackArray* shownTracks_ = nullptr;
    CTrackFilter filter_;
    CFilterJob* filterJob_;
    CRowMemory rowMemory_; // from a rebuild's beginning to the first rows after it
    // New tracks came: once their rows stand, the remembered rows are selected again.
    bool restorePending_ = false;
    bool restoreSameNode_ = false;
    bool ready_ = false;
    bool displayAll_;
    int sortKey_;
    int secondarySortKey_;
};
