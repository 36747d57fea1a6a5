// The real period between ticks at the playback speeds, over 1,000 ticks of the running window
// (timers, playback, turn cycle and repaints together). Run under the display the program uses
// (xvfb-run for a virtual one).
#include "history/playback.h"
#include "play/commands.h"
#include "ui/main_window.h"
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

void BM_PlaybackTickPeriod(benchmark::State& state) {
    constexpr std::size_t kPeriods = 1000;
    const auto speed = static_cast<PlaybackSpeed>(state.range(0));
    for (auto _ : state) {
        TurnTimers timers;
        Session session(timers, steadyNs);
        Game& game = session.game();
        // A group that stays on show far longer than the measurement: every tick is a plain one.
        game.settings.linkTicks = 1'000'000;
        session.start(0);
        MainWindow window(session, timers);
        window.show();
        for (std::int32_t x = 0; x < 4; ++x)
            setCell(game.players[0].field, x, game.settings.fieldHeight - 1, CellKind::Red);
        session.apply(SetSpeed{speed});

        std::vector<Clock::time_point> at;
        at.reserve(kPeriods + 1);
        QEventLoop loop;
        // Every tick is reported on its own.
        session.setView([&](const Changes& changes) {
            if (!changes.ticked)
                return;
            at.push_back(Clock::now());
            if (at.size() == kPeriods + 1)
                loop.quit();
        });
        session.apply(SetMode{Mode::Play});
        loop.exec();
        session.setView(nullptr);

        std::vector<double> periods;
        for (std::size_t i = 1; i < at.size(); ++i)
            periods.push_back(std::chrono::duration<double, std::milli>(at[i] - at[i - 1]).count());
        const double mean =
            std::chrono::duration<double, std::milli>(at.back() - at.front()).count() /
            static_cast<double>(periods.size());
        std::sort(periods.begin(), periods.end());
        const auto quantile = [&](double q) {
            return periods[static_cast<std::size_t>(q * static_cast<double>(periods.size() - 1))];
        };
        state.counters["mean_ms"] = mean;
        state.counters["target_ms"] = static_cast<double>(tickPeriodNs(speed)) / 1e6;
        state.counters["min_ms"] = periods.front();
        state.counters["p05_ms"] = quantile(0.05);
        state.counters["median_ms"] = quantile(0.5);
        state.counters["p95_ms"] = quantile(0.95);
        state.counters["max_ms"] = periods.back();
    }
}

BENCHMARK(BM_PlaybackTickPeriod)
    ->Arg(static_cast<int>(PlaybackSpeed::Normal))
    ->Arg(static_cast<int>(PlaybackSpeed::Double))
    ->Arg(static_cast<int>(PlaybackSpeed::Quadruple))
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
