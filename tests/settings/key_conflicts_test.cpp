#include "settings/key_conflicts.h"

#include <gtest/gtest.h>

namespace peterin {
namespace {

TEST(KeyConflicts, OnlyActionsThatActOnTheSamePressConflict) {
    struct Case {
        const char* what;
        int a; // set to the key of b
        int b;
        bool conflict;
    };
    const int soloLeft = pairKeyIndex(PairAction::Left, kKeyGroupSolo);
    const int soloRight = pairKeyIndex(PairAction::Right, kKeyGroupSolo);
    const int p1Left = pairKeyIndex(PairAction::Left, kKeyGroupBattle1P);
    const int p2Drop = pairKeyIndex(PairAction::Down, kKeyGroupBattle2P);
    const Case cases[] = {
        {"two actions of solo play", soloLeft, soloRight, true},
        {"a system key and a pair key", kKeyTempStore, p1Left, true},
        {"two system keys", kKeyEditMode, editKindKeyIndex(3), true},
        {"the two battle players", p1Left, p2Drop, true},
        {"solo play and a battle player", soloRight, p1Left, false},
    };
    const Settings defaults;
    EXPECT_EQ(keysInConflict(defaults.keys), (std::array<bool, kKeyCount>{}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto keys = defaults.keys;
        keys[static_cast<std::size_t>(c.a)] = keys[static_cast<std::size_t>(c.b)];
        std::array<bool, kKeyCount> expected{};
        expected[static_cast<std::size_t>(c.a)] = c.conflict;
        expected[static_cast<std::size_t>(c.b)] = c.conflict;
        EXPECT_EQ(keysInConflict(keys), expected);
    }
    // No key is no conflict.
    auto none = defaults.keys;
    none[static_cast<std::size_t>(kKeyEditMode)] = 0;
    none[static_cast<std::size_t>(kKeyPlayMode)] = 0;
    EXPECT_EQ(keysInConflict(none), (std::array<bool, kKeyCount>{}));
}

} // namespace
} // namespace peterin
