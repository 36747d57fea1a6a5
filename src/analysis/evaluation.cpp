#include "analysis/evaluation.h"

#include "analysis/word_bits.h"

#include <algorithm>
#include <array>
#include <bit>

// The region search counts cells all the time: on x86-64 it gets a second version that uses
// the processor's population count, picked when the program loads if it has one.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define PETERIN_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define PETERIN_POPCOUNT_CLONES
#endif

namespace peterin::analysis {

namespace {

using namespace words;

constexpr Word cellBit(std::int32_t x, std::int32_t r) {
    return Word{1} << (x * kLane + r + kHiddenRows);
}

// The sideways and lower neighbours of a cell: where a blob put on top of a column touches.
Word besideAndBelow(Word cell) {
    return (cell << kLane) | (cell >> kLane) | (cell << 1);
}

struct Region {
    Word cells;
    std::int32_t size;
};

// The colour regions of the visible rows with a cell in `reach`, by colour; one per cell at most.
struct Regions {
    std::array<Region, BitField::kMaxWidth * BitField::kMaxHeight> list;
    std::array<int, 6> first{}; // regions of colour c: first[c - 1] to first[c]
    int count = 0;
    std::uint32_t present = 0; // bit c set when colour c has a visible blob anywhere
};

[[gnu::always_inline]] inline void collectRegions(const BitField& b, std::uint32_t colours,
                                                  Word reach, Regions& out) {
    out.count = 0;
    out.present = 0;
    for (int c = 1; c <= 5; ++c) {
        out.first[static_cast<std::size_t>(c - 1)] = out.count;
        if (((colours >> c) & 1u) == 0) {
            continue;
        }
        Word left = b.cellsOf(static_cast<CellKind>(c)) & b.visibleCells();
        out.present |= left != 0 ? 1u << c : 0u;
        while ((left & reach) != 0) {
            Word region = Word{1} << lowestBit(left & reach);
            for (;;) {
                const Word grown = spread(region) & left;
                if (grown == region) {
                    break;
                }
                region = grown;
            }
            left &= ~region;
            out.list[static_cast<std::size_t>(out.count++)] = {region, popcount(region)};
        }
    }
    out.first[5] = out.count;
}

} // namespace

double Evaluator::fireValue(const ChainOutcome& out) const {
    return static_cast<double>(out.score) +
           w_.chainSquare * static_cast<double>(out.vanishes) * out.vanishes;
}

PETERIN_POPCOUNT_CLONES double Evaluator::potential(const BitField& b, const Rests& rests,
                                                    std::int32_t& chains) const {
    const Word visible = b.visibleCells();
    const Word stacked = b.occupiedCells();
    const std::int32_t blobs = b.blobCount();
    double best = 0;
    chains = 0;
    // A blob or two that join the same regions fire the same chain wherever they go: the
    // regions vanish and the added blobs with them.
    struct Tried {
        int colour;
        std::uint64_t regions;
        bool byOne;
    };
    std::array<Tried, 64> tried;
    std::size_t triedCount = 0;
    // The cells a blob, or two stacked, put on top of each column would touch: only the regions
    // reaching one of them can join a trigger.
    std::array<Word, BitField::kMaxWidth> oneAt{};
    std::array<Word, BitField::kMaxWidth> twoAt{};
    Word surface = 0;
    for (std::int32_t x = 0; x < b.width(); ++x) {
        const auto i = static_cast<std::size_t>(x);
        if (rests[i] < 0) {
            continue; // the LimboArea connects nothing
        }
        const std::int32_t r = rests[i];
        oneAt[i] = besideAndBelow(cellBit(x, r)) & visible & stacked;
        twoAt[i] = r >= 1 ? (oneAt[i] | besideAndBelow(cellBit(x, r - 1))) & visible & stacked : 0;
        surface |= twoAt[i] | oneAt[i];
    }
    Regions regions;
    collectRegions(b, colours_, surface, regions);
    for (std::int32_t x = 0; x < b.width(); ++x) {
        const auto i = static_cast<std::size_t>(x);
        const std::int32_t r = rests[i];
        if (r < 0) {
            continue;
        }
        const Word one = oneAt[i];
        const Word two = twoAt[i];
        for (int c = 1; c <= 5; ++c) {
            const int from = regions.first[static_cast<std::size_t>(c - 1)];
            const int to = regions.first[static_cast<std::size_t>(c)];
            if (((regions.present >> c) & 1u) == 0) {
                continue;
            }
            const auto kind = static_cast<CellKind>(c);
            struct {
                std::int32_t one = 1;
                std::int32_t two = 2;
                std::uint64_t joinOne = 0;
                std::uint64_t joinTwo = 0;
            } touch;
            // Only a colour with a blob beside the landing cells has regions to join there.
            for (int k = from; k < to && ((one | two) & b.cellsOf(kind)) != 0; ++k) {
                const Region& g = regions.list[static_cast<std::size_t>(k)];
                const std::uint64_t bit = std::uint64_t{1} << ((k - from) & 63);
                if ((g.cells & one) != 0) {
                    touch.one += g.size;
                    touch.joinOne |= bit;
                }
                if ((g.cells & two) != 0) {
                    touch.two += g.size;
                    touch.joinTwo |= bit;
                }
            }
            const bool byOne = touch.one >= rules_.threshold;
            if (!byOne && (two == 0 || touch.two < rules_.threshold)) {
                continue;
            }
            const Tried key{c, byOne ? touch.joinOne : touch.joinTwo, byOne};
            const bool exact = to - from <= 64;
            if (exact &&
                std::any_of(tried.begin(), tried.begin() + static_cast<std::ptrdiff_t>(triedCount),
                            [&](const Tried& t) {
                                return t.colour == key.colour && t.regions == key.regions &&
                                       t.byOne == key.byOne;
                            })) {
                continue;
            }
            if (exact && triedCount < tried.size()) {
                tried[triedCount++] = key;
            }
            BitField t = b;
            t.put(x, r, kind);
            if (!byOne) {
                t.put(x, r - 1, kind);
            }
            const ChainOutcome out = t.resolve();
            // Blobs beyond the fewest that fire it: room the chain could have grown into.
            const std::int32_t excess =
                blobs + (byOne ? 1 : 2) - t.blobCount() - rules_.threshold * out.vanishes;
            const double value =
                (w_.heldScore * out.score + w_.chainSquare * out.vanishes * out.vanishes -
                 w_.excess * excess) *
                (byOne ? 1.0 : w_.secondBlob);
            if (value > best) {
                best = value;
                chains = out.vanishes;
            }
        }
    }
    return best;
}

PETERIN_POPCOUNT_CLONES double Evaluator::shape(const BitField& b, const Rests& rests) const {
    const std::int32_t width = b.width();
    const std::int32_t height = b.height();
    const std::int32_t spawn = std::min(2, width - 1);
    double value = w_.connection * b.touchingPairs() + w_.triple * b.groupsOfThree();
    if (w_.lonely != 0) {
        // A blob with no partner of its colour is the start of no group: it mostly waits to be
        // buried under the chain.
        const Word visible = b.visibleCells();
        int lonely = 0;
        for (int c = 1; c <= 5; ++c) {
            const Word cells = b.cellsOf(static_cast<CellKind>(c)) & visible;
            const Word touched = (cells << 1) | (cells >> 1) | (cells << kLane) | (cells >> kLane);
            lonely += popcount(cells & ~touched);
        }
        value -= w_.lonely * lonely;
    }
    std::int32_t previous = -1;
    std::array<double, BitField::kMaxWidth> stacks{};
    for (std::int32_t x = 0; x < width; ++x) {
        const std::int32_t free = rests[static_cast<std::size_t>(x)] + 1; // empty rows on top
        const std::int32_t stack = height - free;
        if (previous >= 0) {
            value -= w_.bump * (stack - previous) * (stack - previous);
        }
        previous = stack;
        stacks[static_cast<std::size_t>(x)] = stack;
        // The spawn column keeps two rows free and its neighbours one, or the pair could not
        // leave it; the other columns are only pressed a little.
        const bool beside = x == spawn - 1 || x == spawn + 1;
        const std::int32_t shortBy = std::max(0, (beside ? 1 : 2) - free);
        value -= (x == spawn || beside ? w_.spawnCrowding : w_.crowding) * shortBy * shortBy;
    }
    if (w_.valley != 0) {
        // A chain builds best against the walls: the outer columns stand a row or two above the
        // inner ones.
        std::array<double, BitField::kMaxWidth> want{};
        double meanStack = 0;
        double meanWant = 0;
        for (std::int32_t x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(x);
            want[i] = x == 0 || x == width - 1 ? 1.5 : x == 1 || x == width - 2 ? 0.5 : -1;
            meanStack += stacks[i] / width;
            meanWant += want[i] / width;
        }
        for (std::int32_t x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(x);
            const double off = (stacks[i] - meanStack) - (want[i] - meanWant);
            value -= w_.valley * off * off;
        }
    }
    // Blobs above the visible rows: those in the LimboArea wait there on full columns, those
    // above it never come down again.
    Word limbo = 0;
    for (std::int32_t x = 0; x < width; ++x) {
        limbo |= Word{1u << 2} << (x * kLane);
    }
    value -= w_.limbo * popcount(b.occupiedCells() & limbo) + w_.aboveLimbo * b.strandedBlobs();
    const double over = std::max(0.0, b.blobCount() - w_.fullShare * width * height);
    return value - w_.full * over * over;
}

Evaluation Evaluator::evaluate(const BitField& b) const {
    Evaluation e;
    const Rests rests = b.restingRows();
    e.potential = potential(b, rests, e.potentialChains);
    e.shape = shape(b, rests);
    return e;
}

} // namespace peterin::analysis
