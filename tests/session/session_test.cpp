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

TEST(Session, EditPlayBattleAndAFileReadAreEachUndoneAndRedoneThroughTheSession) {
    Driven d;
    const Snapshot start = capture(d.game());

    // Edit: a stroke of red over three cells is one step.
    d.session.apply(SetEditKind{CellKind::Red});
    d.stroke({0, 1, 2});
    EXPECT_EQ(d.bottom(0, 2), CellKind::Red);
    const Snapshot painted = capture(d.game());
    EXPECT_EQ(d.session.history().undoCount(), 1u);

    // Play: the drop key starts a turn that the timer runs to its end; one step with its chain.
    d.session.apply(SetMode{Mode::Play});
    d.settle();
    d.session.keyDown(d.pairKey(PairAction::Down));
    EXPECT_TRUE(d.session.playback().timerWanted(0));
    d.settle();
    EXPECT_EQ(d.session.history().undoCount(), 2u);

    // Battle: each side's drop is a step of its own.
    d.session.apply(ToggleOnePersonBattle{});
    d.session.apply(SetMode{Mode::Battle});
    d.settle();
    const Snapshot battleStart = capture(d.game());
    d.session.keyDown(d.pairKey(PairAction::Down, kKeyGroupBattle1P));
    d.session.keyDown(d.pairKey(PairAction::Down, kKeyGroupBattle2P));
    d.settle();
    EXPECT_EQ(d.session.history().undoCount(), 4u);
    const Snapshot battled = capture(d.game());

    // A file read: its position replaces the live one, one step.
    TempDir dir;
    const auto file = dir.path() / "two.dat";
    {
        NullGameEvents quiet;
        Game scratch(quiet);
        initGame(scratch, 0);
        setCell(scratch.players[0].field, 0, 11, CellKind::Blue);
        std::ofstream(file) << formatFile(scratch, WriteOptions{});
    }
    d.session.apply(SetMode{Mode::Edit});
    const OpenResult read = d.session.openFile(file);
    ASSERT_TRUE(read.opened);
    EXPECT_TRUE(read.report.complete);
    EXPECT_EQ(d.bottom(0, 0), CellKind::Blue);
    EXPECT_EQ(d.session.fileName(), file);
    EXPECT_TRUE(d.reports.back().title);
    EXPECT_EQ(d.session.history().undoCount(), 5u);

    // Back through every step, and forward again: the fields and queues as they were. A mode
    // change is no step, so what it did stays.
    const auto sameFields = [](const Snapshot& a, const Snapshot& b) {
        for (std::size_t p = 0; p < kPlayerCount; ++p) {
            if (!(a.players[p].field == b.players[p].field) ||
                !(a.players[p].sequence == b.players[p].sequence))
                return false;
        }
        return true;
    };
    d.session.apply(Undo{});
    EXPECT_TRUE(sameFields(capture(d.game()), battled));
    d.session.apply(Undo{});
    d.session.apply(Undo{});
    EXPECT_TRUE(sameFields(capture(d.game()), battleStart));
    const auto field1P = [&] { return capture(d.game()).players[0].field; };
    d.session.apply(Undo{});
    EXPECT_EQ(field1P(), painted.players[0].field);
    d.session.apply(Undo{});
    EXPECT_EQ(field1P(), start.players[0].field);
    EXPECT_FALSE(d.session.canUndo());
    for (int i = 0; i < 5; ++i)
        d.session.apply(Redo{});
    EXPECT_EQ(d.bottom(0, 0), CellKind::Blue);
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

} // namespace
} // namespace peterin
