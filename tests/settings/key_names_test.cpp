#include "settings/key_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace peterin;

namespace {

std::string name(std::uint32_t code) {
    return KeyName(code);
}

TEST(KeyNames, RunsOfDigitsLettersKeypadAndFunctionKeysAreNamedByRule) {
    EXPECT_EQ(name(0x30), "KEY 0");
    EXPECT_EQ(name(0x39), "KEY 9");
    EXPECT_EQ(name(0x41), "A");
    EXPECT_EQ(name(0x4D), "M");
    EXPECT_EQ(name(0x5A), "Z");
    EXPECT_EQ(name(0x60), "NUM 0");
    EXPECT_EQ(name(0x69), "NUM 9");
    EXPECT_EQ(name(0x70), "F1");
    EXPECT_EQ(name(0x79), "F10");
    EXPECT_EQ(name(0x87), "F24");
}

TEST(KeyNames, NoKeyIsAnErrorAndSharedOrOddNamesAreKeptAsTheyAre) {
    const std::vector<std::pair<std::uint32_t, std::string>> expected = {
        {0x00, "!エラー!"},
        {0x03, "ScrollLock"},
        {0x91, "Scr Lk"},
        {0x14, "CAPS"},
        {0xF0, "CAPS"},
        {0x6D, "-"},
        {0xBD, "-"},
        {0x6E, "."},
        {0xBE, "."},
        {0x6F, "/"},
        {0xBF, "/"},
        {0x2C, "[PScSRq"},
        {0x19, "ALT+半角全角"},
        {0x5B, "L Windowsキー"},
        {0x5D, "アプリケーション"},
        {0xDC, "\\"},
        {0xF4, "半角/全角"},
        {0xFE, "OEM_CLEAR"},
        {0x09, "TAB"},
        {0x0D, "Enter"},
        {0x1B, "Esc"},
        {0x10, "Shift"},
        {0xA0, "LSHIFT"},
        {0xA5, "RMENU"},
        {0xE2, "_"},
        {0xE5, "ひらがな"},
        {0x20, "SPACE"},
    };
    for (const auto& [code, text] : expected)
        EXPECT_EQ(name(code), text) << std::hex << code;
}

TEST(KeyNames, ExactlyTheCodesWithoutANameOfTheirOwnShowEtc) {
    const std::vector<std::pair<int, int>> unnamedRuns = {
        {0x05, 0x07}, {0x0A, 0x0B}, {0x0E, 0x0F}, {0x16, 0x16}, {0x1A, 0x1A}, {0x3A, 0x40},
        {0x5E, 0x5F}, {0x88, 0x8F}, {0x92, 0x9F}, {0xA6, 0xB9}, {0xC1, 0xDA}, {0xDF, 0xE1},
        {0xE3, 0xE4}, {0xE6, 0xEF}, {0xF1, 0xF3}, {0xF5, 0xF5}, {0xFF, 0xFF},
    };
    std::set<int> unnamed;
    for (const auto& [first, last] : unnamedRuns)
        for (int code = first; code <= last; ++code)
            unnamed.insert(code);
    ASSERT_EQ(unnamed.size(), 106U);

    for (int code = 0; code < 256; ++code) {
        if (unnamed.count(code))
            EXPECT_EQ(name(static_cast<std::uint32_t>(code)), "etc...") << std::hex << code;
        else
            EXPECT_NE(name(static_cast<std::uint32_t>(code)), "etc...") << std::hex << code;
    }
}

TEST(KeyNames, OnlyTheLowEightBitsOfACodeCount) {
    EXPECT_EQ(name(0x100), "!エラー!");
    EXPECT_EQ(name(0x141), "A");
    EXPECT_EQ(name(0xFFFFFF1B), "Esc");
}

} // namespace
