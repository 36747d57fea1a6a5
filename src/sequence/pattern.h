#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "sequence/random.h"
#include "settings/message.h"

namespace peterin {

// Shape codes of a pair and the end-of-cycle mark of a shape list.
inline constexpr int kShape2 = 0;  // two blobs, one above the other
inline constexpr int kShape3a = 1; // three blobs, the first colour twice
inline constexpr int kShape3b = 2; // three blobs, the second colour twice
inline constexpr int kShape4d = 3; // four blobs of two different colours
inline constexpr int kShape4a = 4; // four blobs of colour 1, no colour read
inline constexpr int kShapeEnd = 5;

// Colour-token codes; 1 to 5 are the colours red to purple themselves.
inline constexpr std::uint32_t kTokenRandom = 6; // `?`
inline constexpr std::uint32_t kTokenRepeat = 7; // `*`: the previous token again
inline constexpr std::uint32_t kTokenSeek = 8;   // `@`: the next entry is the position to seek to

// A compiled pair pattern: which colours are in use, the cycle of shapes and the colour tokens.
// A default-constructed pattern is the one every new sequence starts with: R, B, G, Y; `2`; `?*`.
struct PairPattern {
    std::vector<int> usedColours{1, 2, 3, 4};    // colour codes in the order R, B, G, Y, P; 1 to 5
    std::vector<int> shapes{kShape2, kShapeEnd}; // shape codes, always ended by kShapeEnd
    std::vector<std::uint32_t> tokens{kTokenRandom, kTokenRepeat}; // kTokenSeek is followed by
                                                                   // the position entry

    bool operator==(const PairPattern&) const = default;
};

// Empty on success, otherwise the message to show (caption "err", warning icon).
using ParseError = std::optional<Message>;

// Pattern lines are read through a 512-byte line buffer: at most 511 bytes, up to and including
// the first line break. Each parser below takes one such line; one that does not end in a line
// break means the text ended there (or the line was longer than the buffer). "\r\n" counts as a
// line break. Positions in messages count bytes from 1.
inline constexpr std::size_t kPatternLineBufferSize = 512;

// The used-colour line: replaces `usedColours` on success; a line that is only a line break
// keeps them. Fails, changing nothing, on a character other than R, B, G, Y, P among the first
// five, or when the text ends before five letters and no line break came.
ParseError parseUsedColours(std::string_view line, PairPattern& pattern);

// The shape line: replaces `shapes` (always ended by kShapeEnd, also after a failure). A line
// without any shape gives the single shape `2`.
ParseError parseShapes(std::string_view line, PairPattern& pattern);

// The colour-token line: replaces `tokens`; never fails. An `@` without digits seeks to a fresh
// value of `rng`.
void parseColourTokens(std::string_view line, PairPattern& pattern, ConventionalRandom& rng);

} // namespace peterin
