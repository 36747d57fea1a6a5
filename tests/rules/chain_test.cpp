#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "field_helpers.h"
#include "rules/chain.h"
#include "rules/region.h"
#include "rules/score.h"

namespace peterin {
namespace {

using testing::expectConsistent;
using testing::makeField;
using testing::rowText;

int settle(Field& field) {
    int steps = 0;
    while (!isSettled(gravityStep(field))) {
        ++steps;
    }
    return steps + 1;
}

// Runs chain steps the way a turn does until nothing vanishes; returns each step's score.
std::vector<std::int32_t> resolve(Field& field, ScoreRecord& record) {
    field.scoreRecord = &record;
    std::vector<std::int32_t> scores;
    for (settle(field); findGroups(field, 4, false); settle(field)) {
        resetTally(record);
        EXPECT_TRUE(findGroups(field, 4, true));
        scores.push_back(stepScore(static_cast<std::int32_t>(scores.size()) + 1, record));
        EXPECT_TRUE(vanishGroups(field, 4));
    }
    return scores;
}

TEST(Gravity, StackFallsOneRowPerStepAndReportsTheStepItLands) {
    Field field = makeField(6, 12, {"B.....", "O.....", "R.....", "......", "......"}, 7);
    EXPECT_EQ(gravityStep(field), kGravityFloating);
    EXPECT_EQ(rowText(field, 10), "R-----");
    EXPECT_EQ(gravityStep(field), kGravityLanded);
    EXPECT_EQ(rowText(field, 9), "B-----");
    EXPECT_EQ(rowText(field, 10), "O-----");
    EXPECT_EQ(rowText(field, 11), "R-----");
    for (std::int32_t r : {9, 10, 11}) {
        EXPECT_EQ(field.at(0, r).fallState, kLanded);
    }
    EXPECT_EQ(gravityStep(field), 0);
    expectConsistent(field);
}

TEST(Gravity, ColumnsFallIndependentlyAndTheRecountJoinsLandedBlobs) {
    Field field = makeField(6, 12, {"R.....", ".R....", "......", "Rr...."}, 8);
    EXPECT_EQ(gravityStep(field), kGravityFloating | kGravityLanded) << "column 1 lands first";
    EXPECT_EQ(field.at(0, 9).fallState, kFloating);
    EXPECT_EQ(gravityStep(field), kGravityLanded);
    EXPECT_EQ(rowText(field, 10), "RR----");
    EXPECT_EQ(field.at(0, 11).groupSize, 3);
    EXPECT_EQ(gravityStep(field), 0);
    expectConsistent(field);
}

TEST(Gravity, LimboBlobFallsIntoTheFieldAndOnlyThenConnects) {
    Field field = makeField(6, 4, {"R.....", "......", "R.....", "R.....", "R....."}, -1);
    EXPECT_FALSE(findGroups(field, 4, false)) << "three visible reds";
    EXPECT_EQ(settle(field), 1) << "lands in the step it enters the field";
    EXPECT_EQ(field.at(0, 0).groupSize, 4);
    EXPECT_TRUE(findGroups(field, 4, false));
}

TEST(Scoring, SingleGroupOnTheFirstAndSecondStep) {
    ScoreRecord record;
    Field field = makeField(6, 12, {"R.....", "R.....", "R.....", "R....."}, 8);
    field.scoreRecord = &record;
    ASSERT_TRUE(findGroups(field, 4, true));
    EXPECT_EQ(record.cleared, 4);
    EXPECT_EQ(stepScore(1, record), 40) << "bonus 0 is raised to 1";
    EXPECT_EQ(stepScore(2, record), 320);
    EXPECT_EQ(stepScore(0, record), -1);
}

TEST(Scoring, TwoGroupsCountBothColoursButOnlyTheLastGroupsBonus) {
    ScoreRecord record;
    Field field = makeField(6, 12, {"RRRRR.", "BBBB.."}, 10);
    field.scoreRecord = &record;
    ASSERT_TRUE(findGroups(field, 4, true));
    EXPECT_EQ(record.cleared, 9);
    EXPECT_EQ(record.groupBonus, 0) << "blue, found last, has no bonus; red's 2 is dropped";
    EXPECT_EQ(stepScore(1, record), 270);

    Field reversed = makeField(6, 12, {"BBBB..", "RRRRR."}, 10);
    reversed.scoreRecord = &record;
    resetTally(record);
    ASSERT_TRUE(findGroups(reversed, 4, true));
    EXPECT_EQ(stepScore(1, record), 10 * 9 * (3 + 2));
}

TEST(Scoring, ChainPowerSkips352AndStopsAt512) {
    ScoreRecord record;
    record.cleared = 4;
    record.colourMask = 1 << 1;
    EXPECT_EQ(stepScore(13, record), 40 * 320);
    EXPECT_EQ(stepScore(14, record), 40 * 384);
    EXPECT_EQ(stepScore(19, record), 40 * 512);
    EXPECT_EQ(stepScore(1000, record), 40 * 512);
    record.cleared = 1000000;
    EXPECT_EQ(stepScore(18, record), std::numeric_limits<std::int32_t>::max()) << "saturates";
}

TEST(Scoring, TallyMarksEachGroupOnceAndNeedsARecord) {
    Field field = makeField(6, 12, {"RR....", "RR...."}, 10);
    EXPECT_FALSE(findGroups(field, 0, false));
    EXPECT_TRUE(findGroups(field, 4, true)) << "without a record it only answers";
    EXPECT_EQ(field.at(0, 10).visited, 0);
    ScoreRecord record;
    field.scoreRecord = &record;
    ASSERT_TRUE(findGroups(field, 4, true));
    ASSERT_TRUE(findGroups(field, 4, true)) << "a second search starts with clear marks";
    EXPECT_EQ(record.cleared, 8);
    EXPECT_EQ(field.at(1, 11).visited, 1);
    EXPECT_EQ(field.at(2, 11).visited, 0);
}

TEST(Vanishing, NuisanceGoesOnlyWhenDirectlyBesideAVanishingBlobInTheVisibleRows) {
    Field field = makeField(6, 4,
                            {
                                "O.....", // LimboArea, above a vanishing red: stays
                                "RO....", // beside red: goes
                                "RY....", //
                                "RMO..B", // iron beside red stays; nuisance diagonal to both stays
                                "RROBBB", // nuisance between red and blue goes (once)
                            },
                            -1);
    ASSERT_TRUE(vanishGroups(field, 4));
    EXPECT_EQ(rowText(field, -1), "O-----");
    EXPECT_EQ(rowText(field, 0), "------");
    EXPECT_EQ(rowText(field, 1), "-Y----");
    EXPECT_EQ(rowText(field, 2), "-MO---");
    EXPECT_EQ(rowText(field, 3), "------");
    EXPECT_EQ(field.at(0, -1).fallState, kFloating) << "what stood on the groups floats";
    EXPECT_EQ(field.at(1, 1).fallState, kFloating);
    EXPECT_EQ(field.at(2, 2).fallState, kFloating);
    settle(field);
    EXPECT_EQ(rowText(field, 2), "-Y----");
    EXPECT_EQ(rowText(field, 3), "OMO---");
    expectConsistent(field);
    EXPECT_FALSE(vanishGroups(field, 4));
}

TEST(ChainResolution, TwoStepChainScoresAndClearsTheField) {
    ScoreRecord record;
    Field field = makeField(6, 12, {"B.....", "R.....", "R.....", "RBBB..", "R....."}, 7);
    EXPECT_EQ(resolve(field, record), (std::vector<std::int32_t>{40, 320}));
    for (std::int32_t r = -3; r < 12; ++r) {
        EXPECT_EQ(rowText(field, r), "------");
    }
}

} // namespace
} // namespace peterin
