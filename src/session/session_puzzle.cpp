#include "session/session.h"

#include "play/commands.h"
#include "play/turn_cycle.h"

#include <utility>

namespace peterin {

namespace {

// Timers nobody runs: a session of its own plays a solution by calling its ticks.
struct StillTimers : TickTimers {
    void startTicking(int, int) override {}
    void stopTicking(int) override {}
};

constexpr long kMostTurnTicks = 100'000'000;

// Runs 1P's turn until 1P waits again; false when it never does.
bool runOutTurn(Session& session) {
    for (long i = 0; i < kMostTurnTicks; ++i) {
        if (!session.playback().timerWanted(0)) {
            return true;
        }
        session.timeout(0);
    }
    return false;
}

// The record of `solution` played from `start` with the pair keys in play mode, by a session of
// its own with the game's settings; nothing when a placement cannot be played as it says.
std::optional<Record> solutionRecord(const Settings& settings, const Snapshot& start,
                                     const puzzle::Solution& solution) {
    StillTimers timers;
    Session scratch(timers, [] { return std::int64_t{0}; });
    scratch.game().settings = settings;
    scratch.start(0);
    restore(scratch.game(), start);
    scratch.apply(SetSpeed{PlaybackSpeed::Normal});
    scratch.apply(SetMode{Mode::Play});
    if (!runOutTurn(scratch)) {
        return std::nullopt;
    }
    const Game& game = scratch.game();
    const auto key = [&](PairAction action) {
        return settings.keys[static_cast<std::size_t>(pairKeyIndex(action, kKeyGroupSolo))];
    };
    for (const analysis::Placement& placement : solution) {
        for (const PairAction move : placement.moves) {
            scratch.keyDown(key(move));
        }
        if (!(game.players[0].fallingPair == placement.pair)) {
            return std::nullopt;
        }
        scratch.keyDown(key(PairAction::Down));
        if (!runOutTurn(scratch)) {
            return std::nullopt;
        }
    }
    scratch.recorder().close(game);
    const Record* record = scratch.recorder().latest();
    return record ? std::optional<Record>(*record) : std::nullopt;
}

Message puzzleMessage(std::string text) {
    return {std::move(text), "問題", MessageIcon::Warning};
}

constexpr const char* kNoGoal = "この局面は問題ではありません。問題のファイルを開くか、"
                                "「問題を作る」で条件を決めてください。";

} // namespace

void Session::startPuzzle(bool again) {
    if (again) {
        if (!run_) {
            return;
        }
        const Snapshot start = puzzleStart_;
        step(StepKind::Edit, [&] {
            restore(game_, start);
            changeMode(game_, Mode::Play);
        });
        replaced();
        pending_.puzzle = true;
        return;
    }
    if (!goal_) {
        tell(puzzleMessage(kNoGoal));
        return;
    }
    puzzle::ProblemOf made = puzzle::problemOf(game_, *goal_);
    if (!made.problem) {
        tell(puzzleMessage(made.error));
        return;
    }
    puzzleStart_ = capture(game_, false);
    const int pairs = static_cast<int>(made.problem->pairs.size());
    puzzleProblem_ = std::move(*made.problem);
    run_ = std::make_unique<puzzle::PuzzleRun>(*goal_, game_.players[0].sequence, pairs);
    step(StepKind::Edit, [&] { changeMode(game_, Mode::Play); });
    replaced();
    pending_.puzzle = true;
}

void Session::followPuzzle() {
    const bool dropped = std::exchange(dropSeen_, false);
    if (!run_ || shown_) {
        return;
    }
    const Player& self = game_.players[0];
    const std::optional<int> landed = run_->landed(self.sequence);
    if (game_.mode != Mode::Play || !landed) {
        run_.reset(); // the puzzle's position is gone
        pending_.puzzle = true;
        return;
    }
    if (dropped) {
        run_->dropped(*landed, self.field);
        pending_.puzzle = true;
    }
    if (run_->turnOpen() && self.phase == Phase::Idle) {
        const puzzle::Verdict before = puzzleVerdict();
        run_->turnEnded(*landed, self.field, self.chainCount);
        const puzzle::Verdict after = puzzleVerdict();
        if (before == puzzle::Verdict::Playing && after != puzzle::Verdict::Playing) {
            pending_.verdict = after;
        }
        pending_.puzzle = true;
    }
}

int Session::puzzlePairsPlayed() const {
    if (!run_) {
        return 0;
    }
    if (run_->turnOpen()) {
        return run_->openPair();
    }
    return run_->landed(game_.players[0].sequence).value_or(0);
}

puzzle::Verdict Session::puzzleVerdict() const {
    return run_ ? run_->verdict(puzzlePairsPlayed()) : puzzle::Verdict::Playing;
}

Session::PuzzleSearch Session::searchPuzzle(const std::optional<puzzle::Goal>& goal) const {
    if (run_ && !goal) {
        return {std::make_unique<puzzle::SolveJob>(puzzleProblem_), {}};
    }
    const std::optional<puzzle::Goal> wanted = goal ? goal : goal_;
    if (!wanted) {
        return {nullptr, kNoGoal};
    }
    if (shown_) {
        return {nullptr, "記録を閉じてから、もう一度選んでください。"};
    }
    puzzle::ProblemOf made = puzzle::problemOf(game_, *wanted);
    if (!made.problem) {
        return {nullptr, made.error};
    }
    return {std::make_unique<puzzle::SolveJob>(std::move(*made.problem)), {}};
}

void Session::showSolution(const puzzle::Solution& solution) {
    Settings settings = game_.settings;
    if (shown_) {
        putRules(settings, liveRules_);
    }
    const Snapshot start = run_ ? puzzleStart_ : shown_ ? live_ : capture(game_, false);
    std::optional<Record> record = solutionRecord(settings, start, solution);
    if (!record) {
        tell(puzzleMessage("答えを再生できませんでした。"));
        return;
    }
    std::vector<std::int64_t> lines(record->events.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = static_cast<std::int64_t>(i) + 1;
    }
    auto shown = std::make_unique<ShownRecord>(std::move(*record), std::move(lines), "問題の答え");
    if (const auto fault = shown->check()) {
        tell(puzzleMessage("答えを再生できませんでした。\n" + *fault));
        return;
    }
    // Held at its start: the "再生" commands step through it.
    playback_->setPaused(true);
    pending_.playback = true;
    showRecord(std::move(shown));
}

} // namespace peterin
