#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <variant>
#include <vector>

#include "../files/temp_dir.h"
#include "driven_session.h"
#include "files/dat_file.h"
#include "history/snapshot.h"
#include "rules/field.h"
#include "session/session.h"

namespace peterin {
namespace {

using testing::Driven;

TEST(Session, EveryKindOfStepIsUndoneAndRedoneToExactlyTheStateItLeft) {
    Driven d;
    std::vector<Snapshot> states{capture(d.game())};
    const auto stepped = [&](std::size_t steps) {
        d.settle();
        EXPECT_EQ(d.session.history().undoCount(), steps);
        states.push_back(capture(d.game()));
    };
    TempDir dir;
    const auto file = dir.path() / "two.dat";
    {
        NullGameEvents quiet;
        Game scratch(quiet);
        initGame(scratch, 0);
        setCell(scratch.players[0].field, 0, 11, CellKind::Blue);
        std::ofstream(file) << formatFile(scratch, WriteOptions{});
    }

    // A stroke of four reds; entering play fires them, and the chain is the mode's step.
    d.session.apply(SetEditKind{CellKind::Red});
    d.stroke({0, 1, 2, 3});
    stepped(1);
    d.session.apply(SetMode{Mode::Play});
    EXPECT_TRUE(d.session.playback().timerWanted(0));
    stepped(2);
    EXPECT_EQ(d.bottom(0, 3), CellKind::Empty);
    d.session.keyDown(d.pairKey(PairAction::Down)); // a drop with its turn
    stepped(3);
    // Battle by its key, each side's drop a step of its own.
    d.session.apply(ToggleOnePersonBattle{});
    d.session.keyDown(d.key(kKeyBattleMode));
    stepped(4);
    d.session.keyDown(d.pairKey(PairAction::Down, kKeyGroupBattle1P));
    stepped(5);
    d.session.keyDown(d.pairKey(PairAction::Down, kKeyGroupBattle2P));
    stepped(6);
    d.session.apply(AdjustWarning{NuisanceUnit::Large, true}); // the tool window
    stepped(7);
    d.session.apply(SetMode{Mode::Edit});
    stepped(8);
    ASSERT_TRUE(d.session.openFile(file).opened);
    stepped(9);
    d.session.apply(ClearFields{});
    stepped(10);
    Settings wider = d.game().settings;
    wider.fieldWidth = 7;
    EXPECT_FALSE(d.session.applySettings(wider));
    stepped(11);

    // Back through every step and forward again: each lands exactly where the step left.
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        d.session.apply(Undo{});
        d.settle();
        EXPECT_EQ(capture(d.game()), states[i - 1]) << "undoing step " << i;
    }
    EXPECT_FALSE(d.session.canUndo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        d.session.apply(Redo{});
        d.settle();
        EXPECT_EQ(capture(d.game()), states[i]) << "redoing step " << i;
    }
    EXPECT_FALSE(d.session.canRedo());

