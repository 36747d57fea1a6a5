#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/dat_file.h"
#include "files/text_input.h"
#include "history/history.h"
#include "play/battle.h"
#include "play/commands.h"
#include "play/editing.h"
#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "recorder.h"
#include "session/session.h"
#include "snapshot_printing.h"

namespace peterin {
namespace {

using testing::Harness;
using testing::paintRows;

// A game with its history, driven as the main window drives both.
struct HistoryHarness : Harness {
    History history;
    std::vector<HistoryEvent> events;

    HistoryHarness() {
        history.onChange = [this](HistoryEvent e) { events.push_back(e); };
    }

    void key(std::uint8_t code) { pressKey(game, history, code); }
    void drop(int group = kKeyGroupSolo) { key(Harness::key(PairAction::Down, group)); }
    std::uint8_t keyAt(int index) const {
        return game.settings.keys[static_cast<std::size_t>(index)];
    }

    // The timers fire until none runs, the history watching every tick.
    void run() {
        for (int round = 0; round < 100000; ++round) {
            bool any = false;
            for (int p = 0; p < kPlayerCount; ++p) {
                if (running(p)) {
                    gameTick(game, p);
                    history.afterTick(game);
                    any = true;
                }
            }
            if (!any) {
                return;
            }
        }
        FAIL() << "the turn never ends";
    }

    // A left-button stroke over `cells` of player p's field, as the field view reports it.
    void stroke(int p, std::vector<CellPosition> cells) {
        const auto pixel = [&](CellPosition c) {
            const int bands = (game.settings.showLimbo != 0) + (game.settings.showHeaven != 0);
            return std::pair<std::uint16_t, std::uint16_t>(
                static_cast<std::uint16_t>(c.column * game.settings.cellWidth + 1),
                static_cast<std::uint16_t>((c.row + bands) * game.settings.cellHeight + 1));
        };
        auto [x, y] = pixel(cells.front());
        onFieldMouseMove(game, p, x, y, false);
        history.begin(game);
        onFieldLeftDown(game, p);
        for (std::size_t i = 1; i < cells.size(); ++i) {
            std::tie(x, y) = pixel(cells[i]);
            onFieldMouseMove(game, p, x, y, true);
        }
        history.end(game);
    }

    void read(const std::string& text) {
        history.step(game, StepKind::FileRead, [&] {
            std::stringbuf source(text);
            TextModeBuf buf(source);
            readFile(game, buf);
        });
    }

    void startMode(Mode mode, bool onePerson = true) {
        game.onePersonBattle = onePerson;
        changeMode(game, mode);
        run();
    }

