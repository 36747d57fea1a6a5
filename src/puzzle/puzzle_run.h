#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "puzzle/goal.h"
#include "rules/field.h"
#include "rules/score.h"
#include "sequence/pair_sequence.h"

namespace peterin::puzzle {

// Where a puzzle being played stands.
enum class Verdict {
    Playing, // neither met nor out of pairs
    Cleared, // "クリア": a turn met the goal
    Failed,  // "失敗": every pair was played and none met it
};

// A puzzle played with the pair keys, followed through the real turn cycle: the session tells
// it of each drop, each chain step scored and each turn's end. Which pair comes next is read
// from 1P's pair sequence, so undo and redo bring the puzzle back with the position.
class PuzzleRun {
  public:
    // `start`: 1P's sequence before the first pair; `pairs`: how many pairs the puzzle plays.
    PuzzleRun(const Goal& goal, const PairSequence& start, int pairs);

    const Goal& goal() const { return goal_; }
    int pairs() const { return static_cast<int>(sequences_.size()) - 1; }

    // How many of the puzzle's pairs have landed when 1P's sequence is `now`, or nothing when
    // it is none of the puzzle's (the position was replaced).
    std::optional<int> landed(const PairSequence& now) const;

    // 1P dropped pair `pair` (from 0): its turn opens, `field` holding the pair.
    void dropped(int pair, const Field& field);
    // A chain step of the open turn was scored: `tally` is its score record.
    void stepScored(const ScoreRecord& tally);
    // 1P waits again with `landed` pairs landed: the open turn ended with `chains` steps. A
    // turn whose pair has not landed (its drop was undone) is forgotten.
    void turnEnded(int landed, const Field& field, std::int32_t chains);
    bool turnOpen() const { return open_.has_value(); }
    // The pair of the open turn.
    int openPair() const { return openPair_; }

    // The verdict after the turns of the first `played` pairs.
    Verdict verdict(int played) const;

  private:
    Goal goal_;
    std::vector<PairSequence> sequences_;  // 1P's sequence after 0, 1, ... pairs
    std::vector<std::optional<bool>> met_; // each pair's turn, once it ended: met the goal
    std::optional<TurnTally> open_;
    int openPair_ = 0;
};

// Cells of each kind in a field, its hidden rows included.
std::array<std::int32_t, kCellKindCount> kindCounts(const Field& field);

} // namespace peterin::puzzle
