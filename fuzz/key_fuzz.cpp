// Feeds arbitrary key presses (keysym, Qt key, keypad, Alt, Shift, scan code) to the key
// translation, checking what must hold for every press: Alt and F10 never reach the game, a
// letter is always its own key whatever else is held, and a Qt key event with the same fields
// translates the same.
#include "ui/key_translation.h"

#include <QInputDevice>
#include <QKeyEvent>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using peterin::KeyPress;
using peterin::translateKey;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

std::uint32_t take32(const std::uint8_t*& data, std::size_t& size) {
    std::uint32_t value = 0;
    const std::size_t n = size < 4 ? size : 4;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

constexpr std::uint8_t kCodeF10 = 0x79;
constexpr std::uint8_t kCodeAlt = 0x12;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KeyPress press;
    const std::uint32_t flags = take32(data, size);
    // Mostly the small keysyms and Qt keys that real keyboards send.
    press.keysym = take32(data, size) & ((flags & 0x100) ? 0xffffffffu : 0xffffu);
    press.qtKey =
        static_cast<int>(take32(data, size) & ((flags & 0x200) ? 0x7fffffffu : 0x100ffffu));
    press.scanCode = take32(data, size) & 0xff;
    press.keypad = flags & 1;
    press.alt = flags & 2;
    press.shift = flags & 4;

    const std::uint8_t code = translateKey(press);
    check(code != kCodeF10 && code != kCodeAlt, "F10 and Alt never reach the game");
    if (press.alt) {
        check(code == 0, "nothing pressed with Alt reaches the game");
    }
    const bool oem102Key = press.scanCode == 97 || press.scanCode == 94;
    if (press.keysym >= 'a' && press.keysym <= 'z' && !press.alt && !oem102Key) {
        check(code == press.keysym - 'a' + 'A', "a letter is its own key");
    }

    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::KeypadModifier, press.keypad);
    modifiers.setFlag(Qt::AltModifier, press.alt);
    modifiers.setFlag(Qt::ShiftModifier, press.shift);
    // A keyboard of our own: the default one is made once and never freed.
    static const QInputDevice keyboard;
    const QKeyEvent event(QEvent::KeyPress, press.qtKey, modifiers, press.scanCode, press.keysym, 0,
                          QString(), false, 1, &keyboard);
    // Qt reports a modifier key's own modifier as changed by it, so the event's modifiers differ
    // from the fields given for those keys.
    const int key = press.qtKey;
    const bool modifierKey = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                             key == Qt::Key_Meta || key == Qt::Key_AltGr;
    if (!modifierKey) {
        check(translateKey(event) == code, "a Qt key event translates as its fields do");
    }
    return 0;
}
