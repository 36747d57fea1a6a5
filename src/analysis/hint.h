#pragma once

#include <cstdint>
#include <vector>

#include "analysis/chain_outcome.h"
#include "analysis/placements.h"
#include "play/game.h"
#include "rules/field.h"
#include "sequence/pair_sequence.h"

namespace peterin::analysis {

// What the engine is shown: one player's field, its falling pair as it stands and the next
// pairs the player can see. A plain value, so a search can run on its own copy.
struct HintRequest {
    Field field; // its score record is never touched
    FallingPair pair;
    std::vector<Pair> next;
    ChainRules rules;
    // What the pattern can bring after the visible pairs: its used colours and its shapes.
    std::vector<int> colours{1, 2, 3, 4};
    std::vector<int> shapes{kShape2};
};

// The request for a player of a game as it stands: the next pairs are those of the queue that
// "表示可能数" lets the next window show.
HintRequest hintRequestFor(const Game& game, int player);

// The weights of the evaluation and the size of the search, tuned by bench/analysis.
struct EngineWeights {
    double potential = 100;     // per chain step one or two added blobs of one colour could fire
    double secondBlob = 15;     // less when it takes two
    double fire = 0;            // per chain step fired
    double fireSquare = 9;      // per chain step fired, squared: long chains are worth the wait
    double fireScore = 0.0;     // per point a fire scores
    double afterFire = 0.2;     // share of the value of what a fire leaves
    double connection = 3;      // per pair of touching blobs of one colour
    double bump = 2;            // per squared height difference of neighbouring columns
    double crowding = 20;       // per squared row short of three free rows in a column
    double spawnCrowding = 400; // the same for the spawn column, whose blocking loses pairs
    double full = 6;            // per squared blob beyond `fullShare` of the visible cells
    double fullShare = 0.72;    // where a nearly full field starts to press for a fire
    int depth = 3;              // pairs searched: the falling one and up to this many - 1 next
    int beam = 4;               // best lines per first placement followed past the second pair
};

// One blob of a placed pair where it comes to rest.
struct LandedBlob {
    std::int32_t x = 0;
    std::int32_t r = 0;
    CellKind kind = CellKind::Empty;
};

// One ranked placement of the falling pair.
struct Suggestion {
    Placement placement;
    double value = 0;
    ChainOutcome fired; // the chain the drop fires at once
    // A pair could be lost after it: it is lost itself, it leaves the cell where the next
    // pair's pivot appears occupied (dropping that pair at once loses it), or so does every
    // line over the visible next pairs.
    bool losing = false;
    // The search followed it past this pair; a place its beam left out at once is not known
    // to lose, but not weighed as far either.
    bool followed = true;
    std::vector<LandedBlob> landing;
};

// The largest fields the engine searches. Beyond them one search would take minutes and
// gigabytes (it keeps a field for every placement it follows), so suggest() gives nothing.
inline constexpr std::int32_t kSearchMaxWidth = 64;
inline constexpr std::int32_t kSearchMaxRows = 64; // the LimboArea's rows included
bool searchable(const Field& field);

// The reachable placements of the request's pair, best first: those after which a pair could
// be lost last, the rest by the value of the best line over the visible next pairs.
std::vector<Suggestion> suggest(const HintRequest& request, const EngineWeights& weights = {});

} // namespace peterin::analysis
