#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/placements.h"
#include "play/game.h"

namespace peterin::analysis {

// What one pair came to in the real game.
struct PlayedTurn {
    bool lost = false;               // the drop found its pivot cell blocked
    std::int32_t chains = 0;         // chain steps the turn cycle counted
    std::int32_t score = 0;          // the turn's score
    std::vector<std::int32_t> steps; // each step's score
};

// Plays `placement` for 1P of a game in play mode that waits for input: the moves as the pair
// keys make them, the drop, then timer ticks until 1P waits again. Returns nothing (and stops
// before the drop) when the moves do not bring the pair where the placement says, or when the
// turn does not end within `maxTicks`.
std::optional<PlayedTurn> playTurn(Game& game, const Placement& placement,
                                   long maxTicks = 10'000'000);

// Ticks 1P's turn cycle until it waits for input; false when it does not within `maxTicks`.
bool runUntilIdle(Game& game, std::vector<std::int32_t>* steps, long maxTicks = 10'000'000);

} // namespace peterin::analysis
