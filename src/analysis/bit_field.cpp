#include "analysis/bit_field.h"

#include "analysis/word_bits.h"

#include <algorithm>
#include <bit>
#include <climits>

#include "rules/score.h"

// The flood fills count cells all the time; on x86-64 the hot functions get a second version
// that uses the processor's population count, picked when the program loads if it has one.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define PETERIN_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
// Gravity packs each column's blobs with the processor's bit extraction where it has one.
#define PETERIN_PEXT 1
#include <immintrin.h>
#else
#define PETERIN_POPCOUNT_CLONES
#define PETERIN_PEXT 0
#endif

namespace peterin::analysis {

namespace {

using namespace words;

constexpr int bitOf(std::int32_t x, std::int32_t r) {
    return x * kLane + r + kHiddenRows;
}

constexpr Word one(int bit) {
    return Word{1} << bit;
}

std::uint32_t lane(Word w, int x) {
    return static_cast<std::uint32_t>(w >> (x * kLane)) & 0xFFFFu;
}

Word withLane(Word w, int x, std::uint32_t bits) {
    const int shift = x * kLane;
    return (w & ~(Word{0xFFFF} << shift)) | (Word{bits} << shift);
}

// Bit extraction (the bits of x where mask is set, packed to the bottom) for 8-bit values by
// table, so gravity costs the same on every processor.
struct ExtractTable {
    std::array<std::uint8_t, 65536> bits{};
    ExtractTable() {
        for (unsigned mask = 0; mask < 256; ++mask) {
            for (unsigned x = 0; x < 256; ++x) {
                unsigned out = 0;
                int k = 0;
                for (int b = 0; b < 8; ++b) {
                    if ((mask >> b) & 1u) {
                        out |= ((x >> b) & 1u) << k++;
                    }
                }
                bits[mask * 256 + x] = static_cast<std::uint8_t>(out);
            }
        }
    }
};

std::uint32_t extract16(std::uint32_t x, std::uint32_t mask) {
    static const ExtractTable table;
    const std::uint32_t lowMask = mask & 0xFFu;
    const std::uint32_t low = table.bits[lowMask * 256 + (x & 0xFFu)];
    const std::uint32_t high = table.bits[(mask >> 8) * 256 + ((x >> 8) & 0xFFu)];
    return low | (high << std::popcount(lowMask));
}

} // namespace

std::optional<BitField> BitField::from(const Field& field, const ChainRules& rules) {
    if (!field.hasCells() || field.width > kMaxWidth || field.height > kMaxHeight ||
        field.limboRows != 1 || rules.threshold < 1) {
        return std::nullopt;
    }
    BitField b;
    b.width_ = field.width;
    b.height_ = field.height;
    b.rules_ = rules;
    for (std::int32_t x = 0; x < field.width; ++x) {
        for (std::int32_t r = field.topRow(); r < field.height; ++r) {
            const auto bit = one(bitOf(x, r));
            b.inside_ |= bit;
            if (r >= -1) {
                b.falling_ |= bit;
            }
            if (r >= 0) {
                b.visible_ |= bit;
            }
            const CellKind kind = field.at(x, r).kind;
            if (kind == CellKind::Empty) {
                continue;
            }
            const auto code = static_cast<int>(kind);
            if (code < 1 || code > 8 || (kind == CellKind::Block && r >= -1)) {
                return std::nullopt;
            }
            b.boards_[static_cast<std::size_t>(code - 1)] |= bit;
        }
    }
    b.moved_ = b.inside_;
    return b;
}

CellKind BitField::kind(std::int32_t x, std::int32_t r) const {
    if (x < 0 || x >= width_ || r < -kHiddenRows || r >= height_) {
        return CellKind::Empty;
    }
    const Word bit = one(bitOf(x, r));
    for (std::size_t k = 0; k < boards_.size(); ++k) {
        if ((boards_[k] & bit) != 0) {
            return static_cast<CellKind>(k + 1);
        }
    }
    return CellKind::Empty;
}

bool BitField::blocked(std::int32_t x, std::int32_t r) const {
    if (x < 0 || x >= width_ || r < -kHiddenRows || r >= height_) {
        return true;
    }
    return (occupied() & one(bitOf(x, r))) != 0;
}

BitField::Word BitField::occupied() const {
    Word all = 0;
    for (const Word& board : boards_) {
        all |= board;
    }
    return all;
}

bool BitField::drop(const FallingPair& pair) {
    const auto isBlocked = [this](std::int32_t x, std::int32_t r) { return blocked(x, r); };
    std::int32_t row = pair.row;
    if (fitsOn(isBlocked, pair.cells, pair.x, row + 1)) {
        row += 1;
    }
    if (blocked(pair.x, row)) {
        return false;
    }
    // Top row first, each row left to right, each write replacing what was there.
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const CellKind k = pair.cells[static_cast<std::size_t>(blockIndex(dx, dy))];
            if (k != CellKind::Empty) {
                put(pair.x + dx, row + dy, k);
            }
        }
    }
    return true;
}

