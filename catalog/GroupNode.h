#pragma once

#include <cstdint>

// A group or subgroup of the catalog, by its number in the catalog's groups.
using GroupNode = std::uint32_t;
inline constexpr GroupNode kNoGroupNode = UINT32_MAX;
