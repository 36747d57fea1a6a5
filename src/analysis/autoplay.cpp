#include "analysis/autoplay.h"

#include "play/turn_cycle.h"

namespace peterin::analysis {

bool runUntilIdle(Game& game, std::vector<std::int32_t>* steps, long maxTicks) {
    Player& self = game.players[0];
    for (long tick = 0; self.phase != Phase::Idle; ++tick) {
        if (tick == maxTicks) {
            return false;
        }
        const std::int32_t chainBefore = self.chainCount;
        const std::int32_t scoreBefore = self.score;
        gameTick(game, 0);
        if (steps != nullptr && self.chainCount != chainBefore) {
            steps->push_back(self.score - scoreBefore);
        }
    }
    return true;
}

std::optional<PlayedTurn> playTurn(Game& game, const Placement& placement, long maxTicks) {
    Player& self = game.players[0];
    if (game.mode != Mode::Play || self.phase != Phase::Idle) {
        return std::nullopt;
    }
    for (const PairAction move : placement.moves) {
        applyPairAction(self.fallingPair, self.field, move);
        game.events.fieldChanged(0);
    }
    if (!(self.fallingPair == placement.pair)) {
        return std::nullopt;
    }
    PlayedTurn turn;
    turn.lost = !applyPairAction(self.fallingPair, self.field, PairAction::Down);
    advancePhase(game, 0);
    game.events.fieldChanged(0);
    if (!runUntilIdle(game, &turn.steps, maxTicks)) {
        return std::nullopt;
    }
    turn.chains = self.chainCount;
    turn.score = self.score;
    return turn;
}

} // namespace peterin::analysis