void BitField::put(std::int32_t x, std::int32_t r, CellKind kind) {
    if (x < 0 || x >= width_ || r < -kHiddenRows || r >= height_) {
        return;
    }
    const Word bit = one(bitOf(x, r));
    for (Word& board : boards_) {
        board &= ~bit;
    }
    moved_ |= bit;
    const auto code = static_cast<int>(kind);
    if (code >= 1 && code <= 8) {
        boards_[static_cast<std::size_t>(code - 1)] |= bit;
    }
}

PETERIN_POPCOUNT_CLONES std::optional<std::int32_t> BitField::restingRow(std::int32_t x) const {
    if (x < 0 || x >= width_) {
        return std::nullopt;
    }
    // Blobs rest on each other from the floor up, so the stack's height is its blob count.
    const std::uint32_t stack = lane(occupied() & falling_, x);
    const std::int32_t r = height_ - 1 - std::popcount(stack);
    if (r < -1) {
        return std::nullopt;
    }
    return r;
}

PETERIN_POPCOUNT_CLONES std::array<std::int32_t, BitField::kMaxWidth>
BitField::restingRows() const {
    const Word stacks = occupied() & falling_;
    std::array<std::int32_t, kMaxWidth> rows{};
    for (std::int32_t x = 0; x < width_; ++x) {
        rows[static_cast<std::size_t>(x)] =
            std::max(-1, height_ - 1 - std::popcount(lane(stacks, x)));
    }
    return rows;
}

PETERIN_POPCOUNT_CLONES std::int32_t BitField::regionSize(std::int32_t x, std::int32_t r) const {
    const CellKind k = kind(x, r);
    if (!isColour(k) || r < 0) {
        return 0;
    }
    const Word same = boards_[static_cast<std::size_t>(k) - 1] & visible_;
    Word region = one(bitOf(x, r));
    for (;;) {
        const Word grown = spread(region) & same;
        if (grown == region) {
            return popcount(region);
        }
        region = grown;
    }
}

PETERIN_POPCOUNT_CLONES std::int32_t BitField::touchingPairs() const {
    std::int32_t n = 0;
    for (std::size_t k = 0; k < 5; ++k) {
        const Word c = boards_[k] & visible_;
        n += popcount(c & (c >> 1)) + popcount(c & (c >> kLane));
    }
    return n;
}

PETERIN_POPCOUNT_CLONES std::int32_t BitField::groupsOfThree() const {
    // A blob with two neighbours of its colour: once four vanish, a settled field's groups have
    // at most three blobs, and each group of three has one such blob.
    std::int32_t n = 0;
    for (std::size_t k = 0; k < 5; ++k) {
        const Word c = boards_[k] & visible_;
        const Word up = c & (c >> 1);
        const Word down = c & (c << 1);
        const Word left = c & (c >> kLane);
        const Word right = c & (c << kLane);
        n += popcount((up & (down | left | right)) | (down & (left | right)) | (left & right));
    }
    return n;
}

PETERIN_POPCOUNT_CLONES std::int32_t BitField::blobCount() const {
    return popcount(occupied() & falling_);
}

PETERIN_POPCOUNT_CLONES std::int32_t BitField::strandedBlobs() const {
    return popcount(occupied() & inside_ & ~falling_);
}

