#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "history/delta.h"
#include "history/snapshot.h"
#include "play/commands.h"
#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "recorder.h"

namespace peterin {
namespace {

using testing::Harness;
using testing::paintRows;

// A two-person battle in which 1P's next drop clears eight reds and sends nuisance to 2P.
struct ChainHarness : Harness {
    ChainHarness() {
        game.onePersonBattle = false;
        changeMode(game, Mode::Battle);
        runAll();
        paintRows(field(0), {"BB", "RR", "RR", "RR"});
        FallingPair& pair = player(0).fallingPair;
        pair.cells[kPivot] = CellKind::Red;
        pair.cells[blockIndex(0, -1)] = CellKind::Red;
        tempStore(game);
        game.tempCursor = kLivePosition;
    }
    // Both sides drop: a battle moves on in lockstep.
    void drop() {
        onPlayerKey(game, key(PairAction::Down, kKeyGroupBattle1P));
        onPlayerKey(game, key(PairAction::Down, kKeyGroupBattle2P));
    }
};

TEST(Snapshot, APositionTakenMidChainRunsOnExactlyAsTheOriginalWhereverItIsRestored) {
    ChainHarness h;
    h.drop();
    while (h.player(0).phase != Phase::Vanish || h.player(0).chainCount == 0) {
        ASSERT_TRUE(h.tickAll());
    }
    const Snapshot midChain = capture(h.game);
    h.runAll();
    const Snapshot end = capture(h.game);
    ASSERT_GT(end.players[0].score, 0);
    ASSERT_GT(end.players[1].pendingNuisance + end.players[0].pendingNuisance, 0);
    ASSERT_NE(end, midChain);

    // Back in the same game, after more has happened, and in a fresh game of other sizes.
    tempStore(h.game);
    changeMode(h.game, Mode::Edit);
    restore(h.game, midChain);
    EXPECT_EQ(capture(h.game), midChain);
    EXPECT_TRUE(h.running(0));
    EXPECT_EQ(h.game.tempSaves.size(), 1u);
    h.runAll();
    EXPECT_EQ(capture(h.game), end);
    EXPECT_EQ(h.ui.status[1].substr(2), std::to_string(end.players[0].score));

    Harness other(9, 14);
    other.game.settings.nextCount = 5;
    resizeQueues(other.game);
    restore(other.game, midChain);
    EXPECT_EQ(capture(other.game), midChain);
    EXPECT_EQ(other.ui.relayouts, 1);
    other.runAll();
    EXPECT_EQ(capture(other.game), end);
    EXPECT_FALSE(other.running(0) || other.running(1));
}

TEST(Snapshot, EveryPartOfTheLiveStateIsTakenAndPutBack) {
    using Change = std::function<void(Game&)>;
    const std::vector<std::pair<const char*, Change>> changes = {
        {"cell", [](Game& g) { setCell(g.players[1].field, 3, 5, CellKind::Iron); }},
        {"field size", [](Game& g) { changeFieldSize(g, 8, 13); }},
        {"pair", [](Game& g) { moveLeft(g.players[0].fallingPair, g.players[0].field); }},
        {"queue", [](Game& g) { advance(g.players[1].sequence); }},
        {"phase", [](Game& g) { g.players[1].phase = Phase::ShowGroups; }},
        {"countdown", [](Game& g) { g.players[0].countdown = 7; }},
        {"chain", [](Game& g) { g.players[0].chainCount = 3; }},
        {"score", [](Game& g) { g.players[1].score = 420; }},
        {"nuisance", [](Game& g) { g.players[0].pendingNuisance = 31; }},
        {"rows left", [](Game& g) { g.players[1].nuisanceRowsLeft = 2; }},
        {"attack", [](Game& g) { g.players[0].attackState = kAttackStepWithPending; }},
        {"waiting", [](Game& g) { g.players[1].waitingForPartner = 1; }},
        {"tally", [](Game& g) { g.players[0].scoreRecord.cleared = 9; }},
        {"status", [](Game& g) { showChainStatus(g, 1, 4, 880); }},
        {"mode", [](Game& g) { g.mode = Mode::Play; }},
        {"generator", [](Game& g) { g.rng.rand(); }},
        {"turn backup",
         [](Game& g) { setCell(g.turnBackup.players[0].field, 0, 0, CellKind::Red); }},
        {"store", [](Game& g) { tempStore(g); }},
        {"stored field",
         [](Game& g) { setCell(g.tempSaves[0].players[1].field, 1, 1, CellKind::Red); }},
        {"cursor", [](Game& g) { g.tempCursor = 0; }},
        {"ID text", [](Game& g) { g.tempIdText.push_back('0'); }},
        {"next count", [](Game& g) { g.settings.nextCount = 4; }},
        {"bands", [](Game& g) { g.settings.showHeaven = 0; }},
        {"blob size", [](Game& g) { g.settings.cellWidth = 17; }},
    };
    for (const auto& [name, change] : changes) {
        ChainHarness h;
        const Snapshot before = capture(h.game);
        change(h.game);
        ASSERT_NE(capture(h.game), before) << name;
        restore(h.game, before);
        EXPECT_EQ(capture(h.game), before) << name;
        EXPECT_EQ(h.game.players[0].field.scoreRecord, &h.game.players[0].scoreRecord) << name;
    }
}

// Changes one member, whatever it holds, so that every copy that keeps it differs.
void perturb(Field& field) {
    setCell(field, 0, 0, getCell(field, 0, 0) == CellKind::Red ? CellKind::Blue : CellKind::Red);
}
void perturb(PairSequence& sequence) {
    advance(sequence);
}
void perturb(FallingPair& pair) {
    ++pair.x;
}
template <class T> void perturb(T& number) {
    if constexpr (std::is_enum_v<T>) {
        number = static_cast<T>(static_cast<std::underlying_type_t<T>>(number) + 1);
    } else {
        ++number;
    }
}

// Each member the description names, in each copy of a player the history keeps (both live
// players and both sides of the turn backup), is taken, recorded by a step and put back.
TEST(Snapshot, EveryDescribedMemberIsTakenRecordedAndPutBack) {
    for (int holder = 0; holder < 2 * kPlayerCount; ++holder) {
        const auto p = static_cast<std::size_t>(holder % kPlayerCount);
        const int members = [&] {
            ChainHarness h;
            int n = 0;
            visitMembers([&](auto&) { ++n; }, h.game.players[p]);
            return holder < kPlayerCount ? n : n - 3; // the backup keeps no turn counters
        }();
        for (int member = 0; member < members; ++member) {
            SCOPED_TRACE("holder " + std::to_string(holder) + ", member " + std::to_string(member));
            ChainHarness h;
            const Snapshot before = capture(h.game);
            int i = 0;
            const auto change = [&](auto& m) {
                if (i++ == member) {
                    perturb(m);
                }
            };
            if (holder < kPlayerCount) {
                visitMembers(change, h.game.players[p]);
            } else {
                visitMembers(change, h.game.turnBackup.players[p]);
            }
            const Snapshot after = capture(h.game);
            ASSERT_NE(after, before);
            const Delta delta = diff(before, after);
            Snapshot s = after;
            apply(s, delta, Side::Before);
            EXPECT_EQ(s, before);
            apply(s, delta, Side::After);
            EXPECT_EQ(s, after);
            restore(h.game, before);
            EXPECT_EQ(capture(h.game), before);
        }
    }
}

TEST(Snapshot, OneTakenWithoutTheStoreLeavesTheStoreAlone) {
    ChainHarness h;
    const Snapshot before = capture(h.game, false);
    setCell(h.field(0), 5, 11, CellKind::Green);
    tempStore(h.game);
    restore(h.game, before);
    EXPECT_EQ(getCell(h.field(0), 5, 11), CellKind::Empty);
    EXPECT_EQ(h.game.tempSaves.size(), 2u);
    EXPECT_EQ(h.game.tempCursor, 1);
}

} // namespace
} // namespace peterin
