#include "files/dat_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files/text_input.h"
#include "play/falling_pair.h"
#include "play/game.h"
#include "play/memory_budget.h"
#include "play/temp_store.h"
#include "rules/field.h"
#include "sequence/pair_sequence.h"
#include "settings/limits.h"
#include "storage/atomic_write.h"

namespace peterin {

namespace {

// Bounds of the [A] section.
constexpr int kMaxNextCountInFile = 250;
constexpr int kMaxNextColumnsInFile = 40;
constexpr int kMaxNextRowsInFile = 20;

std::string fileText(const std::filesystem::path& path) {
    return path.string();
}

Message fileMessage(const std::string& what, const std::filesystem::path& path,
                    const std::string& reason) {
    return Message{"「" + fileText(path) + "」" + what + "\n" + reason, "err",
                   MessageIcon::Warning};
}

// ---------------------------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------------------------

void writeRows(std::ostream& out, const Field& field, std::int32_t width, std::int32_t height) {
    for (std::int32_t r = -3; r < height; ++r) {
        out << cellRowText(field, width, r) << '\n';
    }
}

// One position's sections: both fields, both sequences.
void writePosition(std::ostream& out, const std::array<const PlayerState<Field>*, 2>& players,
                   const WriteOptions& options, const puzzle::Goal* goal) {
    if (options.map) {
        const Field& first = players[0]->field;
        out << "[M]\n" << first.width << ", " << first.height << '\n';
        writeRows(out, first, first.width, first.height);
        if (options.bothPlayers) {
            out << "[m]\n";
            writeRows(out, players[1]->field, first.width, first.height);
        }
    }
    if (options.next) {
        out << "[N]\n";
        writePattern(players[0]->sequence, out);
        if (options.bothPlayers) {
            out << "[n]\n";
            writePattern(players[1]->sequence, out);
        }
    }
    // After the position's own sections: a reader that does not know the tag stops here, with
    // the position and its pattern read.
    if (goal) {
        out << "[G]\n" << puzzle::goalText(*goal) << '\n';
    }
    if (options.tempSaves) {
        out << "[-]\n";
    }
}

// ---------------------------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------------------------

// A read-only stream buffer over a file descriptor; a read error ends the stream and is kept.
class FdBuf : public std::streambuf {
  public:
    explicit FdBuf(int fd) : fd_(fd) {}

    // The errno of the read that failed, or 0.
    int error() const { return error_; }

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        ssize_t n;
        do {
            n = ::read(fd_, buffer_, sizeof buffer_);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            error_ = errno;
        }
        if (n <= 0) {
            return traits_type::eof();
        }
        setg(buffer_, buffer_, buffer_ + n);
        return traits_type::to_int_type(buffer_[0]);
    }

  private:
    int fd_;
    int error_ = 0;
    char buffer_[8192];
};

// Opens a regular file for reading: its descriptor, or -1 and the reason. Devices and pipes
// are refused, since they may never end (or, opening a pipe, never start).
int openForReading(const std::filesystem::path& path, std::string& reason) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        reason = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        reason = std::strerror(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        reason = "Not a regular file";
    } else {
        return fd;
    }
    ::close(fd);
    return -1;
}

// Closes a descriptor at the end of a scope.
struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

// Why the game may not hold `bytes` (see settings/limits.h), or nothing when it may.
std::optional<std::string> whyBeyondCeiling(std::int64_t bytes) {
    if (bytes <= kMaxGameBytes) {
        return std::nullopt;
    }
    return "局面と一時保存に要るメモリ（約 " + std::to_string(bytes >> 20) + " MiB）が上限の " +
           std::to_string(kMaxGameBytes >> 20) + " MiB を超えます。";
}

// The fields, sequences and falling pairs that the sections of one position go into.
struct Targets {
    std::array<Field*, 2> fields{};
    std::array<PairSequence*, 2> sequences{};
    std::array<FallingPair*, 2> pairs{};
    bool live = true;
};

