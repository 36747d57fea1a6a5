#pragma once

#include <array>
#include <cstdint>

namespace peterin {

// Chain power by chain number - 1. There is deliberately no 352 between 320 and 384.
inline constexpr std::array<std::int32_t, 18> kChainPowerTable = {
    0, 8, 16, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 384, 416, 448, 480, 512};
// Group bonus by group size - 1.
inline constexpr std::array<std::int32_t, 11> kGroupBonusTable = {0, 0, 0, 0, 2, 3, 4, 5, 6, 7, 10};
// Colour bonus by number of colours - 1.
inline constexpr std::array<std::int32_t, 5> kColourBonusTable = {0, 3, 6, 12, 24};

// One player's tally of the chain step being scored, with the bonus tables it is scored by.
struct ScoreRecord {
    std::int32_t base = 10;      // multiplier of the step score
    std::int32_t cleared = 0;    // blobs in the groups tallied in this step
    std::int32_t colourMask = 0; // bit k set when a group of colour kind k was tallied
    std::int32_t groupBonus = 0; // bonus of the group tallied last (only that one counts)
    const std::int32_t* chainPowerTable = kChainPowerTable.data();
    const std::int32_t* groupBonusTable = kGroupBonusTable.data();
    const std::int32_t* colourBonusTable = kColourBonusTable.data();
    std::int32_t chainPowerCount = static_cast<std::int32_t>(kChainPowerTable.size());
    std::int32_t groupBonusCount = static_cast<std::int32_t>(kGroupBonusTable.size());
    std::int32_t colourBonusCount = static_cast<std::int32_t>(kColourBonusTable.size());
};

// Clears the per-step tally (done before each tallied step and when a game mode starts).
void resetTally(ScoreRecord& record);

// An entry of a bonus table; indices past the end use the last entry, below 0 the first.
std::int32_t tableEntry(const std::int32_t* table, std::int32_t count, std::int32_t index);

// The score of one chain step from the tally in `record`; -1 for a chain number below 1.
// Saturates at the largest 32-bit value instead of overflowing on huge fields.
std::int32_t stepScore(std::int32_t chainNumber, const ScoreRecord& record);

} // namespace peterin