    // Every command passed the observer with the tick it came at, the ticks never going back.
    ASSERT_FALSE(d.log.seen.empty());
    for (std::size_t i = 1; i < d.log.seen.size(); ++i)
        EXPECT_LE(d.log.seen[i - 1].second, d.log.seen[i].second);
    EXPECT_EQ(d.log.seen.back().second, d.session.playback().ticks());
}

TEST(Session, ReportsWhatChangedAsValuesTheWindowFormatsItself) {
    Driven d;
    d.session.apply(SetMode{Mode::Battle});
    ASSERT_FALSE(d.reports.empty());
    EXPECT_TRUE(d.reports.back().modeSize); // battle shows 2P: the window widens
    EXPECT_TRUE(d.reports.back().all);
    const auto& timers = d.reports.back().timers;
    EXPECT_TRUE(std::any_of(timers.begin(), timers.end(),
                            [](const TimerChange& t) { return t.player == 1 && t.running; }));

    // Each tick is a report of its own, with the player it ran for.
    d.reports.clear();
    d.settle();
    ASSERT_FALSE(d.reports.empty());
    EXPECT_TRUE(d.reports.front().ticked.has_value());
    EXPECT_FALSE(d.reports.back().tickedTimerWanted);

    // The status as numbers: four reds vanish as the mode starts, a one-chain of 40.
    d.session.apply(SetMode{Mode::Edit});
    d.session.apply(SetEditKind{CellKind::Red});
    d.stroke({0, 1, 2, 3});
    d.reports.clear();
    d.session.apply(SetMode{Mode::Play});
    d.settle();
    bool statusReported = false;
    for (const Changes& c : d.reports)
        statusReported = statusReported || c.status[0] == ShownStatus{1, 40};
    EXPECT_TRUE(statusReported);

    // A field too large is refused whole, with the message to tell.
    Settings huge = d.game().settings;
    huge.fieldWidth = 100000;
    huge.fieldHeight = 100000;
    const Settings before = d.game().settings;
    const std::size_t steps = d.session.history().undoCount();
    const auto refused = d.session.applySettings(huge);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->caption, "err");
    EXPECT_TRUE(d.game().settings == before);
    EXPECT_EQ(d.session.history().undoCount(), steps);

    // A new size is one step, and its views are laid out again.
    Settings wider = d.game().settings;
    wider.fieldWidth = 8;
    d.reports.clear();
    EXPECT_FALSE(d.session.applySettings(wider).has_value());
    EXPECT_EQ(d.game().players[0].field.width, 8);
    EXPECT_TRUE(d.reports.back().sizes);
    d.session.apply(Undo{});
    EXPECT_EQ(d.game().players[0].field.width, 6);
}

} // namespace
} // namespace peterin

namespace peterin {
namespace {

TEST(Session, APositionPastedFromAChatIsReadAsADroppedFileInOneStep) {
    testing::Driven d;
    d.session.apply(SetEditKind{CellKind::Red});
    d.stroke({0, 1});
    WriteOptions options;
    options.next = true;
    std::string chat = "見て:\r\n```\r\n";
    const std::string text = formatFile(d.game(), options);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        chat += text.substr(at, end - at) + "  \r\n"; // a chat's line ends and blanks
        at = end + 1;
    }
    chat += "```";
    d.session.apply(ClearFields{});
    const Snapshot cleared = capture(d.game());
    d.session.apply(ReadText{chat});
    EXPECT_EQ(d.bottom(0, 1), CellKind::Red);
    EXPECT_TRUE(d.reports.back().messages.empty());
    d.session.apply(Undo{});
    EXPECT_EQ(capture(d.game()), cleared);
}

TEST(Session, PairKeysPressedWhilePausedActOnTheNextTickThatRuns) {
    testing::Driven d;
    d.session.apply(SetMode{Mode::Play});
    d.settle();
    d.session.apply(SetPaused{true});
    const Snapshot before = capture(d.game());
    const std::uint64_t ticks = d.session.playback().ticks();
    const std::size_t steps = d.session.history().undoCount();
    d.session.keyDown(d.pairKey(PairAction::Left));
    d.session.keyDown(d.pairKey(PairAction::Down));
    EXPECT_EQ(capture(d.game()), before); // held, not thrown away
    d.session.apply(StepTick{});
    EXPECT_NE(d.game().players[0].phase, Phase::Idle); // dropped, and its first tick run
    EXPECT_EQ(d.session.playback().ticks(), ticks + 1);
    d.session.apply(SetPaused{false});
    d.settle();
    EXPECT_NE(d.bottom(0, 1), CellKind::Empty); // moved left from the spawn column first
    EXPECT_EQ(d.bottom(0, 2), CellKind::Empty);
    EXPECT_EQ(d.session.history().undoCount(), steps + 1);
}

} // namespace
} // namespace peterin
