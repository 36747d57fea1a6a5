#include <gtest/gtest.h>

#include <algorithm>

#include "../session/driven_session.h"
#include "puzzle/problem.h"
#include "puzzle/solver.h"
#include "puzzle_text.h"

namespace peterin {
namespace {

using puzzle::Verdict;
using testing::Driven;

bool verdictReported(const Driven& d, Verdict verdict) {
    return std::any_of(d.reports.begin(), d.reports.end(),
                       [&](const Changes& c) { return c.verdict == verdict; });
}

void play(Driven& d, const analysis::Placement& placement) {
    for (const PairAction move : placement.moves) {
        d.session.keyDown(d.pairKey(move));
    }
    d.session.keyDown(d.pairKey(PairAction::Down));
    d.settle();
}

TEST(PuzzleMode, APuzzleIsFailedClearedUndoneRetriedAndItsAnswerShown) {
    Driven d;
    d.session.apply(SolvePuzzle{});
    EXPECT_FALSE(d.session.puzzleRun()) << "a position without a goal is no puzzle";
    ASSERT_FALSE(d.reports.back().messages.empty());

    d.session.apply(ReadText{testing::puzzleText(testing::kTwoChainRows, "BRGY", "chain>=2")});
    std::vector<puzzle::Solution> all;
    puzzle::SolveOptions options;
    options.each = [&](const puzzle::Solution& s) { all.push_back(s); };
    const puzzle::SolveResult result =
        puzzle::solve(*puzzle::problemOf(d.game(), *d.session.goal()).problem, options);
    const auto single = std::find_if(all.begin(), all.end(),
                                     [](const puzzle::Solution& s) { return s.size() == 1; });
    ASSERT_NE(single, all.end()) << "one pair can fire the two-chain";

    d.session.apply(SolvePuzzle{});
    d.settle();
    ASSERT_TRUE(d.session.puzzleRun());
    EXPECT_EQ(d.game().mode, Mode::Play);
    // Both pairs dropped where they appear make no two-chain.
    d.session.keyDown(d.pairKey(PairAction::Down));
    d.settle();
    EXPECT_EQ(d.session.puzzleVerdict(), Verdict::Playing);
    d.reports.clear();
    d.session.keyDown(d.pairKey(PairAction::Down));
    d.settle();
    EXPECT_EQ(d.session.puzzleVerdict(), Verdict::Failed);
    EXPECT_TRUE(verdictReported(d, Verdict::Failed));

    // Undo takes the puzzle back with the position; the pair played otherwise clears it.
    d.session.apply(Undo{});
    d.session.apply(Undo{});
    EXPECT_EQ(d.session.puzzlePairsPlayed(), 0);
    EXPECT_EQ(d.session.puzzleVerdict(), Verdict::Playing);
    d.reports.clear();
    play(d, single->front());
    EXPECT_EQ(d.session.puzzleVerdict(), Verdict::Cleared);
    EXPECT_TRUE(verdictReported(d, Verdict::Cleared));

    d.session.apply(RetryPuzzle{});
    d.settle();
    EXPECT_EQ(d.session.puzzlePairsPlayed(), 0);
    EXPECT_EQ(d.session.puzzleVerdict(), Verdict::Playing);

    // The answer is shown as a record is, held at its start; closing it brings the puzzle back.
    d.session.apply(ShowSolution{*result.first});
    ASSERT_TRUE(d.session.shownRecord());
    EXPECT_TRUE(d.session.playback().paused());
    EXPECT_EQ(d.session.shownRecord()->turns(), static_cast<int>(result.first->size()));
    EXPECT_GE(d.session.shownRecord()->record().largestChain(), 2);
    d.session.apply(CloseRecord{});
    d.session.apply(SetPaused{false});
    ASSERT_TRUE(d.session.puzzleRun());
    EXPECT_EQ(d.session.puzzlePairsPlayed(), 0);

    // Leaving play mode ends it.
    d.session.apply(SetMode{Mode::Edit});
    EXPECT_FALSE(d.session.puzzleRun());
}

} // namespace
} // namespace peterin
