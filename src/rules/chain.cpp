#include "rules/chain.h"

#include <cstdint>

#include "rules/field_internal.h"
#include "rules/region.h"

namespace peterin {

int gravityStep(Field& field) {
    if (!field.hasCells()) {
        return 0;
    }
    int flags = 0;
    for (std::int32_t x = 0; x < field.width; ++x) {
        // Bottom up, so a floating stack moves together, one row per step. The HeavenArea and
        // the top row are never visited.
        for (std::int32_t r = field.height - 1; r >= -field.limboRows; --r) {
            Cell& cell = field.at(x, r);
            if (cell.fallState == kLanded) {
                cell.fallState = kResting;
                continue;
            }
            if (cell.fallState != kFloating) {
                continue;
            }
            Cell& below = field.at(x, r + 1);
            if (below.kind != CellKind::Empty) {
                // Only reachable if a fall state was set by hand; never overwrite a blob.
                cell.fallState = kResting;
                continue;
            }
            below.kind = cell.kind;
            detail::makeEmpty(cell);
            const Cell& support = field.at(x, r + 2); // at most the floor
            if (support.kind != CellKind::Empty && support.fallState != kFloating) {
                below.fallState = kLanded;
                flags |= kGravityLanded;
            } else {
                below.fallState = kFloating;
                flags |= kGravityFloating;
            }
        }
    }
    recountGroups(field);
    return flags;
}

bool findGroups(Field& field, std::int32_t threshold, bool tally) {
    if (threshold <= 0 || !field.hasCells()) {
        return false;
    }
    ScoreRecord* record = tally ? field.scoreRecord : nullptr;
    if (record != nullptr) {
        for (std::int32_t x = 0; x < field.width; ++x) {
            for (std::int32_t r = 0; r < field.height; ++r) {
                field.at(x, r).visited = 0;
            }
        }
    }
    bool found = false;
    // Row by row from the top, left to right: the group bonus is that of the group met last.
    for (std::int32_t r = 0; r < field.height; ++r) {
        for (std::int32_t x = 0; x < field.width; ++x) {
            const Cell& cell = field.at(x, r);
            if (!isColour(cell.kind) || cell.groupSize < threshold) {
                continue;
            }
            if (record == nullptr) {
                return true;
            }
            found = true;
            if (cell.visited != 0) {
                continue;
            }
            record->cleared += cell.groupSize;
            record->groupBonus =
                tableEntry(record->groupBonusTable, record->groupBonusCount, cell.groupSize - 1);
            record->colourMask |= 1 << static_cast<std::int32_t>(cell.kind);
            markRegion(field, cell.kind, x, r);
        }
    }
    return found;
}

bool vanishGroups(Field& field, std::int32_t threshold) {
    if (threshold <= 0 || !field.hasCells()) {
        return false;
    }
    bool erased = false;
    for (std::int32_t r = 0; r < field.height; ++r) {
        for (std::int32_t x = 0; x < field.width; ++x) {
            const Cell& cell = field.at(x, r);
            if (isColour(cell.kind) && cell.groupSize >= threshold) {
                eraseRegion(field, cell.kind, x, r);
                erased = true;
            }
        }
    }
    return erased;
}

} // namespace peterin
