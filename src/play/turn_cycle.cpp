#include "play/turn_cycle.h"

#include <algorithm>
#include <string>

#include "play/battle.h"
#include "rules/chain.h"

namespace peterin {

namespace {

// Nothing runs in edit mode, so no timer is started there.
void startTimerUnlessEdit(Game& game, int player) {
    // A decided battle stands still: a step the other side enters after the loss, in the
    // same tick, starts nothing.
    if (game.mode != Mode::Edit && !battleOver(game)) {
        game.events.startTimer(player);
    }
}

void goIdle(Game& game, int player) {
    game.events.stopTimer(player);
    game.events.queueChanged(player);
    Player& self = playerOf(game, player);
    self.phase = Phase::Idle;
    // A side waiting for input waits for no partner. In a battle the lockstep clears the flag
    // anyway; a flag left from a battle left mid-step must not later start a turn nobody began.
    self.waitingForPartner = 0;
    game.events.fieldChanged(player);
}

// A pair that appears where a blob lies is lost when dropped: in a decisive battle the side that
// comes to wait with one has lost. Waiting would not help a buried side, which nuisance may never
// let drop again.
void loseIfBuried(Game& game, int player) {
    const Player& self = playerOf(game, player);
    const FallingPair& pair = self.fallingPair;
    if (game.mode == Mode::Battle && decisive(game) && !battleOver(game) &&
        (!self.field.contains(pair.x, pair.row) ||
         getCell(self.field, pair.x, pair.row) != CellKind::Empty)) {
        loseBattle(game, player);
    }
}

void enterShowGroups(Game& game, int player) {
    Player& self = playerOf(game, player);
    startTimerUnlessEdit(game, player);
    self.countdown = game.settings.linkTicks;
    self.phase = Phase::ShowGroups;
    game.events.fieldChanged(player);
    // The first vanishing group of a turn: keep the position before the chain.
    if (self.chainCount == 0) {
        storeTurnBackup(game);
    }
}

bool hasVanishingGroup(Game& game, int player) {
    return findGroups(playerOf(game, player).field, game.settings.vanishCount, false);
}

// A gravity step every "落とす" + 1 ticks; done once nothing floats. In the fall phase each step
// is preceded by a row of announced nuisance while rows remain.
bool tickFalling(Game& game, int player, bool withNuisance) {
    Player& self = playerOf(game, player);
    if (self.countdown > 0) {
        --self.countdown;
        return false;
    }
    self.countdown = game.settings.fallTicks;
    if (withNuisance && self.nuisanceRowsLeft > 0) {
        dropNuisanceRow(game, player);
    }
    const int flags = gravityStep(self.field);
    game.events.fieldChanged(player);
    return isSettled(flags);
}

// The groups are shown for "連結中" + 1 ticks.
bool tickShowGroups(Game& game, int player) {
    Player& self = playerOf(game, player);
    if (self.countdown <= 0) {
        return true;
    }
    if (self.countdown == game.settings.linkTicks) {
        game.events.fieldChanged(player);
    }
    --self.countdown;
    return false;
}

// The first tick scores the step; after "消去後" + 1 ticks the groups vanish. With "消去後" 0
// the groups vanish on the first tick without being scored.
bool tickVanish(Game& game, int player) {
    Player& self = playerOf(game, player);
    if (self.countdown <= 0) {
        vanishGroups(self.field, game.settings.vanishCount);
        // Erasing leaves the sizes of the regions it touched stale until the next fall; keep
        // them true for whatever looks at the field in between.
        recountGroups(self.field);
        return true;
    }
    if (self.countdown == game.settings.vanishTicks) {
        game.events.fieldChanged(player);
        resetTally(self.scoreRecord);
        findGroups(self.field, game.settings.vanishCount, true);
        self.chainCount += 1;
        const std::int32_t step = stepScore(self.chainCount, self.scoreRecord);
        self.score = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{self.score} + step, INT32_MAX));
        showChainStatus(game, player, self.chainCount, self.score);
        sendNuisance(game, player, step / kScorePerNuisance);
    }
    --self.countdown;
    return false;
}

// Runs one tick of the player's phase; true when the phase is done.
bool tickPhase(Game& game, int player) {
    switch (playerOf(game, player).phase) {
    case Phase::Idle:
        return false;
    case Phase::PairFall:
        return tickFalling(game, player, false);
    case Phase::ShowGroups:
        return tickShowGroups(game, player);
    case Phase::Vanish:
        return tickVanish(game, player);
    case Phase::Fall:
        return tickFalling(game, player, true);
    }
    return false;
}

