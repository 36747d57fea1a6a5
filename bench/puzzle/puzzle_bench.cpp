// The solver on puzzles of three, four and five pairs on a 6 x 12 field: every placement the
// pair keys reach, searched to the end. The counters say what each search found: the
// placements tried, the solutions and the positions they end in.
#include <benchmark/benchmark.h>

#include <array>
#include <string_view>

#include "puzzle/solver.h"

namespace peterin::puzzle {
namespace {

// The visible rows, top to bottom; a stack a chain can be built on, left open at the spawn
// column.
constexpr std::array<std::string_view, 12> kRows = {
    "------", "------", "------", "------", "------", "------",
    "------", "------", "G-----", "RG--YB", "RRGYBB", "BBGYYR",
};

// The pairs, as the pattern hands them out: (pivot, upper blob).
constexpr std::array<std::array<CellKind, 2>, 5> kPairs = {{
    {CellKind::Red, CellKind::Blue},
    {CellKind::Yellow, CellKind::Green},
    {CellKind::Blue, CellKind::Blue},
    {CellKind::Red, CellKind::Yellow},
    {CellKind::Green, CellKind::Red},
}};

Problem benchProblem(int pairs, const Goal& goal) {
    Problem problem;
    resizeField(problem.field, 6, 12, 1);
    for (std::int32_t r = 0; r < 12; ++r) {
        for (std::int32_t x = 0; x < 6; ++x) {
            if (const auto kind = kindFromLetter(kRows[static_cast<std::size_t>(r)][x])) {
                setCell(problem.field, x, r, *kind);
            }
        }
    }
    for (int i = 0; i < pairs; ++i) {
        Pair pair;
        const auto& colours = kPairs[static_cast<std::size_t>(i)];
        pair.slot = {static_cast<int>(colours[1]), 0, static_cast<int>(colours[0]), 0};
        FallingPair falling;
        loadPair(falling, pair);
        putAtSpawn(falling, problem.field);
        problem.pairs.push_back(falling);
    }
    problem.goal = goal;
    problem.rules = {4, true};
    return problem;
}

void solveBench(benchmark::State& state, const Goal& goal) {
    const Problem problem = benchProblem(static_cast<int>(state.range(0)), goal);
    SolveResult result;
    for (auto _ : state) {
        result = solve(problem);
        benchmark::DoNotOptimize(result);
    }
    state.counters["nodes"] = static_cast<double>(result.nodes);
    state.counters["solutions"] = static_cast<double>(result.solutions);
    state.counters["finals"] = static_cast<double>(result.finalPositions);
}

// A goal met on many lines: the search stops each of them at its turn.
void BM_SolveChain2(benchmark::State& state) {
    solveBench(state, {GoalKind::ChainAtLeast, 2, CellKind::Empty});
}
// A goal few lines or none meet: nothing is cut short but the hopeless fields.
void BM_SolveChain4(benchmark::State& state) {
    solveBench(state, {GoalKind::ChainAtLeast, 4, CellKind::Empty});
}
// A goal that cuts lines as soon as their colour can no longer vanish whole.
void BM_SolveClearYellow(benchmark::State& state) {
    solveBench(state, {GoalKind::ClearColour, 1, CellKind::Yellow});
}

BENCHMARK(BM_SolveChain2)->DenseRange(3, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveChain4)->DenseRange(3, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveClearYellow)->DenseRange(3, 5)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace peterin::puzzle

BENCHMARK_MAIN();
