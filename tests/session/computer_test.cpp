#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "../files/temp_dir.h"
#include "analysis/opponent.h"
#include "driven_session.h"
#include "play/battle.h"
#include "play/turn_cycle.h"
#include "records/record_folder.h"
#include "records/replay.h"
#include "rules/field.h"
#include "session/computer_sides.h"

namespace peterin {
namespace {

using testing::Driven;

// Column 2 of 2P's field filled from row 1 down in colours that never make a group: the next
// pair dropped there comes to rest in row 0, where pairs appear.
void fillSpawnColumn(Game& game, int player) {
    constexpr CellKind kCycle[] = {CellKind::Red, CellKind::Blue, CellKind::Green,
                                   CellKind::Yellow};
    Field& field = game.players[static_cast<std::size_t>(player)].field;
    for (std::int32_t r = 1; r < field.height; ++r) {
        setCell(field, 2, r, kCycle[r % 4]);
    }
}

TEST(DecisiveBattle, APairThatAppearsInATakenCellLosesOnlyWhenTheRuleHoldsAndTheNextKeyPlaysOn) {
    for (const bool rule : {false, true}) {
        SCOPED_TRACE(rule);
        Driven d;
        Game& game = d.session.game();
        game.settings.decisiveBattle = rule ? 1 : 0;
        fillSpawnColumn(game, 1);
        d.session.keyDown(d.key(kKeyBattleMode));
        d.settle();
        // One key set plays both sides: 1P drops, then 2P onto its full column.
        d.session.keyDown(d.pairKey(PairAction::Down));
        d.session.keyDown(d.pairKey(PairAction::Down));
        d.settle();
        const Player& second = game.players[1];
        if (!rule) {
            EXPECT_FALSE(game.battleScore.winner);
            EXPECT_EQ(second.phase, Phase::Idle);
            d.session.keyDown(d.pairKey(PairAction::Down)); // 1P plays on
            EXPECT_EQ(game.players[0].phase, Phase::PairFall);
            continue;
        }
        ASSERT_EQ(game.battleScore.winner, 0);
        EXPECT_EQ(game.battleScore.wins, (std::array<std::int32_t, 2>{1, 0}));
        EXPECT_FALSE(d.session.playback().timerWanted(0) || d.session.playback().timerWanted(1));
        // Both fields stand still: a pair key moves nothing and starts the next game instead,
        // from the battle's start with a fresh random position.
        const FallingPair before = game.players[0].fallingPair;
        d.session.keyDown(d.pairKey(PairAction::Left));
        EXPECT_FALSE(game.battleScore.winner);
        EXPECT_EQ(game.mode, Mode::Battle);
        d.settle();
        EXPECT_EQ(getCell(second.field, 2, 0), CellKind::Empty);
        EXPECT_EQ(game.players[0].fallingPair.x, before.x);
        EXPECT_EQ(game.battleScore.wins, (std::array<std::int32_t, 2>{1, 0}));
    }
}

// Which command came at which tick period.
struct KeyLog : CommandObserver {
    long period = 0;
    std::vector<std::pair<long, PairAction>> computerKeys;
    int keyDowns = 0;
    void applied(const Command& command, std::uint64_t) override {
        if (const auto* key = std::get_if<ComputerKey>(&command)) {
            computerKeys.emplace_back(period, key->action);
        }
        keyDowns += std::holds_alternative<KeyDown>(command) ? 1 : 0;
    }
};

TEST(ComputerOpponent, PressesItsKeysThroughTheSessionAtItsPaceAndTakesNoPersonsKey) {
    Driven d;
    Game& game = d.session.game();
    ComputerSides sides(d.session);
    sides.setNodes(60);
    d.session.apply(ChooseComputer{{false, true}, 5, 5});
    EXPECT_FALSE(game.onePersonBattle);
    KeyLog log;
    d.session.addObserver(&log);
    d.session.keyDown(d.key(kKeyBattleMode));
    // The person's usual keys move 1P only; 2P's own keys move nothing.
    const FallingPair second = game.players[1].fallingPair;
    d.session.keyDown(d.pairKey(PairAction::Left, kKeyGroupBattle2P));
    d.session.keyDown(d.pairKey(PairAction::RotateRight, kKeyGroupBattle2P));
    EXPECT_EQ(game.players[1].fallingPair, second);
    const int keysByPerson = log.keyDowns;
    long turnBegan = -1;
    const auto dropped = [&] {
        return !log.computerKeys.empty() && log.computerKeys.back().second == PairAction::Down;
    };
    for (log.period = 0; log.period < 2000 && !dropped(); ++log.period) {
        if (turnBegan < 0 && sides.side(1) && sides.side(1)->turn() > 0) {
            turnBegan = log.period - 1;
        }
        sides.playPeriod();
    }
    d.session.removeObserver(&log);
    EXPECT_EQ(log.keyDowns, keysByPerson);
    ASSERT_FALSE(log.computerKeys.empty());
    EXPECT_EQ(log.computerKeys.back().second, PairAction::Down);
    const analysis::Pace pace = analysis::paceOf(5);
    for (std::size_t i = 0; i < log.computerKeys.size(); ++i) {
        EXPECT_EQ(log.computerKeys[i].first,
                  turnBegan + pace.thinkBeats + static_cast<long>(i) * pace.keyBeats);
    }
    // A step back would be a free retry.
    EXPECT_TRUE(d.session.againstComputer());
    EXPECT_FALSE(d.session.canUndo());
    const std::uint64_t steps = d.session.history().undoCount();
    d.session.apply(Undo{});
    EXPECT_EQ(d.session.history().undoCount(), steps);
}

TEST(ComputerOpponent, SeesTheNextPairsTheScreenShowsAndNeverTheQueueBehindThem) {
    NullGameEvents quiet;
    Game game(quiet);
    initGame(game, 0);
    setMode(game, Mode::Battle);
    // Both sides settle in lockstep.
    while (game.players[0].phase != Phase::Idle || game.players[1].phase != Phase::Idle) {
        gameTick(game, 0);
        gameTick(game, 1);
    }
    const std::size_t shown = static_cast<std::size_t>(game.settings.nextCount);
    for (const int level : {analysis::kBaselineLevel, 1, 3, 5}) {
        SCOPED_TRACE(level);
        const analysis::BattleSight seen = analysis::sightFor(game, 1);
        const analysis::Decision decided = analysis::decide(seen, level, 200);
        // The queue behind the next window changed: nothing it sees or does changes.
        for (Player& player : game.players) {
            ASSERT_GT(player.sequence.queue.size(), shown);
            for (std::size_t i = shown + 1; i < player.sequence.queue.size(); ++i) {
                player.sequence.queue[i].slot = {5, 0, 5, 0};
            }
        }
        const analysis::BattleSight again = analysis::sightFor(game, 1);
        EXPECT_EQ(again.self.next, seen.self.next);
        EXPECT_EQ(again.opponent.next, seen.opponent.next);
        EXPECT_EQ(analysis::decide(again, level, 200).keys, decided.keys);
        // A pair the next window shows is seen.
        int& colour = game.players[1].sequence.queue[1].slot[0];
        colour = colour % 5 + 1;
        EXPECT_NE(analysis::sightFor(game, 1).self.next, seen.self.next);
    }
}

TEST(ComputerOpponent, ABattleOfTwoLevelsEndsWithAWinnerAndItsRecordReplaysToTheSameStandstill) {
    Driven d;
    Game& game = d.session.game();
    ComputerSides sides(d.session);
    sides.setNodes(40);
    sides.setLevels({1, 2});
    d.session.apply(ChooseComputer{{true, true}, 2, 1});
    d.session.apply(SetMode{Mode::Battle});
    bool refusedBack = false;
    for (long period = 0; period < 200000 && !battleOver(game); ++period) {
        sides.playPeriod();
        // Going back a chain step would be a free retry, as undo would: refused before the
        // playback holds the game for it.
        if (!refusedBack && (game.players[0].chainCount > 1 || game.players[1].chainCount > 1)) {
            refusedBack = true;
            const std::uint64_t ticks = d.session.playback().ticks();
            EXPECT_FALSE(d.session.canGoBackChainStep());
            d.session.apply(PreviousChainStep{});
            EXPECT_EQ(d.session.playback().ticks(), ticks);
            EXPECT_FALSE(d.session.playback().paused());
        }
    }
    ASSERT_TRUE(battleOver(game));
    ASSERT_TRUE(refusedBack);
    EXPECT_FALSE(d.session.againstComputer());
    const std::optional<int> winner = game.battleScore.winner;
    const std::uint32_t end = fieldsChecksum(game);
    d.session.recorder().close(game);
    ASSERT_NE(d.session.recorder().latest(), nullptr);
    const Record record = *d.session.recorder().latest();

    // Once the game is over it may be studied: the step back reaches the playback (which holds
    // the game first), and the battle stays won.
    EXPECT_TRUE(d.session.canGoBackChainStep());
    d.session.apply(PreviousChainStep{});
    EXPECT_TRUE(d.session.playback().paused());
    EXPECT_EQ(game.battleScore.winner, winner);

    // The record holds the rule and replays to the same standstill; without the rule it is
    // written as records always were and plays on past the lost pair.
    int decided = 0; // the turn that decided it
    for (const bool rule : {true, false}) {
        SCOPED_TRACE(rule);
        Record written = record;
        written.rules.decisive = rule;
        const std::string text = formatRecord(written);
        EXPECT_EQ(text.rfind(rule ? "ぺてりん記録 2\n" : "ぺてりん記録 1\n", 0), 0u);
        const ParsedRecord parsed = parseRecord(text);
        ASSERT_TRUE(parsed.record) << parsed.error.reason;
        EXPECT_EQ(*parsed.record, written);
        Replay replay(*parsed.record);
        ASSERT_FALSE(replay.check().has_value());
        EXPECT_GT(replay.turns().size(), 4u);
        EXPECT_EQ(replay.game().battleScore.winner, rule ? winner : std::nullopt);
        if (rule) {
            EXPECT_EQ(fieldsChecksum(replay.game()), end);
            for (decided = 0; decided < record.turns(); ++decided) {
                replay.seekTurn(decided);
                if (replay.game().battleScore.winner) {
                    break;
                }
            }
        }
        replay.seekTurn(1); // going back takes the win back
        EXPECT_FALSE(replay.game().battleScore.winner);
    }

    // Shown on the fields, from the turn before the one that decided it (both sides' turns can
    // end on the losing tick), it plays to the same end and winner.
    ASSERT_GT(decided, 0);
    TempDir dir;
    const auto path = dir.path() / "battle.pprec";
    ASSERT_FALSE(saveRecord(record, path));
    ASSERT_TRUE(d.session.openRecord(path));
    EXPECT_TRUE(d.session.canGoBackChainStep()); // a replay, not the live game
    d.session.apply(GoToTurn{decided - 1});
    EXPECT_FALSE(game.battleScore.winner);
    d.session.apply(SetPaused{false});
    d.settle();
    EXPECT_EQ(game.battleScore.winner, winner);
    EXPECT_EQ(fieldsChecksum(game), end);
    EXPECT_TRUE(decisive(game));
    d.session.apply(CloseRecord{});
    EXPECT_EQ(game.battleScore.winner, winner);
}

} // namespace
} // namespace peterin