// Battle: a side that finished a fall or show phase waits for the other to finish one too,
// then both move on together.
void lockstep(Game& game, int player) {
    Player& other = playerOf(game, otherPlayer(player));
    if (other.waitingForPartner != 0) {
        advancePhase(game, 0);
        advancePhase(game, 1);
        game.players[0].waitingForPartner = 0;
        game.players[1].waitingForPartner = 0;
    } else {
        playerOf(game, player).waitingForPartner = 1;
        game.events.stopTimer(player);
    }
}

// The actions of one key group, in the order they are compared with a key.
void actOnKey(Game& game, int player, int group, std::uint8_t key) {
    const auto matches = [&](PairAction action) {
        return game.settings.keys[static_cast<std::size_t>(pairKeyIndex(action, group))] == key;
    };
    // Compared in this order; a key bound to several actions performs each of them.
    constexpr PairAction kKeyOrder[] = {PairAction::Down,       PairAction::Left,
                                        PairAction::Right,      PairAction::RotateRight,
                                        PairAction::RotateLeft, PairAction::HalfRotate};
    for (const PairAction action : kKeyOrder) {
        if (matches(action)) {
            actOnPair(game, player, action);
        }
    }
}

} // namespace

void actOnPair(Game& game, int player, PairAction action) {
    Player& self = playerOf(game, player);
    game.events.pairActed(player, action);
    const bool acted = applyPairAction(self.fallingPair, self.field, action);
    if (action == PairAction::Down) {
        if (!acted && game.mode == Mode::Battle && decisive(game)) {
            loseBattle(game, player); // the pair is lost, and with it the battle
            return;
        }
        advancePhase(game, player); // the turn starts whatever the placement came to
    }
    game.events.fieldChanged(player);
}

void loadFrontPair(Game& game, int player) {
    Player& self = playerOf(game, player);
    loadPair(self.fallingPair, self.sequence.queue.empty() ? Pair{} : self.sequence.queue.front());
    putAtSpawn(self.fallingPair, self.field);
}

void spawnPair(Game& game, int player) {
    Player& self = playerOf(game, player);
    const Pair& front = advance(self.sequence);
    loadPair(self.fallingPair, front);
    putAtSpawn(self.fallingPair, self.field);
    game.events.randomPositionChanged(front.position);
    // The next view is not repainted here: until the player goes idle it keeps showing the list
    // whose first pair is the one just loaded.
}

void setMode(Game& game, Mode mode) {
    game.mode = mode;
    game.battleScore.winner.reset(); // a game mode starts a new game
    switch (mode) {
    case Mode::Edit: {
        Player& first = game.players[0];
        first.countdown = 0;
        first.phase = Phase::Fall;
        // Without a partner nobody waits for one; a flag left by a battle would otherwise
        // travel into stored positions and hold 1P still when one is loaded into a battle.
        first.waitingForPartner = 0;
        game.events.fieldChanged(0);
        break;
    }
    case Mode::Play: {
        Player& first = game.players[0];
        enterPhase(game, 0, Phase::Fall);
        loadFrontPair(game, 0);
        first.waitingForPartner = 0; // as in edit mode
        first.chainCount = 0;
        first.score = 0;
        resetTally(first.scoreRecord);
        break;
    }
    case Mode::Battle:
        // Both sides get the same pairs.
        copy(game.players[1].sequence, game.players[0].sequence);
        for (int p = 0; p < kPlayerCount; ++p) {
            Player& self = playerOf(game, p);
            self.waitingForPartner = 0;
            enterPhase(game, p, Phase::Fall);
            loadFrontPair(game, p);
            self.chainCount = 0;
            self.score = 0;
            self.pendingNuisance = 0;
            resetTally(self.scoreRecord);
            game.events.queueChanged(p);
            game.events.warningChanged(p);
        }
        break;
    }
}

void gameTick(Game& game, int player) {
    switch (game.mode) {
    case Mode::Edit:
        return;
    case Mode::Play:
        // Only 1P plays, whichever timer fired.
        if (tickPhase(game, 0)) {
            advancePhase(game, 0);
        }
        return;
    case Mode::Battle: {
        if (battleOver(game)) {
            // Both fields stand still; a timer the other side's last step started stops here.
            game.events.stopTimer(player);
            return;
        }
        Player& self = playerOf(game, player);
        if (self.phase == Phase::Vanish) {
            if (tickPhase(game, player)) {
                advancePhase(game, player);
            }
        } else if (self.phase != Phase::Idle && self.waitingForPartner == 0) {
            if (tickPhase(game, player)) {
                lockstep(game, player);
            }
        }
        return;
    }
    }
}

