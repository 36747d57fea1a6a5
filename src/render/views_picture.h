#pragma once

#include "play/game.h"
#include "render/drawing.h"

#include <QImage>

#include <optional>
#include <vector>

namespace peterin {

// What one player's three views show at one moment, held by value so that it can be drawn again
// after the game has moved on. It keeps only what the drawing reads.
struct PlayerViewsState {
    Field field; // sizes and cells only
    int phase = 0;
    std::optional<PairPicture> pair;
    bool landingMarks = false;
    std::optional<CellPos> cursor;
    CellKind editKind = CellKind::Empty;
    int firstEntry = 0;
    std::vector<PairSlots> queue; // every queue entry, the falling pair's included
    int pendingNuisance = 0;

    bool sameAs(const PlayerViewsState& other) const;
};

// Reads what the views of `player` show now into `state`, reusing its storage, so that a capture
// per tick does not allocate once the first one has sized it.
void captureViews(const Game& game, int player, PlayerViewsState& state);

// The number of players whose views the main window shows: both in battle, else 1P alone.
int shownPlayerCount(const Game& game);

// An image of the main window's client area (menu, status bar and tool window excluded) in its
// background colour, without the views.
QImage clientBackground(const Game& game);

// Draws the field, next and warning views of `player` from `state` at their places in a picture
// of the client area, each exactly as the view draws its back buffer.
void drawPlayerViews(QImage& client, const Settings& s, int player, const PlayerViewsState& state);

// The client area as the views show it now.
QImage viewsImage(const Game& game);

} // namespace peterin
