#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "puzzle/goal.h"

namespace peterin::puzzle {
namespace {

TEST(Goal, EveryFormReadsBackAsItIsWrittenAndBadTextSaysWhatIsWrong) {
    const std::vector<std::pair<std::string, Goal>> good = {
        {"chain>=4", {GoalKind::ChainAtLeast, 4, CellKind::Empty}},
        {"chain=12", {GoalKind::ChainExactly, 12, CellKind::Empty}},
        {"clear-all", {GoalKind::ClearAll, 1, CellKind::Empty}},
        {"clear-colour=P", {GoalKind::ClearColour, 1, CellKind::Purple}},
        {"clear-blobs>=9999", {GoalKind::ClearBlobsAtLeast, 9999, CellKind::Empty}},
        {"clear-colours>=5", {GoalKind::ClearColoursAtLeast, 5, CellKind::Empty}},
        {"clear-nuisance", {GoalKind::ClearNuisance, 1, CellKind::Empty}},
    };
    for (const auto& [text, goal] : good) {
        const ParsedGoal parsed = parseGoal(text);
        ASSERT_TRUE(parsed.goal) << text << ": " << parsed.error;
        EXPECT_EQ(*parsed.goal, goal) << text;
        EXPECT_EQ(goalText(goal), text);
    }
    EXPECT_TRUE(parseGoal("  chain>=2\t").goal) << "blanks around the goal are allowed";

    // Each bad text, and a piece of what the user is told about it.
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"", "unknown goal \"\""},
        {"chain>4", "chain>=N, chain=N, clear-all"},
        {"Chain>=4", "unknown goal"},
        {"chain>=0", "from 1 to 9999, not \"0\""},
        {"chain>=10000", "from 1 to 9999"},
        {"chain>=+3", "not \"+3\""},
        {"chain>= 3", "not \" 3\""},
        {"chain=3x", "not \"3x\""},
        {"clear-colours>=6", "from 1 to 5"},
        {"clear-colour=O", "R, B, G, Y and P, not \"O\""},
        {"clear-colour=r", "not \"r\""},
        {"clear-colour=RB", "not \"RB\""},
        {"clear-all now", "unknown goal \"clear-all now\""},
    };
    for (const auto& [text, why] : bad) {
        const ParsedGoal parsed = parseGoal(text);
        EXPECT_FALSE(parsed.goal) << text;
        EXPECT_NE(parsed.error.find(why), std::string::npos) << text << ": " << parsed.error;
    }
}

// A turn: chain steps, the most blobs and colours one step cleared, and the red, yellow and
// nuisance blobs (and iron) before and after it.
TurnTally turn(int chains, int cleared, int colours, std::array<int, 4> before,
               std::array<int, 4> after) {
    TurnTally t;
    t.chains = chains;
    t.mostCleared = cleared;
    t.mostColours = colours;
    const CellKind kinds[] = {CellKind::Red, CellKind::Yellow, CellKind::Nuisance, CellKind::Iron};
    for (std::size_t i = 0; i < 4; ++i) {
        t.before[static_cast<std::size_t>(kinds[i])] = before[i];
        t.after[static_cast<std::size_t>(kinds[i])] = after[i];
    }
    return t;
}

TEST(Goal, ATurnMeetsAGoalByItsChainItsStepsAndWhatItLeaves) {
    struct Case {
        const char* goal;
        TurnTally turn;
        bool met;
    };
    const Case cases[] = {
        {"chain>=3", turn(3, 4, 1, {8, 0, 0, 0}, {0, 0, 0, 0}), true},
        {"chain>=3", turn(4, 4, 1, {8, 0, 0, 0}, {0, 0, 0, 0}), true},
        {"chain>=3", turn(2, 4, 1, {8, 0, 0, 0}, {0, 0, 0, 0}), false},
        {"chain=3", turn(4, 4, 1, {8, 0, 0, 0}, {0, 0, 0, 0}), false},
        {"chain=3", turn(3, 4, 1, {8, 0, 0, 0}, {0, 0, 0, 0}), true},
        {"clear-blobs>=8", turn(1, 8, 2, {8, 0, 0, 0}, {0, 0, 0, 0}), true},
        {"clear-blobs>=8", turn(2, 7, 2, {8, 0, 0, 0}, {0, 0, 0, 0}), false},
        {"clear-colours>=2", turn(1, 8, 2, {8, 0, 0, 0}, {0, 0, 0, 0}), true},
        {"clear-colours>=3", turn(3, 8, 2, {8, 0, 0, 0}, {0, 0, 0, 0}), false},
        // The clearing goals want some of it cleared in the turn and none left.
        {"clear-colour=R", turn(1, 4, 1, {4, 3, 0, 0}, {0, 3, 0, 0}), true},
        {"clear-colour=R", turn(1, 4, 1, {5, 3, 0, 0}, {1, 3, 0, 0}), false},
        {"clear-colour=R", turn(1, 4, 1, {0, 4, 0, 0}, {0, 0, 0, 0}), false},
        {"clear-nuisance", turn(1, 4, 1, {4, 0, 2, 0}, {0, 0, 0, 0}), true},
        {"clear-nuisance", turn(1, 4, 1, {4, 0, 0, 0}, {0, 0, 0, 0}), false},
        {"clear-all", turn(1, 4, 1, {4, 0, 2, 0}, {0, 0, 0, 0}), true},
        {"clear-all", turn(1, 4, 1, {4, 0, 2, 1}, {0, 0, 0, 1}), true}, // iron stays
        {"clear-all", turn(1, 4, 1, {4, 1, 0, 0}, {0, 1, 0, 0}), false},
        {"clear-all", turn(0, 0, 0, {0, 0, 0, 1}, {0, 0, 0, 1}), false},
    };
    for (const Case& c : cases) {
        const ParsedGoal goal = parseGoal(c.goal);
        ASSERT_TRUE(goal.goal);
        EXPECT_EQ(goalMet(*goal.goal, c.turn), c.met)
            << c.goal << " with " << c.turn.chains << " steps";
    }
}

} // namespace
} // namespace peterin::puzzle
