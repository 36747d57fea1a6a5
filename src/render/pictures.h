#pragma once

#include "play/game.h"
#include "render/drawing.h"

namespace peterin {

// What each view of a player shows, read from the game: the live position, or the stored one
// while the temp-save cursor is on it (the warning always shows the live nuisance).
FieldPicture fieldPictureOf(const Game& game, int player);
NextPicture nextPictureOf(const Game& game, int player);
int warningOf(const Game& game, int player);

} // namespace peterin
