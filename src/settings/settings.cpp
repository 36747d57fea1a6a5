#include "settings.h"

#include <algorithm>

namespace peterin {

namespace {

void clampTo(std::int32_t& value, std::int32_t low, std::int32_t high) {
    if (value < low) {
        value = low;
    } else if (value > high) {
        value = high;
    }
}

void atLeast(std::int32_t& value, std::int32_t low) {
    if (value < low) {
        value = low;
    }
}

} // namespace

std::vector<std::uint8_t> parseWheel(const std::string& text) {
    // Byte by byte, so the trail byte of a double-byte character counts like any other byte.
    static constexpr char kLetters[kCellKindCount] = {'N', 'R', 'B', 'G', 'Y', 'P', 'O', 'M', 'r'};
    std::vector<std::uint8_t> kinds;
    for (const char c : text) {
        for (int kind = 0; kind < kCellKindCount; ++kind) {
            if (c == kLetters[kind]) {
                kinds.push_back(static_cast<std::uint8_t>(kind));
                break;
            }
        }
    }
    if (kinds.size() > static_cast<std::size_t>(kWheelMax)) {
        kinds.resize(kWheelMax);
    }
    return kinds;
}

void ValidateSettings(Settings& s) {
    // The order matters: later bounds read earlier results, and the next-display sizes are
    // bounded by the cell-size limit as read, before that limit itself is clamped.
    atLeast(s.vanishCount, 1);
    clampTo(s.warningHeight, 0, 100);
    clampTo(s.maxNextCount, 0, 10000);
    clampTo(s.maxNextColumns, 0, 10000);
    clampTo(s.maxNextRows, 0, 10000);
    clampTo(s.nextCount, 0, s.maxNextCount);
    clampTo(s.nextColumns, 1, std::max(1, s.maxNextColumns));
    clampTo(s.nextRows, 1, std::max(1, s.maxNextRows));
    clampTo(s.nextCellWidth, 1, std::max(1, s.maxCellSize));
    clampTo(s.nextCellHeight, 1, std::max(1, s.maxCellSize));
    clampTo(s.maxFieldWidth, 2, 100000);
    clampTo(s.maxFieldHeight, 2, 100000);
    clampTo(s.maxCellSize, 1, 10000);
    clampTo(s.fieldWidth, 2, s.maxFieldWidth);
    clampTo(s.fieldHeight, 1, s.maxFieldHeight);
    clampTo(s.cellWidth, 1, s.maxCellSize);
    clampTo(s.cellHeight, 1, s.maxCellSize);
    clampTo(s.linkBlank, 0, 100);
    clampTo(s.vanishBlank, 0, 100);
    clampTo(s.showHeaven, 0, 1);
    if (s.showHeaven == 1) {
        s.showLimbo = 1; // the heaven rows are never shown without the limbo row
    } else {
        clampTo(s.showLimbo, 0, 1);
    }
    clampTo(s.penSize, 0, 80);
    if (s.wheelKinds.empty()) {
        s.wheelKinds = {0}; // the text stays as the user wrote it
    }
    atLeast(s.fallTicks, 0);
    atLeast(s.linkTicks, 0);
    atLeast(s.vanishTicks, 0);
    clampTo(s.opacity, 0, 100);
    clampTo(s.emptyOpacity, 0, 100);
}

} // namespace peterin
