#include "files/dat_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files/atomic_write.h"
#include "files/text_input.h"
#include "play/falling_pair.h"
#include "play/game.h"
#include "play/memory_budget.h"
#include "play/temp_store.h"
#include "rules/field.h"
#include "sequence/pair_sequence.h"
#include "settings/limits.h"

namespace peterin {

namespace {

// Every field the system makes has one LimboArea row.
constexpr std::int32_t kLimboRows = 1;

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
                   const WriteOptions& options) {
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

// The fields, sequences and falling pairs that the sections of one position go into.
struct Targets {
    std::array<Field*, 2> fields{};
    std::array<PairSequence*, 2> sequences{};
    std::array<FallingPair*, 2> pairs{};
    bool live = true;
};

Targets liveTargets(Game& game) {
    Targets t;
    for (std::size_t p = 0; p < 2; ++p) {
        t.fields[p] = &game.players[p].field;
        t.sequences[p] = &game.players[p].sequence;
        t.pairs[p] = &game.players[p].fallingPair;
    }
    t.live = true;
    return t;
}

Targets saveTargets(TempSave& save) {
    Targets t;
    for (std::size_t p = 0; p < 2; ++p) {
        t.fields[p] = &save.players[p].field;
        t.sequences[p] = &save.players[p].sequence;
        t.pairs[p] = &save.players[p].fallingPair;
    }
    t.live = false;
    return t;
}

class Reader {
  public:
    Reader(Game& game, std::streambuf& in, TextModeBuf* lines, ReadReport* report)
        : game_(game), in_(in), lines_(lines), report_(report), targets_(liveTargets(game)),
          storedBytes_(storedBytes(game, game.settings.nextCount + 1)) {}

    void run() {
        readSections();
        if (refusal_) {
            undo();
            return;
        }
        // The positions the file brought replace the store as a whole, also when reading
        // stopped part-way through them.
        if (storeReplaced_) {
            tempReplaceAll(game_, std::move(newSaves_));
        }
        // The random-position box must not keep a value the file replaced.
        if (const auto& queue = game_.players[0].sequence.queue; !queue.empty()) {
            game_.ui.showRandomPosition(queue.front().position);
        }
    }

    // Why the file was refused as a whole (it asks for more memory than limits.h allows), or
    // nothing. A refused file has changed nothing.
    const std::optional<std::string>& refusal() const { return refusal_; }

  private:
    // Keeps what the live position and the settings were before the first section changes
    // them, so that a refusal further on can put everything back.
    void keepOld() {
        if (!oldLive_) {
            oldSettings_ = game_.settings;
            oldLive_.emplace();
            copyLiveInto(game_, *oldLive_);
        }
    }

    void undo() {
        if (!oldLive_) {
            return;
        }
        game_.settings = *oldSettings_;
        copyIntoLive(game_, *oldLive_);
        if (queuesResized_) {
            resizeQueues(game_); // back to the old length: the same pairs again
        }
        game_.ui.relayout();
        game_.ui.repaintMain();
    }

    // The memory the game would take with the live position at this size and queue length, the
    // positions stored before and those read so far, plus `extra`.
    std::int64_t projectedBytes(std::int64_t width, std::int64_t height, std::int64_t queueLength,
                                std::int64_t extra) const {
        return positionBytes(width, height, queueLength) + storedBytes_ + newSavesBytes_ + extra;
    }

    std::int64_t liveProjection(std::int64_t extra) const {
        const Field& live = game_.players[0].field;
        return projectedBytes(live.width, live.height, game_.settings.nextCount + 1, extra);
    }

    // Refuses the whole file when `bytes` is beyond the ceiling.
    bool withinBudget(std::int64_t bytes, std::int64_t tagLine) {
        if (bytes <= kMaxGameBytes) {
            return true;
        }
        refuse(tagLine, "局面と一時保存に要るメモリ（約 " + std::to_string(bytes >> 20) +
                            " MiB）が上限の " + std::to_string(kMaxGameBytes >> 20) +
                            " MiB を超えます。");
        return false;
    }

    void refuse(std::int64_t tagLine, std::string why) {
        refusal_ = std::to_string(tagLine) + " 行目: " + why;
        stop(tagLine, "refused: " + why);
    }

    void readSections() {
        std::string line;
        while (true) {
            std::int64_t tagLine = 0;
            if (!readTagLine(line, tagLine)) {
                if (report_) {
                    report_->complete = true;
                }
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
        if (report_) {
            report_->stopLine = line;
            report_->stopReason = std::move(reason);
        }
    }

    void took(char tag, std::int64_t line, std::string detail) {
        if (report_) {
            report_->sections.push_back({tag, line, position_, std::move(detail)});
        }
    }

    // A new temporary position starts with fields of the live size.
    std::int64_t liveSaveBytes() const {
        const Field& live = game_.players[0].field;
        return positionBytes(live.width, live.height, game_.settings.nextCount + 1);
    }

    // The first field or pattern after a [-] begins a temporary position; those of the file
    // replace whatever the store held.
    void startTempPosition() {
        if (!storeReplaced_) {
            storeReplaced_ = true;
            if (report_) {
                report_->storeReplaced = true;
            }
        }
        newSavesBytes_ += liveSaveBytes();
        TempSave& save = newSaves_.emplace_back();
        const int queueLength = game_.settings.nextCount + 1;
        for (std::size_t p = 0; p < 2; ++p) {
            const Player& player = game_.players[p];
            // A position without an [M] section still gets a usable empty field of the live size.
            PlayerState<Field>& stored = save.players[p];
            resizeField(stored.field, player.field.width, player.field.height, kLimboRows);
            stored.field.scoreRecord = player.field.scoreRecord;
            stored.fallingPair = player.fallingPair;
            putAtSpawn(stored.fallingPair, player.field);
            resize(stored.sequence, queueLength);
        }
        targets_ = saveTargets(save);
        startedSinceSeparator_ = true;
        ++position_;
        if (report_) {
            report_->tempPositions = position_;
        }
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
        const Field& live = game_.players[0].field;
        storedBytes_ = storedBytes(game_, nextCount + 1);
        if (!withinBudget(projectedBytes(live.width, live.height, nextCount + 1, 0), tagLine)) {
            return false;
        }
        keepOld();
        Settings& s = game_.settings;
        s.nextCount = nextCount;
        resizeQueues(game_);
        queuesResized_ = true;
        s.nextColumns = std::clamp(v[1], 1, kMaxNextColumnsInFile);
        s.nextRows = std::clamp(v[2], 1, kMaxNextRowsInFile);
        game_.ui.relayout();
        took('A', tagLine,
             std::to_string(s.nextCount) + " next pairs in " + std::to_string(s.nextColumns) +
                 " x " + std::to_string(s.nextRows));
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
        keepOld();
        Settings& s = game_.settings;
        const int maxSize = std::max(1, s.maxCellSize);
        s.cellWidth = std::clamp(v[0], 1, maxSize);
        s.cellHeight = std::clamp(v[1], 1, maxSize);
        game_.ui.relayout();
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
        const Settings& s = game_.settings;
        const std::int32_t width = std::clamp(v[0], 1, std::max(1, s.maxFieldWidth));
        const std::int32_t height = std::clamp(v[1], 1, std::max(1, s.maxFieldHeight));
        Field& first = *targets_.fields[0];
        if (const auto why = whyFieldTooLarge(width, height)) {
            refuse(tagLine, *why);
            return false;
        }
        const std::int64_t queueLength = game_.settings.nextCount + 1;
        const std::int64_t change = positionBytes(width, height, queueLength) -
                                    positionBytes(first.width, first.height, queueLength);
        if (!withinBudget(liveProjection(change), tagLine)) {
            return false;
        }
        if (targets_.live) {
            keepOld();
        } else {
            newSavesBytes_ += change;
        }
        if (width != first.width || height != first.height) {
            if (targets_.live) {
                changeFieldSize(game_, width, height);
                game_.ui.relayout();
            } else {
                // The falling pairs start where a pair starts in this position's own fields.
                for (std::size_t p = 0; p < 2; ++p) {
                    resizeField(*targets_.fields[p], width, height, kLimboRows);
                    putAtSpawn(*targets_.pairs[p], *targets_.fields[p]);
                }
            }
        }
        if (!readRows(*targets_.fields[0], first.width, first.height)) {
            return false;
        }
        took('M', tagLine,
             "1P field " + std::to_string(first.width) + " x " + std::to_string(first.height));
        return true;
    }

    bool secondField(std::int64_t tagLine) {
        if (targets_.live) {
            keepOld();
        }
        const Field& first = *targets_.fields[0];
        if (!readRows(*targets_.fields[1], first.width, first.height)) {
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
        if (targets_.live) {
            keepOld();
        }
        PairSequence& sequence = *targets_.sequences[p];
        if (const ParseError error = loadPattern(sequence, in_, game_.rng)) {
            game_.ui.showMessage(*error);
            stop(lastLineNumber(), "a pair pattern error: " + error->text);
            return false;
        }
        loadPair(*targets_.pairs[p], sequence.queue.empty() ? Pair{} : sequence.queue.front());
        took(player == 0 ? 'N' : 'n', tagLine,
             std::string(player == 0 ? "1P" : "2P") + " pair pattern, first pair at position " +
                 std::to_string(sequence.queue.empty() ? 0 : sequence.queue.front().position));
        return true;
    }

    Game& game_;
    std::streambuf& in_;
    TextModeBuf* lines_;
    ReadReport* report_;
    Targets targets_;
    int separators_ = 0;
    bool startedSinceSeparator_ = false;
    bool storeReplaced_ = false;
    int position_ = 0;
    std::vector<CellWrite> writes_;
    std::vector<TempSave> newSaves_; // the file's temporary positions, in file order

    // The memory ceiling: what the turn backup and the old store take (the old store stays until
    // the read is over), and what the new positions take.
    std::int64_t storedBytes_ = 0;
    std::int64_t newSavesBytes_ = 0;
    std::optional<std::string> refusal_;
    std::optional<Settings> oldSettings_;
    std::optional<TempSave> oldLive_;
    bool queuesResized_ = false;
};

} // namespace

std::string cellRowText(const Field& field, std::int32_t width, std::int32_t row) {
    std::string text;
    for (std::int32_t x = 0; x < width; ++x) {
        text += kindLetter(getCell(field, x, row));
    }
    return text;
}

std::string formatFile(const Game& game, const WriteOptions& options) {
    std::ostringstream out;
    const Settings& s = game.settings;
    if (options.blobSize) {
        out << "[S]\n" << s.cellWidth << ", " << s.cellHeight << '\n';
    }
    if (options.nextCounts) {
        out << "[A]\n" << s.nextCount << ", " << s.nextColumns << ", " << s.nextRows << '\n';
    }
    writePosition(out, {&game.players[0], &game.players[1]}, options);
    if (options.tempSaves) {
        for (const TempSave& save : game.tempSaves) {
            writePosition(out, {&save.players[0], &save.players[1]}, options);
        }
    }
    return out.str();
}

bool writeFile(const Game& game, const std::filesystem::path& path, const WriteOptions& options) {
    if (const auto error = replaceFile(path, formatFile(game, options))) {
        game.ui.showMessage(fileMessage("に保存できませんでした。", path, *error));
        return false;
    }
    return true;
}

bool readFile(Game& game, const std::filesystem::path& path, ReadReport* report) {
    std::string reason;
    const int fd = openForReading(path, reason);
    if (fd < 0) {
        game.ui.showMessage(fileMessage("を開けませんでした。", path, reason));
        return false;
    }
    FdCloser closer{fd};
    FdBuf file(fd);
    TextModeBuf text(file);
    Reader reader(game, text, &text, report);
    reader.run();
    if (reader.refusal()) {
        game.ui.showMessage(
            fileMessage("は大きすぎるので読み込みませんでした。", path, *reader.refusal()));
        return false;
    }
    if (file.error() != 0) {
        // Not the end of the file: what came before it was taken, but the user must know.
        const std::string why = std::strerror(file.error());
        if (report) {
            report->complete = false;
            report->stopLine = text.lineNumber();
            report->stopReason = "a read error: " + why;
        }
        game.ui.showMessage(fileMessage("を最後まで読めませんでした。", path, why));
        return false;
    }
    return true;
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

void readFile(Game& game, std::streambuf& text, ReadReport* report) {
    Reader reader(game, text, dynamic_cast<TextModeBuf*>(&text), report);
    reader.run();
    if (reader.refusal()) {
        game.ui.showMessage({"大きすぎるので読み込みませんでした。\n" + *reader.refusal(), "err",
                             MessageIcon::Warning});
    }
}

} // namespace peterin
