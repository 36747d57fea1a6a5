#include "records/record.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <limits>
#include <sstream>

#include "play/battle.h"
#include "play/player_state.h"
#include "rules/field.h"

namespace peterin {

namespace {

constexpr std::string_view kMagic = "ぺてりん記録";
// Version 2 adds the rule 勝敗あり to the rules line.
constexpr int kFirstVersion = 1;
constexpr int kDecisiveVersion = 2;
constexpr std::int32_t kMaxNextCount = 250; // as a position file allows
constexpr std::int64_t kMaxTickRepeat = 1'000'000;

constexpr char kActionLetters[kPairActionCount + 1] = "<>vRLQ"; // in PairAction order

char actionLetter(PairAction action) {
    return kActionLetters[static_cast<int>(action)];
}

// --- Writing -------------------------------------------------------------------------------

std::string pairText(const Pair& pair) {
    std::string text = std::to_string(pair.position) + ':' + std::to_string(pair.shape) + ':';
    for (const int slot : pair.slot) {
        text += static_cast<char>('0' + slot);
    }
    return text;
}

std::string listText(const std::vector<std::uint32_t>& values) {
    if (values.empty()) {
        return "-";
    }
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += std::to_string(values[i]);
    }
    return text;
}

std::string generatorText(const RandomState& random, std::size_t cursor, std::size_t shape) {
    return std::to_string(random.position) + ':' + std::to_string(cursor) + ':' +
           std::to_string(shape);
}

void writeSequence(std::ostringstream& out, const PairSequence& s) {
    const PairPattern& pattern = s.pattern;
    std::string colours;
    for (const int colour : pattern.usedColours) {
        colours += kCellLetters[colour];
    }
    std::vector<std::uint32_t> shapes(pattern.shapes.begin(), pattern.shapes.end() - 1);
    out << "pattern " << colours << ' ' << listText(shapes) << ' ' << listText(pattern.tokens)
        << '\n';
    out << "generator " << generatorText(s.tailState, s.tailCursor, s.shapeIndex) << ' '
        << generatorText(s.headState, s.headCursor, s.headShapeIndex) << '\n';
    const auto pairs = [&](const char* tag, const std::deque<Pair>& list) {
        out << tag;
        for (const Pair& pair : list) {
            out << ' ' << pairText(pair);
        }
        out << '\n';
    };
    pairs("queue", s.queue);
    pairs("held", s.held);
    out << "origins";
    for (const GeneratorState& origin : s.origins) {
        out << ' ' << generatorText(origin.random, origin.cursor, origin.shapeIndex);
    }
    out << '\n';
}

void writePlayer(std::ostringstream& out, int index, const PlayerSnapshot& p) {
    out << "player " << index << ' ' << static_cast<int>(p.phase) << ' ' << p.chainCount << ' '
        << p.pendingNuisance << ' ' << p.attackState << ' ' << p.waitingForPartner << ' '
        << p.countdown << ' ' << p.score << ' ' << p.nuisanceRowsLeft << '\n';
    out << "tally " << p.tally.base << ' ' << p.tally.cleared << ' ' << p.tally.colourMask << ' '
        << p.tally.groupBonus << '\n';
    out << "shown " << p.shownStatus.chainCount << ' ' << p.shownStatus.score << '\n';
    const FallingPair& pair = p.fallingPair;
    out << "falling " << pair.x << ' ' << pair.row << ' ' << pair.shape << ' ';
    for (const CellKind kind : pair.cells) {
        out << kindLetter(kind);
    }
    out << '\n';
    writeSequence(out, p.sequence);
    Field field;
    putCells(field, p.field);
    out << "field " << field.width << ' ' << field.height << '\n';
    for (std::int32_t r = field.topRow(); r < field.height; ++r) {
        out << "| ";
        for (std::int32_t x = 0; x < field.width; ++x) {
            out << kindLetter(getCell(field, x, r));
        }
        out << '\n';
    }
}

// Ticks as tokens: a player's digit, or a short run of digits repeated ("01*40").
std::string ticksText(const std::string& players) {
    std::string text = "t";
    std::size_t i = 0;
    while (i < players.size()) {
        std::size_t bestLength = 1;
        std::size_t bestRepeats = 1;
        for (std::size_t length = 1; length <= 2 && i + length <= players.size(); ++length) {
            std::size_t repeats = 1;
            while (i + (repeats + 1) * length <= players.size() &&
                   players.compare(i + repeats * length, length, players, i, length) == 0 &&
                   repeats < static_cast<std::size_t>(kMaxTickRepeat)) {
                ++repeats;
            }
            if (repeats >= 2 && repeats * length > bestRepeats * bestLength) {
                bestLength = length;
                bestRepeats = repeats;
            }
        }
        text += ' ';
        text.append(players, i, bestLength);
        if (bestRepeats > 1) {
            text += '*' + std::to_string(bestRepeats);
        }
        i += bestLength * bestRepeats;
    }
    return text;
}

std::string dateText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// --- Reading -------------------------------------------------------------------------------

struct Refused {
    std::string reason;
};

// The words of one line.
class Line {
  public:
    explicit Line(std::string_view text) : text_(text) {}

