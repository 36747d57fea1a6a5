// The solver against the game itself: on many random puzzles every solution it reports, played
// with the pair keys through the session's puzzle mode and the real turn cycle, meets the goal
// at its last pair and not before; and a plain search on the rules' own field, without merging
// or giving up anything, finds exactly as many solutions and final positions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "../session/driven_session.h"
#include "analysis/exact_field.h"
#include "puzzle/problem.h"
#include "puzzle/solver.h"
#include "puzzle_text.h"

namespace peterin {
namespace {

using analysis::ExactField;
using testing::Driven;

// The plain search: every distinct placement of every pair, to the turn that meets the goal.
struct Reference {
    std::uint64_t solutions = 0;
    std::set<std::pair<std::size_t, std::string>> finals;
};

std::string cellsOf(const ExactField& field) {
    std::string cells;
    for (std::int32_t x = 0; x < field.width(); ++x) {
        for (std::int32_t r = -3; r < field.height(); ++r) {
            cells += kindLetter(field.kind(x, r));
        }
    }
    return cells;
}

void search(const puzzle::Problem& p, std::size_t k, const ExactField& field, Reference& ref) {
    // Placements are one when they leave the same kinds in the same cells (how the cells
    // came to rest, which the rules' field also keeps, does not count).
    std::set<std::string> seen;
    for (const analysis::Placement& placement : analysis::reachablePlacements(
             field.snapshot(), field.width(), field.height(), -2, p.pairs[k])) {
        ExactField next = field;
        if (next.drop(placement.pair)) {
            next.fall();
        }
        if (!seen.insert(cellsOf(next)).second) {
            continue;
        }
        puzzle::TurnTally turn;
        turn.before = puzzle::kindCounts(next.field());
        const analysis::ChainOutcome out = next.resolve();
        turn.chains = out.chains;
        turn.mostCleared = out.mostCleared;
        turn.mostColours = out.mostColours;
        turn.after = puzzle::kindCounts(next.field());
        if (puzzle::goalMet(p.goal, turn)) {
            ++ref.solutions;
            ref.finals.insert({k + 1, cellsOf(next)});
        } else if (k + 1 < p.pairs.size()) {
            search(p, k + 1, next, ref);
        }
    }
}

// A random puzzle: columns of up to six blobs of four colours (now and then nuisance), two or
// three pairs, one of the goals.
std::string randomPuzzle(std::mt19937& rng, int pairs) {
    std::array<std::string, 12> rows;
    rows.fill("------");
    const char colours[] = "RBGYO";
    for (std::int32_t x = 0; x < 6; ++x) {
        const int height = static_cast<int>(rng() % 7);
        for (int i = 0; i < height; ++i) {
            const bool nuisance = rng() % 10 == 0;
            rows[static_cast<std::size_t>(11 - i)][static_cast<std::size_t>(x)] =
                nuisance ? 'O' : colours[rng() % 4];
        }
    }
    std::string tokens;
    for (int i = 0; i < 2 * pairs; ++i) {
        tokens += colours[rng() % 4];
    }
    static const char* const kGoals[] = {
        "chain>=1",       "chain>=2",       "chain=1",          "chain=2",        "clear-colour=R",
        "clear-colour=Y", "clear-blobs>=5", "clear-colours>=2", "clear-nuisance", "clear-all",
    };
    std::array<std::string_view, 12> views;
    for (std::size_t i = 0; i < 12; ++i) {
        views[i] = rows[i];
    }
    return testing::puzzleText(views, tokens, kGoals[rng() % std::size(kGoals)]);
}

// Plays `solution` through the session's puzzle mode, checking the verdict after each pair.
void playThrough(const std::string& text, const puzzle::Solution& solution) {
    Driven d;
    d.session.apply(ReadText{text});
    d.session.apply(SolvePuzzle{});
    d.settle();
    ASSERT_TRUE(d.session.puzzleRun());
    for (std::size_t i = 0; i < solution.size(); ++i) {
        EXPECT_EQ(d.session.puzzleVerdict(), puzzle::Verdict::Playing) << "before pair " << i + 1;
        for (const PairAction move : solution[i].moves) {
            d.session.keyDown(d.pairKey(move));
        }
        ASSERT_EQ(d.game().players[0].fallingPair, solution[i].pair) << "pair " << i + 1;
        d.session.keyDown(d.pairKey(PairAction::Down));
        d.settle();
        ASSERT_EQ(d.session.puzzlePairsPlayed(), static_cast<int>(i) + 1);
    }
    EXPECT_EQ(d.session.puzzleVerdict(), puzzle::Verdict::Cleared) << "after the last pair";
}

TEST(PuzzleExactness, EverySolutionMeetsTheGoalAtItsLastPairAndNoneIsMissed) {
    // PETERIN_PUZZLE_CHECKS=N checks N puzzles instead (by hand, in a Release build).
    const char* checks = std::getenv("PETERIN_PUZZLE_CHECKS");
    const int puzzles = checks ? std::atoi(checks) : 30;
    std::mt19937 rng(20261209);
    std::uint64_t solutions = 0;
    std::uint64_t played = 0;
    for (int n = 0; n < puzzles; ++n) {
        const std::string text = randomPuzzle(rng, n % 3 == 2 ? 3 : 2);
        SCOPED_TRACE(text);
        Driven d;
        d.session.apply(ReadText{text});
        ASSERT_TRUE(d.session.goal());
        const puzzle::ProblemOf made = puzzle::problemOf(d.game(), *d.session.goal());
        ASSERT_TRUE(made.problem) << made.error;
        const puzzle::Problem& problem = *made.problem;

        std::vector<puzzle::Solution> all;
        puzzle::SolveOptions options;
        options.each = [&](const puzzle::Solution& s) { all.push_back(s); };
        const puzzle::SolveResult result = puzzle::solve(problem, options);

        ExactField start(problem.field, problem.rules);
        start.resolve();
        Reference reference;
        search(problem, 0, start, reference);
        ASSERT_EQ(result.solutions, reference.solutions);
        ASSERT_EQ(result.finalPositions, reference.finals.size());
        ASSERT_EQ(all.size(), result.solutions);
        if (!all.empty()) {
            ASSERT_TRUE(result.first);
            EXPECT_EQ(result.first->size(), all.front().size());
        }
        solutions += result.solutions;
        // Every solution of the first puzzles, a few of each later one.
        const std::size_t replayed = n < 5 ? all.size() : std::min<std::size_t>(all.size(), 3);
        for (std::size_t i = 0; i < replayed; ++i) {
            playThrough(text, all[(i * 7919) % all.size()]);
            ++played;
        }
    }
    std::printf("%d puzzles, %llu solutions, %llu played through the session\n", puzzles,
                static_cast<unsigned long long>(solutions),
                static_cast<unsigned long long>(played));
    EXPECT_GT(solutions, 0u);
}

} // namespace
} // namespace peterin
