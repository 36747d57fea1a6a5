#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "field_helpers.h"
#include "rules/chain.h"
#include "rules/field.h"
#include "rules/region.h"

namespace peterin {
namespace {

using testing::expectConsistent;
using testing::makeField;
using testing::rowText;

TEST(FieldLayout, NewFieldIsEmptyInsideBlockWallsAndFloor) {
    Field field;
    ASSERT_EQ(resizeField(field, 6, 12, 1), 0);
    EXPECT_EQ(field.cells.size(), 8u * 16u);
    EXPECT_EQ(field.topRow(), -3);
    EXPECT_EQ(field.index(1, -3), 16u) << "row -3 of column 0 opens the second block column";
    EXPECT_EQ(field.index(1, 12), 31u) << "the floor closes it";
    expectConsistent(field);
    for (std::int32_t r = -3; r < 12; ++r) {
        EXPECT_EQ(rowText(field, r), "------");
    }
}

TEST(FieldLayout, ResizeKeepsSizesGivenAsNegativeAndTurnsZeroIntoOne) {
    Field field;
    ASSERT_EQ(resizeField(field, 6, 12, 1), 0);
    setCell(field, 0, 11, CellKind::Red);
    ASSERT_EQ(resizeField(field, -1, 0, -1), 0);
    EXPECT_EQ(field.width, 6);
    EXPECT_EQ(field.height, 1);
    EXPECT_EQ(field.limboRows, 1);
    EXPECT_EQ(rowText(field, 0), "------") << "old contents are discarded";
    expectConsistent(field);
}

TEST(FieldLayout, WritesOutsideTheFieldAreIgnoredAndReadsThereAnswerEmpty) {
    Field field;
    ASSERT_EQ(resizeField(field, 6, 12, 1), 0);
    const auto before = field.cells;
    for (auto [x, r] : {std::pair{6, 0}, {-1, 0}, {0, -4}, {0, 12}}) {
        setCell(field, x, r, CellKind::Red);
        EXPECT_EQ(getCell(field, x, r), CellKind::Empty);
        EXPECT_EQ(cellAt(field, x, r), nullptr);
    }
    setCell(field, 0, 0, static_cast<CellKind>(9));
    EXPECT_EQ(field.cells, before);
}

// Random edits in every row, with every kind, and the gravity steps after them must leave the
// same groups as a count from scratch, the fall states the stacking rule gives and the walls
// intact.
TEST(FieldInvariants, RandomEditsAndGravityKeepGroupSizesFallStatesWallsAndFloor) {
    std::mt19937 random(12345);
    for (int round = 0; round < 40; ++round) {
        Field field;
        const auto width = static_cast<std::int32_t>(2 + random() % 7);
        const auto height = static_cast<std::int32_t>(1 + random() % 12);
        ASSERT_EQ(resizeField(field, width, height, 1), 0);
        // Few kinds make big regions that split and merge often.
        const std::int32_t kinds = round % 2 == 0 ? 3 : 9;
        for (int edit = 0; edit < 300; ++edit) {
            const auto x = static_cast<std::int32_t>(random() % width);
            const auto r = static_cast<std::int32_t>(random() % (height + 3)) - 3;
            setCell(field, x, r, static_cast<CellKind>(random() % kinds));
            ASSERT_NO_FATAL_FAILURE(expectConsistent(field)) << "round " << round;
        }
        Field copy;
        ASSERT_EQ(copyField(copy, field), 0);
        recountGroups(field);
        EXPECT_TRUE(sameContents(copy, field)) << "a recount changes nothing";
        // Gravity's own recount and fall states must hold on every step of the fall as well.
        for (int step = 0; step < height + 2; ++step) {
            gravityStep(field);
            ASSERT_NO_FATAL_FAILURE(expectConsistent(field)) << "round " << round;
        }
    }
}

TEST(FieldInvariants, BatchOfWritesEndsExactlyLikeTheSameWritesOneByOne) {
    std::mt19937 random(777);
    for (int round = 0; round < 20; ++round) {
        Field single = makeField(6, 12, {"RRBB..", "RRBBGG"}, 10);
        Field batch;
        ASSERT_EQ(copyField(batch, single), 0);
        std::vector<CellWrite> writes;
        for (int i = 0; i < 60; ++i) {
            // Some writes fall outside the field or carry no valid kind; both are skipped.
            writes.push_back({static_cast<std::int32_t>(random() % 7),
                              static_cast<std::int32_t>(random() % 17) - 4,
                              static_cast<CellKind>(random() % 10)});
            setCell(single, writes.back().x, writes.back().r, writes.back().kind);
        }
        setCells(batch, writes);
        EXPECT_TRUE(sameContents(single, batch)) << "round " << round;
    }
}

TEST(FieldInvariants, BlobInLimboRowDoesNotJoinTheGroupBelowIt) {
    Field field = makeField(6, 12, {"R.....", "R.....", "R....."});
    setCell(field, 0, -1, CellKind::Red);
    EXPECT_EQ(field.at(0, 0).groupSize, 3);
    EXPECT_EQ(field.at(0, -1).groupSize, 0);
    setCell(field, 0, -1, CellKind::Empty);
    EXPECT_EQ(field.at(0, 2).groupSize, 3);
    expectConsistent(field);
}

TEST(FieldInvariants, EmptyingTheMiddleOfALineSplitsItsGroup) {
    Field field = makeField(6, 12, {"RRRRR."}, 11);
    setCell(field, 2, 11, CellKind::Empty);
    for (std::int32_t x : {0, 1, 3, 4}) {
        EXPECT_EQ(field.at(x, 11).groupSize, 2) << "column " << x;
    }
    EXPECT_EQ(field.at(2, 11).groupSize, 0);
    setCell(field, 2, 11, CellKind::Red);
    EXPECT_EQ(field.at(0, 11).groupSize, 5);
}

TEST(FieldInvariants, EmptyCellMakesTheStackAboveFloatUpToABlock) {
    Field field = makeField(6, 12, {"B.....", "r.....", "O.....", "Y.....", "G....."}, 7);
    setCell(field, 0, 11, CellKind::Empty);
    EXPECT_EQ(field.at(0, 10).fallState, kFloating);
    EXPECT_EQ(field.at(0, 9).fallState, kFloating);
    EXPECT_EQ(field.at(0, 8).fallState, kResting) << "block";
    EXPECT_EQ(field.at(0, 7).fallState, kResting) << "stands on the block";
    setCell(field, 0, 11, CellKind::Iron);
    expectConsistent(field);
}

TEST(FieldInvariants, HeavenRowBlobIsMarkedFloatingButNeverMoves) {
    Field field = makeField(6, 12, {"Rr...."}, -2);
    EXPECT_EQ(field.at(0, -2).fallState, kFloating);
    setCell(field, 1, -3, CellKind::Green);
    for (int step = 0; step < 20; ++step) {
        gravityStep(field);
    }
    EXPECT_EQ(rowText(field, -3), "-G----");
    EXPECT_EQ(rowText(field, -2), "Rr----");
}

TEST(FieldCopy, CopyIsDeepAndSharesTheScoreRecord) {
    ScoreRecord record;
    Field source = makeField(6, 12, {"RRB..."}, 11);
    source.scoreRecord = &record;
    Field copy;
    ASSERT_EQ(copyField(copy, source), 0);
    EXPECT_TRUE(sameContents(copy, source));
    EXPECT_EQ(copy.scoreRecord, &record);
    setCell(copy, 0, 11, CellKind::Empty);
    EXPECT_EQ(getCell(source, 0, 11), CellKind::Red);
    ASSERT_EQ(copyField(source, source), 0);
    EXPECT_EQ(rowText(source, 11), "RRB---") << "copying onto itself keeps the field";
}

// A field whose allocation failed (sizes all 0) must take every operation without harm.
TEST(FieldWithoutCells, EveryOperationIsSafeAndChangesNothing) {
    ScoreRecord record;
    Field failed;
    ASSERT_EQ(resizeField(failed, 6, 12, 1), 0);
    EXPECT_EQ(resizeField(failed, 100000, 100000, 1), -1) << "more cells than can be addressed";
    EXPECT_EQ(failed.width + failed.height + failed.limboRows, 0);
    EXPECT_FALSE(failed.hasCells());
    failed.scoreRecord = &record;
    Field neverSized;
    for (Field* field : {&failed, &neverSized}) {
        setCell(*field, 0, 0, CellKind::Red);
        EXPECT_EQ(getCell(*field, 0, 0), CellKind::Empty);
        clearField(*field);
        recountGroups(*field);
        settleFrom(*field, 0, 0);
        EXPECT_EQ(gravityStep(*field), 0);
        EXPECT_FALSE(findGroups(*field, 4, true));
        EXPECT_FALSE(vanishGroups(*field, 4));
        RegionTally tally{0, CellKind::Red};
        countRegion(*field, tally, 0, 0);
        assignRegion(*field, tally, 0, 0);
        markRegion(*field, CellKind::Red, 0, 0);
        eraseRegion(*field, CellKind::Red, 0, 0);
        EXPECT_EQ(tally.count, 0);
        Field copy = makeField(6, 12, {"RRR"});
        EXPECT_EQ(copyField(copy, *field), 0);
        EXPECT_FALSE(copy.hasCells()) << "a copy of a field without cells has none either";
        EXPECT_EQ(copy.width, 0);
    }
}

} // namespace
} // namespace peterin