Targets targetsOf(std::array<PlayerState<Field>, kPlayerCount>& players, bool live) {
    Targets t;
    for (std::size_t p = 0; p < 2; ++p) {
        t.fields[p] = &players[p].field;
        t.sequences[p] = &players[p].sequence;
        t.pairs[p] = &players[p].fallingPair;
    }
    t.live = live;
    return t;
}

// Reads the sections of a position file into a DatContent. The game is only looked at: the live
// position is copied into the content before the first section changes it, and everything
// further goes into the copy.
class Parser {
  public:
    Parser(const Game& game, std::streambuf& in, TextModeBuf* lines, DatContent& content)
        : game_(game), in_(in), lines_(lines), content_(content),
          storedBytes_(storedBytes(game, game.settings.nextCount + 1)) {
        content_.settings = game.settings;
        content_.rng = game.rng;
    }

    void run() { readSections(); }

  private:
    Settings& settings() { return content_.settings; }
    const Settings& settings() const { return content_.settings; }

    // The live players as the file has left them so far.
    const PlayerState<Field>& livePlayer(std::size_t p) const {
        if (content_.live) {
            return (*content_.live)[p];
        }
        return game_.players[p];
    }

    // The copy of the live position the sections change, taken when the first one does.
    Targets liveTargets() {
        if (!content_.live) {
            auto& live = content_.live.emplace();
            for (std::size_t p = 0; p < kPlayerCount; ++p) {
                copyMembers(live[p], game_.players[p]);
            }
        }
        return targetsOf(*content_.live, true);
    }

    Targets& targets() {
        if (targets_.live) {
            targets_ = liveTargets();
        }
        return targets_;
    }

    // The memory the game would take with the live position at this size and queue length, the
    // positions stored before and those read so far, plus `extra`.
    std::int64_t projectedBytes(std::int64_t width, std::int64_t height, std::int64_t queueLength,
                                std::int64_t extra) const {
        return positionBytes(width, height, queueLength) + storedBytes_ + newSavesBytes_ + extra;
    }

    std::int64_t liveProjection(std::int64_t extra) const {
        const Field& live = livePlayer(0).field;
        return projectedBytes(live.width, live.height, settings().nextCount + 1, extra);
    }

    // Stops reading, for a refusal, when `bytes` is beyond the ceiling.
    bool withinBudget(std::int64_t bytes, std::int64_t tagLine) {
        if (const auto why = whyBeyondCeiling(bytes)) {
            refuse(tagLine, *why);
            return false;
        }
        return true;
    }

    void refuse(std::int64_t tagLine, std::string why) {
        content_.refusal = std::to_string(tagLine) + " 行目: " + why;
        stop(tagLine, "refused: " + why);
    }

    void readSections() {
        std::string line;
        while (true) {
            std::int64_t tagLine = 0;
            if (!readTagLine(line, tagLine)) {
                content_.report.complete = true;
                return;
            }
            if (line[0] != '[') {
                return stop(tagLine, "a line that is not a section tag");
            }
            const char tag = line.size() > 1 ? line[1] : '\0';
            if ((tag == 'M' || tag == 'N') && separators_ > 0 && !startedSinceSeparator_) {
                if (!withinBudget(liveProjection(liveSaveBytes()), tagLine)) {
                    return;
                }
                startTempPosition();
            }
            if (!section(tag, tagLine)) {
                return;
            }
        }
    }

    std::int64_t lineNumber() const { return lines_ ? lines_->lineNumber() : 0; }
    // The line just taken, for errors found after reading a whole line.
    std::int64_t lastLineNumber() const { return lines_ ? lines_->lastLineNumber() : 0; }

    // Skips blank lines; cuts the tag line at its first carriage return or line break.
    bool readTagLine(std::string& line, std::int64_t& lineNo) {
        while ((lineNo = lineNumber(), readBufferedLine(in_, line))) {
            if (line[0] == '\n' || line[0] == '\r' || line[0] == '\0') {
                continue;
            }
            line.resize(std::min(line.size(), line.find_first_of("\r\n")));
            return true;
        }
        return false;
    }

    void stop(std::int64_t line, std::string reason) {
        content_.report.stopLine = line;
        content_.report.stopReason = std::move(reason);
    }

