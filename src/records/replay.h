#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "history/snapshot.h"
#include "play/game.h"
#include "play/game_events.h"
#include "records/game_recorder.h"
#include "records/record.h"

namespace peterin {

// One turn as the replay played it.
struct ReplayedTurn {
    RecordTurn turn;
    std::int32_t sent = 0; // nuisance blobs its chain steps sent (offset or announced)
    std::int32_t fell = 0; // nuisance blobs that fell into the player's field in it
    std::size_t event = 0; // the turn's line among the record's events
};

// Where a record and its replay part: the event, and what went wrong there.
struct ReplayFault {
    std::size_t event = 0;
    std::string reason;
};

// What the user is told of a fault in a record read from `path`: "PATH: line N: REASON", the
// line from the reader's `eventLines`.
std::string faultText(const std::filesystem::path& path,
                      const std::vector<std::int64_t>& eventLines, const ReplayFault& fault);

// Told by check() of the moments a review weighs: a player's drop key about to act (the game as
// the player saw it, the pair where it was dropped from), and a turn's end.
class ReplayObserver {
  public:
    virtual ~ReplayObserver() = default;
    virtual void dropping(const Game& game, int player) = 0;
    virtual void turnEnded(const Game& game, const ReplayedTurn& turn) = 0;
};

// Plays a record again on a game of its own, exactly as it was played: the ticks as they ran,
// every input at its tick. Positions are kept every few turns, so that going to any turn
// replays a few turns at most.
class Replay : private NullGameEvents {
  public:
    explicit Replay(const Record& record);
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    // Plays the record to its end, checking each turn against its line; stops at the first
    // input the game could not have taken or turn that disagrees.
    std::optional<ReplayFault> check();
    // check() tells `observer` (nothing: no one) of every drop and turn's end as it plays.
    void observe(ReplayObserver* observer) { observer_ = observer; }
    // The turns played by check(), in order.
    const std::vector<ReplayedTurn>& turns() const { return turns_; }

    // The game as it stood after `turns` turns (0: the start), through the nearest position
    // kept; `turns` beyond the record's stand at its end. Needs check() to have passed.
    void seekTurn(int turns);
    const Game& game() const { return game_; }
    const Record& record() const { return record_; }
    // The first event that seekTurn has not played.
    std::size_t nextEvent() const { return next_; }
    // Plays on to the next tick and runs it (after check() has passed): the player ticked, or
    // nothing at the record's end.
    std::optional<int> stepTick();
    // Turns ended since the start, as the replay stands.
    int turnsPlayed() const { return turnCount_; }

  private:
    struct Keyframe {
        Snapshot position;
        BattleScore score;     // no snapshot holds it, and a game won stands still
        std::size_t event = 0; // the first event not yet played
        int turns = 0;
        TurnTracker tracker;
    };
    static constexpr int kKeyframeTurns = 8;

    void nuisanceSent(int player, std::int32_t count) override;
    void nuisanceFell(int player, std::int32_t count) override;

    void start();
    // Plays one event; a fault, or nothing.
    std::optional<std::string> play(const RecordEvent& event, bool checking);
    std::optional<std::string> tick(int player, bool lastOfRun);

    Record record_;
    Game game_{*this};
    TurnTracker tracker_;
    std::size_t next_ = 0;  // the next event to play
    std::size_t inRun_ = 0; // ticks of that event (a run) stepTick has run
    int turnCount_ = 0;
    std::array<std::int32_t, kPlayerCount> sent_{};
    std::array<std::int32_t, kPlayerCount> fell_{};
    std::vector<ReplayedTurn> turns_;
    std::vector<Keyframe> keyframes_;
    ReplayObserver* observer_ = nullptr;
};

} // namespace peterin
