#include "puzzle/solver.h"

#include <cstddef>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "analysis/bit_field.h"
#include "analysis/exact_field.h"
#include "analysis/word_bits.h"

namespace peterin::puzzle {

namespace {

using analysis::BitField;
using analysis::ExactField;
using analysis::Placement;
using Counts = std::array<std::int32_t, kCellKindCount>;

// Placements tried between two reports of progress.
constexpr std::uint64_t kReportEvery = 4096;

Counts countsOf(const BitField& b) {
    Counts c{};
    for (int k = 1; k < kCellKindCount; ++k) {
        c[static_cast<std::size_t>(k)] =
            analysis::words::popcount(b.cellsOf(static_cast<CellKind>(k)));
    }
    return c;
}

Counts countsOf(const ExactField& b) {
    Counts c{};
    for (std::int32_t x = 0; x < b.width(); ++x) {
        for (std::int32_t r = -3; r < b.height(); ++r) {
            ++c[static_cast<std::size_t>(b.kind(x, r))];
        }
    }
    c[0] = 0;
    return c;
}

// Two independent 64-bit hashes of a field: a position is known by both, so that two fields
// are taken for one only with a chance of about 2^-128 per pair.
struct Fingerprint {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    bool operator==(const Fingerprint&) const = default;
};

struct Hasher {
    std::uint64_t a = 0x243F6A8885A308D3ull;
    std::uint64_t b = 0x13198A2E03707344ull;
    void add(std::uint64_t v) {
        a ^= v + 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2);
        a *= 0xBF58476D1CE4E5B9ull;
        a ^= a >> 31;
        b = (b ^ v) * 0x94D049BB133111EBull;
        b ^= (b >> 29) + 0xA0761D6478BD642Full;
    }
};

Fingerprint fingerprintOf(const BitField& field) {
    Hasher h;
    for (int k = 1; k < kCellKindCount; ++k) {
        const BitField::Word w = field.cellsOf(static_cast<CellKind>(k));
        h.add(static_cast<std::uint64_t>(w));
        h.add(static_cast<std::uint64_t>(w >> 64));
    }
    return {h.a, h.b};
}

Fingerprint fingerprintOf(const ExactField& field) {
    Hasher h;
    for (std::int32_t x = 0; x < field.width(); ++x) {
        for (std::int32_t r = -3; r < field.height(); ++r) {
            h.add(static_cast<std::uint64_t>(field.kind(x, r)) +
                  16u * static_cast<std::uint64_t>(x) + 4096u * static_cast<std::uint64_t>(r + 3));
        }
    }
    return {h.a, h.b};
}

// A field after so many pairs.
struct StateKey {
    Fingerprint field;
    std::int32_t pairs = 0;
    bool operator==(const StateKey&) const = default;
};
struct StateHash {
    std::size_t operator()(const StateKey& k) const {
        return static_cast<std::size_t>(
            k.field.a ^ (static_cast<std::uint64_t>(k.pairs) * 0x9E3779B97F4A7C15ull));
    }
};

std::uint64_t saturatingSum(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b
               ? std::numeric_limits<std::uint64_t>::max()
               : a + b;
}

// What the pairs from one on can still bring: blobs of each colour, and blobs of any colour
// (a 4a pair turns to every colour).
struct Brought {
    std::array<std::int32_t, 6> colours{};
    std::int32_t any = 0;
};

std::vector<Brought> broughtFrom(const std::vector<FallingPair>& pairs) {
    std::vector<Brought> rest(pairs.size() + 1);
    for (std::size_t i = pairs.size(); i-- > 0;) {
        rest[i] = rest[i + 1];
        for (const CellKind k : pairs[i].cells) {
            if (!isColour(k)) {
                continue;
            }
            if (pairs[i].shape == kShape4a) {
                ++rest[i].any;
            } else {
                ++rest[i].colours[static_cast<std::size_t>(k)];
            }
        }
    }
    return rest;
}

// Whether no way of playing the pairs left can meet the goal from a field holding `field`:
// each step of a chain takes a group of `threshold` blobs of one colour, and only the blobs on
// the field and in the pairs can make them.
bool hopeless(const Goal& goal, const Counts& field, const Brought& rest, std::int32_t threshold) {
    const std::int32_t t = std::max(1, threshold);
    std::array<std::int32_t, 6> avail{};
    std::int32_t groups = 0;
    std::int32_t groupBlobs = 0;
    std::int32_t colours = 0;
    for (std::size_t c = 1; c <= 5; ++c) {
        avail[c] = field[c] + rest.colours[c] + rest.any;
        groups += avail[c] / t;
        if (avail[c] >= t) {
            groupBlobs += avail[c];
            ++colours;
        }
    }
    switch (goal.kind) {
    case GoalKind::ChainAtLeast:
    case GoalKind::ChainExactly:
        return groups < goal.count;
    case GoalKind::ClearBlobsAtLeast:
        return groupBlobs < goal.count;
    case GoalKind::ClearColoursAtLeast:
        return colours < goal.count;
    case GoalKind::ClearColour:
        return avail[static_cast<std::size_t>(goal.colour)] < t;
    case GoalKind::ClearNuisance:
        return field[static_cast<std::size_t>(CellKind::Nuisance)] == 0 || colours == 0;
    case GoalKind::ClearAll:
        for (std::size_t c = 1; c <= 5; ++c) {
            if (field[c] > 0 && avail[c] < t) {
                return true;
            }
        }
        return colours == 0;
    }
    return false;
}

template <typename Board> class Search {
  public:
    Search(const Problem& problem, const SolveOptions& options, SolveResult& result)
        : problem_(problem), options_(options), result_(result), rest_(broughtFrom(problem.pairs)),
          at_(problem.pairs.size()), of_(problem.pairs.size()) {}

    void run(Board start) {
        start.resolve(); // entering play settles the field and fires what it holds
        result_.solutions = count(0, start);
        result_.finalPositions = finals_.size();
        result_.cancelled = cancelled_;
        if (options_.each && !cancelled_) {
            enumerate(0, start);
        }
    }

  private:
    struct Child {
        Placement placement;
        Board board; // once placed and fallen, before its chain
    };

    // The distinct placements of `pair` on `board`, in the order of the key search.
    std::vector<Child> childrenOf(const Board& board, const FallingPair& pair) const {
        const auto blocked = board.snapshot();
        std::vector<Child> children;
        for (Placement& p :
             analysis::reachablePlacements(blocked, board.width(), board.height(), -2, pair)) {
            Child child{std::move(p), board};
            if (child.board.drop(child.placement.pair)) {
                child.board.fall();
            }
            bool same = false;
            for (const Child& c : children) {
                same = same || c.board == child.board;
            }
            if (!same) {
                children.push_back(std::move(child));
            }
        }
        return children;
    }

    // Plays the child's chain; whether its turn meets the goal.
    bool turnMeets(Board& board) const {
        TurnTally tally;
        tally.before = countsOf(board);
        const analysis::ChainOutcome outcome = board.resolve();
        tally.chains = outcome.chains;
        tally.mostCleared = outcome.mostCleared;
        tally.mostColours = outcome.mostColours;
        tally.after = countsOf(board);
        return goalMet(problem_.goal, tally);
    }

    void report(std::size_t depth) {
        if (!options_.progress) {
            return;
        }
        double done = 0;
        double scale = 1;
        for (std::size_t d = 0; d <= depth && of_[d] > 0; ++d) {
            done += scale * static_cast<double>(at_[d]) / static_cast<double>(of_[d]);
            scale /= static_cast<double>(of_[d]);
        }
        if (!options_.progress({done, result_.nodes})) {
            cancelled_ = true;
        }
    }

    // The solutions from `board` before pair `k`.
    std::uint64_t count(std::size_t k, const Board& board) {
        const StateKey key{fingerprintOf(board), static_cast<std::int32_t>(k)};
        if (const auto it = memo_.find(key); it != memo_.end()) {
            return it->second;
        }
        if (hopeless(problem_.goal, countsOf(board), rest_[k], problem_.rules.threshold)) {
            memo_.emplace(key, 0);
            return 0;
        }
        std::vector<Child> children = childrenOf(board, problem_.pairs[k]);
        of_[k] = children.size();
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < children.size() && !cancelled_; ++i) {
            at_[k] = i;
            if (++result_.nodes % kReportEvery == 0) {
                report(k);
            }
            Child& child = children[i];
            if (turnMeets(child.board)) {
                total = saturatingSum(total, 1);
                finals_.insert({fingerprintOf(child.board), static_cast<std::int32_t>(k + 1)});
                if (!result_.first) {
                    result_.first = path_;
                    result_.first->push_back(child.placement);
                }
            } else if (k + 1 < problem_.pairs.size()) {
                path_.push_back(child.placement);
                total = saturatingSum(total, count(k + 1, child.board));
                path_.pop_back();
            }
        }
        if (!cancelled_) {
            memo_.emplace(key, total);
        }
        return total;
    }

