#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/shift_jis.h"
#include "test_files.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace peterin {
namespace {

using test::readBytes;
using test::ScopedCurrentDir;
using test::sjis;
using test::TempDir;
using test::writeBytes;

// A settings file written by hand in UTF-8, stored as Shift-JIS.
void writeIni(const std::filesystem::path& path, std::string_view utf8) {
    writeBytes(path, sjis(utf8));
}

Settings loadFrom(const std::filesystem::path& path) {
    Settings settings;
    settings.vanishCount = 99; // loading must not keep what was there before
    LoadSettings(settings, path);
    return settings;
}

Settings loadText(std::string_view utf8) {
    TempDir dir;
    writeIni(dir / "設定.ini", utf8);
    return loadFrom(dir / "設定.ini");
}

// --- Loading -------------------------------------------------------------------------------

TEST(LoadSettings, AFileTooLargeToBeSettingsIsNotReadNorReplacedAndSaysSo) {
    TempDir dir;
    const auto path = dir / "設定.ini";
    // Blank lines past the limit, a value at the end that must not be taken.
    std::string bytes(IniFile::kMaxBytes, '\n');
    bytes += sjis("[システム]\n消える連結数=2\n");
    writeBytes(path, bytes);
    Settings settings;
    const auto message = LoadSettings(settings, path);
    ASSERT_TRUE(message);
    EXPECT_NE(message->text.find("大きすぎる"), std::string::npos);
    EXPECT_EQ(settings, Settings{});
    EXPECT_FALSE(SaveSettings(settings, path).ok);
    EXPECT_EQ(readBytes(path), bytes);
}

TEST(LoadSettings, WithoutAFileEveryValueIsItsDefault) {
    TempDir dir;
    EXPECT_EQ(loadFrom(dir / "設定.ini"), Settings{});
}

TEST(LoadSettings, KeyCodesKeepTheLowByteSoBothSavedFormsReadBack) {
    const Settings s = loadText("[操作]\nR2= 0xFFFFFFBE\nL2=0xBC\nLeft= 0x25\nRight=0x1234\n"
                                "一時ＩＤ－１=0x4A\nDown=-1\n");
    EXPECT_EQ(s.keys[pairKeyIndex(PairAction::RotateRight, kKeyGroupBattle2P)], 0xBE);
    EXPECT_EQ(s.keys[pairKeyIndex(PairAction::RotateLeft, kKeyGroupBattle2P)], 0xBC);
    EXPECT_EQ(s.keys[pairKeyIndex(PairAction::Left, kKeyGroupSolo)], 0x25);
    EXPECT_EQ(s.keys[pairKeyIndex(PairAction::Right, kKeyGroupSolo)], 0x34);
    EXPECT_EQ(s.keys[kKeyTempIdPrev], 0x4A);
    EXPECT_EQ(s.keys[pairKeyIndex(PairAction::Down, kKeyGroupSolo)], 0xFF);
}

TEST(LoadSettings, ColoursAcceptDecimalAndHexadecimal) {
    const Settings s = loadText("[ウィンドウ]\n背景色=255\n保存ID時の色=0xFFFFFFFF\n"
                                "[もるん]\nお邪魔= 0x00123456\n");
    EXPECT_EQ(s.backgroundColour, 0x000000FFu); // pure red
    EXPECT_EQ(s.savedIdColour, 0xFFFFFFFFu);
    EXPECT_EQ(s.cellColours[6], 0x00123456u);
    EXPECT_EQ(s.cellColours[1], Settings{}.cellColours[1]);
}

// As the profile functions read them, quotes around a whole value are not part of it.
TEST(LoadSettings, ValuesInQuotesReadWithoutThem) {
    const Settings s = loadText("[ウィンドウ]\n背景色=\"255\"\n保存ID時の色= '0x10'\n"
                                "三途領域の色=\"7\n[システム]\n消える連結数=\"5'\n"
                                "[編集]\nホイール=\"RB\"\n");
    EXPECT_EQ(s.backgroundColour, 255u);
    EXPECT_EQ(s.savedIdColour, 0x10u);
    EXPECT_EQ(s.limboColour, 0u); // an unclosed quote stays: no digits
    EXPECT_EQ(s.vanishCount, 1);  // quotes that differ stay too: 0, validated to 1
    EXPECT_EQ(s.wheelText, "RB");
}

TEST(LoadSettings, SwitchesBecomeOneForAnyNonZeroValue) {
    const Settings s = loadText("[マップ]\n天国領域=0\n三途領域=-7\n");
    EXPECT_EQ(s.showHeaven, 0);
    EXPECT_EQ(s.showLimbo, 1);
}

TEST(LoadSettings, ReadsTheValuesThatASaveNeverWrites) {
    const Settings s =
        loadText("[マップ]\n連結時ブランク=12\n消去時ブランク=34\n[予告]\n高さ=56\n");
    EXPECT_EQ(s.linkBlank, 12);
    EXPECT_EQ(s.vanishBlank, 34);
    EXPECT_EQ(s.warningHeight, 56);
}

TEST(LoadSettings, EmptyValuesTakeTheDefaultAndWordsReadAsZero) {
    const Settings s = loadText("[ネクスト]\n表示可能数=\n初期乱数値=abc\n横サイズ=17px\n");
    EXPECT_EQ(s.nextCount, 2);
    EXPECT_EQ(s.initialRandomPosition, 0);
    EXPECT_EQ(s.nextCellWidth, 17);
}

// --- The wheel ------------------------------------------------------------------------------

TEST(Wheel, LettersNameCellKindsAndEverythingElseIsSkipped) {
    EXPECT_EQ(parseWheel("NRYGBPO"), (std::vector<std::uint8_t>{0, 1, 4, 3, 2, 5, 6}));
    EXPECT_EQ(parseWheel("RRr"), (std::vector<std::uint8_t>{1, 1, 8}));
    EXPECT_EQ(parseWheel("M-x y,n"), (std::vector<std::uint8_t>{7}));
    // The second byte of コ is 'R' and that of ア is 'A': the letters are taken from the file's
    // bytes, as the file would be read.
    EXPECT_EQ(parseWheel(sjis("コア")), (std::vector<std::uint8_t>{1}));
}

TEST(Wheel, TextWithoutLettersGivesTheEmptyCellButIsSavedBackUnchanged) {
    TempDir dir;
    writeIni(dir / "設定.ini", "[編集]\nホイール=abc\n");
    const Settings s = loadFrom(dir / "設定.ini");
    EXPECT_EQ(s.wheelText, "abc");
    EXPECT_EQ(s.wheelKinds, std::vector<std::uint8_t>{0});
    ASSERT_TRUE(SaveSettings(s, dir / "設定.ini"));
    EXPECT_NE(readBytes(dir / "設定.ini").find(sjis("ホイール=abc\n")), std::string::npos);
}

// Whatever bytes the file holds for the wheel, a load and a save write the same file back:
// characters with two Shift-JIS codes, bytes that are no character, a lead byte left alone.
TEST(Wheel, ALoadAndASaveWriteTheFilesBytesBack) {
    const std::string texts[] = {"\xED\x52\xFA\x6E\x87\x90",
                                 "R\x80\xA0\xFD\xFE\xFF"
                                 "B",
                                 "GY\x81", "\x83\x52\x83\x41r"};
    for (const std::string& text : texts) {
        TempDir dir;
        ASSERT_TRUE(SaveSettings(Settings{}, dir / "設定.ini"));
        std::string original = readBytes(dir / "設定.ini");
        const std::string line = sjis("ホイール=NRYGBPO");
        original.replace(original.find(line), line.size(), sjis("ホイール=") + text);
        writeBytes(dir / "設定.ini", original);

        const Settings s = loadFrom(dir / "設定.ini");
        EXPECT_EQ(s.wheelText, text);
        ASSERT_TRUE(SaveSettings(s, dir / "設定.ini"));
        EXPECT_EQ(readBytes(dir / "設定.ini"), original) << text;
    }
}

TEST(Wheel, AnEmptyValueIsKeptAsEmptyText) {
    const Settings s = loadText("[編集]\nホイール=\n");
    EXPECT_EQ(s.wheelText, "");
    EXPECT_EQ(s.wheelKinds, std::vector<std::uint8_t>{0});
}

TEST(Wheel, AtMostThirtyOneBytesOfTheFileAreKept) {
    const Settings s = loadText("[編集]\nホイール=" + std::string(40, 'B') + "\n");
    EXPECT_EQ(s.wheelText, std::string(31, 'B'));
    EXPECT_EQ(s.wheelKinds, std::vector<std::uint8_t>(31, 2));
}

// --- Validation -----------------------------------------------------------------------------

TEST(ValidateSettings, DefaultsAreLeftAlone) {
    Settings s;
    ValidateSettings(s);
    EXPECT_EQ(s, Settings{});
}

TEST(ValidateSettings, ClampsEachValueIntoItsRange) {
    Settings s;
    s.vanishCount = 0;
    s.warningHeight = 101;
    s.fieldWidth = 1;
    s.fieldHeight = 1;
    s.linkBlank = -1;
    s.vanishBlank = 1000;
    s.penSize = 81;
    s.fallTicks = -5;
    s.linkTicks = -1;
    s.vanishTicks = 1000000;
    s.opacity = -1;
    s.emptyOpacity = 101;
    s.nextCount = 0;
    ValidateSettings(s);
    EXPECT_EQ(s.vanishCount, 1);
    EXPECT_EQ(s.warningHeight, 100);
    EXPECT_EQ(s.fieldWidth, 2); // a field is at least two cells wide
    EXPECT_EQ(s.fieldHeight, 1);
    EXPECT_EQ(s.linkBlank, 0);
    EXPECT_EQ(s.vanishBlank, 100);
    EXPECT_EQ(s.penSize, 80);
    EXPECT_EQ(s.fallTicks, 0);
    EXPECT_EQ(s.linkTicks, 0);
    EXPECT_EQ(s.vanishTicks, 1000000);
    EXPECT_EQ(s.opacity, 0);
    EXPECT_EQ(s.emptyOpacity, 100);
    EXPECT_EQ(s.nextCount, 0);
}

TEST(ValidateSettings, ShowingTheHeavenRowsForcesTheLimboRow) {
    Settings s;
    s.showHeaven = 5;
    s.showLimbo = 0;
    ValidateSettings(s);
    EXPECT_EQ(s.showHeaven, 1);
    EXPECT_EQ(s.showLimbo, 1);
    s.showHeaven = 0;
    s.showLimbo = -3;
    ValidateSettings(s);
    EXPECT_EQ(s.showHeaven, 0);
    EXPECT_EQ(s.showLimbo, 0);
}

TEST(ValidateSettings, BoundsThatDependOnOtherValuesUseThemAfterTheyAreClamped) {
    Settings s;
    s.maxNextCount = -5;
    s.nextCount = 3;
    s.maxNextColumns = 0;
    s.nextColumns = 7;
    s.maxNextRows = 20000;
    s.nextRows = 15000;
    s.maxFieldWidth = 1;
    s.fieldWidth = 50;
    s.maxFieldHeight = 200000;
    s.fieldHeight = 150000;
    s.maxCellSize = 0;
    s.cellWidth = 40;
    s.cellHeight = 0;
    ValidateSettings(s);
    EXPECT_EQ(s.maxNextCount, 0);
    EXPECT_EQ(s.nextCount, 0);
    EXPECT_EQ(s.maxNextColumns, 0);
    EXPECT_EQ(s.nextColumns, 1);
    EXPECT_EQ(s.maxNextRows, 10000);
    EXPECT_EQ(s.nextRows, 10000);
    EXPECT_EQ(s.maxFieldWidth, 2);
    EXPECT_EQ(s.fieldWidth, 2);
    EXPECT_EQ(s.maxFieldHeight, 100000);
    EXPECT_EQ(s.fieldHeight, 100000);
    EXPECT_EQ(s.maxCellSize, 1);
    EXPECT_EQ(s.cellWidth, 1);
    EXPECT_EQ(s.cellHeight, 1);
    EXPECT_EQ(s.nextCellWidth, 1);
}

TEST(ValidateSettings, NextDisplaySizesAreBoundedByTheCellSizeLimitAsRead) {
    const Settings s = loadText("[マップ]\nもるん最大サイズ=20000\nもるんの横サイズ=30000\n"
                                "もるんの縦サイズ=15000\n"
                                "[ネクスト]\n横サイズ=30000\n縦サイズ=15000\n");
    EXPECT_EQ(s.maxCellSize, 10000);
    EXPECT_EQ(s.cellWidth, 10000);
    EXPECT_EQ(s.cellHeight, 10000);
    EXPECT_EQ(s.nextCellWidth, 20000);
    EXPECT_EQ(s.nextCellHeight, 15000);
}

TEST(ValidateSettings, AnEmptyWheelBecomesTheEmptyCellAndKeepsItsText) {
    Settings s;
    s.wheelText = "xyz";
    s.wheelKinds.clear();
    ValidateSettings(s);
    EXPECT_EQ(s.wheelKinds, std::vector<std::uint8_t>{0});
    EXPECT_EQ(s.wheelText, "xyz");
}

// --- Saving ---------------------------------------------------------------------------------

// Every default, in the order and the formats of a save into a new file.
constexpr std::string_view kDefaultFile = "[ウィンドウ]\r\n"
                                          "背景色= 0x003296FF\r\n"
                                          "保存ID時の色= 0x00FF9632\r\n"
                                          "三途領域の色= 0x00FFFF64\r\n"
                                          "天国領域の色= 0x00FFFFFF\r\n"
                                          "三途領域の色(もるんなし)= 0x00FFFF96\r\n"
                                          "天国領域の色(もるんなし)= 0x00FFFFFF\r\n"
                                          "不透明度= 50\r\n"
                                          "不透明度(もるんなし)= 0\r\n"
                                          "\r\n"
                                          "[システム]\r\n"
                                          "消える連結数= 4\r\n"
                                          "\r\n"
                                          "[もるん]\r\n"
                                          "なし= 0x00000000\r\n"
                                          "赤もるん= 0x000000FF\r\n"
                                          "黄もるん= 0x0000FFFF\r\n"
                                          "緑もるん= 0x0000FF00\r\n"
                                          "青もるん= 0x00FF0000\r\n"
                                          "紫もるん= 0x00EE00AA\r\n"
                                          "お邪魔= 0x00C0C0C0\r\n"
                                          "鉄もるん= 0x00555555\r\n"
                                          "ブロック= 0x001A75B9\r\n"
                                          "\r\n"
                                          "[操作]\r\n"
                                          "Right= 0x27\r\n"
                                          "Left= 0x25\r\n"
                                          "Down= 0x28\r\n"
                                          "R= 0x58\r\n"
                                          "L= 0x5A\r\n"
                                          "Q= 0x26\r\n"
                                          "Right1= 0x47\r\n"
                                          "Left1= 0x44\r\n"
                                          "Down1= 0x46\r\n"
                                          "R1= 0x53\r\n"
                                          "L1= 0x41\r\n"
                                          "Q1= 0x52\r\n"
                                          "Right2= 0x27\r\n"
                                          "Left2= 0x25\r\n"
                                          "Down2= 0x28\r\n"
                                          "R2= 0xFFFFFFBE\r\n"
                                          "L2= 0xFFFFFFBC\r\n"
                                          "Q2= 0x26\r\n"
                                          "編集モード= 0x51\r\n"
                                          "プレイモード= 0x57\r\n"
                                          "対戦モード= 0x45\r\n"
                                          "全消去= 0x20\r\n"
                                          "一時保存= 0x4B\r\n"
                                          "一時読込= 0x4C\r\n"
                                          "一時ＩＤ－１= 0x49\r\n"
                                          "一時ＩＤ＋１= 0x4F\r\n"
                                          "もるんなし= 0x31\r\n"
                                          "赤= 0x32\r\n"
                                          "黄= 0x35\r\n"
                                          "緑= 0x34\r\n"
                                          "青= 0x33\r\n"
                                          "紫= 0x36\r\n"
                                          "おじゃま= 0x37\r\n"
                                          "鉄= 0x38\r\n"
                                          "ブロック= 0x39\r\n"
                                          "\r\n"
                                          "[マップ]\r\n"
                                          "横もるん最大数= 100\r\n"
                                          "縦もるん最大数= 100\r\n"
                                          "もるん最大サイズ= 100\r\n"
                                          "横もるん数= 6\r\n"
                                          "縦もるん数= 12\r\n"
                                          "もるんの横サイズ= 40\r\n"
                                          "もるんの縦サイズ= 40\r\n"
                                          "天国領域= 1\r\n"
                                          "三途領域= 1\r\n"
                                          "\r\n"
                                          "[ネクスト]\r\n"
                                          "最大表示可能数= 200\r\n"
                                          "最大横表示数= 40\r\n"
                                          "最大縦表示数= 20\r\n"
                                          "表示可能数= 2\r\n"
                                          "横表示数= 1\r\n"
                                          "縦表示数= 2\r\n"
                                          "横サイズ= 40\r\n"
                                          "縦サイズ= 40\r\n"
                                          "初期乱数値= 0\r\n"
                                          "\r\n"
                                          "[編集]\r\n"
                                          "ペンサイズ= 80\r\n"
                                          "ホイール=NRYGBPO\r\n"
                                          "\r\n"
                                          "[速度]\r\n"
                                          "落とす= 1\r\n"
                                          "連結中= 20\r\n"
                                          "消去後= 25\r\n";

TEST(SaveSettings, ANewFileHoldsEverySavedValueInOrderAsShiftJis) {
    TempDir dir;
    const SaveResult result = SaveSettings(Settings{}, dir / "設定.ini");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, std::nullopt);
    const std::string bytes = readBytes(dir / "設定.ini");
    EXPECT_EQ(shiftJisToUtf8(bytes), kDefaultFile);
    // "[ウィンドウ]" in Shift-JIS, not UTF-8.
    EXPECT_EQ(bytes.substr(0, 12), "\x5b\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x5d");
}

