#include "session/shown_record.h"

#include "play/commands.h"
#include "play/turn_cycle.h"

namespace peterin {

ShownRecord::ShownRecord(Record record, std::vector<std::int64_t> eventLines,
                         std::filesystem::path path)
    : replay_(record), eventLines_(std::move(eventLines)), path_(std::move(path)) {}

std::optional<std::string> ShownRecord::check() {
    const auto fault = replay_.check();
    if (!fault) {
        return std::nullopt;
    }
    return faultText(path_, eventLines_, *fault);
}

std::optional<int> ShownRecord::nextTick() {
    const auto& events = record().events;
    while (next_ < events.size()) {
        const auto* run = std::get_if<RecordTicks>(&events[next_]);
        if (run == nullptr) {
            return std::nullopt; // inputs come first: feed() plays them
        }
        if (inRun_ < run->players.size()) {
            ++ticks_;
            return run->players[inRun_++] - '0';
        }
        ++next_;
        inRun_ = 0;
    }
    return std::nullopt;
}

void ShownRecord::feed(Game& game) {
    const auto& events = record().events;
    while (next_ < events.size()) {
        const RecordEvent& event = events[next_];
        if (const auto* run = std::get_if<RecordTicks>(&event)) {
            if (inRun_ < run->players.size()) {
                return;
            }
        } else if (const auto* key = std::get_if<RecordPairKey>(&event)) {
            actOnPair(game, key->player, key->action); // the check saw the player waits
        } else if (const auto* warning = std::get_if<RecordWarning>(&event)) {
            adjustWarning(game, warning->unit, warning->add);
        } else if (std::holds_alternative<RecordDropNuisance>(event)) {
            dropNuisance(game);
        } else {
            ++turn_;
        }
        ++next_;
        inRun_ = 0;
    }
}

void ShownRecord::rewound(std::uint64_t ticks) {
    placeAt(ticks <= ticks_ ? ticks_ - ticks : 0);
}

void ShownRecord::placeAt(std::uint64_t ticks) {
    const auto& events = record().events;
    next_ = 0;
    inRun_ = 0;
    turn_ = 0;
    ticks_ = 0;
    if (ticks == 0) {
        return;
    }
    // Past the tick, and past what was recorded after it: the position gone back to was kept
    // just before the next tick, with those inputs in it.
    for (; next_ < events.size(); ++next_) {
        if (const auto* run = std::get_if<RecordTicks>(&events[next_])) {
            if (ticks_ == ticks) {
                return;
            }
            if (ticks_ + run->players.size() > ticks) {
                inRun_ = static_cast<std::size_t>(ticks - ticks_);
                ticks_ = ticks;
                return;
            }
            ticks_ += run->players.size();
        } else if (std::holds_alternative<RecordTurn>(events[next_])) {
            ++turn_;
        }
    }
}

void ShownRecord::goToTurn(Game& game, int turn) {
    replay_.seekTurn(turn);
    restore(game, capture(replay_.game(), false));
    game.battleScore = replay_.game().battleScore; // won by the turn gone to, or not yet
    next_ = replay_.nextEvent();
    inRun_ = 0;
    turn_ = std::min(turn, turns());
    ticks_ = 0;
    const auto& events = record().events;
    for (std::size_t i = 0; i < next_; ++i) {
        if (const auto* run = std::get_if<RecordTicks>(&events[i])) {
            ticks_ += run->players.size();
        }
    }
}

int ShownRecord::largestChainTurn() const {
    int best = 0;
    std::int32_t largest = 0;
    const auto& turns = replay_.turns();
    for (std::size_t i = 0; i < turns.size(); ++i) {
        if (turns[i].turn.chain > largest) {
            largest = turns[i].turn.chain;
            best = static_cast<int>(i) + 1;
        }
    }
    return best;
}

} // namespace peterin
