#pragma once

#include <cstdint>

#include "play/game.h"
#include "play/temp_store.h"

namespace peterin {

// The main window's game requests, from keys and the tool window. Those that may change the
// main window's width return true when the UI must resize it to its client size for the mode.

// Stops the busy players' timers, starts `mode` and repaints. Resizing is due when entering
// Edit, when entering Play from Battle and when entering Battle from another mode.
bool changeMode(Game& game, Mode mode);

// The warning buttons: adds (or subtracts) 1, 6 or 30 nuisance for unit index 5, 6 or 7 to 1P,
// and to 2P in battle, never below 0.
void adjustWarning(Game& game, int unitIndex, bool add);

// Empties both fields.
void clearFields(Game& game);

// The "落下" button: switches to Play unless in Battle, then lets the announced nuisance fall.
bool dropNuisance(Game& game);

// The "OK" (rebuild false) and "INIT" (rebuild true) buttons: 1P's queue continues from, or is
// made again from, random position `position`; a running game mode restarts.
bool setRandomPosition(Game& game, std::uint32_t position, bool rebuild);

// The edit-kind keys and the palette.
void setEditKind(Game& game, CellKind kind);

// A key press in the main window (virtual-key code): temp-save keys, then, with the live
// position shown, the pair keys, clear, mode and edit-kind keys.
struct KeyResult {
    bool resizeMain = false;   // a mode change needs the main window resized
    bool activateMain = false; // a mode key was pressed; the main window takes activation
};
KeyResult onKeyDown(Game& game, std::uint8_t key);

// The mouse wheel steps the edit kind through the wheel list; `delta` > 0 is away from the user.
void onMouseWheel(Game& game, int delta);

} // namespace peterin
