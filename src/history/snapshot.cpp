#include "history/snapshot.h"

#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "rules/field.h"

namespace peterin {

StoredPosition storedOf(const TempSave& save) {
    StoredPosition stored;
    storeInto(stored, save);
    return stored;
}

void storeInto(StoredPosition& into, const TempSave& save) {
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        copyMembers(into.players[p], save.players[p]);
    }
}

void putStored(TempSave& save, const StoredPosition& stored) {
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        copyMembers(save.players[p], stored.players[p]);
    }
}

PositionSettings positionSettingsOf(const Settings& s) {
    return {s.fieldWidth, s.fieldHeight, s.nextCount,  s.nextColumns, s.nextRows,
            s.cellWidth,  s.cellHeight,  s.showHeaven, s.showLimbo};
}

void putPositionSettings(Settings& s, const PositionSettings& v) {
    s.fieldWidth = v.fieldWidth;
    s.fieldHeight = v.fieldHeight;
    s.nextCount = v.nextCount;
    s.nextColumns = v.nextColumns;
    s.nextRows = v.nextRows;
    s.cellWidth = v.cellWidth;
    s.cellHeight = v.cellHeight;
    s.showHeaven = v.showHeaven;
    s.showLimbo = v.showLimbo;
}

Snapshot capture(const Game& game, bool withStore) {
    Snapshot snapshot;
    captureInto(snapshot, game, withStore);
    return snapshot;
}

void captureInto(Snapshot& snapshot, const Game& game, bool withStore) {
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        const Player& player = game.players[p];
        PlayerSnapshot& s = snapshot.players[p];
        copyMembers(s, player);
        const ScoreRecord& record = player.scoreRecord;
        s.tally = {record.base, record.cleared, record.colourMask, record.groupBonus};
        s.shownStatus = game.shownStatus[p];
    }
    snapshot.mode = game.mode;
    snapshot.rng = game.rng;
    storeInto(snapshot.turnBackup, game.turnBackup);
    snapshot.hasStore = withStore;
    if (withStore) {
        snapshot.tempSaves.resize(game.tempSaves.size());
        for (std::size_t i = 0; i < game.tempSaves.size(); ++i) {
            storeInto(snapshot.tempSaves[i], game.tempSaves[i]);
        }
        snapshot.tempCursor = game.tempCursor;
        snapshot.tempIdText = game.tempIdText;
    } else {
        snapshot.tempSaves.clear();
        snapshot.tempCursor = kLivePosition;
        snapshot.tempIdText.clear();
    }
    snapshot.settings = positionSettingsOf(game.settings);
}

void restore(Game& game, const Snapshot& snapshot) {
    // Battle alone shows 2P, so a change into or out of it resizes the window as a mode key does.
    const bool relayout = positionSettingsOf(game.settings) != snapshot.settings ||
                          game.players[0].field.width != snapshot.players[0].field.width ||
                          game.players[0].field.height != snapshot.players[0].field.height ||
                          (game.mode == Mode::Battle) != (snapshot.mode == Mode::Battle);
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        Player& player = game.players[p];
        const PlayerSnapshot& s = snapshot.players[p];
        copyMembers(player, s);
        player.scoreRecord.base = s.tally.base;
        player.scoreRecord.cleared = s.tally.cleared;
        player.scoreRecord.colourMask = s.tally.colourMask;
        player.scoreRecord.groupBonus = s.tally.groupBonus;
        game.shownStatus[p] = s.shownStatus;
    }
    game.mode = snapshot.mode;
    game.rng = snapshot.rng;
    putStored(game.turnBackup, snapshot.turnBackup);
    if (snapshot.hasStore) {
        game.tempSaves.resize(snapshot.tempSaves.size());
        for (std::size_t i = 0; i < snapshot.tempSaves.size(); ++i) {
            putStored(game.tempSaves[i], snapshot.tempSaves[i]);
        }
        game.tempCursor = snapshot.tempCursor;
        game.tempIdText = snapshot.tempIdText;
    }
    putPositionSettings(game.settings, snapshot.settings);
    showRestored(game, relayout);
}

void showRestored(Game& game, bool relayout) {
    // Copies of the live fields refer to the players' records, as those the live ones made do.
    linkPlayers(game);
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        ScoreRecord* record = &game.players[p].scoreRecord;
        game.turnBackup.players[p].field.scoreRecord = record;
        for (TempSave& save : game.tempSaves) {
            save.players[p].field.scoreRecord = record;
        }
    }
    syncTimers(game);
    for (int p = 0; p < kPlayerCount; ++p) {
        const ShownStatus& shown = game.shownStatus[static_cast<std::size_t>(p)];
        showChainStatus(game, p, shown.chainCount, shown.score);
        game.events.queueChanged(p);
        game.events.warningChanged(p);
        game.events.fieldChanged(p);
    }
    const PairSequence& first = game.players[0].sequence;
    if (!first.queue.empty()) {
        game.events.randomPositionChanged(first.queue.front().position);
    }
    game.events.tempIdChanged(game.tempIdText);
    if (relayout) {
        game.events.sizesChanged();
    }
    game.events.allChanged();
}

} // namespace peterin
