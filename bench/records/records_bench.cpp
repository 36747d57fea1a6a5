// Game records: their size per turn, the cost of recording on the tick path, a whole replay and
// going to a turn of a long battle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "analysis/hint.h"
#include "analysis/planner.h"
#include "records/record.h"
#include "records/record_folder.h"
#include "records/replay.h"
#include "review/review.h"
#include "session/session.h"

using namespace peterin;

namespace {

struct NoTimers : TickTimers {
    void startTicking(int, int) override {}
    void stopTicking(int) override {}
};

// A game played by the engine's quickest level through the session's keys, as a player
// would; `battle` plays both sides with a key set each.
Record playGame(bool battle, int turns) {
    NoTimers timers;
    Session session(timers, [] { return std::int64_t{0}; });
    session.start(0);
    Record kept;
    session.recorder().setListener([&](const Record& record) { kept = record; });
    const Game& game = session.game();
    const auto key = [&](PairAction action, int group) {
        session.keyDown(game.settings.keys[static_cast<std::size_t>(pairKeyIndex(action, group))]);
    };
    if (battle) {
        session.apply(ToggleOnePersonBattle{});
    }
    session.apply(SetMode{battle ? Mode::Battle : Mode::Play});
    std::mt19937 random(7);
    const analysis::EngineOptions quick{1};
    while (kept.turns() < turns) {
        for (int p = 0; p < (battle ? 2 : 1); ++p) {
            if (game.players[static_cast<std::size_t>(p)].phase != Phase::Idle) {
                continue;
            }
            const int group =
                battle ? (p == 0 ? kKeyGroupBattle1P : kKeyGroupBattle2P) : kKeyGroupSolo;
            const auto ranked = analysis::plan(analysis::hintRequestFor(game, p), quick);
            if (!ranked.empty()) {
                for (const PairAction move : ranked.front().placement.moves) {
                    key(move, group);
                }
            }
            key(PairAction::Down, group);
        }
        // The sides' timers in a changing order, as two real timers would fire.
        for (int rounds = 1 + static_cast<int>(random() % 8); rounds > 0; --rounds) {
            const int first = static_cast<int>(random() % 2);
            for (int i = 0; i < kPlayerCount; ++i) {
                if (session.playback().timerWanted((first + i) % 2)) {
                    session.timeout((first + i) % 2);
                }
            }
        }
    }
    session.exit();
    return kept;
}

const Record& solo() {
    static const Record record = playGame(false, 200);
    return record;
}

const Record& battle() {
    static const Record record = playGame(true, 1000);
    return record;
}

void BM_RecordSize(benchmark::State& state) {
    const Record& record = state.range(0) ? battle() : solo();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = formatRecord(record).size();
    }
    state.counters["turns"] = record.turns();
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["bytes_per_turn"] = static_cast<double>(bytes) / record.turns();
    state.SetLabel(state.range(0) ? "battle" : "solo");
}
BENCHMARK(BM_RecordSize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What recording adds to a turn on the tick path: handing the record to the folder's writer,
// which copies it (the writing itself is on the writer's thread).
void BM_KeepTurn(benchmark::State& state) {
    const Record& record = battle();
    const auto folder = std::filesystem::temp_directory_path() / "peterin-bench-records";
    RecordFolder kept(folder);
    for (auto _ : state) {
        kept.keep(record);
    }
    kept.flush();
    std::filesystem::remove_all(folder);
    state.SetLabel("a 1000-turn battle's record");
}
BENCHMARK(BM_KeepTurn)->Unit(benchmark::kMicrosecond);

void BM_ReplayWhole(benchmark::State& state) {
    const Record& record = state.range(0) ? battle() : solo();
    for (auto _ : state) {
        Replay replay(record);
        if (replay.check()) {
            state.SkipWithError("the replay disagrees with its record");
        }
    }
    state.SetLabel(state.range(0) ? "1000-turn battle" : "200-turn solo game");
}
BENCHMARK(BM_ReplayWhole)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Going to a turn chosen at random, from wherever the last one left the replay.
void BM_SeekTurn(benchmark::State& state) {
    const Record& record = battle();
    Replay replay(record);
    if (replay.check()) {
        state.SkipWithError("the replay disagrees with its record");
        return;
    }
    std::mt19937 random(1);
    double worst = 0;
    for (auto _ : state) {
        const int turn = static_cast<int>(random() % static_cast<unsigned>(record.turns() + 1));
        const auto started = std::chrono::steady_clock::now();
        replay.seekTurn(turn);
        worst = std::max(worst, std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - started)
                                    .count());
    }
    state.counters["worst_ms"] = worst;
    state.SetLabel("1000-turn battle");
}
BENCHMARK(BM_SeekTurn)->Unit(benchmark::kMillisecond);

// The review of a 200-turn solo game and a 100-turn battle at the default level, on all the
// machine's cores (Arg 0) and on one (Arg 1): each turn is one search of the engine.
void reviewGame(benchmark::State& state, bool battle, int turns) {
    const Record record = playGame(battle, turns);
    ReviewOptions options;
    options.threads = static_cast<int>(state.range(0));
    std::size_t mistakes = 0;
    for (auto _ : state) {
        const ReviewResult review = reviewRecord(record, options);
        mistakes = static_cast<std::size_t>(
            std::count_if(review.turns.begin(), review.turns.end(),
                          [](const TurnReview& t) { return t.grade != MoveGrade::None; }));
    }
    state.counters["turns"] = record.turns();
    state.counters["mistakes"] = static_cast<double>(mistakes);
}
void BM_ReviewSolo200(benchmark::State& state) {
    reviewGame(state, false, 200);
}
void BM_ReviewBattle100(benchmark::State& state) {
    reviewGame(state, true, 100);
}
BENCHMARK(BM_ReviewSolo200)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReviewBattle100)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