    // Tells every solution from `board` before pair `k`, through the counts already found.
    void enumerate(std::size_t k, const Board& board) {
        for (Child& child : childrenOf(board, problem_.pairs[k])) {
            path_.push_back(child.placement);
            if (turnMeets(child.board)) {
                options_.each(path_);
            } else if (k + 1 < problem_.pairs.size()) {
                const auto it =
                    memo_.find({fingerprintOf(child.board), static_cast<std::int32_t>(k + 1)});
                if (it != memo_.end() && it->second > 0) {
                    enumerate(k + 1, child.board);
                }
            }
            path_.pop_back();
        }
    }

    const Problem& problem_;
    const SolveOptions& options_;
    SolveResult& result_;
    std::vector<Brought> rest_;
    std::unordered_map<StateKey, std::uint64_t, StateHash> memo_;
    std::unordered_set<StateKey, StateHash> finals_;
    Solution path_;
    std::vector<std::size_t> at_; // the child being searched at each depth
    std::vector<std::size_t> of_; // of how many
    bool cancelled_ = false;
};

} // namespace

SolveResult solve(const Problem& problem, const SolveOptions& options) {
    SolveResult result;
    if (problem.pairs.empty()) {
        return result;
    }
    if (auto bits = BitField::from(problem.field, problem.rules)) {
        Search<BitField>(problem, options, result).run(*bits);
    } else {
        Search<ExactField>(problem, options, result).run(ExactField(problem.field, problem.rules));
    }
    return result;
}

} // namespace peterin::puzzle