    bool done() {
        while (at_ < text_.size() && text_[at_] == ' ') {
            ++at_;
        }
        return at_ >= text_.size();
    }
    std::string_view word() {
        while (at_ < text_.size() && text_[at_] == ' ') {
            ++at_;
        }
        const std::size_t from = at_;
        while (at_ < text_.size() && text_[at_] != ' ') {
            ++at_;
        }
        if (from == at_) {
            throw Refused{"the line ends too soon"};
        }
        return text_.substr(from, at_ - from);
    }
    std::string_view rest() {
        while (at_ < text_.size() && text_[at_] == ' ') {
            ++at_;
        }
        const std::string_view rest = text_.substr(at_);
        at_ = text_.size();
        return rest;
    }
    void end() {
        if (!done()) {
            throw Refused{"more on the line than it may hold"};
        }
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

template <class T> T numberIn(std::string_view text, T low, T high, const char* what) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
        throw Refused{std::string("not a valid ") + what + ": \"" + std::string(text) + "\""};
    }
    return value;
}

std::int32_t count(Line& line, const char* what) {
    return numberIn<std::int32_t>(line.word(), 0, std::numeric_limits<std::int32_t>::max(), what);
}

// Splits "a:b:c" or "a,b,c" into its parts.
std::vector<std::string_view> split(std::string_view text, char by) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(by, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) {
            return parts;
        }
        from = at + 1;
    }
}

Pair pairFrom(std::string_view text) {
    const auto parts = split(text, ':');
    if (parts.size() != 3 || parts[2].size() != 4) {
        throw Refused{"not a pair: \"" + std::string(text) + "\""};
    }
    Pair pair;
    pair.position = numberIn<std::uint32_t>(parts[0], 0, UINT32_MAX, "random position");
    pair.shape = numberIn<int>(parts[1], kShape2, kShape4a, "pair shape");
    for (std::size_t i = 0; i < 4; ++i) {
        pair.slot[i] = numberIn<int>(parts[2].substr(i, 1), 0, 5, "pair colour");
    }
    return pair;
}

RandomState randomAt(std::uint32_t position) {
    RandomState state;
    seek(state, position);
    return state;
}

// Which entries of the tokens are the positions of seeks, where no colour is read from.
std::vector<bool> seekEntries(const std::vector<std::uint32_t>& tokens) {
    std::vector<bool> entries(tokens.size() + 1, false);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] == kTokenSeek) {
            entries[++i] = true;
        }
    }
    return entries;
}

