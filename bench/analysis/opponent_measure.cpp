// The computer opponent's think time per move at each level: battles of a level against itself,
// played headless as the program plays them, each decision timed on this thread. Prints the
// median and the 99th percentile. Run by hand under nice: bench_opponent [games per level].
#include "analysis/opponent.h"
#include "play/battle.h"
#include "session/computer_sides.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace peterin;

namespace {

struct NoTimers : TickTimers {
    void startTicking(int, int) override {}
    void stopTicking(int) override {}
};

double percentile(std::vector<double> v, double share) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(share * static_cast<double>(v.size() - 1));
    return v[i];
}

} // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    std::printf("level  moves  p50_ms  p99_ms  max_ms\n");
    for (const int level : {1, 2, 3, 4, 5, analysis::kBaselineLevel}) {
        std::vector<double> times;
        for (int g = 0; g < games; ++g) {
            NoTimers timers;
            Session session(timers, [] { return std::int64_t{0}; });
            session.game().settings.initialRandomPosition = 20000 + g;
            session.start(0);
            session.apply(ChooseComputer{{true, true}, 5, 5});
            ComputerSides sides(session);
            sides.setLevels({level, level});
            session.apply(SetMode{Mode::Battle});
            const ComputerSides::Decider timed = [&](int player, int lv, std::uint64_t turn,
                                                     const analysis::BattleSight& sight) {
                const auto start = std::chrono::steady_clock::now();
                analysis::Decision decision = analysis::decide(sight, lv);
                times.push_back(std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
                sides.decided(player, turn, std::move(decision));
            };
            for (long t = 0; t < 20000 && !battleOver(session.game()); ++t) {
                sides.beat(timed);
                for (int p = 0; p < kPlayerCount; ++p)
                    if (session.playback().timerWanted(p))
                        session.timeout(p);
            }
        }
        std::printf("%-5s  %5zu  %6.2f  %6.2f  %6.2f\n",
                    level == analysis::kBaselineLevel ? "base" : std::to_string(level).c_str(),
                    times.size(), percentile(times, 0.5), percentile(times, 0.99),
                    percentile(times, 1.0));
    }
    return 0;
}
