#pragma once

#include <vector>

#include "play/game.h"

namespace peterin {

// Copies the live position (both players' saved values, fields, queues, falling pairs) into
// `save`, and back. Loading relinks the fields to the players' score records.
void copyLiveInto(const Game& game, TempSave& save);
void copyIntoLive(Game& game, const TempSave& save);

// A position put back runs on from its phases: a busy side that takes part in the mode ticks,
// every other side is still. Without this a position stored mid-chain would sit frozen.
void syncTimers(Game& game);

// Stores the live position: into a new temporary save appended at the end when "MAIN" is shown
// (the cursor moves onto it), otherwise over the one shown. Repaints the main window.
void tempStore(Game& game);

// Copies the shown temporary save, or the turn backup when "MAIN" is shown, into the live
// position; the settings take its field size and queue length; the cursor returns to "MAIN".
void tempRestore(Game& game);

// The "保存" button and key: names the new ID in the ID box when "MAIN" is shown, then stores.
void tempSave(Game& game);
// The "取出" button and key: restores, and the ID box shows "MAIN".
void tempLoad(Game& game);
// The "<" and ">" buttons and keys: step through MAIN, 0, 1, ..., count - 1 and round again,
// computing the new ID from the ID box's text. Repaint the main window.
void tempPrevious(Game& game);
void tempNext(Game& game);

// Whether a stored position is on screen instead of the live one.
bool tempIsShowing(const Game& game);

// The stored position on screen, or nullptr when the live one is shown.
const TempSave* tempShown(const Game& game);

// Forgets every stored position; the cursor returns to the live position.
void tempClear(Game& game);

// A file brought a new store: it replaces the old one and the live position is shown. The ID
// box keeps its text until the next step, save or load.
void tempReplaceAll(Game& game, std::vector<TempSave> saves);

} // namespace peterin
