#include "settings.h"

#include "ini_file.h"
#include "limits.h"
#include "shift_jis.h"

#include <algorithm>
#include <cstdio>

namespace peterin {

namespace {

void clampTo(std::int32_t& value, std::int32_t low, std::int32_t high) {
    if (value < low) {
        value = low;
    } else if (value > high) {
        value = high;
    }
}

void atLeast(std::int32_t& value, std::int32_t low) {
    if (value < low) {
        value = low;
    }
}

constexpr const char* kSystem = "システム";
constexpr const char* kKeys = "操作";
constexpr const char* kBlobs = "もるん";
constexpr const char* kMap = "マップ";
constexpr const char* kWarning = "予告";
constexpr const char* kNext = "ネクスト";
constexpr const char* kEdit = "編集";
constexpr const char* kSpeed = "速度";
constexpr const char* kWindow = "ウィンドウ";

// The only key of section 予告.
constexpr const char* kWarningHeightKey = "高さ";
constexpr const char* kWheelKey = "ホイール";

struct NamedIndex {
    const char* name;
    int index;
};

// The key codes in the order a save writes them.
constexpr NamedIndex kKeyNames[kKeyCount] = {
    {"Right", 3},
    {"Left", 0},
    {"Down", 6},
    {"R", 9},
    {"L", 12},
    {"Q", 15},
    {"Right1", 4},
    {"Left1", 1},
    {"Down1", 7},
    {"R1", 10},
    {"L1", 13},
    {"Q1", 16},
    {"Right2", 5},
    {"Left2", 2},
    {"Down2", 8},
    {"R2", 11},
    {"L2", 14},
    {"Q2", 17},
    {"編集モード", 18},
    {"プレイモード", 19},
    {"対戦モード", 20},
    {"全消去", 21},
    {"一時保存", 22},
    {"一時読込", 23},
    {"一時ＩＤ－１", 24},
    {"一時ＩＤ＋１", 25},
    {"もるんなし", 26},
    {"赤", 27},
    {"黄", 30},
    {"緑", 29},
    {"青", 28},
    {"紫", 31},
    {"おじゃま", 32},
    {"鉄", 33},
    {"ブロック", 34},
};

// The cell colours in the order a save writes them.
constexpr NamedIndex kColourNames[kCellKindCount] = {
    {"なし", 0},     {"赤もるん", 1}, {"黄もるん", 4}, {"緑もるん", 3}, {"青もるん", 2},
    {"紫もるん", 5}, {"お邪魔", 6},   {"鉄もるん", 7}, {"ブロック", 8},
};

struct NamedInt {
    const char* section;
    const char* key;
    std::int32_t Settings::*member;
};

// The plain integers, grouped by section in the order a save writes them.
constexpr NamedInt kMapInts[] = {
    {kMap, "横もるん最大数", &Settings::maxFieldWidth},
    {kMap, "縦もるん最大数", &Settings::maxFieldHeight},
    {kMap, "もるん最大サイズ", &Settings::maxCellSize},
    {kMap, "横もるん数", &Settings::fieldWidth},
    {kMap, "縦もるん数", &Settings::fieldHeight},
    {kMap, "もるんの横サイズ", &Settings::cellWidth},
    {kMap, "もるんの縦サイズ", &Settings::cellHeight},
};
constexpr NamedInt kNextInts[] = {
    {kNext, "最大表示可能数", &Settings::maxNextCount},
    {kNext, "最大横表示数", &Settings::maxNextColumns},
    {kNext, "最大縦表示数", &Settings::maxNextRows},
    {kNext, "表示可能数", &Settings::nextCount},
    {kNext, "横表示数", &Settings::nextColumns},
    {kNext, "縦表示数", &Settings::nextRows},
    {kNext, "横サイズ", &Settings::nextCellWidth},
    {kNext, "縦サイズ", &Settings::nextCellHeight},
    {kNext, "初期乱数値", &Settings::initialRandomPosition},
};
constexpr NamedInt kSpeedInts[] = {
    {kSpeed, "落とす", &Settings::fallTicks},
    {kSpeed, "連結中", &Settings::linkTicks},
    {kSpeed, "消去後", &Settings::vanishTicks},
};
// Read but never written, so hand-edited values survive a save.
constexpr NamedInt kReadOnlyInts[] = {
    {kMap, "連結時ブランク", &Settings::linkBlank},
    {kMap, "消去時ブランク", &Settings::vanishBlank},
    {kWarning, kWarningHeightKey, &Settings::warningHeight},
};

struct NamedColour {
    const char* key;
    std::uint32_t Settings::*member;
};

constexpr NamedColour kWindowColours[] = {
    {"背景色", &Settings::backgroundColour},
    {"保存ID時の色", &Settings::savedIdColour},
    {"三途領域の色", &Settings::limboColour},
    {"天国領域の色", &Settings::heavenColour},
    {"三途領域の色(もるんなし)", &Settings::limboEmptyColour},
    {"天国領域の色(もるんなし)", &Settings::heavenEmptyColour},
};

constexpr const char* kOpacityKey = "不透明度";
constexpr const char* kEmptyOpacityKey = "不透明度(もるんなし)";
constexpr const char* kVanishCountKey = "消える連結数";
constexpr const char* kShowHeavenKey = "天国領域";
constexpr const char* kShowLimboKey = "三途領域";
constexpr const char* kPenSizeKey = "ペンサイズ";
constexpr const char* kPlaybackSpeedKey = "再生速度";
constexpr std::int32_t kNormalPlaybackSpeed = 100;
constexpr const char* kComputer = "コンピュータ";
// The computer's keys with their defaults, each bound to its member.
struct ComputerKey {
    const char* key;
    std::int32_t& (*member)(Settings&);
};
constexpr ComputerKey kComputerKeys[] = {
    {"勝敗あり", [](Settings& s) -> std::int32_t& { return s.decisiveBattle; }},
    {"1P", [](Settings& s) -> std::int32_t& { return s.computerPlays[0]; }},
    {"2P", [](Settings& s) -> std::int32_t& { return s.computerPlays[1]; }},
    {"強さ", [](Settings& s) -> std::int32_t& { return s.computerLevel; }},
    {"1Pの強さ", [](Settings& s) -> std::int32_t& { return s.computerLevel1P; }},
};

const Message kLoadFailed{"設定ファイルの読み込みに失敗しました", "err", MessageIcon::None};
const Message kSaveFailed{"設定ファイルが開けません", "err", MessageIcon::None};
const Message kNamesUnreadable{
    "文字コード CP932 の変換がないため、設定ファイルの日本語の名前が読めません", "err",
    MessageIcon::None};

std::string decimal(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, " %d", static_cast<int>(value));
    return text;
}

std::string colour(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, " 0x%08X", static_cast<unsigned>(value));
    return text;
}

