#pragma once

#include <array>
#include <cstdint>

#include "rules/cell.h"
#include "rules/field.h"
#include "sequence/pair_sequence.h"
#include "settings/settings.h"

namespace peterin {

// The 3 x 3 block of cells around the pivot, column by column: offset (dx, dy), each -1 to +1
// with dy growing downward, is entry 3 * (dx + 1) + (dy + 1). Entry 4 is the pivot.
using PairBlock = std::array<CellKind, 9>;

constexpr int blockIndex(int dx, int dy) {
    return 3 * (dx + 1) + (dy + 1);
}
inline constexpr int kPivot = 4;

// The pair under a player's control. A plain value: the operations take the field it moves in,
// so copies (temporary saves) never point at a field.
struct FallingPair {
    std::int32_t x = 0;   // column of the pivot
    std::int32_t row = 0; // row of the pivot (the top row to height - 1)
    PairBlock cells{};
    std::int32_t shape = kShape2;

    bool operator==(const FallingPair&) const = default;
};

enum class Direction { Right, Left, Down, Up };

// What a rotation came to.
inline constexpr int kRotateRefused = 0;
inline constexpr int kRotateInPlace = 1;
inline constexpr int kRotateShifted = 2;

// What placing a pair came to.
inline constexpr int kPlaced = 0;
inline constexpr int kPlaceRefused = 1; // the pivot cell was blocked; the pair is lost
inline constexpr int kPlaceNoField = -1;

// Copies a queued pair into the block: slot 0 above the pivot, 1 above right, 2 the pivot, 3
// right of it; everything else empty. Slot values outside 0 to 8 are not copied.
void loadPair(FallingPair& pair, const Pair& source);

// Puts the pair at the spawn point: third column (or less on narrow fields), row 0, pulled in
// so that a blob in its outer columns or bottom row stays inside. Not tested against the cells.
void putAtSpawn(FallingPair& pair, const Field& field);

// Whether every blob of `block` with its pivot at (x, row) lies inside the field on an empty cell.
bool fits(const Field& field, const PairBlock& block, std::int32_t x, std::int32_t row);

// Whether the pair fits one cell further in `direction`.
bool canMove(const FallingPair& pair, const Field& field, Direction direction);

// One column sideways when it fits; returns whether the pair moved.
bool moveLeft(FallingPair& pair, const Field& field);
bool moveRight(FallingPair& pair, const Field& field);

// The block turned a quarter clockwise, a quarter counter-clockwise, or half (two-blob and
// three-blob shapes; the pivot stays).
PairBlock rotatedRight(const PairBlock& block);
PairBlock rotatedLeft(const PairBlock& block);
PairBlock rotatedHalf(const PairBlock& block);

// Stores `candidate` at the pair's place, or one row down, one row up, one column right or left
// in that order of preference; returns kRotateInPlace, kRotateShifted or kRotateRefused (the
// pair unchanged).
int tryRotate(FallingPair& pair, const Field& field, const PairBlock& candidate);

// The rotation keys. Two- and three-blob shapes turn through tryRotate; `4d` passes its colours
// around the square and `4a` changes its colour, both in place and untested (kRotateInPlace).
int rotateRight(FallingPair& pair, const Field& field);
int rotateLeft(FallingPair& pair, const Field& field);
int rotateHalf(FallingPair& pair, const Field& field);

// The three rotation keys.
enum class Rotation { Right, Left, Half };

// The four-blob shapes turn without moving: `4d` passes its colours around the square
// (clockwise on a right turn, else the other way), `4a` steps its colour through the five.
void turnSquareColours(FallingPair& pair, bool clockwise);
void turnSquareColour(FallingPair& pair, bool up);

// The moves and turns over any view of the cells, so that a search can try them on its own
// copy of a field: `blocked(x, r)` answers whether a blob cannot enter column x, row r
// (outside the field or not empty); `heavenRow` is the HeavenArea row, which a turn never
// climbs into. The functions above are these on a Field.
template <typename Blocked>
bool fitsOn(const Blocked& blocked, const PairBlock& block, std::int32_t x, std::int32_t row) {
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (block[static_cast<std::size_t>(blockIndex(dx, dy))] != CellKind::Empty &&
                blocked(x + dx, row + dy)) {
                return false;
            }
        }
    }
    return true;
}

