#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

#include "play/falling_pair.h"
#include "rules/cell.h"
#include "rules/field.h"
#include "sequence/pair_sequence.h"

namespace peterin {

inline constexpr int kPlayerCount = 2; // index 0 is 1P, index 1 is 2P

// The other side of a battle.
constexpr int otherPlayer(int player) {
    return 1 - player;
}

// A player's turn phase; the numbers are stored in temporary saves and files.
enum class Phase : std::int32_t {
    Idle = 0,       // waits for input; the falling pair is shown and the pair keys act
    PairFall = 1,   // the dropped pair falls
    ShowGroups = 2, // the groups about to vanish are shown
    Vanish = 3,     // the step is scored, then the groups vanish
    Fall = 4,       // the field falls after a vanish, at mode start, or under nuisance
};

// Battle hand-over states.
inline constexpr std::int32_t kAttackNone = 0;
inline constexpr std::int32_t kAttackStepWithPending = 1; // a chain step ended with nuisance due
inline constexpr std::int32_t kAttackDone = 2; // the turn ended; the other side may receive

// The cells of a field and its sizes, without the scratch space a live field carries, so that a
// copy costs no more than the cells themselves.
struct FieldCells {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t limboRows = 0;
    std::vector<Cell> cells;

    bool operator==(const FieldCells&) const = default;
};

FieldCells cellsOf(const Field& field);
// Same sizes keep the field's scratch space; other sizes resize it.
void putCells(Field& field, const FieldCells& cells);

// The counters of the turn in progress. A stored position leaves them out: put back, it runs on
// with the live ones.
struct TurnProgress {
    std::int32_t countdown = 0;        // ticks left in the current step of the phase
    std::int32_t score = 0;            // score of the current turn
    std::int32_t nuisanceRowsLeft = 0; // rows that may still fall in this fall phase

    bool operator==(const TurnProgress&) const = default;
};

// What every copy of a player holds: the live player, the stored positions, the turn backup and
// the history's snapshots. FieldT is Field where the position plays on (with its scratch
// space), FieldCells in the history. The score-record link is no part of it.
template <class FieldT> struct PlayerState {
    FieldT field;
    PairSequence sequence;
    FallingPair fallingPair;
    Phase phase = Phase::Idle;
    std::int32_t chainCount = 0;      // chain steps of the current turn
    std::int32_t pendingNuisance = 0; // nuisance announced to this player
    std::int32_t attackState = kAttackNone;
    std::int32_t waitingForPartner = 0; // battle lockstep: 1 while waiting for the other side

    bool operator==(const PlayerState&) const = default;
};

// The one description of a player's members: calls f with the same member of each of `states`,
// member by member, always in this order. The TurnProgress counters come last and only when
// every state has them. Copying, the history's records and its numbers all walk this list, so a
// new member goes into its struct and here (tests/play/player_state_test.cpp fails otherwise).
template <class F, class... S> void visitMembers(F&& f, S&... states) {
    f(states.field...);
    f(states.sequence...);
    f(states.fallingPair...);
    f(states.phase...);
    f(states.chainCount...);
    f(states.pendingNuisance...);
    f(states.attackState...);
    f(states.waitingForPartner...);
    if constexpr ((std::is_base_of_v<TurnProgress, std::remove_const_t<S>> && ...)) {
        f(states.countdown...);
        f(states.score...);
        f(states.nuisanceRowsLeft...);
    }
}

// A member held as one number (the phase, the counters), as opposed to a part with insides.
template <class T>
inline constexpr bool kIsNumberMember =
    std::is_arithmetic_v<std::remove_cvref_t<T>> || std::is_enum_v<std::remove_cvref_t<T>>;

// One member copied from one copy of a player to another: fields keep their score-record link
// rules (copyField), and go to and from FieldCells without the scratch space.
inline void copyMember(Field& to, const Field& from) {
    copyField(to, from);
}
inline void copyMember(FieldCells& to, const Field& from) {
    to.width = from.width;
    to.height = from.height;
    to.limboRows = from.limboRows;
    to.cells = from.cells; // in place: a copy taken again reuses its storage
}
inline void copyMember(Field& to, const FieldCells& from) {
    putCells(to, from);
}
template <class T> void copyMember(T& to, const T& from) {
    to = from;
}

// Copies every member that both hold.
template <class To, class From> void copyMembers(To& to, const From& from) {
    visitMembers([](auto& t, const auto& f) { copyMember(t, f); }, to, from);
}

} // namespace peterin
