#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "history/delta.h"
#include "history/snapshot.h"
#include "play/commands.h"
#include "play/game.h"

namespace peterin {

// What the history just did, for whoever shows it or writes the position out after each step.
enum class HistoryEvent { Recorded, Undone, Redone };

// How one step begins.
enum class StepKind {
    Edit,     // an action that is over when it returns, or a paint stroke (until end is called)
    Drop,     // a pair key that may start a turn; joins a turn already running, except that the
              // other side's drop in a battle starts a step of its own
    FileRead, // like Edit, but it may also replace the temporary-save store
};

// Multi-level undo and redo of the steps the user takes with the live position.
//
// The caller marks each step: begin before it, end after it. A step that leaves a player's turn
// running stays open until afterTick sees the game wait for the user again (every side idle or
// waiting for its partner), so a turn from its drop through the whole chain, the nuisance sent
// and received included, is one step. In a battle each side's drop is a step of its own. A step
// that changed nothing is not recorded; a recorded one forgets what could be redone.
//
// Each step keeps only what it changed, before and after, so undo and redo put back those parts
// and leave alone what changed outside the steps (the pair moved, the mode changed, a position
// stored). The oldest steps are forgotten beyond `maxSteps` or `maxBytes`.
//
// Core only: the main window and the tests drive it through the same calls.
class History {
  public:
    static constexpr std::size_t kDefaultMaxSteps = 100000;
    static constexpr std::size_t kDefaultMaxBytes = std::size_t{256} << 20;

    explicit History(std::size_t maxSteps = kDefaultMaxSteps,
                     std::size_t maxBytes = kDefaultMaxBytes);

    // A step starts. Whatever step is still open (a stroke whose release never came, a running
    // turn) is recorded first, up to this moment, unless `kind` is Drop and a turn is open.
    void begin(const Game& game, StepKind kind = StepKind::Edit);
    // The step's action is over: it is recorded now, or when the turn it started has run out.
    void end(const Game& game);
    // The step's action turned out not to be one (a settings dialog that changed no size): it
    // is dropped unrecorded.
    void discard();
    // After each tick of a player's turn, and after anything else that may stop the turns (a
    // mode change): a turn step whose turns have all run out is recorded.
    void afterTick(const Game& game);

    // Runs `action` as one step of `kind`.
    template <class F> decltype(auto) step(Game& game, StepKind kind, F&& action) {
        struct Closer {
            History& h;
            Game& g;
            ~Closer() { h.end(g); }
        };
        begin(game, kind);
        Closer closer{*this, game};
        return action();
    }

    // Takes the last step back: an open step is recorded first, so an undo while a turn runs
    // stops the turn and returns to the position before its drop. Returns false with nothing
    // to undo.
    bool undo(Game& game);
    // Takes the last undone step again. When that puts back a turn still running, the turn
    // runs on and its step stays open until it runs out. Returns false with nothing to redo.
    bool redo(Game& game);

    bool canUndo() const { return !done_.empty() || open_.has_value(); }
    bool canRedo() const { return !undone_.empty(); }
    // Whether a step is open (a stroke, a running turn).
    bool stepOpen() const { return open_.has_value(); }

    std::size_t undoCount() const { return done_.size(); }
    std::size_t redoCount() const { return undone_.size(); }
    // The bytes the kept steps take.
    std::size_t bytes() const { return bytes_; }
    // Counts every step recorded, undone or redone.
    std::uint64_t revision() const { return revision_; }

    // Called after every step recorded, undone or redone, after the game shows it. The main
    // window takes it for its menu and passes it on as its signal historyChanged.
    std::function<void(HistoryEvent)> onChange;

    // Forgets every step (the open one included).
    void clear();

  private:
    struct Open {
        Snapshot before;
        StepKind kind = StepKind::Edit;
        bool runningAtBegin = false; // a turn was running when the step began
        bool turn = false;           // it stays open for the turn it started
        bool ended = false;          // end was called: a turn running out may record it
        bool resumed = false;        // a redone turn running on: recording it keeps the redo list
    };

    void close(const Game& game);
    void record(Delta delta, bool keepRedo);
    void trim();
    void notify(HistoryEvent event);

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::deque<Delta> done_;
    std::deque<Delta> undone_;
    std::optional<Open> open_;
    // Where a drop into an open turn came in; in a one-person battle a new side's drop splits
    // the turn there.
    std::optional<Snapshot> joinedAt_;
    Snapshot scratch_; // the live state, captured again at each undo, redo and step's end
    std::size_t bytes_ = 0;
    std::uint64_t revision_ = 0;
};

// Whether any player's turn is running: a side that takes part in the mode and is neither idle
// nor waiting for its partner, that is, whose timer runs.
bool anyTurnRunning(const Game& game);

} // namespace peterin
