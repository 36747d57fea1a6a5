#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/field.h"

// Helpers shared by the rule sources; not part of the library's interface.
namespace peterin::detail {

// An emptied cell keeps no fall state and no group.
inline void makeEmpty(Cell& cell) {
    cell.kind = CellKind::Empty;
    cell.fallState = kResting;
    cell.groupSize = 0;
    cell.linkMask = 0;
}

// Gathers the visible region of the kind of the visible cell (x, r) by breadth-first search,
// appending its cells to field.fillStack and marking them with linkMask 1. Cells already marked
// are treated as counted. Returns the number of cells appended. The caller clears the marks.
std::int32_t gatherRegion(Field& field, std::int32_t x, std::int32_t r);

} // namespace peterin::detail
