#include "views/RowMemory.h"

#include "model/Mp3File.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QAbstractItemView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QScrollBar>

void CRowMemory::Remember(const CListViewEx& list, const CTrackTableModel& model) {
    selected_.clear();
    for (const int row : list.SelectedRows())
        selected_.insert(model.Track(row)->FullPath());
    const int current = list.CurrentRow();
    current_ = current >= 0 ? model.Track(current)->FullPath() : std::string();
    scroll_ = list.CurrentView()->verticalScrollBar()->value();
    remembered_ = true;
}

// One selection change for all the rows, so that the status follows once.
void CRowMemory::Restore(CListViewEx& list, const CTrackTableModel& model, bool sameNode) {
    if (!remembered_)
        return;
    remembered_ = false;
    QItemSelectionModel* selection = list.SelectionModel();
    if (selection == nullptr)
        return;
    QItemSelection rows;
    QModelIndex current;
    const int lastColumn = model.columnCount() - 1;
    for (int row = 0; row < model.rowCount() && (!selected_.empty() || !current_.empty()); ++row) {
        const std::string path = model.Track(row)->FullPath();
        if (selected_.erase(path) > 0)
            rows.select(model.index(row, 0), model.index(row, lastColumn));
        if (!current_.empty() && path == current_) {
            current = model.index(row, 0);
            current_.clear();
        }
    }
    if (current.isValid())
        selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selection->select(rows, QItemSelectionModel::ClearAndSelect);
    if (sameNode)
        list.CurrentView()->verticalScrollBar()->setValue(scroll_);
    selected_.clear();
    current_.clear();
}
