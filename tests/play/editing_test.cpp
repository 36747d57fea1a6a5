#include <gtest/gtest.h>

#include "play/commands.h"
#include "play/editing.h"
#include "recorder.h"

namespace peterin {
namespace {

using testing::Harness;

TEST(Editing, ClicksMapToRowsBelowTheShownBands) {
    Settings settings; // 40-pixel cells, both bands shown
    EXPECT_EQ(cellUnderMouse(settings, 0, 20), (CellPosition{0, -2}));
    EXPECT_EQ(cellUnderMouse(settings, 0, 60), (CellPosition{0, -1}));
    EXPECT_EQ(cellUnderMouse(settings, 0, 80), (CellPosition{0, 0}));
    settings.showHeaven = 0;
    settings.showLimbo = 0;
    EXPECT_EQ(cellUnderMouse(settings, 85, 20), (CellPosition{2, 0}));
}

TEST(Editing, DraggingPaintsEachEnteredCellOnceAndTheFirstMoveOnlyTakesTheHover) {
    Harness h;
    h.game.editKind = CellKind::Red;
    onFieldMouseMove(h.game, 0, 10, 90, true); // enters 1P's view: no paint
    EXPECT_EQ(getCell(h.field(0), 0, 0), CellKind::Empty);
    onFieldMouseMove(h.game, 0, 50, 90, true);
    onFieldMouseMove(h.game, 0, 55, 95, true); // same cell
    onFieldMouseMove(h.game, 0, 90, 90, false);
    EXPECT_EQ(getCell(h.field(0), 1, 0), CellKind::Red);
    EXPECT_EQ(getCell(h.field(0), 2, 0), CellKind::Empty);

    // A click paints the stored hover cell, even in the other field.
    onFieldLeftDown(h.game, 1);
    EXPECT_EQ(getCell(h.field(1), 2, 0), CellKind::Red);
    onFieldRightDown(h.game, 0);
    EXPECT_EQ(h.game.editKind, CellKind::Empty);
}

TEST(Editing, AnEditWhile1PWaitsInPlayModeResolvesTheField) {
    Harness h;
    changeMode(h.game, Mode::Play);
    h.runUntilStopped();
    for (std::int32_t x = 0; x < 3; ++x) {
        setCell(h.field(0), x, 11, CellKind::Red);
    }
    h.game.editKind = CellKind::Red;
    h.game.hoverPlayer = 1;
    h.game.hoverColumn = 3;
    h.game.hoverRow = 11;
    onFieldLeftDown(h.game, 0);
    EXPECT_EQ(h.player(0).phase, Phase::Fall);
    h.runUntilStopped();
    EXPECT_EQ(getCell(h.field(0), 0, 11), CellKind::Empty);
    EXPECT_EQ(h.player(0).chainCount, 1);

    tempSave(h.game); // a stored position is shown: the mouse changes nothing
    onFieldLeftDown(h.game, 0);
    EXPECT_EQ(getCell(h.field(0), 3, 11), CellKind::Empty);
}

} // namespace
} // namespace peterin