GeneratorState generatorFrom(std::string_view text, const PairPattern& pattern,
                             const std::vector<bool>& entries) {
    const auto parts = split(text, ':');
    if (parts.size() != 3) {
        throw Refused{"not a generator state: \"" + std::string(text) + "\""};
    }
    GeneratorState state;
    state.random = randomAt(numberIn<std::uint32_t>(parts[0], 0, UINT32_MAX, "random position"));
    state.cursor = numberIn<std::size_t>(parts[1], 0, pattern.tokens.size(), "token cursor");
    state.shapeIndex = numberIn<std::size_t>(parts[2], 0, pattern.shapes.size() - 2, "shape index");
    if (entries[state.cursor]) {
        throw Refused{"a token cursor on a seek's position"};
    }
    return state;
}

PairPattern patternFrom(Line& line) {
    PairPattern pattern;
    pattern.usedColours.clear();
    for (const char letter : line.word()) {
        const auto kind = kindFromLetter(letter);
        const int code = kind ? static_cast<int>(*kind) : 0;
        if (code < 1 || code > 5) {
            throw Refused{"not a colour of pairs: '" + std::string(1, letter) + "'"};
        }
        pattern.usedColours.push_back(code);
    }
    pattern.shapes.clear();
    for (const std::string_view shape : split(line.word(), ',')) {
        pattern.shapes.push_back(numberIn<int>(shape, kShape2, kShape4a, "pair shape"));
    }
    pattern.shapes.push_back(kShapeEnd);
    // As the pattern reader makes them: a seek is followed by its position, and a repeat
    // follows a colour token.
    pattern.tokens.clear();
    if (const std::string_view tokens = line.word(); tokens != "-") {
        bool entryDue = false;
        bool afterSeek = false;
        for (const std::string_view part : split(tokens, ',')) {
            if (entryDue) {
                pattern.tokens.push_back(
                    numberIn<std::uint32_t>(part, 0, UINT32_MAX, "seek position"));
                entryDue = false;
                afterSeek = true;
                continue;
            }
            const auto token = numberIn<std::uint32_t>(part, 1, kTokenSeek, "colour token");
            if (token == kTokenRepeat && (pattern.tokens.empty() || afterSeek)) {
                throw Refused{"a repeat with nothing to repeat"};
            }
            pattern.tokens.push_back(token);
            entryDue = token == kTokenSeek;
            afterSeek = false;
        }
        if (entryDue) {
            throw Refused{"a seek without its position"};
        }
    }
    line.end();
    return pattern;
}

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    ParsedRecord read() {
        ParsedRecord parsed;
        try {
            parsed.record = record();
            parsed.eventLines = std::move(eventLines_);
        } catch (const Refused& refused) {
            parsed.error = {line_, refused.reason};
        }
        return parsed;
    }

  private:
    Record record() {
        Record r;
        {
            Line header = next("the header");
            if (header.word() != kMagic) {
                throw Refused{"not a game record"};
            }
            const int version = numberIn<int>(header.word(), 0, 1'000'000, "version");
            if (version != kFirstVersion && version != kDecisiveVersion) {
                throw Refused{"a record of version " + std::to_string(version) +
                              ", which this program cannot read"};
            }
            header.end();
            version_ = version;
        }
        Line line = tagged("date");
        const std::string_view date = line.word();
        line.end();
        r.date = dateFrom(date);
        line = tagged("rules");
        RecordRules& rules = r.rules;
        rules.vanishCount = numberIn<std::int32_t>(line.word(), 1, INT32_MAX, "vanish count");
        rules.fieldWidth = numberIn<std::int32_t>(line.word(), 2, INT32_MAX, "field width");
        rules.fieldHeight = numberIn<std::int32_t>(line.word(), 1, INT32_MAX, "field height");
        rules.nextCount = numberIn<std::int32_t>(line.word(), 0, kMaxNextCount, "next count");
        rules.fallTicks = count(line, "tick count");
        rules.linkTicks = count(line, "tick count");
        rules.vanishTicks = count(line, "tick count");
        if (version_ >= kDecisiveVersion) {
            rules.decisive = numberIn<int>(line.word(), 0, 1, "choice") == 1;
        }
        line.end();
        if (const auto why = whyFieldTooLarge(rules.fieldWidth, rules.fieldHeight)) {
            throw Refused{*why};
        }
        line = tagged("mode");
        const std::string_view mode = line.word();
        line.end();
        if (mode != "play" && mode != "battle") {
            throw Refused{"not a mode of play: \"" + std::string(mode) + "\""};
        }
        r.start.mode = mode == "play" ? Mode::Play : Mode::Battle;
        line = tagged("one-person");
        r.start.onePersonBattle = numberIn<int>(line.word(), 0, 1, "choice") == 1;
        line.end();
        line = tagged("rng");
        r.start.rng.state = numberIn<std::uint32_t>(line.word(), 0, UINT32_MAX, "generator");
        line.end();
        for (int p = 0; p < kPlayerCount; ++p) {
            player(r, p);
        }
        events(r);
        return r;
    }

    std::int64_t dateFrom(std::string_view text) {
        if (text == "-") {
            return 0;
        }
        std::tm utc{};
        const std::string copy(text);
        const char* end = strptime(copy.c_str(), "%Y-%m-%dT%H:%M:%SZ", &utc);
        if (end == nullptr || *end != '\0') {
            throw Refused{"not a date: \"" + copy + "\""};
        }
        return static_cast<std::int64_t>(timegm(&utc));
    }

    void player(Record& r, int index) {
        Line line = tagged("player");
        if (numberIn<int>(line.word(), 0, kPlayerCount - 1, "player") != index) {
            throw Refused{"the players out of order"};
        }
        PlayerSnapshot& p = r.start.players[static_cast<std::size_t>(index)];
        p.phase =
            static_cast<Phase>(numberIn<std::int32_t>(line.word(), 0, 4, "phase of the turn"));
        p.chainCount = count(line, "chain count");
        p.pendingNuisance = count(line, "nuisance count");
        p.attackState = numberIn<std::int32_t>(line.word(), kAttackNone, kAttackDone, "attack");
        p.waitingForPartner = numberIn<std::int32_t>(line.word(), 0, 1, "waiting flag");
        p.countdown = count(line, "countdown");
        p.score = count(line, "score");
        p.nuisanceRowsLeft = count(line, "row count");
        line.end();
        // The turn cycle runs a busy player's phase on from its countdown; a record begins
        // with every player of its mode waiting for a pair, and so a replay can start there.
        const bool plays = index == 0 || r.start.mode == Mode::Battle;
        if (plays && p.phase != Phase::Idle) {
            throw Refused{"a record must begin with every player waiting for a pair"};
        }
        line = tagged("tally");
        p.tally = {count(line, "tally"), count(line, "tally"), count(line, "tally"),
                   count(line, "tally")};
        line.end();
        line = tagged("shown");
        p.shownStatus = {count(line, "chain count"), count(line, "score")};
        line.end();
        line = tagged("falling");
        FallingPair& pair = p.fallingPair;
        pair.x = numberIn<std::int32_t>(line.word(), -1'000'000, 1'000'000, "column");
        pair.row = numberIn<std::int32_t>(line.word(), -1'000'000, 1'000'000, "row");
        pair.shape = numberIn<std::int32_t>(line.word(), kShape2, kShape4a, "pair shape");
        const std::string_view cells = line.word();
        line.end();
        if (cells.size() != pair.cells.size()) {
            throw Refused{"a falling pair of " + std::to_string(cells.size()) + " cells"};
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto kind = kindFromLetter(cells[i]);
            if (!kind || static_cast<int>(*kind) > 5) {
                throw Refused{"not a colour of pairs: '" + std::string(1, cells[i]) + "'"};
            }
            pair.cells[i] = *kind;
        }
        sequence(r, p.sequence);
        field(r, p);
    }

    void sequence(const Record& r, PairSequence& s) {
        Line line = tagged("pattern");
        s.pattern = patternFrom(line);
        line = tagged("generator");
        const std::vector<bool> entries = seekEntries(s.pattern.tokens);
        const GeneratorState tail = generatorFrom(line.word(), s.pattern, entries);
        const GeneratorState head = generatorFrom(line.word(), s.pattern, entries);
        line.end();
        s.tailState = tail.random;
        s.tailCursor = tail.cursor;
        s.shapeIndex = tail.shapeIndex;
        s.headState = head.random;
        s.headCursor = head.cursor;
        s.headShapeIndex = head.shapeIndex;
        const auto pairs = [&](const char* tag, std::deque<Pair>& list) {
            Line l = tagged(tag);
            while (!l.done()) {
                list.push_back(pairFrom(l.word()));
            }
        };
        s.queue.clear();
        pairs("queue", s.queue);
        if (static_cast<std::int32_t>(s.queue.size()) != r.rules.nextCount + 1) {
            throw Refused{"a queue of " + std::to_string(s.queue.size()) +
                          " pairs where the rules show " + std::to_string(r.rules.nextCount) +
                          " next pairs"};
        }
        pairs("held", s.held);
        line = tagged("origins");
        while (!line.done()) {
            s.origins.push_back(generatorFrom(line.word(), s.pattern, entries));
        }
        if (s.origins.size() != s.queue.size() + s.held.size()) {
            throw Refused{"a generator state missing for a pair"};
        }
    }

    void field(const Record& r, PlayerSnapshot& p) {
        Line line = tagged("field");
        const std::int32_t width = count(line, "field width");
        const std::int32_t height = count(line, "field height");
        line.end();
        if (width != r.rules.fieldWidth || height != r.rules.fieldHeight) {
            throw Refused{"a field of another size than the rules'"};
        }
        Field field;
        if (resizeField(field, width, height, kLimboRows) != 0) {
            throw Refused{"a field too large"};
        }
        std::vector<CellWrite> writes;
        for (std::int32_t row = field.topRow(); row < height; ++row) {
            Line cells = tagged("|");
            const std::string_view letters = cells.rest();
            if (static_cast<std::int32_t>(letters.size()) != width) {
                throw Refused{"a row of " + std::to_string(letters.size()) + " cells in a field " +
                              std::to_string(width) + " wide"};
            }
            for (std::int32_t x = 0; x < width; ++x) {
                const auto kind = kindFromLetter(letters[static_cast<std::size_t>(x)]);
                if (!kind) {
                    throw Refused{"not a cell: '" +
                                  std::string(1, letters[static_cast<std::size_t>(x)]) + "'"};
                }
                writes.push_back({x, row, *kind});
            }
        }
        setCells(field, writes);
        // A full field may hold the pair over blobs (it is lost when dropped), never outside.
        if (!field.contains(p.fallingPair.x, p.fallingPair.row)) {
            throw Refused{"a falling pair outside the field"};
        }
        p.field = cellsOf(field);
    }

    void events(Record& r) {
        std::int64_t ticks = 0;
        for (;;) {
            Line line = next("the events");
            const std::string_view tag = line.word();
            if (tag == "end") {
                line.end();
                r.finished = true;
                if (!atEnd()) {
                    ++line_;
                    throw Refused{"more after the end of the game"};
                }
                return;
            }
            if (tag == "t") {
                RecordTicks run;
                while (!line.done()) {
                    tickToken(line.word(), run.players, ticks);
                }
                r.events.emplace_back(std::move(run));
            } else if (tag == "k") {
                RecordPairKey key;
                key.player = playerIn(r, line.word());
                const std::string_view action = line.word();
                const char* at =
                    action.size() == 1
                        ? std::char_traits<char>::find(kActionLetters, kPairActionCount, action[0])
                        : nullptr;
                if (at == nullptr) {
                    throw Refused{"not a pair key: \"" + std::string(action) + "\""};
                }
                key.action = static_cast<PairAction>(at - kActionLetters);
                r.events.emplace_back(key);
            } else if (tag == "w") {
                RecordWarning warning;
                const auto unit = numberIn<std::int32_t>(line.word(), 1, 30, "nuisance unit");
                if (std::none_of(kNuisanceUnits.begin(), kNuisanceUnits.end(),
                                 [&](NuisanceUnit u) { return static_cast<int>(u) == unit; })) {
                    throw Refused{"not a nuisance unit: " + std::to_string(unit)};
                }
                warning.unit = static_cast<NuisanceUnit>(unit);
                const std::string_view sign = line.word();
                if (sign != "+" && sign != "-") {
                    throw Refused{"not + or -: \"" + std::string(sign) + "\""};
                }
                warning.add = sign == "+";
                r.events.emplace_back(warning);
            } else if (tag == "d") {
                r.events.emplace_back(RecordDropNuisance{});
            } else if (tag == "=") {
                RecordTurn turn;
                turn.player = playerIn(r, line.word());
                turn.column = count(line, "column");
                turn.turn = numberIn<std::int32_t>(line.word(), 0, 4, "turn");
                turn.chain = count(line, "chain count");
                turn.score = count(line, "score");
                const std::string_view sum = line.word();
                const auto [end, error] =
                    std::from_chars(sum.data(), sum.data() + sum.size(), turn.checksum, 16);
                if (sum.size() != 8 || error != std::errc{} || end != sum.data() + sum.size()) {
                    throw Refused{"not a checksum: \"" + std::string(sum) + "\""};
                }
                r.events.emplace_back(turn);
            } else {
                throw Refused{"not a line of a record: \"" + std::string(tag) + "\""};
            }
            line.end();
            eventLines_.push_back(line_);
            if (atEnd()) {
                return; // cut short: the game was still running when it was written
            }
        }
    }

    int playerIn(const Record& r, std::string_view text) {
        return numberIn<int>(text, 0, r.start.mode == Mode::Battle ? 1 : 0, "player");
    }

    void tickToken(std::string_view token, std::string& players, std::int64_t& ticks) {
        const std::size_t star = token.find('*');
        const std::string_view run = token.substr(0, star);
        const std::int64_t repeats =
            star == std::string_view::npos
                ? 1
                : numberIn<std::int64_t>(token.substr(star + 1), 2, kMaxTickRepeat, "repeat");
        if (run.empty() || run.size() > 2 ||
            run.find_first_not_of("01") != std::string_view::npos) {
            throw Refused{"not a run of ticks: \"" + std::string(token) + "\""};
        }
        ticks += repeats * static_cast<std::int64_t>(run.size());
        if (ticks > kMaxRecordTicks) {
            throw Refused{"more ticks than a record may hold"};
        }
        for (std::int64_t i = 0; i < repeats; ++i) {
            players.append(run);
        }
    }

    // The next line, which must be there.
    Line next(const char* what) {
        if (atEnd()) {
            ++line_;
            throw Refused{std::string("the record ends before ") + what};
        }
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        std::string_view line = text_.substr(at_, end - at_);
        at_ = end + 1;
        ++line_;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return Line(line);
    }
    // The next line, which must begin with `tag`.
    Line tagged(const char* tag) {
        Line line = next((std::string("\"") + tag + "\"").c_str());
        if (line.word() != tag) {
            throw Refused{std::string("\"") + tag + "\" expected"};
        }
        return line;
    }
    bool atEnd() const { return at_ >= text_.size(); }

    std::string_view text_;
    std::size_t at_ = 0;
    std::int64_t line_ = 0;
    int version_ = kFirstVersion;
    std::vector<std::int64_t> eventLines_;
};

} // namespace

