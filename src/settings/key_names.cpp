#include "key_names.h"

#include <array>
#include <string_view>

namespace peterin {

namespace {

constexpr const char* kUnnamed = "etc...";

// Names of every code; the runs 0-9, A-Z, NUM 0-9 and F1-F24 are filled in by rule.
constexpr std::array<const char*, 256> makeNames() {
    std::array<const char*, 256> names{};
    for (auto& name : names)
        name = kUnnamed;

    constexpr std::array kDigits = {"KEY 0", "KEY 1", "KEY 2", "KEY 3", "KEY 4",
                                    "KEY 5", "KEY 6", "KEY 7", "KEY 8", "KEY 9"};
    constexpr std::array kLetters = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                     "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                     "S", "T", "U", "V", "W", "X", "Y", "Z"};
    constexpr std::array kPad = {"NUM 0", "NUM 1", "NUM 2", "NUM 3", "NUM 4",
                                 "NUM 5", "NUM 6", "NUM 7", "NUM 8", "NUM 9"};
    constexpr std::array kFunction = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                      "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                      "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
    for (std::size_t i = 0; i < kDigits.size(); ++i)
        names[0x30 + i] = kDigits[i];
    for (std::size_t i = 0; i < kLetters.size(); ++i)
        names[0x41 + i] = kLetters[i];
    for (std::size_t i = 0; i < kPad.size(); ++i)
        names[0x60 + i] = kPad[i];
    for (std::size_t i = 0; i < kFunction.size(); ++i)
        names[0x70 + i] = kFunction[i];

    struct Named {
        std::uint8_t code;
        const char* name;
    };
    constexpr std::array kNamed = {
        Named{0x00, "!エラー!"},
        Named{0x01, "LBUTTON"},
        Named{0x02, "RBUTTON"},
        Named{0x03, "ScrollLock"},
        Named{0x04, "MBUTTON"},
        Named{0x08, "BS"},
        Named{0x09, "TAB"},
        Named{0x0C, "CLEAR"},
        Named{0x0D, "Enter"},
        Named{0x10, "Shift"},
        Named{0x11, "Ctrl"},
        Named{0x12, "Alt"},
        Named{0x13, "Pause"},
        Named{0x14, "CAPS"},
        Named{0x15, "KANA"},
        Named{0x17, "JUNJA"},
        Named{0x18, "FINAL"},
        Named{0x19, "ALT+半角全角"},
        Named{0x1B, "Esc"},
        Named{0x1C, "前候補"},
        Named{0x1D, "無変換"},
        Named{0x1E, "ACCEPT"},
        Named{0x1F, "MODECHANGE"},
        Named{0x20, "SPACE"},
        Named{0x21, "PageUp"},
        Named{0x22, "PageDown"},
        Named{0x23, "END"},
        Named{0x24, "HOME"},
        Named{0x25, "LEFT"},
        Named{0x26, "UP"},
        Named{0x27, "RIGHT"},
        Named{0x28, "DOWN"},
        Named{0x29, "SELECT"},
        Named{0x2A, "PRINT"},
        Named{0x2B, "EXECUTE"},
        Named{0x2C, "[PScSRq"},
        Named{0x2D, "INS"},
        Named{0x2E, "Del"},
        Named{0x2F, "HELP"},
        Named{0x5B, "L Windowsキー"},
        Named{0x5C, "R Windowsキー"},
        Named{0x5D, "アプリケーション"},
        Named{0x6A, "*"},
        Named{0x6B, "+"},
        Named{0x6C, "SEP"},
        Named{0x6D, "-"},
        Named{0x6E, "."},
        Named{0x6F, "/"},
        Named{0x90, "NumLock"},
        Named{0x91, "Scr Lk"},
        Named{0xA0, "LSHIFT"},
        Named{0xA1, "RSHIFT"},
        Named{0xA2, "LCONTROL"},
        Named{0xA3, "RCONTROL"},
        Named{0xA4, "LMENU"},
        Named{0xA5, "RMENU"},
        Named{0xBA, ":"},
        Named{0xBB, ";"},
        Named{0xBC, ","},
        Named{0xBD, "-"},
        Named{0xBE, "."},
        Named{0xBF, "/"},
        Named{0xC0, "@"},
        Named{0xDB, "["},
        Named{0xDC, "\\"},
        Named{0xDD, "]"},
        Named{0xDE, "^"},
        Named{0xE2, "_"},
        Named{0xE5, "ひらがな"},
        Named{0xF0, "CAPS"},
        Named{0xF4, "半角/全角"},
        Named{0xF6, "ATTN"},
        Named{0xF7, "CRSEL"},
        Named{0xF8, "EXSEL"},
        Named{0xF9, "EREOF"},
        Named{0xFA, "PLAY"},
        Named{0xFB, "ZOOM"},
        Named{0xFC, "NONAME"},
        Named{0xFD, "PA1"},
        Named{0xFE, "OEM_CLEAR"},
    };
    for (const Named& entry : kNamed)
        names[entry.code] = entry.name;
    return names;
}

constexpr std::array<const char*, 256> kNames = makeNames();

} // namespace

const char* KeyName(std::uint32_t code) {
    return kNames[code & 0xFF];
}

} // namespace peterin
