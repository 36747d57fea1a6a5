#include "rules/field.h"

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "rules/field_internal.h"

namespace peterin {

namespace {

// Fill stacks hold 32-bit positions, so a field may not exceed this many cells.
constexpr std::int64_t kMaxCells = std::numeric_limits<std::int32_t>::max();

void releaseCells(Field& field) {
    std::vector<Cell>().swap(field.cells);
    field.width = 0;
    field.height = 0;
    field.limboRows = 0;
}

bool isValidKind(CellKind kind) {
    const auto code = static_cast<std::int32_t>(kind);
    return code >= 0 && code < kCellKindCount;
}

// Brings groupSize up to date around the visible cell (x, r) whose kind changed from `oldKind`:
// only the regions that touched the cell before and the cell's new region can change.
void updateGroupsAround(Field& field, std::int32_t x, std::int32_t r, CellKind oldKind) {
    auto& stack = field.fillStack;
    stack.clear();
    Cell& cell = field.at(x, r);
    if (oldKind != CellKind::Empty && oldKind != cell.kind) {
        const std::int32_t dx[4] = {1, 0, -1, 0};
        const std::int32_t dr[4] = {0, 1, 0, -1};
        for (int d = 0; d < 4; ++d) {
            const std::int32_t nx = x + dx[d];
            const std::int32_t nr = r + dr[d];
            if (!field.isVisible(nx, nr)) {
                continue;
            }
            const Cell& next = field.at(nx, nr);
            // A neighbour already marked belongs to a region recounted from another side.
            if (next.kind != oldKind || next.linkMask != 0) {
                continue;
            }
            const std::size_t first = stack.size();
            const std::int32_t count = detail::gatherRegion(field, nx, nr);
            for (std::size_t i = first; i < stack.size(); ++i) {
                field.at(stack[i].x, stack[i].r).groupSize = count;
            }
        }
    }
    if (cell.kind == CellKind::Empty) {
        cell.groupSize = 0;
        cell.linkMask = 0;
    } else {
        const std::size_t first = stack.size();
        const std::int32_t count = detail::gatherRegion(field, x, r);
        for (std::size_t i = first; i < stack.size(); ++i) {
            field.at(stack[i].x, stack[i].r).groupSize = count;
        }
    }
    for (const FillFrame& frame : stack) {
        field.at(frame.x, frame.r).linkMask = 0;
    }
}

} // namespace

namespace detail {

std::int32_t gatherRegion(Field& field, std::int32_t x, std::int32_t r) {
    auto& queue = field.fillStack;
    const std::size_t first = queue.size();
    Cell& start = field.at(x, r);
    const CellKind kind = start.kind;
    start.linkMask = 1;
    queue.push_back({x, r, 0, -1});
    auto enter = [&](std::int32_t nx, std::int32_t nr) {
        if (!field.isVisible(nx, nr)) {
            return;
        }
        Cell& next = field.at(nx, nr);
        if (next.kind == kind && next.linkMask == 0) {
            next.linkMask = 1;
            queue.push_back({nx, nr, 0, -1});
        }
    };
    for (std::size_t i = first; i < queue.size(); ++i) {
        const std::int32_t cx = queue[i].x;
        const std::int32_t cr = queue[i].r;
        enter(cx + 1, cr);
        enter(cx, cr + 1);
        enter(cx - 1, cr);
        enter(cx, cr - 1);
    }
    return static_cast<std::int32_t>(queue.size() - first);
}

} // namespace detail

int resizeField(Field& field, std::int32_t width, std::int32_t height, std::int32_t limboRows) {
    if (width < 0) {
        width = field.width;
    }
    if (height < 0) {
        height = field.height;
    }
    if (limboRows < 0) {
        limboRows = field.limboRows;
    }
    if (width == 0) {
        width = 1;
    }
    if (height == 0) {
        height = 1;
    }
    releaseCells(field);

    const std::int64_t columns = std::int64_t{width} + 2;
    const std::int64_t length = std::int64_t{height} + limboRows + 3;
    if (columns * length > kMaxCells) {
        return -1;
    }
    try {
        field.cells.assign(static_cast<std::size_t>(columns * length), Cell{});
        // The recount's queue never holds more than the visible cells; reserving it now keeps
        // every later tick free of allocation.
        field.fillStack.reserve(static_cast<std::size_t>(std::int64_t{width} * height));
    } catch (const std::bad_alloc&) {
        releaseCells(field);
        std::vector<FillFrame>().swap(field.fillStack);
        return -1;
    }
    field.width = width;
    field.height = height;
    field.limboRows = limboRows;
    clearField(field);

    Cell block;
    block.kind = CellKind::Block;
    for (std::int32_t r = field.topRow(); r <= height; ++r) {
        field.cells[field.index(0, r)] = block;
        field.cells[field.index(width + 1, r)] = block;
    }
    for (std::int32_t column = 0; column < width + 2; ++column) {
        field.cells[field.index(column, height)] = block;
    }
    return 0;
}

void clearField(Field& field) {
    if (!field.hasCells()) {
        return;
    }
    for (std::int32_t x = 0; x < field.width; ++x) {
        for (std::int32_t r = field.topRow(); r < field.height; ++r) {
            field.at(x, r) = Cell{};
        }
    }
    recountGroups(field);
}

CellKind getCell(const Field& field, std::int32_t x, std::int32_t r) {
    return field.contains(x, r) ? field.at(x, r).kind : CellKind::Empty;
}

const Cell* cellAt(const Field& field, std::int32_t x, std::int32_t r) {
    return field.contains(x, r) ? &field.at(x, r) : nullptr;
}

void setCell(Field& field, std::int32_t x, std::int32_t r, CellKind kind) {
    if (!field.contains(x, r) || !isValidKind(kind)) {
        return;
    }
    Cell& cell = field.at(x, r);
    const CellKind oldKind = cell.kind;
    cell.kind = kind;
    if (field.isVisible(x, r)) {
        updateGroupsAround(field, x, r, oldKind);
    } else {
        // Cells above the visible rows never connect, so they keep no group and change none.
        cell.groupSize = 0;
        cell.linkMask = 0;
    }
    settleFrom(field, x, r);
}

void recountGroups(Field& field) {
    if (!field.hasCells()) {
        return;
    }
    for (std::int32_t x = 0; x < field.width; ++x) {
        for (std::int32_t r = 0; r < field.height; ++r) {
            Cell& cell = field.at(x, r);
            cell.groupSize = 0;
            cell.linkMask = 0;
            cell.visited = 0;
        }
    }
    // A region's size does not depend on where its count starts, so the scan runs along the
    // columns, the way the cells lie in memory.
    auto& queue = field.fillStack;
    for (std::int32_t x = 0; x < field.width; ++x) {
        for (std::int32_t r = 0; r < field.height; ++r) {
            const Cell& cell = field.at(x, r);
            if (cell.kind == CellKind::Empty || cell.groupSize != 0) {
                continue;
            }
            queue.clear();
            const std::int32_t count = detail::gatherRegion(field, x, r);
            for (const FillFrame& frame : queue) {
                Cell& member = field.at(frame.x, frame.r);
                member.groupSize = count;
                member.linkMask = 0;
            }
        }
    }
    queue.clear();
}

void settleFrom(Field& field, std::int32_t x, std::int32_t r) {
    if (!field.contains(x, r)) {
        return;
    }
    Cell& cell = field.at(x, r);
    std::int32_t state = kResting;
    if (cell.kind == CellKind::Empty) {
        cell.fallState = kResting;
        state = kFloating; // what stands on an empty cell floats
    } else if (cell.kind == CellKind::Block) {
        cell.fallState = kResting;
    } else {
        const Cell& below = field.at(x, r + 1); // the floor below the bottom row
        state =
            below.kind == CellKind::Empty || below.fallState == kFloating ? kFloating : kResting;
        cell.fallState = state;
    }
    // The walk stops at the top LimboArea row: the HeavenArea and the top row never move.
    for (std::int32_t row = r - 1; row >= -field.limboRows; --row) {
        Cell& above = field.at(x, row);
        if (above.kind == CellKind::Empty || above.kind == CellKind::Block ||
            above.fallState == state) {
            break;
        }
        above.fallState = state;
    }
}

int copyField(Field& destination, const Field& source) {
    if (&destination == &source) {
        return 0;
    }
    destination.scoreRecord = source.scoreRecord;
    if (!source.hasCells()) {
        releaseCells(destination);
        return 0;
    }
    try {
        destination.cells = source.cells;
    } catch (const std::bad_alloc&) {
        releaseCells(destination);
        return -1;
    }
    destination.width = source.width;
    destination.height = source.height;
    destination.limboRows = source.limboRows;
    return 0;
}

bool sameContents(const Field& a, const Field& b) {
    return a.width == b.width && a.height == b.height && a.limboRows == b.limboRows &&
           a.cells == b.cells;
}

} // namespace peterin
