#include "records/replay.h"

#include "play/commands.h"
#include "play/turn_cycle.h"

namespace peterin {

std::string faultText(const std::filesystem::path& path,
                      const std::vector<std::int64_t>& eventLines, const ReplayFault& fault) {
    const std::int64_t line =
        fault.event < eventLines.size() ? eventLines[fault.event] : std::int64_t{0};
    return path.string() + ": line " + std::to_string(line) + ": " + fault.reason;
}

Replay::Replay(const Record& record) : record_(record) {
    start();
}

void Replay::start() {
    putRules(game_.settings, record_.rules);
    game_.recordedDecisive = record_.rules.decisive;
    game_.battleScore = {};
    game_.onePersonBattle = record_.start.onePersonBattle;
    Snapshot position;
    position.hasStore = false;
    position.players = record_.start.players;
    position.mode = record_.start.mode;
    position.rng = record_.start.rng;
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        position.turnBackup.players[p] = record_.start.players[p];
    }
    position.settings = positionSettingsOf(game_.settings);
    restore(game_, position);
    tracker_.reset();
    next_ = 0;
    inRun_ = 0;
    turnCount_ = 0;
    sent_ = {};
    fell_ = {};
}

void Replay::nuisanceSent(int player, std::int32_t count) {
    sent_[static_cast<std::size_t>(player)] += count;
}

void Replay::nuisanceFell(int player, std::int32_t count) {
    fell_[static_cast<std::size_t>(player)] += count;
}

std::optional<ReplayFault> Replay::check() {
    start();
    turns_.clear();
    keyframes_.clear();
    keyframes_.push_back({capture(game_, false), game_.battleScore, 0, 0, tracker_});
    while (next_ < record_.events.size()) {
        const std::size_t event = next_;
        if (auto fault = play(record_.events[event], true)) {
            return ReplayFault{event, std::move(*fault)};
        }
        if (turnCount_ % kKeyframeTurns == 0 && turnCount_ != keyframes_.back().turns) {
            keyframes_.push_back(
                {capture(game_, false), game_.battleScore, next_, turnCount_, tracker_});
        }
    }
    return std::nullopt;
}

std::optional<int> Replay::stepTick() {
    while (next_ < record_.events.size()) {
        if (const auto* run = std::get_if<RecordTicks>(&record_.events[next_])) {
            if (inRun_ < run->players.size()) {
                const int player = run->players[inRun_++] - '0';
                gameTick(game_, player);
                return player;
            }
            ++next_;
            inRun_ = 0;
            continue;
        }
        play(record_.events[next_], false);
    }
    return std::nullopt;
}

void Replay::seekTurn(int turns) {
    std::size_t k = keyframes_.size();
    while (k > 1 && keyframes_[k - 1].turns > turns) {
        --k;
    }
    if (k == 0) {
        return;
    }
    const Keyframe& keyframe = keyframes_[k - 1];
    restore(game_, keyframe.position);
    game_.battleScore = keyframe.score;
    next_ = keyframe.event;
    inRun_ = 0;
    turnCount_ = keyframe.turns;
    tracker_ = keyframe.tracker;
    while (turnCount_ < turns && next_ < record_.events.size()) {
        play(record_.events[next_], false);
    }
}

std::optional<std::string> Replay::tick(int player, bool lastOfRun) {
    gameTick(game_, player);
    if (lastOfRun) {
        return std::nullopt;
    }
    // The recorder writes a turn's end as soon as a tick ends it, between two runs of ticks.
    for (int p = 0; p < kPlayerCount; ++p) {
        const Player& self = game_.players[static_cast<std::size_t>(p)];
        if (self.phase == Phase::Idle && tracker_.isOpen(p)) {
            return "a turn of " + std::to_string(p + 1) + "P ends before its line";
        }
    }
    return std::nullopt;
}

std::optional<std::string> Replay::play(const RecordEvent& event, bool checking) {
    ++next_;
    if (const auto* ticks = std::get_if<RecordTicks>(&event)) {
        for (std::size_t i = 0; i < ticks->players.size(); ++i) {
            const bool last = i + 1 == ticks->players.size();
            if (auto fault = tick(ticks->players[i] - '0', last || !checking)) {
                return fault;
            }
        }
        return std::nullopt;
    }
    if (const auto* key = std::get_if<RecordPairKey>(&event)) {
        const Player& self = game_.players[static_cast<std::size_t>(key->player)];
        if (self.phase != Phase::Idle || (key->player == 1 && game_.mode != Mode::Battle)) {
            return "a pair key for " + std::to_string(key->player + 1) +
                   "P, who does not wait for one";
        }
        if (key->action == PairAction::Down) {
            if (checking && observer_ != nullptr) {
                observer_->dropping(game_, key->player);
            }
            tracker_.dropping(game_, key->player);
            sent_[static_cast<std::size_t>(key->player)] = 0;
            fell_[static_cast<std::size_t>(key->player)] = 0;
        }
        actOnPair(game_, key->player, key->action);
        return std::nullopt;
    }
    if (const auto* warning = std::get_if<RecordWarning>(&event)) {
        adjustWarning(game_, warning->unit, warning->add);
        return std::nullopt;
    }
    if (std::holds_alternative<RecordDropNuisance>(event)) {
        dropNuisance(game_);
        return std::nullopt;
    }
    const auto& line = std::get<RecordTurn>(event);
    const std::optional<RecordTurn> found = tracker_.ended(game_, line.player);
    if (!found) {
        return "a turn's end where " + std::to_string(line.player + 1) + "P's turn goes on";
    }
    if (checking && !(*found == line)) {
        RecordTurn same = *found;
        same.checksum = line.checksum;
        return same == line
                   ? std::string("the fields after the turn differ from the record")
                   : "the turn came to column " + std::to_string(found->column) + ", turn " +
                         std::to_string(found->turn) + ", chain " + std::to_string(found->chain) +
                         ", score " + std::to_string(found->score) + ", not as recorded";
    }
    ++turnCount_;
    if (checking) {
        const auto p = static_cast<std::size_t>(line.player);
        turns_.push_back({*found, sent_[p], fell_[p], next_ - 1});
        if (observer_ != nullptr) {
            observer_->turnEnded(game_, turns_.back());
        }
    }
    return std::nullopt;
}

} // namespace peterin
