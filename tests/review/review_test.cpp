// The review of a record: the engine's own moves lose nothing, plainly bad ones are marked, and
// the chain a field holds.
#include "review/review.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../session/driven_session.h"
#include "analysis/held_chain.h"
#include "session/session.h"

namespace peterin {
namespace {

using analysis::HeldChain;

Field fieldOf(std::int32_t width, std::initializer_list<const char*> bottomRows) {
    Field field;
    resizeField(field, width, 12, 1);
    std::int32_t r = 12 - static_cast<std::int32_t>(bottomRows.size());
    for (const char* row : bottomRows) {
        for (std::int32_t x = 0; row[x] != '\0'; ++x) {
            const CellKind kind = row[x] == 'R'   ? CellKind::Red
                                  : row[x] == 'B' ? CellKind::Blue
                                                  : CellKind::Empty;
            setCell(field, x, r, kind);
        }
        ++r;
    }
    return field;
}

TEST(HeldChain, TheLongestChainOneOrTwoBlobsFireAndWhatItTakes) {
    struct Case {
        const char* what;
        Field field;
        std::optional<HeldChain> held;
    };
    const Case cases[] = {
        {"empty", fieldOf(6, {}), HeldChain{0, 0}},
        {"two reds need two more", fieldOf(6, {"RR----"}), HeldChain{1, 2}},
        {"a red fires reds, and the blues that fall join a fourth",
         fieldOf(6, {"B-----", "B-----", "B-----", "RR----", "RB----"}), HeldChain{2, 1}},
        {"wider than the fast field", fieldOf(9, {"RR-------"}), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(analysis::heldChain(c.field, {4, true}, {1, 2, 3, 4}), c.held) << c.what;
    }
}

// A game of 1P's, each pair dropped where `place` says (nothing: straight down).
Record playGame(int pairs,
                const std::function<std::optional<analysis::Placement>(const Game&)>& place) {
    testing::Driven d;
    std::optional<Record> finished;
    d.session.recorder().setListener([&](const Record& record) {
        if (record.finished) {
            finished = record;
        }
    });
    d.session.apply(SetMode{Mode::Play});
    d.settle();
    for (int i = 0; i < pairs; ++i) {
        if (const auto placement = place(d.game())) {
            for (const PairAction move : placement->moves) {
                d.session.keyDown(d.pairKey(move));
            }
        }
        d.session.keyDown(d.pairKey(PairAction::Down));
        d.settle();
    }
    d.session.apply(SetMode{Mode::Edit});
    EXPECT_TRUE(finished);
    return finished.value_or(Record{});
}

TEST(Review, TheEnginesOwnMovesLoseNothingAndPairsPiledInOneColumnAreMarked) {
    const analysis::EngineOptions engine{4, 300};
    const Record own = playGame(12, [&](const Game& game) {
        return std::optional(
            analysis::plan(analysis::hintRequestFor(game, 0), engine).front().placement);
    });
    const ReviewOptions options{engine.level, engine.nodes, 2};
    int reported = 0;
    const ReviewResult ownReview = reviewRecord(own, options, [&](int done, int total) {
        EXPECT_EQ(total, 12);
        reported = std::max(reported, done);
    });
    EXPECT_EQ(reported, 12);
    ASSERT_EQ(ownReview.turns.size(), 12u);
    for (const TurnReview& t : ownReview.turns) {
        ASSERT_TRUE(t.best);
        EXPECT_EQ(*t.best, t.played);
        EXPECT_EQ(t.loss, 0);
        EXPECT_EQ(t.grade, MoveGrade::None);
        EXPECT_TRUE(t.held[0]);
    }

    const Record piled = playGame(9, [](const Game&) { return std::nullopt; });
    const ReviewResult piledReview = reviewRecord(piled, options);
    ASSERT_EQ(piledReview.turns.size(), 9u);
    const auto bad = std::count_if(piledReview.turns.begin(), piledReview.turns.end(),
                                   [](const TurnReview& t) { return t.grade == MoveGrade::Bad; });
    EXPECT_GE(bad, 1);
    for (const TurnReview& t : piledReview.turns) {
        EXPECT_EQ(t.played.column, 2);
        if (t.grade != MoveGrade::None) {
            EXPECT_FALSE(t.bestLanding.empty()); // the alternative, to outline
            EXPECT_GT(t.loss, 0);
        }
    }

    std::atomic<bool> cancel{true};
    EXPECT_TRUE(reviewRecord(piled, options, {}, &cancel).cancelled);
}

} // namespace
} // namespace peterin
