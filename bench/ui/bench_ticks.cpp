// The real period of a player's turn timer over 1,000 ticks, so that the tick counts of the
// turn cycle are real time. Run under the display the program uses (xvfb-run for a virtual one).
#include "analysis/opponent.h"
#include "play/game.h"
#include "play/turn_cycle.h"
#include "ui/turn_timers.h"

#include <QApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace peterin;
using Clock = std::chrono::steady_clock;

namespace {

// What the computer opponent sees of a battle some pairs in, to think about on a worker.
analysis::BattleSight battleSight() {
    NullGameEvents quiet;
    Game game(quiet);
    initGame(game, 0);
    setMode(game, Mode::Battle);
    // Both sides settle in lockstep, then drop a pair each.
    const auto settle = [&game] {
        while (game.players[0].phase != Phase::Idle || game.players[1].phase != Phase::Idle) {
            gameTick(game, 0);
            gameTick(game, 1);
        }
    };
    for (int pair = 0; pair < 12; ++pair) {
        settle();
        // Two pairs in each column.
        const int dx = pair % 6 - 2;
        for (int p = 0; p < kPlayerCount; ++p) {
            for (int i = 0; i < (dx < 0 ? -dx : dx); ++i)
                actOnPair(game, p, dx < 0 ? PairAction::Left : PairAction::Right);
            actOnPair(game, p, PairAction::Down);
        }
    }
    settle();
    return analysis::sightFor(game, 1);
}

// With `thinking`, the computer opponent thinks at level 5 on a worker thread all the while.
void measureTicks(benchmark::State& state, bool thinking) {
    constexpr int kTicks = 1000;
    std::atomic<bool> stop{false};
    std::atomic<long> decisions{0};
    std::thread worker;
    if (thinking) {
        worker = std::thread([&stop, &decisions, sight = battleSight()] {
            while (!stop) {
                benchmark::DoNotOptimize(analysis::decide(sight, 5));
                ++decisions;
            }
        });
    }
    for (auto _ : state) {
        std::vector<double> periods;
        periods.reserve(kTicks);
        QEventLoop loop;
        Clock::time_point last;
        bool started = false;
        TickTimer timer([&] {
            const auto now = Clock::now();
            if (started)
                periods.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            started = true;
            last = now;
            if (static_cast<int>(periods.size()) == kTicks)
                loop.quit();
        });
        timer.start();
        loop.exec();
        timer.stop();
        double sum = 0;
        for (double p : periods)
            sum += p;
        state.counters["mean_ms"] = sum / kTicks;
        state.counters["worst_ms"] = *std::max_element(periods.begin(), periods.end());
        state.counters["best_ms"] = *std::min_element(periods.begin(), periods.end());
    }
    stop = true;
    if (worker.joinable())
        worker.join();
    if (thinking)
        state.counters["decisions"] = static_cast<double>(decisions);
}

void BM_TickPeriod(benchmark::State& state) {
    measureTicks(state, false);
}

void BM_TickPeriodWhileComputerThinks(benchmark::State& state) {
    measureTicks(state, true);
}

BENCHMARK(BM_TickPeriod)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TickPeriodWhileComputerThinks)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
