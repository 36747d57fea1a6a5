#pragma once

#include <string>
#include <string_view>

namespace peterin {

// Conversions at the boundary of 設定.ini, which is Shift-JIS (code page 932) on disk while the
// program works in UTF-8. Both directions are total: a file may hold any bytes at all.

// True for a byte that starts a double-byte Shift-JIS character.
constexpr bool isShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Shift-JIS to UTF-8; each byte that does not start a valid character becomes U+FFFD.
std::string shiftJisToUtf8(std::string_view shiftJis);

// UTF-8 to Shift-JIS; each character without a Shift-JIS form (and each invalid UTF-8 byte)
// becomes `replacement`, or is dropped when `replacement` is 0.
std::string utf8ToShiftJis(std::string_view utf8, char replacement = '?');

} // namespace peterin
