#pragma once

#include <cstdint>

#include "play/game.h"

namespace peterin {

// Loads the front pair of the player's queue into its falling pair at the spawn point, without
// advancing the queue (a game mode starts with it).
void loadFrontPair(Game& game, int player);

// The dropped pair has landed: advances the queue, loads the new front pair at the spawn point
// and shows its random position.
void spawnPair(Game& game, int player);

// Starts a game mode. Edit freezes 1P in a fall phase without a timer; Play and Battle start
// every taking part player with a fall phase that settles the field as it stands.
void setMode(Game& game, Mode mode);

// One 10 ms tick of the player's timer.
void gameTick(Game& game, int player);

// Ends the player's current phase and enters the next one; the drop key starts a turn with it.
void advancePhase(Game& game, int player);

// Enters `phase` from the start: timer (unless in edit mode), countdown 0, repaint.
void enterPhase(Game& game, int player, Phase phase);

// The pair keys: moves, turns or drops the falling pair of each idle player whose key group
// holds `key` (a virtual-key code).
void onPlayerKey(Game& game, std::uint8_t key);

// One pair key's action on the player's falling pair, as a key bound to it does: a drop starts
// the turn. The caller has seen that the player waits for input.
void actOnPair(Game& game, int player, PairAction action);

// Writes the chain count and score of the player into its two status-bar parts.
void showChainStatus(Game& game, int player, std::int32_t chainCount, std::int32_t score);

// Keeps both fields, queues and announced nuisance as the turn backup.
void storeTurnBackup(Game& game);

} // namespace peterin
