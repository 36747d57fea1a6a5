#include "sequence/pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace peterin {
namespace {

Message err(const std::string& text) {
    return Message{text, "err", MessageIcon::Warning};
}

std::vector<int> shapesOf(const std::string& line) {
    PairPattern pattern;
    EXPECT_EQ(parseShapes(line, pattern), std::nullopt) << line;
    return pattern.shapes;
}

std::vector<std::uint32_t> tokensOf(const std::string& line) {
    PairPattern pattern;
    ConventionalRandom rng;
    parseColourTokens(line, pattern, rng);
    return pattern.tokens;
}

TEST(UsedColourLine, MarksUpToFiveLettersAndKeepsTheColourOrder) {
    PairPattern pattern;
    EXPECT_EQ(parseUsedColours("PGR\n", pattern), std::nullopt);
    EXPECT_EQ(pattern.usedColours, (std::vector<int>{1, 3, 5}));
    // Duplicates count towards the five; the sixth character is never looked at.
    EXPECT_EQ(parseUsedColours("RRRRRB\n", pattern), std::nullopt);
    EXPECT_EQ(pattern.usedColours, (std::vector<int>{1}));
    EXPECT_EQ(parseUsedColours("BBBBB!?", pattern), std::nullopt); // no line break needed then
    EXPECT_EQ(pattern.usedColours, (std::vector<int>{2}));
    EXPECT_EQ(parseUsedColours("GY\r\n", pattern), std::nullopt);
    EXPECT_EQ(pattern.usedColours, (std::vector<int>{3, 4}));
}

TEST(UsedColourLine, ABareLineBreakKeepsThePreviousColours) {
    PairPattern pattern;
    pattern.usedColours = {2, 5};
    EXPECT_EQ(parseUsedColours("\n", pattern), std::nullopt);
    EXPECT_EQ(pattern.usedColours, (std::vector<int>{2, 5}));
}

TEST(UsedColourLine, ReportsTheFirstBadCharacterOrAMissingRestAndChangesNothing) {
    PairPattern pattern;
    const PairPattern before = pattern;
    EXPECT_EQ(parseUsedColours("RBX\n", pattern), err("使用色指定3文字目：書式エラー[\"X\"]"));
    EXPECT_EQ(parseUsedColours(" R\n", pattern), err("使用色指定1文字目：書式エラー[\" \"]"));
    EXPECT_EQ(parseUsedColours("RB", pattern), err("ツモパターンがありません"));
    EXPECT_EQ(parseUsedColours("", pattern), err("ツモパターンがありません"));
    EXPECT_EQ(pattern, before);
}

TEST(UsedColourLine, ShowsBytesThatAreNoCharacterAsHexAndWholeCharactersAsThemselves) {
    PairPattern pattern;
    EXPECT_EQ(parseUsedColours("R\x83\x40\n", pattern),
              err("使用色指定2文字目：書式エラー[\"\\x83\"]"));
    EXPECT_EQ(parseUsedColours("RＢ\n", pattern), err("使用色指定2文字目：書式エラー[\"Ｂ\"]"));
    EXPECT_EQ(parseUsedColours("\t", pattern), err("使用色指定1文字目：書式エラー[\"\\x09\"]"));
}

TEST(ShapeLine, ReadsEveryShapeAndIgnoresUnusedQualifiers) {
    EXPECT_EQ(shapesOf("23a3b4d4a\n"), (std::vector<int>{0, 1, 2, 3, 4, kShapeEnd}));
    EXPECT_EQ(shapesOf("33a\n"), (std::vector<int>{1, kShapeEnd}));
    EXPECT_EQ(shapesOf("4a24\n"), (std::vector<int>{4, 0, kShapeEnd}));
    EXPECT_EQ(shapesOf("4d\r\n"), (std::vector<int>{3, kShapeEnd}));
}

TEST(ShapeLine, ALineWithoutShapesGivesThePlainPair) {
    EXPECT_EQ(shapesOf("\n"), (std::vector<int>{kShape2, kShapeEnd}));
    EXPECT_EQ(shapesOf("34\n"), (std::vector<int>{kShape2, kShapeEnd}));
}

TEST(ShapeLine, ReportsEachKindOfFormatError) {
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        {"2c\n", "ツモパターン2文字目：書式エラー[\"c\"]"},
        {"2b\n", "ツモパターン1文字目：書式エラー[\"2b\"]"},
        {"23d\n", "ツモパターン2文字目：書式エラー[\"3d\"]"},
        {"22a\n", "ツモパターン2文字目：書式エラー[\"2a\"]"},
        {"4b\n", "ツモパターン1文字目：書式エラー[\"4b\"]"},
        // A suffix with nothing before it is named by itself.
        {"a2\n", "ツモパターン1文字目：書式エラー[\"a\"]"},
        {"d\n", "ツモパターン1文字目：書式エラー[\"d\"]"},
        {"2", "ツモ指定がありません"},
        {"", "ツモ指定がありません"},
    };
    for (const Case& c : cases) {
        PairPattern pattern;
        EXPECT_EQ(parseShapes(c.line, pattern), err(c.message)) << c.line;
        ASSERT_FALSE(pattern.shapes.empty());
        EXPECT_EQ(pattern.shapes.back(), kShapeEnd) << c.line;
    }
}

