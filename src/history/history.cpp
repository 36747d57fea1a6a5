#include "history/history.h"

#include <utility>

namespace peterin {

namespace {

bool takesPart(const Game& game, int player) {
    return game.mode == Mode::Battle || (game.mode == Mode::Play && player == 0);
}

// A side idle at `before` whose turn started since.
bool newDrop(const Snapshot& before, const Game& game) {
    for (int p = 0; p < kPlayerCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (takesPart(game, p) && before.players[i].phase == Phase::Idle &&
            game.players[i].phase != Phase::Idle) {
            return true;
        }
    }
    return false;
}

// A step that replaced the store is about to be taken back or again: positions stored since
// (not steps themselves) would be lost, so the store as it stands becomes that side of the step.
void keepStore(Delta& delta, const Snapshot& now, Side side) {
    if (!delta.storeBefore) {
        return;
    }
    auto store = std::make_shared<const StoreState>(
        StoreState{now.tempSaves, now.tempCursor, now.tempIdText});
    (side == Side::After ? delta.storeAfter : delta.storeBefore) = std::move(store);
}

} // namespace

bool anyTurnRunning(const Game& game) {
    for (int p = 0; p < kPlayerCount; ++p) {
        const Player& player = game.players[static_cast<std::size_t>(p)];
        const bool waiting = game.mode == Mode::Battle && player.waitingForPartner != 0;
        if (takesPart(game, p) && player.phase != Phase::Idle && !waiting) {
            return true;
        }
    }
    return false;
}

History::History(std::size_t maxSteps, std::size_t maxBytes)
    : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

void History::begin(const Game& game, StepKind kind) {
    if (open_ && open_->turn && kind == StepKind::Drop) {
        joinedAt_ = capture(game, false);
        return;
    }
    if (open_) {
        close(game);
    }
    open_ = Open{capture(game, kind == StepKind::FileRead), kind, anyTurnRunning(game)};
}

void History::end(const Game& game) {
    if (!open_) {
        return;
    }
    const bool running = anyTurnRunning(game);
    open_->ended = true;
    if (joinedAt_) {
        Snapshot at = std::move(*joinedAt_);
        joinedAt_.reset();
        if (newDrop(at, game)) {
            record(diff(open_->before, at), open_->resumed);
            open_ = Open{std::move(at), StepKind::Drop, true, true, true};
        }
    } else if (running && (open_->kind == StepKind::Drop || !open_->runningAtBegin)) {
        open_->turn = true;
    }
    if (!open_->turn || !running) {
        close(game);
    }
}

void History::discard() {
    open_.reset();
    joinedAt_.reset();
}

void History::afterTick(const Game& game) {
    // A step whose action goes on (a stroke still held, its paint falling in play mode) is not
    // over when its turns run out.
    if (open_ && open_->ended && open_->turn && !anyTurnRunning(game)) {
        close(game);
    }
}

void History::close(const Game& game) {
    captureInto(scratch_, game, open_->before.hasStore);
    Delta delta = diff(open_->before, scratch_);
    const bool resumed = open_->resumed;
    open_.reset();
    joinedAt_.reset();
    record(std::move(delta), resumed);
}

void History::record(Delta delta, bool keepRedo) {
    if (delta.empty()) {
        return;
    }
    if (!keepRedo) {
        for (const Delta& d : undone_) {
            bytes_ -= d.bytes();
        }
        undone_.clear();
    }
    bytes_ += delta.bytes();
    done_.push_back(std::move(delta));
    trim();
    notify(HistoryEvent::Recorded);
}

void History::trim() {
    while (!done_.empty() && (done_.size() + undone_.size() > maxSteps_ || bytes_ > maxBytes_)) {
        bytes_ -= done_.front().bytes();
        done_.pop_front();
    }
}

bool History::undo(Game& game) {
    if (open_) {
        close(game);
    }
    if (done_.empty()) {
        return false;
    }
    Delta delta = std::move(done_.back());
    done_.pop_back();
    Snapshot& snapshot = scratch_;
    captureInto(snapshot, game, delta.storeBefore != nullptr);
    bytes_ -= delta.bytes();
    keepStore(delta, snapshot, Side::After);
    bytes_ += delta.bytes();
    apply(snapshot, delta, Side::Before);
    restore(game, snapshot);
    undone_.push_back(std::move(delta));
    notify(HistoryEvent::Undone);
    return true;
}

bool History::redo(Game& game) {
    if (open_) {
        close(game); // a step recorded now has cleared the redo list
    }
    if (undone_.empty()) {
        return false;
    }
    Delta delta = std::move(undone_.back());
    undone_.pop_back();
    Snapshot& snapshot = scratch_;
    captureInto(snapshot, game, delta.storeBefore != nullptr);
    bytes_ -= delta.bytes();
    keepStore(delta, snapshot, Side::Before);
    bytes_ += delta.bytes();
    apply(snapshot, delta, Side::After);
    restore(game, snapshot);
    if (anyTurnRunning(game)) {
        // The turn runs on; its step is whole again once it runs out.
        bytes_ -= delta.bytes();
        apply(snapshot, delta, Side::Before);
        open_ = Open{std::move(snapshot), StepKind::Drop, true, true, true, true};
    } else {
        done_.push_back(std::move(delta));
    }
    notify(HistoryEvent::Redone);
    return true;
}

void History::notify(HistoryEvent event) {
    ++revision_;
    if (onChange) {
        onChange(event);
    }
}

void History::clear() {
    done_.clear();
    undone_.clear();
    open_.reset();
    joinedAt_.reset();
    bytes_ = 0;
}

} // namespace peterin
