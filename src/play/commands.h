#pragma once

#include <array>
#include <cstdint>

#include "play/game.h"
#include "play/temp_store.h"

namespace peterin {

// The game requests of the keys and the tool window.

// Stops the busy players' timers and starts `mode`. The main window's size for the mode is due
// when entering Edit, when entering Play from Battle and when entering Battle from another mode.
void changeMode(Game& game, Mode mode);

// The nuisance units of the warning buttons, by the nuisance each stands for.
enum class NuisanceUnit : std::int32_t { Small = 1, Large = 6, Rock = 30 };

inline constexpr std::array<NuisanceUnit, 3> kNuisanceUnits = {
    NuisanceUnit::Small, NuisanceUnit::Large, NuisanceUnit::Rock};

// The warning buttons: adds (or subtracts) one unit of nuisance to 1P, and to 2P in battle,
// never below 0.
void adjustWarning(Game& game, NuisanceUnit unit, bool add);

// Empties both fields.
void clearFields(Game& game);

// The "落下" button: switches to Play unless in Battle, then lets the announced nuisance fall.
void dropNuisance(Game& game);

// The "OK" (rebuild false) and "INIT" (rebuild true) buttons: 1P's queue continues from, or is
// made again from, random position `position`; a running game mode restarts.
void setRandomPosition(Game& game, std::uint32_t position, bool rebuild);

// The edit-kind keys and the palette.
void setEditKind(Game& game, CellKind kind);

// A key press in the main window (virtual-key code): temp-save keys, then, with the live
// position shown, the pair keys, clear, mode and edit-kind keys. Returns whether it was a mode
// key (the main window then takes the activation).
bool onKeyDown(Game& game, std::uint8_t key);

// The mouse wheel steps the edit kind through the wheel list; `delta` > 0 is away from the user.
void onMouseWheel(Game& game, int delta);

} // namespace peterin