TEST(SaveSettings, EveryValueSavedReadsBackTheSame) {
    Settings s;
    s.vanishCount = 3;
    for (std::size_t i = 0; i < s.keys.size(); ++i) {
        s.keys[i] = static_cast<std::uint8_t>(0x70 + 5 * i); // crosses 0x80
    }
    for (std::size_t i = 0; i < s.cellColours.size(); ++i) {
        s.cellColours[i] = 0xFEDCBA98u - static_cast<std::uint32_t>(i);
    }
    s.maxFieldWidth = 300;
    s.maxFieldHeight = 400;
    s.maxCellSize = 64;
    s.fieldWidth = 13;
    s.fieldHeight = 1;
    s.cellWidth = 17;
    s.cellHeight = 19;
    s.showHeaven = 0;
    s.showLimbo = 1;
    s.maxNextCount = 9;
    s.maxNextColumns = 8;
    s.maxNextRows = 7;
    s.nextCount = 6;
    s.nextColumns = 5;
    s.nextRows = 4;
    s.nextCellWidth = 33;
    s.nextCellHeight = 22;
    s.initialRandomPosition = -123456789;
    s.penSize = 0;
    s.wheelText = "rMOPY";
    s.wheelKinds = parseWheel(s.wheelText);
    s.fallTicks = 0;
    s.linkTicks = 1000;
    s.vanishTicks = 7;
    s.backgroundColour = 0x80000000u;
    s.savedIdColour = 1;
    s.limboColour = 2;
    s.heavenColour = 3;
    s.limboEmptyColour = 4;
    s.heavenEmptyColour = 0xFFFFFFFFu;
    s.opacity = 100;
    s.emptyOpacity = 1;

    TempDir dir;
    ASSERT_TRUE(SaveSettings(s, dir / "設定.ini"));
    EXPECT_EQ(loadFrom(dir / "設定.ini"), s);
}