std::uint64_t BitField::hash() const {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (const Word& board : boards_) {
        for (const auto half :
             {static_cast<std::uint64_t>(board), static_cast<std::uint64_t>(board >> 64)}) {
            h ^= half + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
            h *= 0xBF58476D1CE4E5B9ull;
        }
    }
    return h ^ (h >> 31);
}

#if PETERIN_PEXT
#pragma GCC push_options
#pragma GCC target("bmi2,popcnt")
void BitField::settlePext(std::uint32_t columns, Word stacks) {
    // All columns of a kind at once: its blobs, taken in the order of the cells that hold any
    // blob, are put down in that order into the cells a packed column holds. The columns
    // settle() was not asked for are settled already and stay as they are.
    const auto low = [](Word w) { return static_cast<std::uint64_t>(w); };
    const auto high = [](Word w) { return static_cast<std::uint64_t>(w >> 64); };
    // Four lanes to a 64-bit half: shifts of one half are cheap, of the whole word not.
    const std::array<std::uint64_t, 2> stack = {low(stacks), high(stacks)};
    std::array<std::uint64_t, 2> packed = stack;
    std::array<std::uint64_t, 2> moved = {0, 0};
    const std::uint32_t fallMask = lane(falling_, 0);
    const int bottom = height_ + kHiddenRows; // one past the lowest row's bit
    for (std::uint32_t left = columns & ((1u << width_) - 1u); left != 0; left &= left - 1) {
        const int x = std::countr_zero(left);
        const auto half = static_cast<std::size_t>(x >> 2);
        const int shift = (x & 3) * kLane;
        const auto cells = static_cast<std::uint32_t>(stack[half] >> shift) & 0xFFFFu;
        const int n = std::popcount(cells);
        const std::uint32_t column = ((1u << n) - 1u) << (bottom - n);
        packed[half] =
            (packed[half] & ~(std::uint64_t{0xFFFF} << shift)) | (std::uint64_t{column} << shift);
        if (cells != column) {
            // Everything down to the lowest hole moved; what lies below it stays.
            const int lowestHole = 31 - std::countl_zero(fallMask & ~cells);
            moved[half] |= std::uint64_t{column & ((2u << lowestHole) - 1u)} << shift;
        }
    }
    if (packed == stack) {
        return;
    }
    moved_ |= (Word{moved[1]} << 64) | moved[0];
    for (Word& board : boards_) {
        if ((board & stacks) == 0) {
            continue;
        }
        const Word fallen = (Word{_pdep_u64(_pext_u64(high(board), stack[1]), packed[1])} << 64) |
                            _pdep_u64(_pext_u64(low(board), stack[0]), packed[0]);
        board = (board & ~falling_) | fallen;
    }
}
#pragma GCC pop_options
#endif

PETERIN_POPCOUNT_CLONES void BitField::settleTable(std::uint32_t columns, Word stacks) {
    const std::uint32_t fallMask = lane(falling_, 0);
    const int bottom = height_ + kHiddenRows; // one past the lowest row's bit
    for (std::int32_t x = 0; x < width_; ++x) {
        if (((columns >> x) & 1u) == 0) {
            continue;
        }
        const std::uint32_t stack = lane(stacks, x);
        const int n = std::popcount(stack);
        const std::uint32_t packed = ((1u << n) - 1u) << (bottom - n);
        if (stack == packed) {
            continue;
        }
        // Everything down to the lowest hole moved; what lies below it stays.
        const std::uint32_t holes = fallMask & ~stack;
        const int lowestHole = 31 - std::countl_zero(holes);
        moved_ |= Word{packed & ((2u << lowestHole) - 1u)} << (x * kLane);
        for (Word& board : boards_) {
            const std::uint32_t bits = lane(board, x);
            if ((bits & fallMask) == 0) {
                continue;
            }
            const std::uint32_t fallen = extract16(bits, stack) << (bottom - n);
            board = withLane(board, x, (bits & ~fallMask) | fallen);
        }
    }
}

void BitField::settle(std::uint32_t columns) {
    // Nothing falls when no blob has an empty cell of the falling rows under it (a lane's
    // lowest row has none: the bit under it lies outside the falling rows).
    const Word stacks = occupied() & falling_;
    if ((stacks & (falling_ >> 1) & ~(stacks >> 1)) == 0) {
        return;
    }
#if PETERIN_PEXT
    static const bool pext = __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
    if (pext) {
        settlePext(columns, stacks);
        return;
    }
#endif
    settleTable(columns, stacks);
}

