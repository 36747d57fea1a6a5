#pragma once

#include "shift_jis.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace peterin {

// Reads an integer the way profile files hold them: leading blanks, an optional sign, "0x" for
// hexadecimal, then digits up to the first other character; the result wraps to 32 bits. Text
// without digits reads as 0.
std::int32_t parseProfileInt(std::string_view text);

// An INI file held as its lines, in the file's Shift-JIS bytes, so that everything this program
// does not write (comments, unknown keys and sections, even bytes that are not valid Shift-JIS)
// is written back untouched. Names and values cross the interface as UTF-8.
//
// Lookups follow the usual profile rules: section and key names compare case-insensitively for
// ASCII letters (a double-byte character compares exactly), the first matching section and the
// first matching key in it win, blanks around names and values are not part of them, and a value
// in double or single quotes reads without them.
class IniFile {
  public:
    // How reading a file went.
    enum class ReadStatus {
        Ok,       // read
        Missing,  // no such file: an empty INI
        Failed,   // it exists but could not be read: an empty INI
        TooLarge, // larger than kMaxBytes, so not read: an empty INI
    };
    // No settings file is this large; one that is, is not read (its lines would be held in
    // memory, some hundred bytes each).
    static constexpr std::uintmax_t kMaxBytes = std::uintmax_t{1} << 20;

    // `codePage` names the converter of names and values (see ShiftJisCodec).
    explicit IniFile(const char* codePage = kShiftJisCodePage) : codec_(codePage) {}

    // Parses the bytes of a file as they are on disk.
    static IniFile fromBytes(std::string_view bytes, const char* codePage = kShiftJisCodePage);
    // Reads `path` into `ini` (an empty INI unless the status is Ok), keeping its converter.
    static ReadStatus read(const std::filesystem::path& path, IniFile& ini);

    // False when the system cannot convert names and values to and from Shift-JIS: then no
    // Japanese section or key can be found or written.
    bool namesConvertible() const { return codec_.available(); }

    // The bytes to put on disk.
    std::string toBytes() const;
    // Writes the file through a temporary file beside it that is renamed over it, so the old
    // file stays intact unless the new one is complete. Returns false on any failure, with the
    // system's reason in `why` when given.
    bool write(const std::filesystem::path& path, std::string* why = nullptr) const;

    // The value of `key` in `section`, or nothing when the key is absent.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // The integer value of a key; `fallback` when the key is absent or its value empty.
    std::int32_t getInt(std::string_view section, std::string_view key,
                        std::int32_t fallback) const;

    // The text of a key (`fallback` when absent) as a buffer of `bufferSize` bytes would hold
    // it: at most bufferSize - 1 bytes of Shift-JIS, never ending in half a character.
    std::string getString(std::string_view section, std::string_view key, std::string_view fallback,
                          std::size_t bufferSize) const;

    // The same as getString, but the text stays in the file's Shift-JIS bytes, so writing it back
    // with setBytes gives the same bytes whatever they hold.
    std::string getBytes(std::string_view section, std::string_view key, std::string_view fallback,
                         std::size_t bufferSize) const;

    // Sets `key` in `section`: an existing key is replaced on its own line; a new key goes after
    // the last line of its section; a new section goes at the end of the file.
    void setString(std::string_view section, std::string_view key, std::string_view value);
    // The same with a value already in Shift-JIS bytes.
    void setBytes(std::string_view section, std::string_view key, std::string_view value);

  private:
    // One line of the file with what it holds worked out once: a section header, a key or
    // anything else (kept as it is).
    struct Line {
        enum class Kind : std::uint8_t { Other, Section, Key };

        explicit Line(std::string text);

        std::string_view name() const { return std::string_view(text).substr(nameAt, nameSize); }
        std::string_view value() const { return std::string_view(text).substr(valueAt, valueSize); }
        bool blank() const;

        std::string text;   // Shift-JIS, without the line end
        std::string folded; // the name with ASCII letters in lower case, for lookups
        Kind kind = Kind::Other;
        std::size_t nameAt = 0, nameSize = 0;   // section or key name
        std::size_t valueAt = 0, valueSize = 0; // value of a key
    };

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    std::size_t findSection(std::string_view name) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(std::size_t header, std::string_view name) const;
    std::optional<std::string_view> rawValue(std::string_view section, std::string_view key) const;

    std::vector<Line> lines_;
    bool bareLineFeeds_ = false;  // a file that ends its lines in LF alone keeps doing so
    mutable ShiftJisCodec codec_; // converts names and values; holds no visible state
};

} // namespace peterin