TEST(SaveSettings, ExistingKeysAreReplacedInPlaceAndEverythingElseIsKept) {
    TempDir dir;
    writeIni(dir / "設定.ini", "; my notes\r\n"
                               "[予告]\r\n"
                               "高さ=55\r\n"
                               "\r\n"
                               "[マップ]\r\n"
                               "連結時ブランク=10\r\n"
                               "横もるん数=8\r\n"
                               "自作=そのまま\r\n"
                               "\r\n"
                               "[操作]\r\n"
                               "r2=0xBE\r\n"
                               "\r\n"
                               "[mine]\r\n"
                               "x=1\r\n");
    Settings s = loadFrom(dir / "設定.ini");
    s.fieldWidth = 9;
    ASSERT_TRUE(SaveSettings(s, dir / "設定.ini"));
    const std::string text = shiftJisToUtf8(readBytes(dir / "設定.ini"));
    const std::string expectedStart = "; my notes\r\n"
                                      "[予告]\r\n"
                                      "高さ=55\r\n"
                                      "\r\n"
                                      "[マップ]\r\n"
                                      "連結時ブランク=10\r\n"
                                      "横もるん数= 9\r\n"
                                      "自作=そのまま\r\n"
                                      "横もるん最大数= 100\r\n";
    EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(text.find("[操作]\r\nr2= 0xFFFFFFBE\r\nRight= 0x27\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n[mine]\r\nx=1\r\n\r\n[ウィンドウ]\r\n"), std::string::npos);
    // Nothing is written twice.
    EXPECT_EQ(text.find("横もるん数", text.find("横もるん数= 9") + 1), std::string::npos);
    EXPECT_EQ(loadFrom(dir / "設定.ini"), s);
}

