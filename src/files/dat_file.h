#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "settings/message.h"

namespace peterin {

struct Field;
struct Game;

// What a position file holds; the save dialog's six choices.
struct WriteOptions {
    bool map = true;          // [M]: 1P's field (and [m], 2P's, with bothPlayers)
    bool bothPlayers = false; // also 2P's field and pattern
    bool next = false;        // [N]: 1P's pair pattern (and [n], 2P's, with bothPlayers)
    bool tempSaves = false;   // every stored position after the live one, each ended by [-]
    bool nextCounts = false;  // [A]: the number of next pairs shown and their layout
    bool blobSize = false;    // [S]: the pixel size of one blob
};

// Row `row` (-3 to height - 1) of a field as a position file writes it: the letters of columns
// 0 to width - 1.
std::string cellRowText(const Field& field, std::int32_t width, std::int32_t row);

// The text of a position file for the game as it stands. Changes nothing.
std::string formatFile(const Game& game, const WriteOptions& options);

// Writes the position file at `path`, replacing an existing file only once the new one is
// complete on disk. On failure the old file is left as it was, the user is told why through the
// game's interface, and false is returned.
bool writeFile(const Game& game, const std::filesystem::path& path, const WriteOptions& options);

// One section the reader took.
struct ReadSection {
    char tag = 0;          // the tag letter
    std::int64_t line = 0; // line of the tag
    int position = 0;      // 0 the live position, n the n-th temporary position of the file
    std::string detail;    // what it set, in words
};

// What a read came to, for tools that explain a file; the program itself never shows it.
struct ReadReport {
    std::vector<ReadSection> sections;
    int tempPositions = 0; // temporary positions the file created
    bool storeReplaced = false;
    bool complete = false; // reading went on to the end of the file
    std::int64_t stopLine = 0;
    std::string stopReason; // why reading stopped early
};

// "stopped at line N: REASON" for a read that stopped before the end of its file.
std::string stopText(const ReadReport& report);

// What the user is told when reading `path` stopped at a line it could not use: the file, the
// line and the reason. Nothing for a file read to its end.
std::optional<Message> earlyStopMessage(const std::filesystem::path& path,
                                        const ReadReport& report);

// Reads a position file into the live position and the temporary-save store, section by
// section, stopping silently at the first section it cannot read (what came before stays).
// A file that would need more memory than settings/limits.h allows (a field too large, or
// stored positions beyond the total) is refused as a whole: nothing changes, the user is told
// why, and false is returned.
// Pattern errors are shown through the game's interface. A file that cannot be opened changes
// nothing; one that fails to read part-way keeps what was read before it. Either way the user is
// told why and false is returned.
bool readFile(Game& game, const std::filesystem::path& path, ReadReport* report = nullptr);

// Why the file at `path` cannot be read (it is missing, a folder, a device, ...), or nothing
// when it can. The reader gives the same reasons.
std::optional<std::string> whyUnreadable(const std::filesystem::path& path);

// The same from text already open; "\r\n" should already read as "\n" (see TextModeBuf).
void readFile(Game& game, std::streambuf& text, ReadReport* report = nullptr);

} // namespace peterin
