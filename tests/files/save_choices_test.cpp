#include "files/save_choices.h"

#include <gtest/gtest.h>

#include "dat_test_support.h"
#include "temp_dir.h"

namespace peterin {
namespace {

TEST(SaveChoices, StartWithOnlyTheMapChecked) {
    const SaveChoices fresh;
    EXPECT_TRUE(fresh.map);
    EXPECT_FALSE(fresh.bothPlayers || fresh.next || fresh.tempSaves || fresh.nextCounts ||
                 fresh.blobSize);
}

TEST(SaveChoices, TwoPlayersAloneSelectsNothingAndWritesNothing) {
    TempDir dir;
    TestGame t;
    SaveChoices choices;
    choices.map = false;
    choices.bothPlayers = true;
    EXPECT_FALSE(saveChosen(t.game, dir.path() / "a.dat", choices));
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].text, "保存するものがありませんよ");
    EXPECT_EQ(t.ui.messages[0].caption, "？");
    EXPECT_TRUE(dir.entries().empty());
}

TEST(SaveChoices, EachPartOnItsOwnIsWorthSaving) {
    for (int part = 0; part < 5; ++part) {
        SaveChoices c;
        c.map = part == 0;
        c.next = part == 1;
        c.tempSaves = part == 2;
        c.nextCounts = part == 3;
        c.blobSize = part == 4;
        EXPECT_FALSE(nothingToSave(c)) << part;
    }
}

TEST(SaveChoices, BlobSizeAloneWritesAFileHoldingOnlyTheBlobSize) {
    TempDir dir;
    TestGame t;
    SaveChoices choices;
    choices.map = false;
    choices.blobSize = true;
    const auto path = dir.path() / "a.dat";
    EXPECT_TRUE(saveChosen(t.game, path, choices));
    EXPECT_EQ(readAll(path), "[S]\n40, 40\n");
    EXPECT_TRUE(t.ui.messages.empty());
}

} // namespace
} // namespace peterin