    void took(char tag, std::int64_t line, std::string detail) {
        ReadReport& report = content_.report;
        ++report.sectionCount;
        if (report.sections.size() < ReadReport::kMostReportedSections) {
            report.sections.push_back({tag, line, position_, std::move(detail)});
        }
    }

    // A new temporary position starts with fields of the live size.
    std::int64_t liveSaveBytes() const {
        const Field& live = livePlayer(0).field;
        return positionBytes(live.width, live.height, settings().nextCount + 1);
    }

    // The first field or pattern after a [-] begins a temporary position; those of the file
    // replace whatever the store held.
    void startTempPosition() {
        content_.storeReplaced = true;
        content_.report.storeReplaced = true;
        newSavesBytes_ += liveSaveBytes();
        TempSave& save = content_.saves.emplace_back();
        const int queueLength = settings().nextCount + 1;
        for (std::size_t p = 0; p < 2; ++p) {
            const PlayerState<Field>& player = livePlayer(p);
            PlayerState<Field>& stored = save.players[p];
            // A position without an [M] section still gets a usable empty field of the live size.
            resizeField(stored.field, player.field.width, player.field.height, kLimboRows);
            stored.field.scoreRecord = player.field.scoreRecord;
            stored.fallingPair = player.fallingPair;
            putAtSpawn(stored.fallingPair, player.field);
            resize(stored.sequence, queueLength);
        }
        targets_ = targetsOf(save.players, false);
        startedSinceSeparator_ = true;
        ++position_;
        content_.report.tempPositions = position_;
    }

    bool section(char tag, std::int64_t tagLine) {
        switch (tag) {
        case '-':
            ++separators_;
            startedSinceSeparator_ = false;
            took('-', tagLine, "end of position");
            return true;
        case 'A':
            return nextCounts(tagLine);
        case 'S':
            return blobSize(tagLine);
        case 'M':
            return mainField(tagLine);
        case 'm':
            return secondField(tagLine);
        case 'N':
            return pattern(0, tagLine);
        case 'n':
            return pattern(1, tagLine);
        case 'G':
            return goal(tagLine);
        default:
            stop(tagLine, tag == '\0' ? std::string("a tag line without a tag letter")
                                      : std::string("an unknown section tag [") + tag + "]");
            return false;
        }
    }

    bool nextCounts(std::int64_t tagLine) {
        if (separators_ > 0) {
            stop(tagLine, "[A] is only valid before the first [-]");
            return false;
        }
        int v[3];
        if (!scanIntegers(in_, v, 3)) {
            stop(lineNumber(), "[A] needs three numbers written \"count, columns, rows\"");
            return false;
        }
        const int nextCount = std::clamp(v[0], 0, kMaxNextCountInFile);
        const Field& live = livePlayer(0).field;
        storedBytes_ = storedBytes(game_, nextCount + 1);
        if (!withinBudget(projectedBytes(live.width, live.height, nextCount + 1, 0), tagLine)) {
            return false;
        }
        // Every queue takes the new length: the live ones here, the stored ones and the turn
        // backup's when the content is applied, each resize in turn.
        for (PairSequence* sequence : liveTargets().sequences) {
            resize(*sequence, nextCount + 1);
        }
        content_.queueResizes.push_back(nextCount);
        Settings& s = settings();
        s.nextCount = nextCount;
        s.nextColumns = std::clamp(v[1], 1, kMaxNextColumnsInFile);
        s.nextRows = std::clamp(v[2], 1, kMaxNextRowsInFile);
        content_.layoutChanged = true;
        took('A', tagLine,
             std::to_string(s.nextCount) + " next pairs in " + std::to_string(s.nextColumns) +
                 " x " + std::to_string(s.nextRows));
        return true;
    }

    // One line: the goal of the live position, which makes it a puzzle.
    bool goal(std::int64_t tagLine) {
        if (separators_ > 0) {
            stop(tagLine, "[G] is only valid before the first [-]");
            return false;
        }
        std::string line;
        if (!readBufferedLine(in_, line)) {
            stop(tagLine, "the file ends before the goal of [G]");
            return false;
        }
        line.resize(std::min(line.size(), line.find('\n')));
        const puzzle::ParsedGoal parsed = puzzle::parseGoal(line);
        if (!parsed.goal) {
            stop(lastLineNumber(), "a goal that cannot be read: " + parsed.error);
            return false;
        }
        content_.goal = parsed.goal;
        took('G', tagLine, "puzzle goal " + puzzle::goalText(*parsed.goal));
        return true;
    }

