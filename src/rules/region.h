#pragma once

#include <cstdint>

#include "rules/field.h"

namespace peterin {

// The running count of one region fill.
struct RegionTally {
    std::int32_t count = 0;
    CellKind kind = CellKind::Empty;
};

// The region fills. Each visits neighbours in the fixed order right, down, left, up and enters
// a neighbour only inside columns 0 to width - 1 and the visible rows; the start cell may lie in
// any row. They run on an explicit stack, so regions of any size are safe. A start outside the
// field does nothing.

// Marks the region of tally.kind visited, adding each cell to tally.count and clearing its
// linkMask. The start cell is counted whatever its kind.
void countRegion(Field& field, RegionTally& tally, std::int32_t x, std::int32_t r);

// Writes tally.count into groupSize across the visited region of tally.kind, clearing visited.
void assignRegion(Field& field, const RegionTally& tally, std::int32_t x, std::int32_t r);

// Marks the region of `kind` visited.
void markRegion(Field& field, CellKind kind, std::int32_t x, std::int32_t r);

// Empties the region of `kind`, and every nuisance blob directly beside one of its cells, and
// lets what stood on them float. Iron, blocks and other colours stay. With `kind` Empty only
// the start cell is touched.
void eraseRegion(Field& field, CellKind kind, std::int32_t x, std::int32_t r);

} // namespace peterin
