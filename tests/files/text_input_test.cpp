#include "files/text_input.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace peterin {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::stringbuf source(text);
    TextModeBuf in(source);
    std::vector<std::string> out;
    std::string line;
    while (readBufferedLine(in, line)) {
        out.push_back(line);
    }
    return out;
}

TEST(TextModeBuf, TurnsCarriageReturnLineFeedIntoLineFeedAndKeepsLoneCarriageReturns) {
    EXPECT_EQ(lines("[M]\r\n6, 12\r\nab\rc\n"),
              (std::vector<std::string>{"[M]\n", "6, 12\n", "ab\rc\n"}));
}

TEST(TextModeBuf, TranslatesPairsThatStraddleItsInternalBuffer) {
    std::string text(4095, 'x');
    text += "\r\nend\r\n";
    const auto got = lines(text);
    ASSERT_EQ(got.size(), 10u); // 4095 bytes of x come back in pieces of 511
    EXPECT_EQ(got[8], std::string(4095 - 8 * 511, 'x') + "\n");
    EXPECT_EQ(got[9], "end\n");
}

TEST(TextModeBuf, CountsTheLineOfTheNextCharacter) {
    std::stringbuf source("a\r\nb\n\nc");
    TextModeBuf in(source);
    EXPECT_EQ(in.lineNumber(), 1);
    std::string line;
    readBufferedLine(in, line);
    EXPECT_EQ(in.lineNumber(), 2);
    readBufferedLine(in, line);
    readBufferedLine(in, line);
    EXPECT_EQ(in.lineNumber(), 4);
}

TEST(TextModeBuf, CountsTheLineOfTheLastCharacterReadAlsoWhenItEndedTheBufferBefore) {
    std::stringbuf start("x\n");
    TextModeBuf fresh(start);
    EXPECT_EQ(fresh.lastLineNumber(), 1);

    // The first line fills the internal buffer exactly, so its line break is the last byte of
    // one chunk and the next read begins a new chunk.
    const std::string first(4095, 'a');
    std::stringbuf source(first + "\nb\n");
    TextModeBuf in(source);
    std::string line;
    while (line.empty() || line.back() != '\n') {
        readBufferedLine(in, line);
    }
    EXPECT_EQ(in.lastLineNumber(), 1);
    EXPECT_EQ(in.lineNumber(), 2);
    in.sbumpc();
    EXPECT_EQ(in.lastLineNumber(), 2);
    in.sbumpc();
    EXPECT_EQ(in.lastLineNumber(), 2);
}

TEST(ReadBufferedLine, SplitsALongLineIntoPiecesOf511BytesAsTheBufferDoes) {
    const std::string longLine = "[M" + std::string(600, 'z') + "\n";
    const auto got = lines(longLine + "next\n");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].size(), 511u);
    EXPECT_EQ(got[0].substr(0, 2), "[M");
    EXPECT_EQ(got[1], std::string(602 - 511, 'z') + "\n");
    EXPECT_EQ(got[2], "next\n");
}

TEST(ReadBufferedLine, KeepsZeroBytesAndReturnsALastLineWithoutLineBreak) {
    const auto got = lines(std::string("a\0b\nlast", 8));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], std::string("a\0b\n", 4));
    EXPECT_EQ(got[1], "last");
}

struct ScanCase {
    std::string text;
    int count;
    bool ok;
    std::vector<int> values;
    std::string rest; // what is left after a successful scan
};

TEST(ScanIntegers, FollowsTheCommaAndWhiteSpaceRulesOfTheIntegerLines) {
    const std::vector<ScanCase> cases = {
        {"6, 12\nxy", 2, true, {6, 12}, "xy"},
        {"6,12\n", 2, true, {6, 12}, ""},
        {"  6 ,12\n", 2, false, {}, ""}, // the comma must follow the number directly
        {"\t6,\n\n 12 \n\n\n---\n", 2, true, {6, 12}, "---\n"}, // blank lines after are eaten
        {"-3, +4\n", 2, true, {-3, 4}, ""},
        {"3, 1, 3\n", 3, true, {3, 1, 3}, ""},
        {"3, 1\n[M]\n", 3, false, {}, ""},
        {"3; 1\n", 2, false, {}, ""},
        {"x, 1\n", 2, false, {}, ""},
        {"-, 1\n", 2, false, {}, ""},
        {"", 2, false, {}, ""},
        {"7, 8 trailing\n", 2, true, {7, 8}, "trailing\n"},
        {"99999999999, -99999999999\n", 2, true, {2147483647, -2147483648}, ""},
        {"2147483647, -2147483648\n", 2, true, {2147483647, -2147483648}, ""},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::stringbuf in(c.text);
        int values[3] = {};
        ASSERT_EQ(scanIntegers(in, values, c.count), c.ok);
        if (c.ok) {
            EXPECT_EQ(std::vector<int>(values, values + c.count), c.values);
            std::string rest;
            for (int ch = in.sbumpc(); ch != EOF; ch = in.sbumpc()) {
                rest.push_back(static_cast<char>(ch));
            }
            EXPECT_EQ(rest, c.rest);
        }
    }
}

} // namespace
} // namespace peterin
