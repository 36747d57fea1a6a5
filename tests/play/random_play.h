#pragma once

#include <random>
#include <string>

#include "play/game.h"
#include "recorder.h"

namespace peterin::testing {

// Random play for property runs: the actions a user and the timers take, in proportions that
// keep chains, nuisance and stored positions coming.

// One random user action or timer tick: keys (mostly the pair keys), mouse drags and clicks in
// either field, nuisance buttons, temporary-save commands, random positions, next counts,
// field sizes, ready-made chains, clearing and mode changes.
void randomStep(Harness& h, std::mt19937& random);

// What is wrong with a field, or "" when nothing is: walls and floor are resting blocks, and
// every visible group size matches a fresh recount.
std::string fieldFault(const Field& field);

// The same for a player: phase in range, nothing negative, the falling pair inside its field,
// then the field.
std::string playerFault(const Player& player);

} // namespace peterin::testing
