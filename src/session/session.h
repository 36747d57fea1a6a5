#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/dat_file.h"
#include "files/last_state.h"
#include "history/history.h"
#include "history/playback.h"
#include "play/commands.h"
#include "play/game.h"
#include "play/game_events.h"
#include "puzzle/problem.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/solve_job.h"
#include "records/game_recorder.h"
#include "records/record_folder.h"
#include "session/command.h"
#include "session/shown_record.h"

namespace peterin {

// A player's turn timer was asked to run or to stop, in the order the game asked.
struct TimerChange {
    int player = 0;
    bool running = false;
    bool inOwnTick = false; // asked by the player's own tick, whose picture is still to come

    bool operator==(const TimerChange&) const = default;
};

// What one command, or one tick, changed: the window maps it to its widgets.
struct Changes {
    std::array<bool, kPlayerCount> field{};   // cells, falling pair or phase
    std::array<bool, kPlayerCount> queue{};   // the coming pairs
    std::array<bool, kPlayerCount> warning{}; // the nuisance announced
    bool all = false;                         // anything shown (the stored position on screen)
    bool sizes = false;                       // the views take new sizes
    bool modeSize = false;                    // the main window takes the size of the mode
    bool activate = false;                    // a mode key: the main window takes activation
    std::array<std::optional<ShownStatus>, kPlayerCount> status;
    std::optional<std::uint32_t> randomPosition;
    std::optional<std::string> tempId;
    std::vector<TimerChange> timers;
    std::vector<Message> messages;
    // The player whose tick ran, and whether its timer still runs after it.
    std::optional<int> ticked;
    bool tickedTimerWanted = false;
    bool history = false;  // undo and redo may have become possible or impossible
    bool playback = false; // paused, or the speed changed
    bool title = false;    // the file the window is named after changed
    bool bands = false;    // the heaven and limbo bands were shown or hidden
    bool checks = false;   // the menu's check marks may no longer match the game
    bool puzzle = false;   // the goal, or the puzzle being played, changed
    // The puzzle being played was just cleared or failed.
    std::optional<puzzle::Verdict> verdict;
    bool battle = false; // a decisive battle's game ended or began, or the computer changed

    bool empty() const;
};

// Watches the commands as the session applies them, each with the tick it came at: game
// records listen here, and nothing else needs to know who pressed a key.
class CommandObserver {
  public:
    virtual ~CommandObserver() = default;
    // `tick` counts the ticks run before the command (each player's tick counts once).
    virtual void applied(const Command& command, std::uint64_t tick) = 0;
};

// What opening a file came to.
struct OpenResult {
    bool opened = false;
    ReadReport report;
};

// The one application layer: it owns the game, the history of the user's steps, the playback
// and the writer of the work kept across exits, and it is the only way anything changes the
// game. Every command is named by what the user means; each one that changes the position is
// an undo step here and nowhere else. After each command and each tick it reports what changed
// to its view, as one value.
//
// Core only: the window, peterin-sim and the tests drive it through the same commands.
class Session : private GameEvents {
  public:
    // `timers`: the real timers of the players (the window's, or a headless stand-in);
    // `clockNs`: a monotonic clock, read only to pace speeds that are not whole milliseconds.
    Session(TickTimers& timers, std::function<std::int64_t()> clockNs);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() override;

    // Start-up, once the settings are in: see initGame.
    void start(std::int64_t nowSeconds);

    Game& game() { return game_; }
    const Game& game() const { return game_; }
    const History& history() const { return history_; }
    const Playback& playback() const { return *playback_; }

    // Who is shown what changed; one at a time (the window, or a test).
    void setView(std::function<void(const Changes&)> view) { view_ = std::move(view); }
    void addObserver(CommandObserver* observer);
    void removeObserver(CommandObserver* observer);

    // Applies one command; every named command below comes here.
    void apply(const Command& command);

    // Input.
    void keyDown(std::uint8_t key) { apply(KeyDown{key}); }
    void keyUp(std::uint8_t key) { apply(KeyUp{key}); }
    void wheel(int delta) { apply(Wheel{delta}); }
    void pointerMove(int player, std::uint16_t x, std::uint16_t y, bool leftHeld) {
        apply(PointerMove{player, x, y, leftHeld});
    }
    void pointerPress(int player, bool left) { apply(PointerPress{player, left}); }
    void strokeBegin() { apply(StrokeBegin{}); }
    void strokeEnd() { apply(StrokeEnd{}); }
    // The real timer of the player timed out.
    void timeout(int player) { apply(Timeout{player}); }

    // Undo and redo; both do nothing while a stored position is on screen, nor during a battle
    // against the computer (a step back would be a free retry).
    bool canUndo() const;
    bool canRedo() const;
    // A battle the computer plays a side of is being played (not yet won).
    bool againstComputer() const;
    // Going back a chain step ("前の連鎖へ") is refused as undo is during a battle against the
    // computer; a record shown is a replay, gone through at will.
    bool canGoBackChainStep() const;

    // Reads a position file as the open command does, as one undo step. Messages (a damaged
    // file, a read that stopped early) come with the changes. `names` puts the file in the
    // title, as opening does and reading the previous run's work does not.
    OpenResult openFile(const std::filesystem::path& path, bool names = true);
    // Writes a position file; false (and the message told) when it could not be written.
    // `asPuzzle` ("問題として保存") writes the position's goal with it, when it has one.
    bool saveFile(const std::filesystem::path& path, const WriteOptions& options,
                  bool asPuzzle = false);
    // The file the window is named after: the one opened or saved last; empty before any.
    const std::filesystem::path& fileName() const { return fileName_; }

    // The settings dialog's "OK" and "適用": `wanted` replaces the settings, the fields and
    // queues take their new sizes (one undo step when a size changed). A field too large is
    // refused whole: nothing changes, and the message for the user is returned.
    std::optional<Message> applySettings(const Settings& wanted);

