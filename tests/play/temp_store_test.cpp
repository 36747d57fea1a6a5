#include <gtest/gtest.h>

#include "play/commands.h"
#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "recorder.h"

namespace peterin {
namespace {

using testing::countKind;
using testing::Harness;
using testing::paintRows;

// The ID box text after each of `steps` ('<' or '>').
std::vector<std::string> stepIds(Harness& h, const std::string& steps) {
    std::vector<std::string> ids;
    for (char step : steps) {
        step == '<' ? tempPrevious(h.game) : tempNext(h.game);
        ids.push_back(h.ui.tempId);
    }
    return ids;
}

TEST(TempStore, SavingWithMainShownAppendsAndSavingAStoredOneOverwritesIt) {
    Harness h;
    tempSave(h.game);
    EXPECT_EQ(h.ui.tempId, "0");
    EXPECT_TRUE(tempIsShowing(h.game));
    tempLoad(h.game); // back to MAIN
    tempSave(h.game);
    EXPECT_EQ(h.ui.tempId, "1");
    EXPECT_EQ(h.game.tempSaves.size(), 2u);

    setCell(h.field(0), 0, 11, CellKind::Red);
    tempSave(h.game); // ID 1 is shown: overwritten
    EXPECT_EQ(h.game.tempSaves.size(), 2u);
    EXPECT_EQ(getCell(h.game.tempSaves[1].players[0].field, 0, 11), CellKind::Red);
    EXPECT_EQ(getCell(h.game.tempSaves[0].players[0].field, 0, 11), CellKind::Empty);
}

TEST(TempStore, IdStepsCycleThroughMainAndTheStoredPositions) {
    Harness h;
    EXPECT_EQ(stepIds(h, "<>"), (std::vector<std::string>{"MAIN", "MAIN"}));
    EXPECT_EQ(h.ui.mainRepaints, 2);
    EXPECT_FALSE(tempIsShowing(h.game));

    for (int i = 0; i < 3; ++i) {
        tempStore(h.game);
        h.game.tempCursor = kLivePosition;
    }
    EXPECT_EQ(stepIds(h, ">>>>"), (std::vector<std::string>{"0", "1", "2", "MAIN"}));
    EXPECT_EQ(stepIds(h, "<<<<"), (std::vector<std::string>{"2", "1", "0", "MAIN"}));
    stepIds(h, ">>");
    EXPECT_EQ(h.game.tempCursor, 1);
    EXPECT_TRUE(tempIsShowing(h.game));
}

TEST(TempStore, StepsStartFromTheIdBoxTextEvenWhenTheStoreWasReplaced) {
    Harness h;
    tempStore(h.game);
    tempStore(h.game);
    h.game.tempIdText = "1";
    tempReplaceAll(h.game, std::vector<TempSave>(3)); // as a file load does
    EXPECT_FALSE(tempIsShowing(h.game));
    tempNext(h.game);
    EXPECT_EQ(h.ui.tempId, "2");
    tempPrevious(h.game);
    tempPrevious(h.game);
    EXPECT_EQ(h.ui.tempId, "0");

    // A cursor left beyond a store that shrank underneath counts as the live position.
    h.game.tempSaves.resize(1);
    h.game.tempCursor = 2;
    EXPECT_FALSE(tempIsShowing(h.game));
    EXPECT_EQ(tempShown(h.game), nullptr);
    tempStore(h.game);
    EXPECT_EQ(h.game.tempSaves.size(), 2u);
    EXPECT_EQ(h.game.tempCursor, 1);
}

TEST(TempStore, LoadingCopiesTheWholePositionBackAndKeepsTheStoreIndependent) {
    Harness h;
    changeMode(h.game, Mode::Play);
    h.runUntilStopped();
    h.player(0).pendingNuisance = 7;
    h.player(1).attackState = kAttackDone;
    setCell(h.field(1), 3, 11, CellKind::Iron);
    tempSave(h.game);
    const Pair front = h.player(0).sequence.queue.front();

    onPlayerKey(h.game, h.key(PairAction::Down));
    h.runUntilStopped();
    clearFields(h.game);
    h.player(1).attackState = kAttackNone;

    tempLoad(h.game);
    EXPECT_EQ(h.ui.tempId, "MAIN");
    EXPECT_FALSE(tempIsShowing(h.game));
    EXPECT_EQ(getCell(h.field(1), 3, 11), CellKind::Iron);
    EXPECT_EQ(countKind(h.field(0), CellKind::Green), 0);
    EXPECT_EQ(h.player(0).pendingNuisance, 7);
    EXPECT_EQ(h.player(1).attackState, kAttackDone);
    EXPECT_EQ(h.player(0).sequence.queue.front(), front);
    EXPECT_EQ(h.ui.randomPositions.back(), front.position);
    EXPECT_EQ(h.ui.relayouts, 1);

    // Playing on from the loaded position leaves the stored one as it was.
    setCell(h.field(1), 0, 11, CellKind::Red);
    EXPECT_EQ(getCell(h.game.tempSaves[0].players[1].field, 0, 11), CellKind::Empty);
    EXPECT_EQ(h.field(0).scoreRecord, &h.player(0).scoreRecord);
}

TEST(TempStore, LoadingWithMainShownRestoresThePositionBeforeTheLastChain) {
    Harness h;
    paintRows(h.field(0), {"R", "R", "R"});
    changeMode(h.game, Mode::Play);
    h.runUntilStopped();
    h.player(0).fallingPair.x = 0;
    h.player(0).fallingPair.cells[kPivot] = CellKind::Red;
    const PairSequence queueBeforeChain = h.player(0).sequence;
    onPlayerKey(h.game, h.key(PairAction::Down));
    h.runUntilStopped();
    ASSERT_EQ(h.player(0).chainCount, 1);
    ASSERT_EQ(countKind(h.field(0), CellKind::Red), 0);

    tempLoad(h.game);
    // The dropped pair has settled on the reds and the queue has not advanced yet.
    EXPECT_EQ(countKind(h.field(0), CellKind::Red), 4);
    EXPECT_EQ(getCell(h.field(0), 0, 7), CellKind::Green);
    EXPECT_EQ(h.player(0).sequence, queueBeforeChain);
    EXPECT_EQ(h.player(0).phase, Phase::Idle);
    EXPECT_EQ(h.player(0).chainCount, 0);
}

TEST(TempStore, APositionStoredMidChainRunsOnWhenLoaded) {
    Harness h;
    paintRows(h.field(0), {"R", "R", "R", "R"});
    changeMode(h.game, Mode::Play);
    while (h.player(0).phase != Phase::Vanish) {
        gameTick(h.game, 0);
    }
    tempSave(h.game);
    tempLoad(h.game);
    h.runUntilStopped();
    ASSERT_EQ(h.player(0).phase, Phase::Idle);
    ASSERT_EQ(countKind(h.field(0), CellKind::Red), 0);

    tempPrevious(h.game);
    tempLoad(h.game);
    EXPECT_EQ(countKind(h.field(0), CellKind::Red), 4);
    EXPECT_TRUE(h.running(0));
    h.runUntilStopped();
    EXPECT_EQ(countKind(h.field(0), CellKind::Red), 0);
    EXPECT_EQ(h.player(0).phase, Phase::Idle);

    // Back in a position where 1P waits, nothing ticks on.
    tempSave(h.game);
    changeMode(h.game, Mode::Play);
    tempLoad(h.game);
    EXPECT_FALSE(h.running(0));
}

// A two-person battle left for `next` while 1P's pair has landed and waits for 2P's step.
void leaveBattleWhile1PWaits(Harness& h, Mode next) {
    h.game.onePersonBattle = false;
    changeMode(h.game, Mode::Battle);
    h.runAll();
    onPlayerKey(h.game, h.key(PairAction::Down, kKeyGroupBattle1P));
    h.runUntilStopped(0);
    ASSERT_EQ(h.player(0).waitingForPartner, 1);
    changeMode(h.game, next);
}

// Stores the live position, starts a fresh battle and loads the stored position into it.
void loadIntoFreshBattle(Harness& h) {
    tempSave(h.game);
    tempNext(h.game); // MAIN
    changeMode(h.game, Mode::Battle);
    h.runAll();
    tempPrevious(h.game);
    tempLoad(h.game);
}

TEST(TempStore, AWaitLeftFromABattleNeitherFreezesNorStartsTurnsInLoadedPositions) {
    {
        // Play mode has no partner to wait for, and a position stored mid-turn in it runs on.
        Harness h;
        leaveBattleWhile1PWaits(h, Mode::Play);
        h.runUntilStopped();
        onPlayerKey(h.game, h.key(PairAction::Down));
        tempSave(h.game);
        tempLoad(h.game);
        EXPECT_TRUE(h.running(0));
        h.runUntilStopped();
        EXPECT_EQ(h.player(0).phase, Phase::Idle);
    }
    {
        // 1P idle in a position stored in play mode: 2P's landing must not start a turn for
        // 1P, which has dropped nothing.
        Harness h;
        leaveBattleWhile1PWaits(h, Mode::Play);
        h.runUntilStopped();
        loadIntoFreshBattle(h);
        const FallingPair inHand = h.player(0).fallingPair;
        const Pair front = h.player(0).sequence.queue.front();
        onPlayerKey(h.game, h.key(PairAction::Down, kKeyGroupBattle2P));
        h.runAll();
        EXPECT_EQ(h.player(0).phase, Phase::Idle);
        EXPECT_EQ(h.player(0).fallingPair, inHand);
        EXPECT_EQ(h.player(0).sequence.queue.front(), front);
        EXPECT_EQ(h.player(1).waitingForPartner, 1); // 2P waits for 1P's step instead
    }
    {
        // Edit mode's fall waits for nobody: loaded into a battle it runs and settles the field.
        Harness h;
        leaveBattleWhile1PWaits(h, Mode::Edit);
        setCell(h.field(0), 0, 0, CellKind::Red); // painted in the air
        loadIntoFreshBattle(h);
        EXPECT_TRUE(h.running(0));
        h.runAll();
        EXPECT_EQ(getCell(h.field(0), 0, 11), CellKind::Red);
    }
}

TEST(TempStore, LoadingTheBackupOfANarrowedFieldKeepsThePairInside) {
    Harness h;
    changeFieldSize(h.game, 2, 12);
    paintRows(h.field(0), {"R", "R", "R", "R"});
    changeMode(h.game, Mode::Play);
    h.runUntilStopped(); // the chain keeps a two-column backup
    tempLoad(h.game);
    EXPECT_EQ(h.field(0).width, 2);
    EXPECT_EQ(h.player(0).fallingPair.x, 1);
    EXPECT_EQ(h.player(1).fallingPair.x, 1);
}

TEST(TempStore, LoadingBeforeAnyChainReturnsToTheStartingPosition) {
    Harness h;
    const PairSequence start = h.player(0).sequence;
    setCell(h.field(0), 0, 11, CellKind::Red);
    tempLoad(h.game);
    EXPECT_EQ(countKind(h.field(0), CellKind::Red), 0);
    EXPECT_EQ(h.player(0).sequence, start);
    EXPECT_EQ(h.game.settings.fieldWidth, 6);
    EXPECT_EQ(h.game.settings.fieldHeight, 12);
    EXPECT_EQ(h.game.settings.nextCount, 2);
}

TEST(TempStore, LoadingTakesTheFieldSizeAndQueueLengthIntoTheSettings) {
    Harness h;
    tempSave(h.game);
    h.game.settings.nextCount = 4;
    resizeQueues(h.game);
    changeFieldSize(h.game, 8, 10);
    EXPECT_EQ(h.game.tempSaves[0].players[1].sequence.queue.size(), 5u); // stored queues follow
    resize(h.game.tempSaves[0].players[0].sequence, 3);
    h.game.tempSaves[0].players[0].field.scoreRecord = nullptr; // as read from a file

    tempLoad(h.game);
    EXPECT_EQ(h.game.settings.fieldWidth, 6);
    EXPECT_EQ(h.game.settings.fieldHeight, 12);
    EXPECT_EQ(h.game.settings.nextCount, 2);
    EXPECT_EQ(h.field(0).scoreRecord, &h.player(0).scoreRecord);
}

TEST(TempStore, WhileAStoredPositionIsShownOnlyTheTempSaveKeysAct) {
    Harness h;
    const auto& keys = h.game.settings.keys;
    onKeyDown(h.game, keys[kKeyTempStore]);
    ASSERT_TRUE(tempIsShowing(h.game));
    setCell(h.field(0), 0, 11, CellKind::Red);
    EXPECT_FALSE(onKeyDown(h.game, keys[kKeyPlayMode]));
    onKeyDown(h.game, keys[kKeyClearAll]);
    onKeyDown(h.game, keys[editKindKeyIndex(3)]);
    EXPECT_EQ(h.game.mode, Mode::Edit);
    EXPECT_EQ(getCell(h.field(0), 0, 11), CellKind::Red);
    EXPECT_EQ(h.game.editKind, CellKind::Empty);

    onKeyDown(h.game, keys[kKeyTempIdNext]); // past the last: MAIN again
    EXPECT_FALSE(tempIsShowing(h.game));
    EXPECT_TRUE(onKeyDown(h.game, keys[kKeyPlayMode]));
    EXPECT_EQ(h.game.mode, Mode::Play);
}

} // namespace
} // namespace peterin
