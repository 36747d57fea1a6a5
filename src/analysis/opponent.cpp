#include "analysis/opponent.h"

#include <algorithm>
#include <utility>

#include "analysis/bit_field.h"
#include "analysis/planner.h"
#include "play/battle.h"
#include "play/temp_store.h"

namespace peterin::analysis {

namespace {

// The nuisance a chain sends, step by step as the turn cycle counts it.
std::int32_t nuisanceOf(const std::vector<std::int32_t>& steps) {
    std::int32_t sent = 0;
    for (const std::int32_t step : steps) {
        sent += step / kScorePerNuisance;
    }
    return sent;
}

// A chain a field holds: the largest one or two blobs of one colour on top of a column fire.
struct Held {
    std::int32_t chains = 0;
    std::int32_t nuisance = 0;
};

Held heldChain(const BitField& b, const std::vector<int>& colours, std::int32_t threshold) {
    Held best;
    for (std::int32_t x = 0; x < b.width(); ++x) {
        const std::optional<std::int32_t> r = b.restingRow(x);
        if (!r || *r < 0) {
            continue;
        }
        for (const int c : colours) {
            const auto kind = static_cast<CellKind>(c);
            BitField t = b;
            t.put(x, *r, kind);
            if (t.regionSize(x, *r) < threshold) {
                if (*r < 1) {
                    continue;
                }
                t.put(x, *r - 1, kind);
                if (t.regionSize(x, *r) < threshold) {
                    continue;
                }
            }
            std::vector<std::int32_t> steps;
            const ChainOutcome out = t.resolve(&steps);
            const Held held{out.chains, nuisanceOf(steps)};
            if (held.nuisance > best.nuisance ||
                (held.nuisance == best.nuisance && held.chains > best.chains)) {
                best = held;
            }
        }
    }
    return best;
}

// Empty visible rows on top of the column.
std::int32_t freeRows(const BitField& b, std::int32_t x) {
    const std::optional<std::int32_t> r = b.restingRow(x);
    return r ? std::max(0, *r + 1) : 0;
}

// Whether `n` nuisance falling on the field would block the column where pairs appear.
bool buries(const BitField& b, std::int32_t n) {
    if (n <= 0) {
        return false;
    }
    const std::int32_t spawn = std::min(2, b.width() - 1);
    const std::int32_t rows = (n + b.width() - 1) / b.width();
    return rows >= freeRows(b, spawn);
}

bool opponentChaining(const BattleSight& sight) {
    return sight.opponentChain > 0 && sight.opponentPhase != Phase::Idle;
}

// A place of the falling pair that fires at once: what it sends and what it leaves held.
struct Fire {
    const Suggestion* suggestion = nullptr;
    std::int32_t sent = 0;
    Held left;
};

// Battle sense over the engine's ranking: defend, finish, strike first or harass when the
// fields call for it; otherwise nothing, and the engine's best place stands (build).
const Suggestion* battleChoice(const BattleSight& sight, const std::vector<Suggestion>& ranked,
                               int level) {
    const ChainRules& rules = sight.self.rules;
    const std::optional<BitField> me = BitField::from(sight.self.field, rules);
    const std::optional<BitField> them = BitField::from(sight.opponent.field, rules);
    if (!me || !them) {
        return nullptr;
    }
    std::vector<int> colours;
    for (const int c : sight.self.colours) {
        if (c >= 1 && c <= 5) {
            colours.push_back(c);
        }
    }
    const std::int32_t width = me->width();
    const std::int32_t incoming = sight.pending[static_cast<std::size_t>(sight.player)];
    const std::int32_t outgoing =
        sight.pending[static_cast<std::size_t>(otherPlayer(sight.player))];
    const Held mine = heldChain(*me, colours, rules.threshold);
    const Held theirs = heldChain(*them, colours, rules.threshold);
    const bool theyChain = opponentChaining(sight);

    std::vector<Fire> fires;
    for (const Suggestion& s : ranked) {
        // Only fires the search looked past: battle sense was tuned on those.
        if (s.losing || !s.followed || s.fired.chains == 0) {
            continue;
        }
        BitField after = *me;
        if (!after.drop(s.placement.pair)) {
            continue;
        }
        std::vector<std::int32_t> steps;
        after.resolve(&steps);
        fires.push_back({&s, nuisanceOf(steps), heldChain(after, colours, rules.threshold)});
    }
    if (fires.empty()) {
        return nullptr;
    }
    // The one that sends the most; among equals the engine's order.
    const Fire& strongest = *std::max_element(
        fires.begin(), fires.end(), [](const Fire& a, const Fire& b) { return a.sent < b.sent; });

    // An attack that would bury this side: offset it, or send it back, while a chain can.
    if (incoming > 0 && buries(*me, incoming) && strongest.sent > 0) {
        if (!buries(*me, incoming - strongest.sent) || 2 * strongest.sent >= incoming) {
            return strongest.suggestion;
        }
    }
    // Below level 4 the computer only defends: it misses the winning blow, the first strike
    // and the harassing chain.
    if (level < 4) {
        return nullptr;
    }
    // What reaches the other side once the nuisance announced here is offset. What the other
    // side could answer with is left out: holding a burying chain for fear of an answer lost
    // more games than it won (on start positions 0 to 19).
    const std::int32_t reaches = strongest.sent - incoming;
    // A chain that buries the other side: the game is won.
    if (!theyChain && reaches >= width && buries(*them, outgoing + reaches)) {
        return strongest.suggestion;
    }
    if (incoming > 0 || theyChain) {
        return nullptr;
    }
    // The other side holds a chain that would bury this side and that this side's own cannot
    // answer in time: strike first with two rows or more, before it fires.
    if (buries(*me, theirs.nuisance - mine.nuisance) && theirs.chains >= mine.chains + 2 &&
        strongest.sent >= 2 * width) {
        return strongest.suggestion;
    }
    // Harass a builder with a small quick chain that keeps this side's own chain standing.
    if (theirs.chains >= 3) {
        const std::int32_t enough = level >= 5 ? width : 2 * width;
        for (const Fire& f : fires) {
            if (f.sent >= enough && f.suggestion->fired.chains <= 3 &&
                f.left.chains >= mine.chains - 1) {
                return f.suggestion;
            }
        }
    }
    return nullptr;
}

// How a level plays a battle on top of its planner's level, tuned with peterin-sim battle on
// start positions 0 to 99 and 30000 to 30099. The battles are short and mostly won by the
// first chain of four to eight that the other side cannot answer, so a deeper plan is worth
// little and the levels are set apart mostly by how often they misplace a pair: the second
// best place is often nearly as good, so the lower levels take it on about half their moves.
struct BattleStyle {
    int nextPairs = 99;  // of the next pairs shown, how many it plans with
    int slipPercent = 0; // of its moves go to the second best place
};
BattleStyle styleOf(int level) {
    switch (level) {
    case 1:
        return {0, 75};
    case 2:
        return {1, 70};
    case 3:
        return {99, 40};
    case 4:
        return {99, 12};
    default:
        return {99, 0};
    }
}

// A number of the position alone, for the mistakes a level makes on purpose.
std::uint64_t sightHash(const BattleSight& sight) {
    std::uint64_t h = 1469598103934665603ull;
    const auto add = [&h](std::uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    const Field& f = sight.self.field;
    for (std::int32_t r = -f.limboRows; r < f.height; ++r) {
        for (std::int32_t x = 0; x < f.width; ++x) {
            add(static_cast<std::uint64_t>(getCell(f, x, r)));
        }
    }
    for (const CellKind k : sight.self.pair.cells) {
        add(static_cast<std::uint64_t>(k));
    }
    for (const Pair& p : sight.self.next) {
        for (const int c : p.slot) {
            add(static_cast<std::uint64_t>(c));
        }
    }
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

// The nuisance about to fall on this side, for the search to weigh: what is announced, and
// what the other side's running chain will still send. It falls once the pair after this one
// has landed while that chain runs, else once this one has.
void threatOf(const BattleSight& sight, EngineOptions& options) {
    options.incoming = sight.pending[static_cast<std::size_t>(sight.player)];
    options.incomingAfter = 1;
    if (!opponentChaining(sight)) {
        return;
    }
    options.incomingAfter = 2;
    if (std::optional<BitField> them = BitField::from(sight.opponent.field, sight.opponent.rules)) {
        std::vector<std::int32_t> steps;
        them->resolve(&steps, sight.opponentChain);
        options.incoming += nuisanceOf(steps);
    }
}

} // namespace

BattleSight sightFor(const Game& game, int player) {
    BattleSight sight;
    sight.player = player;
    sight.self = hintRequestFor(game, player);
    sight.opponent = hintRequestFor(game, otherPlayer(player));
    for (int p = 0; p < kPlayerCount; ++p) {
        sight.pending[static_cast<std::size_t>(p)] =
            game.players[static_cast<std::size_t>(p)].pendingNuisance;
    }
    const Player& other = game.players[static_cast<std::size_t>(otherPlayer(player))];
    sight.opponentPhase = other.phase;
    sight.opponentChain = other.chainCount;
    return sight;
}

Decision decide(const BattleSight& sight, int level, std::int64_t nodes) {
    std::vector<Suggestion> ranked;
    if (level == kBaselineLevel) {
        ranked = suggest(sight.self);
    } else {
        EngineOptions options;
        options.level = level;
        options.nodes = nodes;
        // A battle is mostly won by the first chain the other side cannot answer: holding out
        // for a longer, leaner one lost more games than it won.
        options.weights = withoutChainForm(options.weights);
        const BattleStyle style = styleOf(level);
        if (level == kMaxLevel) {
            threatOf(sight, options);
        }
        HintRequest request = sight.self;
        // The lower levels take fewer of the next pairs into account than the window shows.
        if (request.next.size() > static_cast<std::size_t>(style.nextPairs)) {
            request.next.resize(static_cast<std::size_t>(style.nextPairs));
        }
        ranked = plan(request, options);
    }
    Decision decision;
    if (ranked.empty()) {
        decision.keys.push_back(PairAction::Down);
        return decision;
    }
    const Suggestion* chosen = &ranked.front();
    // Now and then a level puts the pair at the second best place, on top of the planner's
    // own slips, as the position (not the clock) decides.
    const int slip = level == kBaselineLevel ? 0 : styleOf(level).slipPercent;
    if (slip > 0 && ranked.size() > 1 && !ranked[1].losing && ranked[1].followed &&
        static_cast<int>(sightHash(sight) % 100) < slip) {
        chosen = &ranked[1];
    }
    if (level >= 2) {
        if (const Suggestion* battle = battleChoice(sight, ranked, level)) {
            chosen = battle;
        }
    }
    decision.keys = chosen->placement.moves;
    decision.keys.push_back(PairAction::Down);
    return decision;
}

Pace paceOf(int level) {
    // Beats of 10 ms: level 5 places a pair of two moves in about a quarter of a second, as a
    // strong player does; level 1 takes about a second and a half.
    switch (std::clamp(level, kBaselineLevel, kMaxLevel)) {
    case 1:
        return {70, 24};
    case 2:
        return {50, 18};
    case 3:
        return {35, 13};
    case 4:
        return {22, 9};
    default:
        return {12, 6};
    }
}

bool ComputerPlayer::myTurn(const Game& game) const {
    const Player& self = game.players[static_cast<std::size_t>(player_)];
    return game.mode == Mode::Battle && !battleOver(game) && !tempIsShowing(game) &&
           self.phase == Phase::Idle;
}

ComputerPlayer::Beat ComputerPlayer::beat(const Game& game) {
    Beat out;
    if (!myTurn(game)) {
        waiting_ = false;
        decision_.reset();
        return out;
    }
    const Player& self = game.players[static_cast<std::size_t>(player_)];
    const Pair front = self.sequence.queue.empty() ? Pair{} : self.sequence.queue.front();
    // A field or pair that changed while it waited (a file read, a step back) is a new turn.
    if (!waiting_ || front != seenFront_ || !(cellsOf(self.field) == seenField_)) {
        waiting_ = true;
        ++turn_;
        beats_ = 0;
        nextAt_ = pace_.thinkBeats;
        pressed_ = 0;
        decision_.reset();
        seenField_ = cellsOf(self.field);
        seenFront_ = front;
        out.decide = sightFor(game, player_);
        return out;
    }
    ++beats_;
    if (decision_ && beats_ >= nextAt_ && pressed_ < decision_->keys.size()) {
        out.press = decision_->keys[pressed_++];
        nextAt_ = beats_ + pace_.keyBeats;
    }
    return out;
}

void ComputerPlayer::decided(std::uint64_t turn, Decision decision) {
    if (turn != turn_ || !waiting_) {
        return;
    }
    decision_ = std::move(decision);
    // Late: the first key goes on the next beat.
    nextAt_ = std::max(nextAt_, beats_ + 1);
}

} // namespace peterin::analysis