PETERIN_POPCOUNT_CLONES bool BitField::vanishStep(ChainOutcome& outcome,
                                                  std::vector<std::int32_t>* steps) {
    Word vanishing = 0;
    ScoreRecord record;
    // The group bonus is that of the group met last scanning rows from the top, each from the
    // left: the group whose first cell in that order comes last.
    int lastGroupOrder = -1;
    const Word seeds = moved_ & visible_;
    for (int k = 0; k < 5; ++k) {
        Word left = boards_[static_cast<std::size_t>(k)] & visible_;
        if (popcount(left) < rules_.threshold) {
            continue;
        }
        while ((left & seeds) != 0) {
            Word region = one(lowestBit(left & seeds));
            for (;;) {
                const Word grown = spread(region) & left;
                if (grown == region) {
                    break;
                }
                region = grown;
            }
            left &= ~region;
            const int size = popcount(region);
            if (size < rules_.threshold) {
                continue;
            }
            vanishing |= region;
            record.cleared += size;
            record.colourMask |= 1 << (k + 1);
            std::uint32_t rows = 0;
            for (std::int32_t x = 0; x < width_; ++x) {
                rows |= lane(region, x);
            }
            const int topBit = std::countr_zero(rows);
            int firstColumn = 0;
            while ((lane(region, firstColumn) & (1u << topBit)) == 0) {
                ++firstColumn;
            }
            const int order = topBit * kMaxWidth + firstColumn;
            if (order > lastGroupOrder) {
                lastGroupOrder = order;
                record.groupBonus =
                    tableEntry(record.groupBonusTable, record.groupBonusCount, size - 1);
            }
        }
    }
    if (vanishing == 0) {
        moved_ = 0;
        return false;
    }
    outcome.vanishes += 1;
    if (rules_.countSteps) {
        outcome.chains += 1;
        outcome.mostCleared = std::max(outcome.mostCleared, record.cleared);
        outcome.mostColours = std::max(
            outcome.mostColours, std::popcount(static_cast<unsigned>(record.colourMask) & 0x3Eu));
        const std::int32_t step = stepScore(outcome.chains, record);
        outcome.score = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{outcome.score} + step, INT32_MAX));
        if (steps != nullptr) {
            steps->push_back(step);
        }
    }
    // Nuisance beside a vanishing blob inside the visible rows goes with it.
    Word& nuisance = boards_[static_cast<std::size_t>(CellKind::Nuisance) - 1];
    const Word erased = vanishing | (nuisance & spread(vanishing) & visible_);
    for (Word& board : boards_) {
        board &= ~erased;
    }
    std::uint32_t columns = 0;
    for (std::int32_t x = 0; x < width_; ++x) {
        if (lane(erased, x) != 0) {
            columns |= 1u << x;
        }
    }
    moved_ = 0;
    settle(columns);
    return true;
}

void BitField::dropNuisance(std::int32_t n) {
    for (std::int32_t left = n; left > 0; left -= width_) {
        for (std::int32_t x = 0; x < std::min(left, width_); ++x) {
            // A blob whose LimboArea cell is taken is lost, as in the turn cycle.
            if (!blocked(x, -1)) {
                put(x, -1, CellKind::Nuisance);
            }
        }
        settle((1u << width_) - 1u);
    }
}

void BitField::fall() {
    settle((1u << width_) - 1u);
}

ChainOutcome BitField::resolve(std::vector<std::int32_t>* steps, std::int32_t stepsBefore) {
    settle((1u << width_) - 1u);
    ChainOutcome outcome;
    outcome.chains = rules_.countSteps ? stepsBefore : 0;
    outcome.vanishes = stepsBefore;
    while (vanishStep(outcome, steps)) {
    }
    return outcome;
}

void BitField::writeTo(Field& field) const {
    for (std::int32_t x = 0; x < width_; ++x) {
        for (std::int32_t r = -kHiddenRows; r < height_; ++r) {
            if (getCell(field, x, r) != kind(x, r)) {
                setCell(field, x, r, kind(x, r));
            }
        }
    }
}

} // namespace peterin::analysis
