#include "ini_file.h"

#include "shift_jis.h"

#include "storage/atomic_write.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace peterin {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Position of the first `wanted` that is a character of its own, not the second byte of a
// double-byte character (bytes such as ']' and '\' occur there).
std::size_t findChar(std::string_view text, char wanted, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size(); i += shiftJisCharWidth(text, i)) {
        if (text[i] == wanted) {
            return i;
        }
    }
    return std::string_view::npos;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A Shift-JIS name with the ASCII letters outside double-byte characters in lower case: two
// names are the same name when their folded forms are equal.
std::string foldName(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size();) {
        const std::size_t width = shiftJisCharWidth(folded, i);
        if (width == 1) {
            folded[i] = asciiLower(folded[i]);
        }
        i += width;
    }
    return folded;
}

// The name of a section header line, if the line is one.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = findChar(line, ']', 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// The key and value of a "key=value" line, if the line is one.
std::optional<KeyLine> keyLine(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = findChar(line, '=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

// A name or value as it may go on one line: line breaks would split it into other entries.
std::string oneLine(std::string text) {
    std::erase_if(text, [](char c) { return c == '\n' || c == '\r'; });
    return text;
}

// At most `limit` bytes of Shift-JIS, without a dangling first half of a double-byte character.
std::string_view truncateShiftJis(std::string_view text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = shiftJisCharWidth(text, end);
        if (end + width > limit) {
            break;
        }
        end += width;
    }
    return text.substr(0, std::min(end, text.size()));
}

// Three pieces as one string (built by appending, which also keeps g++ 12 free of a false
// -Wrestrict warning about "literal" + string).
std::string joined(std::string_view a, std::string_view b, std::string_view c) {
    std::string text;
    text.reserve(a.size() + b.size() + c.size());
    text.append(a).append(b).append(c);
    return text;
}

} // namespace

IniFile::Line::Line(std::string lineText) : text(std::move(lineText)) {
    const std::string_view all(text);
    const auto offset = [&](std::string_view part) {
        return static_cast<std::size_t>(part.data() - all.data());
    };
    if (const auto section = sectionName(all)) {
        kind = Kind::Section;
        nameAt = offset(*section);
        nameSize = section->size();
        folded = foldName(*section);
    } else if (const auto key = keyLine(all)) {
        kind = Kind::Key;
        nameAt = offset(key->key);
        nameSize = key->key.size();
        folded = foldName(key->key);
        valueAt = offset(key->value);
        valueSize = key->value.size();
    }
}

bool IniFile::Line::blank() const {
    return trim(text).empty();
}

std::int32_t parseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps, which is the 32-bit wrap wanted here.
    std::uint32_t value = 0;
    // Only a lower-case "0x" marks hexadecimal; "0X1F" is the decimal 0 followed by other text.
    if (i + 1 < text.size() && text[i] == '0' && text[i + 1] == 'x') {
        for (i += 2; i < text.size(); ++i) {
            const char c = text[i];
            std::uint32_t digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                break;
            }
            value = value * 16 + digit;
        }
    } else {
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
        }
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

IniFile IniFile::fromBytes(std::string_view bytes, const char* codePage) {
    IniFile ini(codePage);
    const std::size_t firstBreak = bytes.find('\n');
    if (firstBreak != std::string_view::npos &&
        (firstBreak == 0 || bytes[firstBreak - 1] != '\r')) {
        ini.bareLineFeeds_ = true;
    }
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ini.lines_.emplace_back(std::string(line));
        if (end == std::string_view::npos) {
            break;
        }
        bytes.remove_prefix(end + 1);
    }
    return ini;
}

IniFile::ReadStatus IniFile::read(const std::filesystem::path& path, IniFile& ini) {
    const char* codePage = ini.codec_.codePage();
    ini = IniFile(codePage);
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return ReadStatus::Missing;
    }
    // Only a regular file is read: a folder cannot be, and a pipe or device could block forever.
    if (error || status.type() != std::filesystem::file_type::regular) {
        return ReadStatus::Failed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return ReadStatus::Failed;
    }
    // At most one byte past the limit, so a file that grows meanwhile is bounded too.
    std::string bytes(kMaxBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return ReadStatus::Failed;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxBytes) {
        return ReadStatus::TooLarge;
    }
    ini = fromBytes(bytes, codePage);
    return ReadStatus::Ok;
}

