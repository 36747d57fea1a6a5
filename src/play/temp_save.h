#pragma once

#include <array>

#include "play/player_state.h"
#include "rules/field.h"

namespace peterin {

// One complete two-player position kept aside, index 0 for 1P: what every copy of a player
// holds, the turn's counters left out. A deep-copying value; its fields' score-record links are
// set again whenever it is copied back into the players.
struct TempSave {
    std::array<PlayerState<Field>, kPlayerCount> players;
};

} // namespace peterin
