#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../files/temp_dir.h"
#include "../session/driven_session.h"
#include "analysis/planner.h"
#include "records/record.h"
#include "records/record_folder.h"
#include "records/replay.h"
#include "session/session.h"

namespace peterin {
namespace {

using testing::Driven;

constexpr PairAction kMoves[] = {PairAction::Left, PairAction::Right, PairAction::RotateRight,
                                 PairAction::RotateLeft, PairAction::HalfRotate};

// A session whose finished records are kept, played by seeded random keys.
struct Recorded : Driven {
    std::vector<Record> finished;
    std::mt19937 random{20261209};

    Recorded() {
        session.recorder().setListener([this](const Record& record) {
            if (record.finished) {
                finished.push_back(record);
            }
        });
    }
    // Fires the timers that run, in an order of chance, until none does.
    void run() {
        for (int round = 0; round < 100000; ++round) {
            bool any = false;
            const int first = static_cast<int>(random() % 2);
            for (int i = 0; i < kPlayerCount; ++i) {
                const int p = (first + i) % kPlayerCount;
                if (session.playback().timerWanted(p) && random() % 4 != 0) {
                    session.timeout(p);
                }
                any = any || session.playback().timerWanted(p);
            }
            if (!any) {
                return;
            }
        }
        FAIL() << "the turns never end";
    }
    // The engine's placement (so that chains are built and fired), now and then a few keys
    // at random instead, through the key group's keys.
    void playPair(int player, int group) {
        const auto ranked = analysis::plan(analysis::hintRequestFor(game(), player), {1});
        if (random() % 5 == 0 || ranked.empty()) {
            for (int moves = static_cast<int>(random() % 4); moves > 0; --moves) {
                session.keyDown(pairKey(kMoves[random() % 5], group));
            }
        } else {
            for (const PairAction move : ranked.front().placement.moves) {
                session.keyDown(pairKey(move, group));
            }
        }
        session.keyDown(pairKey(PairAction::Down, group));
    }
};

// What a record must be: the same text after a read, and a replay that agrees turn by turn.
void expectReplays(const Record& record) {
    const std::string text = formatRecord(record);
    const ParsedRecord parsed = parseRecord(text);
    ASSERT_TRUE(parsed.record) << parsed.error.line << ": " << parsed.error.reason;
    EXPECT_EQ(formatRecord(*parsed.record), text);
    Replay replay(*parsed.record);
    const auto fault = replay.check();
    ASSERT_FALSE(fault) << "event " << fault->event << ": " << fault->reason;
    ASSERT_EQ(static_cast<int>(replay.turns().size()), record.turns());
    // Going to any turn, backwards too, stands where the turn's line says.
    for (const int turn : {record.turns(), 1, record.turns() / 2, 0}) {
        replay.seekTurn(turn);
        const std::uint32_t expected =
            turn == 0 ? fieldsChecksum(Replay(record).game())
                      : replay.turns()[static_cast<std::size_t>(turn - 1)].turn.checksum;
        EXPECT_EQ(fieldsChecksum(replay.game()), expected) << "turn " << turn;
    }
}

TEST(Records, SoloGamesAndBattlesReplayExactlyFromTheirText) {
    Recorded d;
    d.session.apply(SetMode{Mode::Play});
    d.run();
    for (int pair = 0; pair < 40; ++pair) {
        if (pair == 10) {
            d.session.apply(AdjustWarning{NuisanceUnit::Large, true});
        }
        d.playPair(0, kKeyGroupSolo);
        d.run();
    }
    const std::uint32_t soloEnd = fieldsChecksum(d.game());
    // Battle with a key set for each side; the sides' timers fire in changing orders.
    d.session.apply(ToggleOnePersonBattle{});
    d.session.keyDown(d.key(kKeyBattleMode));
    d.run();
    for (int pair = 0; pair < 60; ++pair) {
        const int side = static_cast<int>(d.random() % 2);
        const auto play = [&](int p) {
            if (d.game().players[static_cast<std::size_t>(p)].phase == Phase::Idle) {
                d.playPair(p, p == 0 ? kKeyGroupBattle1P : kKeyGroupBattle2P);
            }
        };
        play(side);
        if (d.random() % 3 == 0) {
            play(1 - side);
        }
        for (int rounds = static_cast<int>(d.random() % 60); rounds > 0; --rounds) {
            for (int p = 0; p < kPlayerCount; ++p) {
                if (d.session.playback().timerWanted(p)) {
                    d.session.timeout(p);
                }
            }
        }
    }
    d.run();
    d.session.exit();

    ASSERT_EQ(d.finished.size(), 2u);
    const Record& solo = d.finished[0];
    EXPECT_EQ(solo.start.mode, Mode::Play);
    EXPECT_EQ(solo.turns(), 40);
    EXPECT_EQ(std::get<RecordTurn>(solo.events.back()).checksum, soloEnd);
    const Record& battle = d.finished[1];
    EXPECT_EQ(battle.start.mode, Mode::Battle);
    EXPECT_GT(battle.turns(), 30);
    expectReplays(solo);
    expectReplays(battle);
}

TEST(Records, AnythingButPlayEndsTheGameAndGoingBackAChainStepUndoesWhatFollowed) {
    Recorded d;
    d.session.apply(SetMode{Mode::Play});
    d.run();
    bool wentBack = false;
    for (int pair = 0; pair < 30; ++pair) {
        d.playPair(0, kKeyGroupSolo);
        d.run();
        if (!wentBack && d.game().players[0].chainCount > 1) {
            // Back to a chain step of the turn, then on again: the record forgets what it undid.
            const std::uint64_t ticks = d.session.playback().ticks();
            d.session.apply(PreviousChainStep{});
            wentBack = d.session.playback().ticks() < ticks;
            d.session.apply(SetPaused{false});
            d.run();
        }
    }
    EXPECT_TRUE(wentBack);
    d.session.apply(ClearFields{}); // a new game begins on the cleared field
    d.playPair(0, kKeyGroupSolo);
    d.run();
    d.session.apply(Undo{}); // and ends there; the next has no drop and is not kept
    d.session.apply(SetMode{Mode::Edit});

    ASSERT_EQ(d.finished.size(), 2u);
    EXPECT_EQ(d.finished[1].turns(), 1);
    for (const Record& record : d.finished) {
        expectReplays(record);
    }
}

TEST(RecordFiles, DamagedOrForeignTextIsRefusedWithItsLineAndAReplayFindsAChangedTurn) {
    Recorded d;
    d.session.apply(SetMode{Mode::Play});
    d.run();
    for (int pair = 0; pair < 3; ++pair) {
        d.playPair(0, kKeyGroupSolo);
        d.run();
    }
    d.session.exit();
    ASSERT_EQ(d.finished.size(), 1u);
    const std::string text = formatRecord(d.finished[0]);
    const auto lineOf = [&](const std::string& start) {
        const std::size_t at = text.find("\n" + start);
        return 2 + std::count(text.begin(), text.begin() + static_cast<long>(at), '\n');
    };
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    struct Case {
        std::string text;
        std::int64_t line;
    };
    const Case cases[] = {
        {"[M]\n------\n", 1},
        {replaced("ぺてりん記録 1", "ぺてりん記録 3"), 1},
        // Only version 2 holds the rule 勝敗あり, as the rules line's last word.
        {replaced("ぺてりん記録 1", "ぺてりん記録 2"), lineOf("rules")},
        {replaced("\nmode", " 1\nmode"), lineOf("rules")},
        {replaced("ぺてりん記録 1", "ぺてりん記録 2").replace(text.find("\nmode"), 0, " 2"),
         lineOf("rules")},
        {replaced("mode play", "mode edit"), lineOf("mode")},
        {replaced("\n| ------", "\n| -----"), lineOf("| ")},
        {replaced("\nt ", "\nt 2*3 "), lineOf("t ")},
        {replaced("\nk 0 ", "\nk 1 "), lineOf("k ")},
        {replaced("\nend", "\nend\nt 0"), lineOf("end") + 1},
        {text.substr(0, text.find("\nqueue")), lineOf("queue")},
    };
    for (const Case& c : cases) {
        const ParsedRecord parsed = parseRecord(c.text);
        EXPECT_FALSE(parsed.record) << c.text;
        EXPECT_EQ(parsed.error.line, c.line) << parsed.error.reason;
        EXPECT_FALSE(parsed.error.reason.empty());
    }
    // A game cut short reads as far as it goes.
    const ParsedRecord cut = parseRecord(text.substr(0, text.rfind("\nend") + 1));
    ASSERT_TRUE(cut.record);
    EXPECT_FALSE(cut.record->finished);

    // A turn line that another game would have: the form is right, the replay disagrees.
    const std::size_t turnLine = text.find("\n= ");
    std::string changed = text;
    char& digit = changed[text.find('\n', turnLine + 1) - 1]; // the checksum's last digit
    digit = digit == '0' ? '1' : '0';
    const ParsedRecord parsed = parseRecord(changed);
    ASSERT_TRUE(parsed.record);
    const auto fault = Replay(*parsed.record).check();
    ASSERT_TRUE(fault);
    EXPECT_EQ(parsed.eventLines[fault->event], lineOf("= "));
    EXPECT_EQ(fault->reason, "the fields after the turn differ from the record");
}

} // namespace
} // namespace peterin

