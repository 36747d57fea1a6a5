#include <gtest/gtest.h>

#include "play/falling_pair.h"
#include "recorder.h"

namespace peterin {
namespace {

using testing::paintRows;

constexpr CellKind R = CellKind::Red;
constexpr CellKind B = CellKind::Blue;
constexpr CellKind G = CellKind::Green;
constexpr CellKind Y = CellKind::Yellow;
constexpr CellKind E = CellKind::Empty;

Field makeField(std::int32_t width, std::int32_t height) {
    Field field;
    resizeField(field, width, height, 1);
    return field;
}

Pair pairOf(int shape, int s0, int s1, int s2, int s3) {
    Pair pair;
    pair.shape = shape;
    pair.slot = {s0, s1, s2, s3};
    return pair;
}

// An upright two-blob pair: `top` above the pivot `pivot`, pivot at (x, row).
FallingPair upright(CellKind top, CellKind pivot, std::int32_t x, std::int32_t row) {
    FallingPair pair;
    pair.cells[blockIndex(0, -1)] = top;
    pair.cells[kPivot] = pivot;
    pair.x = x;
    pair.row = row;
    return pair;
}

TEST(FallingPair, LoadingPutsTheSlotsAroundThePivotAndSkipsCodesOutsideTheKinds) {
    FallingPair pair;
    pair.cells.fill(CellKind::Block);
    loadPair(pair, pairOf(kShape4d, 1, 2, 3, 9));
    EXPECT_EQ(pair.cells[blockIndex(0, -1)], R);
    EXPECT_EQ(pair.cells[blockIndex(1, -1)], B);
    EXPECT_EQ(pair.cells[kPivot], G);
    EXPECT_EQ(pair.cells[blockIndex(1, 0)], E); // 9 is no kind
    EXPECT_EQ(pair.cells[blockIndex(-1, 0)], E);
    EXPECT_EQ(pair.shape, kShape4d);
}

TEST(FallingPair, SpawnPointIsTheThirdColumnPulledInOnNarrowOrFlatFields) {
    FallingPair two;
    loadPair(two, pairOf(kShape2, 1, 0, 2, 0));
    FallingPair wide;
    loadPair(wide, pairOf(kShape3a, 1, 0, 1, 2));

    putAtSpawn(two, makeField(6, 12));
    EXPECT_EQ(two.x, 2);
    EXPECT_EQ(two.row, 0);

    putAtSpawn(two, makeField(1, 12));
    EXPECT_EQ(two.x, 0);
    putAtSpawn(wide, makeField(1, 12));
    EXPECT_EQ(wide.x, 0); // nowhere to go on one column

    putAtSpawn(two, makeField(2, 12));
    EXPECT_EQ(two.x, 1);
    putAtSpawn(wide, makeField(2, 12));
    EXPECT_EQ(wide.x, 0); // its right column must stay inside

    FallingPair down = two;
    down.cells = rotatedHalf(two.cells); // blob below the pivot
    putAtSpawn(down, makeField(6, 1));
    EXPECT_EQ(down.row, -1);
}

TEST(FallingPair, MovesStopAtWallsAndBlobs) {
    Field field = makeField(6, 12);
    FallingPair pair = upright(R, B, 0, 5);
    EXPECT_FALSE(moveLeft(pair, field));
    EXPECT_EQ(pair.x, 0);
    setCell(field, 1, 4, CellKind::Iron); // beside the upper blob only
    EXPECT_FALSE(moveRight(pair, field));
    EXPECT_TRUE(canMove(pair, field, Direction::Down));
    pair.x = 4;
    EXPECT_TRUE(moveRight(pair, field));
    EXPECT_FALSE(moveRight(pair, field));
    EXPECT_EQ(pair.x, 5);
}

TEST(FallingPair, TurningAgainstTheRightWallShiftsLeft) {
    Field field = makeField(6, 12);
    FallingPair pair = upright(R, B, 5, 5);
    EXPECT_EQ(rotateRight(pair, field), kRotateShifted);
    EXPECT_EQ(pair.x, 4);
    EXPECT_EQ(pair.row, 5);
    EXPECT_EQ(pair.cells[blockIndex(1, 0)], R);
    EXPECT_EQ(pair.cells[kPivot], B);
}

TEST(FallingPair, TurningAgainstTheLeftWallShiftsRight) {
    Field field = makeField(6, 12);
    FallingPair pair = upright(R, B, 0, 5);
    EXPECT_EQ(rotateLeft(pair, field), kRotateShifted);
    EXPECT_EQ(pair.x, 1);
    EXPECT_EQ(pair.cells[blockIndex(-1, 0)], R);
}

TEST(FallingPair, TurningIntoABlobClimbsOneRowBeforeShifting) {
    Field field = makeField(6, 12);
    setCell(field, 3, 5, CellKind::Block); // right of the pivot; above it is free
    FallingPair pair = upright(R, B, 2, 5);
    EXPECT_EQ(rotateRight(pair, field), kRotateShifted);
    EXPECT_EQ(pair.x, 2);
    EXPECT_EQ(pair.row, 4);
    EXPECT_EQ(pair.cells[blockIndex(1, 0)], R);
}

TEST(FallingPair, TurningNeverClimbsIntoTheHeavenArea) {
    Field field = makeField(6, 12);
    setCell(field, 3, -1, CellKind::Block);
    FallingPair pair = upright(R, B, 2, -1);
    EXPECT_EQ(rotateRight(pair, field), kRotateShifted);
    EXPECT_EQ(pair.row, -1);
    EXPECT_EQ(pair.x, 1);
}

TEST(FallingPair, InANarrowGapOnlyTheHalfTurnWorks) {
    Field field = makeField(6, 12);
    paintRows(field, {"Y-Y", "Y-Y", "Y-Y", "Y-Y"}); // rows 8 to 11 of columns 0 and 2
    FallingPair pair = upright(R, B, 1, 10);
    const FallingPair before = pair;
    EXPECT_EQ(rotateRight(pair, field), kRotateRefused);
    EXPECT_EQ(pair, before);
    EXPECT_EQ(rotateLeft(pair, field), kRotateRefused);
    EXPECT_EQ(pair, before);

    EXPECT_EQ(rotateHalf(pair, field), kRotateInPlace);
    EXPECT_EQ(pair.cells[blockIndex(0, 1)], R);
    EXPECT_EQ(pair.cells[kPivot], B);
    EXPECT_EQ(pair.row, 10);

    // With the cell below the pivot taken, the half turn lifts the pair by a row.
    setCell(field, 1, 11, CellKind::Iron);
    FallingPair low = upright(R, B, 1, 10);
    EXPECT_EQ(rotateHalf(low, field), kRotateShifted);
    EXPECT_EQ(low.row, 9);
    EXPECT_EQ(low.cells[blockIndex(0, 1)], R);
}

TEST(FallingPair, ABlobTurningUpIntoACeilingPushesThePairDownOrIsRefused) {
    Field field = makeField(6, 12);
    setCell(field, 2, 4, CellKind::Block); // the ceiling above the pivot
    FallingPair pair;
    pair.cells[kPivot] = B;
    pair.cells[blockIndex(1, 0)] = R; // lying: pivot and a blob to its right
    pair.x = 2;
    pair.row = 5;
    FallingPair blockedBelow = pair;

    EXPECT_EQ(rotateLeft(pair, field), kRotateShifted); // the right blob would go up
    EXPECT_EQ(pair.row, 6);
    EXPECT_EQ(pair.cells[blockIndex(0, -1)], R);

    setCell(field, 2, 6, CellKind::Block);
    EXPECT_EQ(rotateLeft(blockedBelow, field), kRotateRefused);
    EXPECT_EQ(blockedBelow.row, 5);
    EXPECT_EQ(blockedBelow.cells[blockIndex(1, 0)], R);
}

TEST(FallingPair, ABlobTurningDownIntoTheStackIsRefusedBeforeAnySideShift) {
    Field field = makeField(6, 12);
    setCell(field, 2, 8, CellKind::Block);  // above the pivot: no climbing
    setCell(field, 2, 10, CellKind::Block); // below the pivot
    setCell(field, 3, 9, CellKind::Block);  // right of the pivot; a shift left would fit
    FallingPair pair;
    loadPair(pair, pairOf(kShape3a, 1, 0, 1, 2)); // R above, R pivot, B right
    pair.x = 2;
    pair.row = 9;
    const FallingPair before = pair;
    EXPECT_EQ(rotateRight(pair, field), kRotateRefused); // B would turn down into the block
    EXPECT_EQ(pair, before);

    clearField(field);
    setCell(field, 2, 8, CellKind::Block);
    setCell(field, 3, 9, CellKind::Block);
    EXPECT_EQ(rotateRight(pair, field), kRotateShifted); // nothing below: it shifts left
    EXPECT_EQ(pair.x, 1);
}

TEST(FallingPair, FourBlobShapesTurnTheirColoursInPlace) {
    Field field = makeField(6, 12);
    setCell(field, 3, 5, CellKind::Block); // would block any real turn
    FallingPair square;
    loadPair(square, pairOf(kShape4d, 1, 2, 3, 4)); // TL R, TR B, BL G (pivot), BR Y
    square.x = 2;
    square.row = 5;
    EXPECT_EQ(rotateRight(square, field), kRotateInPlace);
    EXPECT_EQ(square.cells[blockIndex(0, -1)], G); // bottom left went up
    EXPECT_EQ(square.cells[blockIndex(1, -1)], R);
    EXPECT_EQ(square.cells[blockIndex(1, 0)], B);
    EXPECT_EQ(square.cells[kPivot], Y);
    EXPECT_EQ(rotateLeft(square, field), kRotateInPlace); // and back
    EXPECT_EQ(square.cells, ([] {
                  FallingPair p;
                  loadPair(p, pairOf(kShape4d, 1, 2, 3, 4));
                  return p.cells;
              })());
    EXPECT_EQ(square.x, 2);
    EXPECT_EQ(square.row, 5);

    FallingPair one;
    loadPair(one, pairOf(kShape4a, 5, 5, 5, 5));
    rotateRight(one, field);
    EXPECT_EQ(one.cells[kPivot], R);
    EXPECT_EQ(one.cells[blockIndex(1, -1)], R);
    rotateLeft(one, field);
    EXPECT_EQ(one.cells[kPivot], CellKind::Purple);
    EXPECT_EQ(one.cells[blockIndex(1, 0)], CellKind::Purple);
    rotateHalf(one, field);
    EXPECT_EQ(one.cells[blockIndex(0, -1)], Y);
}

TEST(FallingPair, PlacingWritesFloatingBlobsOrLosesThePairOnAnOccupiedPivot) {
    Field field = makeField(6, 12);
    FallingPair pair = upright(R, B, 2, 3);
    EXPECT_EQ(placePair(pair, field), kPlaced);
    EXPECT_EQ(getCell(field, 2, 2), R);
    EXPECT_EQ(getCell(field, 2, 3), B);
    EXPECT_EQ(cellAt(field, 2, 3)->fallState, kFloating);

    FallingPair onTop = upright(G, G, 2, 3);
    EXPECT_EQ(placePair(onTop, field), kPlaceRefused);
    EXPECT_EQ(getCell(field, 2, 2), R);

    Field none;
    EXPECT_EQ(placePair(pair, none), kPlaceNoField);
}

TEST(FallingPair, DroppingOntoAFullColumnPlacesThePairWhereItIs) {
    Field field = makeField(6, 12);
    for (std::int32_t r = 1; r < 12; ++r) {
        setCell(field, 2, r, CellKind::Iron);
    }
    FallingPair pair = upright(R, B, 2, 0);
    EXPECT_EQ(dropPair(pair, field), kPlaced);
    EXPECT_EQ(getCell(field, 2, -1), R);
    EXPECT_EQ(getCell(field, 2, 0), B);

    Field empty = makeField(6, 12);
    FallingPair fresh = upright(R, B, 2, 0);
    dropPair(fresh, empty);
    EXPECT_EQ(fresh.row, 1);
    EXPECT_EQ(getCell(empty, 2, 1), B);
}

TEST(FallingPair, ClampingPullsThePairBackIntoAShrunkenField) {
    FallingPair pair;
    loadPair(pair, pairOf(kShape3b, 1, 0, 2, 2));
    pair.x = 9;
    pair.row = 20;
    clampPair(pair, makeField(4, 5));
    EXPECT_EQ(pair.x, 2); // column 3, then one in for the right column
    EXPECT_EQ(pair.row, 4);
}

} // namespace
} // namespace peterin
