// "一瞬": a whole 19-step chain on a 6 x 12 field played through in one timeout, as the program
// plays it at that speed: every tick of every phase, only without the waits.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "history/playback.h"
#include "play/commands.h"
#include "rules/field.h"

namespace peterin {
namespace {

// Nineteen steps of three blobs each ("消える連結数" 3): every step lets the next group drop
// into place. Rows from the top of the visible field.
constexpr const char* kNineteenSteps[] = {
    "------", "-PGBY-", "-GBYP-", "-GBYP-", "-YRPG-", "-YRPG-", "-RBYR-",
    "-RBYR-", "PGPGB-", "PBPGBP", "RBYRPG", "BRGBYR", "RRGPGB",
};

// Real timers that are never waited for: the benchmark delivers the timeout itself.
struct Port : NullGameEvents, TickTimers {
    Playback* playback = nullptr;
    void startTimer(int p) override { playback->timerStarted(p); }
    void stopTimer(int p) override { playback->timerStopped(p); }
    void startTicking(int, int) override {}
    void stopTicking(int) override {}
};

void paint(Field& field) {
    std::int32_t row = field.height - static_cast<std::int32_t>(std::size(kNineteenSteps));
    for (const char* text : kNineteenSteps) {
        for (std::int32_t x = 0; x < static_cast<std::int32_t>(std::strlen(text)); ++x)
            setCell(field, x, row, kindFromLetter(text[x]).value_or(CellKind::Empty));
        ++row;
    }
}

void BM_InstantNineteenStepChain(benchmark::State& state) {
    Port port;
    Game game(port);
    Playback playback(game, port, [] { return std::int64_t{0}; });
    port.playback = &playback;
    game.settings.vanishCount = 3;
    initGame(game, 0);
    playback.setSpeed(PlaybackSpeed::Instant);
    std::uint64_t ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clearFields(game);
        paint(game.players[0].field);
        changeMode(game, Mode::Play); // the opening fall finds the first step
        const std::uint64_t before = playback.ticks();
        state.ResumeTiming();
        playback.onTimer(0);
        state.PauseTiming();
        if (game.players[0].chainCount != 19 || game.players[0].phase != Phase::Idle)
            state.SkipWithError("the position did not play as a 19-step chain");
        ticks = playback.ticks() - before;
        state.ResumeTiming();
    }
    state.counters["ticks"] = static_cast<double>(ticks);
}

BENCHMARK(BM_InstantNineteenStepChain)->Unit(benchmark::kMillisecond)->Repetitions(20);

} // namespace
} // namespace peterin

BENCHMARK_MAIN();
