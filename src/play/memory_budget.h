#pragma once

#include <cstdint>

#include "play/game.h"

namespace peterin {

// Estimates, in bytes, of what the game's positions take, for holding them to kMaxGameBytes
// (settings/limits.h) before anything is allocated. They round up: the cells, the fields'
// scratch space and the queues with what each pair was made from.

// One field of this size (its walls, hidden rows and scratch space included).
std::int64_t fieldBytes(std::int64_t width, std::int64_t height);
// One pair queue of this length, with its pattern.
std::int64_t queueBytes(std::int64_t length);
// One two-player position: two fields of one size and two queues.
std::int64_t positionBytes(std::int64_t width, std::int64_t height, std::int64_t queueLength);

// The turn backup and every stored position, their queues taken at `queueLength`.
std::int64_t storedBytes(const Game& game, std::int64_t queueLength);

} // namespace peterin