std::string IniFile::toBytes() const {
    std::string bytes;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += bareLineFeeds_ ? "\n" : "\r\n";
    }
    return bytes;
}

bool IniFile::write(const std::filesystem::path& path, std::string* why) const {
    // Through a new file renamed over the old one, as position files are saved: a full or
    // failing disk leaves the old file whole.
    const auto error = replaceFile(path, toBytes());
    if (error && why != nullptr) {
        *why = *error;
    }
    return !error;
}

std::size_t IniFile::findSection(std::string_view name) const {
    const std::string folded = foldName(name);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Kind::Section && lines_[i].folded == folded) {
            return i;
        }
    }
    return npos;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Line::Kind::Section) {
        ++i;
    }
    return i;
}

std::size_t IniFile::findKey(std::size_t header, std::string_view name) const {
    const std::string folded = foldName(name);
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Line::Kind::Key && lines_[i].folded == folded) {
            return i;
        }
    }
    return npos;
}

std::optional<std::string_view> IniFile::rawValue(std::string_view section,
                                                  std::string_view key) const {
    const std::size_t header = findSection(section);
    if (header == npos) {
        return std::nullopt;
    }
    const std::size_t line = findKey(header, key);
    if (line == npos) {
        return std::nullopt;
    }
    std::string_view value = lines_[line].value();
    // As the profile functions read it: quotes around the whole value are not part of it.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const auto raw = rawValue(codec_.toShiftJis(section), codec_.toShiftJis(key));
    if (!raw) {
        return std::nullopt;
    }
    return codec_.toUtf8(*raw);
}

std::int32_t IniFile::getInt(std::string_view section, std::string_view key,
                             std::int32_t fallback) const {
    const auto raw = rawValue(codec_.toShiftJis(section), codec_.toShiftJis(key));
    if (!raw || raw->empty()) {
        return fallback;
    }
    return parseProfileInt(*raw);
}

std::string IniFile::getString(std::string_view section, std::string_view key,
                               std::string_view fallback, std::size_t bufferSize) const {
    return codec_.toUtf8(getBytes(section, key, codec_.toShiftJis(fallback), bufferSize));
}

std::string IniFile::getBytes(std::string_view section, std::string_view key,
                              std::string_view fallback, std::size_t bufferSize) const {
    const std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
    const auto raw = rawValue(codec_.toShiftJis(section), codec_.toShiftJis(key));
    return std::string(truncateShiftJis(raw ? *raw : fallback, limit));
}

void IniFile::setString(std::string_view section, std::string_view key, std::string_view value) {
    setBytes(section, key, codec_.toShiftJis(value));
}

void IniFile::setBytes(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sjisSection = oneLine(codec_.toShiftJis(section));
    const std::string sjisKey = oneLine(codec_.toShiftJis(key));
    const std::string sjisValue = oneLine(std::string(value));

    const std::size_t header = findSection(sjisSection);
    if (header == npos) {
        if (!lines_.empty() && !lines_.back().blank()) {
            lines_.emplace_back(std::string()); // a blank line between sections
        }
        lines_.emplace_back(joined("[", sjisSection, "]"));
        lines_.emplace_back(joined(sjisKey, "=", sjisValue));
        return;
    }
    const std::size_t line = findKey(header, sjisKey);
    if (line != npos) {
        // Keep the key as the file spells it; only the value changes.
        const std::string existingKey{lines_[line].name()};
        lines_[line] = Line(joined(existingKey, "=", sjisValue));
        return;
    }
    std::size_t insertAt = sectionEnd(header);
    while (insertAt > header + 1 && lines_[insertAt - 1].blank()) {
        --insertAt;
    }
    lines_.emplace(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   joined(sjisKey, "=", sjisValue));
}

} // namespace peterin
