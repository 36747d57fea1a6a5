#pragma once

#include <cstdint>

#include "play/game.h"

namespace peterin {

// A cell of a field view: column and row (rows above 0 are the shown bands).
struct CellPosition {
    std::int32_t column = 0;
    std::int32_t row = 0;

    bool operator==(const CellPosition&) const = default;
};

// The cell under pixel (x, y) of a field view, given the cell size and the bands shown above
// row 0. The one mapping from pixels to cells; the views draw with its inverse.
CellPosition cellUnderMouse(const Settings& settings, std::uint16_t x, std::uint16_t y);

// Mouse input in a player's field view; all three ignore input while a stored position is shown.
// A move into a new cell paints it when the left button is held; a move from another view only
// takes the hover over.
void onFieldMouseMove(Game& game, int player, std::uint16_t x, std::uint16_t y, bool leftHeld);
// Paints the hover cell with the edit kind.
void onFieldLeftDown(Game& game, int player);
// Picks the kind of the hover cell as the edit kind.
void onFieldRightDown(Game& game, int player);

} // namespace peterin
