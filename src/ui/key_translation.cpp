#include "key_translation.h"

#include <QKeyEvent>
#include <Qt>

#include <array>

namespace peterin {

namespace {

// One row of the translation table: the keysym and the Qt::Key of one key, and its code.
// Either source may be 0 when the key has no such name.
struct KeyRow {
    std::uint32_t keysym;
    int qtKey;
    std::uint8_t code;
};

// Keys outside the runs handled by rule below (letters, digits, keypad digits, F1 to F24).
// The punctuation follows the Japanese keyboard the key names describe: the key labelled ":"
// is 0xBA, ";" is 0xBB, "@" is 0xC0, and so on. A character typed with Shift still names the
// key it sits on, so "*" is the ":" key and "!" is the "1" key. The characters decide only when
// the key's place is unknown (see kPlaceTable).
constexpr std::array kKeyTable = {
    // Editing and movement.
    KeyRow{0xff08, Qt::Key_Backspace, 0x08},
    KeyRow{0xff09, Qt::Key_Tab, 0x09},
    KeyRow{0xfe20, Qt::Key_Backtab, 0x09},
    KeyRow{0xff0b, Qt::Key_Clear, 0x0C},
    KeyRow{0xff0d, Qt::Key_Return, 0x0D},
    KeyRow{0xff8d, Qt::Key_Enter, 0x0D},
    KeyRow{0xffe1, Qt::Key_Shift, 0x10},
    KeyRow{0xffe2, 0, 0x10},
    KeyRow{0xffe3, Qt::Key_Control, 0x11},
    KeyRow{0xffe4, 0, 0x11},
    KeyRow{0xff13, Qt::Key_Pause, 0x13},
    KeyRow{0xffe5, Qt::Key_CapsLock, 0x14},
    KeyRow{0xff1b, Qt::Key_Escape, 0x1B},
    KeyRow{0xff23, Qt::Key_Henkan, 0x1C},
    KeyRow{0xff22, Qt::Key_Muhenkan, 0x1D},
    KeyRow{0x0020, Qt::Key_Space, 0x20},
    KeyRow{0xff55, Qt::Key_PageUp, 0x21},
    KeyRow{0xff56, Qt::Key_PageDown, 0x22},
    KeyRow{0xff57, Qt::Key_End, 0x23},
    KeyRow{0xff50, Qt::Key_Home, 0x24},
    KeyRow{0xff51, Qt::Key_Left, 0x25},
    KeyRow{0xff52, Qt::Key_Up, 0x26},
    KeyRow{0xff53, Qt::Key_Right, 0x27},
    KeyRow{0xff54, Qt::Key_Down, 0x28},
    KeyRow{0xff61, Qt::Key_Print, 0x2C},
    KeyRow{0xff63, Qt::Key_Insert, 0x2D},
    KeyRow{0xffff, Qt::Key_Delete, 0x2E},
    KeyRow{0xffeb, Qt::Key_Super_L, 0x5B},
    KeyRow{0xffec, Qt::Key_Super_R, 0x5C},
    KeyRow{0xff67, Qt::Key_Menu, 0x5D},
    KeyRow{0xff7f, Qt::Key_NumLock, 0x90},
    KeyRow{0xff14, Qt::Key_ScrollLock, 0x91},
    KeyRow{0xff2a, Qt::Key_Zenkaku_Hankaku, 0xF4},
    KeyRow{0xff30, Qt::Key_Eisu_toggle, 0xF0},
    // Ctrl+Pause is Break.
    KeyRow{0xff6b, 0, 0x03},
    // The keypad with NumLock off acts as the movement keys; its centre key is CLEAR.
    KeyRow{0xff95, 0, 0x24},
    KeyRow{0xff96, 0, 0x25},
    KeyRow{0xff97, 0, 0x26},
    KeyRow{0xff98, 0, 0x27},
    KeyRow{0xff99, 0, 0x28},
    KeyRow{0xff9a, 0, 0x21},
    KeyRow{0xff9b, 0, 0x22},
    KeyRow{0xff9c, 0, 0x23},
    KeyRow{0xff9d, 0, 0x0C},
    KeyRow{0xff9e, 0, 0x2D},
    KeyRow{0xff9f, 0, 0x2E},
    // Keypad operators.
    KeyRow{0xffaa, 0, 0x6A},
    KeyRow{0xffab, 0, 0x6B},
    KeyRow{0xffac, 0, 0x6C},
    KeyRow{0xffad, 0, 0x6D},
    KeyRow{0xffae, 0, 0x6E},
    KeyRow{0xffaf, 0, 0x6F},
    // Punctuation, unshifted and shifted (keysym and Qt::Key share the character's code).
    KeyRow{':', ':', 0xBA},
    KeyRow{'*', '*', 0xBA},
    KeyRow{';', ';', 0xBB},
    KeyRow{'+', '+', 0xBB},
    KeyRow{',', ',', 0xBC},
    KeyRow{'<', '<', 0xBC},
    KeyRow{'-', '-', 0xBD},
    KeyRow{'=', '=', 0xBD},
    KeyRow{'.', '.', 0xBE},
    KeyRow{'>', '>', 0xBE},
    KeyRow{'/', '/', 0xBF},
    KeyRow{'?', '?', 0xBF},
    KeyRow{'@', '@', 0xC0},
    KeyRow{'`', '`', 0xC0},
    KeyRow{'[', '[', 0xDB},
    KeyRow{'{', '{', 0xDB},
    KeyRow{'\\', '\\', 0xDC},
    KeyRow{'|', '|', 0xDC},
    KeyRow{0xa5, Qt::Key_yen, 0xDC},
    KeyRow{']', ']', 0xDD},
    KeyRow{'}', '}', 0xDD},
    KeyRow{'^', '^', 0xDE},
    KeyRow{'~', '~', 0xDE},
    KeyRow{'_', '_', 0xE2},
    // Shifted digits.
    KeyRow{'!', '!', '1'},
    KeyRow{'"', '"', '2'},
    KeyRow{'#', '#', '3'},
    KeyRow{'$', '$', '4'},
    KeyRow{'%', '%', '5'},
    KeyRow{'&', '&', '6'},
    KeyRow{'\'', '\'', '7'},
    KeyRow{'(', '(', '8'},
    KeyRow{')', ')', '9'},
};

// Keypad keys as Qt reports them when no keysym is known (the keypad flag set).
constexpr std::array kQtKeypadTable = {
    KeyRow{0, Qt::Key_Asterisk, 0x6A}, KeyRow{0, Qt::Key_Plus, 0x6B},
    KeyRow{0, Qt::Key_Comma, 0x6C},    KeyRow{0, Qt::Key_Minus, 0x6D},
    KeyRow{0, Qt::Key_Period, 0x6E},   KeyRow{0, Qt::Key_Slash, 0x6F},
    KeyRow{0, Qt::Key_Enter, 0x0D},    KeyRow{0, Qt::Key_Left, 0x25},
    KeyRow{0, Qt::Key_Up, 0x26},       KeyRow{0, Qt::Key_Right, 0x27},
    KeyRow{0, Qt::Key_Down, 0x28},     KeyRow{0, Qt::Key_Home, 0x24},
    KeyRow{0, Qt::Key_End, 0x23},      KeyRow{0, Qt::Key_PageUp, 0x21},
    KeyRow{0, Qt::Key_PageDown, 0x22}, KeyRow{0, Qt::Key_Insert, 0x2D},
    KeyRow{0, Qt::Key_Delete, 0x2E},   KeyRow{0, Qt::Key_Clear, 0x0C},
};

// Characters the Japanese keyboard never gives in that shift state: typed so, they come from a
// US keyboard and name its keys (unshifted ' and = are keys of their own, shifted @ and ^ are
// Shift+2 and Shift+6).
struct LayoutRow {
    std::uint32_t ch;
    bool shift;
    std::uint8_t code;
};
constexpr std::array kUsOnlyTable = {
    LayoutRow{'\'', false, 0xDE},
    LayoutRow{'=', false, 0xBB},
    LayoutRow{'@', true, '2'},
    LayoutRow{'^', true, '6'},
};

// The number row and the punctuation keys by their place on the keyboard (X keycodes, evdev
// numbering): a key gives one code whatever Shift and the layout put on it, the code it has on
// a Japanese keyboard, whose labels the key names show. So the "1" key is '1' also where it
// types "&", and the key right of L is 0xBB (";" and "+") also where it types ":".
struct PlaceRow {
    std::uint32_t keycode;
    std::uint8_t code;
};
constexpr std::array kPlaceTable = {
    // The number row, "1" to "0".
    PlaceRow{10, '1'},
    PlaceRow{11, '2'},
    PlaceRow{12, '3'},
    PlaceRow{13, '4'},
    PlaceRow{14, '5'},
    PlaceRow{15, '6'},
    PlaceRow{16, '7'},
    PlaceRow{17, '8'},
    PlaceRow{18, '9'},
    PlaceRow{19, '0'},
    // The punctuation keys, by their Japanese labels: "-", "^", yen; 半角/全角 left of "1";
    // "@", "["; ";", ":", "]"; ",", ".", "/", ろ; and the extra key left of Z of a 102-key
    // keyboard, which shares the code of ろ.
    PlaceRow{20, 0xBD},
    PlaceRow{21, 0xDE},
    PlaceRow{132, 0xDC},
    PlaceRow{49, 0xF4},
    PlaceRow{34, 0xC0},
    PlaceRow{35, 0xDB},
    PlaceRow{47, 0xBB},
    PlaceRow{48, 0xBA},
    PlaceRow{51, 0xDD},
    PlaceRow{59, 0xBC},
    PlaceRow{60, 0xBE},
    PlaceRow{61, 0xBF},
    PlaceRow{97, 0xE2},
    PlaceRow{94, 0xE2},
};

// The code of a key by its place, or 0 when its place does not decide: keys elsewhere, letters
// (which follow the layout), and keys a layout turns into named keys.
std::uint8_t fromPlace(const KeyPress& press) {
    if (press.scanCode == 0 || press.keysym >= 0xff00)
        return 0;
    const std::uint32_t sym = press.keysym;
    if ((sym >= 'a' && sym <= 'z') || (sym >= 'A' && sym <= 'Z'))
        return 0;
    for (const PlaceRow& row : kPlaceTable) {
        if (row.keycode == press.scanCode)
            return row.code;
    }
    return 0;
}

constexpr std::uint32_t kKeysymF1 = 0xffbe;
constexpr std::uint32_t kKeysymF24 = kKeysymF1 + 23;
constexpr std::uint32_t kKeysymKp0 = 0xffb0;
constexpr std::uint8_t kCodeF1 = 0x70;
constexpr std::uint8_t kCodeF10 = 0x79;
constexpr std::uint8_t kCodeNumpad0 = 0x60;

bool isAltKeysym(std::uint32_t keysym) {
    // Alt_L, Alt_R, Meta_L, Meta_R and the AltGr shift.
    return (keysym >= 0xffe7 && keysym <= 0xffea) || keysym == 0xfe03;
}

std::uint8_t fromKeysym(std::uint32_t sym) {
    if (sym >= 'a' && sym <= 'z')
        return static_cast<std::uint8_t>(sym - 'a' + 'A');
    if ((sym >= 'A' && sym <= 'Z') || (sym >= '0' && sym <= '9'))
        return static_cast<std::uint8_t>(sym);
    if (sym >= kKeysymKp0 && sym <= kKeysymKp0 + 9)
        return static_cast<std::uint8_t>(kCodeNumpad0 + (sym - kKeysymKp0));
    if (sym >= kKeysymF1 && sym <= kKeysymF24)
        return static_cast<std::uint8_t>(kCodeF1 + (sym - kKeysymF1));
    for (const KeyRow& row : kKeyTable) {
        if (row.keysym == sym)
            return row.code;
    }
    return 0;
}

std::uint8_t fromQtKey(int key, bool keypad) {
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<std::uint8_t>(kCodeNumpad0 + (key - Qt::Key_0));
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<std::uint8_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<std::uint8_t>(kCodeF1 + (key - Qt::Key_F1));
    if (keypad) {
        for (const KeyRow& row : kQtKeypadTable) {
            if (row.qtKey == key)
                return row.code;
        }
    }
    for (const KeyRow& row : kKeyTable) {
        if (row.qtKey != 0 && row.qtKey == key)
            return row.code;
    }
    return 0;
}

} // namespace

std::uint8_t translateKey(const KeyPress& press) {
    if (press.alt || isAltKeysym(press.keysym))
        return 0;
    // Qt reports the Windows key as Meta too; only the keysym tells it from Alt.
    if (press.keysym == 0 &&
        (press.qtKey == Qt::Key_Alt || press.qtKey == Qt::Key_AltGr || press.qtKey == Qt::Key_Meta))
        return 0;
    if (const std::uint8_t code = fromPlace(press))
        return code;
    // Without a keycode, the character typed and the shift state name the key.
    const std::uint32_t ch =
        press.keysym != 0 ? press.keysym : static_cast<std::uint32_t>(press.qtKey);
    for (const LayoutRow& row : kUsOnlyTable) {
        if (row.ch == ch && row.shift == press.shift)
            return row.code;
    }
    std::uint8_t code = press.keysym != 0 ? fromKeysym(press.keysym) : 0;
    if (code == 0)
        code = fromQtKey(press.qtKey, press.keypad);
    return code == kCodeF10 ? 0 : code;
}

std::uint8_t translateKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return translateKey({event.nativeVirtualKey(), event.key(),
                         modifiers.testFlag(Qt::KeypadModifier),
                         modifiers.testFlag(Qt::AltModifier), modifiers.testFlag(Qt::ShiftModifier),
                         event.nativeScanCode()});
}

} // namespace peterin