namespace peterin {
namespace {

TEST(ShownRecords, PlayOnTheFieldsAsRecordedGoToAnyTurnAndLeaveTheLiveGameAsItWas) {
    Recorded d;
    d.session.apply(ToggleOnePersonBattle{});
    d.session.apply(SetMode{Mode::Battle});
    d.run();
    for (int pair = 0; pair < 30; ++pair) {
        for (int p = 0; p < kPlayerCount; ++p) {
            if (d.game().players[static_cast<std::size_t>(p)].phase == Phase::Idle) {
                d.playPair(p, p == 0 ? kKeyGroupBattle1P : kKeyGroupBattle2P);
            }
        }
        for (int rounds = static_cast<int>(d.random() % 40); rounds > 0; --rounds) {
            for (int p = 0; p < kPlayerCount; ++p) {
                if (d.session.playback().timerWanted(p)) {
                    d.session.timeout(p);
                }
            }
        }
    }
    d.run();
    d.session.apply(SetMode{Mode::Edit});
    ASSERT_EQ(d.finished.size(), 1u);
    const Record& record = d.finished[0];
    TempDir dir;
    const auto path = dir.path() / "battle.pprec";
    ASSERT_FALSE(saveRecord(record, path));

    d.session.apply(SetEditKind{CellKind::Red});
    d.stroke({0, 1});
    const Snapshot live = capture(d.game());
    ASSERT_TRUE(d.session.openRecord(path));
    const auto turnSum = [&](int turn) {
        return std::get<RecordTurn>(record.events[static_cast<std::size_t>([&] {
                   int seen = 0;
                   for (std::size_t i = 0; i < record.events.size(); ++i) {
                       if (std::holds_alternative<RecordTurn>(record.events[i]) && ++seen == turn) {
                           return i;
                       }
                   }
                   return std::size_t{0};
               }())])
            .checksum;
    };
    // Played by the timers as they fire, in whatever order: the record's order holds.
    d.session.keyDown(d.key(kKeyClearAll)); // keys do nothing to a record
    d.run();
    EXPECT_EQ(fieldsChecksum(d.game()), turnSum(record.turns()));
    // Any turn, and playing on from a chain step gone back to.
    d.session.apply(GoToTurn{record.turns() / 2});
    EXPECT_EQ(d.session.shownRecord()->turn(), record.turns() / 2);
    EXPECT_EQ(fieldsChecksum(d.game()), turnSum(record.turns() / 2));
    d.session.apply(GoToLargestChain{});
    d.session.apply(NextChainStep{});
    d.session.apply(NextChainStep{});
    d.session.apply(PreviousChainStep{});
    d.session.apply(SetPaused{false});
    d.run();
    EXPECT_EQ(fieldsChecksum(d.game()), turnSum(record.turns()));
    EXPECT_EQ(d.finished.size(), 1u); // a record shown is not recorded again

    // Leaving it puts the live game back exactly; playing from a turn is one undo step.
    d.session.apply(CloseRecord{});
    EXPECT_EQ(capture(d.game()), live);
    ASSERT_TRUE(d.session.openRecord(path));
    d.session.apply(GoToTurn{3});
    d.session.apply(PlayFromHere{});
    EXPECT_FALSE(d.session.shownRecord());
    EXPECT_EQ(fieldsChecksum(d.game()), turnSum(3));
    d.session.apply(Undo{});
    EXPECT_EQ(capture(d.game()), live);
}

} // namespace
} // namespace peterin

