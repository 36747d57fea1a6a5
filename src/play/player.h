#pragma once

#include <cstdint>

#include "play/falling_pair.h"
#include "rules/field.h"
#include "rules/score.h"
#include "sequence/pair_sequence.h"

namespace peterin {

inline constexpr int kPlayerCount = 2; // index 0 is 1P, index 1 is 2P

// The other side of a battle.
constexpr int otherPlayer(int player) {
    return 1 - player;
}

// A player's turn phase; the numbers are stored in temporary saves and files.
enum class Phase : std::int32_t {
    Idle = 0,       // waits for input; the falling pair is shown and the pair keys act
    PairFall = 1,   // the dropped pair falls
    ShowGroups = 2, // the groups about to vanish are shown
    Vanish = 3,     // the step is scored, then the groups vanish
    Fall = 4,       // the field falls after a vanish, at mode start, or under nuisance
};

// Battle hand-over states.
inline constexpr std::int32_t kAttackNone = 0;
inline constexpr std::int32_t kAttackStepWithPending = 1; // a chain step ended with nuisance due
inline constexpr std::int32_t kAttackDone = 2; // the turn ended; the other side may receive

// One side's game. The field points at this player's score record, so a Player never moves or
// copies; positions are copied through temporary saves instead.
struct Player {
    Field field;
    ScoreRecord scoreRecord;
    PairSequence sequence;
    FallingPair fallingPair;
    Phase phase = Phase::Idle;
    std::int32_t countdown = 0;        // ticks left in the current step of the phase
    std::int32_t chainCount = 0;       // chain steps of the current turn
    std::int32_t score = 0;            // score of the current turn
    std::int32_t pendingNuisance = 0;  // nuisance announced to this player
    std::int32_t nuisanceRowsLeft = 0; // rows that may still fall in this fall phase
    std::int32_t attackState = kAttackNone;
    std::int32_t waitingForPartner = 0; // battle lockstep: 1 while waiting for the other side

    Player() { field.scoreRecord = &scoreRecord; }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
};

} // namespace peterin
