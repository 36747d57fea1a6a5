#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "play/player_state.h"
#include "play/temp_save.h"
#include "puzzle/goal.h"
#include "rules/field.h"
#include "sequence/random.h"
#include "settings/message.h"
#include "settings/settings.h"

namespace peterin {

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

// The text of a position file for the game as it stands. Changes nothing. With a `goal` the live
// position is written as a puzzle: a [G] section with the goal follows its other sections.
std::string formatFile(const Game& game, const WriteOptions& options,
                       const puzzle::Goal* goal = nullptr);

// Writes the position file at `path`, replacing an existing file only once the new one is
// complete on disk. On failure the old file is left as it was, the user is told why through the
// game's interface, and false is returned.
bool writeFile(const Game& game, const std::filesystem::path& path, const WriteOptions& options,
               const puzzle::Goal* goal = nullptr);

// One section the reader took.
struct ReadSection {
    char tag = 0;          // the tag letter
    std::int64_t line = 0; // line of the tag
    int position = 0;      // 0 the live position, n the n-th temporary position of the file
    std::string detail;    // what it set, in words
};

// What a read came to, for tools that explain a file; the program itself never shows it.
struct ReadReport {
    // The first kMostReportedSections sections, so that what a read costs besides the position
    // does not grow with the file; `sectionCount` counts them all.
    static constexpr std::size_t kMostReportedSections = 1000;
    std::vector<ReadSection> sections;
    std::int64_t sectionCount = 0;
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

// What a position file holds, read against the game it is meant for but apart from it: the
// settings it sets, both live players as it leaves them (when it touches them), the stored
// positions it brings, where reading stopped and why, and the messages for the user. Reading
// stops silently at the first section it cannot use; what came before stays in the content.
struct DatContent {
    Settings settings; // the game's, with the sizes the file set
    // Each "表示可能数" an [A] section set, in file order: the stored queues take every one.
    std::vector<std::int32_t> queueResizes;
    // The live players as the file leaves them; nothing when no section changes them.
    std::optional<std::array<PlayerState<Field>, kPlayerCount>> live;
    ConventionalRandom rng;      // the game's, after the patterns drew from it
    std::vector<TempSave> saves; // the file's temporary positions, in file order
    bool storeReplaced = false;  // the saves replace the store (also when there are none)
    bool layoutChanged = false;  // the field size, the next pairs or the blob size changed
    ReadReport report;
    std::vector<Message> messages;    // the pattern errors, in the order they were found
    std::optional<puzzle::Goal> goal; // the live position's goal ([G]), when it is a puzzle
    // Why the file is refused whole: it asks for more memory than settings/limits.h allows. The
    // ceiling is held as the sections are read, so that what lies beyond it is never allocated.
    std::optional<std::string> refusal;
};

// Reads a position file into a content. Changes nothing; "\r\n" should already read as "\n"
// (see TextModeBuf).
DatContent parseFile(const Game& game, std::streambuf& text);
// Why the content must be refused whole ("LINE 行目: REASON"), or nothing when it may be applied.
std::optional<std::string> checkFile(const DatContent& content);
// Puts a content that passed the check into effect, whole: the settings, the live position,
// every queue's length, the store, the generator; lays the windows out again when a size
// changed and shows the new random position.
void applyFile(Game& game, DatContent&& content);

// What reading a file came to.
struct ReadOutcome {
    // The file was read and what it holds is in effect, also when reading stopped early.
    bool opened = false;
    ReadReport report;
    // What the user is to be told, in the order it is told: pattern errors, then why the file
    // could not be opened, was refused or not read to its end, or that reading stopped early.
    std::vector<Message> messages;
    // The last message says reading stopped early (what came before it is in effect).
    bool stoppedEarly = false;
    bool layoutChanged = false;
    bool storeReplaced = false;
    // The live position's goal, when the file holds a puzzle.
    std::optional<puzzle::Goal> goal;
    // A field or pattern of the live position was read: the position is the file's now.
    bool positionRead = false;
};

// Reads the position file at `path`: parse, check, apply. A file that cannot be opened, or that
// is refused for its memory, changes nothing; one that fails to read part-way keeps what was
// read before it and counts as not opened. Shows nothing: the messages are in the outcome.
ReadOutcome readFile(Game& game, const std::filesystem::path& path);

// Why the file at `path` cannot be read (it is missing, a folder, a device, ...), or nothing
// when it can. The reader gives the same reasons.
std::optional<std::string> whyUnreadable(const std::filesystem::path& path);

// The same from text already open; "\r\n" should already read as "\n" (see TextModeBuf).
ReadOutcome readFile(Game& game, std::streambuf& text);

// A position's text as it comes from the clipboard, made what a file would hold: whatever a
// chat put around it (lines before the first section tag, code fences, blanks at line ends,
// "\r\n") is left out, and the last line is ended.
std::string pastedPositionText(std::string_view pasted);

} // namespace peterin