// A key code goes out as its byte taken as signed, so codes from 0x80 print as 0xFFFFFF80 and
// up; reading keeps the low byte, so both forms come back as the same code.
std::string keyCode(std::uint8_t code) {
    const auto widened =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(code)));
    char text[16];
    std::snprintf(text, sizeof text, " 0x%X", static_cast<unsigned>(widened));
    return text;
}

// 設定.ini in the current directory, resolved afresh each time; nothing when there is none.
std::optional<std::filesystem::path> settingsPath() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error || folder.empty()) {
        return std::nullopt;
    }
    return folder / kSettingsFileName;
}

void readSettings(Settings& s, const IniFile& ini) {
    s = Settings{}; // every value starts at its default
    s.vanishCount = ini.getInt(kSystem, kVanishCountKey, s.vanishCount);
    for (const NamedIndex& key : kKeyNames) {
        auto& code = s.keys[static_cast<std::size_t>(key.index)];
        code = static_cast<std::uint8_t>(ini.getInt(kKeys, key.name, code) & 0xFF);
    }
    for (const NamedIndex& key : kColourNames) {
        auto& value = s.cellColours[static_cast<std::size_t>(key.index)];
        value = static_cast<std::uint32_t>(
            ini.getInt(kBlobs, key.name, static_cast<std::int32_t>(value)));
    }
    const auto readInts = [&](const auto& table) {
        for (const NamedInt& entry : table) {
            s.*entry.member = ini.getInt(entry.section, entry.key, s.*entry.member);
        }
    };
    readInts(kMapInts);
    readInts(kNextInts);
    readInts(kSpeedInts);
    readInts(kReadOnlyInts);
    s.playbackSpeed = ini.getInt(kSpeed, kPlaybackSpeedKey, s.playbackSpeed);
    s.showHeaven = ini.getInt(kMap, kShowHeavenKey, s.showHeaven) != 0 ? 1 : 0;
    s.showLimbo = ini.getInt(kMap, kShowLimboKey, s.showLimbo) != 0 ? 1 : 0;
    s.penSize = ini.getInt(kEdit, kPenSizeKey, s.penSize);
    s.wheelText = ini.getBytes(kEdit, kWheelKey, s.wheelText, kWheelTextMax + 1);
    s.wheelKinds = parseWheel(s.wheelText);
    for (const NamedColour& entry : kWindowColours) {
        s.*entry.member = static_cast<std::uint32_t>(
            ini.getInt(kWindow, entry.key, static_cast<std::int32_t>(s.*entry.member)));
    }
    s.opacity = ini.getInt(kWindow, kOpacityKey, s.opacity);
    s.emptyOpacity = ini.getInt(kWindow, kEmptyOpacityKey, s.emptyOpacity);
    for (const ComputerKey& entry : kComputerKeys) {
        std::int32_t& value = entry.member(s);
        value = ini.getInt(kComputer, entry.key, value);
    }
}

} // namespace

