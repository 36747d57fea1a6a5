#include "play/editing.h"

#include "play/temp_store.h"
#include "play/turn_cycle.h"

namespace peterin {

namespace {

// In play mode an edit made while 1P waits for input is resolved at once: the field falls and
// vanishes before the next pair can move. A running chain just carries on with the edit.
void startPlayAfterEdit(Game& game) {
    if (game.mode == Mode::Play && game.players[0].phase == Phase::Idle) {
        enterPhase(game, 0, Phase::Fall);
    }
}

void paintHoverCell(Game& game, int player) {
    setCell(game.players[static_cast<std::size_t>(player)].field, game.hoverColumn, game.hoverRow,
            game.editKind);
    startPlayAfterEdit(game);
}

} // namespace

CellPosition cellUnderMouse(const Settings& settings, std::uint16_t x, std::uint16_t y) {
    const std::int32_t bands =
        (settings.showLimbo != 0 ? 1 : 0) + (settings.showHeaven != 0 ? 1 : 0);
    const std::int32_t width = settings.cellWidth > 0 ? settings.cellWidth : 1;
    const std::int32_t height = settings.cellHeight > 0 ? settings.cellHeight : 1;
    return {x / width, y / height - bands};
}

void onFieldMouseMove(Game& game, int player, std::uint16_t x, std::uint16_t y, bool leftHeld) {
    if (tempIsShowing(game)) {
        return;
    }
    const CellPosition cell = cellUnderMouse(game.settings, x, y);
    if (game.hoverPlayer == player + 1) {
        if (cell == CellPosition{game.hoverColumn, game.hoverRow}) {
            return;
        }
        game.hoverColumn = cell.column;
        game.hoverRow = cell.row;
        if (leftHeld) {
            paintHoverCell(game, player);
        }
        game.events.fieldChanged(player);
        return;
    }
    // Coming from the other view: the cursor leaves that one; nothing is painted yet.
    game.hoverColumn = cell.column;
    game.hoverRow = cell.row;
    game.hoverPlayer = player + 1;
    game.events.fieldChanged(0);
    game.events.fieldChanged(1);
}

void onFieldLeftDown(Game& game, int player) {
    if (tempIsShowing(game)) {
        return;
    }
    paintHoverCell(game, player);
    game.events.fieldChanged(player);
}

void onFieldRightDown(Game& game, int player) {
    if (tempIsShowing(game)) {
        return;
    }
    game.editKind = getCell(game.players[static_cast<std::size_t>(player)].field, game.hoverColumn,
                            game.hoverRow);
    game.events.fieldChanged(player);
}

} // namespace peterin
