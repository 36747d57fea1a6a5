#include "sequence/pair_sequence.h"
#include "sequence/random.h"

#include <benchmark/benchmark.h>

namespace {

using namespace peterin;

constexpr std::uint32_t kFarthest = 0x7FFFFFFF; // the largest position decimal text gives

void SeekByJumpAhead(benchmark::State& state) {
    RandomState random;
    seek(random, 1); // the power table is built once, at the first seek
    for (auto _ : state) {
        seek(random, kFarthest);
        benchmark::DoNotOptimize(random);
    }
}
BENCHMARK(SeekByJumpAhead)->Unit(benchmark::kMicrosecond);

void SeekByStepping(benchmark::State& state) {
    RandomState random;
    for (auto _ : state) {
        seekByStepping(random, kFarthest);
        benchmark::DoNotOptimize(random);
    }
}
BENCHMARK(SeekByStepping)->Unit(benchmark::kMillisecond)->Iterations(3);

void MakeAMillionPairs(benchmark::State& state) {
    for (auto _ : state) {
        PairSequence sequence;
        startSequence(sequence, 0, 3);
        for (int i = 0; i < 1'000'000; ++i) {
            benchmark::DoNotOptimize(advance(sequence));
        }
    }
}
BENCHMARK(MakeAMillionPairs)->Unit(benchmark::kMillisecond);

} // namespace
