#include "session/computer_sides.h"

#include <utility>

#include "play/battle.h"

namespace peterin {

void ComputerSides::follow() {
    const Settings& settings = session_.game().settings;
    for (int p = 0; p < kPlayerCount; ++p) {
        auto& player = players_[static_cast<std::size_t>(p)];
        const std::optional<int>& fixed = levels_[static_cast<std::size_t>(p)];
        if (!fixed && !computerPlays(settings, p)) {
            player.reset();
            continue;
        }
        const int level = fixed.value_or(computerLevel(settings, p));
        if (!player || player->level() != level) {
            player.emplace(p, level);
        }
    }
}

void ComputerSides::beat(const Decider& decider) {
    follow();
    for (int p = 0; p < kPlayerCount; ++p) {
        auto& player = players_[static_cast<std::size_t>(p)];
        if (!player) {
            continue;
        }
        analysis::ComputerPlayer::Beat beat = player->beat(session_.game());
        if (beat.decide) {
            if (decider) {
                decider(p, player->level(), player->turn(), *beat.decide);
            } else {
                player->decided(player->turn(),
                                analysis::decide(*beat.decide, player->level(), nodes_));
            }
        }
        if (beat.press) {
            session_.apply(ComputerKey{p, *beat.press});
        }
    }
}

void ComputerSides::decided(int player, std::uint64_t turn, analysis::Decision decision) {
    auto& side = players_[static_cast<std::size_t>(player)];
    if (side) {
        side->decided(turn, std::move(decision));
    }
}

void ComputerSides::playPeriod() {
    beat();
    for (int p = 0; p < kPlayerCount; ++p) {
        if (session_.playback().timerWanted(p)) {
            session_.timeout(p);
        }
    }
}

bool ComputerSides::playing() const {
    return players_[0].has_value() || players_[1].has_value();
}

} // namespace peterin
