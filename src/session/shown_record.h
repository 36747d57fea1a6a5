#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "play/game.h"
#include "records/record.h"
#include "records/replay.h"

namespace peterin {

// A game record shown on the fields in place of the live game. The playback runs it as it runs
// a game: each tick it asks which player's tick comes next, and the inputs recorded between two
// ticks are played as soon as the tick before them has run. Going to a turn starts from the
// nearest position its replay kept.
class ShownRecord {
  public:
    ShownRecord(Record record, std::vector<std::int64_t> eventLines, std::filesystem::path path);

    // Plays the record through once, checking it: the first disagreement as the user is told
    // it, with the file and the line, or nothing.
    std::optional<std::string> check();

    // The player whose tick comes next in the record (counted as run), or nothing at its end.
    std::optional<int> nextTick();
    // Plays the inputs and turn ends that come before the next tick.
    void feed(Game& game);
    // The playback went back `ticks` ticks (to an earlier chain step, as it was then).
    void rewound(std::uint64_t ticks);
    // Puts the game where the record stands after `turn` turns (0: its start).
    void goToTurn(Game& game, int turn);

    int turn() const { return turn_; }
    int turns() const { return static_cast<int>(replay_.turns().size()); }
    // The turn with the largest chain (its first, from 1), or 0 when no turn chained.
    int largestChainTurn() const;
    bool atEnd() const { return next_ >= record().events.size(); }
    const Record& record() const { return replay_.record(); }
    const std::filesystem::path& path() const { return path_; }
    // What the title shows: the file's name.
    std::string name() const { return path_.filename().string(); }

  private:
    // Where the cursor stands after `ticks` ticks and everything recorded before the next one.
    void placeAt(std::uint64_t ticks);

    Replay replay_;
    std::vector<std::int64_t> eventLines_;
    std::filesystem::path path_;
    std::size_t next_ = 0;    // the next event to play
    std::size_t inRun_ = 0;   // ticks of that event (a run of ticks) already run
    int turn_ = 0;            // turns ended
    std::uint64_t ticks_ = 0; // ticks run since the record's start
};

} // namespace peterin
