#include "settings/ColumnOrder.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

void Number(CColumnOrder::ColumnArray& columns, const std::vector<std::size_t>& placement) {
    for (std::size_t place = 0; place < placement.size(); ++place)
        columns[placement[place]].order = static_cast<int>(place) + 1;
}

} // namespace

CColumnOrder::Placement CColumnOrder::PlacementOf(const ColumnArray& columns) {
    Placement placement{};
    std::iota(placement.begin(), placement.end(), std::size_t{0});
    std::stable_sort(placement.begin(), placement.end(), [&columns](std::size_t a, std::size_t b) {
        return columns[a].order < columns[b].order;
    });
    return placement;
}

void CColumnOrder::Renumber(ColumnArray& columns) {
    const Placement placement = PlacementOf(columns);
    Number(columns, {placement.begin(), placement.end()});
}

void CColumnOrder::Move(ColumnArray& columns, std::size_t moved, std::size_t neighbour,
                        bool after) {
    const Placement old = PlacementOf(columns);
    std::vector<std::size_t> placement(old.begin(), old.end());
    if (moved >= columns.size() || neighbour >= columns.size() || moved == neighbour)
        return Number(columns, placement);
    placement.erase(std::find(placement.begin(), placement.end(), moved));
    auto at = std::find(placement.begin(), placement.end(), neighbour);
    placement.insert(after ? at + 1 : at, moved);
    Number(columns, placement);
}