RecordRules rulesOf(const Settings& s) {
    return {s.vanishCount, s.fieldWidth, s.fieldHeight, s.nextCount,
            s.fallTicks,   s.linkTicks,  s.vanishTicks, decisive(s)};
}

void putRules(Settings& s, const RecordRules& r) {
    s.vanishCount = r.vanishCount;
    s.fieldWidth = r.fieldWidth;
    s.fieldHeight = r.fieldHeight;
    s.nextCount = r.nextCount;
    s.fallTicks = r.fallTicks;
    s.linkTicks = r.linkTicks;
    s.vanishTicks = r.vanishTicks;
}

RecordStart startOf(const Game& game) {
    const Snapshot snapshot = capture(game, false);
    return {game.mode, game.onePersonBattle, game.rng, snapshot.players};
}

int Record::turns() const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [](const RecordEvent& e) {
        return std::holds_alternative<RecordTurn>(e);
    }));
}

std::int32_t Record::largestChain() const {
    std::int32_t largest = 0;
    for (const RecordEvent& event : events) {
        if (const auto* turn = std::get_if<RecordTurn>(&event)) {
            largest = std::max(largest, turn->chain);
        }
    }
    return largest;
}

std::uint32_t fieldsChecksum(const Game& game) {
    std::uint32_t hash = 2166136261u; // FNV-1a
    const auto mix = [&](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            hash = (hash ^ ((value >> (8 * i)) & 0xFFu)) * 16777619u;
        }
    };
    for (const Player& player : game.players) {
        const Field& field = player.field;
        mix(static_cast<std::uint32_t>(field.width));
        mix(static_cast<std::uint32_t>(field.height));
        for (std::int32_t x = 0; x < field.width; ++x) {
            for (std::int32_t r = field.topRow(); r < field.height; ++r) {
                hash = (hash ^ static_cast<std::uint32_t>(getCell(field, x, r))) * 16777619u;
            }
        }
    }
    return hash;
}

