#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "history/snapshot.h"
#include "play/commands.h"
#include "play/game.h"

namespace peterin {

// A game record: the position a game started from, whole, then everything that happened in it
// in order: the ticks of each player's turn cycle, every input with its player, and after each
// turn what it came to, so a replay can be checked turn by turn. The game is exact to the tick,
// so replaying the inputs at their ticks gives the same game again.

// The settings that change what happens in a game; the rest (keys, colours, sizes on screen)
// only change how it is played or shown.
struct RecordRules {
    std::int32_t vanishCount = 4;
    std::int32_t fieldWidth = 6;
    std::int32_t fieldHeight = 12;
    std::int32_t nextCount = 2;
    std::int32_t fallTicks = 1;
    std::int32_t linkTicks = 20;
    std::int32_t vanishTicks = 25;
    // A lost pair loses the battle (勝敗あり, or the computer played a side).
    bool decisive = false;

    bool operator==(const RecordRules&) const = default;
};
RecordRules rulesOf(const Settings& settings);
// All but `decisive`, which a game playing a record takes as its own (Game::recordedDecisive):
// the settings' rule also follows the choice of computer sides.
void putRules(Settings& settings, const RecordRules& rules);

// The game as it stood when the record began: both players whole, the mode, the shared
// generator of nuisance columns, and whether one key set plays both sides.
struct RecordStart {
    Mode mode = Mode::Play;
    bool onePersonBattle = true;
    ConventionalRandom rng;
    std::array<PlayerSnapshot, kPlayerCount> players;

    bool operator==(const RecordStart&) const = default;
};
RecordStart startOf(const Game& game);

// Ticks run one after another: the player of each ('0' for 1P, '1' for 2P).
struct RecordTicks {
    std::string players;
    bool operator==(const RecordTicks&) const = default;
};
// A pair key's action on a player's falling pair.
struct RecordPairKey {
    int player = 0;
    PairAction action = PairAction::Down;
    bool operator==(const RecordPairKey&) const = default;
};
// The tool window's nuisance buttons.
struct RecordWarning {
    NuisanceUnit unit = NuisanceUnit::Small;
    bool add = true;
    bool operator==(const RecordWarning&) const = default;
};
struct RecordDropNuisance {
    bool operator==(const RecordDropNuisance&) const = default;
};
// A player's turn ended (the player waits for the next pair): where its pair was dropped, what
// the turn scored, and a checksum of both fields after it.
struct RecordTurn {
    int player = 0;
    std::int32_t column = 0;
    std::int32_t turn = 0; // see turnOf
    std::int32_t chain = 0;
    std::int32_t score = 0;
    std::uint32_t checksum = 0;
    bool operator==(const RecordTurn&) const = default;
};
using RecordEvent =
    std::variant<RecordTicks, RecordPairKey, RecordWarning, RecordDropNuisance, RecordTurn>;

struct Record {
    std::int64_t date = 0; // when it began, seconds since 1970 (UTC); 0 when unknown
    RecordRules rules;
    RecordStart start;
    std::vector<RecordEvent> events;
    bool finished = false; // the game ended; a record without it was cut short

    bool operator==(const Record&) const = default;

    // Turns ended, of both players.
    int turns() const;
    std::int32_t largestChain() const;
};

// The checksum a turn line holds: both fields' cells, sizes included.
std::uint32_t fieldsChecksum(const Game& game);

// The text of a record: a version line first, one line per input or turn. UTF-8. A record
// without the rule 勝敗あり is written as version 1, as before there was one, so that every
// reader replays it; with it, as version 2, which an older reader refuses rather than replay
// without the loss.
std::string formatRecord(const Record& record);

// Why a record's text cannot be used: the line (from 1) and the reason.
struct RecordError {
    std::int64_t line = 0;
    std::string reason;
};

// Reads a record's text; a damaged or foreign text is refused whole. This checks the form and
// the ranges of what it holds; whether its inputs and turns agree with a replay is the
// replay's to find (see replay.h).
struct ParsedRecord {
    std::optional<Record> record;
    std::vector<std::int64_t> eventLines; // the line of each event
    RecordError error;
};
ParsedRecord parseRecord(std::string_view text);

// The largest record file read.
inline constexpr std::int64_t kMaxRecordBytes = std::int64_t{64} << 20;
// The most ticks one record holds (some 50 hours of play): memory for the ticks is bounded.
inline constexpr std::int64_t kMaxRecordTicks = 20'000'000;

} // namespace peterin
