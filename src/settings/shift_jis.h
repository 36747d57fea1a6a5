#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace peterin {

// Conversions at the boundary of 設定.ini, which is Shift-JIS (code page 932) on disk while the
// program works in UTF-8. Both directions are total: a file may hold any bytes at all.

// True for a byte that starts a double-byte Shift-JIS character.
constexpr bool isShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True for a byte that can end a double-byte Shift-JIS character.
constexpr bool isShiftJisTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Bytes taken by the character at `pos`: 2 for a lead byte with its trail byte, else 1.
constexpr std::size_t shiftJisCharWidth(std::string_view text, std::size_t pos) {
    return pos + 1 < text.size() && isShiftJisLeadByte(static_cast<unsigned char>(text[pos])) &&
                   isShiftJisTrailByte(static_cast<unsigned char>(text[pos + 1]))
               ? 2
               : 1;
}

// The system converter's name for the Shift-JIS of 設定.ini.
inline constexpr const char* kShiftJisCodePage = "CP932";

// Converts in both directions with conversion descriptors opened once, for callers that convert
// many short strings. A copy opens descriptors of its own, so copies never share state.
class ShiftJisCodec {
  public:
    // `codePage` names the converter; another name than the default lets a test stand in for a
    // system that lacks it.
    explicit ShiftJisCodec(const char* codePage = kShiftJisCodePage);
    ~ShiftJisCodec();
    ShiftJisCodec(const ShiftJisCodec& other) : ShiftJisCodec(other.codePage_) {}
    ShiftJisCodec& operator=(const ShiftJisCodec& other);

    // False when the system has no converter for the code page: then only ASCII converts, and
    // every other character becomes a replacement.
    bool available() const;
    const char* codePage() const { return codePage_; }

    // As the free functions below.
    std::string toUtf8(std::string_view shiftJis);
    std::string toShiftJis(std::string_view utf8, char replacement = '?');

  private:
    const char* codePage_; // a string literal
    void* toUtf8_;         // iconv_t, kept out of this header
    void* toShiftJis_;     // iconv_t
};

// Shift-JIS to UTF-8; each byte that does not start a valid character becomes U+FFFD.
std::string shiftJisToUtf8(std::string_view shiftJis);

// UTF-8 to Shift-JIS; each character without a Shift-JIS form (and each invalid UTF-8 byte)
// becomes `replacement`, or is dropped when `replacement` is 0.
std::string utf8ToShiftJis(std::string_view utf8, char replacement = '?');

} // namespace peterin
