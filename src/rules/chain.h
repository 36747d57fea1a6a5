#pragma once

#include <cstdint>

#include "rules/field.h"

namespace peterin {

// Result bits of gravityStep.
inline constexpr int kGravityFloating = 1; // some blob still floats after the step
inline constexpr int kGravityLanded = 2;   // some blob came to rest in this step

// True when a gravityStep result means nothing floats any more (0 or kGravityLanded).
constexpr bool isSettled(int gravityFlags) {
    return (gravityFlags & kGravityFloating) == 0;
}

// Moves every floating blob of the visible rows and the LimboArea down one row, then recounts
// the groups. Returns a combination of kGravityFloating and kGravityLanded.
int gravityStep(Field& field);

// Whether a colour region of at least `threshold` cells exists. With `tally` (and a score
// record on the field) every such group is also added to the record and its cells are left
// marked visited until the next recount.
bool findGroups(Field& field, std::int32_t threshold, bool tally);

// Erases every colour region of at least `threshold` cells with the nuisance touching it, using
// the group sizes as they stand. Returns whether anything was erased.
bool vanishGroups(Field& field, std::int32_t threshold);

} // namespace peterin