    // The next pair of 1P (and 2P) is two reds.
    void redPairs() {
        for (Player& p : game.players) {
            p.fallingPair.cells = {};
            p.fallingPair.cells[kPivot] = CellKind::Red;
            p.fallingPair.cells[blockIndex(0, -1)] = CellKind::Red;
        }
    }
};

struct StepCase {
    const char* name;
    std::function<void(HistoryHarness&)> setUp;
    std::function<void(HistoryHarness&)> step;
    std::size_t steps = 1;
    // A load shows the live position: its undo puts that back, and the ID box stays on "MAIN".
    bool withStore = true;
};

TEST(History, EachKindOfStepIsUndoneAndRedoneExactly) {
    const std::vector<StepCase> cases = {
        {"paint stroke", [](HistoryHarness& h) { h.game.editKind = CellKind::Red; },
         [](HistoryHarness& h) {
             h.stroke(0, {{0, 11}, {1, 11}, {1, 10}, {1, -1}});
         }},
        {"paint stroke in play mode, which settles at once",
         [](HistoryHarness& h) { h.startMode(Mode::Play); },
         [](HistoryHarness& h) {
             h.game.editKind = CellKind::Green;
             h.stroke(0, {{3, 2}, {3, 3}, {4, 3}, {5, 3}});
             h.run();
         }},
        {"clear key",
         [](HistoryHarness& h) {
             paintRows(h.field(0), {"RGB"});
             paintRows(h.field(1), {"Y"});
         },
         [](HistoryHarness& h) { h.key(h.keyAt(kKeyClearAll)); }},
        {"turn with a chain",
         [](HistoryHarness& h) {
             h.startMode(Mode::Play);
             paintRows(h.field(0), {"BB", "RR", "RR"});
             h.redPairs();
         },
         [](HistoryHarness& h) {
             h.drop();
             h.run();
             ASSERT_GT(h.player(0).score, 0);
         }},
        {"two-person battle, a step for each side's drop, nuisance sent",
         [](HistoryHarness& h) {
             h.startMode(Mode::Battle, false);
             paintRows(h.field(0), {"BB", "RR", "RR", "RR"});
             h.redPairs();
         },
         [](HistoryHarness& h) {
             h.drop(kKeyGroupBattle1P);
             h.drop(kKeyGroupBattle2P);
             h.run();
             ASSERT_GT(h.player(1).pendingNuisance + h.player(0).pendingNuisance, 0);
         },
         2},
        {"file read with settings and stored positions",
         [](HistoryHarness& h) {
             tempStore(h.game);
             h.game.tempCursor = kLivePosition;
         },
         [](HistoryHarness& h) {
             h.read("[A]\n3, 1, 3\n[S]\n30, 30\n[M]\n3, 2\n---\n---\n---\n-R-\nGRr\n"
                    "[N]\nRBGY\n2\n@57?*\n[-]\n[M]\n3, 2\n---\n---\n---\n---\nGGr\n[-]\n");
             ASSERT_EQ(h.game.settings.fieldWidth, 3);
         }},
        {"temporary load",
         [](HistoryHarness& h) {
             paintRows(h.field(0), {"P"});
             tempSave(h.game);
             tempLoad(h.game);
             clearFields(h.game);
             tempPrevious(h.game);
         },
         [](HistoryHarness& h) { h.key(h.keyAt(kKeyTempLoad)); }, 1, false},
        {"turn backup load",
         [](HistoryHarness& h) {
             h.startMode(Mode::Play);
             paintRows(h.field(0), {"RR", "RR"});
             h.redPairs();
             h.drop();
             h.run();
             paintRows(h.field(0), {"YYY"});
         },
         [](HistoryHarness& h) { h.key(h.keyAt(kKeyTempLoad)); }, 1, false},
        {"random position INIT in play mode", [](HistoryHarness& h) { h.startMode(Mode::Play); },
         [](HistoryHarness& h) {
             h.history.step(h.game, StepKind::Edit, [&] { setRandomPosition(h.game, 4321, true); });
             h.run();
         }},
        {"nuisance button", [](HistoryHarness&) {},
         [](HistoryHarness& h) {
             h.history.step(h.game, StepKind::Edit,
                            [&] { adjustWarning(h.game, NuisanceUnit::Rock, true); });
         }},
        {"nuisance drop from edit mode",
         [](HistoryHarness& h) { h.player(0).pendingNuisance = 20; },
         [](HistoryHarness& h) {
             h.history.step(h.game, StepKind::Edit, [&] { dropNuisance(h.game); });
             h.run();
         }},
        {"settings that resize", [](HistoryHarness& h) { paintRows(h.field(0), {"RGBY"}); },
         [](HistoryHarness& h) {
             h.history.step(h.game, StepKind::Edit, [&] {
                 changeFieldSize(h.game, 9, 15);
                 h.game.settings.nextCount = 4;
                 resizeQueues(h.game);
             });
         }},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        HistoryHarness h;
        c.setUp(h);
        h.history.clear();
        h.events.clear();
        const std::uint64_t revision = h.history.revision();
        const Snapshot before = capture(h.game, c.withStore);
        c.step(h);
        const Snapshot after = capture(h.game, c.withStore);
        ASSERT_NE(before, after);
        EXPECT_EQ(h.history.undoCount(), c.steps);
        EXPECT_FALSE(h.history.stepOpen());

        for (std::size_t i = 0; i < c.steps; ++i) {
            EXPECT_TRUE(h.history.undo(h.game));
        }
        EXPECT_EQ(differences(capture(h.game, c.withStore), before), "");
        EXPECT_FALSE(h.running(0) || h.running(1));
        EXPECT_FALSE(h.history.canUndo());
        for (std::size_t i = 0; i < c.steps; ++i) {
            EXPECT_TRUE(h.history.redo(h.game));
        }
        EXPECT_EQ(differences(capture(h.game, c.withStore), after), "");
        EXPECT_FALSE(h.history.canRedo());
        EXPECT_FALSE(h.history.stepOpen());
        // Every step, undo and redo was told (a redone turn still running is told again when
        // it has run out).
        const auto told = [&](HistoryEvent e) {
            return static_cast<std::size_t>(std::count(h.events.begin(), h.events.end(), e));
        };
        EXPECT_GE(told(HistoryEvent::Recorded), c.steps);
        EXPECT_EQ(told(HistoryEvent::Undone), c.steps);
        EXPECT_EQ(told(HistoryEvent::Redone), c.steps);
        EXPECT_EQ(h.history.revision() - revision, h.events.size());
    }
}

TEST(History, UndoDuringARunningTurnStopsItAndRedoLetsItRunOnAsOneStep) {
    HistoryHarness h;
    h.startMode(Mode::Play);
    paintRows(h.field(0), {"GG", "RR", "RR"});
    h.redPairs();
    const Snapshot before = capture(h.game);
    h.drop();
    while (h.player(0).chainCount == 0) {
        ASSERT_TRUE(h.tickAll());
    }
    const Snapshot midChain = capture(h.game);
    ASSERT_TRUE(h.history.undo(h.game));
    EXPECT_EQ(capture(h.game), before);
    EXPECT_FALSE(h.running(0));
    EXPECT_EQ(h.ui.status[1], "\t\t0");

    ASSERT_TRUE(h.history.redo(h.game));
    EXPECT_EQ(capture(h.game), midChain);
    EXPECT_TRUE(h.running(0));
    EXPECT_TRUE(h.history.stepOpen());
    h.run();
    const Snapshot end = capture(h.game);
    EXPECT_EQ(h.history.undoCount(), 1u);
    h.history.undo(h.game);
    EXPECT_EQ(capture(h.game), before);
    h.history.redo(h.game);
    EXPECT_EQ(capture(h.game), end);
}

TEST(History, InBattleEachSidesDropIsAStepOfItsOwnEvenWhileTheOtherPairStillFalls) {
    for (const bool onePerson : {false, true}) {
        for (const bool overlap : {false, true}) {
            SCOPED_TRACE(std::to_string(onePerson) + std::to_string(overlap));
            HistoryHarness h;
            h.startMode(Mode::Battle, onePerson);
            paintRows(h.field(0), {"RR", "RR"});
            h.redPairs();
            h.drop(onePerson ? kKeyGroupSolo : kKeyGroupBattle1P);
            if (overlap) {
                h.tickAll();
                ASSERT_TRUE(h.history.stepOpen());
            } else {
                h.run();
            }
            const Snapshot afterFirst = capture(h.game);
            h.drop(onePerson ? kKeyGroupSolo : kKeyGroupBattle2P);
            h.run();
            EXPECT_EQ(h.history.undoCount(), 2u);
            h.history.undo(h.game);
            EXPECT_EQ(capture(h.game), afterFirst);
        }
    }
}

TEST(History, UndoLeavesWhatHappenedOutsideTheStepsAndANewStepEndsRedo) {
    HistoryHarness h;
    h.game.editKind = CellKind::Red;
    h.stroke(0, {{0, 11}});
    h.stroke(0, {{1, 11}});
    tempStore(h.game); // not a step
    h.game.tempCursor = kLivePosition;
    moveRight(h.player(0).fallingPair, h.field(0)); // not a step either
    const FallingPair moved = h.player(0).fallingPair;
    h.history.step(h.game, StepKind::Edit, [] {}); // nothing changed: nothing recorded
    EXPECT_EQ(h.history.undoCount(), 2u);

    h.history.undo(h.game);
    EXPECT_EQ(getCell(h.field(0), 1, 11), CellKind::Empty);
    EXPECT_EQ(getCell(h.field(0), 0, 11), CellKind::Red);
    EXPECT_EQ(h.game.tempSaves.size(), 1u);
    EXPECT_EQ(h.player(0).fallingPair, moved);
    EXPECT_TRUE(h.history.canRedo());
    h.game.editKind = CellKind::Blue;
    h.stroke(1, {{2, 2}});
    EXPECT_FALSE(h.history.canRedo());
    EXPECT_FALSE(h.history.redo(h.game));
    EXPECT_EQ(h.history.undoCount(), 2u);
}

// The store a file replaced comes back on undo; positions stored after the read, which no step
// made, come back on redo rather than being lost.
TEST(History, PositionsStoredAfterAFileReadComeBackWithItsRedo) {
    HistoryHarness h;
    tempStore(h.game);
    h.game.tempCursor = kLivePosition;
    h.read("[-]\n[M]\n2, 1\n--\n--\n--\nRG\n[-]\n");
    ASSERT_EQ(h.game.tempSaves.size(), 1u);
    ASSERT_EQ(h.game.tempSaves[0].players[0].field.width, 2);
    tempStore(h.game);
    h.game.tempCursor = kLivePosition;
    h.history.undo(h.game);
    ASSERT_EQ(h.game.tempSaves.size(), 1u);
    EXPECT_EQ(h.game.tempSaves[0].players[0].field.width, 6);
    h.history.redo(h.game);
    EXPECT_EQ(h.game.tempSaves.size(), 2u);
    EXPECT_EQ(h.game.tempSaves[0].players[0].field.width, 2);
}

TEST(History, TheOldestStepsGoBeyondTheLimits) {
    struct Case {
        std::size_t maxSteps, maxBytes, kept;
    };
    for (const Case c : {Case{5, History::kDefaultMaxBytes, 5}, Case{1000, 1, 0}}) {
        HistoryHarness h;
        h.history = History(c.maxSteps, c.maxBytes);
        h.game.editKind = CellKind::Red;
        for (int i = 0; i < 8; ++i) {
            h.stroke(0, {{i % 6, 11 - i / 6}});
        }
        EXPECT_EQ(h.history.undoCount(), c.kept);
        EXPECT_LE(h.history.bytes(), c.maxBytes);
        int undone = 0;
        while (h.history.undo(h.game)) {
            ++undone;
        }
        EXPECT_EQ(undone, static_cast<int>(c.kept));
        // The cells of the forgotten steps stay painted.
        EXPECT_EQ(testing::countKind(h.field(0), CellKind::Red), 8 - static_cast<int>(c.kept));
    }
}

// Random steps with random undo and redo, checked against a list of the positions seen: every
// undo and redo lands exactly on one of them, undoing everything returns to the start and
// redoing everything returns to the end.
TEST(History, RandomStepsUndoAndRedoAlongThePositionsSeen) {
    for (const bool battle : {false, true}) {
        for (std::uint32_t seed = 1; seed <= 8; ++seed) {
            SCOPED_TRACE(std::to_string(battle) + " seed " + std::to_string(seed));
            HistoryHarness h;
            h.startMode(battle ? Mode::Battle : Mode::Play);
            std::mt19937 random(seed);
            const auto pick = [&](int n) {
                return std::uniform_int_distribution<int>(0, n - 1)(random);
            };
            std::vector<Snapshot> seen{capture(h.game)};
            std::size_t at = 0;
            for (int action = 0; action < 60; ++action) {
                const int what = pick(10);
                if (what >= 8) {
                    const bool undo = what == 8;
                    const bool possible = undo ? at > 0 : at + 1 < seen.size();
                    ASSERT_EQ(undo ? h.history.undo(h.game) : h.history.redo(h.game), possible);
                    at = possible ? (undo ? at - 1 : at + 1) : at;
                    ASSERT_EQ(differences(capture(h.game), seen[at]), "") << action;
                    continue;
                }
                switch (what) {
                case 0:
                case 1: {
                    h.game.editKind = static_cast<CellKind>(pick(kCellKindCount));
                    std::vector<CellPosition> cells;
                    for (int i = 0, n = 1 + pick(4); i < n; ++i) {
                        cells.push_back({pick(6), pick(14) - 2});
                    }
                    h.stroke(pick(2), cells);
                    break;
                }
                case 2:
                case 3:
                    h.drop();
                    break;
                case 4:
                    h.key(h.keyAt(kKeyClearAll));
                    break;
                case 5:
                    h.history.step(h.game, StepKind::Edit, [&] {
                        setRandomPosition(h.game, static_cast<std::uint32_t>(pick(50000)),
                                          pick(2) == 0);
                    });
                    break;
                case 6:
                    h.history.step(h.game, StepKind::Edit, [&] {
                        adjustWarning(h.game, kNuisanceUnits[static_cast<std::size_t>(pick(3))],
                                      pick(3) != 0);
                    });
                    break;
                case 7:
                    h.key(h.keyAt(kKeyTempLoad));
                    break;
                }
                h.run();
                ASSERT_FALSE(h.history.stepOpen());
                Snapshot now = capture(h.game);
                if (now != seen[at]) {
                    seen.resize(at + 1);
                    seen.push_back(std::move(now));
                    ++at;
                }
                ASSERT_EQ(h.history.undoCount(), at);
                ASSERT_EQ(h.history.redoCount(), seen.size() - 1 - at);
            }
            const Snapshot end = capture(h.game);
            while (h.history.undo(h.game)) {
            }
            EXPECT_EQ(differences(capture(h.game), seen.front()), "");
            while (h.history.redo(h.game)) {
            }
            EXPECT_EQ(differences(capture(h.game), seen.back()), "");
            if (at + 1 == seen.size()) {
                EXPECT_EQ(capture(h.game), end);
            }
        }
    }
}

} // namespace
} // namespace peterin