void advancePhase(Game& game, int player) {
    Player& self = playerOf(game, player);
    const Phase left = self.phase;
    switch (left) {
    case Phase::Idle:
        startTimerUnlessEdit(game, player);
        self.chainCount = 0;
        self.score = 0;
        self.countdown = 0;
        self.phase = Phase::PairFall;
        game.events.fieldChanged(player);
        if (game.mode == Mode::Play) {
            game.players[0].pendingNuisance = 0;
            game.events.warningChanged(0);
        }
        break;
    case Phase::PairFall:
        if (hasVanishingGroup(game, player)) {
            enterShowGroups(game, player);
        } else if (game.mode == Mode::Battle &&
                   playerOf(game, otherPlayer(player)).attackState == kAttackDone) {
            receiveRule(game, player);
        } else {
            goIdle(game, player);
        }
        // The next pair is in place before the chain resolves.
        spawnPair(game, player);
        break;
    case Phase::ShowGroups:
        startTimerUnlessEdit(game, player);
        self.countdown = game.settings.vanishTicks;
        self.phase = Phase::Vanish;
        game.events.fieldChanged(player);
        break;
    case Phase::Vanish:
        enterPhase(game, player, Phase::Fall);
        endOfStepRule(game, player);
        break;
    case Phase::Fall:
        if (hasVanishingGroup(game, player)) {
            enterShowGroups(game, player);
        } else if (!endOfTurnRule(game, player)) {
            goIdle(game, player);
        }
        break;
    }
    // The next pair is in place by now. A batch of nuisance that settled counts too: a buried
    // side may never come to wait again while nuisance keeps coming.
    if (self.phase == Phase::Idle || (left == Phase::Fall && self.phase == Phase::Fall)) {
        loseIfBuried(game, player);
    }
}

void enterPhase(Game& game, int player, Phase phase) {
    Player& self = playerOf(game, player);
    startTimerUnlessEdit(game, player);
    self.countdown = 0;
    self.phase = phase;
    game.events.fieldChanged(player);
}

void onPlayerKey(Game& game, std::uint8_t key) {
    if (key == 0) {
        return; // 0 is "no key": it must not trigger the unbound actions
    }
    if (battleOver(game)) {
        return; // the next key starts the next game instead (see the session)
    }
    const bool battle = game.mode == Mode::Battle;
    if (battle && (computerPlays(game.settings, 0) || computerPlays(game.settings, 1))) {
        // Against the computer the person plays with the usual keys; the computer's side takes
        // no key of anyone's.
        for (int p = 0; p < kPlayerCount; ++p) {
            if (!computerPlays(game.settings, p) && playerOf(game, p).phase == Phase::Idle) {
                actOnKey(game, p, kKeyGroupSolo, key);
            }
        }
        return;
    }
    const bool firstActs = game.players[0].phase == Phase::Idle;
    const int firstGroup = battle && !game.onePersonBattle ? kKeyGroupBattle1P : kKeyGroupSolo;
    bool secondActs = false;
    int secondGroup = kKeyGroupBattle2P;
    if (battle && game.players[1].phase == Phase::Idle) {
        if (!game.onePersonBattle) {
            secondActs = true;
        } else if (!firstActs) {
            // One key set plays both sides: 2P's turn once 1P has dropped.
            secondActs = true;
            secondGroup = kKeyGroupSolo;
        }
    }
    if (firstActs) {
        actOnKey(game, 0, firstGroup, key);
    }
    if (secondActs) {
        actOnKey(game, 1, secondGroup, key);
    }
}

void showChainStatus(Game& game, int player, std::int32_t chainCount, std::int32_t score) {
    game.shownStatus[static_cast<std::size_t>(player)] = {chainCount, score};
    game.events.statusChanged(player, {chainCount, score});
}

void storeTurnBackup(Game& game) {
    for (int p = 0; p < kPlayerCount; ++p) {
        const Player& self = playerOf(game, p);
        PlayerState<Field>& backup = game.turnBackup.players[static_cast<std::size_t>(p)];
        copyField(backup.field, self.field);
        copy(backup.sequence, self.sequence);
        backup.pendingNuisance = self.pendingNuisance;
    }
}

} // namespace peterin
