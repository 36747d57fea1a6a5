// Reading and writing position files: the default field, the largest field the default
// settings allow, and a file with many temporary positions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "files/dat_file.h"
#include "files/last_state.h"
#include "files/text_input.h"
#include "play/game.h"

namespace {

using namespace peterin;

using NullUi = NullGameEvents;

// A file with one field of the given size filled with `letter` (or a colour pattern).
std::string fieldFile(int width, int height, bool oneColour) {
    std::string text = "[M]\n" + std::to_string(width) + ", " + std::to_string(height) + "\n";
    for (int r = 0; r < height + 3; ++r) {
        for (int x = 0; x < width; ++x) {
            text += oneColour ? 'R' : "RBGY"[(x / 2 + r / 2) % 4];
        }
        text += '\n';
    }
    return text + "[m]\n" + text.substr(text.find('\n', 4) + 1) + "[N]\nRBGY\n2\n@57?*\n";
}

void readText(Game& game, const std::string& text) {
    std::stringbuf source(text);
    TextModeBuf buf(source);
    readFile(game, buf);
}

void BM_ReadField(benchmark::State& state) {
    const std::string text = fieldFile(static_cast<int>(state.range(0)),
                                       static_cast<int>(state.range(1)), state.range(2) != 0);
    NullUi ui;
    Game game(ui);
    initGame(game, 0);
    for (auto _ : state) {
        readText(game, text);
        benchmark::DoNotOptimize(game.players[0].field.cells.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadField)
    ->Args({6, 12, 0})
    ->Args({100, 100, 0})
    ->Args({100, 100, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_WriteWithTempPositions(benchmark::State& state) {
    NullUi ui;
    Game game(ui);
    initGame(game, 0);
    std::string position = "[-]\n";
    for (int i = 0; i < state.range(0); ++i) {
        position += fieldFile(6, 12, false) + "[-]\n";
    }
    readText(game, position);
    WriteOptions all;
    all.bothPlayers = all.next = all.tempSaves = true;
    for (auto _ : state) {
        std::string text = formatFile(game, all);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_WriteWithTempPositions)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_ReadTempPositions(benchmark::State& state) {
    std::string text = "[-]\n";
    for (int i = 0; i < state.range(0); ++i) {
        text += fieldFile(6, 12, false) + "[-]\n";
    }
    NullUi ui;
    Game game(ui);
    initGame(game, 0);
    for (auto _ : state) {
        readText(game, text);
        benchmark::DoNotOptimize(game.tempSaves.data());
    }
}
BENCHMARK(BM_ReadTempPositions)->Arg(100)->Unit(benchmark::kMicrosecond);

// The work kept after every step: a 6 x 12 game with 100 stored positions, written whole and
// renamed into place in a temporary folder (TMPDIR, else /tmp), as the program does.
void BM_KeepLastState(benchmark::State& state) {
    NullUi ui;
    Game game(ui);
    initGame(game, 0);
    std::string positions = "[-]\n";
    for (int i = 0; i < state.range(0); ++i) {
        positions += fieldFile(6, 12, false) + "[-]\n";
    }
    readText(game, positions);
    std::string folder = (std::filesystem::temp_directory_path() / "peterin-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    StateKeeper keeper(folder);
    for (auto _ : state) {
        if (keeper.write(game)) {
            state.SkipWithError("the state could not be written");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_KeepLastState)
    ->Arg(100)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(false)
    ->ComputeStatistics("max", [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end());
    });

} // namespace

BENCHMARK_MAIN();
