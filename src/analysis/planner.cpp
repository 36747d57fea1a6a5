#include "analysis/planner.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "analysis/bit_field.h"
#include "play/battle.h"

namespace peterin::analysis {

namespace {

using Word = BitField::Word;

constexpr double kNone = -std::numeric_limits<double>::infinity();
constexpr double kLostValue = -1e9; // the pair itself is lost
constexpr double kDiedValue = -1e8; // every line after it loses a pair within the horizon
constexpr double kEmergencyBonus = 1e7;

thread_local std::int64_t lastNodes = 0;

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h * 0xBF58476D1CE4E5B9ull;
}

// The engine's own generator (splitmix64): its guesses depend on the position alone.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
};

std::uint64_t pairHash(std::uint64_t h, const FallingPair& p) {
    h = mix(h, static_cast<std::uint64_t>(p.x) * 64 + static_cast<std::uint64_t>(p.row + 8));
    h = mix(h, static_cast<std::uint64_t>(p.shape));
    for (const CellKind k : p.cells) {
        h = mix(h, static_cast<std::uint64_t>(k));
    }
    return h;
}

std::uint64_t positionSeed(const HintRequest& request, const BitField& start) {
    std::uint64_t h = pairHash(start.hash(), request.pair);
    for (const Pair& p : request.next) {
        h = mix(h, static_cast<std::uint64_t>(p.shape));
        for (const int s : p.slot) {
            h = mix(h, static_cast<std::uint64_t>(s));
        }
    }
    return mix(h, static_cast<std::uint64_t>(request.rules.threshold) * 2 +
                      (request.rules.countSteps ? 1 : 0));
}

// A guess of an unseen pair as the pattern makes one: a shape of its cycle and colours among
// its used ones (a four-blob pair of two colours gets two different ones when it can).
Pair guessPair(Random& random, const std::vector<int>& colours, const std::vector<int>& shapes) {
    Pair p;
    p.shape = shapes.empty() ? kShape2 : shapes[random.below(shapes.size())];
    if (p.shape == kShape4a) {
        p.slot = {1, 1, 1, 1};
        return p;
    }
    const int x = colours[random.below(colours.size())];
    int y = colours[random.below(colours.size())];
    if (p.shape == kShape4d && y == x && colours.size() > 1) {
        std::vector<int> others;
        std::copy_if(colours.begin(), colours.end(), std::back_inserter(others),
                     [x](int c) { return c != x; });
        y = others[random.below(others.size())];
    }
    switch (p.shape) {
    case kShape3a:
        p.slot = {x, 0, x, y};
        break;
    case kShape3b:
        p.slot = {x, 0, y, y};
        break;
    case kShape4d:
        p.slot = {x, y, x, y};
        break;
    default:
        p.slot = {x, 0, y, 0};
        break;
    }
    return p;
}

// The places each pair reaches, kept by the top rows of the field: the pair keys move the pair
// near the top, so fields alike up there share them. A search that read a cell further down
// is not kept, so what is kept is always exact.
class PlacementCache {
  public:
    static constexpr std::int32_t kLastRow = 3;

    explicit PlacementCache(std::int32_t width) {
        for (std::int32_t x = 0; x < width; ++x) {
            top_ |= Word{(1u << (kLastRow + 4)) - 1u} << (x * 16);
        }
    }

    const std::vector<FallingPair>& of(const BitField& b, std::size_t pairId,
                                       const FallingPair& pair) {
        const Key key{b.occupiedCells() & top_, pairId};
        if (const auto it = map_.find(key); it != map_.end()) {
            return it->second;
        }
        const BitField::Snapshot snapshot = b.snapshot();
        bool deep = false;
        const auto blocked = [&](std::int32_t x, std::int32_t r) {
            deep = deep || r > kLastRow;
            return snapshot(x, r);
        };
        std::vector<FallingPair> found;
        for (const Placement& p : reachablePlacements(blocked, b.width(), b.height(), -2, pair)) {
            found.push_back(p.pair);
        }
        if (deep) {
            scratch_ = std::move(found);
            return scratch_;
        }
        return map_.emplace(key, std::move(found)).first->second;
    }

  private:
    struct Key {
        Word top;
        std::size_t pair;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return static_cast<std::size_t>(
                mix(mix(static_cast<std::uint64_t>(k.top), static_cast<std::uint64_t>(k.top >> 64)),
                    k.pair));
        }
    };
    Word top_ = 0;
    std::unordered_map<Key, std::vector<FallingPair>, KeyHash> map_;
    std::vector<FallingPair> scratch_;
};

struct Node {
    BitField board;
    double rank = 0;
    std::uint64_t hash = 0;
    std::uint32_t root = 0;
    std::int32_t incoming = 0; // nuisance announced to this line and not yet fallen
};

