#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/chain_outcome.h"
#include "rules/field.h"

namespace peterin::analysis {

// The chain a field holds: the longest that one blob, or two stacked in one column, of one
// colour dropped on top would fire, and how many blobs that takes (0 when none fires
// anything).
struct HeldChain {
    std::int32_t chain = 0;
    std::int32_t lacking = 0;
    bool operator==(const HeldChain&) const = default;
};

// For the colours that can come (kinds 1 to 5). Nothing for a field the fast field does not
// take (larger than 8 × 13, or with blocks where blobs fall).
std::optional<HeldChain> heldChain(const Field& field, const ChainRules& rules,
                                   const std::vector<int>& colours);

} // namespace peterin::analysis
