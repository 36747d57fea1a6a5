// The real period of a player's turn timer over 1,000 ticks, so that the tick counts of the
// turn cycle are real time. Run under the display the program uses (xvfb-run for a virtual one).
#include "ui/turn_timers.h"

#include <QApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace peterin;
using Clock = std::chrono::steady_clock;

namespace {

void BM_TickPeriod(benchmark::State& state) {
    constexpr int kTicks = 1000;
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
}

BENCHMARK(BM_TickPeriod)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
