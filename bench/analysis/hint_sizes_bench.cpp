// One hint search on fields of the sizes the engine takes, up to the largest it searches: the
// usual field (fast bit field), the exact field with and without the second pair, and the
// widest and tallest, whose placements each keep a whole field.
#include <benchmark/benchmark.h>

#include "analysis/hint.h"

namespace peterin::analysis {
namespace {

void BM_SuggestOnFieldSize(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0));
    const auto height = static_cast<std::int32_t>(state.range(1));
    HintRequest request;
    resizeField(request.field, width, height, 1);
    // The lower third in four colours, no two alike side by side or one above the other.
    for (std::int32_t r = height - height / 3; r < height; ++r) {
        for (std::int32_t x = 0; x < width; ++x) {
            setCell(request.field, x, r, static_cast<CellKind>(1 + (x + 2 * r) % 4));
        }
    }
    Pair pair;
    pair.slot = {1, 0, 2, 0};
    loadPair(request.pair, pair);
    putAtSpawn(request.pair, request.field);
    request.next.assign(2, pair);
    request.rules = {4, true};
    for (auto _ : state) {
        benchmark::DoNotOptimize(suggest(request));
    }
}
BENCHMARK(BM_SuggestOnFieldSize)
    ->Args({6, 12})
    ->Args({16, 16})
    ->Args({17, 15})
    ->Args({64, 10})
    ->Args({6, 63})
    ->Args({64, 63})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace peterin::analysis

BENCHMARK_MAIN();
