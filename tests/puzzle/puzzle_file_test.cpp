#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "../files/temp_dir.h"
#include "../session/driven_session.h"
#include "files/dat_file.h"
#include "history/snapshot.h"
#include "puzzle_text.h"

namespace peterin {
namespace {

using testing::Driven;
using testing::kTwoChainRows;
using testing::puzzleText;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(PuzzleFile, TheGoalIsWrittenAfterThePositionAndReadBackWithIt) {
    Driven d;
    d.session.apply(ReadText{puzzleText(kTwoChainRows, "BRGY", "chain>=2")});
    ASSERT_TRUE(d.session.goal());
    EXPECT_EQ(puzzle::goalText(*d.session.goal()), "chain>=2");

    // Saved as a puzzle, with a temporary position after it: [G] ends the live position.
    d.session.apply(TempCommand{TempStep::Save});
    TempDir dir;
    WriteOptions options;
    options.next = options.tempSaves = true;
    ASSERT_TRUE(d.session.saveFile(dir.path() / "p.dat", options, true));
    const std::string text = readAll(dir.path() / "p.dat");
    const std::size_t goal = text.find("[N]\nRBGYP\n2\n@0BRGY\n[G]\nchain>=2\n[-]\n[M]\n");
    EXPECT_NE(goal, std::string::npos) << text;
    EXPECT_EQ(text.find("[G]", text.find("[-]")), std::string::npos)
        << "stored positions hold no goal";
    EXPECT_EQ(formatFile(d.game(), options).find("[G]"), std::string::npos)
        << "without asking for it the position is saved as ever";

    Driven back;
    EXPECT_TRUE(back.session.openFile(dir.path() / "p.dat").opened);
    EXPECT_EQ(back.session.goal(), d.session.goal());
    WriteOptions live;
    live.next = true;
    EXPECT_EQ(formatFile(back.game(), live), formatFile(d.game(), live));

    // Another position read in takes the goal away; settings alone leave it.
    back.session.apply(ReadText{"[A]\n3, 1, 3\n"});
    EXPECT_TRUE(back.session.goal());
    back.session.apply(ReadText{puzzleText(kTwoChainRows, "BRGY", "")});
    EXPECT_FALSE(back.session.goal());
}

// Everything the user was told, in one text.
std::string toldText(const Driven& d) {
    std::string told;
    for (const Changes& c : d.reports) {
        for (const Message& m : c.messages) {
            told += m.text + "\n";
        }
    }
    return told;
}

TEST(PuzzleFile, AReaderThatDoesNotKnowTheGoalStopsThereWithPositionAndPatternRead) {
    TempDir dir;
    const auto file = [&](const std::string& text) {
        const auto path = dir.path() / "p.dat";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        return path;
    };
    const std::string puzzle = puzzleText(kTwoChainRows, "BRGY", "chain>=2") + "[-]\n";
    Driven today;
    EXPECT_TRUE(today.session.openFile(file(puzzle)).report.complete);
    // A tag the reader does not know is read as an older reader reads [G]: reading stops at
    // its line, and everything before it is in effect.
    Driven older;
    EXPECT_TRUE(older.session.openFile(file(replaced(puzzle, "[G]", "[Q]"))).opened);
    WriteOptions live;
    live.next = true;
    EXPECT_EQ(formatFile(older.game(), live), formatFile(today.game(), live));
    EXPECT_FALSE(older.session.goal());
    EXPECT_NE(toldText(older).find("stopped at line 22: an unknown section tag [Q]"),
              std::string::npos)
        << toldText(older);

    // A goal that cannot be read, or one after the live position, stops the reading there.
    const std::vector<std::pair<std::string, std::string>> stops = {
        {replaced(puzzle, "chain>=2", "chain>=two"),
         "line 23: a goal that cannot be read: the N of chain>=N"},
        {puzzleText(kTwoChainRows, "BRGY", "") + "[-]\n[G]\nchain>=2\n",
         "line 23: [G] is only valid before the first [-]"},
    };
    for (const auto& [text, why] : stops) {
        Driven d;
        d.session.openFile(file(text));
        EXPECT_FALSE(d.session.goal()) << why;
        EXPECT_EQ(d.game().players[0].field.at(0, 8).kind, CellKind::Green) << "read before it";
        EXPECT_NE(toldText(d).find(why), std::string::npos) << toldText(d);
    }
}

} // namespace
} // namespace peterin
