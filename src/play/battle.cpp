#include "play/battle.h"

#include <algorithm>
#include <vector>

#include "play/turn_cycle.h"

namespace peterin {

namespace {

// Announced nuisance only grows by whole steps' worth; keep it from wrapping on huge chains.
std::int32_t saturatingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{a} + b, INT32_MIN, INT32_MAX));
}

// The column the r-th choice lands on: from the leftmost free column, r moves to the right,
// where a run of taken columns is crossed in one move; a taken column at the end is left for
// the next free one.
std::int32_t chooseColumn(const std::vector<bool>& taken, int r) {
    const auto width = static_cast<std::int32_t>(taken.size());
    const auto isTaken = [&](std::int32_t j) {
        return j < width && taken[static_cast<std::size_t>(j)];
    };
    std::int32_t j = 0;
    while (isTaken(j)) {
        ++j;
    }
    for (int i = 0; i < r && j < width; ++i) {
        if (!isTaken(j)) {
            ++j;
        } else {
            while (isTaken(j)) {
                ++j;
            }
        }
    }
    while (isTaken(j)) {
        ++j;
    }
    return j;
}

} // namespace

void sendNuisance(Game& game, int player, std::int32_t n) {
    // In play mode 1P's own warning measures its attack: 2P's count offsets, 1P's receives.
    const int sender = game.mode == Mode::Battle ? player : 1;
    const int receiver = otherPlayer(sender);
    std::int32_t& own = playerOf(game, sender).pendingNuisance;
    std::int32_t& theirs = playerOf(game, receiver).pendingNuisance;
    game.events.nuisanceSent(player, n);
    if (std::int64_t{own} - n > 0) {
        own -= n;
        game.events.warningChanged(sender);
    } else if (own > 0) {
        theirs = saturatingAdd(theirs, n - own);
        own = 0;
        game.events.warningChanged(sender);
        game.events.warningChanged(receiver);
    } else {
        theirs = saturatingAdd(theirs, n);
        game.events.warningChanged(receiver);
    }
}

void endOfStepRule(Game& game, int player) {
    Player& self = playerOf(game, player);
    if (self.pendingNuisance > 0) {
        self.attackState = kAttackStepWithPending;
    } else {
        self.nuisanceRowsLeft = kRowsPerHandOver;
    }
}

void receiveRule(Game& game, int player) {
    Player& self = playerOf(game, player);
    if (self.pendingNuisance != 0) {
        self.nuisanceRowsLeft = kRowsPerHandOver;
    }
    playerOf(game, otherPlayer(player)).attackState = kAttackNone;
    enterPhase(game, player, Phase::Fall);
}

bool endOfTurnRule(Game& game, int player) {
    Player& self = playerOf(game, player);
    // Only a battle has another side to wait for; in play mode the count is only shown.
    if (game.mode == Mode::Battle && self.pendingNuisance > 0 &&
        playerOf(game, otherPlayer(player)).attackState == kAttackDone) {
        enterPhase(game, player, Phase::Fall);
        self.nuisanceRowsLeft = kRowsPerHandOver;
        return true;
    }
    self.attackState = kAttackDone;
    return false;
}

void dropNuisanceRow(Game& game, int player) {
    Player& self = playerOf(game, player);
    const std::int32_t width = std::max(self.field.width, 0);
    const std::int32_t blobs = std::clamp(self.pendingNuisance, 0, width);
    std::vector<bool> taken(static_cast<std::size_t>(width), false);
    int free = width;
    std::int32_t fell = 0;
    constexpr std::int32_t kLimboRow = -1;
    for (std::int32_t i = 0; i < blobs; ++i) {
        const int r = game.rng.rand() % free;
        const std::int32_t column = chooseColumn(taken, r);
        if (column >= width) {
            break;
        }
        // A blob whose LimboArea cell is occupied is lost.
        if (getCell(self.field, column, kLimboRow) == CellKind::Empty) {
            setCell(self.field, column, kLimboRow, CellKind::Nuisance);
            ++fell;
        }
        taken[static_cast<std::size_t>(column)] = true;
        --free;
    }
    // A whole row's worth is taken even when fewer blobs were written.
    self.pendingNuisance = std::max(self.pendingNuisance - width, 0);
    if (self.pendingNuisance == 0) {
        self.nuisanceRowsLeft = 0;
    } else {
        self.nuisanceRowsLeft -= 1;
    }
    game.events.nuisanceFell(player, fell);
    game.events.warningChanged(player);
}

void dropNow(Game& game) {
    if (game.mode == Mode::Battle) {
        for (int p = 0; p < kPlayerCount; ++p) {
            Player& self = playerOf(game, p);
            if (self.phase == Phase::Idle) {
                self.nuisanceRowsLeft = self.field.height;
                enterPhase(game, p, Phase::Fall);
            }
        }
        return;
    }
    // Outside battle 1P takes it at once, even mid-turn; in edit mode nothing runs to drop it.
    game.players[0].nuisanceRowsLeft = game.players[0].field.height;
    enterPhase(game, 0, Phase::Fall);
}

bool computerPlays(const Settings& settings, int player) {
    return settings.computerPlays[static_cast<std::size_t>(player)] != 0;
}

int computerLevel(const Settings& settings, int player) {
    const bool both = computerPlays(settings, 0) && computerPlays(settings, 1);
    return player == 0 && both ? settings.computerLevel1P : settings.computerLevel;
}

bool decisive(const Settings& settings) {
    return settings.decisiveBattle != 0 || computerPlays(settings, 0) || computerPlays(settings, 1);
}

bool decisive(const Game& game) {
    return game.recordedDecisive.value_or(decisive(game.settings));
}

bool battleOver(const Game& game) {
    return game.mode == Mode::Battle && game.battleScore.winner.has_value();
}

void loseBattle(Game& game, int player) {
    const int winner = otherPlayer(player);
    game.battleScore.winner = winner;
    game.battleScore.wins[static_cast<std::size_t>(winner)] += 1;
    for (int p = 0; p < kPlayerCount; ++p) {
        game.events.stopTimer(p);
        game.events.fieldChanged(p);
    }
    game.events.battleDecided(winner);
}

} // namespace peterin