TEST(SaveSettings, ThePlaybackSpeedIsWrittenOnceItDiffersFromNormalAndThenKeptUpToDate) {
    TempDir dir;
    const auto path = dir / "設定.ini";
    const auto speedLine = [&] {
        const std::string text = shiftJisToUtf8(readBytes(path));
        const auto at = text.find("再生速度=");
        return at == std::string::npos ? std::string("none")
                                       : text.substr(at, text.find("\r\n", at) - at);
    };
    const struct {
        std::int32_t speed;
        const char* line;
    } saves[] = {
        {100, "none"}, {-1, "再生速度= -1"}, {400, "再生速度= 400"}, {100, "再生速度= 100"}};
    for (const auto& save : saves) {
        Settings s;
        s.playbackSpeed = save.speed;
        ASSERT_TRUE(SaveSettings(s, path));
        EXPECT_EQ(speedLine(), save.line);
        EXPECT_EQ(loadFrom(path).playbackSpeed, save.speed);
    }
    // It sits with the other speeds.
    EXPECT_NE(shiftJisToUtf8(readBytes(path)).find("消去後= 25\r\n再生速度= 100"),
              std::string::npos);
}

TEST(SaveSettings, TheComputersChoicesAreWrittenOnceOneDiffersFromItsDefaultAndKeptUpToDate) {
    TempDir dir;
    const auto path = dir / "設定.ini";
    const auto section = [&] {
        const std::string text = shiftJisToUtf8(readBytes(path));
        const auto at = text.find("[コンピュータ]");
        return at == std::string::npos ? std::string("none") : text.substr(at);
    };
    Settings s;
    ASSERT_TRUE(SaveSettings(s, path));
    EXPECT_EQ(section(), "none");
    s.computerPlays[1] = 1;
    s.computerLevel = 5;
    ASSERT_TRUE(SaveSettings(s, path));
    EXPECT_EQ(section(), "[コンピュータ]\r\n2P= 1\r\n強さ= 5\r\n");
    EXPECT_EQ(loadFrom(path), s);
    // Back to the defaults, the keys the file holds stay, with their new values.
    ASSERT_TRUE(SaveSettings(Settings{}, path));
    EXPECT_EQ(section(), "[コンピュータ]\r\n2P= 0\r\n強さ= 3\r\n");
    EXPECT_EQ(loadFrom(path), Settings{});
}

