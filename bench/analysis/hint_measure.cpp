// Measures the move-hint engine.
//
//   bench_hint strength [FROM [TO [PAIRS]]]  autoplay from start positions FROM..TO (default
//                                            0..99), PAIRS pairs each (default 60): histogram
//                                            of the largest chain per game, lost pairs, score,
//                                            and the time of each hint
//   bench_hint exact [TRIALS]                the fast field against the real turn cycle on
//                                            TRIALS random 6 x 12 fields and drops (10^5)
//
// Weights can be overridden for tuning with NAME=VALUE arguments after the command.

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
#include "play/commands.h"
#include "play/turn_cycle.h"

namespace {

using namespace peterin;
using namespace peterin::analysis;

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

int strength(int from, int to, int pairs, const EngineWeights& w) {
    std::vector<int> largest;
    std::vector<double> millis;
    long lost = 0;
    long long totalScore = 0;
    for (int position = from; position <= to; ++position) {
        NullGameEvents ui;
        Game game(ui);
        game.settings.initialRandomPosition = position;
        initGame(game, 0);
        changeMode(game, Mode::Play);
        runUntilIdle(game, nullptr);
        int best = 0;
        int lostHere = 0;
        long long score = 0;
        for (int i = 0; i < pairs; ++i) {
            const HintRequest request = hintRequestFor(game, 0);
            const double t0 = cpuMillis();
            const std::vector<Suggestion> s = suggest(request, w);
            millis.push_back(cpuMillis() - t0);
            const std::optional<PlayedTurn> turn = playTurn(game, s.front().placement);
            if (!turn) {
                std::fprintf(stderr, "position %d pair %d: the placement could not be played\n",
                             position, i);
                return 1;
            }
            if (std::getenv("HINT_TRACE") != nullptr) {
                std::printf("  pair %2d: column %d turn %d value %8.1f chain %d blobs %d\n", i,
                            s.front().placement.column, s.front().placement.turn, s.front().value,
                            turn->chains,
                            BitField::from(game.players[0].field, request.rules)->blobCount());
            }
            best = std::max(best, turn->chains);
            lostHere += turn->lost ? 1 : 0;
            score += turn->score;
        }
        std::printf("position %3d: largest chain %2d, score %7lld, lost %d\n", position, best,
                    score, lostHere);
        std::fflush(stdout);
        largest.push_back(best);
        lost += lostHere;
        totalScore += score;
    }
    std::vector<int> sorted = largest;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.size() % 2 == 1
                              ? sorted[sorted.size() / 2]
                              : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2.0;
    std::printf("\ngames %zu, pairs each %d\n", largest.size(), pairs);
    std::printf("largest chain: median %.1f, best %d, worst %d\n", median, sorted.back(),
                sorted.front());
    std::printf("histogram of the largest chain per game:\n");
    for (int c = sorted.front(); c <= sorted.back(); ++c) {
        const auto n = std::count(sorted.begin(), sorted.end(), c);
        std::printf("  %2d: %3ld %s\n", c, static_cast<long>(n),
                    std::string(static_cast<std::size_t>(n), '#').c_str());
    }
    std::printf("lost pairs: %ld in all\n", lost);
    std::printf("mean score per game: %.0f\n",
                static_cast<double>(totalScore) / static_cast<double>(largest.size()));
    std::printf("hint processor time (ms) over %zu hints: p50 %.2f, p90 %.2f, p99 %.2f, max %.2f\n",
                millis.size(), percentile(millis, 50), percentile(millis, 90),
                percentile(millis, 99), percentile(millis, 100));
    return 0;
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
    EngineWeights w;
    for (int i = 2; i < argc; ++i) {
        if (!setWeight(w, argv[i])) {
            numbers.push_back(std::atol(argv[i]));
        }
    }
    const auto number = [&](std::size_t i, long fallback) {
        return i < numbers.size() ? numbers[i] : fallback;
    };
    if (command == "strength") {
        return strength(static_cast<int>(number(0, 0)), static_cast<int>(number(1, 99)),
                        static_cast<int>(number(2, 60)), w);
    }
    if (command == "exact") {
        return exact(number(0, 100000));
    }
    std::fprintf(stderr, "usage: bench_hint strength [FROM [TO [PAIRS]]] [NAME=VALUE...]\n"
                         "       bench_hint exact [TRIALS]\n");
    return 2;
}
