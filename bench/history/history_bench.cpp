// The history's cost: recording a step, undoing and redoing it, on a two-player position of the
// default size and of the largest size the settings allow; and the memory a step keeps, over a
// session of play and painting.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "history/history.h"
#include "play/commands.h"
#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "session/session.h"

namespace peterin {
namespace {

// Fires the turn timers of a headless game, as the window's timers would.
struct TickingUi : NullGameEvents {
    std::array<bool, kPlayerCount> running{};
    void startTimer(int p) override { running[static_cast<std::size_t>(p)] = true; }
    void stopTimer(int p) override { running[static_cast<std::size_t>(p)] = false; }
};

void runTurns(Game& game, TickingUi& ui, History& history) {
    for (int round = 0; round < 1000000; ++round) {
        bool any = false;
        for (int p = 0; p < kPlayerCount; ++p) {
            if (ui.running[static_cast<std::size_t>(p)]) {
                gameTick(game, p);
                history.afterTick(game);
                any = true;
            }
        }
        if (!any) {
            return;
        }
    }
}

// Both fields three-quarters full of random colours with no group of four, the turn backup
// and one stored position the same: a busy two-player position.
void fillBattle(Game& game, std::int32_t width, std::int32_t height) {
    game.settings.fieldWidth = width;
    game.settings.fieldHeight = height;
    initGame(game, 0);
    std::mt19937 random(7);
    for (Player& player : game.players) {
        std::vector<CellWrite> writes;
        for (std::int32_t r = height / 4; r < height; ++r) {
            for (std::int32_t x = 0; x < width; ++x) {
                // Stripes of two in each row and column keep the groups small.
                const auto kind = static_cast<CellKind>(1 + (x / 2 + r / 2 * 2) % 5);
                writes.push_back({x, r, random() % 9 == 0 ? CellKind::Nuisance : kind});
            }
        }
        setCells(player.field, writes);
    }
    game.mode = Mode::Battle;
    game.players[0].phase = Phase::Idle;
    storeTurnBackup(game);
    tempStore(game);
    game.tempCursor = kLivePosition;
}

// The history's part of one step, begin and end, timed without the step's action between them
// (a single cell painted, or both fields cleared, every cell changing).
void recordStep(benchmark::State& state, bool clear) {
    NullGameEvents ui;
    Game game(ui);
    fillBattle(game, static_cast<std::int32_t>(state.range(0)),
               static_cast<std::int32_t>(state.range(1)));
    const Snapshot full = capture(game);
    History history;
    int i = 0;
    for (auto _ : state) {
        history.begin(game);
        state.PauseTiming();
        if (clear) {
            clearFields(game);
        } else {
            setCell(game.players[0].field, 0, 0, (++i & 1) != 0 ? CellKind::Red : CellKind::Empty);
        }
        state.ResumeTiming();
        history.end(game);
        if (clear) {
            state.PauseTiming();
            restore(game, full);
            state.ResumeTiming();
        }
    }
    state.counters["bytes_per_step"] =
        static_cast<double>(history.bytes()) / static_cast<double>(history.undoCount());
}

void BM_RecordPaintStep(benchmark::State& state) {
    recordStep(state, false);
}
void BM_RecordClearStep(benchmark::State& state) {
    recordStep(state, true);
}

// Undo and redo of a step of `kind`: each iteration times one undo or one redo.
void undoRedo(benchmark::State& state, bool clear) {
    NullGameEvents ui;
    Game game(ui);
    fillBattle(game, static_cast<std::int32_t>(state.range(0)),
               static_cast<std::int32_t>(state.range(1)));
    History history;
    history.step(game, StepKind::Edit, [&] {
        if (clear) {
            clearFields(game);
        } else {
            setCell(game.players[1].field, 1, 1, CellKind::Iron);
        }
    });
    bool undo = true;
    for (auto _ : state) {
        undo ? history.undo(game) : history.redo(game);
        undo = !undo;
    }
}

void BM_UndoRedoPaintStep(benchmark::State& state) {
    undoRedo(state, false);
}
void BM_UndoRedoClearStep(benchmark::State& state) {
    undoRedo(state, true);
}

// A session: `steps` steps, most of them turns of a pair moved and turned at random and
// dropped, the rest paint strokes of one to five cells; the field is cleared whenever its
// spawn column fills. Reports the bytes each step keeps.
void BM_SessionMemory(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0));
    const auto height = static_cast<std::int32_t>(state.range(1));
    const bool battle = state.range(2) != 0;
    constexpr int kSteps = 1000;
    std::vector<double> sizes;
    std::size_t kept = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        TickingUi ui;
        Game game(ui);
        game.settings.fieldWidth = width;
        game.settings.fieldHeight = height;
        initGame(game, 0);
        History history;
        std::size_t last = 0;
        sizes.clear();
        history.onChange = [&](HistoryEvent event) {
            if (event == HistoryEvent::Recorded) {
                sizes.push_back(static_cast<double>(history.bytes() - last));
            }
            last = history.bytes();
        };
        changeMode(game, battle ? Mode::Battle : Mode::Play);
        runTurns(game, ui, history);
        std::mt19937 random(3);
        const std::uint8_t drop = game.settings.keys[pairKeyIndex(PairAction::Down, 0)];
        for (int guard = 0; history.undoCount() < kSteps && guard < 100 * kSteps; ++guard) {
            if (getCell(game.players[0].field, 2, 1) != CellKind::Empty ||
                getCell(game.players[1].field, 2, 1) != CellKind::Empty) {
                pressKey(game, history, game.settings.keys[kKeyClearAll]);
            } else if (random() % 4 == 0) {
                game.editKind = static_cast<CellKind>(1 + random() % 7);
                history.begin(game);
                for (int n = 1 + static_cast<int>(random() % 5); n > 0; --n) {
                    setCell(game.players[random() % 2].field,
                            static_cast<std::int32_t>(random() % static_cast<unsigned>(width)),
                            height - 1 - static_cast<std::int32_t>(random() % 4), game.editKind);
                }
                history.end(game);
            } else {
                const int p = game.players[0].phase == Phase::Idle ? 0 : 1;
                FallingPair& pair = game.players[static_cast<std::size_t>(p)].fallingPair;
                const Field& field = game.players[static_cast<std::size_t>(p)].field;
                for (int n = static_cast<int>(random() % 4); n > 0; --n) {
                    rotateRight(pair, field);
                }
                for (int n = static_cast<int>(random() % static_cast<unsigned>(width)); n > 0;
                     --n) {
                    (random() % 2 == 0) ? moveLeft(pair, field) : moveRight(pair, field);
                }
                pressKey(game, history, drop);
            }
            runTurns(game, ui, history);
        }
        kept = history.undoCount();
        bytes = history.bytes();
    }
    std::sort(sizes.begin(), sizes.end());
    const auto at = [&](double q) {
        return sizes[static_cast<std::size_t>(q * static_cast<double>(sizes.size() - 1))];
    };
    state.counters["steps"] = static_cast<double>(kept);
    state.counters["mean_bytes"] = static_cast<double>(bytes) / static_cast<double>(kept);
    state.counters["min"] = sizes.front();
    state.counters["median"] = at(0.5);
    state.counters["p90"] = at(0.9);
    state.counters["p99"] = at(0.99);
    state.counters["max"] = sizes.back();
}

double maxOf(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}
double minOf(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

#define SIZES Args({6, 12})->Args({100, 100})
#define TIMED                                                                                      \
    Unit(benchmark::kMicrosecond)                                                                  \
        ->Repetitions(10)                                                                          \
        ->ComputeStatistics("min", minOf)                                                          \
        ->ComputeStatistics("max", maxOf)                                                          \
        ->ReportAggregatesOnly(true)

BENCHMARK(BM_RecordPaintStep)->SIZES->TIMED;
BENCHMARK(BM_RecordClearStep)->SIZES->TIMED;
BENCHMARK(BM_UndoRedoPaintStep)->SIZES->TIMED;
BENCHMARK(BM_UndoRedoClearStep)->SIZES->TIMED;
BENCHMARK(BM_SessionMemory)
    ->Args({6, 12, 0})
    ->Args({6, 12, 1})
    ->Args({100, 100, 0})
    ->Args({100, 100, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace peterin

BENCHMARK_MAIN();
