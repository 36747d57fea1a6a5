// One gameTick in each phase, on the default field and on the largest one the settings allow,
// from states that make that phase's tick as costly as it gets.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "play/commands.h"
#include "play/turn_cycle.h"
#include "rules/chain.h"

namespace peterin {
namespace {

using NullUi = NullGameEvents;

// Random colours in the lower half, with an empty row that leaves everything above it floating.
void paintMixed(Field& field, bool withGap) {
    std::mt19937 random(1);
    for (std::int32_t r = field.height / 2; r < field.height; ++r) {
        if (withGap && r == field.height * 3 / 4) {
            continue;
        }
        for (std::int32_t x = 0; x < field.width; ++x) {
            setCell(field, x, r, static_cast<CellKind>(1 + random() % 5));
        }
    }
}

// One colour filling the lower half, nuisance sprinkled through it: one huge vanishing group.
void paintOneGroup(Field& field) {
    for (std::int32_t r = field.height / 2; r < field.height; ++r) {
        for (std::int32_t x = 0; x < field.width; ++x) {
            const bool nuisance = (x * 7 + r * 3) % 11 == 0;
            setCell(field, x, r, nuisance ? CellKind::Nuisance : CellKind::Red);
        }
    }
}

struct Scenario {
    Phase phase;
    std::int32_t countdown;
    void (*paint)(Field&);
    std::int32_t pendingNuisance = 0;
    std::int32_t nuisanceRowsLeft = 0;
};

// Builds the state once, then times one tick from a fresh copy of it in every iteration.
void runTick(benchmark::State& state, const Scenario& scenario) {
    NullUi ui;
    Game game(ui);
    game.settings.fieldWidth = static_cast<std::int32_t>(state.range(0));
    game.settings.fieldHeight = static_cast<std::int32_t>(state.range(1));
    initGame(game, 0);
    changeMode(game, Mode::Play);
    Player& player = game.players[0];
    scenario.paint(player.field);
    if (scenario.phase == Phase::Vanish) {
        findGroups(player.field, game.settings.vanishCount, true); // as the show phase leaves it
    }
    Field start;
    copyField(start, player.field);
    const PairSequence queue = player.sequence;

    for (auto _ : state) {
        state.PauseTiming();
        copyField(player.field, start);
        player.sequence = queue;
        player.phase = scenario.phase;
        player.countdown = scenario.countdown;
        player.chainCount = 0;
        player.pendingNuisance = scenario.pendingNuisance;
        player.nuisanceRowsLeft = scenario.nuisanceRowsLeft;
        state.ResumeTiming();
        gameTick(game, 0);
        benchmark::DoNotOptimize(player.field.cells.data());
    }
}

void mixedWithGap(Field& field) {
    paintMixed(field, true);
}
void mixedSettled(Field& field) {
    paintMixed(field, false);
}

// A gravity step with a large floating part.
void BM_PairFallStep(benchmark::State& state) {
    runTick(state, {Phase::PairFall, 0, mixedWithGap});
}
// The landing tick: settled, a group found, the turn backup kept, the next pair spawned.
void BM_PairFallLanding(benchmark::State& state) {
    runTick(state, {Phase::PairFall, 0, paintOneGroup});
}
void BM_ShowGroups(benchmark::State& state) {
    runTick(state, {Phase::ShowGroups, 20, paintOneGroup});
}
// The scoring tick: the tallying group search, the score and the nuisance sent.
void BM_VanishScore(benchmark::State& state) {
    runTick(state, {Phase::Vanish, 25, paintOneGroup});
}
// The erasing tick: half the field vanishes with the nuisance in it.
void BM_VanishErase(benchmark::State& state) {
    runTick(state, {Phase::Vanish, 0, paintOneGroup});
}
// A fall step preceded by a row of nuisance.
void BM_FallWithNuisanceRow(benchmark::State& state) {
    runTick(state, {Phase::Fall, 0, mixedWithGap, 1000, 5});
}
// The end of a turn: settled, no group left, the player goes idle.
void BM_FallTurnEnd(benchmark::State& state) {
    runTick(state, {Phase::Fall, 0, mixedSettled});
}

#define PLAY_SIZES ->Args({6, 12})->Args({100, 100})->Unit(benchmark::kMicrosecond)

BENCHMARK(BM_PairFallStep) PLAY_SIZES;
BENCHMARK(BM_PairFallLanding) PLAY_SIZES;
BENCHMARK(BM_ShowGroups) PLAY_SIZES;
BENCHMARK(BM_VanishScore) PLAY_SIZES;
BENCHMARK(BM_VanishErase) PLAY_SIZES;
BENCHMARK(BM_FallWithNuisanceRow) PLAY_SIZES;
BENCHMARK(BM_FallTurnEnd) PLAY_SIZES;

} // namespace
} // namespace peterin

BENCHMARK_MAIN();
