#pragma once

#include <array>
#include <cstdint>

#include "play/falling_pair.h"
#include "play/player.h"
#include "rules/field.h"
#include "sequence/pair_sequence.h"

namespace peterin {

// One complete two-player position kept aside: the per-player values worth keeping, both
// fields, both pair queues and both falling pairs, index 0 for 1P. A deep-copying value; its
// fields' score-record links are set again whenever it is copied back into the players.
struct TempSave {
    std::array<Phase, kPlayerCount> phase{};
    std::array<std::int32_t, kPlayerCount> waitingForPartner{};
    std::array<std::int32_t, kPlayerCount> pendingNuisance{};
    std::array<std::int32_t, kPlayerCount> chainCount{};
    std::array<std::int32_t, kPlayerCount> attackState{};
    std::array<Field, kPlayerCount> fields;
    std::array<PairSequence, kPlayerCount> sequences;
    std::array<FallingPair, kPlayerCount> fallingPairs;
};

} // namespace peterin
