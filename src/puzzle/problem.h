#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/chain_outcome.h"
#include "play/falling_pair.h"
#include "play/game.h"
#include "puzzle/goal.h"
#include "rules/field.h"

namespace peterin::puzzle {

// The most pairs a puzzle plays; a pattern that brings more (one with `*` never ends) is none.
inline constexpr int kMostPairs = 16;

// A puzzle: 1P's field, the pairs its pattern brings until it runs out, each as it appears at
// the spawn point, and the goal. A plain value, so a solver can work on its own copy.
struct Problem {
    Field field; // as the position holds it; play settles it first. Its score record is unused.
    std::vector<FallingPair> pairs;
    Goal goal;
    analysis::ChainRules rules;
};

// The problem of the game's live position with `goal`, or why it is none (in Japanese, for the
// user): a pattern without pairs, or with more than kMostPairs.
struct ProblemOf {
    std::optional<Problem> problem;
    std::string error;
};
ProblemOf problemOf(const Game& game, const Goal& goal);

} // namespace peterin::puzzle
