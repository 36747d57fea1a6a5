// Measures the move-hint engines.
//
//   bench_hint strength [FROM [TO [PAIRS]]]  autoplay from start positions FROM..TO (default
//                                            0..99), PAIRS pairs each (default 60), one game
//                                            per line, then the distribution of the largest
//                                            chain and the score, lost pairs, the processor
//                                            time per move and the moves checked against the
//                                            fast field
//   bench_hint table [FROM [TO [PAIRS]]]     the same for levels 1 to 5 and the baseline, one
//                                            summary line each
//   bench_hint exact [TRIALS]                the fast field against the real turn cycle on
//                                            TRIALS random 6 x 12 fields and drops (10^5)
//
// After the command: player=baseline|1..5|hint (default 5; the baseline is the engine of
// suggest(), kept fixed to measure against; hint the hint's own search), nodes=K (a level's node
// count instead of its own), next=N (the next pairs the game shows, which the engine sees:
// "表示可能数", 2 by default), and weights NAME=VALUE for tuning (the baseline's names, or p.NAME
// for the planner's).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "analysis/autoplay.h"
#include "analysis/bit_field.h"
#include "analysis/hint.h"
#include "analysis/planner.h"
#include "play/commands.h"
#include "play/turn_cycle.h"

namespace {

using namespace peterin;
using namespace peterin::analysis;

// Who plays: the baseline engine, or the planner at a level.
struct Contender {
    int level = kDefaultLevel; // 0 for the baseline
    EngineOptions options;
    EngineWeights baseline;
    bool hint = false; // the hint's own search (hintOptions())
    int next = -1;     // next pairs shown ("表示可能数") instead of the default
    std::string name() const {
        return hint ? "hint" : level == 0 ? "baseline" : "level " + std::to_string(level);
    }
};

bool setPlanWeight(PlanWeights& w, const std::string& name, double value) {
    std::map<std::string, double*> doubles = {{"chainSquare", &w.chainSquare},
                                              {"secondBlob", &w.secondBlob},
                                              {"excess", &w.excess},
                                              {"valley", &w.valley},
                                              {"potentialShare", &w.potentialShare},
                                              {"bump", &w.bump},
                                              {"crowding", &w.crowding},
                                              {"spawnCrowding", &w.spawnCrowding},
                                              {"connection", &w.connection},
                                              {"triple", &w.triple},
                                              {"lonely", &w.lonely},
                                              {"heldScore", &w.heldScore},
                                              {"full", &w.full},
                                              {"limbo", &w.limbo},
                                              {"aboveLimbo", &w.aboveLimbo},
                                              {"fullShare", &w.fullShare},
                                              {"emergencyShare", &w.emergencyShare},
                                              {"depthDiscount", &w.depthDiscount},
                                              {"pruned", &w.pruned},
                                              {"fireTarget", &w.fireTarget},
                                              {"shortFire", &w.shortFire},
                                              {"holdShare", &w.holdShare}};
    if (auto it = doubles.find(name); it != doubles.end()) {
        *it->second = value;
        return true;
    }
    return false;
}

bool setWeight(EngineWeights& w, const std::string& arg) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos) {
        return false;
    }
    const std::string name = arg.substr(0, eq);
    const double value = std::atof(arg.c_str() + eq + 1);
    std::map<std::string, double*> doubles = {{"potential", &w.potential},
                                              {"secondBlob", &w.secondBlob},
                                              {"fire", &w.fire},
                                              {"fireSquare", &w.fireSquare},
                                              {"fireScore", &w.fireScore},
                                              {"afterFire", &w.afterFire},
                                              {"connection", &w.connection},
                                              {"bump", &w.bump},
                                              {"crowding", &w.crowding},
                                              {"spawnCrowding", &w.spawnCrowding},
                                              {"full", &w.full},
                                              {"fullShare", &w.fullShare}};
    if (auto it = doubles.find(name); it != doubles.end()) {
        *it->second = value;
        return true;
    }
    if (name == "depth") {
        w.depth = static_cast<int>(value);
        return true;
    }
    if (name == "beam") {
        w.beam = static_cast<int>(value);
        return true;
    }
    return false;
}

