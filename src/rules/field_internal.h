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
// writing its cells to field.fillQueue from entry `first` on and marking them with linkMask 1.
// Cells already marked are treated as counted. Returns the number of cells written; the caller
// clears the marks.
std::int32_t gatherRegion(Field& field, std::int32_t x, std::int32_t r, std::size_t first);

} // namespace peterin::detail
