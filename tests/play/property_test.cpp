#include <gtest/gtest.h>

#include <random>

#include "play/commands.h"
#include "random_play.h"

namespace peterin {
namespace {

using testing::Harness;

// Only "does not break": thousands of random keys, edits, commands and ticks in each mode,
// with the fields' invariants checked after every step (and memory errors caught by the
// sanitizers of the test build).
TEST(PlayProperty, RandomPlayInEveryModeKeepsEveryFieldIntact) {
    for (const Mode mode : {Mode::Edit, Mode::Play, Mode::Battle}) {
        for (std::uint32_t seed = 1; seed <= 2; ++seed) {
            Harness h;
            std::mt19937 random(seed * 7919u + static_cast<std::uint32_t>(mode));
            changeMode(h.game, mode);
            for (int step = 0; step < 3000; ++step) {
                testing::randomStep(h, random);
                for (int p = 0; p < kPlayerCount; ++p) {
                    ASSERT_EQ(testing::playerFault(h.player(p)), "")
                        << "mode " << static_cast<int>(mode) << " seed " << seed << " step " << step
                        << " player " << p;
                }
            }
            for (const TempSave& save : h.game.tempSaves) {
                ASSERT_EQ(testing::fieldFault(save.players[0].field), "");
                ASSERT_EQ(testing::fieldFault(save.players[1].field), "");
            }
        }
    }
}

} // namespace
} // namespace peterin