// Processor time of this thread: the machine is shared, so wall time would measure the others.
double cpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p / 100.0 * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

std::vector<Suggestion> ask(const Contender& player, const HintRequest& request) {
    return player.level == 0 ? suggest(request, player.baseline) : plan(request, player.options);
}

// What the fast field says the placement does, against what the turn cycle did.
bool sameAsFast(const HintRequest& request, const Placement& placement, const PlayedTurn& turn,
                const Field& after) {
    std::optional<BitField> board = BitField::from(request.field, request.rules);
    if (!board) {
        return true; // the engines searched the exact field itself
    }
    std::vector<std::int32_t> steps;
    const bool placed = board->drop(placement.pair);
    board->resolve(&steps);
    for (std::int32_t x = 0; x < after.width; ++x) {
        for (std::int32_t r = after.topRow(); r < after.height; ++r) {
            if (board->kind(x, r) != getCell(after, x, r)) {
                return false;
            }
        }
    }
    return placed != turn.lost && steps == turn.steps;
}

struct Summary {
    std::vector<double> largest;
    std::vector<double> scores;
    std::vector<double> millis;
    long lost = 0;
    long checked = 0;
    long differ = 0;
    long long nodes = 0;
};

double mean(const std::vector<double>& v) {
    double sum = 0;
    for (const double x : v) {
        sum += x;
    }
    return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

// min / p25 / median / p75 / max and the mean.
std::string spread(const std::vector<double>& v, const char* format) {
    char buf[256];
    const auto f = [&](double x) {
        char one[32];
        std::snprintf(one, sizeof one, format, x);
        return std::string(one);
    };
    std::snprintf(buf, sizeof buf, "%s / %s / %s / %s / %s, mean %s", f(percentile(v, 0)).c_str(),
                  f(percentile(v, 25)).c_str(), f(percentile(v, 50)).c_str(),
                  f(percentile(v, 75)).c_str(), f(percentile(v, 100)).c_str(), f(mean(v)).c_str());
    return buf;
}

// Plays the games; false when a placement could not be played.
bool play(const Contender& player, int from, int to, int pairs, bool perGame, Summary& sum) {
    for (int position = from; position <= to; ++position) {
        NullGameEvents ui;
        Game game(ui);
        game.settings.initialRandomPosition = position;
        game.settings.nextCount = player.next >= 0 ? player.next : game.settings.nextCount;
        initGame(game, 0);
        changeMode(game, Mode::Play);
        runUntilIdle(game, nullptr);
        int best = 0;
        long lostHere = 0;
        long long score = 0;
        for (int i = 0; i < pairs; ++i) {
            const HintRequest request = hintRequestFor(game, 0);
            const double t0 = cpuMillis();
            const std::vector<Suggestion> s = ask(player, request);
            sum.millis.push_back(cpuMillis() - t0);
            sum.nodes += player.level == 0 ? 0 : lastPlanNodes();
            const std::optional<PlayedTurn> turn =
                s.empty() ? std::nullopt : playTurn(game, s.front().placement);
            if (!turn) {
                std::fprintf(stderr, "position %d pair %d: the placement could not be played\n",
                             position, i);
                return false;
            }
            sum.checked += 1;
            sum.differ +=
                sameAsFast(request, s.front().placement, *turn, game.players[0].field) ? 0 : 1;
            if (std::getenv("HINT_TRACE") != nullptr) {
                std::printf("  pair %3d: column %d turn %d value %10.1f chain %2d blobs %d\n", i,
                            s.front().placement.column, s.front().placement.turn, s.front().value,
                            turn->chains,
                            BitField::from(game.players[0].field, request.rules)->blobCount());
            }
            best = std::max(best, turn->chains);
            lostHere += turn->lost ? 1 : 0;
            score += turn->score;
        }
        if (perGame) {
            const std::optional<BitField> end =
                BitField::from(game.players[0].field, hintRequestFor(game, 0).rules);
            std::printf("position %4d: largest chain %2d, score %7lld, lost %ld, stranded %d\n",
                        position, best, score, lostHere, end ? end->strandedBlobs() : 0);
            std::fflush(stdout);
        }
        sum.largest.push_back(best);
        sum.scores.push_back(static_cast<double>(score));
        sum.lost += lostHere;
    }
    return true;
}

void report(const Contender& player, const Summary& sum, int pairs) {
    std::printf("%s: %zu games of %d pairs\n", player.name().c_str(), sum.largest.size(), pairs);
    std::printf("  largest chain min/p25/median/p75/max: %s\n",
                spread(sum.largest, "%.1f").c_str());
    std::printf("  score         min/p25/median/p75/max: %s\n", spread(sum.scores, "%.0f").c_str());
    std::printf("  lost pairs %ld; processor ms per move p50 %.2f, p90 %.2f, p99 %.2f, mean %.2f, "
                "max %.2f; nodes per move %.0f\n",
                sum.lost, percentile(sum.millis, 50), percentile(sum.millis, 90),
                percentile(sum.millis, 99), mean(sum.millis), percentile(sum.millis, 100),
                static_cast<double>(sum.nodes) /
                    static_cast<double>(std::max<std::size_t>(1, sum.millis.size())));
    std::printf("  exactness: %ld moves checked against the fast field, %ld differ\n", sum.checked,
                sum.differ);
    std::fflush(stdout);
}

int strength(int from, int to, int pairs, const Contender& player) {
    Summary sum;
    if (!play(player, from, to, pairs, true, sum)) {
        return 1;
    }
    std::vector<double> sorted = sum.largest;
    std::sort(sorted.begin(), sorted.end());
    std::printf("\nhistogram of the largest chain per game:\n");
    for (int c = static_cast<int>(sorted.front()); c <= static_cast<int>(sorted.back()); ++c) {
        const auto n = std::count(sorted.begin(), sorted.end(), c);
        std::printf("  %2d: %3ld %s\n", c, static_cast<long>(n),
                    std::string(static_cast<std::size_t>(n), '#').c_str());
    }
    report(player, sum, pairs);
    return sum.differ == 0 ? 0 : 1;
}

int table(int from, int to, int pairs, const Contender& base) {
    if (base.hint) {
        std::fprintf(stderr,
                     "table plays the levels and the baseline: use strength for the hint\n");
        return 2;
    }
    int status = 0;
    for (int level = kMaxLevel; level >= 0; --level) {
        Contender player = base;
        player.level = level;
        player.options.level = level;
        Summary sum;
        if (!play(player, from, to, pairs, false, sum)) {
            return 1;
        }
        report(player, sum, pairs);
        status = sum.differ == 0 ? status : 1;
    }
    return status;
}

std::string rowsOf(const Field& f) {
    std::string text;
    for (std::int32_t r = f.topRow(); r < f.height; ++r) {
        for (std::int32_t x = 0; x < f.width; ++x) {
            text += kindLetter(getCell(f, x, r));
        }
    }
    return text;
}

std::string rowsOf(const BitField& b) {
    std::string text;
    for (std::int32_t r = -3; r < b.height(); ++r) {
        for (std::int32_t x = 0; x < b.width(); ++x) {
            text += kindLetter(b.kind(x, r));
        }
    }
    return text;
}

// The same random fields and drops as the unit test, many more of them.
int exact(long trials) {
    std::mt19937 random(12345);
    long chains = 0;
    for (long trial = 0; trial < trials; ++trial) {
        NullGameEvents ui;
        Game game(ui);
        game.settings.fallTicks = 0;
        game.settings.linkTicks = 0;
        game.settings.vanishTicks = 1;
        initGame(game, 0);
        Player& self = game.players[0];
        std::vector<CellWrite> writes;
        for (std::int32_t x = 0; x < 6; ++x) {
            const std::int32_t top = 12 - static_cast<std::int32_t>(random() % 14);
            for (std::int32_t r = std::max(top, -3); r < 12; ++r) {
                const unsigned roll = random() % 100;
                CellKind kind = static_cast<CellKind>(1 + random() % 4);
                kind = roll < 6    ? CellKind::Empty
                       : roll < 14 ? CellKind::Nuisance
                       : roll < 16 ? CellKind::Iron
                                   : kind;
                writes.push_back({x, r, kind});
            }
        }
        setCells(self.field, writes);
        const ChainRules rules{4, true};
        BitField before = *BitField::from(self.field, rules);
        std::vector<std::int32_t> real;
        changeMode(game, Mode::Play);
        runUntilIdle(game, &real);
        std::vector<std::int32_t> mine;
        before.resolve(&mine);
        if (mine != real || rowsOf(before) != rowsOf(self.field)) {
            std::printf("trial %ld: settling differs\n", trial);
            return 1;
        }
        Pair pair;
        pair.slot = {1 + static_cast<int>(random() % 4), 0, 1 + static_cast<int>(random() % 4), 0};
        loadPair(self.fallingPair, pair);
        putAtSpawn(self.fallingPair, self.field);
        BitField board = *BitField::from(self.field, rules);
        const auto blocked = [&](std::int32_t x, std::int32_t r) { return board.blocked(x, r); };
        const auto placements = reachablePlacements(blocked, 6, 12, -2, self.fallingPair);
        const Placement& chosen = placements[random() % placements.size()];
        const std::optional<PlayedTurn> played = playTurn(game, chosen);
        mine.clear();
        const bool placed = board.drop(chosen.pair);
        board.resolve(&mine);
        if (!played || placed == played->lost || mine != played->steps ||
            rowsOf(board) != rowsOf(self.field)) {
            std::printf("trial %ld: the drop differs\n", trial);
            return 1;
        }
        chains += mine.empty() ? 0 : 1;
    }
    std::printf("%ld trials: chain counts, step scores and fields all equal (%ld drops chained)\n",
                trials, chains);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    std::vector<long> numbers;
    Contender player;
    player.options.level = kDefaultLevel;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const double value = eq == std::string::npos ? 0 : std::atof(arg.c_str() + eq + 1);
        if (name == "player" && arg.substr(eq + 1) == "hint") {
            player.hint = true;
            player.options = hintOptions();
            player.level = player.options.level;
        } else if (name == "player") {
            player.level = arg.substr(eq + 1) == "baseline" ? 0 : static_cast<int>(value);
            player.options.level = player.level;
        } else if (name == "nodes") {
            player.options.nodes = static_cast<std::int64_t>(value);
        } else if (name == "depth") {
            player.options.depth = static_cast<int>(value);
        } else if (name == "samples") {
            player.options.samples = static_cast<int>(value);
        } else if (name == "next") {
            player.next = static_cast<int>(value);
        } else if (name.rfind("p.", 0) == 0) {
            if (!setPlanWeight(player.options.weights, name.substr(2), value)) {
                std::fprintf(stderr, "unknown weight %s\n", name.c_str());
                return 2;
            }
        } else if (!setWeight(player.baseline, arg)) {
            numbers.push_back(std::atol(arg.c_str()));
        }
    }
    const auto number = [&](std::size_t i, long fallback) {
        return i < numbers.size() ? numbers[i] : fallback;
    };
    if (command == "strength" || command == "table") {
        const int from = static_cast<int>(number(0, 0));
        const int to = static_cast<int>(number(1, 99));
        const int pairs = static_cast<int>(number(2, 60));
        return command == "table" ? table(from, to, pairs, player)
                                  : strength(from, to, pairs, player);
    }
    if (command == "exact") {
        return exact(number(0, 100000));
    }
    std::fprintf(stderr,
                 "usage: bench_hint strength|table [FROM [TO [PAIRS]]] [player=baseline|1..5|hint]"
                 " [nodes=K] [next=N] [NAME=VALUE...]\n"
                 "       bench_hint exact [TRIALS]\n");
    return 2;
}
