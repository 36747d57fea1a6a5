#include "records/game_recorder.h"

#include "play/battle.h"
#include "play/falling_pair.h"

namespace peterin {

void TurnTracker::dropping(const Game& game, int player) {
    const Player& self = game.players[static_cast<std::size_t>(player)];
    FallingPair start;
    if (!self.sequence.queue.empty()) {
        loadPair(start, self.sequence.queue.front());
    }
    RecordTurn turn;
    turn.player = player;
    turn.column = self.fallingPair.x;
    turn.turn = turnOf(self.fallingPair, start);
    open_[static_cast<std::size_t>(player)] = turn;
}

std::optional<RecordTurn> TurnTracker::ended(const Game& game, int player) {
    auto& open = open_[static_cast<std::size_t>(player)];
    const Player& self = game.players[static_cast<std::size_t>(player)];
    if (!open || self.phase != Phase::Idle) {
        return std::nullopt;
    }
    RecordTurn turn = *open;
    open.reset();
    turn.chain = self.chainCount;
    turn.score = self.score;
    turn.checksum = fieldsChecksum(game);
    return turn;
}

bool gameCanBegin(const Game& game) {
    switch (game.mode) {
    case Mode::Edit:
        return false;
    case Mode::Play:
        return game.players[0].phase == Phase::Idle;
    case Mode::Battle:
        return game.players[0].phase == Phase::Idle && game.players[1].phase == Phase::Idle;
    }
    return false;
}

const Record* GameRecorder::latest() const {
    if (recording_ && anyDrop()) {
        return &record_;
    }
    return last_ ? &*last_ : nullptr;
}

void GameRecorder::pairActed(const Game& game, int player, PairAction action) {
    if (!recording_) {
        return;
    }
    if (action == PairAction::Down) {
        turns_.dropping(game, player);
    }
    add(RecordPairKey{player, action});
}

void GameRecorder::warningAdjusted(NuisanceUnit unit, bool add) {
    if (recording_) {
        this->add(RecordWarning{unit, add});
    }
}

void GameRecorder::nuisanceDropped() {
    if (recording_) {
        add(RecordDropNuisance{});
    }
}

void GameRecorder::ticked(int player) {
    if (!recording_) {
        return;
    }
    auto* run = record_.events.empty() ? nullptr : std::get_if<RecordTicks>(&record_.events.back());
    if (run == nullptr) {
        record_.events.emplace_back(RecordTicks{});
        run = &std::get<RecordTicks>(record_.events.back());
    }
    run->players += static_cast<char>('0' + player);
    ++ticks_;
}

void GameRecorder::rewound(const Game& game, std::uint64_t ticks) {
    if (!recording_) {
        return;
    }
    if (ticks > ticks_) {
        broke(game); // back to before the game began: that is another game
        return;
    }
    // Everything after the tick gone back to is undone; the inputs made while the game stood
    // at that tick came before the position it went back to, and stay.
    const std::uint64_t keep = ticks_ - ticks;
    std::uint64_t counted = 0;
    std::size_t end = 0;
    for (; end < record_.events.size(); ++end) {
        auto* run = std::get_if<RecordTicks>(&record_.events[end]);
        if (run == nullptr) {
            continue;
        }
        if (counted + run->players.size() > keep) {
            run->players.resize(static_cast<std::size_t>(keep - counted));
            if (!run->players.empty()) {
                ++end;
            }
            break;
        }
        counted += run->players.size();
    }
    // A turn whose drop stays but whose end is undone is open again, as its end line told it.
    std::array<std::optional<RecordTurn>, kPlayerCount> undone;
    for (std::size_t i = record_.events.size(); i-- > end;) {
        if (const auto* turn = std::get_if<RecordTurn>(&record_.events[i])) {
            undone[static_cast<std::size_t>(turn->player)] = *turn;
        }
    }
    record_.events.resize(end);
    ticks_ = keep;
    std::array<bool, kPlayerCount> open{};
    for (const RecordEvent& event : record_.events) {
        if (const auto* key = std::get_if<RecordPairKey>(&event);
            key && key->action == PairAction::Down) {
            open[static_cast<std::size_t>(key->player)] = true;
        } else if (const auto* turn = std::get_if<RecordTurn>(&event)) {
            open[static_cast<std::size_t>(turn->player)] = false;
        }
    }
    for (int p = 0; p < kPlayerCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (!open[i]) {
            turns_.close(p);
        } else if (undone[i]) {
            turns_.reopen(*undone[i]);
        }
    }
}

void GameRecorder::broke(const Game& game) {
    if (recording_) {
        finish();
    }
    settle(game);
}

void GameRecorder::settle(const Game& game) {
    if (recording_ && game.mode != record_.start.mode) {
        finish();
    }
    if (recording_) {
        endTurns(game);
    } else if (gameCanBegin(game)) {
        begin(game);
    }
}

void GameRecorder::close(const Game& game) {
    if (recording_) {
        endTurns(game);
        finish();
    }
}

void GameRecorder::begin(const Game& game) {
    recording_ = true;
    record_ = Record{};
    record_.date = clock_ ? clock_() : 0;
    record_.rules = rulesOf(game.settings);
    // Only a battle is won and lost: a solo game's record stays one every reader replays.
    record_.rules.decisive = game.mode == Mode::Battle && decisive(game);
    record_.start = startOf(game);
    turns_.reset();
    ticks_ = 0;
}

void GameRecorder::finish() {
    recording_ = false;
    if (!anyDrop()) {
        return;
    }
    record_.finished = true;
    last_ = std::move(record_);
    record_ = Record{};
    if (listener_) {
        listener_(*last_);
    }
}

void GameRecorder::endTurns(const Game& game) {
    for (int p = 0; p < kPlayerCount; ++p) {
        if (const auto turn = turns_.ended(game, p)) {
            add(*turn);
            if (listener_) {
                listener_(record_);
            }
        }
    }
}

void GameRecorder::add(RecordEvent event) {
    record_.events.push_back(std::move(event));
}

bool GameRecorder::anyDrop() const {
    for (const RecordEvent& event : record_.events) {
        if (const auto* key = std::get_if<RecordPairKey>(&event);
            key && key->action == PairAction::Down) {
            return true;
        }
    }
    return false;
}

} // namespace peterin
