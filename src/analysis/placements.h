#pragma once

#include <cstdint>
#include <vector>

#include "play/falling_pair.h"

namespace peterin::analysis {

// A place the falling pair can be dropped from, with a way of getting there.
struct Placement {
    FallingPair pair;              // the pair as it is dropped: position and block
    std::int32_t column = 0;       // the pivot's column
    std::int32_t turn = 0;         // see peterin::turnOf
    std::vector<PairAction> moves; // pair keys from the start, before the drop key
};

// Every position and turn the pair can reach from where it is with the moving and turning
// keys, never passing through a blob or a wall, as a breadth-first search over the rules'
// own moves on `blocked(x, r)` (true outside the field or on a blob), so each comes with a
// shortest key sequence. States that are dropped into the same cells are given once.
template <typename Blocked>
std::vector<Placement> reachablePlacements(const Blocked& blocked, std::int32_t width,
                                           std::int32_t height, std::int32_t heavenRow,
                                           const FallingPair& start);

} // namespace peterin::analysis

#include "analysis/placements_impl.h"
