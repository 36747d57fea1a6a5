#include "sequence/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace peterin {
namespace {

RandomState sought(std::uint32_t n) {
    RandomState state;
    seek(state, n);
    return state;
}

RandomState stepped(RandomState state, std::uint32_t n) {
    for (std::uint32_t i = 0; i < n; ++i) {
        step(state);
    }
    return state;
}

TEST(RandomState, FirstFiveStepsFromTheSeedGiveTheKnownValues) {
    RandomState state;
    const std::array<std::uint32_t, 5> expected{3701687786u, 458299110u, 2500872618u, 3633119408u,
                                                516391518u};
    for (std::uint32_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(step(state), expected[i]);
        EXPECT_EQ(state.position, i + 1);
    }
}

TEST(RandomState, JumpAheadMatchesSteppingAtEveryPositionOnTheWayToRandomTargets) {
    std::mt19937 random(7);
    std::vector<std::uint32_t> targets{0, 1, 2, 3, 10'000'000};
    std::uniform_int_distribution<std::uint32_t> anywhere(0, 10'000'000);
    for (int i = 0; i < 200; ++i) {
        targets.push_back(anywhere(random));
    }
    std::sort(targets.begin(), targets.end());
    RandomState walker;
    for (const std::uint32_t target : targets) {
        walker = stepped(walker, target - walker.position);
        ASSERT_EQ(sought(target), walker) << "position " << target;
    }
}

TEST(RandomState, JumpAheadMatchesSteppingAroundEveryPowerOfTwo) {
    // 2^k - 3 uses every lower power and 2^k + d the power itself, so each table entry is
    // checked against the ones below it; the walk above checks the lowest ones directly.
    for (int k = 2; k < 32; ++k) {
        const std::uint32_t power = std::uint32_t{1} << k;
        const RandomState below = sought(power - 3);
        for (std::uint32_t d = 1; d <= 5; ++d) {
            ASSERT_EQ(sought(power - 3 + d), stepped(below, d)) << "2^" << k << " + " << d - 3;
        }
    }
    EXPECT_EQ(sought(UINT32_MAX), stepped(sought(UINT32_MAX - 4), 4));
}

TEST(RandomState, SeekingThenSteppingEqualsSeekingFurther) {
    std::mt19937 random(11);
    std::uniform_int_distribution<std::uint32_t> start(0, 0x7FFFFFFF);
    std::uniform_int_distribution<std::uint32_t> extra(0, 3000);
    for (int i = 0; i < 50; ++i) {
        const std::uint32_t a = start(random);
        const std::uint32_t b = extra(random);
        EXPECT_EQ(sought(a + b), stepped(sought(a), b)) << a << " + " << b;
    }
}

TEST(RandomState, PassingTheLastPositionStartsAgainFromTheSeed) {
    RandomState state = sought(UINT32_MAX);
    step(state);
    EXPECT_EQ(state, RandomState{});
    EXPECT_EQ(step(state), 3701687786u);
}

TEST(RandomState, SeekingBackwardsGivesTheSameStateAsSeekingFromTheSeed) {
    RandomState state;
    seek(state, 2'000'000'000);
    seek(state, 12345);
    EXPECT_EQ(state, stepped(RandomState{}, 12345));
    seekByStepping(state, 0);
    EXPECT_EQ(state, RandomState{});
}

TEST(ConventionalRandom, SeededWithOneGivesTheKnownValuesAsAnUnseededOneDoes) {
    ConventionalRandom seeded;
    seeded.srand(1);
    EXPECT_EQ(seeded.rand(), 41);
    EXPECT_EQ(seeded.rand(), 18467);
    EXPECT_EQ(seeded.rand(), 6334);
    ConventionalRandom unseeded;
    EXPECT_EQ(unseeded.rand(), 41);
}

ConventionalRandom seededThenDiscarded(std::uint32_t seed, int discards) {
    ConventionalRandom rng;
    rng.srand(seed);
    for (int i = 0; i < discards; ++i) {
        rng.rand();
    }
    return rng;
}

TEST(GameStart, DiscardsOneValuePerSecondUpToTheNextMultipleOfTen) {
    struct Case {
        std::int64_t time;
        int discards;
    };
    const Case cases[] = {{1'700'000'000, 0},
                          {1'700'000'001, 9},
                          {1'700'000'009, 1},
                          {0, 0},
                          {-5, 5},
                          {-1, 1},
                          // The seed is the low 32 bits of the time.
                          {0x1'0000'0007, 7}};
    for (const Case& c : cases) {
        ConventionalRandom rng;
        seedConventional(rng, c.time);
        EXPECT_EQ(rng, seededThenDiscarded(static_cast<std::uint32_t>(c.time), c.discards))
            << c.time;
    }
}

TEST(GameStart, NegativeInitialPositionDrawsAFreshOneOthersAreUsedAsTheyAre) {
    ConventionalRandom rng;
    rng.srand(1);
    EXPECT_EQ(chooseInitialPosition(-1, rng), 41u);
    EXPECT_EQ(chooseInitialPosition(0, rng), 0u);
    EXPECT_EQ(chooseInitialPosition(777, rng), 777u);
    EXPECT_EQ(rng.rand(), 18467); // only the negative setting used a value
}

} // namespace
} // namespace peterin
