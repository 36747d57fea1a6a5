#pragma once

#include <cstdint>

#include "play/game.h"

namespace peterin {

inline constexpr std::int32_t kScorePerNuisance = 70; // step score that makes one nuisance blob
inline constexpr std::int32_t kRowsPerHandOver = 5;   // nuisance rows per batch

// A scored chain step of `player` worth n nuisance blobs: offsets the nuisance announced to the
// sender first, the rest is announced to the other side. In play mode 1P's own warning shows it.
void sendNuisance(Game& game, int player, std::int32_t n);

// A vanish has ended and the fall begins: remembers an attack made with nuisance still due, or
// lets this fall take up to a batch of rows.
void endOfStepRule(Game& game, int player);

// The player's pair settled without a chain while the other side's turn is over: the announced
// nuisance falls now (enters the fall phase).
void receiveRule(Game& game, int player);

// A fall has settled without a chain: either the next batch of nuisance falls (returns true,
// fall phase entered again) or the turn is over (returns false; the caller idles the player).
bool endOfTurnRule(Game& game, int player);

// Puts one row of the announced nuisance into the LimboArea at columns chosen by the shared
// conventional generator, then takes a whole row's worth off the announcement.
void dropNuisanceRow(Game& game, int player);

// The drop command: the announced nuisance falls now, up to the field's height in rows.
void dropNow(Game& game);

// Whether the computer plays the side.
bool computerPlays(const Settings& settings, int player);
// The strength the computer plays the side at: 強さ, or 1Pの強さ for 1P when it plays both.
int computerLevel(const Settings& settings, int player);
// Whether a side whose pair is lost loses the battle: chosen, or always while the computer plays.
bool decisive(const Settings& settings);
// The rule the game plays by: a record's own while one is played, else the settings'.
bool decisive(const Game& game);
// A battle game was lost and won: both fields stand still until the next game starts.
bool battleOver(const Game& game);
// The player lost its pair in a decisive battle: the other side wins, and every timer stops.
void loseBattle(Game& game, int player);

} // namespace peterin
