#include "settings/ini_file.h"
#include "settings/shift_jis.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace peterin {
namespace {

using test::readBytes;
using test::sjis;
using test::TempDir;
using test::writeBytes;

TEST(ProfileInt, ReadsBlanksSignHexadecimalAndStopsAtTheFirstOtherCharacter) {
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    // Only a lower-case "0x" starts hexadecimal: "0X1F" reads the digit 0 and stops at the X.
    const Case cases[] = {
        {"42", 42},    {"  \t 42", 42},  {"-17", -17},   {"+17", 17},
        {"0x1F", 31},  {"0x1f", 31},     {"-0x10", -16}, {"0x003296FF", 0x003296FF},
        {"12abc", 12}, {"0x12g4", 0x12}, {"3.9", 3},     {"- 5", 0},
        {"abc", 0},    {"0x", 0},        {"-", 0},       {"0X1F", 0},
        {"-0X10", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseProfileInt(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ProfileInt, WrapsToThirtyTwoBits) {
    EXPECT_EQ(parseProfileInt("0xFFFFFFBE"), -66);
    EXPECT_EQ(parseProfileInt("0x80000000"), INT32_MIN);
    EXPECT_EQ(parseProfileInt("4294967295"), -1);
    EXPECT_EQ(parseProfileInt("4294967296"), 0);
    EXPECT_EQ(parseProfileInt("0x123456789"), 0x23456789);
    EXPECT_EQ(parseProfileInt("-2147483648"), INT32_MIN);
}

TEST(IniFile, AbsentOrEmptyIntegerValuesYieldTheFallbackButTextWithoutDigitsYieldsZero) {
    const IniFile ini = IniFile::fromBytes("[s]\r\nempty=\r\nblank=   \r\nword=abc\r\nn= 7\r\n");
    EXPECT_EQ(ini.getInt("s", "missing", 5), 5);
    EXPECT_EQ(ini.getInt("other", "n", 5), 5);
    EXPECT_EQ(ini.getInt("s", "empty", 5), 5);
    EXPECT_EQ(ini.getInt("s", "blank", 5), 5);
    EXPECT_EQ(ini.getInt("s", "word", 5), 0);
    EXPECT_EQ(ini.getInt("s", "n", 5), 7);
}

TEST(IniFile, NamesCompareCaseInsensitivelyForAsciiOnly) {
    // "ア" and "ヂ" differ only in a second byte that looks like 'A' and 'a'.
    const IniFile ini = IniFile::fromBytes(sjis("[Keys]\r\nRight=1\r\nア=2\r\nヂ=3\r\nＡ=4\r\n"));
    EXPECT_EQ(ini.getInt("KEYS", "right", 0), 1);
    EXPECT_EQ(ini.getInt("keys", "RIGHT", 0), 1);
    EXPECT_EQ(ini.getInt("Keys", "ア", 0), 2);
    EXPECT_EQ(ini.getInt("Keys", "ヂ", 0), 3);
    EXPECT_EQ(ini.getInt("Keys", "ａ", 0), 0); // full-width letters are not folded
}

TEST(IniFile, ParsesDoubleByteCharactersWhoseSecondByteIsPunctuation) {
    // "ゾ" ends in ']' and "表" in '\'; neither may cut the name short.
    const IniFile ini = IniFile::fromBytes(sjis("[ゾーン]\r\n表示=5\r\n[a]\r\nx=1\r\n"));
    EXPECT_EQ(ini.getInt("ゾーン", "表示", 0), 5);
    EXPECT_EQ(ini.getInt("a", "x", 0), 1);
}

TEST(IniFile, BlanksAroundNamesAndValuesAreIgnoredAndTheFirstMatchWins) {
    const IniFile ini = IniFile::fromBytes("  [ s ]  \n  k  =  v w  \nk=second\n[s]\nj=9\n");
    EXPECT_EQ(ini.value("s", "k"), "v w");
    EXPECT_EQ(ini.getInt("s", "j", -1), -1); // only the first section [s] is searched
    EXPECT_EQ(ini.value("s", "none"), std::nullopt);
}

TEST(IniFile, StringsAreCutToTheBufferWithoutSplittingACharacter) {
    const std::string longText(40, 'R');
    const IniFile ini = IniFile::fromBytes(sjis("[e]\r\nlong=" + longText + "\r\n" + "kana=" +
                                                std::string(30, 'x') + "ホ\r\n" + "empty=\r\n"));
    EXPECT_EQ(ini.getString("e", "long", "", 32), std::string(31, 'R'));
    // 30 bytes then a double-byte character that would need bytes 31 and 32.
    EXPECT_EQ(ini.getString("e", "kana", "", 32), std::string(30, 'x'));
    EXPECT_EQ(ini.getString("e", "empty", "dflt", 32), "");
    EXPECT_EQ(ini.getString("e", "missing", "dflt", 32), "dflt");
    EXPECT_EQ(ini.getString("e", "missing", "0123456789", 5), "0123");
}

TEST(IniFile, ReplacingAKeyChangesOnlyItsLineAndKeepsItsSpelling) {
    const std::string before =
        "; comment\r\n[A]\r\nright = 1\r\nother=keep me\r\n\r\n[B]\r\nx=2\r\n";
    IniFile ini = IniFile::fromBytes(before);
    ini.setString("a", "RIGHT", " 9");
    EXPECT_EQ(ini.toBytes(), "; comment\r\n[A]\r\nright= 9\r\nother=keep me\r\n\r\n[B]\r\nx=2\r\n");
}

TEST(IniFile, NewKeysGoAtTheEndOfTheirSectionAndNewSectionsAtTheEndOfTheFile) {
    IniFile ini = IniFile::fromBytes("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
    ini.setString("A", "a2", "x");
    ini.setString("C", "c", "y");
    ini.setString("B", "b2", "z");
    EXPECT_EQ(ini.toBytes(), "[A]\r\na=1\r\na2=x\r\n\r\n[B]\r\nb=2\r\nb2=z\r\n\r\n[C]\r\nc=y\r\n");
}

TEST(IniFile, ANewFileHoldsSectionsAndKeysInTheOrderOfWriting) {
    IniFile ini;
    ini.setString("Z", "second", "1");
    ini.setString("A", "k", "2");
    ini.setString("Z", "first", "3");
    ini.setString("Z", "second", "4");
    EXPECT_EQ(ini.toBytes(), "[Z]\r\nsecond=4\r\nfirst=3\r\n\r\n[A]\r\nk=2\r\n");
}

TEST(IniFile, KeepsBytesThatAreNotShiftJisAndBareLineFeeds) {
    const std::string bytes = "[a]\n\x80\xFF\x81=\xA0\xFD\n\x82\n[b]\nk=1\n";
    IniFile ini = IniFile::fromBytes(bytes);
    EXPECT_EQ(ini.toBytes(), bytes);
    ini.setString("b", "k", "2");
    EXPECT_EQ(ini.toBytes(), "[a]\n\x80\xFF\x81=\xA0\xFD\n\x82\n[b]\nk=2\n");
}

TEST(IniFile, ValuesWithLineBreaksCannotAddEntries) {
    IniFile ini;
    ini.setString("s", "k", "1\r\n[t]\r\nj=2");
    EXPECT_EQ(ini.getInt("t", "j", -1), -1);
    EXPECT_EQ(ini.value("s", "k"), "1[t]j=2");
}

TEST(IniFile, NamesAndValuesAreShiftJisOnDiskAndUtf8InMemory) {
    TempDir dir;
    IniFile ini;
    ini.setString("ウィンドウ", "ホイール", "一時ＩＤ－１");
    ASSERT_TRUE(ini.write(dir / "a.ini"));
    EXPECT_EQ(readBytes(dir / "a.ini"), "\x5b\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x5d\r\n"
                                        "\x83\x7a\x83\x43\x81\x5b\x83\x8b="
                                        "\x88\xea\x8e\x9e\x82\x68\x82\x63\x81\x7c\x82\x50\r\n");
    IniFile back;
    ASSERT_EQ(IniFile::read(dir / "a.ini", back), IniFile::ReadStatus::Ok);
    EXPECT_EQ(back.value("ウィンドウ", "ホイール"), "一時ＩＤ－１");
}

TEST(IniFile, ReadingTellsAMissingFileFromOneThatCannotBeRead) {
    TempDir dir;
    IniFile ini = IniFile::fromBytes("[a]\r\nk=1\r\n");
    EXPECT_EQ(IniFile::read(dir / "none.ini", ini), IniFile::ReadStatus::Missing);
    EXPECT_EQ(ini.toBytes(), "");
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_EQ(IniFile::read(dir / "folder.ini", ini), IniFile::ReadStatus::Failed);
    // A pipe would block the reader until someone writes to it.
    ASSERT_EQ(::mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
    EXPECT_EQ(IniFile::read(dir / "pipe.ini", ini), IniFile::ReadStatus::Failed);
}

TEST(IniFile, WritingReplacesTheFileAndLeavesNoTemporaryFileBehind) {
    TempDir dir;
    writeBytes(dir / "a.ini", "old");
    std::filesystem::permissions(dir / "a.ini", std::filesystem::perms(0640));
    ASSERT_TRUE(IniFile::fromBytes("[n]\r\nk=v\r\n").write(dir / "a.ini"));
    EXPECT_EQ(readBytes(dir / "a.ini"), "[n]\r\nk=v\r\n");
    EXPECT_EQ(std::filesystem::status(dir / "a.ini").permissions(), std::filesystem::perms(0640));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(IniFile, WritingThroughALinkUpdatesTheLinkedFile) {
    TempDir dir;
    writeBytes(dir / "real.ini", "old");
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(IniFile::fromBytes("new").write(dir / "link.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readBytes(dir / "real.ini"), "new\r\n");
}

TEST(IniFile, AFailedWriteLeavesTheOldFileIntact) {
    TempDir dir;
    // The temporary file beside a name this long cannot be created, even by root.
    const std::string name(250, 'n');
    writeBytes(dir / name, "precious");
    EXPECT_FALSE(IniFile::fromBytes("new").write(dir / name));
    EXPECT_EQ(readBytes(dir / name), "precious");
    EXPECT_FALSE(IniFile::fromBytes("new").write(dir / "missing-folder" / "a.ini"));
}

} // namespace
} // namespace peterin
