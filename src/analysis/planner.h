#pragma once

#include <cstdint>
#include <vector>

#include "analysis/evaluation.h"
#include "analysis/hint.h"

namespace peterin::analysis {

// The planning engine: a beam search many pairs ahead, past the visible next pairs over guesses
// of the unseen ones drawn from the pattern's colours and shapes by its own generator, seeded by
// the position. Limited by a count of nodes (placements tried), never by the clock, so one
// position gets one answer on every machine.

inline constexpr int kMinLevel = 1;
inline constexpr int kMaxLevel = 5;
inline constexpr int kDefaultLevel = 5; // peterin-sim
inline constexpr int kHintLevel = 5;    // the hint plans as the strongest level, on fewer nodes
inline constexpr int kReviewLevel = 4;  // a whole game's turns weighed in a few seconds

// How one strength level searches, and how it errs on purpose.
struct LevelProfile {
    int depth = 1;          // pairs planned: the falling one, the visible ones, then guesses
    int samples = 1;        // guesses of the unseen pairs, each searched on its own
    std::int64_t nodes = 1; // placements tried in all; the beam's width follows from it
    double slip = 0;        // chance that a pair goes to one of the next few places instead
    int slipRange = 1;      // how many places after the best a slip picks from
    double eagerness = 1;   // share of its value a chain fired at once keeps: below 1 the
                            // engine fires late, while the field is not yet crowded
    bool chainForm = true;  // weighs the held chain's spent blobs, the valley shape and groups
                            // of three: it pays only with a search deep enough to grow the
                            // chain it holds back for
};
LevelProfile levelProfile(int level);

struct EngineOptions {
    int level = kDefaultLevel;
    std::int64_t nodes = 0; // nodes to search instead of the level's own (0: the level's)
    int depth = 0;          // for tuning: pairs planned instead of the level's (0: the level's)
    int samples = 0;        // for tuning: guesses instead of the level's (0: the level's)
    PlanWeights weights{};
    // Nuisance announced to this side, which falls once `incomingAfter` pairs have landed (and
    // the rest, a batch at a time, after each pair from then on) unless a chain offsets it.
    std::int32_t incoming = 0;
    int incomingAfter = 1;
};

// How the hint searches: level 5's plan on fewer nodes than its own. Level 5 itself comes near
// 100 ms on its slowest moves; this stays well within it on the hint's worker thread.
inline constexpr std::int64_t kHintNodes = 20000;
inline EngineOptions hintOptions() {
    EngineOptions options;
    options.level = kHintLevel;
    options.nodes = kHintNodes;
    return options;
}

// The reachable placements of the request's pair, best first, as suggest() ranks them (those
// after which a pair could be lost last). Fields the fast field does not take, or with colours
// it cannot guess, are searched by suggest() itself.
std::vector<Suggestion> plan(const HintRequest& request, const EngineOptions& options = {});

// Where the blobs of `pair`, dropped on `start`, come to rest (before anything vanishes); empty
// when the pair is lost.
std::vector<LandedBlob> landingOf(const BitField& start, const FallingPair& pair);

// Nodes the last plan() on this thread searched (for measuring).
std::int64_t lastPlanNodes();

} // namespace peterin::analysis
