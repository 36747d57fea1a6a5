#pragma once

#include "message.h"
#include "rules/cell.h"
#include "shift_jis.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace peterin {

class IniFile;

// ---------------------------------------------------------------------------------------------
// Key codes: 8-bit Windows virtual-key codes, 0 meaning "no key".
//
// The first eighteen codes are the pair controls of three key groups, stored action-major:
// index = action * 3 + group. The other seventeen follow at 18 to 34.
// ---------------------------------------------------------------------------------------------

inline constexpr int kKeyCount = 35;
inline constexpr int kKeyGroupCount = 3;

// The key groups of the pair controls.
inline constexpr int kKeyGroupSolo = 0;     // solo play and one-person battle
inline constexpr int kKeyGroupBattle1P = 1; // battle, player 1
inline constexpr int kKeyGroupBattle2P = 2; // battle, player 2

// The pair actions in their stored order.
enum class PairAction : int {
    Left = 0,
    Right = 1,
    Down = 2,        // drop
    RotateRight = 3, // "R"
    RotateLeft = 4,  // "L"
    HalfRotate = 5,  // "Q"
};
inline constexpr int kPairActionCount = 6;

// Index into Settings::keys of one pair action of one key group.
constexpr int pairKeyIndex(PairAction action, int group) {
    return static_cast<int>(action) * kKeyGroupCount + group;
}

// Indices into Settings::keys of the single keys.
inline constexpr int kKeyEditMode = 18;
inline constexpr int kKeyPlayMode = 19;
inline constexpr int kKeyBattleMode = 20;
inline constexpr int kKeyClearAll = 21;
inline constexpr int kKeyTempStore = 22;
inline constexpr int kKeyTempLoad = 23;
inline constexpr int kKeyTempIdPrev = 24;
inline constexpr int kKeyTempIdNext = 25;
inline constexpr int kKeyEditKindFirst = 26; // edit-colour keys for cell kinds 0..8 follow

// Index into Settings::keys of the key that selects edit colour `kind` (0..8).
constexpr int editKindKeyIndex(int kind) {
    return kKeyEditKindFirst + kind;
}

inline constexpr int kWheelTextMax = 31; // bytes of the wheel text (a 32-byte buffer with its zero)
inline constexpr int kWheelMax = 31;     // entries of the parsed wheel list

// The cell kinds named by the letters of a wheel text (N R B G Y P O M r), looked for in the
// text's Shift-JIS bytes as the file holds them, so the second byte of a double-byte character
// counts when it is one of the letters; every other byte is skipped.
std::vector<std::uint8_t> parseWheel(const std::string& text);

// ---------------------------------------------------------------------------------------------
// Every preference of the program, mirroring 設定.ini section by section. Colours are 0x00BBGGRR.
// The defaults below are what a missing file or key yields.
// ---------------------------------------------------------------------------------------------
struct Settings {
    // [システム]
    std::int32_t vanishCount = 4; // 消える連結数

    // [操作] The 35 key codes, see the index helpers above.
    std::array<std::uint8_t, kKeyCount> keys = {
        0x25, 0x44, 0x25,                                     // Left  / Left1  / Left2
        0x27, 0x47, 0x27,                                     // Right / Right1 / Right2
        0x28, 0x46, 0x28,                                     // Down  / Down1  / Down2
        0x58, 0x53, 0xBE,                                     // R     / R1     / R2
        0x5A, 0x41, 0xBC,                                     // L     / L1     / L2
        0x26, 0x52, 0x26,                                     // Q     / Q1     / Q2
        0x51,                                                 // 編集モード
        0x57,                                                 // プレイモード
        0x45,                                                 // 対戦モード
        0x20,                                                 // 全消去
        0x4B,                                                 // 一時保存
        0x4C,                                                 // 一時読込
        0x49,                                                 // 一時ＩＤ－１
        0x4F,                                                 // 一時ＩＤ＋１
        0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, // edit kinds 0..8
    };

    // [もるん] Colour of each cell kind 0..8.
    std::array<std::uint32_t, kCellKindCount> cellColours = {
        0x00000000, // なし
        0x000000FF, // 赤もるん
        0x00FF0000, // 青もるん
        0x0000FF00, // 緑もるん
        0x0000FFFF, // 黄もるん
        0x00EE00AA, // 紫もるん
        0x00C0C0C0, // お邪魔
        0x00555555, // 鉄もるん
        0x001A75B9, // ブロック
    };

    // [マップ]
    std::int32_t maxFieldWidth = 100;  // 横もるん最大数
    std::int32_t maxFieldHeight = 100; // 縦もるん最大数
    std::int32_t maxCellSize = 100;    // もるん最大サイズ
    std::int32_t fieldWidth = 6;       // 横もるん数
    std::int32_t fieldHeight = 12;     // 縦もるん数 (visible rows)
    std::int32_t cellWidth = 40;       // もるんの横サイズ (pixels)
    std::int32_t cellHeight = 40;      // もるんの縦サイズ (pixels)
    std::int32_t linkBlank = 30;       // 連結時ブランク (percent; read, never saved)
    std::int32_t vanishBlank = 90;     // 消去時ブランク (percent; read, never saved)
    std::int32_t showHeaven = 1;       // 天国領域 (0 or 1)
    std::int32_t showLimbo = 1;        // 三途領域 (0 or 1; 1 whenever showHeaven is)

