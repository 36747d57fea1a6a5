#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/cell.h"

namespace peterin::puzzle {

// What a puzzle asks of one turn.
enum class GoalKind {
    ChainAtLeast,        // chain>=N: a chain of N steps or more
    ChainExactly,        // chain=N: a chain of exactly N steps
    ClearAll,            // clear-all: no blob that can vanish is left
    ClearColour,         // clear-colour=R: no blob of colour R is left
    ClearBlobsAtLeast,   // clear-blobs>=N: one step clears N colour blobs or more
    ClearColoursAtLeast, // clear-colours>=N: one step clears N colours or more
    ClearNuisance,       // clear-nuisance: no nuisance blob is left
};

// A puzzle's goal; it prints and parses itself in the form the file and peterin-sim use.
struct Goal {
    GoalKind kind = GoalKind::ChainAtLeast;
    std::int32_t count = 1;            // N of the goals that have one
    CellKind colour = CellKind::Empty; // R of clear-colour

    bool operator==(const Goal&) const = default;
};

// The largest N a goal takes; clear-colours>=N takes at most 5.
inline constexpr std::int32_t kMostGoalCount = 9999;

// "chain>=4", "clear-colour=R", ...
std::string goalText(const Goal& goal);

// A goal, or why the text is none (one line, naming every form a goal takes). Blanks around
// the text are allowed, nothing else.
struct ParsedGoal {
    std::optional<Goal> goal;
    std::string error;
};
ParsedGoal parseGoal(std::string_view text);

// What one turn came to, as far as a goal asks.
struct TurnTally {
    std::int32_t chains = 0;      // chain steps counted
    std::int32_t mostCleared = 0; // the most colour blobs one counted step cleared
    std::int32_t mostColours = 0; // the most colours one counted step cleared
    // Cells of each kind in the field once the pair was placed, and once the turn ended.
    std::array<std::int32_t, kCellKindCount> before{};
    std::array<std::int32_t, kCellKindCount> after{};
};

// Whether the turn meets the goal. The clearing goals ask that the turn cleared something of
// what they name and left none of it; iron blobs and blocks, which nothing clears, do not count.
bool goalMet(const Goal& goal, const TurnTally& turn);

} // namespace peterin::puzzle
