#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/hint.h"
#include "play/game.h"
#include "play/player_state.h"

namespace peterin::analysis {

// The computer opponent: what it sees of a battle, how it chooses, and when it presses which
// pair key. Deterministic in the position and in beats of its clock (one beat a tick period),
// so a battle played in the window and one played headless press the same keys at the same
// beats.

// The fixed player kept from the first engine (suggest() as it is), to measure the levels by.
inline constexpr int kBaselineLevel = 0;

// What a person sees of a battle on screen: both fields with their falling pairs and the next
// pairs "表示可能数" shows, the nuisance announced to each side, and whether the other side is in
// the middle of a chain. Never the queue past the next window.
struct BattleSight {
    int player = 0;
    HintRequest self;
    HintRequest opponent;
    std::array<std::int32_t, kPlayerCount> pending{}; // announced to 1P, 2P
    Phase opponentPhase = Phase::Idle;
    std::int32_t opponentChain = 0; // chain steps of the other side's turn so far
};
BattleSight sightFor(const Game& game, int player);

// The pair keys of one turn, the drop last.
struct Decision {
    std::vector<PairAction> keys;
};
// What the computer of `level` (1 to 5, or kBaselineLevel) does with the pair it sees.
Decision decide(const BattleSight& sight, int level, std::int64_t nodes = 0);

// How fast a level plays: the beats it looks before its first key, and the beats between keys.
struct Pace {
    int thinkBeats = 1;
    int keyBeats = 1;
};
Pace paceOf(int level);

// One side played by the computer. Each beat it looks at the game: when its side has just come
// to wait for a pair key it asks for a decision on what it sees (the caller decides, on a worker
// or at once, and hands the answer to decided()); from `thinkBeats` beats after that it presses
// the decision's keys, one every `keyBeats` beats. An answer that comes late is played from the
// beat after it came.
class ComputerPlayer {
  public:
    ComputerPlayer(int player, int level) : player_(player), level_(level), pace_(paceOf(level)) {}

    int player() const { return player_; }
    int level() const { return level_; }

    struct Beat {
        std::optional<BattleSight> decide; // a new turn: decide on this, for turn()
        std::optional<PairAction> press;   // the pair key to press now
    };
    Beat beat(const Game& game);
    // The answer for turn `turn`; one for a turn gone by is dropped.
    void decided(std::uint64_t turn, Decision decision);
    // The turn a decision was last asked for; counts up.
    std::uint64_t turn() const { return turn_; }
    // Whether it waits for the answer of its turn.
    bool thinking() const { return waiting_ && !decision_; }

  private:
    bool myTurn(const Game& game) const;

    int player_;
    int level_;
    Pace pace_;
    bool waiting_ = false; // its side waits for a pair key, and the turn's decision was asked
    std::uint64_t turn_ = 0;
    int beats_ = 0;  // since the turn began
    int nextAt_ = 0; // the beat of the next key
    std::size_t pressed_ = 0;
    std::optional<Decision> decision_;
    FieldCells seenField_; // the turn's field and front pair: a change is a new turn
    Pair seenFront_;
};

} // namespace peterin::analysis
