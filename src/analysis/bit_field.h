#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/chain_outcome.h"
#include "play/falling_pair.h"
#include "rules/field.h"

namespace peterin::analysis {

// A field of the usual sizes as one 128-bit word per cell kind: a 16-bit lane per column, bit
// r + 3 of a lane standing for row r (the hidden top row is bit 0). Group search becomes flood
// fills by shifts and masks, and gravity a per-column compaction, so a whole chain resolves in
// well under a microsecond. It holds only the kinds: what the turn cycle does to a settled
// field is a function of them.
class BitField {
  public:
    using Word = unsigned __int128;

    static constexpr int kMaxWidth = 8;
    static constexpr int kMaxHeight = 13; // visible rows; with the three hidden rows, 16 bits

    // The field as a BitField, or nothing when it does not fit: wider or higher than the
    // limits, a LimboArea of other than one row, or a block where blobs fall (rows -1 down),
    // which would split a column into separately falling parts.
    static std::optional<BitField> from(const Field& field, const ChainRules& rules);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    CellKind kind(std::int32_t x, std::int32_t r) const;
    // Whether a blob cannot enter (x, r): outside the field or not empty.
    bool blocked(std::int32_t x, std::int32_t r) const;

    // The drop key on `pair` (one row down when it fits, then written over whatever is there);
    // false when its pivot cell is blocked and the pair is lost. Call resolve() afterwards.
    bool drop(const FallingPair& pair);
    // Writes one blob (a test blob of the chain potential); call resolve() afterwards unless it
    // was put where it rests.
    void put(std::int32_t x, std::int32_t r, CellKind kind);
    // The row a blob dropped into column x comes to rest in, or nothing when the column is full
    // up to the LimboArea.
    std::optional<std::int32_t> restingRow(std::int32_t x) const;
    // restingRow() of every column at once, -1 where it is the LimboArea or nothing.
    std::array<std::int32_t, kMaxWidth> restingRows() const;
    // Cells in the region of equal colour of the visible cell (x, r); 0 for no colour blob.
    std::int32_t regionSize(std::int32_t x, std::int32_t r) const;

    // Drops `n` nuisance blobs a row at a time, as a batch falls (the last row from the left).
    void dropNuisance(std::int32_t n);
    // Lets everything fall, without resolving anything.
    void fall();
    // Lets everything fall and runs the chain to its end. With `steps` the score of every step
    // is appended to it.
    // `stepsBefore` continues a chain already that many steps long (its steps score as the
    // later ones they are; the outcome counts them too).
    ChainOutcome resolve(std::vector<std::int32_t>* steps = nullptr, std::int32_t stepsBefore = 0);

    // The field written back into `field` (sized alike), each cell set as setCell would.
    void writeTo(Field& field) const;

    bool operator==(const BitField& other) const { return boards_ == other.boards_; }

    // Pairs of side-by-side (or stacked) visible blobs of one colour.
    std::int32_t touchingPairs() const;
    // Groups of three visible blobs of one colour, counted by the blob that touches both others.
    std::int32_t groupsOfThree() const;
    // A copy that answers blocked() from a snapshot of the cells, for the many tests of a
    // placement search on one field.
    struct Snapshot {
        Word taken;
        Word inside;
        bool operator()(std::int32_t x, std::int32_t r) const {
            return x < 0 || x >= kMaxWidth || r < -3 || r >= kMaxHeight ||
                   ((taken | ~inside) >> (x * 16 + r + 3) & 1) != 0;
        }
    };
    Snapshot snapshot() const { return {occupied(), inside_}; }

    // Blobs of any kind in the visible rows and the LimboArea.
    std::int32_t blobCount() const;
    // Blobs above the LimboArea, where nothing falls: they stay there for good.
    std::int32_t strandedBlobs() const;

    // The raw words, for evaluations that work on whole sets of cells (bit r + 3 of lane x).
    Word cellsOf(CellKind kind) const {
        const auto code = static_cast<int>(kind);
        return code >= 1 && code <= 8 ? boards_[static_cast<std::size_t>(code - 1)] : Word{0};
    }
    Word occupiedCells() const { return occupied(); }
    Word visibleCells() const { return visible_; }
    // A hash of the cells, for finding one field reached by several lines of a search.
    std::uint64_t hash() const;

  private:
    Word occupied() const;
    void settle(std::uint32_t columns);
    // `stacks`: the occupied cells of the falling rows.
    void settlePext(std::uint32_t columns, Word stacks);
    void settleTable(std::uint32_t columns, Word stacks);
    bool vanishStep(ChainOutcome& outcome, std::vector<std::int32_t>* steps);

    std::array<Word, 8> boards_{}; // kinds Red (1) to Block (8) at index kind - 1
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    ChainRules rules_;
    Word visible_ = 0; // the cells of the visible rows
    Word falling_ = 0; // the cells where blobs fall: the LimboArea and the visible rows
    Word inside_ = 0;  // every cell of the field
    // Cells written or moved since the field last held no vanishing group: only a group with
    // one of them can vanish (every other group was there before, too small), so the group
    // search starts only there.
    Word moved_ = 0;
};

} // namespace peterin::analysis
