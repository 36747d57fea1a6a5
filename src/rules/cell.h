#pragma once

#include <cstdint>
#include <optional>

namespace peterin {

// What a cell holds. The codes are stored in fields and files, so they never change.
enum class CellKind : std::int32_t {
    Empty = 0,
    Red = 1,
    Blue = 2,
    Green = 3,
    Yellow = 4,
    Purple = 5,
    Nuisance = 6,
    Iron = 7,
    Block = 8,
};

inline constexpr int kCellKindCount = 9; // the kinds above; the settings size their colours by it

// Colour kinds (red to purple) are the only ones that form vanishing groups.
constexpr bool isColour(CellKind kind) {
    return kind >= CellKind::Red && kind <= CellKind::Purple;
}

// How a cell moves under gravity.
inline constexpr std::int32_t kResting = 0;
inline constexpr std::int32_t kLanded = 1;   // moved in the last gravity step and now rests
inline constexpr std::int32_t kFloating = 2; // moves down one row in the next gravity step

// One cell: five 32-bit words, in this order, so that a field copies as plain data.
struct Cell {
    CellKind kind = CellKind::Empty;
    std::int32_t fallState = kResting;
    std::int32_t groupSize = 0; // cells in its same-kind region of visible rows; 0 when empty
    std::int32_t linkMask = 0;  // scratch word of the region count; no rule reads it
    std::int32_t visited = 0;   // flood-fill mark; also marks the groups a tallying search found

    bool operator==(const Cell&) const = default;
};

// The letters that stand for the kinds in position files and on screen, indexed by code.
inline constexpr char kCellLetters[kCellKindCount + 1] = "-RBGYPOMr";

// The letter of a kind; '?' for a code outside 0..8.
constexpr char kindLetter(CellKind kind) {
    const auto code = static_cast<std::int32_t>(kind);
    return code >= 0 && code < kCellKindCount ? kCellLetters[code] : '?';
}

// The kind a letter stands for (case-sensitive: 'r' is a block, 'R' a red blob).
constexpr std::optional<CellKind> kindFromLetter(char letter) {
    for (int code = 0; code < kCellKindCount; ++code) {
        if (kCellLetters[code] == letter) {
            return static_cast<CellKind>(code);
        }
    }
    return std::nullopt;
}

} // namespace peterin
