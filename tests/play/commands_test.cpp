#include <gtest/gtest.h>

#include "play/commands.h"
#include "play/turn_cycle.h"
#include "recorder.h"

namespace peterin {
namespace {

using testing::countKind;
using testing::Harness;
using testing::Recorder;

TEST(Game, StartsInEditModeWithBothQueuesFromTheSameRandomPosition) {
    Harness h;
    EXPECT_EQ(h.game.mode, Mode::Edit);
    EXPECT_TRUE(h.game.onePersonBattle);
    EXPECT_EQ(h.game.editKind, CellKind::Empty);
    EXPECT_FALSE(tempIsShowing(h.game));
    for (int p = 0; p < kPlayerCount; ++p) {
        EXPECT_EQ(h.field(p).width, 6);
        EXPECT_EQ(h.field(p).height, 12);
        EXPECT_EQ(h.player(p).sequence.queue.size(), 3u);
        EXPECT_EQ(h.player(p).sequence.queue.front().position, 0u);
        EXPECT_EQ(h.player(p).fallingPair.x, 2);
        EXPECT_EQ(h.field(p).scoreRecord, &h.player(p).scoreRecord);
    }
    EXPECT_EQ(h.player(0).sequence, h.player(1).sequence);
    EXPECT_EQ(h.player(0).fallingPair.cells[kPivot], CellKind::Green);
    EXPECT_FALSE(h.running(0));
    EXPECT_FALSE(h.running(1));
}

TEST(Game, ANegativeInitialPositionTakesOneFromTheGenerator) {
    Recorder ui;
    Game game(ui);
    game.settings.initialRandomPosition = -1;
    initGame(game, 1'700'000'003); // seven values are discarded first
    ConventionalRandom expected;
    seedConventional(expected, 1'700'000'003);
    EXPECT_EQ(game.players[0].sequence.queue.front().position,
              static_cast<std::uint32_t>(expected.rand()));
    EXPECT_EQ(game.rng, expected);
}

TEST(Game, IndependentGamesDoNotShareState) {
    Harness a;
    Harness b;
    setCell(a.field(0), 0, 11, CellKind::Red);
    changeMode(a.game, Mode::Battle);
    EXPECT_EQ(getCell(b.field(0), 0, 11), CellKind::Empty);
    EXPECT_EQ(b.game.mode, Mode::Edit);
    EXPECT_FALSE(b.running(0));
}

TEST(Commands, ModeChangesAskForAResizeOnlyWhenTheWidthMayChange) {
    Harness h;
    struct Step {
        Mode mode;
        bool resize;
    };
    for (const Step s :
         {Step{Mode::Edit, true}, Step{Mode::Play, false}, Step{Mode::Play, false},
          Step{Mode::Battle, true}, Step{Mode::Battle, false}, Step{Mode::Play, true},
          Step{Mode::Battle, true}, Step{Mode::Edit, true}}) {
        const int dues = h.ui.modeSizeDues;
        changeMode(h.game, s.mode);
        EXPECT_EQ(h.ui.modeSizeDues - dues, s.resize ? 1 : 0) << static_cast<int>(s.mode);
        EXPECT_EQ(h.game.mode, s.mode);
    }
}

TEST(Commands, ChangingModeStopsTheTimersOfBusySides) {
    Harness h;
    changeMode(h.game, Mode::Battle);
    ASSERT_TRUE(h.running(0));
    ASSERT_TRUE(h.running(1));
    changeMode(h.game, Mode::Play);
    EXPECT_TRUE(h.running(0)); // restarted by play mode
    EXPECT_FALSE(h.running(1));
    changeMode(h.game, Mode::Edit);
    EXPECT_FALSE(h.running(0));
}

TEST(Commands, RebuildingAtARandomPositionRestartsPlayFromIt) {
    Harness h;
    changeMode(h.game, Mode::Play);
    h.runUntilStopped();
    onPlayerKey(h.game, h.key(PairAction::Down));
    h.runUntilStopped();
    ASSERT_NE(h.player(0).sequence.queue.front().position, 0u);

    setRandomPosition(h.game, 0, true);
    EXPECT_EQ(h.player(0).sequence.queue.front().position, 0u);
    EXPECT_EQ(h.player(0).phase, Phase::Fall); // play restarted
    EXPECT_EQ(h.player(0).fallingPair.cells[kPivot], CellKind::Green);

    Harness edit;
    const PairSequence before = edit.player(0).sequence;
    setRandomPosition(edit.game, 500, false); // later pairs only; edit mode stays
    EXPECT_EQ(edit.player(0).sequence.queue, before.queue);
    EXPECT_EQ(edit.player(0).sequence.tailState.position, 500u);
    EXPECT_EQ(edit.game.mode, Mode::Edit);
}

TEST(Commands, TheWheelStepsThroughItsListFromTheLastMatchingEntry) {
    Harness h; // wheel list "NRYGBPO"
    h.game.editKind = CellKind::Yellow;
    onMouseWheel(h.game, 120);
    EXPECT_EQ(h.game.editKind, CellKind::Green);
    h.game.editKind = CellKind::Yellow;
    onMouseWheel(h.game, -120);
    EXPECT_EQ(h.game.editKind, CellKind::Red);
    h.game.editKind = CellKind::Iron; // not in the list: as if the first entry
    onMouseWheel(h.game, -120);
    EXPECT_EQ(h.game.editKind, CellKind::Nuisance); // wrapped to the last
    onMouseWheel(h.game, 120);
    EXPECT_EQ(h.game.editKind, CellKind::Empty);
}

TEST(Commands, KeysBoundToSeveralFunctionsTriggerEachOfThem) {
    Harness h;
    auto& keys = h.game.settings.keys;
    keys[kKeyTempStore] = keys[kKeyClearAll]; // store first, then (shown) nothing else
    setCell(h.field(0), 0, 11, CellKind::Red);
    onKeyDown(h.game, keys[kKeyClearAll]);
    EXPECT_TRUE(tempIsShowing(h.game));
    EXPECT_EQ(getCell(h.field(0), 0, 11), CellKind::Red);

    Harness g;
    auto& gkeys = g.game.settings.keys;
    gkeys[editKindKeyIndex(8)] = gkeys[kKeyPlayMode];
    EXPECT_TRUE(onKeyDown(g.game, gkeys[kKeyPlayMode]));
    EXPECT_EQ(g.game.mode, Mode::Play);
    EXPECT_EQ(g.game.editKind, CellKind::Block);
    EXPECT_FALSE(onKeyDown(g.game, 0));
}

TEST(Commands, ResizingFieldsPullsBothPairsInside) {
    Harness h;
    changeMode(h.game, Mode::Battle);
    h.player(1).fallingPair.x = 5;
    changeFieldSize(h.game, 3, 4);
    EXPECT_EQ(h.game.settings.fieldWidth, 3);
    EXPECT_EQ(h.game.settings.fieldHeight, 4);
    EXPECT_EQ(h.field(1).width, 3);
    EXPECT_EQ(h.player(0).fallingPair.x, 2);
    EXPECT_EQ(h.player(1).fallingPair.x, 2);
    h.runAll();
    onPlayerKey(h.game, h.key(PairAction::Down));
    h.runAll();
    EXPECT_EQ(countKind(h.field(0), CellKind::Green), 2);
}

} // namespace
} // namespace peterin
