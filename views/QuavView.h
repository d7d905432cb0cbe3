#pragma once

#include "catalog/CatalogView.h"
#include "model/TrackArray.h"
#include "settings/ColumnInfo.h"
#include "views/PlayerCommands.h"
#include "views/TrackFilter.h"
#include "views/ViewStyle.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <vector>

class CAppSettings;
class CIniProfile;
class CListViewEx;
class CMp3File;
class CQuavDoc;
class CTrackTableModel;
class IFrameServices;

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
    // count those. An empty text shows them all again.
    void SetFilter(const QString& text);
    void SetReady(bool ready) { ready_ = ready; }
    bool IsReady() const { return ready_; }
    // At shut-down: the current widths of the shown columns become their records' widths and
    // are written; hidden columns keep theirs.
    void WriteColumnWidths(CIniProfile& profile) const;
    // At least one row is selected.
    bool CanPlay() const;
    // The selected rows to the desktop's player, with the verb CommandPlay or CommandEnqueue.
    void Play();
    void Enqueue();
    // The selected rows to the clipboard: the shown columns' full texts, tab-separated, one line
    // per row.
    void Copy();
    // The properties sheet on the selected rows. On OK their tags are written and each track
    // reads its file again; the views show what the files hold (regrouped when a track may have
    // changed groups) and the address's snapshot is stored again.
    void EditProperties();

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

private:
    void OnSelectionChanged();
    void RunDoubleClickAction();
    void DropTracks();
    void ApplyColumnsChanged();
    void BuildDisplayedColumns();
    void CreateColumns();
    void Refill();
    void OnColumnClick(int column);
    void SetRowImages();
    void ShowFilteredTotals(const TrackArray& passing);
    std::vector<EFieldId> DisplayedFields() const;
    void RefreshRows();

    CQuavDoc& doc_;
    CAppSettings& settings_;
    IFrameServices& frame_;
    CTrackTableModel* model_;
    CListViewEx* list_;
    CPlayerCommands player_;

    // Widths are mutable: the shut-down write refreshes them from the list.
    mutable ColumnArray columns_;
    std::vector<CColumnInfo*> displayedColumns_;
    const TrackArray* shownTracks_ = nullptr;
    CTrackFilter filter_;
    bool ready_ = false;
    bool displayAll_;
    int sortKey_;
    int secondarySortKey_;
};