    // The work kept across exits goes to `stateFolder` from now on; the previous run's file is
    // moved aside first (see StateKeeper). The records of the games played go to its folder
    // "records" (see RecordFolder).
    void keepWorkIn(const std::filesystem::path& stateFolder);
    // Where the records are kept, or nothing when no folder was named.
    RecordFolder* records() { return records_.get(); }
    // The newest work left by a program no longer running (this one's previous run, or one that
    // ran beside it), or nothing when there is none or no folder was named.
    std::optional<std::filesystem::path> previousWork() const;
    // The program ends: the work is written one last time, if this run wrote it at all, and
    // the game being recorded ends.
    void exit();

    // The game record shown in place of the live game, or nothing. While one is shown, the
    // playback plays it, the record commands go through it, and everything that would change
    // the game waits (keys, painting, the tool window, undo); reading a file or new settings
    // put the live game back first.
    const ShownRecord* shownRecord() const { return shown_.get(); }
    // Opens a record as OpenRecord does; false when it could not be shown (the message told).
    bool openRecord(const std::filesystem::path& path);

    // The live position's goal, which makes it a puzzle: a puzzle file read gives it (a file
    // bringing another position takes it away), and so does "問題を作る".
    const std::optional<puzzle::Goal>& goal() const { return goal_; }
    // The puzzle being played ("問題を解く"), or nothing: it ends when the position is replaced
    // or play mode is left.
    const puzzle::PuzzleRun* puzzleRun() const { return run_.get(); }
    // Its pairs whose turns have ended, and where it stands.
    int puzzlePairsPlayed() const;
    puzzle::Verdict puzzleVerdict() const;
    // A search of the puzzle on a thread of its own: the puzzle being played from its start,
    // or else the live position, with `goal` (else the position's own); or why there is none.
    struct PuzzleSearch {
        std::unique_ptr<puzzle::SolveJob> job;
        std::string error;
    };
    PuzzleSearch searchPuzzle(const std::optional<puzzle::Goal>& goal = std::nullopt) const;

    // The record of every game played (see GameRecorder): its listener keeps them.
    GameRecorder& recorder() { return recorder_; }
    const GameRecorder& recorder() const { return recorder_; }

  private:
    friend struct CommandRunner;

    // GameEvents: collected into the pending changes.
    void startTimer(int player) override;
    void stopTimer(int player) override;
    void fieldChanged(int player) override;
    void queueChanged(int player) override;
    void warningChanged(int player) override;
    void allChanged() override;
    void pairActed(int player, PairAction action) override;
    void nuisanceSent(int, std::int32_t) override {}
    void nuisanceFell(int, std::int32_t) override {}
    void statusChanged(int player, ShownStatus status) override;
    void tell(const Message& message) override;
    void randomPositionChanged(std::uint32_t position) override;
    void tempIdChanged(const std::string& text) override;
    void sizesChanged() override;
    void modeSizeDue() override;
    void battleDecided(int winner) override;

    // Runs `action` as one undo step of `kind`, the only place steps are wrapped.
    template <class F> void step(StepKind kind, F&& action) {
        history_.step(game_, kind, std::forward<F>(action));
    }
    void makePlayback();
    // The position was replaced by something other than play: its game's record ends, and pair
    // keys held for it are dropped.
    void replaced();
    // Plays the pair keys pressed while the playback held the game.
    void releaseHeldKeys();
    // The live game comes back in place of the shown record.
    void leaveRecord();
    // Plays what the shown record holds before its next tick, unless the playback holds it.
    void feedRecord(bool evenPaused = false);
    void afterTick(int player);
    // A record is shown in place of the live game, which is kept aside the first time.
    void showRecord(std::unique_ptr<ShownRecord> shown);
    // "問題を解く" (`again`: "もう一度"), "答えを見る", and the puzzle followed after each
    // command and tick.
    void startPuzzle(bool again);
    void showSolution(const puzzle::Solution& solution);
    void followPuzzle();
    // The next game of a decisive battle, as one step: the battle's start again, or with a
    // fresh random position.
    void nextBattle(bool samePosition);
    void keepWork();
    void flush();

    TickTimers& timers_;
    std::function<std::int64_t()> clockNs_;
    Game game_{*this};
    History history_;
    std::unique_ptr<Playback> playback_;
    std::unique_ptr<StateKeeper> keeper_;
    GameRecorder recorder_;
    std::unique_ptr<RecordFolder> records_;
    std::unique_ptr<ShownRecord> shown_;
    Snapshot live_; // the live game while a record is shown, stored positions and all
    RecordRules liveRules_;
    BattleScore liveScore_;
    std::filesystem::path fileName_;
    std::function<void(const Changes&)> view_;
    std::vector<CommandObserver*> observers_;
    Changes pending_;
    bool stroke_ = false;                // a left-button stroke is open
    std::vector<std::uint8_t> heldKeys_; // pair keys pressed while paused, in order
    OpenResult lastOpen_;
    std::optional<Message> lastRefusal_;
    std::optional<puzzle::Goal> goal_;
    std::unique_ptr<puzzle::PuzzleRun> run_;
    Snapshot puzzleStart_;                // where the puzzle being played began
    puzzle::Problem puzzleProblem_;       // and what it is
    bool dropSeen_ = false;               // 1P's drop key acted since the puzzle was last followed
    std::optional<Snapshot> battleStart_; // the position the last battle began from
};

// A key press with its undo step: the drop, mode, clear and temporary-load keys are steps; every
// other key (moving the pair, edit kinds) is not. Returns whether it was a mode key.
bool pressKey(Game& game, History& history, std::uint8_t key);

} // namespace peterin