std::string formatRecord(const Record& record) {
    std::ostringstream out;
    const RecordRules& rules = record.rules;
    out << kMagic << ' ' << (rules.decisive ? kDecisiveVersion : kFirstVersion) << '\n';
    out << "date " << (record.date ? dateText(record.date) : "-") << '\n';
    out << "rules " << rules.vanishCount << ' ' << rules.fieldWidth << ' ' << rules.fieldHeight
        << ' ' << rules.nextCount << ' ' << rules.fallTicks << ' ' << rules.linkTicks << ' '
        << rules.vanishTicks << (rules.decisive ? " 1" : "") << '\n';
    const RecordStart& start = record.start;
    out << "mode " << (start.mode == Mode::Battle ? "battle" : "play") << '\n';
    out << "one-person " << (start.onePersonBattle ? 1 : 0) << '\n';
    out << "rng " << start.rng.state << '\n';
    for (int p = 0; p < kPlayerCount; ++p) {
        writePlayer(out, p, start.players[static_cast<std::size_t>(p)]);
    }
    for (const RecordEvent& event : record.events) {
        if (const auto* ticks = std::get_if<RecordTicks>(&event)) {
            out << ticksText(ticks->players);
        } else if (const auto* key = std::get_if<RecordPairKey>(&event)) {
            out << "k " << key->player << ' ' << actionLetter(key->action);
        } else if (const auto* warning = std::get_if<RecordWarning>(&event)) {
            out << "w " << static_cast<int>(warning->unit) << ' ' << (warning->add ? '+' : '-');
        } else if (std::holds_alternative<RecordDropNuisance>(event)) {
            out << 'd';
        } else {
            const auto& turn = std::get<RecordTurn>(event);
            char sum[9];
            std::snprintf(sum, sizeof sum, "%08x", turn.checksum);
            out << "= " << turn.player << ' ' << turn.column << ' ' << turn.turn << ' '
                << turn.chain << ' ' << turn.score << ' ' << sum;
        }
        out << '\n';
    }
    if (record.finished) {
        out << "end\n";
    }
    return out.str();
}

ParsedRecord parseRecord(std::string_view text) {
    if (static_cast<std::int64_t>(text.size()) > kMaxRecordBytes) {
        return {std::nullopt, {}, {0, "larger than a record may be"}};
    }
    return Reader(text).read();
}

} // namespace peterin
