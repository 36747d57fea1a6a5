// The animation of a long turn: how long "連鎖をGIFで保存..." takes and how big the file is, and
// what recording the turn costs the tick that records it.
// Run with QT_QPA_PLATFORM=offscreen (or under a display).
#include "files/dat_file.h"
#include "play/commands.h"
#include "play/turn_cycle.h"
#include "render/picture_files.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace peterin;

namespace {

// A 19-chain on 6 x 12 with 40-pixel cells (the defaults): 945 ticks from entering play mode.
constexpr const char* kNineteenChain = PETERIN_BENCH_DATA "/nineteen_chain.dat";

// The window's timer, as far as the turn needs it.
struct Timers : NullGameEvents {
    TurnRecorder* recorder = nullptr;
    Game* game = nullptr;
    bool running = false;
    void startTimer(int player) override {
        if (player != 0)
            return;
        running = true;
        if (recorder != nullptr)
            recorder->begin(*game, 0);
    }
    void stopTimer(int player) override { running = running && player != 0; }
};

// Plays the turn, recording it when a recorder is given; returns the ticks it took.
int playTurn(Game& game, Timers& ui, TurnRecorder* recorder) {
    ui.game = &game;
    ui.recorder = recorder;
    initGame(game, 0);
    readFile(game, kNineteenChain);
    changeMode(game, Mode::Play);
    if (recorder != nullptr)
        recorder->retakeFirst(game, 0);
    int ticks = 0;
    while (ui.running) {
        gameTick(game, 0);
        ++ticks;
        if (recorder != nullptr)
            recorder->afterTick(game, 0);
    }
    if (recorder != nullptr)
        recorder->finish();
    return ticks;
}

void BM_NineteenChainGif(benchmark::State& state) {
    Timers ui;
    Game game(ui);
    TurnRecorder recorder;
    const int ticks = playTurn(game, ui, &recorder);
    std::string error;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto gif = encodeTurnGif(game, {recorder.lastTurn(), nullptr}, error);
        if (!gif) {
            state.SkipWithError(error.c_str());
            return;
        }
        bytes = gif->size();
    }
    state.counters["ticks"] = ticks;
    state.counters["pictures"] = static_cast<double>(recorder.lastTurn()->pictures.size());
    state.counters["KB"] = static_cast<double>(bytes) / 1024.0;
}

// The whole turn, tick by tick, with and without recording: the difference is what an unused
// "連鎖をGIFで保存..." costs.
void BM_NineteenChainTurn(benchmark::State& state) {
    const bool record = state.range(0) != 0;
    for (auto _ : state) {
        Timers ui;
        Game game(ui);
        TurnRecorder recorder;
        benchmark::DoNotOptimize(playTurn(game, ui, record ? &recorder : nullptr));
    }
}

BENCHMARK(BM_NineteenChainGif)->Unit(benchmark::kMillisecond)->Repetitions(10);
BENCHMARK(BM_NineteenChainTurn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // the warning's text needs the font database
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
