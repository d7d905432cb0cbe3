#pragma once

#include "settings/ColumnInfo.h"

#include <array>
#include <cstddef>

// Where the track list places its columns, and the edits of that place that the options sheet
// and the list's header make. The list places the columns by `order`, equal orders in table
// order; renumbered, the same columns stand in the same places with one step between each.
class CColumnOrder {
public:
    using ColumnArray = std::array<CColumnInfo, kFieldCount>;
    // Table indexes, left to right.
    using Placement = std::array<std::size_t, kFieldCount>;

    static Placement PlacementOf(const ColumnArray& columns);
    // Orders from 1 along the placement.
    static void Renumber(ColumnArray& columns);
    // Puts column `moved` just before (or after) column `neighbour`, the others keeping their
    // places, and renumbers. Indexes are table indexes.
    static void Move(ColumnArray& columns, std::size_t moved, std::size_t neighbour, bool after);
};
