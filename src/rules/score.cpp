#include "rules/score.h"

#include <bit>
#include <cstdint>
#include <limits>

namespace peterin {

void resetTally(ScoreRecord& record) {
    record.cleared = 0;
    record.colourMask = 0;
    record.groupBonus = 0;
}

std::int32_t tableEntry(const std::int32_t* table, std::int32_t count, std::int32_t index) {
    if (table == nullptr || count <= 0) {
        return 0;
    }
    if (index < 0) {
        return table[0];
    }
    return index >= count ? table[count - 1] : table[index];
}

std::int32_t stepScore(std::int32_t chainNumber, const ScoreRecord& record) {
    if (chainNumber < 1) {
        return -1;
    }
    const std::int32_t power =
        tableEntry(record.chainPowerTable, record.chainPowerCount, chainNumber - 1);
    // Only the five colour bits count.
    const int colours = std::popcount(static_cast<std::uint32_t>(record.colourMask) & 0x3Eu);
    const std::int32_t colourBonus =
        tableEntry(record.colourBonusTable, record.colourBonusCount, colours - 1);
    std::int64_t bonus = std::int64_t{power} + colourBonus + record.groupBonus;
    if (bonus < 1) {
        bonus = 1;
    }
    const std::int64_t score = std::int64_t{record.base} * record.cleared * bonus;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(score > kMax ? kMax : (score < kMin ? kMin : score));
}

} // namespace peterin
