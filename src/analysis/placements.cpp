#include "analysis/placements.h"

namespace peterin::analysis {

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

} // namespace peterin::analysis