TEST(ShapeLine, StopsAtTheFirstError) {
    PairPattern pattern;
    EXPECT_EQ(parseShapes("2x3c\n", pattern), err("ツモパターン2文字目：書式エラー[\"x\"]"));
    EXPECT_EQ(pattern.shapes, (std::vector<int>{0, kShapeEnd}));
}

TEST(ColourTokenLine, ReadsColoursRandomRepeatAndSeek) {
    EXPECT_EQ(tokensOf("RBGYP?*\n"), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(tokensOf("R?@1234G\n"), (std::vector<std::uint32_t>{1, 6, 8, 1234, 3}));
    // Other characters, the line break among them, are skipped.
    EXPECT_EQ(tokensOf("R G,x\nB"), (std::vector<std::uint32_t>{1, 3, 2}));
    EXPECT_TRUE(tokensOf("").empty());
    EXPECT_TRUE(tokensOf("\n").empty());
}

TEST(ColourTokenLine, DropsARepeatWithNothingToRepeat) {
    EXPECT_EQ(tokensOf("*R*\n"), (std::vector<std::uint32_t>{1, 7}));
    EXPECT_EQ(tokensOf("@12*G"), (std::vector<std::uint32_t>{8, 12, 3}));
    // Also when the position happens to equal the repeat code, or after skipped characters.
    EXPECT_EQ(tokensOf("@7 **R**"), (std::vector<std::uint32_t>{8, 7, 1, 7, 7}));
    EXPECT_TRUE(tokensOf("**").empty());
}

TEST(ColourTokenLine, ASeekWithoutDigitsDrawsItsPositionWhenRead) {
    PairPattern pattern;
    ConventionalRandom rng;
    rng.srand(1);
    parseColourTokens("@R@", pattern, rng);
    EXPECT_EQ(pattern.tokens, (std::vector<std::uint32_t>{8, 41, 1, 8, 18467}));
}

TEST(ColourTokenLine, ReadsAtMost31DigitsAndSaturatesLargePositions) {
    EXPECT_EQ(tokensOf("@4294967295R"), (std::vector<std::uint32_t>{8, 4294967295u, 1}));
    EXPECT_EQ(tokensOf("@4294967296"), (std::vector<std::uint32_t>{8, 4294967295u}));
    const std::string digits31(31, '1');
    // The 32nd digit is an ordinary character and skipped.
    EXPECT_EQ(tokensOf("@" + digits31 + "9R"), (std::vector<std::uint32_t>{8, 4294967295u, 1}));
    EXPECT_EQ(tokensOf("@" + std::string(31, '0') + "12"), (std::vector<std::uint32_t>{8, 0}));
}

} // namespace
} // namespace peterin