namespace peterin {
namespace {

TEST(RecordFolders, KeepEachGameInAFileOfItsOwnPruneTheOldestAndTellAFailureOnce) {
    Recorded d;
    d.session.apply(SetMode{Mode::Play});
    d.run();
    std::vector<Record> games;
    d.session.recorder().setListener([&](const Record& r) {
        if (r.finished) {
            games.push_back(r);
        }
    });
    for (int game = 0; game < 5; ++game) {
        d.playPair(0, kKeyGroupSolo);
        d.run();
        d.session.apply(ClearFields{});
    }
    ASSERT_EQ(games.size(), 5u);

    TempDir dir;
    const auto files = [&] {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            found.push_back(entry.path());
        }
        return found;
    };
    {
        RecordFolder folder(dir.path(), 3);
        for (const Record& game : games) {
            Record running = game;
            running.finished = false;
            folder.keep(running); // a turn of the game: its file is named here
            folder.keep(game);    // its end: the same file, rewritten
            folder.flush();
        }
        EXPECT_FALSE(folder.takeFailure());
    }
    const auto kept = files();
    ASSERT_EQ(kept.size(), 3u);
    const auto recent = recentRecords(dir.path(), 10);
    ASSERT_EQ(recent.size(), 3u);
    for (const RecordSummary& r : recent) {
        const LoadedRecord loaded = loadRecord(r.path);
        ASSERT_TRUE(loaded.record) << loaded.error;
        EXPECT_TRUE(loaded.record->finished);
        EXPECT_EQ(r.turns, 1);
    }

    // A folder that cannot be made: told once, however many turns fail.
    const auto blocked = dir.path() / "file";
    std::ofstream(blocked) << "x";
    RecordFolder folder(blocked / "records");
    folder.keep(games[0]);
    folder.flush();
    const auto failure = folder.takeFailure();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->text.find("記録を保存できませんでした"), std::string::npos);
    folder.keep(games[1]);
    folder.flush();
    EXPECT_FALSE(folder.takeFailure());
}

} // namespace
} // namespace peterin
