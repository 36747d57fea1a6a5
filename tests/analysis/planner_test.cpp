#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "analysis/autoplay.h"
#include "analysis/bit_field.h"
#include "analysis/evaluation.h"
#include "analysis/planner.h"
#include "play/commands.h"
#include "play/turn_cycle.h"

namespace peterin::analysis {
namespace {

// A game some pairs into play at start position 7, waiting for input.
void playInto(Game& game, int pairs) {
    game.settings.initialRandomPosition = 7;
    initGame(game, 0);
    changeMode(game, Mode::Play);
    ASSERT_TRUE(runUntilIdle(game, nullptr));
    EngineOptions quick;
    quick.nodes = 2000;
    for (int i = 0; i < pairs; ++i) {
        const std::vector<Suggestion> s = plan(hintRequestFor(game, 0), quick);
        ASSERT_FALSE(s.empty());
        ASSERT_TRUE(playTurn(game, s.front().placement));
    }
}

struct Ranking {
    std::vector<std::int32_t> columns, turns;
    std::vector<double> values;
    bool operator==(const Ranking&) const = default;
};

Ranking rankingOf(const std::vector<Suggestion>& s) {
    Ranking r;
    for (const Suggestion& one : s) {
        r.columns.push_back(one.placement.column);
        r.turns.push_back(one.placement.turn);
        r.values.push_back(one.value);
    }
    return r;
}

// Columns of blobs from the floor up, one string per column (R, G, B, Y for the colours).
Field fieldOf(const std::vector<std::string>& columns) {
    Field field;
    resizeField(field, 6, 12, 1);
    const auto kindOf = [](char c) {
        return c == 'R'   ? CellKind::Red
               : c == 'G' ? CellKind::Green
               : c == 'B' ? CellKind::Blue
                          : CellKind::Yellow;
    };
    for (std::size_t x = 0; x < columns.size(); ++x) {
        for (std::size_t i = 0; i < columns[x].size(); ++i) {
            setCell(field, static_cast<std::int32_t>(x), 11 - static_cast<std::int32_t>(i),
                    kindOf(columns[x][i]));
        }
    }
    return field;
}

// The falling pair at the spawn place and two next pairs alike, by their slots.
void givePairs(HintRequest& request, std::array<int, 4> falling, std::array<int, 4> next) {
    Pair pair;
    pair.slot = falling;
    loadPair(request.pair, pair);
    putAtSpawn(request.pair, request.field);
    Pair coming;
    coming.slot = next;
    request.next = {coming, coming};
}

Evaluation evaluationOf(const Field& field, const PlanWeights& weights) {
    const ChainRules rules;
    const std::optional<BitField> board = BitField::from(field, rules);
    EXPECT_TRUE(board);
    return Evaluator(weights, rules, 0b11110).evaluate(*board);
}

// Between fields alike but for one thing, the engine prefers a held chain whose groups take no
// more blobs than they need, and outer columns above the inner ones; without those weights it
// does not (a larger group scores more, and the shapes are mirror images).
TEST(Evaluation, AHeldChainSpendsNoBlobTooManyAndTheWallsStandHighest) {
    // A red blob dropped in column 2 fires the reds, and the green falling into their place
    // fires the greens. In the second field the trigger also joins a fourth red.
    const Field lean = fieldOf({"GGG", "RRRG", "", "Y"});
    const Field spent = fieldOf({"GGG", "RRRG", "", "R"});
    // The same blobs, no two of a colour side by side, in a valley and in a mound.
    const auto stacks = [](const std::vector<int>& heights) {
        std::vector<std::string> columns;
        for (std::size_t x = 0; x < heights.size(); ++x) {
            std::string column;
            for (int i = 0; i < heights[x]; ++i) {
                column += (static_cast<int>(x) + i) % 2 == 0 ? 'B' : 'Y';
            }
            columns.push_back(column);
        }
        return fieldOf(columns);
    };
    const Field valley = stacks({4, 3, 2, 2, 3, 4});
    const Field mound = stacks({2, 3, 4, 4, 3, 2});

    const PlanWeights weighed;
    const PlanWeights unweighed = withoutChainForm(weighed);
    EXPECT_EQ(evaluationOf(lean, unweighed).potentialChains, 2);
    EXPECT_EQ(evaluationOf(spent, unweighed).potentialChains, 2);
    EXPECT_GT(evaluationOf(lean, weighed).potential, evaluationOf(spent, weighed).potential);
    EXPECT_LT(evaluationOf(lean, unweighed).potential, evaluationOf(spent, unweighed).potential);
    EXPECT_GT(evaluationOf(valley, weighed).shape, evaluationOf(mound, weighed).shape);
    EXPECT_EQ(evaluationOf(valley, unweighed).shape, evaluationOf(mound, unweighed).shape);
}

// Each group of three counts once however it bends; pairs, and threes split by a colour, do
// not count.
TEST(Evaluation, GroupsOfThreeAreCountedOnceWhateverTheirShape) {
    const struct {
        std::vector<std::string> columns;
        std::int32_t groups;
    } cases[] = {
        {{"RRR"}, 1},           {{"R", "R", "R"}, 1},
        {{"RR", "R"}, 1},       {{"YR", "RR"}, 1},
        {{"RR", "G", "RR"}, 0}, {{"RRR", "BBB", "RRR"}, 3},
        {{"RGR", "GRG"}, 0},    {{"", "", "", "", "YY", "Y"}, 1},
    };
    const ChainRules rules;
    for (const auto& c : cases) {
        const std::optional<BitField> board = BitField::from(fieldOf(c.columns), rules);
        ASSERT_TRUE(board);
        EXPECT_EQ(board->groupsOfThree(), c.groups) << ::testing::PrintToString(c.columns);
    }
}

// The answer is a function of what the player sees: asked twice it is the same, and a pair
// of the queue that the next window does not show changes nothing, at every level.
TEST(Planner, OnePositionOneAnswerAndHiddenPairsAreNeverRead) {
    NullGameEvents ui;
    Game game(ui);
    playInto(game, 6);
    // The queue keeps three pairs, but the next window now shows only the first next one.
    game.settings.nextCount = 1;
    Player& self = game.players[0];
    ASSERT_EQ(self.sequence.queue.size(), 3u);
    for (int level = kMinLevel; level <= kMaxLevel; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        EngineOptions options;
        options.level = level;
        options.nodes = 3000;
        const Ranking first = rankingOf(plan(hintRequestFor(game, 0), options));
        EXPECT_EQ(rankingOf(plan(hintRequestFor(game, 0), options)), first);
        const Pair hidden = self.sequence.queue[2];
        for (const std::array<int, 4> slots :
             {std::array{5, 0, 5, 0}, std::array{1, 0, 2, 0}, std::array{4, 0, 3, 0}}) {
            self.sequence.queue[2].slot = slots;
            EXPECT_EQ(rankingOf(plan(hintRequestFor(game, 0), options)), first);
        }
        self.sequence.queue[2] = hidden;
        // A visible pair is read: changing it changes what the engine weighs.
        const Pair shown = self.sequence.queue[1];
        self.sequence.queue[1].slot = {shown.slot[0] % 4 + 1, 0, shown.slot[2] % 4 + 1, 0};
        EXPECT_NE(rankingOf(plan(hintRequestFor(game, 0), options)).values, first.values);
        self.sequence.queue[1] = shown;
    }
}

// Every level ranks every reachable place, safe ones first, and on a field that a pair more
// would block it takes the chain at hand.
TEST(Planner, EveryLevelRanksEveryPlaceAndFiresWhenTheFieldIsFull) {
    HintRequest request;
    resizeField(request.field, 6, 12, 1);
    // Two reds wait in column 0 beside a field full up to row 1 with no group anywhere.
    for (std::int32_t r = 1; r < 12; ++r) {
        if (r >= 10) {
            setCell(request.field, 0, r, CellKind::Red);
        }
        for (std::int32_t x = 1; x < 6; ++x) {
            setCell(request.field, x, r, static_cast<CellKind>(1 + (x + r) % 4));
        }
    }
    Pair red;
    red.slot = {1, 0, 1, 0};
    loadPair(request.pair, red);
    putAtSpawn(request.pair, request.field);
    Pair next;
    next.slot = {2, 0, 3, 0};
    request.next = {next, next};
    const std::size_t reachable = suggest(request).size();
    for (int level = kMinLevel; level <= kMaxLevel; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        EngineOptions options;
        options.level = level;
        options.nodes = 3000;
        const std::vector<Suggestion> s = plan(request, options);
        ASSERT_EQ(s.size(), reachable);
        EXPECT_TRUE(
            std::is_partitioned(s.begin(), s.end(), [](const Suggestion& x) { return !x.losing; }));
        if (levelProfile(level).slip == 0) {
            EXPECT_EQ(s.front().placement.column, 0);
            EXPECT_GE(s.front().fired.chains, 1);
        }
        EXPECT_FALSE(s.front().losing);
    }
}

// Nuisance announced to a side is weighed where it falls: a line that does not offset it is
// buried. Here a 2-chain (five blobs' worth) is at hand in column 0 and five free rows are
// left above column 2: unanswered, 30 blobs bury it, and the chain is the only way out.
TEST(Planner, AnnouncedNuisanceBuriesTheLinesThatDoNotOffsetIt) {
    HintRequest request;
    resizeField(request.field, 6, 12, 1);
    // Column 0, from the floor: three greens, then three reds.
    for (std::int32_t r = 6; r < 12; ++r) {
        setCell(request.field, 0, r, r >= 9 ? CellKind::Green : CellKind::Red);
    }
    // The other columns up to row 5 in yellow and blue, no two alike side by side.
    for (std::int32_t x = 1; x < 6; ++x) {
        for (std::int32_t r = 5; r < 12; ++r) {
            setCell(request.field, x, r, (x + r) % 2 == 0 ? CellKind::Yellow : CellKind::Blue);
        }
    }
    request.colours = {1, 2, 3, 4};
    // Red and green: red under green in column 0 fires both.
    givePairs(request, {1, 0, 3, 0}, {2, 0, 4, 0});
    EngineOptions options;
    options.nodes = 3000;
    // Unthreatened, the engine keeps building. The chain, which the narrow beam leaves out
    // after one pair, is not taken for a place that loses a pair.
    const std::vector<Suggestion> calm = plan(request, options);
    EXPECT_EQ(calm.front().fired.chains, 0);
    EXPECT_TRUE(std::any_of(calm.begin(), calm.end(),
                            [](const Suggestion& x) { return x.fired.chains == 2 && !x.losing; }));
    options.incoming = 30;
    const std::vector<Suggestion> s = plan(request, options);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.front().placement.column, 0);
    EXPECT_EQ(s.front().fired.chains, 2);
    EXPECT_FALSE(s.front().losing);
    // Every other place the search followed is buried.
    EXPECT_TRUE(std::all_of(s.begin() + 1, s.end(),
                            [](const Suggestion& x) { return x.losing || !x.followed; }));
}

// Blobs put above the LimboArea stay there for good, so a chain fired after them is worth that
// much less: here every line fires the reds of column 0 with the next pair, and the only places
// that strand a blob are on the full column 5.
TEST(Planner, AChainFiredLaterDoesNotExcuseABlobStrandedForGood) {
    HintRequest request;
    request.field = fieldOf({"RRR", "", "", "", "", "YBYBYBYBYBYB"});
    request.colours = {1, 2, 3, 4};
    givePairs(request, {3, 0, 3, 0}, {1, 0, 3, 0});
    EngineOptions options;
    options.nodes = 3000;
    const std::vector<Suggestion> s = plan(request, options);
    const auto strands = [](const Suggestion& x) {
        return std::any_of(x.landing.begin(), x.landing.end(),
                           [](const LandedBlob& b) { return b.r < -1; });
    };
    ASSERT_TRUE(std::any_of(s.begin(), s.end(), strands));
    double best = -1e300;
    for (const Suggestion& x : s) {
        best = strands(x) ? best : std::max(best, x.value);
    }
    for (const Suggestion& x : s) {
        if (strands(x)) {
            EXPECT_LT(x.value, best - options.weights.aboveLimbo / 2) << x.placement.column;
        }
    }
}

} // namespace
} // namespace peterin::analysis
