#include "rules/region.h"

#include <cstdint>

#include "rules/field_internal.h"

namespace peterin {

namespace {

// Right, down, left, up: the order every fill tries its neighbours in.
constexpr std::int32_t kDx[4] = {1, 0, -1, 0};
constexpr std::int32_t kDr[4] = {0, 1, 0, -1};

constexpr std::int32_t opposite(std::int32_t direction) {
    return (direction + 2) % 4;
}

// Runs a depth-first fill from (x, r) in exactly the order a recursive fill would take, on the
// field's explicit stack. `enter(x, r)` is called for the start cell and for every cell the
// fill moves into; `step(nx, nr)` is called for each neighbour inside the visible rows (except
// the one the fill came from) and answers whether to move into it.
template <typename Enter, typename Step>
void depthFirst(Field& field, std::int32_t x, std::int32_t r, Enter enter, Step step) {
    if (!field.contains(x, r)) {
        return;
    }
    auto& stack = field.fillStack;
    stack.clear();
    enter(x, r);
    stack.push_back({x, r, 0, -1});
    while (!stack.empty()) {
        FillFrame& top = stack.back();
        if (top.direction == 4) {
            stack.pop_back();
            continue;
        }
        const std::int32_t d = top.direction++;
        if (d == top.cameFrom) {
            continue;
        }
        const std::int32_t nx = top.x + kDx[d];
        const std::int32_t nr = top.r + kDr[d];
        if (!field.isVisible(nx, nr) || !step(nx, nr)) {
            continue;
        }
        enter(nx, nr);
        stack.push_back({nx, nr, 0, opposite(d)}); // `top` is not used past this point
    }
}

} // namespace

void countRegion(Field& field, RegionTally& tally, std::int32_t x, std::int32_t r) {
    depthFirst(
        field, x, r,
        [&](std::int32_t cx, std::int32_t cr) {
            Cell& cell = field.at(cx, cr);
            cell.visited = 1;
            cell.linkMask = 0;
            ++tally.count;
        },
        [&](std::int32_t nx, std::int32_t nr) {
            const Cell& next = field.at(nx, nr);
            return next.kind == tally.kind && next.visited == 0;
        });
}

void assignRegion(Field& field, const RegionTally& tally, std::int32_t x, std::int32_t r) {
    depthFirst(
        field, x, r,
        [&](std::int32_t cx, std::int32_t cr) {
            Cell& cell = field.at(cx, cr);
            cell.visited = 0;
            cell.groupSize = tally.count;
        },
        [&](std::int32_t nx, std::int32_t nr) {
            const Cell& next = field.at(nx, nr);
            return next.kind == tally.kind && next.visited != 0;
        });
}

void markRegion(Field& field, CellKind kind, std::int32_t x, std::int32_t r) {
    depthFirst(
        field, x, r, [&](std::int32_t cx, std::int32_t cr) { field.at(cx, cr).visited = 1; },
        [&](std::int32_t nx, std::int32_t nr) {
            const Cell& next = field.at(nx, nr);
            return next.kind == kind && next.visited == 0;
        });
}

void eraseRegion(Field& field, CellKind kind, std::int32_t x, std::int32_t r) {
    auto erase = [&](std::int32_t cx, std::int32_t cr) {
        detail::makeEmpty(field.at(cx, cr));
        settleFrom(field, cx, cr);
    };
    if (kind == CellKind::Empty) {
        // Empty cells would let the erasing wander forever; only the start cell is meant.
        if (field.contains(x, r)) {
            erase(x, r);
        }
        return;
    }
    depthFirst(field, x, r, erase, [&](std::int32_t nx, std::int32_t nr) {
        const CellKind next = field.at(nx, nr).kind;
        if (next == kind) {
            return true;
        }
        if (next == CellKind::Nuisance) {
            erase(nx, nr);
        }
        return false;
    });
}

} // namespace peterin
