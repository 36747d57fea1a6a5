#pragma once

#include <bit>
#include <cstdint>

#include "analysis/bit_field.h"

// The bit tricks on a field's 128-bit words that the fast field and the evaluation share: one
// 16-bit lane per column, the three hidden rows at the bottom of each lane.
namespace peterin::analysis::words {

using Word = BitField::Word;

inline constexpr int kLane = 16;
inline constexpr int kHiddenRows = 3; // the top row, the HeavenArea and the LimboArea

[[gnu::always_inline]] inline int popcount(Word w) {
    return std::popcount(static_cast<std::uint64_t>(w)) +
           std::popcount(static_cast<std::uint64_t>(w >> 64));
}

[[gnu::always_inline]] inline int lowestBit(Word w) {
    const auto low = static_cast<std::uint64_t>(w);
    return low != 0 ? std::countr_zero(low)
                    : 64 + std::countr_zero(static_cast<std::uint64_t>(w >> 64));
}

// The 4-neighbours of a set of cells. A shift across the end of a lane lands in a hidden row,
// which callers working on the visible rows mask away.
inline Word spread(Word w) {
    return w | (w << 1) | (w >> 1) | (w << kLane) | (w >> kLane);
}

} // namespace peterin::analysis::words
