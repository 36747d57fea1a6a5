#include "sequence/pattern.h"

#include <array>
#include <cstdio>
#include <string>

namespace peterin {

namespace {

// Messages are formatted into a 128-byte buffer: at most 127 bytes, never cutting a UTF-8
// character in two.
constexpr std::size_t kMessageLimit = 127;

Message errorMessage(std::string text) {
    if (text.size() > kMessageLimit) {
        std::size_t cut = kMessageLimit;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    return Message{std::move(text), "err", MessageIcon::Warning};
}

// How an offending character is shown in a message: itself when it is printable ASCII or starts
// a complete UTF-8 character, otherwise as \xNN so the message stays valid text.
std::string shownCharacter(std::string_view line, std::size_t at) {
    const auto lead = static_cast<unsigned char>(line[at]);
    if (lead >= 0x20 && lead < 0x7F) {
        return std::string(1, static_cast<char>(lead));
    }
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    bool complete = length > 0 && at + length <= line.size();
    for (std::size_t i = 1; complete && i < length; ++i) {
        complete = (static_cast<unsigned char>(line[at + i]) & 0xC0) == 0x80;
    }
    if (complete) {
        return std::string(line.substr(at, length));
    }
    std::array<char, 8> hex{};
    std::snprintf(hex.data(), hex.size(), "\\x%02X", lead);
    return hex.data();
}

// A line break ends the scan: "\n", or "\r\n" as a file written on Windows has it.
bool isLineBreak(std::string_view line, std::size_t at) {
    return line[at] == '\n' || (line[at] == '\r' && at + 1 < line.size() && line[at + 1] == '\n');
}

int colourOfLetter(char c) {
    switch (c) {
    case 'R':
        return 1;
    case 'B':
        return 2;
    case 'G':
        return 3;
    case 'Y':
        return 4;
    case 'P':
        return 5;
    default:
        return 0;
    }
}

std::string position(std::size_t at) {
    return std::to_string(at + 1);
}

} // namespace

ParseError parseUsedColours(std::string_view line, PairPattern& pattern) {
    std::array<bool, 6> used{};
    int read = 0;
    std::size_t at = 0;
    bool lineBreak = false;
    while (read < 5) {
        if (at >= line.size()) {
            break;
        }
        if (isLineBreak(line, at)) {
            lineBreak = true;
            break;
        }
        const int colour = colourOfLetter(line[at]);
        if (colour == 0) {
            return errorMessage("使用色指定" + position(at) + "文字目：書式エラー[\"" +
                                shownCharacter(line, at) + "\"]");
        }
        used[colour] = true;
        ++read;
        ++at;
    }
    if (read < 5 && !lineBreak) {
        return errorMessage("ツモパターンがありません");
    }
    if (read == 0) {
        return std::nullopt; // a bare line break keeps the colours in use
    }
    pattern.usedColours.clear();
    for (int colour = 1; colour <= 5; ++colour) {
        if (used[colour]) {
            pattern.usedColours.push_back(colour);
        }
    }
    return std::nullopt;
}

ParseError parseShapes(std::string_view line, PairPattern& pattern) {
    pattern.shapes.clear();
    ParseError error;
    bool lineBreak = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (isLineBreak(line, at)) {
            lineBreak = true;
            break;
        }
        const char c = line[at];
        const char before = at > 0 ? line[at - 1] : '\0';
        int shape = -1;
        switch (c) {
        case '2':
            shape = kShape2;
            break;
        case '3':
        case '4':
            continue; // they only qualify the letter after them
        case 'a':
            shape = before == '3' ? kShape3a : before == '4' ? kShape4a : -1;
            break;
        case 'b':
            shape = before == '3' ? kShape3b : -1;
            break;
        case 'd':
            shape = before == '4' ? kShape4d : -1;
            break;
        default:
            break;
        }
        if (shape >= 0) {
            pattern.shapes.push_back(shape);
            continue;
        }
        if ((c == 'a' || c == 'b' || c == 'd') && at > 0) {
            // A suffix after the wrong character: the message names that character with the
            // suffix, at the character's position.
            error = errorMessage("ツモパターン" + position(at - 1) + "文字目：書式エラー[\"" +
                                 shownCharacter(line, at - 1) + c + "\"]");
        } else {
            // Any other character, and a suffix with nothing before it, is named by itself.
            error = errorMessage("ツモパターン" + position(at) + "文字目：書式エラー[\"" +
                                 shownCharacter(line, at) + "\"]");
        }
        break;
    }
    if (!error && !lineBreak) {
        error = errorMessage("ツモ指定がありません");
    }
    if (!error && pattern.shapes.empty()) {
        pattern.shapes.push_back(kShape2); // a cycle needs a shape; `2` is the plain pair
    }
    pattern.shapes.push_back(kShapeEnd);
    return error;
}

void parseColourTokens(std::string_view line, PairPattern& pattern, ConventionalRandom& rng) {
    std::vector<std::uint32_t>& tokens = pattern.tokens;
    tokens.clear();
    bool afterSeek = false; // the last entry is the position of an `@` group
    std::size_t at = 0;
    while (at < line.size()) {
        const char c = line[at++];
        if (const int colour = colourOfLetter(c); colour != 0) {
            tokens.push_back(static_cast<std::uint32_t>(colour));
            afterSeek = false;
        } else if (c == '?') {
            tokens.push_back(kTokenRandom);
            afterSeek = false;
        } else if (c == '*') {
            // Nothing to repeat at the start, and the position of an `@` is not a token.
            if (!tokens.empty() && !afterSeek) {
                tokens.push_back(kTokenRepeat);
            }
        } else if (c == '@') {
            std::uint64_t value = 0;
            int digits = 0;
            while (digits < 31 && at < line.size() && line[at] >= '0' && line[at] <= '9') {
                if (value <= UINT32_MAX) { // beyond it the value saturates below
                    value = value * 10 + static_cast<std::uint64_t>(line[at] - '0');
                }
                ++digits;
                ++at;
            }
            if (value > UINT32_MAX) {
                value = UINT32_MAX;
            }
            tokens.push_back(kTokenSeek);
            tokens.push_back(digits > 0 ? static_cast<std::uint32_t>(value)
                                        : static_cast<std::uint32_t>(rng.rand()));
            afterSeek = true;
        }
    }
}

} // namespace peterin
