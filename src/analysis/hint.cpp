#include "analysis/hint.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "analysis/bit_field.h"
#include "analysis/exact_field.h"

namespace peterin::analysis {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();
// The value of a pair that is lost itself: below anything an evaluation gives.
constexpr double kLostValue = -1e9;

// Fields above this many cells, or wider, get a shallower search on the slow exact field: the
// second pair multiplies the fields kept by the placements of the first.
constexpr std::int32_t kExactPotentialCells = 16 * 16;
constexpr std::int32_t kExactPotentialWidth = 16;

template <typename Board> struct Evaluator {
    const EngineWeights& w;
    ChainRules rules;
    std::uint32_t colours = 0; // bit k: colour kind k is worth testing
    bool withPotential = true;

    // The largest chain one or two blobs of one colour on top of one column would fire.
    double potential(const Board& b) const {
        double best = 0;
        for (std::int32_t x = 0; x < b.width(); ++x) {
            const std::optional<std::int32_t> r = b.restingRow(x);
            if (!r || *r < 0) {
                continue;
            }
            for (int c = 1; c <= 5; ++c) {
                if (((colours >> c) & 1u) == 0) {
                    continue;
                }
                const auto kind = static_cast<CellKind>(c);
                Board t = b;
                t.put(x, *r, kind);
                double penalty = 0;
                if (t.regionSize(x, *r) < rules.threshold) {
                    if (*r < 1) {
                        continue;
                    }
                    t.put(x, *r - 1, kind);
                    if (t.regionSize(x, *r) < rules.threshold) {
                        continue;
                    }
                    penalty = w.secondBlob;
                }
                const ChainOutcome out = t.resolve();
                best = std::max(best, out.vanishes * w.potential - penalty);
            }
        }
        return best;
    }

    double shape(const Board& b) const {
        double value = 0;
        const std::int32_t width = b.width();
        const std::int32_t height = b.height();
        const std::int32_t spawn = std::min(2, width - 1);
        std::int32_t previous = -1;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::optional<std::int32_t> r = b.restingRow(x);
            const std::int32_t free = r ? *r + 1 : 0; // empty visible rows on top
            const std::int32_t stack = height - free;
            if (previous >= 0) {
                value -= w.bump * (stack - previous) * (stack - previous);
            }
            previous = stack;
            const std::int32_t shortBy = std::max(0, 3 - free);
            value -= (x == spawn ? w.spawnCrowding : w.crowding) * shortBy * shortBy;
        }
        const double over =
            std::max(0.0, b.blobCount() - w.fullShare * static_cast<double>(width * height));
        return value + w.connection * b.touchingPairs() - w.full * over * over;
    }

    double leaf(const Board& b) const { return (withPotential ? potential(b) : 0) + shape(b); }

    double fire(const ChainOutcome& out, const Board& after) const {
        return w.fire * out.vanishes + w.fireSquare * out.vanishes * out.vanishes +
               w.fireScore * out.score + w.afterFire * leaf(after);
    }
};

template <typename Board> struct Child {
    Placement placement;
    Board board;
    ChainOutcome fired;
    bool placed = true;
};

// Every distinct way to drop `pair` on `b`, with what it leaves.
template <typename Board>
std::vector<Child<Board>> children(const Board& b, const FallingPair& pair) {
    const auto blocked = b.snapshot();
    std::vector<Child<Board>> result;
    for (Placement& p : reachablePlacements(blocked, b.width(), b.height(), -2, pair)) {
        Child<Board> child{std::move(p), b, {}, true};
        child.placed = child.board.drop(child.placement.pair);
        if (child.placed) {
            child.fired = child.board.resolve();
            const bool same = std::any_of(result.begin(), result.end(), [&](const auto& c) {
                return c.placed && c.board == child.board;
            });
            if (same) {
                continue;
            }
        }
        result.push_back(std::move(child));
    }
    return result;
}

template <typename Board> struct Line {
    std::size_t root;
    Board board;
    double best; // the best fire on the way
    double value;
};

