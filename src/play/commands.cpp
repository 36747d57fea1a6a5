#include "play/commands.h"

#include <algorithm>

#include "play/battle.h"
#include "play/turn_cycle.h"

namespace peterin {

void changeMode(Game& game, Mode mode) {
    for (int p = 0; p < kPlayerCount; ++p) {
        if (game.players[static_cast<std::size_t>(p)].phase != Phase::Idle) {
            game.events.stopTimer(p);
        }
    }
    const Mode old = game.mode;
    setMode(game, mode);
    // Only Battle shows 2P, so the width changes between Battle and the others; Edit always
    // resizes so that a size left stale by anything else is put right there.
    if (mode == Mode::Edit || (mode == Mode::Play && old == Mode::Battle) ||
        (mode == Mode::Battle && old != Mode::Battle)) {
        game.events.modeSizeDue();
    }
    game.events.allChanged();
}

void adjustWarning(Game& game, NuisanceUnit unit, bool add) {
    std::int32_t amount = static_cast<std::int32_t>(unit);
    if (!add) {
        amount = -amount;
    }
    const int players = game.mode == Mode::Battle ? 2 : 1;
    for (int p = 0; p < players; ++p) {
        std::int32_t& pending = game.players[static_cast<std::size_t>(p)].pendingNuisance;
        pending = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{pending} + amount, 0, INT32_MAX));
        game.events.warningChanged(p);
    }
}

void clearFields(Game& game) {
    for (int p = 0; p < kPlayerCount; ++p) {
        clearField(game.players[static_cast<std::size_t>(p)].field);
        game.events.fieldChanged(p);
    }
}

void dropNuisance(Game& game) {
    if (game.mode != Mode::Battle) {
        changeMode(game, Mode::Play);
    }
    dropNow(game);
}

void setRandomPosition(Game& game, std::uint32_t position, bool rebuild) {
    setPosition(game.players[0].sequence, position, rebuild);
    // A rebuilt queue starts anew; the box shows where, whatever the user typed.
    if (const auto& queue = game.players[0].sequence.queue; rebuild && !queue.empty()) {
        game.events.randomPositionChanged(queue.front().position);
    }
    game.events.fieldChanged(0);
    game.events.queueChanged(0);
    if (game.mode != Mode::Edit) {
        changeMode(game, game.mode);
    }
}

void setEditKind(Game& game, CellKind kind) {
    game.editKind = kind;
    game.events.fieldChanged(0);
    game.events.fieldChanged(1);
}

bool onKeyDown(Game& game, std::uint8_t key) {
    if (key == 0) {
        return false; // 0 is "no key": it must not trigger the unbound functions
    }
    const auto& keys = game.settings.keys;
    const auto is = [&](int index) { return keys[static_cast<std::size_t>(index)] == key; };
    // The temp-save keys act whatever is on screen.
    if (is(kKeyTempLoad)) {
        tempLoad(game);
    }
    if (is(kKeyTempStore)) {
        tempSave(game);
    }
    if (is(kKeyTempIdPrev)) {
        tempPrevious(game);
    }
    if (is(kKeyTempIdNext)) {
        tempNext(game);
    }
    if (tempIsShowing(game)) {
        return false;
    }
    if (!game.pairKeysHeld) {
        onPlayerKey(game, key);
    }
    if (is(kKeyClearAll)) {
        clearFields(game);
    }
    bool modeKey = false;
    const auto changeOnKey = [&](int index, Mode mode) {
        if (is(index)) {
            changeMode(game, mode);
            modeKey = true;
        }
    };
    changeOnKey(kKeyEditMode, Mode::Edit);
    changeOnKey(kKeyPlayMode, Mode::Play);
    changeOnKey(kKeyBattleMode, Mode::Battle);
    for (int kind = 0; kind < kCellKindCount; ++kind) {
        if (is(editKindKeyIndex(kind))) {
            setEditKind(game, static_cast<CellKind>(kind));
        }
    }
    return modeKey;
}

void onMouseWheel(Game& game, int delta) {
    const auto& wheel = game.settings.wheelKinds;
    const int n = static_cast<int>(wheel.size());
    if (n == 0) {
        return;
    }
    // The last entry equal to the edit kind; the first when there is none.
    int i = n - 1;
    while (i > 0 && static_cast<CellKind>(wheel[static_cast<std::size_t>(i)]) != game.editKind) {
        --i;
    }
    if (delta > 0) {
        i = i + 1 == n ? 0 : i + 1;
    } else if (delta < 0) {
        i = i == 0 ? n - 1 : i - 1;
    }
    game.editKind = static_cast<CellKind>(wheel[static_cast<std::size_t>(i)]);
    game.events.allChanged();
}

} // namespace peterin
