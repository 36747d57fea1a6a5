#include "play/falling_pair.h"

#include <algorithm>

namespace peterin {

namespace {

constexpr int kAbove = blockIndex(0, -1);
constexpr int kRight = blockIndex(1, 0);
constexpr int kAboveRight = blockIndex(1, -1);

// A field cell a blob cannot enter: outside the field or not empty.
bool blocked(const Field& field, std::int32_t x, std::int32_t r) {
    return !field.contains(x, r) || getCell(field, x, r) != CellKind::Empty;
}

// blocked() on one field, for the templates of the header.
struct FieldBlocked {
    const Field& field;
    bool operator()(std::int32_t x, std::int32_t r) const { return blocked(field, x, r); }
};

bool columnHasBlob(const PairBlock& block, int dx) {
    for (int dy = -1; dy <= 1; ++dy) {
        if (block[blockIndex(dx, dy)] != CellKind::Empty) {
            return true;
        }
    }
    return false;
}

bool rowHasBlob(const PairBlock& block, int dy) {
    for (int dx = -1; dx <= 1; ++dx) {
        if (block[blockIndex(dx, dy)] != CellKind::Empty) {
            return true;
        }
    }
    return false;
}

// Spawn rules after the column and row were chosen: a pair with blobs in an outer column of
// its block is moved in from the wall, one with blobs below the pivot up from the floor.
void pullInside(FallingPair& pair, const Field& field) {
    if (pair.x == 0 && field.width > 1 && columnHasBlob(pair.cells, -1)) {
        pair.x = 1;
    }
    if (pair.x == field.width - 1 && field.width > 1 && columnHasBlob(pair.cells, 1)) {
        pair.x -= 1;
    }
    if (pair.row == field.height - 1 && rowHasBlob(pair.cells, 1)) {
        pair.row -= 1;
    }
}

template <typename Map> PairBlock remapped(const PairBlock& block, Map map) {
    PairBlock result{};
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const auto [nx, ny] = map(dx, dy);
            result[blockIndex(nx, ny)] = block[blockIndex(dx, dy)];
        }
    }
    return result;
}

// The 2 x 2 square of the four-blob shapes: pivot, above, and the two cells right of them.
struct Square {
    CellKind topLeft, topRight, bottomLeft, bottomRight;
};

Square squareOf(const PairBlock& block) {
    return {block[kAbove], block[kAboveRight], block[kPivot], block[kRight]};
}

void storeSquare(PairBlock& block, const Square& square) {
    block[kAbove] = square.topLeft;
    block[kAboveRight] = square.topRight;
    block[kPivot] = square.bottomLeft;
    block[kRight] = square.bottomRight;
}

} // namespace

void turnSquareColours(FallingPair& pair, bool clockwise) {
    const Square s = squareOf(pair.cells);
    if (clockwise) {
        storeSquare(pair.cells, {s.bottomLeft, s.topLeft, s.bottomRight, s.topRight});
    } else {
        storeSquare(pair.cells, {s.topRight, s.bottomRight, s.topLeft, s.bottomLeft});
    }
}

void turnSquareColour(FallingPair& pair, bool up) {
    int colour = static_cast<int>(pair.cells[kPivot]) + (up ? 1 : -1);
    if (colour < 1 || colour > 5) {
        colour = up ? 1 : 5;
    }
    const auto kind = static_cast<CellKind>(colour);
    storeSquare(pair.cells, {kind, kind, kind, kind});
}

void loadPair(FallingPair& pair, const Pair& source) {
    pair.cells.fill(CellKind::Empty);
    constexpr int kSlotCell[4] = {kAbove, kAboveRight, kPivot, kRight};
    for (int slot = 0; slot < 4; ++slot) {
        const int code = source.slot[static_cast<std::size_t>(slot)];
        if (code >= 0 && code < kCellKindCount) {
            pair.cells[static_cast<std::size_t>(kSlotCell[slot])] = static_cast<CellKind>(code);
        }
    }
    pair.shape = source.shape;
}

void putAtSpawn(FallingPair& pair, const Field& field) {
    pair.x = std::min(2, field.width - 1);
    pair.row = 0;
    pullInside(pair, field);
}

bool fits(const Field& field, const PairBlock& block, std::int32_t x, std::int32_t row) {
    return fitsOn(FieldBlocked{field}, block, x, row);
}