template <typename Blocked>
int tryRotateOn(const Blocked& blocked, std::int32_t heavenRow, FallingPair& pair,
                const PairBlock& candidate) {
    constexpr auto kAbove = static_cast<std::size_t>(blockIndex(0, -1));
    constexpr auto kBelow = static_cast<std::size_t>(blockIndex(0, 1));
    constexpr auto kLeft = static_cast<std::size_t>(blockIndex(-1, 0));
    constexpr auto kRight = static_cast<std::size_t>(blockIndex(1, 0));
    const std::int32_t x = pair.x;
    const std::int32_t row = pair.row;
    auto storeAt = [&](std::int32_t newX, std::int32_t newRow, int result) {
        pair.x = newX;
        pair.row = newRow;
        pair.cells = candidate;
        return result;
    };
    const auto fitsAt = [&](std::int32_t atX, std::int32_t atRow) {
        return fitsOn(blocked, candidate, atX, atRow);
    };

    if (fitsAt(x, row)) {
        return storeAt(x, row, kRotateInPlace);
    }
    // A blob turning up into something: push the pair down instead, or give up.
    if (candidate[kAbove] != CellKind::Empty && blocked(x, row - 1)) {
        return fitsAt(x, row + 1) ? storeAt(x, row + 1, kRotateShifted) : kRotateRefused;
    }
    // Climbing comes before any sideways shift, but never into the HeavenArea.
    if (row - 1 != heavenRow && fitsAt(x, row - 1)) {
        return storeAt(x, row - 1, kRotateShifted);
    }
    if (candidate[kBelow] != CellKind::Empty && blocked(x, row + 1)) {
        return kRotateRefused;
    }
    if (candidate[kLeft] != CellKind::Empty && blocked(x - 1, row)) {
        return fitsAt(x + 1, row) ? storeAt(x + 1, row, kRotateShifted) : kRotateRefused;
    }
    if (candidate[kRight] != CellKind::Empty && blocked(x + 1, row)) {
        return fitsAt(x - 1, row) ? storeAt(x - 1, row, kRotateShifted) : kRotateRefused;
    }
    return kRotateRefused;
}

template <typename Blocked>
int rotateOn(const Blocked& blocked, std::int32_t heavenRow, FallingPair& pair, Rotation turn) {
    const bool clockwise = turn == Rotation::Right;
    if (pair.shape == kShape4d) {
        turnSquareColours(pair, clockwise);
        return kRotateInPlace;
    }
    if (pair.shape == kShape4a) {
        turnSquareColour(pair, clockwise);
        return kRotateInPlace;
    }
    const PairBlock candidate = turn == Rotation::Right  ? rotatedRight(pair.cells)
                                : turn == Rotation::Left ? rotatedLeft(pair.cells)
                                                         : rotatedHalf(pair.cells);
    return tryRotateOn(blocked, heavenRow, pair, candidate);
}

// A pair key other than the drop over any view of the cells: the one dispatch of the moves and
// turns, for the turn cycle and for a search alike. Returns whether the pair moved or turned; a
// refused one leaves it as it was. The drop writes into a field: see applyPairAction.
template <typename Blocked>
bool applyPairActionOn(const Blocked& blocked, std::int32_t heavenRow, FallingPair& pair,
                       PairAction action) {
    switch (action) {
    case PairAction::Left:
    case PairAction::Right: {
        const std::int32_t x = pair.x + (action == PairAction::Left ? -1 : 1);
        if (!fitsOn(blocked, pair.cells, x, pair.row)) {
            return false;
        }
        pair.x = x;
        return true;
    }
    case PairAction::RotateRight:
        return rotateOn(blocked, heavenRow, pair, Rotation::Right) != kRotateRefused;
    case PairAction::RotateLeft:
        return rotateOn(blocked, heavenRow, pair, Rotation::Left) != kRotateRefused;
    case PairAction::HalfRotate:
        return rotateOn(blocked, heavenRow, pair, Rotation::Half) != kRotateRefused;
    case PairAction::Down:
        break;
    }
    return false;
}

// One pair key on the falling pair in its field: the moves and turns of applyPairActionOn, and
// the drop (dropPair). Returns whether the pair moved, turned or was placed.
bool applyPairAction(FallingPair& pair, Field& field, PairAction action);

// How far a pair is turned: for two- and three-blob pairs the side of the pivot its other
// blob (the one above the pivot when it was loaded) lies on, 0 above, 1 right, 2 below, 3 left;
// for four-blob pairs, which turn in place, the right turns from `start`.
std::int32_t turnOf(const FallingPair& pair, const FallingPair& start);

// Writes the pair's blobs into the field, top row first, each row left to right.
int placePair(const FallingPair& pair, Field& field);

// The drop key: one row down when it fits, then placePair. Returns placePair's result.
int dropPair(FallingPair& pair, Field& field);

// After the field was resized: pulls the pivot into the field and the block in as at spawn.
void clampPair(FallingPair& pair, const Field& field);

} // namespace peterin