TEST(SaveSettings, AFileThatCannotBeReadIsNotReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir / "設定.ini");
    writeBytes(dir / "設定.ini" / "inside", "x");
    const SaveResult result = SaveSettings(Settings{}, dir / "設定.ini");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, (Message{"設定ファイルが開けません", "err", MessageIcon::None}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "設定.ini"));
    EXPECT_EQ(readBytes(dir / "設定.ini" / "inside"), "x");
}

// A system without the Shift-JIS converter cannot spell a Japanese name: a save would write
// sections and keys that all read "?????", so it fails and writes nothing; a load says so and
// keeps every default.
TEST(SaveSettings, WithoutTheShiftJisConverterNothingIsWrittenOrRead) {
    constexpr const char* kMissing = "NO-SUCH-CODE-PAGE";
    TempDir dir;
    writeIni(dir / "設定.ini", "[システム]\r\n消える連結数=5\r\n[操作]\r\nLeft=0x41\r\n");
    const std::string before = readBytes(dir / "設定.ini");

    const SaveResult saved = SaveSettings(Settings{}, dir / "設定.ini", kMissing);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.message, (Message{"設定ファイルが開けません", "err", MessageIcon::None}));
    EXPECT_EQ(readBytes(dir / "設定.ini"), before);
    EXPECT_FALSE(SaveSettings(Settings{}, dir / "new.ini", kMissing).ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.ini"));

    Settings loaded;
    loaded.vanishCount = 99;
    const auto message = LoadSettings(loaded, dir / "設定.ini", kMissing);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->text.find("日本語の名前が読めません"), std::string::npos);
    EXPECT_EQ(message->caption, "err");
    EXPECT_EQ(loaded, Settings{});
    // With the converter the same file reads.
    EXPECT_EQ(LoadSettings(loaded, dir / "設定.ini"), std::nullopt);
    EXPECT_EQ(loaded.vanishCount, 5);
}