// Best first; ties go to the lower root, then the lower hash, so the order is total.
bool ranksBefore(const Node& a, const Node& b) {
    if (a.rank != b.rank) {
        return a.rank > b.rank;
    }
    if (a.root != b.root) {
        return a.root < b.root;
    }
    return a.hash < b.hash;
}

// What one guess of the future says of each first placement.
struct RootRecord {
    double bestFire = kNone; // the best fire on any line, discounted by its delay
    int deepest = -1;        // the deepest pair any of its lines reached
    double deepEval = kNone; // the best field there
    bool nextPlaced = false; // some line places the next pair without losing one
    bool followed = false;   // some line was searched a pair further (not left out of the beam)
};

// A beam part way down: the fields it follows and what each first placement reached so far.
struct Beam {
    std::vector<Node> layer;
    std::vector<RootRecord> records;
    int placed = 0;      // pairs placed on every line
    double discount = 1; // of the values reached with the next pair
};

struct Search {
    const Evaluator& eval;
    const std::vector<Placement>& roots;
    PlacementCache& cache;
    std::int64_t budget; // nodes in all
    std::size_t width;   // of the beam
    int horizon;         // pairs planned
    std::int32_t spawnColumn;
    double firstFireShare; // of a chain fired by the falling pair itself
    int incomingAfter;     // pairs landed before announced nuisance falls
    std::int64_t used = 0;
    // Fields met again, by other lines or other guesses, are not evaluated again.
    std::unordered_map<std::uint64_t, Evaluation> evaluations{};

    Evaluation evaluated(const Node& node) {
        const auto [it, added] = evaluations.try_emplace(node.hash);
        if (added) {
            it->second = eval.evaluate(node.board);
        }
        return it->second;
    }

    // Places `pair` (named `id` for the cache) on every field of the beam and keeps the best.
    void step(Beam& beam, const FallingPair& pair, std::size_t id) {
        const PlanWeights& w = eval.weights();
        const int d = beam.placed;
        std::vector<Node> next;
        next.reserve(beam.layer.size() * roots.size());
        for (const Node& node : beam.layer) {
            const std::vector<FallingPair>* targets =
                d == 0 ? nullptr : &cache.of(node.board, id, pair);
            const std::size_t n = d == 0 ? roots.size() : targets->size();
            for (std::size_t i = 0; i < n && used < budget; ++i) {
                ++used;
                if (d == 1) {
                    beam.records[node.root].followed = true;
                }
                Node child{node.board, 0, 0, d == 0 ? static_cast<std::uint32_t>(i) : node.root,
                           node.incoming};
                const FallingPair& target = d == 0 ? roots[i].pair : (*targets)[i];
                if (!child.board.drop(target)) {
                    continue;
                }
                const ChainOutcome fired = child.board.resolve();
                if (child.incoming > 0) {
                    // A chain offsets about its score's worth of what is announced; what is
                    // left falls a batch at a time.
                    child.incoming = std::max(0, child.incoming - fired.score / kScorePerNuisance);
                    if (d + 1 >= incomingAfter && child.incoming > 0) {
                        const std::int32_t batch =
                            std::min(child.incoming, kRowsPerHandOver * child.board.width());
                        child.board.dropNuisance(batch);
                        child.incoming -= batch;
                    }
                }
                if (child.board.blocked(spawnColumn, 0)) {
                    continue; // the next pair would be lost if dropped at once
                }
                RootRecord& record = beam.records[child.root];
                if (d == 1) {
                    record.nextPlaced = true;
                }
                if (fired.vanishes > 0) {
                    double share = d == 0 ? firstFireShare : 1.0;
                    const double room = w.holdShare * node.board.width() * node.board.height() -
                                        node.board.blobCount();
                    if (room > 0 && fired.vanishes < w.fireTarget) {
                        share *= std::max(0.0, 1 - w.shortFire * (w.fireTarget - fired.vanishes));
                    }
                    // A chain leaves the blobs stranded above the LimboArea where they are.
                    record.bestFire =
                        std::max(record.bestFire, beam.discount * share * eval.fireValue(fired) -
                                                      w.aboveLimbo * child.board.strandedBlobs());
                }
                child.hash = mix(child.board.hash(), static_cast<std::uint64_t>(child.incoming));
                const Evaluation e = evaluated(child);
                child.rank = e.potential * w.potentialShare + e.shape;
                const double reached = beam.discount * e.potential * w.potentialShare + e.shape;
                if (d > record.deepest) {
                    record.deepest = d;
                    record.deepEval = reached;
                } else {
                    record.deepEval = std::max(record.deepEval, reached);
                }
                next.push_back(std::move(child));
            }
        }
        beam.placed += 1;
        beam.discount *= w.depthDiscount;
        if (next.empty() || beam.placed == horizon) {
            beam.layer.clear();
            return;
        }
        // One field reached by several lines is followed once, from its best line.
        std::sort(next.begin(), next.end(), [](const Node& a, const Node& b) {
            return a.hash != b.hash ? a.hash < b.hash : ranksBefore(a, b);
        });
        next.erase(std::unique(next.begin(), next.end(),
                               [](const Node& a, const Node& b) { return a.hash == b.hash; }),
                   next.end());
        if (next.size() > width) {
            std::nth_element(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(width),
                             next.end(), ranksBefore);
            next.resize(width);
        }
        std::sort(next.begin(), next.end(), ranksBefore);
        beam.layer = std::move(next);
    }
};

