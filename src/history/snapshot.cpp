#include "history/snapshot.h"

#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "rules/field.h"

namespace peterin {

FieldCells cellsOf(const Field& field) {
    return {field.width, field.height, field.limboRows, field.cells};
}

void putCells(Field& field, const FieldCells& cells) {
    if (cells.cells.empty()) {
        field.cells.clear();
        field.width = field.height = field.limboRows = 0;
        return;
    }
    // Same sizes keep the scratch space; others size it through the one resize there is.
    if (field.width != cells.width || field.height != cells.height ||
        field.limboRows != cells.limboRows || field.cells.size() != cells.cells.size()) {
        resizeField(field, cells.width, cells.height, cells.limboRows);
    }
    field.cells = cells.cells;
}

StoredPosition storedOf(const TempSave& save) {
    StoredPosition stored{save.phase,      save.waitingForPartner, save.pendingNuisance,
                          save.chainCount, save.attackState,       {},
                          save.sequences,  save.fallingPairs};
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        stored.fields[p] = cellsOf(save.fields[p]);
    }
    return stored;
}

void putStored(TempSave& save, const StoredPosition& stored) {
    save.phase = stored.phase;
    save.waitingForPartner = stored.waitingForPartner;
    save.pendingNuisance = stored.pendingNuisance;
    save.chainCount = stored.chainCount;
    save.attackState = stored.attackState;
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        putCells(save.fields[p], stored.fields[p]);
    }
    save.sequences = stored.sequences;
    save.fallingPairs = stored.fallingPairs;
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
    for (std::size_t p = 0; p < kPlayerCount; ++p) {
        const Player& player = game.players[p];
        PlayerSnapshot& s = snapshot.players[p];
        s.field = cellsOf(player.field);
        const ScoreRecord& record = player.scoreRecord;
        s.tally = {record.base, record.cleared, record.colourMask, record.groupBonus};
        s.sequence = player.sequence;
        s.fallingPair = player.fallingPair;
        s.phase = player.phase;
        s.countdown = player.countdown;
        s.chainCount = player.chainCount;
        s.score = player.score;
        s.pendingNuisance = player.pendingNuisance;
        s.nuisanceRowsLeft = player.nuisanceRowsLeft;
        s.attackState = player.attackState;
        s.waitingForPartner = player.waitingForPartner;
        s.shownStatus = game.shownStatus[p];
    }
    snapshot.mode = game.mode;
    snapshot.rng = game.rng;
    snapshot.turnBackup = storedOf(game.turnBackup);
    snapshot.hasStore = withStore;
    if (withStore) {
        snapshot.tempSaves.reserve(game.tempSaves.size());
        for (const TempSave& save : game.tempSaves) {
            snapshot.tempSaves.push_back(storedOf(save));
        }
        snapshot.tempCursor = game.tempCursor;
        snapshot.tempIdText = game.tempIdText;
    }
    snapshot.settings = positionSettingsOf(game.settings);
    return snapshot;
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
        putCells(player.field, s.field);
        player.scoreRecord.base = s.tally.base;
        player.scoreRecord.cleared = s.tally.cleared;
        player.scoreRecord.colourMask = s.tally.colourMask;
        player.scoreRecord.groupBonus = s.tally.groupBonus;
        player.sequence = s.sequence;
        player.fallingPair = s.fallingPair;
        player.phase = s.phase;
        player.countdown = s.countdown;
        player.chainCount = s.chainCount;
        player.score = s.score;
        player.pendingNuisance = s.pendingNuisance;
        player.nuisanceRowsLeft = s.nuisanceRowsLeft;
        player.attackState = s.attackState;
        player.waitingForPartner = s.waitingForPartner;
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
        game.turnBackup.fields[p].scoreRecord = record;
        for (TempSave& save : game.tempSaves) {
            save.fields[p].scoreRecord = record;
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
