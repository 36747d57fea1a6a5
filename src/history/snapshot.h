#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "play/game.h"
#include "play/player.h"
#include "play/player_state.h"
#include "play/temp_save.h"
#include "rules/cell.h"
#include "rules/score.h"
#include "sequence/pair_sequence.h"
#include "sequence/random.h"

namespace peterin {

// The per-step tally of a score record (its bonus tables are fixed and never copied).
struct TallySnapshot {
    std::int32_t base = 0;
    std::int32_t cleared = 0;
    std::int32_t colourMask = 0;
    std::int32_t groupBonus = 0;

    bool operator==(const TallySnapshot&) const = default;
};

// Everything of one player that a step can change: its state with the turn's counters, the
// tally of its score record and what the status bar shows for it.
struct PlayerSnapshot : PlayerState<FieldCells>, TurnProgress {
    TallySnapshot tally;
    ShownStatus shownStatus;

    bool operator==(const PlayerSnapshot&) const = default;
};

// The settings a position carries with it: a file read or the settings dialog changes them
// together with the fields and queues they size.
struct PositionSettings {
    std::int32_t fieldWidth = 0;
    std::int32_t fieldHeight = 0;
    std::int32_t nextCount = 0;
    std::int32_t nextColumns = 0;
    std::int32_t nextRows = 0;
    std::int32_t cellWidth = 0;
    std::int32_t cellHeight = 0;
    std::int32_t showHeaven = 0;
    std::int32_t showLimbo = 0;

    bool operator==(const PositionSettings&) const = default;
};

// A temporary save as plain comparable values.
struct StoredPosition {
    std::array<PlayerState<FieldCells>, kPlayerCount> players;

    bool operator==(const StoredPosition&) const = default;
};

// A deep copy of the whole live state of a game: both players (fields, falling pairs, queues
// with their generators and pattern cursors, scores, chain counts, announced nuisance, phases,
// countdowns, waiting flags and what the status bar shows), the mode, the shared conventional
// generator, the turn backup, the temporary-save store with its cursor and ID text, and the
// settings a position carries. Not in it: the key and colour settings, the edit kind, the
// one-person-battle choice and the mouse hover, which no step changes.
//
// A plain value: copy it, keep it, compare it with ==.
struct Snapshot {
    // Whether the temporary-save store (tempSaves, tempCursor, tempIdText) was taken; restoring
    // a snapshot without it leaves the live store alone.
    bool hasStore = true;
    std::array<PlayerSnapshot, kPlayerCount> players;
    Mode mode = Mode::Edit;
    ConventionalRandom rng;
    StoredPosition turnBackup;
    std::vector<StoredPosition> tempSaves;
    std::int32_t tempCursor = kLivePosition;
    std::string tempIdText;
    PositionSettings settings;

    bool operator==(const Snapshot&) const = default;
};

// Takes the deep copy; `withStore` false leaves out the temporary-save store, which may be large
// and which only a file read changes. Changes nothing.
Snapshot capture(const Game& game, bool withStore = true);
// The same into `into`, reusing what it holds: a snapshot captured again and again costs no
// allocation once its parts have their sizes.
void captureInto(Snapshot& into, const Game& game, bool withStore);

// Puts the snapshot back into the game as the live state, exactly, then brings the windowing
// side up to date: the windows are laid out again when the field size or the next pairs
// changed, every view is repainted, the status bar, random position and ID box show the
// restored values, and each player's timer runs exactly when its restored phase is one that
// ticks in the restored mode (so a position captured mid-chain runs on, and one captured with
// both sides idle stays still).
void restore(Game& game, const Snapshot& snapshot);

// The parts of capture and restore, shared with the history's compact records.
StoredPosition storedOf(const TempSave& save);
void storeInto(StoredPosition& into, const TempSave& save);
// Writes `stored` into `save`, keeping the scratch space of fields that keep their size.
void putStored(TempSave& save, const StoredPosition& stored);
PositionSettings positionSettingsOf(const Settings& settings);
void putPositionSettings(Settings& settings, const PositionSettings& values);

// Tells of everything shown after the live state was replaced wholesale; `relayout`
// when the sizes of the fields or of the next-pair views may have changed. Part of restore.
void showRestored(Game& game, bool relayout);

} // namespace peterin
