#include <gtest/gtest.h>

#include "play/commands.h"
#include "play/turn_cycle.h"
#include "recorder.h"

namespace peterin {
namespace {

using testing::countKind;
using testing::Harness;
using testing::paintRows;

// A field in which four reds vanish and the blues above them then make four of their own.
void paintTwoStepChain(Field& field) {
    paintRows(field, {"B--", "RB-", "RB-", "RRB"});
}

// Starts play mode and lets the opening fall finish.
void startPlay(Harness& h) {
    changeMode(h.game, Mode::Play);
    h.runUntilStopped();
    ASSERT_EQ(h.player(0).phase, Phase::Idle);
}

TEST(TurnCycle, ADroppedUprightPairSettlesOnTheNineteenthTick) {
    Harness h;
    startPlay(h);
    const std::uint32_t nextPosition = h.player(0).sequence.queue.at(1).position;

    onPlayerKey(h.game, h.key(PairAction::Down));
    ASSERT_EQ(h.player(0).phase, Phase::PairFall);
    EXPECT_NE(getCell(h.field(0), 2, 1), CellKind::Empty); // placed one row down
    EXPECT_NE(getCell(h.field(0), 2, 0), CellKind::Empty);

    int ticks = 0;
    while (h.player(0).phase == Phase::PairFall && ticks < 1000) {
        gameTick(h.game, 0);
        ++ticks;
    }
    EXPECT_EQ(ticks, 19);
    EXPECT_NE(getCell(h.field(0), 2, 11), CellKind::Empty);
    EXPECT_NE(getCell(h.field(0), 2, 10), CellKind::Empty);
    EXPECT_EQ(countKind(h.field(0), CellKind::Green), 2);

    // The turn is over and the next pair waits at the spawn point.
    EXPECT_EQ(h.player(0).phase, Phase::Idle);
    EXPECT_FALSE(h.running(0));
    EXPECT_EQ(h.ui.randomPositions, std::vector<std::uint32_t>{nextPosition});
    EXPECT_EQ(h.player(0).fallingPair.x, 2);
    EXPECT_EQ(h.player(0).fallingPair.row, 0);
}

TEST(TurnCycle, SlowerFallSettingsStretchTheFallEvenly) {
    Harness h;
    h.game.settings.fallTicks = 3;
    startPlay(h);
    onPlayerKey(h.game, h.key(PairAction::Down));
    int ticks = 0;
    while (h.player(0).phase == Phase::PairFall && ticks < 1000) {
        gameTick(h.game, 0);
        ++ticks;
    }
    EXPECT_EQ(ticks, 1 + 9 * 4); // ten gravity steps, one every fourth tick
}

TEST(TurnCycle, ATwoStepChainIsShownCountedAndScoredStepByStep) {
    Harness h;
    paintTwoStepChain(h.field(0));
    changeMode(h.game, Mode::Play);

    std::array<int, 5> ticksIn{};
    int ticks = 0;
    while (h.running(0) && ticks < 10000) {
        ++ticksIn[static_cast<std::size_t>(h.player(0).phase)];
        gameTick(h.game, 0);
        ++ticks;
    }
    using Status = std::pair<int, std::string>;
    const std::vector<Status> expected = {
        {0, "\t\t1連鎖"}, {1, "\t\t40"}, {0, "\t\t2連鎖"}, {1, "\t\t360"}};
    EXPECT_EQ(h.ui.statusHistory, expected);
    EXPECT_EQ(h.player(0).chainCount, 2);
    EXPECT_EQ(h.player(0).score, 360);
    EXPECT_EQ(countKind(h.field(0), CellKind::Red) + countKind(h.field(0), CellKind::Blue), 0);
    // Each step shows its groups for "連結中" + 1 ticks and vanishes after "消去後" + 1.
    EXPECT_EQ(ticksIn[2], 2 * 21);
    EXPECT_EQ(ticksIn[3], 2 * 26);
    // In play mode the attack is only measured: 320 points make 4 nuisance, shown to 1P.
    EXPECT_EQ(h.player(0).pendingNuisance, 4);
    EXPECT_EQ(countKind(h.field(0), CellKind::Nuisance), 0);
    EXPECT_EQ(h.player(0).phase, Phase::Idle);

    // The next drop clears the measure.
    onPlayerKey(h.game, h.key(PairAction::Down));
    EXPECT_EQ(h.player(0).pendingNuisance, 0);
}

// The next view is redrawn only when the player can move again, so during a chain it still shows
// the list whose first pair is the one the player gets next.
TEST(TurnCycle, TheNextViewIsRepaintedOnlyWhenThePlayerGoesIdle) {
    for (const bool chain : {false, true}) {
        Harness h;
        startPlay(h);
        ASSERT_EQ(h.player(0).fallingPair.cells[4], CellKind::Green);
        if (chain) {
            // Two greens under the spawn column: the upright green pair makes four.
            setCell(h.field(0), 2, 10, CellKind::Green);
            setCell(h.field(0), 2, 11, CellKind::Green);
        }
        const int before = h.ui.nextRepaints[0];
        onPlayerKey(h.game, h.key(PairAction::Down));
        bool sawGroups = false;
        for (int ticks = 0; h.running(0) && ticks < 10000; ++ticks) {
            EXPECT_EQ(h.ui.nextRepaints[0], before) << "chain " << chain << ", tick " << ticks;
            sawGroups = sawGroups || h.player(0).phase == Phase::ShowGroups;
            gameTick(h.game, 0);
        }
        EXPECT_EQ(sawGroups, chain);
        EXPECT_EQ(h.player(0).phase, Phase::Idle);
        EXPECT_EQ(h.ui.nextRepaints[0], before + 1) << "chain " << chain;
    }
}

TEST(TurnCycle, WithNoTimeAfterVanishingAStepVanishesUnscored) {
    Harness h;
    h.game.settings.vanishTicks = 0;
    paintRows(h.field(0), {"R", "R", "R", "R"});
    h.player(0).pendingNuisance = 3;
    changeMode(h.game, Mode::Play);
    h.runUntilStopped();
    EXPECT_EQ(countKind(h.field(0), CellKind::Red), 0);
    EXPECT_EQ(h.player(0).chainCount, 0);
    EXPECT_EQ(h.player(0).score, 0);
    EXPECT_TRUE(h.ui.statusHistory.empty());
    EXPECT_EQ(h.player(0).pendingNuisance, 3);
}

TEST(TurnCycle, SwitchingToPlaySettlesTheEditedFieldBeforeThePairMoves) {
    Harness h;
    setCell(h.field(0), 0, 0, CellKind::Red); // painted in the air
    changeMode(h.game, Mode::Play);
    onPlayerKey(h.game, h.key(PairAction::Left));
    EXPECT_EQ(h.player(0).fallingPair.x, 2); // still falling: the keys wait
    h.runUntilStopped();
    EXPECT_EQ(getCell(h.field(0), 0, 11), CellKind::Red);
    onPlayerKey(h.game, h.key(PairAction::Left));
    EXPECT_EQ(h.player(0).fallingPair.x, 1);
}

TEST(TurnCycle, InEditModeThePairKeysDoNothingAndNoTimerRuns) {
    Harness h; // starts in edit mode
    for (PairAction action : {PairAction::Down, PairAction::Left, PairAction::RotateRight}) {
        onPlayerKey(h.game, h.key(action));
    }
    EXPECT_EQ(countKind(h.field(0), CellKind::Green), 0);
    EXPECT_FALSE(h.running(0));

    startPlay(h);
    changeMode(h.game, Mode::Edit);
    onPlayerKey(h.game, h.key(PairAction::Down));
    EXPECT_EQ(countKind(h.field(0), CellKind::Green), 0);
    EXPECT_FALSE(h.running(0));
    EXPECT_FALSE(h.running(1));
}

TEST(TurnCycle, ARefusedDropStillRunsTheTurnAndLoadsTheNextPair) {
    Harness h;
    for (std::int32_t r = 0; r < 12; ++r) {
        setCell(h.field(0), 2, r, CellKind::Iron);
    }
    startPlay(h);
    const Pair second = h.player(0).sequence.queue.at(1);
    onPlayerKey(h.game, h.key(PairAction::Down));
    EXPECT_EQ(h.player(0).phase, Phase::PairFall);
    h.runUntilStopped();
    EXPECT_EQ(countKind(h.field(0), CellKind::Green), 0);
    EXPECT_EQ(h.player(0).phase, Phase::Idle);
    EXPECT_EQ(h.player(0).sequence.queue.front(), second);
    EXPECT_EQ(h.ui.randomPositions.size(), 1u);
}

TEST(TurnCycle, BattleSidesWaitForEachOtherAtTheEndOfEachStep) {
    Harness h;
    h.game.onePersonBattle = false;
    changeMode(h.game, Mode::Battle);
    h.runAll();
    ASSERT_EQ(h.player(0).phase, Phase::Idle);
    ASSERT_EQ(h.player(1).phase, Phase::Idle);

    onPlayerKey(h.game, h.key(PairAction::Down, kKeyGroupBattle1P));
    ASSERT_EQ(h.player(0).phase, Phase::PairFall);
    ASSERT_EQ(h.player(1).phase, Phase::Idle);
    EXPECT_EQ(h.runUntilStopped(0), 19);
    // 1P has landed but holds on until 2P has landed too.
    EXPECT_EQ(h.player(0).phase, Phase::PairFall);
    EXPECT_EQ(h.player(0).waitingForPartner, 1);
    EXPECT_TRUE(h.ui.randomPositions.empty());

    onPlayerKey(h.game, h.key(PairAction::Down, kKeyGroupBattle2P));
    for (int tick = 0; tick < 18; ++tick) {
        gameTick(h.game, 0); // a stray tick of the waiting side changes nothing
        gameTick(h.game, 1);
    }
    EXPECT_EQ(h.player(0).phase, Phase::PairFall);
    gameTick(h.game, 1);
    // Both moved on together and both got their next pair.
    EXPECT_NE(h.player(0).phase, Phase::PairFall);
    EXPECT_NE(h.player(1).phase, Phase::PairFall);
    EXPECT_EQ(h.player(0).waitingForPartner, 0);
    EXPECT_EQ(h.player(1).waitingForPartner, 0);
    EXPECT_EQ(h.ui.randomPositions.size(), 2u);
    h.runAll();
    EXPECT_EQ(h.player(0).phase, Phase::Idle);
    EXPECT_EQ(h.player(1).phase, Phase::Idle);
}

TEST(TurnCycle, OnePersonBattleKeysPlay1PThen2P) {
    Harness h;
    ASSERT_TRUE(h.game.onePersonBattle);
    changeMode(h.game, Mode::Battle);
    h.runAll();

    onPlayerKey(h.game, h.key(PairAction::Left));
    EXPECT_EQ(h.player(0).fallingPair.x, 1);
    EXPECT_EQ(h.player(1).fallingPair.x, 2);

    onPlayerKey(h.game, h.key(PairAction::Down));
    EXPECT_EQ(h.player(0).phase, Phase::PairFall);
    EXPECT_EQ(h.player(1).phase, Phase::Idle);

    onPlayerKey(h.game, h.key(PairAction::Left));
    EXPECT_EQ(h.player(1).fallingPair.x, 1);
    onPlayerKey(h.game, h.key(PairAction::Down));
    EXPECT_EQ(h.player(1).phase, Phase::PairFall);
    EXPECT_NE(getCell(h.field(1), 1, 1), CellKind::Empty);
}

TEST(TurnCycle, TwoPersonBattleGivesEachSideItsOwnKeys) {
    Harness h;
    h.game.onePersonBattle = false;
    changeMode(h.game, Mode::Battle);
    h.runAll();
    onPlayerKey(h.game, h.key(PairAction::Left, kKeyGroupBattle1P));
    EXPECT_EQ(h.player(0).fallingPair.x, 1);
    EXPECT_EQ(h.player(1).fallingPair.x, 2);
    onPlayerKey(h.game, h.key(PairAction::Right, kKeyGroupBattle2P));
    EXPECT_EQ(h.player(0).fallingPair.x, 1);
    EXPECT_EQ(h.player(1).fallingPair.x, 3);
    // The solo group's keys that are not also 2P's do nothing in a two-person battle.
    onPlayerKey(h.game, h.key(PairAction::RotateRight, kKeyGroupSolo));
    EXPECT_EQ(h.player(0).fallingPair.cells, h.player(1).fallingPair.cells);
}

TEST(TurnCycle, BattleGivesBothSidesTheSamePairsAndClearsTheirCounts) {
    Harness h;
    setPosition(h.player(0).sequence, 77, true);
    h.player(0).pendingNuisance = 9;
    h.player(1).pendingNuisance = 5;
    h.player(1).score = 1234;
    changeMode(h.game, Mode::Battle);
    EXPECT_EQ(h.player(1).sequence, h.player(0).sequence);
    EXPECT_EQ(h.player(1).fallingPair, h.player(0).fallingPair);
    EXPECT_EQ(h.player(0).pendingNuisance, 0);
    EXPECT_EQ(h.player(1).pendingNuisance, 0);
    EXPECT_EQ(h.player(1).score, 0);
    EXPECT_TRUE(h.running(0));
    EXPECT_TRUE(h.running(1));
}

} // namespace
} // namespace peterin
