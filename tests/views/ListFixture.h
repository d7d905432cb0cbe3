#pragma once

#include "TrackFiles.h"
#include "model/FieldIds.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QTest>
#include <QTreeView>

// A shown list of real tracks in the columns File and Title, 80 pixels each, in a window
// much wider than the columns. The list starts without the keyboard focus.
struct SListFixture {
    explicit SListFixture(const std::vector<STrackFields>& fields) : files(fields) {
        model.SetColumns({EFieldId::File, EFieldId::Title},
                         {QStringLiteral("File"), QStringLiteral("Title")});
        model.SetTracks(files.Pointers());
        list.SetModel(&model);
        list.SetColumnWidth(0, 80);
        list.SetColumnWidth(1, 80);
        list.resize(500, 240);
        list.show();
        exposed = QTest::qWaitForWindowExposed(&list);
        list.DetailsView()->clearFocus();
    }

    void SelectRow(int row) {
        list.SelectionModel()->select(model.index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
    }

    QImage Picture() { return list.DetailsView()->viewport()->grab().toImage(); }

    // The middle line of a row, in the coordinates of the details view's viewport.
    int RowY(int row) const {
        return list.DetailsView()->visualRect(model.index(row, 0)).center().y();
    }
    QRect Cell(int row, int column) const {
        return list.DetailsView()->visualRect(model.index(row, column));
    }

    CTrackFiles files;
    CTrackTableModel model;
    CListViewEx list;
    bool exposed = false;
};