template <typename Board>
std::vector<Suggestion> search(const Board& start, const HintRequest& request,
                               const EngineWeights& w, bool withPotential) {
    Evaluator<Board> eval{w, request.rules, 0, withPotential};
    for (std::int32_t x = 0; x < start.width(); ++x) {
        for (std::int32_t r = 0; r < start.height(); ++r) {
            const CellKind k = start.kind(x, r);
            eval.colours |= isColour(k) ? 1u << static_cast<int>(k) : 0u;
        }
    }
    std::vector<FallingPair> pairs{request.pair};
    const int depth = std::max(1, w.depth);
    for (const Pair& next : request.next) {
        if (static_cast<int>(pairs.size()) >= depth) {
            break;
        }
        FallingPair p;
        loadPair(p, next);
        putAtSpawn(p, request.field);
        pairs.push_back(p);
    }
    for (const FallingPair& p : pairs) {
        for (const CellKind k : p.cells) {
            eval.colours |= isColour(k) ? 1u << static_cast<int>(k) : 0u;
        }
    }
    const std::int32_t spawnColumn = std::min(2, start.width() - 1);

    std::vector<Child<Board>> roots = children(start, request.pair);
    std::vector<Suggestion> out(roots.size());
    std::vector<Line<Board>> lines;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        Suggestion& s = out[i];
        s.placement = roots[i].placement;
        s.fired = roots[i].fired;
        // A pair dropped where the next one appears, without moving it first, is lost.
        s.losing = !roots[i].placed || roots[i].board.blocked(spawnColumn, 0);
        s.value = kLostValue;
        if (!roots[i].placed) {
            continue;
        }
        const double fired =
            roots[i].fired.vanishes > 0 ? eval.fire(roots[i].fired, roots[i].board) : kNone;
        double value = fired;
        if (pairs.size() == 1 || s.losing) {
            value = std::max(fired, eval.leaf(roots[i].board));
        }
        s.value = value;
        if (!s.losing) {
            lines.push_back({i, roots[i].board, fired, value});
        }
    }

    for (std::size_t level = 1; level < pairs.size(); ++level) {
        const bool last = level + 1 == pairs.size();
        // Past the second pair only the best few lines of each first placement go on.
        if (level >= 2) {
            std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
                return a.root != b.root ? a.root < b.root : a.value > b.value;
            });
            std::vector<Line<Board>> kept;
            std::size_t run = 0;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                run = i > 0 && lines[i].root == lines[i - 1].root ? run + 1 : 0;
                if (run < static_cast<std::size_t>(std::max(1, w.beam))) {
                    kept.push_back(std::move(lines[i]));
                }
            }
            lines = std::move(kept);
        }
        std::vector<Line<Board>> next;
        std::vector<char> alive(roots.size(), 0);
        for (const Line<Board>& line : lines) {
            for (Child<Board>& c : children(line.board, pairs[level])) {
                if (!c.placed || c.board.blocked(spawnColumn, 0)) {
                    continue;
                }
                double best = line.best;
                if (c.fired.vanishes > 0) {
                    best = std::max(best, eval.fire(c.fired, c.board));
                }
                // The first level is valued too: the beam of the next level picks by it.
                const double value = last || level == 1 ? std::max(best, eval.leaf(c.board)) : best;
                alive[line.root] = 1;
                next.push_back({line.root, std::move(c.board), best, value});
            }
        }
        for (std::size_t i = 0; i < roots.size(); ++i) {
            if (alive[i] == 0) {
                out[i].losing = true;
            }
        }
        if (next.empty()) {
            break;
        }
        lines = std::move(next);
        for (std::size_t i = 0; i < roots.size(); ++i) {
            if (alive[i] != 0) {
                out[i].value = kNone;
            }
        }
        for (const Line<Board>& line : lines) {
            out[line.root].value = std::max(out[line.root].value, line.value);
        }
    }

    // Where each placement's blobs come to rest, for showing it.
    for (std::size_t i = 0; i < roots.size(); ++i) {
        if (!roots[i].placed) {
            continue;
        }
        Board landed = start;
        landed.drop(roots[i].placement.pair);
        landed.fall();
        for (std::int32_t x = 0; x < start.width(); ++x) {
            for (std::int32_t r = -3; r < start.height(); ++r) {
                const CellKind k = landed.kind(x, r);
                if (k != start.kind(x, r) && k != CellKind::Empty) {
                    out[i].landing.push_back({x, r, k});
                }
            }
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Suggestion& a, const Suggestion& b) {
        if (a.losing != b.losing) {
            return !a.losing;
        }
        return a.value > b.value;
    });
    return out;
}

} // namespace

HintRequest hintRequestFor(const Game& game, int player) {
    const Player& self = game.players[static_cast<std::size_t>(player)];
    HintRequest request;
    copyField(request.field, self.field);
    request.field.scoreRecord = nullptr;
    request.pair = self.fallingPair;
    const std::size_t visible = static_cast<std::size_t>(std::max(game.settings.nextCount, 0));
    for (std::size_t i = 1; i < self.sequence.queue.size() && i <= visible; ++i) {
        request.next.push_back(self.sequence.queue[i]);
    }
    request.colours = self.sequence.pattern.usedColours;
    request.shapes.clear();
    for (const int shape : self.sequence.pattern.shapes) {
        if (shape != kShapeEnd) {
            request.shapes.push_back(shape);
        }
    }
    request.rules.threshold = game.settings.vanishCount;
    request.rules.countSteps = game.settings.vanishTicks > 0;
    return request;
}

bool searchable(const Field& field) {
    return field.width <= kSearchMaxWidth &&
           std::int64_t{field.height} + field.limboRows <= kSearchMaxRows;
}

std::vector<Suggestion> suggest(const HintRequest& request, const EngineWeights& weights) {
    if (!searchable(request.field)) {
        return {};
    }
    if (const std::optional<BitField> fast = BitField::from(request.field, request.rules)) {
        return search(*fast, request, weights, true);
    }
    // Every step of the exact rules recounts the whole field and every copy allocates: search
    // one next pair less, and on large fields the falling pair alone, without the potential.
    const bool small = request.field.width * request.field.height <= kExactPotentialCells &&
                       request.field.width <= kExactPotentialWidth;
    EngineWeights w = weights;
    w.depth = small ? std::min(w.depth, 2) : 1;
    const ExactField exact(request.field, request.rules);
    return search(exact, request, w, small);
}

} // namespace peterin::analysis
