#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/placements.h"
#include "puzzle/problem.h"

namespace peterin::puzzle {

// The placements of a solution, one per pair played, each with the pair keys that bring it
// there from the spawn point (as the hints' placements are).
using Solution = std::vector<analysis::Placement>;

// How far a search has come.
struct SolveProgress {
    double done = 0;         // share of the search done, 0 to 1
    std::uint64_t nodes = 0; // placements tried so far
};

struct SolveOptions {
    // Told every few thousand placements; returning false cancels the search.
    std::function<bool(const SolveProgress&)> progress;
    // Told of every solution, in the order of the search, once it is complete.
    std::function<void(const Solution&)> each;
};

// What a search found. Two placements of a pair are one when they put the same colours in the
// same cells; a solution is the placements up to the turn that first meets the goal.
struct SolveResult {
    std::uint64_t solutions = 0;      // distinct placement sequences (saturating)
    std::uint64_t finalPositions = 0; // distinct positions the solutions end in
    std::optional<Solution> first;    // the first solution in the search's order
    std::uint64_t nodes = 0;          // placements tried: a drop and its chain each
    bool cancelled = false;           // the counts are then those found so far

    bool unique() const { return solutions == 1 && !cancelled; }
};

// Searches every placement the pair keys reach of every pair in turn, settling the field as
// play does first. Fields that reach one position after the same number of pairs are searched
// once, and a line is given up where what is left on the field and in the pairs cannot meet
// the goal any more.
SolveResult solve(const Problem& problem, const SolveOptions& options = {});

} // namespace peterin::puzzle