    bool blobSize(std::int64_t tagLine) {
        if (separators_ > 0) {
            stop(tagLine, "[S] is only valid before the first [-]");
            return false;
        }
        int v[2];
        if (!scanIntegers(in_, v, 2)) {
            stop(lineNumber(), "[S] needs two numbers written \"width, height\"");
            return false;
        }
        Settings& s = settings();
        const int maxSize = std::max(1, s.maxCellSize);
        s.cellWidth = std::clamp(v[0], 1, maxSize);
        s.cellHeight = std::clamp(v[1], 1, maxSize);
        content_.layoutChanged = true;
        took('S', tagLine,
             "blob size " + std::to_string(s.cellWidth) + " x " + std::to_string(s.cellHeight));
        return true;
    }

    bool mainField(std::int64_t tagLine) {
        int v[2];
        if (!scanIntegers(in_, v, 2)) {
            stop(lineNumber(), "[M] needs the field size written \"width, height\"");
            return false;
        }
        const Settings& s = settings();
        const std::int32_t width = std::clamp(v[0], 1, std::max(1, s.maxFieldWidth));
        const std::int32_t height = std::clamp(v[1], 1, std::max(1, s.maxFieldHeight));
        if (const auto why = whyFieldTooLarge(width, height)) {
            refuse(tagLine, *why);
            return false;
        }
        const Field& current = targets_.live ? livePlayer(0).field : *targets_.fields[0];
        const std::int64_t queueLength = s.nextCount + 1;
        const std::int64_t change = positionBytes(width, height, queueLength) -
                                    positionBytes(current.width, current.height, queueLength);
        if (!withinBudget(liveProjection(change), tagLine)) {
            return false;
        }
        Targets& t = targets();
        if (!t.live) {
            newSavesBytes_ += change;
        }
        Field& first = *t.fields[0];
        if (width != first.width || height != first.height) {
            if (t.live) {
                changeFieldSize({&(*content_.live)[0], &(*content_.live)[1]}, settings(), width,
                                height);
                content_.layoutChanged = true;
            } else {
                // The falling pairs start where a pair starts in this position's own fields.
                for (std::size_t p = 0; p < 2; ++p) {
                    resizeField(*t.fields[p], width, height, kLimboRows);
                    putAtSpawn(*t.pairs[p], *t.fields[p]);
                }
            }
        }
        if (!readRows(*t.fields[0], first.width, first.height)) {
            return false;
        }
        took('M', tagLine,
             "1P field " + std::to_string(first.width) + " x " + std::to_string(first.height));
        return true;
    }

    bool secondField(std::int64_t tagLine) {
        Targets& t = targets();
        const Field& first = *t.fields[0];
        if (!readRows(*t.fields[1], first.width, first.height)) {
            return false;
        }
        took('m', tagLine,
             "2P field " + std::to_string(first.width) + " x " + std::to_string(first.height));
        return true;
    }

    // Rows -3 to height - 1, each exactly `width` characters and a line break. Letters outside
    // the table leave their cell as it was. The cells are written together once the rows end
    // (or fail), which is the same as writing each in turn but counts each group only once.
    bool readRows(Field& field, std::int32_t width, std::int32_t height) {
        writes_.clear();
        const bool ok = scanRows(width, height);
        setCells(field, writes_);
        return ok;
    }

    bool scanRows(std::int32_t width, std::int32_t height) {
        for (std::int32_t r = -3; r < height; ++r) {
            const std::int64_t rowLine = lineNumber();
            for (std::int32_t x = 0; x < width; ++x) {
                const int c = in_.sbumpc();
                if (c == std::char_traits<char>::eof()) {
                    stop(rowLine, "the file ends inside the cell rows");
                    return false;
                }
                if (const auto kind = kindFromLetter(static_cast<char>(c))) {
                    writes_.push_back({x, r, *kind});
                }
            }
            const int end = in_.sbumpc();
            if (end == std::char_traits<char>::eof()) {
                stop(rowLine,
                     "the file ends without a line break after cell row " + std::to_string(r));
                return false;
            }
            if (end != '\n') {
                stop(rowLine, "a cell row that is not " + std::to_string(width) +
                                  " characters long (row " + std::to_string(r) + ")");
                return false;
            }
        }
        return true;
    }

