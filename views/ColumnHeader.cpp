#include "views/ColumnHeader.h"

#include "desktop/FrameStrings.h"
#include "desktop/TextCodec.h"
#include "dialogs/OptionValues.h"
#include "platform/StringIds.h"
#include "settings/ColumnOrder.h"

#include <QHeaderView>
#include <QMenu>

#include <algorithm>
#include <cstdlib>

CColumnHeader::CColumnHeader(QHeaderView& header, const ColumnArray& columns,
                             const std::vector<CColumnInfo*>& shown)
    : QObject(&header), header_(header), columns_(columns), shown_(shown) {
    header_.setSectionsMovable(true);
    header_.setSortIndicatorShown(true);
    header_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&header_, &QWidget::customContextMenuRequested, this,
            [this](QPoint position) { BuildMenu(&header_)->exec(header_.mapToGlobal(position)); });
    connect(&header_, &QHeaderView::sectionMoved, this,
            [this](int logical, int, int newVisual) { OnSectionMoved(logical, newVisual); });
}

// A positive Size key puts the largest file first: its rows run downwards. A key that names no
// field (a profile may hold any number) sorts nothing and shows no arrow.
void CColumnHeader::ShowSortKey(int sortKey) {
    const bool names = sortKey >= -kFieldCount && sortKey <= kFieldCount;
    const auto field = static_cast<EFieldId>(names ? std::abs(sortKey) : 0);
    const auto shown = std::find_if(shown_.begin(), shown_.end(),
                                    [field](const CColumnInfo* c) { return c->fieldId == field; });
    const bool rising = (sortKey > 0) != (field == EFieldId::Size);
    header_.setSortIndicator(shown == shown_.end() ? -1 : static_cast<int>(shown - shown_.begin()),
                             rising ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CColumnHeader::ResetOrder() {
    resetting_ = true;
    for (int visual = 0; visual < header_.count(); ++visual)
        if (header_.logicalIndex(visual) != visual)
            header_.moveSection(header_.visualIndex(visual), visual);
    resetting_ = false;
}

// The last shown column cannot be hidden here: without a header there would be nothing to click.
std::unique_ptr<QMenu> CColumnHeader::BuildMenu(QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    const ColumnArray columns = WellFormed();
    const auto displayed = std::count_if(columns.begin(), columns.end(),
                                         [](const CColumnInfo& c) { return c.displayed != 0; });
    for (const std::size_t index : CColumnOrder::PlacementOf(columns)) {
        const CColumnInfo& column = columns[index];
        QAction* entry = menu->addAction(CTextCodec::ToQString(column.label));
        entry->setCheckable(true);
        entry->setChecked(column.displayed != 0);
        entry->setEnabled(column.displayed == 0 || displayed > 1);
        connect(entry, &QAction::triggered, this, [this, index, columns](bool checked) {
            ColumnArray edited = columns;
            edited[index].displayed = checked ? 1 : 0;
            Q_EMIT ColumnsEdited(edited);
        });
    }
    menu->addSeparator();
    connect(menu->addAction(CFrameStrings::Get(EStringId::MenuColumns)), &QAction::triggered, this,
            &CColumnHeader::OptionsRequested);
    return menu;
}

CColumnHeader::ColumnArray CColumnHeader::WellFormed() const {
    ColumnArray columns = columns_;
    SOptionValues::MakeWellFormed(columns);
    return columns;
}

std::size_t CColumnHeader::TableIndex(int logical) const {
    return static_cast<std::size_t>(shown_[static_cast<std::size_t>(logical)] - columns_.data());
}

// The moved column goes before the one now right of it (after the one left of it, when it went
// last), hidden columns keeping their places. The edit is sent once the header has finished
// with its mouse, since applying it makes the columns anew.
void CColumnHeader::OnSectionMoved(int logical, int newVisual) {
    const int last = header_.count() - 1;
    if (resetting_ || logical < 0 || static_cast<std::size_t>(logical) >= shown_.size() || last < 1)
        return;
    const bool after = newVisual == last;
    const int neighbour = header_.logicalIndex(after ? newVisual - 1 : newVisual + 1);
    ColumnArray edited = WellFormed();
    CColumnOrder::Move(edited, TableIndex(logical), TableIndex(neighbour), after);
    QMetaObject::invokeMethod(
        this, [this, edited] { Q_EMIT ColumnsEdited(edited); }, Qt::QueuedConnection);
}
