#include <gtest/gtest.h>

#include "analysis/bit_field.h"
#include "puzzle/solver.h"

namespace peterin::puzzle {
namespace {

// A 6 x 12 field with `bottom` as its bottom row, and one pair (upper blob first).
Problem oneRowOnePair(const char* bottom, CellKind upper, CellKind pivot, const char* goal) {
    Problem p;
    resizeField(p.field, 6, 12, 1);
    for (std::int32_t x = 0; x < 6; ++x) {
        if (const auto kind = kindFromLetter(bottom[x])) {
            setCell(p.field, x, 11, *kind);
        }
    }
    Pair pair;
    pair.slot = {static_cast<int>(upper), 0, static_cast<int>(pivot), 0};
    FallingPair falling;
    loadPair(falling, pair);
    putAtSpawn(falling, p.field);
    p.pairs.push_back(falling);
    p.goal = *parseGoal(goal).goal;
    return p;
}

TEST(Solver, CountsPlacementsThatPutTheSameBlobsInTheSameCellsOnce) {
    // Two reds over RRR: upright or upside down, and either way round lying, are one placement
    // each; 11 places in all. Four columns and four lying places reach the reds, and each
    // leaves the field empty.
    const Problem reds = oneRowOnePair("RRR---", CellKind::Red, CellKind::Red, "clear-colour=R");
    SolveResult r = solve(reds);
    EXPECT_EQ(r.solutions, 8u);
    EXPECT_EQ(r.finalPositions, 1u);
    EXPECT_EQ(r.nodes, 11u);
    EXPECT_FALSE(r.unique());
    ASSERT_TRUE(r.first);
    ASSERT_EQ(r.first->size(), 1u);
    EXPECT_EQ((*r.first)[0].column, 2) << "the pair where it appears comes first";
    EXPECT_TRUE((*r.first)[0].moves.empty());

    // A red pivot under a blue over RRRBBB empties the field five ways: lying over both
    // colours in columns 1-2, 2-3 or 3-4 (the two nearer the middle as a two-chain), upright
    // in column 2 or upside down in column 3 (the blob that falls makes the second group).
    const Problem both = oneRowOnePair("RRRBBB", CellKind::Blue, CellKind::Red, "clear-all");
    r = solve(both);
    EXPECT_EQ(r.solutions, 5u);
    EXPECT_EQ(r.finalPositions, 1u);
    EXPECT_EQ(r.nodes, 22u);

    // Five reds make one group at most: a 2-chain is given up before a single placement.
    const Problem hopeless = oneRowOnePair("RRR---", CellKind::Red, CellKind::Red, "chain>=2");
    r = solve(hopeless);
    EXPECT_EQ(r.solutions, 0u);
    EXPECT_EQ(r.nodes, 0u);
    EXPECT_FALSE(r.first);
}

TEST(Solver, ReportsProgressAndStopsWhenCancelled) {
    // Five pairs of different colours over a stack that can chain: far more than three reports.
    Problem p = oneRowOnePair("RRBBGG", CellKind::Blue, CellKind::Red, "chain>=2");
    const CellKind kinds[] = {CellKind::Yellow, CellKind::Green, CellKind::Red, CellKind::Blue};
    for (int i = 0; i < 4; ++i) {
        FallingPair next = p.pairs.front();
        next.cells[blockIndex(0, -1)] = kinds[i];
        next.cells[kPivot] = kinds[(i + 1) % 4];
        p.pairs.push_back(next);
    }
    int reports = 0;
    double last = 0;
    SolveOptions options;
    options.progress = [&](const SolveProgress& progress) {
        EXPECT_GE(progress.done, last);
        EXPECT_LE(progress.done, 1.0);
        last = progress.done;
        return ++reports < 3;
    };
    const SolveResult r = solve(p, options);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(reports, 3);
    EXPECT_EQ(r.nodes, 3 * 4096u) << "it stops at the placement it was cancelled at";
    EXPECT_FALSE(r.unique());
}

} // namespace
} // namespace peterin::puzzle