    bool pattern(int player, std::int64_t tagLine) {
        const auto p = static_cast<std::size_t>(player);
        Targets& t = targets();
        PairSequence& sequence = *t.sequences[p];
        if (const ParseError error = loadPattern(sequence, in_, content_.rng)) {
            content_.messages.push_back(*error);
            stop(lastLineNumber(), "a pair pattern error: " + error->text);
            return false;
        }
        loadPair(*t.pairs[p], sequence.queue.empty() ? Pair{} : sequence.queue.front());
        took(player == 0 ? 'N' : 'n', tagLine,
             std::string(player == 0 ? "1P" : "2P") + " pair pattern, first pair at position " +
                 std::to_string(sequence.queue.empty() ? 0 : sequence.queue.front().position));
        return true;
    }

    const Game& game_;
    std::streambuf& in_;
    TextModeBuf* lines_;
    DatContent& content_;
    Targets targets_; // live until the first temporary position; filled when first used
    int separators_ = 0;
    bool startedSinceSeparator_ = false;
    int position_ = 0;
    std::vector<CellWrite> writes_;

    // The memory ceiling: what the turn backup and the old store take (the old store stays until
    // the content is applied), and what the new positions take.
    std::int64_t storedBytes_ = 0;
    std::int64_t newSavesBytes_ = 0;
};

} // namespace

std::string cellRowText(const Field& field, std::int32_t width, std::int32_t row) {
    std::string text;
    for (std::int32_t x = 0; x < width; ++x) {
        text += kindLetter(getCell(field, x, row));
    }
    return text;
}

std::string formatFile(const Game& game, const WriteOptions& options, const puzzle::Goal* goal) {
    std::ostringstream out;
    const Settings& s = game.settings;
    if (options.blobSize) {
        out << "[S]\n" << s.cellWidth << ", " << s.cellHeight << '\n';
    }
    if (options.nextCounts) {
        out << "[A]\n" << s.nextCount << ", " << s.nextColumns << ", " << s.nextRows << '\n';
    }
    writePosition(out, {&game.players[0], &game.players[1]}, options, goal);
    if (options.tempSaves) {
        for (const TempSave& save : game.tempSaves) {
            writePosition(out, {&save.players[0], &save.players[1]}, options, nullptr);
        }
    }
    return out.str();
}

bool writeFile(const Game& game, const std::filesystem::path& path, const WriteOptions& options,
               const puzzle::Goal* goal) {
    if (const auto error = replaceFile(path, formatFile(game, options, goal))) {
        game.events.tell(fileMessage("に保存できませんでした。", path, *error));
        return false;
    }
    return true;
}

DatContent parseFile(const Game& game, std::streambuf& text) {
    DatContent content;
    Parser(game, text, dynamic_cast<TextModeBuf*>(&text), content).run();
    return content;
}

std::optional<std::string> checkFile(const DatContent& content) {
    return content.refusal;
}

void applyFile(Game& game, DatContent&& content) {
    // The stored positions and the turn backup take each queue length the file set, in turn, as
    // the live queues in the content did.
    for (const std::int32_t nextCount : content.queueResizes) {
        game.settings.nextCount = nextCount;
        resizeQueues(game);
    }
    game.settings = content.settings;
    if (content.live) {
        for (std::size_t p = 0; p < kPlayerCount; ++p) {
            static_cast<PlayerState<Field>&>(game.players[p]) = std::move((*content.live)[p]);
        }
        linkPlayers(game);
    }
    game.rng = content.rng;
    if (content.layoutChanged) {
        game.events.sizesChanged();
    }
    // The positions the file brought replace the store as a whole, also when reading stopped
    // part-way through them.
    if (content.storeReplaced) {
        tempReplaceAll(game, std::move(content.saves));
    }
    // The random-position box must not keep a value the file replaced.
    if (const auto& queue = game.players[0].sequence.queue; !queue.empty()) {
        game.events.randomPositionChanged(queue.front().position);
    }
}

