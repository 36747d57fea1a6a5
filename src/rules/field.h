#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "rules/cell.h"
#include "rules/score.h"

namespace peterin {

// One level of a depth-first flood fill, kept on the heap so that regions of any size are safe.
struct FillFrame {
    std::int32_t x;
    std::int32_t r;
    std::int32_t direction; // next direction to try: 0 right, 1 down, 2 left, 3 up, 4 done
    std::int32_t cameFrom;  // direction that leads back to the cell it was entered from, or -1
};

// One cell reached by a breadth-first region count.
struct FillCell {
    std::int32_t index; // in Field::cells
    std::int32_t x;
    std::int32_t r;
};

// One player's grid.
//
// Rows run from topRow() (the hidden top row) through the HeavenArea row and the LimboArea rows
// (-limboRows to -1) to the visible rows 0 to height - 1. The cells are one contiguous block,
// column by column: column 0 of the block is the left wall, 1 to width hold the field's columns
// 0 to width - 1, width + 1 is the right wall. Each column holds height + limboRows + 3 cells; row
// r sits at r + limboRows + 2 and the last cell is the floor. Walls and floor are blocks that no
// operation changes.
//
// A field without cells (default-constructed, or after a failed resize) has all sizes 0; every
// operation accepts it and does nothing.
struct Field {
    std::vector<Cell> cells;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t limboRows = 0;
    ScoreRecord* scoreRecord = nullptr; // the owning player's record; not owned, shared by copies

    // Scratch space of the region counts and fills, sized with the field so that the recount of
    // every gravity step does not allocate; only the depth-first stack grows with the regions.
    std::vector<FillFrame> fillStack;
    std::vector<FillCell> fillQueue;
    std::vector<std::int32_t> regionLabels; // per visible cell, column by column
    std::vector<std::int32_t> regionSizes;

    bool hasCells() const { return !cells.empty(); }
    std::int32_t columnLength() const { return cells.empty() ? 0 : height + limboRows + 3; }
    // The hidden top row; the HeavenArea is the row below it, then the LimboArea.
    std::int32_t topRow() const { return -(limboRows + 2); }
    std::int32_t heavenRow() const { return -(limboRows + 1); }

    // Column x (0 to width - 1) and row r (topRow() to height - 1) lie inside the field.
    bool contains(std::int32_t x, std::int32_t r) const {
        return x >= 0 && x < width && r >= topRow() && r < height && hasCells();
    }
    // Inside the visible rows, the only ones that take part in connections.
    bool isVisible(std::int32_t x, std::int32_t r) const {
        return x >= 0 && x < width && r >= 0 && r < height;
    }
    // Index of row r (topRow() to height, height being the floor) in block column `column`
    // (0 = left wall, width + 1 = right wall).
    std::size_t index(std::int32_t column, std::int32_t r) const {
        return static_cast<std::size_t>(column) * static_cast<std::size_t>(columnLength()) +
               static_cast<std::size_t>(r + limboRows + 2);
    }
    // The cell of field column x, row r. Requires contains(x, r) (or the floor row).
    const Cell& at(std::int32_t x, std::int32_t r) const { return cells[index(x + 1, r)]; }
    Cell& at(std::int32_t x, std::int32_t r) { return cells[index(x + 1, r)]; }
};

// Sizes the field and empties it; walls and floor become blocks. A negative argument keeps the
// current value; a width or height of 0 becomes 1. Returns 0, or -1 when memory runs out (or
// the size cannot be addressed), leaving a field without cells.
int resizeField(Field& field, std::int32_t width, std::int32_t height, std::int32_t limboRows);

// Every cell inside the walls becomes empty and resting; then the groups are recounted.
void clearField(Field& field);

// The kind at (x, r); Empty outside the field.
CellKind getCell(const Field& field, std::int32_t x, std::int32_t r);

// The whole cell at (x, r), or nullptr outside the field (for drawing and inspection).
const Cell* cellAt(const Field& field, std::int32_t x, std::int32_t r);

// The one way single cells are written: stores the kind, brings the group sizes of the affected
// regions up to date and recomputes the fall state of the cell and what stands on it. Ignored
// outside the field.
void setCell(Field& field, std::int32_t x, std::int32_t r, CellKind kind);

// One write of setCells.
struct CellWrite {
    std::int32_t x;
    std::int32_t r;
    CellKind kind;
};

// The same as setCell for each write in turn, but recounts the groups once at the end instead
// of after every write: for filling large regions cell by cell (reading a position, say), where
// each setCell would count the whole region again. Like any recount it clears the marks a
// tallying group search left.
void setCells(Field& field, std::span<const CellWrite> writes);

// Recomputes groupSize of every visible cell from scratch; leaves linkMask and visited 0 there.
void recountGroups(Field& field);

// Recomputes the fall state of the cell at (x, r) and of the blobs stacked on it, up to the
// top LimboArea row.
void settleFrom(Field& field, std::int32_t x, std::int32_t r);

// Deep copy of sizes and cells; the copy refers to the same ScoreRecord. Returns 0, or -1 when
// memory runs out (the destination is then left without cells).
int copyField(Field& destination, const Field& source);

// Same sizes and the same five words in every cell (scratch space and score record ignored).
bool sameContents(const Field& a, const Field& b);

} // namespace peterin
