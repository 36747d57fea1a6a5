#pragma once

#include <cstdint>

namespace peterin::analysis {

// What one turn's chain came to, counted as the turn cycle counts it.
struct ChainOutcome {
    std::int32_t chains = 0;   // chain steps scored
    std::int32_t score = 0;    // sum of the step scores, saturating as the turn cycle's does
    std::int32_t vanishes = 0; // steps in which something vanished, counted or not
    // The most colour blobs, and colours, one counted step cleared: what puzzle goals ask of.
    std::int32_t mostCleared = 0;
    std::int32_t mostColours = 0;
};

// The rules a search field resolves by: the settings that change what a chain does.
struct ChainRules {
    std::int32_t threshold = 4; // 消える連結数
    // The turn cycle scores a step on the first tick of its vanish phase; with "消去後" 0 there
    // is no such tick and the steps vanish uncounted.
    bool countSteps = true;
};

} // namespace peterin::analysis