    // [予告] key "高さ": height in pixels of the warning band above each field. Read, never saved.
    std::int32_t warningHeight = 30;

    // [ネクスト]
    std::int32_t maxNextCount = 200;        // 最大表示可能数
    std::int32_t maxNextColumns = 40;       // 最大横表示数
    std::int32_t maxNextRows = 20;          // 最大縦表示数
    std::int32_t nextCount = 2;             // 表示可能数
    std::int32_t nextColumns = 1;           // 横表示数
    std::int32_t nextRows = 2;              // 縦表示数
    std::int32_t nextCellWidth = 40;        // 横サイズ (pixels)
    std::int32_t nextCellHeight = 40;       // 縦サイズ (pixels)
    std::int32_t initialRandomPosition = 0; // 初期乱数値

    // [編集]
    std::int32_t penSize = 80; // ペンサイズ (percent)
    // ホイール in the file's own Shift-JIS bytes (at most 31), whatever they are, so that a save
    // writes back exactly what was read.
    std::string wheelText = "NRYGBPO";
    // The cell kinds parsed from wheelText (at most 31), never empty after validation. Made by
    // the parser rather than from a list in braces, whose hidden array g++ takes for
    // uninitialised once the constructor is inlined.
    std::vector<std::uint8_t> wheelKinds = parseWheel(wheelText);

    // [速度] ticks of the turn-cycle timer
    std::int32_t fallTicks = 1;    // 落とす
    std::int32_t linkTicks = 20;   // 連結中
    std::int32_t vanishTicks = 25; // 消去後
    // 再生速度: the playback speed in percent of the normal one, -1 for instant. Saved only once
    // it differs from 100 or the file holds it, so a file never touched by it stays as it was.
    std::int32_t playbackSpeed = 100;

    // [ウィンドウ]
    std::uint32_t backgroundColour = 0x003296FF;  // 背景色
    std::uint32_t savedIdColour = 0x00FF9632;     // 保存ID時の色
    std::uint32_t limboColour = 0x00FFFF64;       // 三途領域の色
    std::uint32_t heavenColour = 0x00FFFFFF;      // 天国領域の色
    std::uint32_t limboEmptyColour = 0x00FFFF96;  // 三途領域の色(もるんなし)
    std::uint32_t heavenEmptyColour = 0x00FFFFFF; // 天国領域の色(もるんなし)
    std::int32_t opacity = 50;                    // 不透明度 (percent)
    std::int32_t emptyOpacity = 0;                // 不透明度(もるんなし) (percent)

    // [コンピュータ] Each saved only once it differs from its default or the file holds it.
    std::int32_t decisiveBattle = 0; // 勝敗あり: a lost pair loses the battle
    std::array<std::int32_t, 2> computerPlays = {0, 0}; // "1P", "2P": the computer plays it
    std::int32_t computerLevel = 3;   // 強さ, 1 to 5: the computer's (2P's when it plays both)
    std::int32_t computerLevel1P = 3; // 1Pの強さ: 1P's when the computer plays both sides

    bool operator==(const Settings&) const = default;
};

// The settings file's name, resolved against the current directory at every load and save.
inline constexpr const char* kSettingsFileName = "設定.ini";

// Fills `settings` from 設定.ini in the current directory (defaults for anything missing), then
// validates. Returns the message to show when the path could not be resolved, when the system
// cannot convert the file's Japanese names (loading still completes with defaults then), or when
// the field size asks for more than limits.h allows (the field then keeps its default size).
std::optional<Message> LoadSettings(Settings& settings);
// The same from an explicit file, named in the message; `codePage` names the converter (see
// ShiftJisCodec).
std::optional<Message> LoadSettings(Settings& settings, const std::filesystem::path& path,
                                    const char* codePage = kShiftJisCodePage);
// The same from an INI file already in memory.
std::optional<Message> LoadSettings(Settings& settings, const IniFile& ini);

// Why a field of this size cannot be made (beyond limits.h's ceiling), in words for the user,
// or nothing when it can.
std::optional<std::string> whyFieldTooLarge(std::int64_t width, std::int64_t height);

// What the user is told when settings asking for such a field are refused, or nothing.
std::optional<Message> fieldSizeRefusal(const Settings& settings);

// Clamps every value into its range and derives the dependent bounds, in a fixed order.
void ValidateSettings(Settings& settings);

// What a save came to: ok when the file was written; otherwise the message to show.
struct SaveResult {
    bool ok = false;
    std::optional<Message> message;

    explicit operator bool() const { return ok; }
};

// Writes `settings` to 設定.ini in the current directory, keeping keys and sections it does not
// write. The old file is replaced only once the new one is complete.
SaveResult SaveSettings(const Settings& settings);
// The same to an explicit file. Without a converter for `codePage` nothing is written: every
// Japanese name would come out as the same replacement characters.
SaveResult SaveSettings(const Settings& settings, const std::filesystem::path& path,
                        const char* codePage = kShiftJisCodePage);

// Puts every saved value of `settings` into `ini`, in the order of a save.
void writeSettings(const Settings& settings, IniFile& ini);

} // namespace peterin