bool canMove(const FallingPair& pair, const Field& field, Direction direction) {
    switch (direction) {
    case Direction::Right:
        return fits(field, pair.cells, pair.x + 1, pair.row);
    case Direction::Left:
        return fits(field, pair.cells, pair.x - 1, pair.row);
    case Direction::Down:
        return fits(field, pair.cells, pair.x, pair.row + 1);
    case Direction::Up:
        return fits(field, pair.cells, pair.x, pair.row - 1);
    }
    return false;
}

bool moveLeft(FallingPair& pair, const Field& field) {
    if (!canMove(pair, field, Direction::Left)) {
        return false;
    }
    pair.x -= 1;
    return true;
}

bool moveRight(FallingPair& pair, const Field& field) {
    if (!canMove(pair, field, Direction::Right)) {
        return false;
    }
    pair.x += 1;
    return true;
}

PairBlock rotatedRight(const PairBlock& block) {
    return remapped(block, [](int dx, int dy) { return std::pair{-dy, dx}; });
}

PairBlock rotatedLeft(const PairBlock& block) {
    return remapped(block, [](int dx, int dy) { return std::pair{dy, -dx}; });
}

PairBlock rotatedHalf(const PairBlock& block) {
    return remapped(block, [](int dx, int dy) { return std::pair{-dx, -dy}; });
}

int tryRotate(FallingPair& pair, const Field& field, const PairBlock& candidate) {
    return tryRotateOn(FieldBlocked{field}, field.heavenRow(), pair, candidate);
}

int rotateRight(FallingPair& pair, const Field& field) {
    return rotateOn(FieldBlocked{field}, field.heavenRow(), pair, Rotation::Right);
}

int rotateLeft(FallingPair& pair, const Field& field) {
    return rotateOn(FieldBlocked{field}, field.heavenRow(), pair, Rotation::Left);
}

int rotateHalf(FallingPair& pair, const Field& field) {
    return rotateOn(FieldBlocked{field}, field.heavenRow(), pair, Rotation::Half);
}

bool applyPairAction(FallingPair& pair, Field& field, PairAction action) {
    if (action == PairAction::Down) {
        return dropPair(pair, field) == kPlaced;
    }
    return applyPairActionOn(FieldBlocked{field}, field.heavenRow(), pair, action);
}

int placePair(const FallingPair& pair, Field& field) {
    if (!field.hasCells()) {
        return kPlaceNoField;
    }
    if (blocked(field, pair.x, pair.row)) {
        return kPlaceRefused;
    }
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const CellKind kind = pair.cells[blockIndex(dx, dy)];
            if (kind != CellKind::Empty) {
                setCell(field, pair.x + dx, pair.row + dy, kind);
            }
        }
    }
    return kPlaced;
}

int dropPair(FallingPair& pair, Field& field) {
    if (canMove(pair, field, Direction::Down)) {
        pair.row += 1;
    }
    return placePair(pair, field);
}

void clampPair(FallingPair& pair, const Field& field) {
    pair.x = std::clamp(pair.x, 0, std::max(field.width - 1, 0));
    pair.row = std::clamp(pair.row, 0, std::max(field.height - 1, 0));
    pullInside(pair, field);
}

std::int32_t turnOf(const FallingPair& pair, const FallingPair& start) {
    if (pair.shape == kShape4d || pair.shape == kShape4a) {
        FallingPair turned = start;
        for (std::int32_t turns = 0; turns < 5; ++turns) {
            if (turned.cells == pair.cells) {
                return turns;
            }
            if (pair.shape == kShape4d) {
                turnSquareColours(turned, true);
            } else {
                turnSquareColour(turned, true);
            }
        }
        return 0;
    }
    // The sides of the pivot that hold a blob, clockwise from above.
    constexpr int kSides[4] = {blockIndex(0, -1), blockIndex(1, 0), blockIndex(0, 1),
                               blockIndex(-1, 0)};
    bool held[4];
    for (int side = 0; side < 4; ++side) {
        held[side] = pair.cells[static_cast<std::size_t>(kSides[side])] != CellKind::Empty;
    }
    // A three-blob pair holds two neighbouring sides; its turn is the first of them clockwise.
    for (int side = 0; side < 4; ++side) {
        if (held[side] && !held[(side + 3) % 4]) {
            return side;
        }
    }
    return 0;
}

} // namespace peterin