TEST(SaveSettings, AnUnwritableFolderOrReadOnlyFileFailsVisiblyAndKeepsTheOldFile) {
    TempDir dir;
    const Unprivileged user(dir.path());
    if (!user.ok()) {
        GTEST_SKIP() << "the superuser cannot act as an unprivileged user here";
    }
    writeIni(dir / "設定.ini", "[システム]\r\n消える連結数=5\r\n");
    const std::string before = readBytes(dir / "設定.ini");

    std::filesystem::permissions(dir.path(), std::filesystem::perms(0500));
    SaveResult result = SaveSettings(Settings{}, dir / "設定.ini");
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0700));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.has_value());
    EXPECT_EQ(readBytes(dir / "設定.ini"), before);

    std::filesystem::permissions(dir / "設定.ini", std::filesystem::perms(0400));
    result = SaveSettings(Settings{}, dir / "設定.ini");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(readBytes(dir / "設定.ini"), before);
}

// --- The current directory ------------------------------------------------------------------

TEST(SettingsFile, IsFoundInTheCurrentDirectoryAtEveryLoadAndSave) {
    TempDir first;
    TempDir second;
    Settings s;
    {
        ScopedCurrentDir in(first.path());
        s.keys[kKeyTempIdPrev] = 0x9A;
        const SaveResult result = SaveSettings(s);
        EXPECT_TRUE(result.ok);
    }
    {
        ScopedCurrentDir in(second.path());
        Settings loaded;
        EXPECT_EQ(LoadSettings(loaded), std::nullopt);
        EXPECT_EQ(loaded, Settings{});
        s.vanishCount = 6;
        EXPECT_TRUE(SaveSettings(s).ok);
    }
    ScopedCurrentDir in(first.path());
    Settings loaded;
    EXPECT_EQ(LoadSettings(loaded), std::nullopt);
    EXPECT_EQ(loaded.keys[kKeyTempIdPrev], 0x9A);
    EXPECT_EQ(loaded.vanishCount, 4);
    EXPECT_TRUE(std::filesystem::exists(second / "設定.ini"));
}

TEST(SettingsFile, AVanishedCurrentDirectoryGivesDefaultsAndTheMessages) {
    TempDir dir;
    std::filesystem::create_directory(dir / "gone");
    ScopedCurrentDir in(dir / "gone");
    std::filesystem::remove(dir / "gone");
    Settings s;
    s.vanishCount = 9;
    EXPECT_EQ(LoadSettings(s),
              (Message{"設定ファイルの読み込みに失敗しました", "err", MessageIcon::None}));
    EXPECT_EQ(s, Settings{});
    const SaveResult result = SaveSettings(s);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, (Message{"設定ファイルが開けません", "err", MessageIcon::None}));
}

} // namespace
} // namespace peterin
