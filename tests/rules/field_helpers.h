#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "rules/field.h"

namespace peterin::testing {

// A settled field of the given size whose rows from `firstRow` down are written with the file
// letters ('.' also means empty), through setCell.
inline Field makeField(std::int32_t width, std::int32_t height,
                       const std::vector<std::string>& rows, std::int32_t firstRow = 0) {
    Field field;
    EXPECT_EQ(resizeField(field, width, height, 1), 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t x = 0; x < rows[i].size(); ++x) {
            const char letter = rows[i][x] == '.' ? '-' : rows[i][x];
            setCell(field, static_cast<std::int32_t>(x), firstRow + static_cast<std::int32_t>(i),
                    kindFromLetter(letter).value());
        }
    }
    return field;
}

inline std::string rowText(const Field& field, std::int32_t r) {
    std::string text;
    for (std::int32_t x = 0; x < field.width; ++x) {
        text += kindLetter(getCell(field, x, r));
    }
    return text;
}

// Checks everything a field must satisfy between operations against independent rules: walls
// and floor are blocks; a visible cell's groupSize is its region's size, found here by a plain
// search over getCell; marks are clear; a blob floats exactly when an empty cell lies between it
// and the next block (or the floor) below; anything else rests, or landed in the last step.
inline void expectConsistent(const Field& field) {
    const std::int32_t w = field.width;
    const std::int32_t h = field.height;
    const Cell block{CellKind::Block, 0, 0, 0, 0};
    for (std::int32_t r = field.topRow(); r <= h; ++r) {
        ASSERT_EQ(field.cells[field.index(0, r)], block) << "left wall, row " << r;
        ASSERT_EQ(field.cells[field.index(w + 1, r)], block) << "right wall, row " << r;
    }
    for (std::int32_t x = 0; x < w; ++x) {
        ASSERT_EQ(field.at(x, h), block) << "floor, column " << x;
    }
    std::vector<std::int32_t> size(static_cast<std::size_t>(w * h), 0);
    for (std::int32_t start = 0; start < w * h; ++start) {
        const CellKind kind = getCell(field, start % w, start / w);
        if (kind == CellKind::Empty || size[static_cast<std::size_t>(start)] != 0) {
            continue;
        }
        std::vector<std::int32_t> region{start};
        size[static_cast<std::size_t>(start)] = -1;
        for (std::size_t i = 0; i < region.size(); ++i) {
            const std::int32_t x = region[i] % w;
            const std::int32_t r = region[i] / w;
            for (auto [nx, nr] : {std::pair{x + 1, r}, {x - 1, r}, {x, r + 1}, {x, r - 1}}) {
                const auto n = static_cast<std::size_t>(nr * w + nx);
                if (nx >= 0 && nx < w && nr >= 0 && nr < h && size[n] == 0 &&
                    getCell(field, nx, nr) == kind) {
                    size[n] = -1;
                    region.push_back(nr * w + nx);
                }
            }
        }
        for (std::int32_t cell : region) {
            size[static_cast<std::size_t>(cell)] = static_cast<std::int32_t>(region.size());
        }
    }
    for (std::int32_t x = 0; x < w; ++x) {
        bool gapBelow = false;
        for (std::int32_t r = h - 1; r >= -field.limboRows; --r) {
            const Cell& cell = field.at(x, r);
            if (r >= 0) {
                ASSERT_EQ(cell.groupSize, size[static_cast<std::size_t>(r * w + x)])
                    << "column " << x << ", row " << r;
                ASSERT_EQ(cell.visited, 0);
                ASSERT_EQ(cell.linkMask, 0);
            }
            gapBelow = cell.kind == CellKind::Empty || (gapBelow && cell.kind != CellKind::Block);
            const bool floats = gapBelow && cell.kind != CellKind::Empty;
            // A blob that landed in the last gravity step rests as well.
            const bool resting = cell.fallState == kResting || cell.fallState == kLanded;
            ASSERT_EQ(cell.fallState == kFloating, floats) << "column " << x << ", row " << r;
            ASSERT_TRUE(floats || resting) << "column " << x << ", row " << r;
        }
    }
}

} // namespace peterin::testing