namespace {

// Parses, checks and applies; `refused` words the message of a refusal.
template <class Refused>
ReadOutcome readContent(Game& game, std::streambuf& text, Refused&& refused) {
    DatContent content = parseFile(game, text);
    ReadOutcome outcome;
    outcome.report = content.report;
    outcome.messages = content.messages;
    if (const auto refusal = checkFile(content)) {
        outcome.messages.push_back(refused(*refusal));
        return outcome;
    }
    outcome.opened = true;
    outcome.goal = content.goal;
    outcome.positionRead = std::any_of(
        content.report.sections.begin(), content.report.sections.end(), [](const ReadSection& s) {
            return s.position == 0 &&
                   std::string_view("MmNnG").find(s.tag) != std::string_view::npos;
        });
    outcome.layoutChanged = content.layoutChanged;
    outcome.storeReplaced = content.storeReplaced;
    applyFile(game, std::move(content));
    return outcome;
}

} // namespace

ReadOutcome readFile(Game& game, const std::filesystem::path& path) {
    std::string reason;
    const int fd = openForReading(path, reason);
    if (fd < 0) {
        ReadOutcome outcome;
        outcome.messages.push_back(fileMessage("を開けませんでした。", path, reason));
        return outcome;
    }
    FdCloser closer{fd};
    FdBuf file(fd);
    TextModeBuf text(file);
    ReadOutcome outcome = readContent(game, text, [&](const std::string& refusal) {
        return fileMessage("は大きすぎるので読み込みませんでした。", path, refusal);
    });
    if (!outcome.opened) {
        return outcome;
    }
    if (file.error() != 0) {
        // Not the end of the file: what came before it was taken, but the user must know.
        const std::string why = std::strerror(file.error());
        outcome.report.complete = false;
        outcome.report.stopLine = text.lineNumber();
        outcome.report.stopReason = "a read error: " + why;
        outcome.messages.push_back(fileMessage("を最後まで読めませんでした。", path, why));
        outcome.opened = false;
        return outcome;
    }
    // What was read stays; the user is told it is not the whole file.
    if (const auto stopped = earlyStopMessage(path, outcome.report)) {
        outcome.messages.push_back(*stopped);
        outcome.stoppedEarly = true;
    }
    return outcome;
}

std::string stopText(const ReadReport& report) {
    return "stopped at line " + std::to_string(report.stopLine) + ": " + report.stopReason;
}

std::optional<Message> earlyStopMessage(const std::filesystem::path& path,
                                        const ReadReport& report) {
    if (report.complete || report.stopReason.empty()) {
        return std::nullopt;
    }
    return Message{"「" + fileText(path) + "」を最後まで読み込めませんでした。\n" +
                       stopText(report) + "\nそれより前の内容は読み込まれています。",
                   "err", MessageIcon::Warning};
}

std::optional<std::string> whyUnreadable(const std::filesystem::path& path) {
    std::string reason;
    const int fd = openForReading(path, reason);
    if (fd < 0) {
        return reason;
    }
    ::close(fd);
    return std::nullopt;
}

std::string pastedPositionText(std::string_view pasted) {
    std::string text;
    bool started = false;
    std::size_t at = 0;
    while (at < pasted.size()) {
        const std::size_t end = std::min(pasted.find('\n', at), pasted.size());
        std::string_view line = pasted.substr(at, end - at);
        at = end + 1;
        while (!line.empty() &&
               (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        if (line.starts_with("```")) {
            continue;
        }
        started = started || line.starts_with('[');
        if (started) {
            text.append(line);
            text += '\n';
        }
    }
    return text;
}

ReadOutcome readFile(Game& game, std::streambuf& text) {
    return readContent(game, text, [](const std::string& refusal) {
        return Message{"大きすぎるので読み込みませんでした。\n" + refusal, "err",
                       MessageIcon::Warning};
    });
}

} // namespace peterin
