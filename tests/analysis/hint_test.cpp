#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/hint.h"
#include "play/turn_cycle.h"

namespace peterin::analysis {
namespace {

// A 6 x 12 request whose field is drawn from rows of file letters, bottom rows last; a 13th row
// from the bottom is the LimboArea.
HintRequest requestFor(const std::vector<std::string>& bottomRows, Pair pair,
                       std::vector<Pair> next = {}) {
    HintRequest request;
    resizeField(request.field, 6, 12, 1);
    const auto top = static_cast<std::int32_t>(12 - bottomRows.size());
    for (std::size_t i = 0; i < bottomRows.size(); ++i) {
        for (std::int32_t x = 0; x < 6; ++x) {
            setCell(request.field, x, top + static_cast<std::int32_t>(i),
                    kindFromLetter(bottomRows[i][static_cast<std::size_t>(x)]).value());
        }
    }
    loadPair(request.pair, pair);
    putAtSpawn(request.pair, request.field);
    request.next = std::move(next);
    return request;
}

Pair pairOf(int shape, std::array<int, 4> slots) {
    Pair p;
    p.shape = shape;
    p.slot = slots;
    return p;
}

TEST(Hint, EveryDistinctPlacementIsReachedAndNoneTwice) {
    struct Row {
        const char* name;
        std::vector<std::string> field;
        Pair pair;
        std::size_t placements;
    };
    const std::vector<Row> rows = {
        {"two colours on an empty field", {}, pairOf(kShape2, {1, 0, 2, 0}), 22},
        {"one colour: upright and upside down land alike", {}, pairOf(kShape2, {3, 0, 3, 0}), 11},
        {"4d: four turns in five columns", {}, pairOf(kShape4d, {1, 2, 1, 2}), 20},
        {"4a: a square of one colour vanishes wherever it goes",
         {},
         pairOf(kShape4a, {1, 1, 1, 1}),
         1},
        {"walled in up to the LimboArea by columns 1 and 3", std::vector<std::string>(13, "-G-Y--"),
         pairOf(kShape2, {1, 0, 2, 0}), 2},
        // Up to the visible top only, the walls are crossed in the LimboArea: 8 upright and
        // upside down in the free columns, 10 lying, and 2 upright on the walls themselves.
        {"walls up to the visible top are crossed through the LimboArea",
         std::vector<std::string>(12, "-G-Y--"), pairOf(kShape2, {1, 0, 2, 0}), 20},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<Suggestion> s = suggest(requestFor(row.field, row.pair));
        EXPECT_EQ(s.size(), row.placements);
        for (const Suggestion& one : s) {
            EXPECT_EQ(one.landing.size(),
                      static_cast<std::size_t>(row.pair.shape == kShape2 ? 2 : 4));
        }
    }
}

TEST(Hint, TakesTheChainWhenTheFieldIsFullAndLosingPlacementsComeLast) {
    // Two reds wait in column 0 beside a field full up to row 1 with no group anywhere; a red
    // pair there fires them, and anything left in the spawn column's top cell loses the next
    // pair.
    std::vector<std::string> field{"------"};
    for (int r = 1; r < 12; ++r) {
        std::string row = r >= 10 ? "R" : "-";
        for (int x = 1; x < 6; ++x) {
            row += "GBYP"[(x + r) % 4];
        }
        field.push_back(row);
    }
    const std::vector<Suggestion> s = suggest(requestFor(field, pairOf(kShape2, {1, 0, 1, 0})));
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.front().placement.column, 0);
    EXPECT_GE(s.front().fired.chains, 1);
    EXPECT_FALSE(s.front().losing);
    const auto firstLosing =
        std::find_if(s.begin(), s.end(), [](const auto& x) { return x.losing; });
    EXPECT_TRUE(std::all_of(firstLosing, s.end(), [](const auto& x) { return x.losing; }));
    EXPECT_NE(firstLosing, s.end());
}

// Beyond the limits a search would keep a field for each of thousands of placements; there is
// no suggestion at all, at once, and up to them the search runs as usual.
TEST(Hint, FieldsBeyondTheSearchLimitsGetNoSuggestion) {
    const struct {
        std::int32_t width, height, limboRows;
        bool searched;
    } cases[] = {
        {64, 10, 1, true}, {65, 10, 1, false}, {6, 63, 1, true},
        {6, 62, 2, true},  {6, 63, 2, false},  {2000, 2000, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " + " +
                     std::to_string(c.limboRows));
        HintRequest request;
        resizeField(request.field, c.width, c.height, c.limboRows);
        loadPair(request.pair, pairOf(kShape2, {1, 0, 2, 0}));
        putAtSpawn(request.pair, request.field);
        EXPECT_EQ(searchable(request.field), c.searched);
        EXPECT_EQ(!suggest(request).empty(), c.searched);
    }
}

} // namespace
} // namespace peterin::analysis
