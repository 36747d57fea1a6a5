// The search fields against the real turn cycle: random fields are played in a real game, a
// random reachable placement of a random pair is dropped by the pair keys' own moves, and the
// chain, its step scores and the field it leaves must be the same in every trial.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/autoplay.h"
#include "analysis/bit_field.h"
#include "analysis/exact_field.h"
#include "analysis/placements.h"
#include "play/commands.h"
#include "play/turn_cycle.h"

namespace peterin::analysis {
namespace {

struct Case {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    std::int32_t threshold;
    bool blocks; // blocks where blobs fall: only the exact field takes them
    int trials;
};

std::string rowsOf(const Field& f) {
    std::string text;
    for (std::int32_t r = f.topRow(); r < f.height; ++r) {
        for (std::int32_t x = 0; x < f.width; ++x) {
            text += kindLetter(getCell(f, x, r));
        }
        text += '\n';
    }
    return text;
}

template <typename Board> std::string rowsOf(const Board& b) {
    std::string text;
    for (std::int32_t r = -3; r < b.height(); ++r) {
        for (std::int32_t x = 0; x < b.width(); ++x) {
            text += kindLetter(b.kind(x, r));
        }
        text += '\n';
    }
    return text;
}

// Mostly colours stacked from the floor, with nuisance, iron, gaps that leave blobs floating
// and blobs in the hidden rows, so that chains, erased nuisance and odd falls all happen.
void paintRandom(Field& field, std::mt19937& random, bool blocks) {
    std::vector<CellWrite> writes;
    const int colours = 3 + static_cast<int>(random() % 3);
    for (std::int32_t x = 0; x < field.width; ++x) {
        const std::int32_t top =
            field.height -
            static_cast<std::int32_t>(random() % static_cast<unsigned>(field.height + 2));
        for (std::int32_t r = std::max(top, -3); r < field.height; ++r) {
            const unsigned roll = random() % 100;
            CellKind kind = static_cast<CellKind>(1 + random() % static_cast<unsigned>(colours));
            if (roll < 6) {
                kind = CellKind::Empty;
            } else if (roll < 14) {
                kind = CellKind::Nuisance;
            } else if (roll < 16) {
                kind = CellKind::Iron;
            } else if (roll < 18 && blocks) {
                kind = CellKind::Block;
            }
            writes.push_back({x, r, kind});
        }
    }
    setCells(field, writes);
}

Pair randomPair(std::mt19937& random) {
    Pair pair;
    pair.shape = random() % 4 == 0 ? static_cast<int>(random() % 5) : kShape2;
    for (int& slot : pair.slot) {
        slot = 1 + static_cast<int>(random() % 4);
    }
    pair.slot[1] = pair.shape == kShape4d ? pair.slot[1] : 0;
    if (pair.shape == kShape2) {
        pair.slot[3] = 0;
    }
    if (pair.shape == kShape4a) {
        pair.slot = {1, 1, 1, 1};
    }
    return pair;
}

template <typename Board>
void expectSameTurn(const Board& before, const Player& player, const ChainRules& rules,
                    const std::vector<std::int32_t>& realSteps, const Placement* placement,
                    bool realLost) {
    Board board = before;
    if (placement != nullptr) {
        EXPECT_EQ(board.drop(placement->pair), !realLost);
    }
    std::vector<std::int32_t> steps;
    const ChainOutcome outcome = board.resolve(&steps);
    EXPECT_EQ(steps, realSteps);
    EXPECT_EQ(outcome.chains, static_cast<std::int32_t>(realSteps.size()));
    if (!realSteps.empty()) {
        EXPECT_EQ(outcome.chains, player.chainCount);
        EXPECT_EQ(outcome.score, player.score);
    }
    EXPECT_EQ(rowsOf(board), rowsOf(player.field));
    (void)rules;
}

class Exactness : public ::testing::TestWithParam<Case> {};

TEST_P(Exactness, SearchFieldsChainLikeTheTurnCycle) {
    const Case c = GetParam();
    std::mt19937 random(static_cast<unsigned>(c.width * 131 + c.height * 7 + c.threshold));
    int chainsSeen = 0;
    int slowOnly = 0; // trials the fast field does not take
    for (int trial = 0; trial < c.trials; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        NullGameEvents ui;
        Game game(ui);
        game.settings.fieldWidth = c.width;
        game.settings.fieldHeight = c.height;
        game.settings.vanishCount = c.threshold;
        game.settings.fallTicks = 0;
        game.settings.linkTicks = 0;
        game.settings.vanishTicks = 1;
        initGame(game, 0);
        Player& self = game.players[0];
        paintRandom(self.field, random, c.blocks);
        const ChainRules rules{c.threshold, true};
        const std::optional<BitField> fastBefore = BitField::from(self.field, rules);
        if (!c.blocks && c.width <= BitField::kMaxWidth && c.height <= BitField::kMaxHeight) {
            ASSERT_TRUE(fastBefore.has_value());
        }
        slowOnly += fastBefore ? 0 : 1;
        const ExactField exactBefore(self.field, rules);

        // Entering play mode settles and resolves the painted field.
        std::vector<std::int32_t> steps;
        changeMode(game, Mode::Play);
        ASSERT_TRUE(runUntilIdle(game, &steps));
        if (fastBefore) {
            expectSameTurn(*fastBefore, self, rules, steps, nullptr, false);
        }
        expectSameTurn(exactBefore, self, rules, steps, nullptr, false);

        // Then one pair, dropped where a random reachable placement puts it.
        loadPair(self.fallingPair, randomPair(random));
        putAtSpawn(self.fallingPair, self.field);
        const std::optional<BitField> fast = BitField::from(self.field, rules);
        const ExactField exact(self.field, rules);
        if (fast) {
            // The evaluation reads every column's resting row at once.
            const auto rows = fast->restingRows();
            for (std::int32_t x = 0; x < c.width; ++x) {
                EXPECT_EQ(rows[static_cast<std::size_t>(x)], exact.restingRow(x).value_or(-1))
                    << "column " << x;
            }
        }
        const auto blocked = [&](std::int32_t x, std::int32_t r) { return exact.blocked(x, r); };
        const std::vector<Placement> placements =
            reachablePlacements(blocked, c.width, c.height, -2, self.fallingPair);
        ASSERT_FALSE(placements.empty());
        const Placement& chosen = placements[random() % placements.size()];
        const std::optional<PlayedTurn> played = playTurn(game, chosen);
        ASSERT_TRUE(played.has_value()) << "the moves do not lead where the placement says";
        if (fast) {
            expectSameTurn(*fast, self, rules, played->steps, &chosen, played->lost);
        }
        expectSameTurn(exact, self, rules, played->steps, &chosen, played->lost);
        chainsSeen += played->chains > 0 ? 1 : 0;
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
    // The random fields must make chains, or this compares nothing interesting; the cases meant
    // for the exact field must reach it.
    EXPECT_GT(chainsSeen, c.trials / 20);
    EXPECT_EQ(slowOnly > 0, c.blocks || c.width > BitField::kMaxWidth);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Exactness,
                         ::testing::Values(Case{"Default", 6, 12, 4, false, 7000},
                                           Case{"Narrow", 2, 5, 2, false, 600},
                                           Case{"Widest", 8, 13, 4, false, 1200},
                                           Case{"Threshold3", 5, 9, 3, false, 1200},
                                           Case{"BlocksExact", 6, 12, 4, true, 300},
                                           Case{"LargeExact", 11, 20, 4, false, 150}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace peterin::analysis
