#pragma once

// Template bodies of placements.h.

#include <algorithm>
#include <cstddef>

namespace peterin::analysis {

namespace detail {

// The blocks a search meets, numbered as they are first seen (a pair has at most five).
struct BlockIndex {
    std::vector<PairBlock> blocks;
    int of(const PairBlock& block) {
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (blocks[i] == block) {
                return static_cast<int>(i);
            }
        }
        blocks.push_back(block);
        return static_cast<int>(blocks.size()) - 1;
    }
};

inline constexpr int kMaxBlocks = 8;

} // namespace detail

template <typename Blocked>
std::vector<Placement> reachablePlacements(const Blocked& blocked, std::int32_t width,
                                           std::int32_t height, std::int32_t heavenRow,
                                           const FallingPair& start) {
    // Rows run from the hidden top row (heavenRow - 1) to the bottom.
    const std::int32_t top = heavenRow - 1;
    const std::int32_t rows = height - top;
    if (width <= 0 || rows <= 0 || start.x < 0 || start.x >= width || start.row < top ||
        start.row >= height) {
        return {};
    }
    detail::BlockIndex index;
    const auto slot = [&](const FallingPair& p, int block) {
        return (static_cast<std::size_t>(block) * static_cast<std::size_t>(rows) +
                static_cast<std::size_t>(p.row - top)) *
                   static_cast<std::size_t>(width) +
               static_cast<std::size_t>(p.x);
    };
    const std::size_t states =
        static_cast<std::size_t>(detail::kMaxBlocks) * static_cast<std::size_t>(rows * width);
    struct Visit {
        int parent = -1; // index into `order`, -1 for the start
        PairAction move = PairAction::Left;
    };
    std::vector<char> seen(states, 0);
    std::vector<FallingPair> order{start};
    std::vector<Visit> visits{Visit{}};
    seen[slot(start, index.of(start.cells))] = 1;

    const auto fitsAt = [&](const FallingPair& p, std::int32_t x, std::int32_t row) {
        return fitsOn(blocked, p.cells, x, row);
    };
    for (std::size_t i = 0; i < order.size(); ++i) {
        constexpr PairAction kMoves[] = {PairAction::Left, PairAction::Right,
                                         PairAction::RotateRight, PairAction::RotateLeft,
                                         PairAction::HalfRotate};
        for (const PairAction move : kMoves) {
            FallingPair next = order[i];
            const bool moved = applyPairActionOn(blocked, heavenRow, next, move);
            if (!moved || next.x < 0 || next.x >= width || next.row < top || next.row >= height) {
                continue;
            }
            const int block = index.of(next.cells);
            if (block >= detail::kMaxBlocks) {
                continue;
            }
            const std::size_t s = slot(next, block);
            if (seen[s] != 0) {
                continue;
            }
            seen[s] = 1;
            order.push_back(next);
            visits.push_back(Visit{static_cast<int>(i), move});
        }
    }

    // A drop first moves one row down when it can; states written to the same place are one.
    std::vector<Placement> placements;
    std::vector<std::size_t> writtenKey;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const FallingPair& p = order[i];
        const std::int32_t row = fitsAt(p, p.x, p.row + 1) ? p.row + 1 : p.row;
        const std::size_t key = slot(FallingPair{p.x, row, {}, 0}, index.of(p.cells));
        if (std::find(writtenKey.begin(), writtenKey.end(), key) != writtenKey.end()) {
            continue;
        }
        writtenKey.push_back(key);
        Placement placement;
        placement.pair = p;
        placement.column = p.x;
        placement.turn = turnOf(p, start);
        for (int v = static_cast<int>(i); visits[static_cast<std::size_t>(v)].parent >= 0;
             v = visits[static_cast<std::size_t>(v)].parent) {
            placement.moves.push_back(visits[static_cast<std::size_t>(v)].move);
        }
        std::reverse(placement.moves.begin(), placement.moves.end());
        placements.push_back(std::move(placement));
    }
    return placements;
}

} // namespace peterin::analysis
