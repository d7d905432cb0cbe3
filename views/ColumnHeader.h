#pragma once

#include "settings/ColumnInfo.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <memory>
#include <vector>

class QHeaderView;
class QMenu;
class QWidget;

// The details view's header as users of music programs drive it: the sorting column shows its
// arrow; a right click opens the column menu (every column as a check item, in the list's
// order, then "Columns…"); dragging a header moves its column. An edit comes out as a whole new
// set of column records, made well-formed as the options sheet makes them, for the window to
// apply and write as the sheet's OK does.
class CColumnHeader : public QObject {
    Q_OBJECT
public:
    using ColumnArray = std::array<CColumnInfo, kFieldCount>;

    // `columns` are the view's records and `shown` its displayed columns, left to right; both
    // are read when the user acts.
    CColumnHeader(QHeaderView& header, const ColumnArray& columns,
                  const std::vector<CColumnInfo*>& shown);

    // The arrow on the shown column of the signed key, pointing as its rows run; none when the
    // column is not shown.
    void ShowSortKey(int sortKey);
    // Each section back at its own place: the columns are made anew in their new order.
    void ResetOrder();
    std::unique_ptr<QMenu> BuildMenu(QWidget* parent);

Q_SIGNALS:
    void ColumnsEdited(const CColumnHeader::ColumnArray& columns);
    void OptionsRequested();

private:
    ColumnArray WellFormed() const;
    std::size_t TableIndex(int logical) const;
    void OnSectionMoved(int logical, int newVisual);

    QHeaderView& header_;
    const ColumnArray& columns_;
    const std::vector<CColumnInfo*>& shown_;
    bool resetting_ = false;
};
