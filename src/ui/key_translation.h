#pragma once

#include <cstdint>

class QKeyEvent;

namespace peterin {

// Every key code the program stores or compares is a Windows virtual-key code (the key settings
// are kept in that form in 設定.ini), so each key event is translated once, here, on arrival.

// What the platform tells about one key press.
struct KeyPress {
    std::uint32_t keysym = 0;   // the X11 keysym (QKeyEvent::nativeVirtualKey), 0 when unknown
    int qtKey = 0;              // the Qt::Key value, used when the keysym is unknown
    bool keypad = false;        // the key lies on the numeric keypad
    bool alt = false;           // Alt was held
    bool shift = false;         // Shift was held
    std::uint32_t scanCode = 0; // the X11 keycode (QKeyEvent::nativeScanCode), 0 when unknown
};

// The virtual-key code of a key press, or 0 when the press is not for the key handler: unknown
// keys, and the system keys (Alt itself, F10 and anything pressed with Alt held), which never
// reach the game.
std::uint8_t translateKey(const KeyPress& press);

// The same for a Qt key event: what every widget that takes keys calls, so they all agree.
std::uint8_t translateKey(const QKeyEvent& event);

} // namespace peterin