void writeSettings(const Settings& s, IniFile& ini) {
    for (const NamedColour& entry : kWindowColours) {
        ini.setString(kWindow, entry.key, colour(s.*entry.member));
    }
    ini.setString(kWindow, kOpacityKey, decimal(s.opacity));
    ini.setString(kWindow, kEmptyOpacityKey, decimal(s.emptyOpacity));
    ini.setString(kSystem, kVanishCountKey, decimal(s.vanishCount));
    for (const NamedIndex& key : kColourNames) {
        ini.setString(kBlobs, key.name, colour(s.cellColours[static_cast<std::size_t>(key.index)]));
    }
    for (const NamedIndex& key : kKeyNames) {
        ini.setString(kKeys, key.name, keyCode(s.keys[static_cast<std::size_t>(key.index)]));
    }
    for (const NamedInt& entry : kMapInts) {
        ini.setString(entry.section, entry.key, decimal(s.*entry.member));
    }
    ini.setString(kMap, kShowHeavenKey, decimal(s.showHeaven));
    ini.setString(kMap, kShowLimboKey, decimal(s.showLimbo));
    for (const NamedInt& entry : kNextInts) {
        ini.setString(entry.section, entry.key, decimal(s.*entry.member));
    }
    ini.setString(kEdit, kPenSizeKey, decimal(s.penSize));
    ini.setBytes(kEdit, kWheelKey, s.wheelText);
    for (const NamedInt& entry : kSpeedInts) {
        ini.setString(entry.section, entry.key, decimal(s.*entry.member));
    }
    if (s.playbackSpeed != kNormalPlaybackSpeed || ini.value(kSpeed, kPlaybackSpeedKey)) {
        ini.setString(kSpeed, kPlaybackSpeedKey, decimal(s.playbackSpeed));
    }
    Settings copy = s;
    Settings defaults;
    for (const ComputerKey& entry : kComputerKeys) {
        const std::int32_t value = entry.member(copy);
        if (value != entry.member(defaults) || ini.value(kComputer, entry.key)) {
            ini.setString(kComputer, entry.key, decimal(value));
        }
    }
}

std::vector<std::uint8_t> parseWheel(const std::string& text) {
    // Byte by byte, so the trail byte of a double-byte character counts like any other byte.
    static constexpr char kLetters[kCellKindCount] = {'N', 'R', 'B', 'G', 'Y', 'P', 'O', 'M', 'r'};
    std::vector<std::uint8_t> kinds;
    for (const char c : text) {
        for (int kind = 0; kind < kCellKindCount; ++kind) {
            if (c == kLetters[kind]) {
                kinds.push_back(static_cast<std::uint8_t>(kind));
                break;
            }
        }
    }
    if (kinds.size() > static_cast<std::size_t>(kWheelMax)) {
        kinds.resize(kWheelMax);
    }
    return kinds;
}

void ValidateSettings(Settings& s) {
    // The order matters: later bounds read earlier results, and the next-display sizes are
    // bounded by the cell-size limit as read, before that limit itself is clamped.
    atLeast(s.vanishCount, 1);
    clampTo(s.warningHeight, 0, 100);
    clampTo(s.maxNextCount, 0, 10000);
    clampTo(s.maxNextColumns, 0, 10000);
    clampTo(s.maxNextRows, 0, 10000);
    clampTo(s.nextCount, 0, s.maxNextCount);
    clampTo(s.nextColumns, 1, std::max(1, s.maxNextColumns));
    clampTo(s.nextRows, 1, std::max(1, s.maxNextRows));
    clampTo(s.nextCellWidth, 1, std::max(1, s.maxCellSize));
    clampTo(s.nextCellHeight, 1, std::max(1, s.maxCellSize));
    clampTo(s.maxFieldWidth, 2, 100000);
    clampTo(s.maxFieldHeight, 2, 100000);
    clampTo(s.maxCellSize, 1, 10000);
    clampTo(s.fieldWidth, 2, s.maxFieldWidth);
    clampTo(s.fieldHeight, 1, s.maxFieldHeight);
    clampTo(s.cellWidth, 1, s.maxCellSize);
    clampTo(s.cellHeight, 1, s.maxCellSize);
    clampTo(s.linkBlank, 0, 100);
    clampTo(s.vanishBlank, 0, 100);
    clampTo(s.showHeaven, 0, 1);
    if (s.showHeaven == 1) {
        s.showLimbo = 1; // the heaven rows are never shown without the limbo row
    } else {
        clampTo(s.showLimbo, 0, 1);
    }
    clampTo(s.penSize, 0, 80);
    if (s.wheelKinds.empty()) {
        s.wheelKinds = {0}; // the text stays as the user wrote it
    }
    atLeast(s.fallTicks, 0);
    atLeast(s.linkTicks, 0);
    atLeast(s.vanishTicks, 0);
    clampTo(s.opacity, 0, 100);
    clampTo(s.emptyOpacity, 0, 100);
    clampTo(s.decisiveBattle, 0, 1);
    for (std::int32_t& plays : s.computerPlays) {
        clampTo(plays, 0, 1);
    }
    clampTo(s.computerLevel, 1, 5);
    clampTo(s.computerLevel1P, 1, 5);
}

