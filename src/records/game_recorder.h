#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "records/record.h"

namespace peterin {

// Follows the players' turns as a record tells them: a drop opens a player's turn, and the
// turn ends when the player waits for the next pair. The recorder writes what it finds, the
// replay checks the record against it.
class TurnTracker {
  public:
    // The player's drop key acts now, on the pair as it stands.
    void dropping(const Game& game, int player);
    // The player's turn, when it has ended by now; each ends once.
    std::optional<RecordTurn> ended(const Game& game, int player);
    bool isOpen(int player) const { return open_[static_cast<std::size_t>(player)].has_value(); }
    void reset() { open_ = {}; }
    // Going back in play: a turn that had ended is open again, or an open one is gone.
    void reopen(const RecordTurn& turn) { open_[static_cast<std::size_t>(turn.player)] = turn; }
    void close(int player) { open_[static_cast<std::size_t>(player)].reset(); }

  private:
    std::array<std::optional<RecordTurn>, kPlayerCount> open_;
};

// Whether a record can begin now: the game is in play or battle and every player of the mode
// waits for a pair.
bool gameCanBegin(const Game& game);

// Writes the record of each game as it is played: the session tells it every input, tick and
// break. A game begins when play or battle mode waits for its first pair, and ends when the
// mode is left or the position is replaced by anything but play (a file, a clear, a stored
// position put back, undo, other rules); while the mode lasts, the next game begins at once.
class GameRecorder {
  public:
    // Told of the record after each turn that ends, and once more when the game ends (then
    // `finished` is set). Games without a single drop are not told.
    using Listener = std::function<void(const Record& record)>;
    void setListener(Listener listener) { listener_ = std::move(listener); }
    // The calendar time in seconds, for a record's date.
    void setClock(std::function<std::int64_t()> wallSeconds) { clock_ = std::move(wallSeconds); }

    // A pair key is about to act on the player's pair.
    void pairActed(const Game& game, int player, PairAction action);
    void warningAdjusted(NuisanceUnit unit, bool add);
    void nuisanceDropped();
    // One tick of the player ran.
    void ticked(int player);
    // Playback went back `ticks` ticks, to an earlier chain step: what came after is undone.
    void rewound(const Game& game, std::uint64_t ticks);
    // The position was replaced by something other than play: the game ends here.
    void broke(const Game& game);
    // After each command and tick: turns that ended are written, the game ends with its mode,
    // and a new one begins when it can.
    void settle(const Game& game);
    // The program ends: the game in progress ends with it.
    void close(const Game& game);

    bool recording() const { return recording_; }
    // The game being recorded, or else the last one that had a drop; nothing before any.
    const Record* latest() const;

  private:
    void begin(const Game& game);
    void finish();
    void endTurns(const Game& game);
    void add(RecordEvent event);
    bool anyDrop() const;

    Listener listener_;
    std::function<std::int64_t()> clock_;
    bool recording_ = false;
    Record record_;
    std::optional<Record> last_;
    TurnTracker turns_;
    std::uint64_t ticks_ = 0; // ticks in the record
};

} // namespace peterin
