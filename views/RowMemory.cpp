#include "views/RowMemory.h"

#include "model/Mp3File.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QAbstractItemView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QScrollBar>

namespace {

// The row at the top left of the view, a few pixels in so that the icon styles' spacing does
// not hide it; -1 for an empty view.
int TopRow(const QAbstractItemView& view) {
    constexpr int kInset = 4;
    const QModelIndex top = view.indexAt(QPoint(kInset, kInset));
    return top.isValid() ? top.row() : -1;
}

} // namespace

void CRowMemory::Remember(const CListViewEx& list, const CTrackTableModel& model) {
    selected_.clear();
    for (const int row : list.SelectedRows())
        selected_.insert(model.Track(row)->FullPath());
    const int current = list.CurrentRow();
    current_ = current >= 0 ? model.Track(current)->FullPath() : std::string();
    const int top = TopRow(*list.CurrentView());
    top_ = top >= 0 ? model.Track(top)->FullPath() : std::string();
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
    QModelIndex top;
    QModelIndex firstSelected;
    if (!sameNode)
        top_.clear();
    const int lastColumn = model.columnCount() - 1;
    for (int row = 0;
         row < model.rowCount() && (!selected_.empty() || !current_.empty() || !top_.empty());
         ++row) {
        const std::string path = model.Track(row)->FullPath();
        if (selected_.erase(path) > 0) {
            rows.select(model.index(row, 0), model.index(row, lastColumn));
            if (!firstSelected.isValid())
                firstSelected = model.index(row, 0);
        }
        if (!current_.empty() && path == current_) {
            current = model.index(row, 0);
            current_.clear();
        }
        if (!top_.empty() && path == top_) {
            top = model.index(row, 0);
            top_.clear();
        }
    }
    if (current.isValid())
        selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selection->select(rows, QItemSelectionModel::ClearAndSelect);
    QAbstractItemView* view = list.CurrentView();
    const QModelIndex shown = current.isValid() ? current : firstSelected;
    if (top.isValid())
        view->scrollTo(top, QAbstractItemView::PositionAtTop);
    else if (shown.isValid())
        view->scrollTo(shown, QAbstractItemView::EnsureVisible);
    else if (sameNode)
        view->verticalScrollBar()->setValue(scroll_);
    selected_.clear();
    current_.clear();
    top_.clear();
}
