#pragma once

#include "play/player_state.h"
#include "rules/field.h"
#include "rules/score.h"

namespace peterin {

// One side's game: its state (see PlayerState: every member is described there once) and its
// score record. The field points at this player's score record, so a Player never moves or
// copies; positions are copied through temporary saves instead.
struct Player : PlayerState<Field>, TurnProgress {
    ScoreRecord scoreRecord;

    Player() { field.scoreRecord = &scoreRecord; }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
};

} // namespace peterin
