#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "rules/chain.h"
#include "rules/field.h"
#include "rules/score.h"

namespace peterin {
namespace {

constexpr std::int32_t kThreshold = 4;

// A full 6 x 12 position that resolves as a 17-step chain.
constexpr std::string_view kLongChain[] = {
    "RPRGPB", "GGYGYP", "YGYBYP", "BRGGPY", "BRPRBB", "BPGPGB",
    "RYYYRY", "RGRGBR", "RYYPGG", "BRYGPP", "YRYBGP", "YGRBBR",
};

Field longChainField() {
    Field field;
    resizeField(field, 6, 12, 1);
    for (std::int32_t r = 0; r < 12; ++r) {
        for (std::int32_t x = 0; x < 6; ++x) {
            setCell(field, x, r, kindFromLetter(kLongChain[r][x]).value());
        }
    }
    return field;
}

Field randomField(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    std::mt19937 random(seed);
    Field field;
    resizeField(field, width, height, 1);
    for (std::int32_t x = 0; x < width; ++x) {
        for (std::int32_t r = 0; r < height; ++r) {
            setCell(field, x, r, static_cast<CellKind>(1 + random() % 5));
        }
    }
    return field;
}

// The whole chain as a turn runs it: gravity until settled, then search, tally, score and
// vanish, step after step until nothing vanishes.
void BM_LongChainResolution6x12(benchmark::State& state) {
    ScoreRecord record;
    Field start = longChainField();
    start.scoreRecord = &record;
    Field field;
    std::int64_t steps = 0;
    std::int32_t chain = 0;
    for (auto _ : state) {
        copyField(field, start);
        std::int32_t score = 0;
        chain = 0;
        for (;;) {
            while (!isSettled(gravityStep(field))) {
            }
            if (!findGroups(field, kThreshold, false)) {
                break;
            }
            resetTally(record);
            findGroups(field, kThreshold, true);
            ++chain;
            score += stepScore(chain, record);
            vanishGroups(field, kThreshold);
        }
        benchmark::DoNotOptimize(score);
        steps += chain;
    }
    state.counters["chain"] = chain;
    state.counters["per_step"] = benchmark::Counter(
        static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LongChainResolution6x12)->Unit(benchmark::kMicrosecond);

// One tick's gravity step with its recount on a full field of random colours.
void BM_GravityStep100x100(benchmark::State& state) {
    Field field = randomField(100, 100, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(gravityStep(field));
    }
}
BENCHMARK(BM_GravityStep100x100)->Unit(benchmark::kMicrosecond);

// The same with a quarter of the cells empty, so that most columns hold a falling stack; the
// field is refilled whenever everything has landed.
void BM_GravityStepFalling100x100(benchmark::State& state) {
    std::mt19937 random(2);
    Field start = randomField(100, 100, 2);
    for (int i = 0; i < 2500; ++i) {
        setCell(start, static_cast<std::int32_t>(random() % 100),
                static_cast<std::int32_t>(random() % 100), CellKind::Empty);
    }
    Field field;
    copyField(field, start);
    for (auto _ : state) {
        if (isSettled(gravityStep(field))) {
            state.PauseTiming();
            copyField(field, start);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_GravityStepFalling100x100)->Unit(benchmark::kMicrosecond);

// The group search: the plain question (stops at the first group) and the full tallying scan.
void BM_FindGroups100x100(benchmark::State& state) {
    ScoreRecord record;
    Field field = randomField(100, 100, 3);
    field.scoreRecord = &record;
    const bool tally = state.range(0) != 0;
    for (auto _ : state) {
        resetTally(record);
        benchmark::DoNotOptimize(findGroups(field, kThreshold, tally));
    }
}
BENCHMARK(BM_FindGroups100x100)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_RecountGroups100x100(benchmark::State& state) {
    Field field = randomField(100, 100, 4);
    for (auto _ : state) {
        recountGroups(field);
    }
}
BENCHMARK(BM_RecountGroups100x100)->Unit(benchmark::kMicrosecond);

// Writing every cell of an empty field one by one, as a position file is read.
void BM_SetCellEveryCell100x100(benchmark::State& state) {
    std::mt19937 random(5);
    Field field;
    resizeField(field, 100, 100, 1);
    for (auto _ : state) {
        for (std::int32_t r = 0; r < 100; ++r) {
            for (std::int32_t x = 0; x < 100; ++x) {
                setCell(field, x, r, static_cast<CellKind>(1 + random() % 5));
            }
        }
        state.PauseTiming();
        clearField(field);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SetCellEveryCell100x100)->Unit(benchmark::kMicrosecond);

// The worst case of writing cell by cell: one colour everywhere, so every write joins the one
// big region. setCell counts the region again each time; setCells counts once at the end.
void BM_OneColourFill100x100(benchmark::State& state) {
    const bool batch = state.range(0) != 0;
    std::vector<CellWrite> writes;
    for (std::int32_t r = 0; r < 100; ++r) {
        for (std::int32_t x = 0; x < 100; ++x) {
            writes.push_back({x, r, CellKind::Red});
        }
    }
    Field field;
    resizeField(field, 100, 100, 1);
    for (auto _ : state) {
        if (batch) {
            setCells(field, writes);
        } else {
            for (const CellWrite& write : writes) {
                setCell(field, write.x, write.r, write.kind);
            }
        }
        state.PauseTiming();
        clearField(field);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OneColourFill100x100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace peterin

BENCHMARK_MAIN();