std::uint32_t coloursOf(const HintRequest& request) {
    std::uint32_t mask = 0;
    for (const int c : request.colours) {
        mask |= c >= 1 && c <= 5 ? 1u << c : 0u;
    }
    for (const CellKind k : request.pair.cells) {
        mask |= isColour(k) ? 1u << static_cast<int>(k) : 0u;
    }
    for (const Pair& p : request.next) {
        for (const int s : p.slot) {
            mask |= s >= 1 && s <= 5 ? 1u << s : 0u;
        }
    }
    return mask;
}

} // namespace

std::vector<LandedBlob> landingOf(const BitField& start, const FallingPair& pair) {
    std::vector<LandedBlob> landing;
    BitField landed = start;
    if (!landed.drop(pair)) {
        return landing;
    }
    landed.fall();
    for (std::int32_t x = 0; x < start.width(); ++x) {
        for (std::int32_t r = -3; r < start.height(); ++r) {
            const CellKind k = landed.kind(x, r);
            if (k != start.kind(x, r) && k != CellKind::Empty) {
                landing.push_back({x, r, k});
            }
        }
    }
    return landing;
}

LevelProfile levelProfile(int level) {
    // depth, guesses, nodes, slip chance, slip range, eagerness, chain form. Level 5 takes about
    // 45 ms of one core per pair, level 4 about 6.
    switch (std::clamp(level, kMinLevel, kMaxLevel)) {
    case 1:
        return {2, 1, 120, 0.15, 6, 0.4, false};
    case 2:
        return {2, 1, 250, 0.08, 4, 0.6, false};
    case 3:
        return {6, 2, 1500, 0.03, 3, 0.8, false};
    case 4:
        return {8, 2, 4000, 0, 1, 1};
    default:
        return {10, 2, 28000, 0, 1, 1};
    }
}

std::int64_t lastPlanNodes() {
    return lastNodes;
}

