#pragma once

#include <cstdint>

#include "analysis/bit_field.h"
#include "analysis/chain_outcome.h"

namespace peterin::analysis {

// The weights of the planning engine's evaluation, in points of score: a chain is worth what it
// scores, and the shape terms are priced against that. Tuned by bench/analysis.
struct PlanWeights {
    double chainSquare = 1500;    // per chain step squared, on top of the score
    double secondBlob = 0.75;     // share of a held chain's value when it takes two blobs to fire
    double excess = 10000;        // per blob of a held chain's groups beyond the fewest
    double potentialShare = 0.95; // share of a held chain's value against one fired
    double heldScore = 1;         // share of a held chain's score in its value: its chain
                                  // steps count in full, the score of oversized groups less
    double bump = 120;            // per squared height difference of neighbouring columns
    double valley = 50;           // per squared row off the valley profile (see shape())
    double crowding = 300;        // per squared row short of two free rows in a column
    double spawnCrowding = 30000; // the same near the spawn column (see shape())
    double limbo = 20000;         // per blob waiting in the LimboArea
    double aboveLimbo = 100000;   // per blob above it, where it stays for good
    double connection = 40;       // per pair of touching blobs of one colour
    double triple = 1000;         // per group of three: one blob short of a link or a trigger
    double lonely = 0;            // per visible blob touching none of its colour
    double full = 4000;           // per squared blob beyond `fullShare` of the visible cells
    double fullShare = 0.85;      // where a nearly full field starts to press for a fire
    double emergencyShare = 0.88; // where any chain at hand is fired first
    double depthDiscount = 0.99;  // per pair of delay before a value is reached
    double pruned = 3000;         // per pair short of the horizon where a line left the beam
    // A chain fired short of `fireTarget` steps keeps only part of its value while the field
    // still has room (below `holdShare` of the visible cells): `shortFire` less per step short.
    // Long chains score far more per blob, so holding out for one pays.
    double fireTarget = 0;
    double shortFire = 0.08;
    double holdShare = 0.7;
};

// The weights without the chain form terms (`excess`, `valley`, `triple`): for searches too
// short, or games too quick, to grow the chain they would hold back for.
inline PlanWeights withoutChainForm(PlanWeights w) {
    w.excess = 0;
    w.valley = 0;
    w.triple = 0;
    return w;
}

// What a field holds.
struct Evaluation {
    double potential = 0; // the best chain one or two added blobs of one colour fire
    double shape = 0;     // the shape terms, mostly penalties
    std::int32_t potentialChains = 0;
};

class Evaluator {
  public:
    // `colours`: bit k set when colour kind k can come.
    Evaluator(const PlanWeights& weights, ChainRules rules, std::uint32_t colours)
        : w_(weights), rules_(rules), colours_(colours) {}

    // What a chain fired is worth.
    double fireValue(const ChainOutcome& out) const;
    // The chain potential (for each column and colour, one blob or two put on top and the
    // field resolved) and the shape of a settled field.
    Evaluation evaluate(const BitField& b) const;

    const PlanWeights& weights() const { return w_; }

  private:
    using Rests = std::array<std::int32_t, BitField::kMaxWidth>; // BitField::restingRows()
    double potential(const BitField& b, const Rests& rests, std::int32_t& chains) const;
    double shape(const BitField& b, const Rests& rests) const;

    const PlanWeights& w_;
    ChainRules rules_;
    std::uint32_t colours_;
};

} // namespace peterin::analysis
