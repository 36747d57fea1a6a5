#include "rules/field.h"

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "rules/field_internal.h"
#include "settings/limits.h"

namespace peterin {

namespace {

// Fill stacks hold 32-bit positions, so a field may not exceed this many cells.
constexpr std::int64_t kMaxCells = std::numeric_limits<std::int32_t>::max();

void releaseCells(Field& field) {
    std::vector<Cell>().swap(field.cells);
    std::vector<FillCell>().swap(field.fillQueue);
    std::vector<std::int32_t>().swap(field.regionLabels);
    std::vector<std::int32_t>().swap(field.regionSizes);
    field.width = 0;
    field.height = 0;
    field.limboRows = 0;
}

// Sizes the scratch space of the region counts for `visible` cells up front, so that no later
// tick allocates. The depth-first stack grows only with the regions the fills meet.
void sizeScratch(Field& field, std::size_t visible) {
    field.fillQueue.resize(visible + 1);
    field.regionLabels.resize(visible);
    field.regionSizes.resize(visible);
}

bool isValidKind(CellKind kind) {
    const auto code = static_cast<std::int32_t>(kind);
    return code >= 0 && code < kCellKindCount;
}

// Brings groupSize up to date around the visible cell (x, r) whose kind changed from `oldKind`:
// only the regions that touched the cell before and the cell's new region can change.
void updateGroupsAround(Field& field, std::int32_t x, std::int32_t r, CellKind oldKind) {
    std::size_t gathered = 0;
    auto recount = [&](std::int32_t cx, std::int32_t cr) {
        const std::int32_t count = detail::gatherRegion(field, cx, cr, gathered);
        for (std::size_t i = gathered; i < gathered + static_cast<std::size_t>(count); ++i) {
            field.cells[static_cast<std::size_t>(field.fillQueue[i].index)].groupSize = count;
        }
        gathered += static_cast<std::size_t>(count);
    };
    Cell& cell = field.at(x, r);
    if (oldKind != CellKind::Empty && oldKind != cell.kind) {
        const std::int32_t dx[4] = {1, 0, -1, 0};
        const std::int32_t dr[4] = {0, 1, 0, -1};
        for (int d = 0; d < 4; ++d) {
            const std::int32_t nx = x + dx[d];
            const std::int32_t nr = r + dr[d];
            // A neighbour already marked belongs to a region recounted from another side.
            if (field.isVisible(nx, nr) && field.at(nx, nr).kind == oldKind &&
                field.at(nx, nr).linkMask == 0) {
                recount(nx, nr);
            }
        }
    }
    if (cell.kind == CellKind::Empty) {
        cell.groupSize = 0;
        cell.linkMask = 0;
    } else {
        recount(x, r);
    }
    for (std::size_t i = 0; i < gathered; ++i) {
        field.cells[static_cast<std::size_t>(field.fillQueue[i].index)].linkMask = 0;
    }
}

} // namespace

namespace detail {

std::int32_t gatherRegion(Field& field, std::int32_t x, std::int32_t r, std::size_t first) {
    // Runs for every cell on every tick, so it works on raw indices (right and left are a column
    // length away, down and up one cell) and without branching on the kinds it compares: each
    // neighbour is written to the queue's end and kept only when it belongs to the region.
    auto& queue = field.fillQueue;
    const std::size_t needed =
        static_cast<std::size_t>(field.width) * static_cast<std::size_t>(field.height) + 1;
    if (queue.size() < needed) {
        queue.resize(needed);
    }
    FillCell* const entries = queue.data();
    Cell* const cells = field.cells.data();
    const std::int32_t length = field.columnLength();
    const std::int32_t width = field.width;
    const std::int32_t height = field.height;
    const auto start = static_cast<std::int32_t>(field.index(x + 1, r));
    const CellKind kind = cells[start].kind;
    cells[start].linkMask = 1;
    entries[first] = {start, x, r};
    std::size_t end = first + 1;
    auto enter = [&](std::int32_t index, std::int32_t nx, std::int32_t nr) {
        Cell& next = cells[index];
        const bool joins = (next.kind == kind) & (next.linkMask == 0);
        next.linkMask |= static_cast<std::int32_t>(joins);
        entries[end] = {index, nx, nr};
        end += static_cast<std::size_t>(joins);
    };
    for (std::size_t i = first; i < end; ++i) {
        const FillCell cell = entries[i];
        if (cell.x + 1 < width) {
            enter(cell.index + length, cell.x + 1, cell.r);
        }
        if (cell.r + 1 < height) {
            enter(cell.index + 1, cell.x, cell.r + 1);
        }
        if (cell.x > 0) {
            enter(cell.index - length, cell.x - 1, cell.r);
        }
        if (cell.r > 0) {
            enter(cell.index - 1, cell.x, cell.r - 1);
        }
    }
    return static_cast<std::int32_t>(end - first);
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
    // The ceiling is checked again here, where the memory is taken, so that no caller can ask for
    // more than the documented limit.
    if (columns * length > kMaxCells || !fieldSizeAllowed(width, height)) {
        return -1;
    }
    try {
        field.cells.assign(static_cast<std::size_t>(columns * length), Cell{});
        sizeScratch(field, static_cast<std::size_t>(std::int64_t{width} * height));
    } catch (const std::bad_alloc&) {
        releaseCells(field);
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

void setCells(Field& field, std::span<const CellWrite> writes) {
    bool visibleChanged = false;
    for (const CellWrite& write : writes) {
        if (!field.contains(write.x, write.r) || !isValidKind(write.kind)) {
            continue;
        }
        Cell& cell = field.at(write.x, write.r);
        cell.kind = write.kind;
        if (field.isVisible(write.x, write.r)) {
            visibleChanged = true;
        } else {
            cell.groupSize = 0;
            cell.linkMask = 0;
        }
        // Fall states only read kinds and fall states, so settling in write order gives what
        // the single writes give.
        settleFrom(field, write.x, write.r);
    }
    if (visibleChanged) {
        recountGroups(field);
    }
}

void recountGroups(Field& field) {
    if (!field.hasCells()) {
        return;
    }
    // This runs on every gravity step, so instead of a fill per region it labels the regions in
    // one pass along the columns (the way the cells lie in memory), joining each cell with the
    // same-kind cells above and to the left in a union-find forest; a region's size does not
    // depend on the order its cells are found in.
    const std::int32_t width = field.width;
    const std::int32_t height = field.height;
    const std::size_t visible = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    auto& label = field.regionLabels;
    auto& size = field.regionSizes;
    if (label.size() < visible) {
        label.resize(visible);
        size.resize(visible);
    }
    auto root = [&label](std::int32_t v) {
        while (label[v] != v) {
            label[v] = label[label[v]];
            v = label[v];
        }
        return v;
    };
    Cell* const cells = field.cells.data();
    const std::size_t length = static_cast<std::size_t>(field.columnLength());
    auto column = [&](std::int32_t x) { return cells + field.index(x + 1, 0); };
    for (std::int32_t x = 0; x < width; ++x) {
        Cell* const here = column(x);
        const Cell* const left = here - length;
        const std::int32_t first = x * height;
        for (std::int32_t r = 0; r < height; ++r) {
            const std::int32_t v = first + r;
            const CellKind kind = here[r].kind;
            here[r].linkMask = 0;
            here[r].visited = 0;
            size[v] = 0;
            label[v] = r > 0 && here[r - 1].kind == kind ? label[v - 1] : v;
            if (x > 0 && left[r].kind == kind) {
                std::int32_t a = root(v);
                std::int32_t b = root(v - height);
                if (a != b) {
                    label[a > b ? a : b] = a > b ? b : a;
                }
            }
        }
    }
    for (std::int32_t v = 0; v < static_cast<std::int32_t>(visible); ++v) {
        label[v] = root(v);
        ++size[label[v]];
    }
    for (std::int32_t x = 0; x < width; ++x) {
        Cell* const here = column(x);
        const std::int32_t first = x * height;
        for (std::int32_t r = 0; r < height; ++r) {
            here[r].groupSize = here[r].kind == CellKind::Empty ? 0 : size[label[first + r]];
        }
    }
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
        sizeScratch(destination, static_cast<std::size_t>(source.width) *
                                     static_cast<std::size_t>(source.height));
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