std::vector<Suggestion> plan(const HintRequest& request, const EngineOptions& options) {
    lastNodes = 0;
    if (!searchable(request.field)) {
        return {};
    }
    const std::optional<BitField> fast = BitField::from(request.field, request.rules);
    std::vector<int> colours;
    for (const int c : request.colours) {
        if (c >= 1 && c <= 5) {
            colours.push_back(c);
        }
    }
    if (!fast || colours.empty()) {
        return suggest(request);
    }
    const BitField& start = *fast;
    LevelProfile level = levelProfile(options.level);
    level.depth = options.depth > 0 ? options.depth : level.depth;
    level.samples = options.samples > 0 ? options.samples : level.samples;
    const std::int64_t nodes = options.nodes > 0 ? options.nodes : level.nodes;
    std::vector<int> shapes;
    for (const int s : request.shapes) {
        if (s >= kShape2 && s < kShapeEnd) {
            shapes.push_back(s);
        }
    }

    // Places that leave the same field are one; a lost pair is kept as it is.
    std::vector<Placement> roots;
    std::vector<BitField> left;
    for (Placement& p :
         reachablePlacements(start.snapshot(), start.width(), start.height(), -2, request.pair)) {
        BitField after = start;
        if (after.drop(p.pair)) {
            after.resolve();
            if (std::find(left.begin(), left.end(), after) != left.end()) {
                continue;
            }
            left.push_back(after);
        }
        roots.push_back(std::move(p));
    }
    std::vector<Suggestion> out(roots.size());
    if (roots.empty()) {
        return out;
    }
    const PlanWeights weights =
        level.chainForm ? options.weights : withoutChainForm(options.weights);
    const Evaluator eval(weights, request.rules, coloursOf(request));
    const int depth = std::max(1, level.depth);
    const std::int32_t spawnColumn = std::min(2, start.width() - 1);
    // Below full eagerness a chain at hand waits until the field is crowded.
    const bool crowded =
        start.blobCount() > 0.6 * static_cast<double>(start.width() * start.height());

    // The falling pair and the visible ones are the same in every guess: they are searched
    // once, and each guess goes on from the beam they leave.
    std::vector<FallingPair> known{request.pair};
    for (const Pair& p : request.next) {
        FallingPair f;
        loadPair(f, p);
        putAtSpawn(f, request.field);
        known.push_back(f);
    }
    const int shared = std::min(depth, static_cast<int>(known.size()));
    const int samples = shared < depth ? std::max(1, level.samples) : 1;
    const std::int64_t expanded = std::max(1, (shared - 1) + samples * (depth - shared));
    const auto branching = static_cast<std::int64_t>(roots.size());
    const auto width =
        static_cast<std::size_t>(std::max<std::int64_t>(1, nodes / (branching * expanded)));
    PlacementCache cache(start.width());
    Search search{eval,
                  roots,
                  cache,
                  nodes,
                  width,
                  depth,
                  spawnColumn,
                  crowded ? 1.0 : level.eagerness,
                  std::max(1, options.incomingAfter)};

    // Room for the fields a usual budget meets; a huge one grows the table as it goes.
    search.evaluations.reserve(static_cast<std::size_t>(std::min<std::int64_t>(nodes, 1 << 17)));
    Beam base;
    base.layer.push_back(Node{start, 0, start.hash(), 0, std::max(0, options.incoming)});
    base.records.resize(roots.size());
    for (int d = 0; d < shared && !base.layer.empty(); ++d) {
        search.step(base, known[static_cast<std::size_t>(d)], static_cast<std::size_t>(d));
    }
    Random random{positionSeed(request, start)};
    std::vector<double> total(roots.size(), 0);
    std::vector<char> placedNext(roots.size(), 0);
    std::vector<char> followed(roots.size(), depth == 1 ? 1 : 0);
    for (int s = 0; s < samples; ++s) {
        Beam beam = base;
        while (beam.placed < depth && !beam.layer.empty()) {
            FallingPair f;
            loadPair(f, guessPair(random, colours, shapes));
            putAtSpawn(f, request.field);
            // Guessed pairs are named by their cells, so equal guesses share the cache.
            search.step(beam, f, 1000 + static_cast<std::size_t>(pairHash(0, f) % 1000000));
        }
        for (std::size_t i = 0; i < roots.size(); ++i) {
            const RootRecord& r = beam.records[i];
            double value = r.bestFire;
            if (r.deepest >= 0) {
                value =
                    std::max(value, r.deepEval - (depth - 1 - r.deepest) * options.weights.pruned);
            }
            total[i] += value == kNone ? kDiedValue : value;
            placedNext[i] = placedNext[i] != 0 || r.nextPlaced || depth == 1 ? 1 : 0;
            followed[i] = followed[i] != 0 || r.followed ? 1 : 0;
        }
    }
    lastNodes = search.used;

    for (std::size_t i = 0; i < roots.size(); ++i) {
        Suggestion& s = out[i];
        s.placement = roots[i];
        BitField after = start;
        const bool placed = after.drop(roots[i].pair);
        if (placed) {
            s.fired = after.resolve();
            s.landing = landingOf(start, roots[i].pair);
        }
        // A place the beam left out after one pair is not known to lose the next one.
        s.followed = followed[i] != 0;
        s.losing =
            !placed || after.blocked(spawnColumn, 0) || (followed[i] != 0 && placedNext[i] == 0);
        s.value = placed ? total[i] / samples : kLostValue;
        // On a field this full the guesses say little about the room that is really left: a
        // chain at hand goes before any plan.
        if (placed && s.fired.vanishes > 0 &&
            start.blobCount() >= options.weights.emergencyShare * start.width() * start.height()) {
            s.value += kEmergencyBonus;
        }
    }
    // Safe places first, then those the beam left out, then those that lose a pair; each by
    // value.
    const auto rankOf = [&](std::size_t i) { return out[i].losing ? 2 : out[i].followed ? 0 : 1; };
    std::vector<std::size_t> order(out.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (rankOf(a) != rankOf(b)) {
            return rankOf(a) < rankOf(b);
        }
        return out[a].value > out[b].value;
    });
    const auto safe = static_cast<std::size_t>(
        std::count_if(order.begin(), order.end(), [&](std::size_t i) { return rankOf(i) == 0; }));
    std::vector<Suggestion> sorted;
    sorted.reserve(out.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(out[i]));
    }
    out = std::move(sorted);
    // A lower level now and then puts a pair at one of the next best places.
    Random slips{mix(positionSeed(request, start), static_cast<std::uint64_t>(options.level))};
    if (level.slip > 0 && slips.unit() < level.slip) {
        const std::size_t range = std::min(safe, static_cast<std::size_t>(level.slipRange) + 1);
        if (range > 1) {
            const std::size_t pick = 1 + slips.below(range - 1);
            std::rotate(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(pick),
                        out.begin() + static_cast<std::ptrdiff_t>(pick) + 1);
        }
    }
    return out;
}

} // namespace peterin::analysis