std::optional<std::string> whyFieldTooLarge(std::int64_t width, std::int64_t height) {
    if (fieldSizeAllowed(width, height)) {
        return std::nullopt;
    }
    return "盤面 " + std::to_string(width) + " × " + std::to_string(height) +
           " は大きすぎます（1 面 " + std::to_string(kMaxFieldCells) + " マスまで）。";
}

std::optional<Message> fieldSizeRefusal(const Settings& settings) {
    const auto why = whyFieldTooLarge(settings.fieldWidth, settings.fieldHeight);
    if (!why) {
        return std::nullopt;
    }
    return Message{"設定を変えませんでした。\n" + *why, "err", MessageIcon::Warning};
}

namespace {

std::optional<Message> loadNamed(Settings& settings, const IniFile& ini, const std::string& name) {
    // Without the converter no Japanese name can be looked up: every value keeps its default
    // rather than being read from whichever keys the replacement characters happen to match.
    const bool readable = ini.namesConvertible();
    readSettings(settings, readable ? ini : IniFile());
    ValidateSettings(settings);
    if (!readable) {
        return kNamesUnreadable;
    }
    const auto why = whyFieldTooLarge(settings.fieldWidth, settings.fieldHeight);
    if (!why) {
        return std::nullopt;
    }
    // The field would not fit in memory: the file's size is refused and the default one taken,
    // within the file's own bounds, which are harmless by themselves.
    const Settings defaults;
    settings.fieldWidth = std::min(defaults.fieldWidth, settings.maxFieldWidth);
    settings.fieldHeight = std::min(defaults.fieldHeight, settings.maxFieldHeight);
    return Message{"「" + name + "」の盤面の大きさは使えません。\n" + *why + "\n" +
                       std::to_string(settings.fieldWidth) + " × " +
                       std::to_string(settings.fieldHeight) + " で始めます。",
                   "err", MessageIcon::Warning};
}

} // namespace

std::optional<Message> LoadSettings(Settings& settings, const IniFile& ini) {
    return loadNamed(settings, ini, kSettingsFileName);
}

std::optional<Message> LoadSettings(Settings& settings, const std::filesystem::path& path,
                                    const char* codePage) {
    IniFile ini(codePage);
    // A missing or unreadable file leaves every default; so does one too large, which is said.
    if (IniFile::read(path, ini) == IniFile::ReadStatus::TooLarge) {
        loadNamed(settings, ini, path.string());
        return Message{"「" + path.string() + "」は大きすぎるので読みませんでした（" +
                           std::to_string(IniFile::kMaxBytes >> 20) +
                           " MiB まで）。\n既定の設定で始めます。",
                       "err", MessageIcon::Warning};
    }
    return loadNamed(settings, ini, path.string());
}

std::optional<Message> LoadSettings(Settings& settings) {
    const auto path = settingsPath();
    if (!path) {
        LoadSettings(settings, IniFile());
        return kLoadFailed;
    }
    return LoadSettings(settings, *path);
}

SaveResult SaveSettings(const Settings& settings, const std::filesystem::path& path,
                        const char* codePage) {
    IniFile ini(codePage);
    if (!ini.namesConvertible()) {
        return {false, kSaveFailed};
    }
    // A file that exists but cannot be read would be replaced by one holding only our keys,
    // losing whatever else the user keeps in it, so the save stops there.
    if (const auto status = IniFile::read(path, ini);
        status == IniFile::ReadStatus::Failed || status == IniFile::ReadStatus::TooLarge) {
        return {false, kSaveFailed};
    }
    writeSettings(settings, ini);
    std::string why;
    if (!ini.write(path, &why)) {
        // A full disk or a failing one: the old file is whole, and the user learns why.
        return {false, Message{kSaveFailed.text + "\n「" + path.string() + "」\n" + why,
                               kSaveFailed.caption, kSaveFailed.icon}};
    }
    return {true, std::nullopt};
}

SaveResult SaveSettings(const Settings& settings) {
    const auto path = settingsPath();
    if (!path) {
        return {false, kSaveFailed};
    }
    return SaveSettings(settings, *path);
}

} // namespace peterin
