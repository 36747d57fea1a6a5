#include "play/player_state.h"

#include <gtest/gtest.h>

#include "play/player.h"
#include "play/temp_save.h"

namespace peterin {
namespace {

// Converts to the type of any member, so that initialising an aggregate with n of them compiles
// exactly when it has at least n members.
struct AnyMember {
    template <class T> operator T() const;
};

template <class T, class... Given> constexpr int aggregateMembers() {
    if constexpr (requires { T{Given{}..., AnyMember{}}; }) {
        return aggregateMembers<T, Given..., AnyMember>();
    } else {
        return static_cast<int>(sizeof...(Given));
    }
}

template <class T> int visitedMembers() {
    T state{};
    int n = 0;
    visitMembers([&](auto&) { ++n; }, state);
    return n;
}

struct FullState : PlayerState<FieldCells>, TurnProgress {};

// A member declared but missing from visitMembers would be dropped by every copy of a player:
// a temporary save, the turn backup, and undo, with no error.
TEST(PlayerState, TheDescriptionNamesEveryMemberOfTheState) {
    EXPECT_EQ(visitedMembers<PlayerState<FieldCells>>(),
              aggregateMembers<PlayerState<FieldCells>>());
    EXPECT_EQ(visitedMembers<PlayerState<Field>>(), aggregateMembers<PlayerState<FieldCells>>());
    EXPECT_EQ(visitedMembers<FullState>(),
              aggregateMembers<PlayerState<FieldCells>>() + aggregateMembers<TurnProgress>());
    // A Player is its state, its turn's counters and its score record, nothing beside them.
    struct Parts : PlayerState<Field>, TurnProgress {
        ScoreRecord scoreRecord;
    };
    EXPECT_EQ(sizeof(Player), sizeof(Parts));
    EXPECT_EQ(sizeof(TempSave), kPlayerCount * sizeof(PlayerState<Field>));
}

} // namespace
} // namespace peterin
