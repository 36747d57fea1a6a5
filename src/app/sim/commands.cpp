#include "app/sim/commands.h"

#include <bit>
#include <cstdio>
#include <vector>

#include "analysis/autoplay.h"
#include "analysis/hint.h"
#include "analysis/planner.h"
#include "app/sim/json.h"
#include "files/dat_file.h"
#include "play/commands.h"
#include "play/game.h"
#include "play/turn_cycle.h"
#include "puzzle/solver.h"
#include "records/record_folder.h"
#include "records/replay.h"
#include "rules/field.h"
#include "sequence/pair_sequence.h"

namespace peterin::sim {

namespace {

// The conventional generator is seeded as if the program had started at this time, so every
// run of the tool gives the same result.
constexpr std::int64_t kStartTime = 0;

// Messages are for a box; on a terminal each becomes one line.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

// The name in quotes, so that an empty one or one with blanks shows as it was given.
Outcome fileError(const std::string& path, const std::string& reason) {
    return {1, "", oneLine("peterin-sim: cannot read \"" + path + "\": " + reason) + "\n"};
}

// Reads a position file as the open command does; status 1 when it cannot be read. A read that
// stopped early is told on standard error, in one line of its own instead of the box's text.
Outcome readPositionFile(Headless& headless, const std::string& path, ReadReport& report) {
    if (const auto reason = whyUnreadable(path)) {
        return fileError(path, *reason);
    }
    headless.messages.clear();
    const OpenResult read = headless.session.openFile(path);
    report = read.report;
    if (!read.opened) {
        return {1, "", "peterin-sim: " + oneLine(headless.messages.back().text) + "\n"};
    }
    const auto stopped = earlyStopMessage(path, report);
    Outcome outcome;
    for (const Message& message : headless.messages) {
        if (!(stopped && message == *stopped)) {
            outcome.err += "peterin-sim: " + path + ": " + oneLine(message.text) + "\n";
        }
    }
    headless.messages.clear();
    if (!report.complete) {
        outcome.err += "peterin-sim: " + path + ": " + stopText(report) + "\n";
    }
    return outcome;
}

// A file of which not one section could be taken (random bytes, plain text) fails the command.
bool nothingTaken(const ReadReport& report) {
    return !report.complete && report.sections.empty();
}

std::vector<std::string> fieldRows(const Field& field) {
    std::vector<std::string> rows;
    for (std::int32_t r = -3; r < field.height; ++r) {
        rows.push_back(cellRowText(field, field.width, r));
    }
    return rows;
}

struct ChainStep {
    int chain = 0;
    int cleared = 0;
    int colours = 0;
    int groupBonus = 0;
    int score = 0;
    int nuisance = 0;
};

const char* shapeText(int shape) {
    static constexpr const char* kNames[] = {"2", "3a", "3b", "4d", "4a"};
    return shape >= 0 && shape < 5 ? kNames[shape] : "?";
}

// Appends `"name":value` to a JSON object being written, after a comma unless it is the first.
void appendMember(std::string& out, const char* name, long long value, bool comma = true) {
    out += comma ? ",\"" : "\"";
    out += name;
    out += "\":";
    out += std::to_string(value);
}

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Loads the settings of --ini into a game about to be initialised; an Outcome with status 1 when
// the file cannot be read.
// The settings of `ini`, read like 設定.ini; the defaults without one.
Outcome loadIni(Game& game, const std::optional<std::string>& ini) {
    if (ini) {
        if (const auto reason = whyUnreadable(*ini)) {
            return fileError(*ini, *reason);
        }
        if (const auto message = LoadSettings(game.settings, *ini)) {
            // The window's box ends by saying what it starts with instead; the tool stops.
            std::string text = message->text;
            if (const std::size_t last = text.rfind('\n');
                last != std::string::npos && text.ends_with("で始めます。")) {
                text.erase(last);
            }
            return fileError(*ini, text);
        }
    }
    return {};
}

// Reads `file` as the open command does; a file of which nothing could be taken fails.
Outcome readWholeOrPart(Headless& headless, const std::string& file) {
    ReadReport report;
    Outcome outcome = readPositionFile(headless, file, report);
    if (outcome.status == 0 && nothingTaken(report)) {
        outcome.status = 1;
    }
    return outcome;
}

// Play mode as the program enters it, run until 1P waits for its first pair.
Outcome startPlay(Headless& headless) {
    headless.session.apply(SetMode{Mode::Play});
    long ticks = 0;
    return runTurn(headless, ticks) ? Outcome{} : notSettled();
}

// startPlay on a field the engine searches.
Outcome startPlayForEngine(Headless& headless) {
    const Field& field = headless.game().players[0].field;
    if (!analysis::searchable(field)) {
        return {1, "",
                "peterin-sim: the field (" + std::to_string(field.width) + " x " +
                    std::to_string(field.height) + " and " +
                    plural(field.limboRows, "LimboArea row", "LimboArea rows") +
                    ") is too large for the engine: it searches at most " +
                    std::to_string(analysis::kSearchMaxWidth) + " columns and " +
                    std::to_string(analysis::kSearchMaxRows) + " rows, the LimboArea's included\n"};
    }
    return startPlay(headless);
}

// What one pair came to.
struct PlayedPair {
    bool lost = false;       // the drop found its pivot cell blocked
    std::int32_t chains = 0; // chain steps the turn cycle counted
    std::int32_t score = 0;  // the turn's score
};

// The pair key of `action` in the one-player key group.
std::uint8_t keyFor(const Settings& settings, PairAction action) {
    return settings.keys[static_cast<std::size_t>(pairKeyIndex(action, kKeyGroupSolo))];
}

// Plays `placement` for 1P as a player would: the pair keys through the session, the drop key,
// then the timer until 1P waits again. Nothing when the keys do not bring the pair where the
// placement says (nothing is dropped then), or the turn does not end.
std::optional<PlayedPair> playPair(Headless& headless, const analysis::Placement& placement) {
    const Game& game = headless.game();
    const Player& self = game.players[0];
    for (const PairAction move : placement.moves) {
        headless.session.keyDown(keyFor(game.settings, move));
    }
    if (!(self.fallingPair == placement.pair)) {
        return std::nullopt;
    }
    // The drop itself says nothing of a lost pair: a drop on copies tells.
    FallingPair pair = self.fallingPair;
    Field field;
    copyField(field, self.field);
    PlayedPair played;
    played.lost = dropPair(pair, field) != kPlaced;
    headless.session.keyDown(
        game.settings
            .keys[static_cast<std::size_t>(pairKeyIndex(PairAction::Down, kKeyGroupSolo))]);
    long ticks = 0;
    if (!runTurn(headless, ticks)) {
        return std::nullopt;
    }
    played.chains = self.chainCount;
    played.score = self.score;
    return played;
}

analysis::EngineOptions engineOptions(const EngineChoice& choice) {
    analysis::EngineOptions options;
    options.level = choice.level;
    options.nodes = choice.nodes;
    return options;
}

// The engine's value, short and stable in text and JSON.
std::string valueText(double value) {
    if (!(value > -1e300)) {
        return "null";
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", value);
    return buf;
}

} // namespace

Outcome notSettled() {
    return {1, "",
            "peterin-sim: the field did not settle within " + std::to_string(kMaxTicks) +
                " ticks\n"};
}

bool runTurn(Headless& headless, long& ticks, const std::function<void()>& eachTick) {
    const Player& self = headless.game().players[0];
    for (ticks = 0; headless.running(0) && self.phase != Phase::Idle; ++ticks) {
        if (ticks == kMaxTicks) {
            return false;
        }
        headless.tick(0);
        if (eachTick) {
            eachTick();
        }
    }
    return true;
}

Headless::Headless() {
    session.setView([this](const Changes& changes) {
        messages.insert(messages.end(), changes.messages.begin(), changes.messages.end());
        if (watch) {
            watch(changes);
        }
    });
}

// The session starts with the settings of `ini` (else the defaults) and plays at the normal
// speed, one tick a timeout, whatever speed the settings keep.
Outcome startSession(Headless& headless, const std::optional<std::string>& ini) {
    if (Outcome failed = loadIni(headless.game(), ini); failed.status != 0) {
        return failed;
    }
    headless.session.start(kStartTime);
    headless.session.apply(SetSpeed{PlaybackSpeed::Normal});
    return {};
}

Outcome startGame(Headless& headless, const std::string& file,
                  const std::optional<std::string>& ini) {
    if (Outcome failed = startSession(headless, ini); failed.status != 0) {
        return failed;
    }
    return readWholeOrPart(headless, file);
}

Outcome runResolve(const ResolveCommand& command) {
    Headless headless;
    Outcome outcome = startGame(headless, command.file, command.ini);
    if (outcome.status != 0) {
        return outcome;
    }

    // Enter play mode as the program does; its fall phase settles and resolves the field.
    const Game& game = headless.game();
    const Player& self = game.players[0];
    std::vector<ChainStep> steps;
    int chainBefore = 0;
    int scoreBefore = 0;
    int pending1P = 0;
    int pending2P = 0;
    const auto before = [&] {
        chainBefore = self.chainCount;
        scoreBefore = self.score;
        pending1P = game.players[0].pendingNuisance;
        pending2P = game.players[1].pendingNuisance;
    };
    headless.session.apply(SetMode{Mode::Play});
    before();
    long ticks = 0;
    const bool settled = runTurn(headless, ticks, [&] {
        if (self.chainCount != chainBefore) {
            // In play mode a step's nuisance first offsets what 2P had announced, the rest is
            // announced to 1P; together the two changes are what the step sent.
            const ScoreRecord& tally = self.scoreRecord;
            steps.push_back({self.chainCount, tally.cleared,
                             std::popcount(static_cast<unsigned>(tally.colourMask) & 0x3Eu),
                             tally.groupBonus, self.score - scoreBefore,
                             (game.players[0].pendingNuisance - pending1P) +
                                 (pending2P - game.players[1].pendingNuisance)});
        }
        before();
    });
    if (!settled) {
        return notSettled();
    }

    const auto rows = fieldRows(self.field);
    std::string& out = outcome.out;
    if (command.json) {
        out += "{\"steps\":[";
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const ChainStep& s = steps[i];
            out += i ? ",{" : "{";
            appendMember(out, "chain", s.chain, false);
            appendMember(out, "cleared", s.cleared);
            appendMember(out, "colours", s.colours);
            appendMember(out, "groupBonus", s.groupBonus);
            appendMember(out, "score", s.score);
            appendMember(out, "nuisance", s.nuisance);
            out += '}';
        }
        out += ']';
        appendMember(out, "chains", static_cast<long long>(steps.size()));
        appendMember(out, "score", self.score);
        appendMember(out, "ticks", ticks);
        out += ",\"field\":[";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            out += i ? "," : "";
            out += jsonString(rows[i]);
        }
        out += "]}\n";
        return outcome;
    }
    for (const ChainStep& s : steps) {
        out += "chain " + std::to_string(s.chain) + ": " + plural(s.cleared, "blob", "blobs") +
               " cleared, " + plural(s.colours, "colour", "colours") + ", group bonus " +
               std::to_string(s.groupBonus) + ", score " + std::to_string(s.score) + ", nuisance " +
               std::to_string(s.nuisance) + "\n";
    }
    out += plural(static_cast<int>(steps.size()), "chain", "chains") + ", score " +
           std::to_string(self.score) + ", " + plural(static_cast<int>(ticks), "tick", "ticks") +
           "\n";
    for (const std::string& row : rows) {
        out += row + "\n";
    }
    return outcome;
}

// Starts `game` at the random position `position`, then reads the pair pattern file if given,
// so its pattern (and its @ position) applies.
Outcome startAt(Headless& headless, int position, const std::optional<std::string>& pattern,
                const std::optional<std::string>& ini = std::nullopt) {
    if (Outcome failed = loadIni(headless.game(), ini); failed.status != 0) {
        return failed;
    }
    headless.game().settings.initialRandomPosition = position;
    if (Outcome failed = startSession(headless, std::nullopt); failed.status != 0) {
        return failed;
    }
    return pattern ? readWholeOrPart(headless, *pattern) : Outcome{};
}

Outcome runPairs(const PairsCommand& command) {
    Headless headless;
    Outcome outcome = startAt(headless, command.position, command.pattern);
    if (outcome.status != 0) {
        return outcome;
    }
    const Game& game = headless.game();
    PairSequence sequence;
    copy(sequence, game.players[0].sequence);
    std::string& out = outcome.out;
    out += command.json ? "[" : "";
    for (int i = 0; i < command.count; ++i) {
        const Pair pair = sequence.queue.empty() ? Pair{} : sequence.queue.front();
        if (command.json) {
            out += i ? ",{" : "{";
            appendMember(out, "position", pair.position, false);
            out += ",\"shape\":";
            out += jsonString(shapeText(pair.shape));
            out += ",\"slots\":[";
            for (std::size_t s = 0; s < 4; ++s) {
                out += s ? "," : "";
                out += std::to_string(pair.slot[s]);
            }
            out += "]}";
        } else {
            std::string slots;
            for (int code : pair.slot) {
                slots += code >= 0 && code <= 5 ? kCellLetters[code] : '?';
            }
            out += std::to_string(pair.position) + " " + shapeText(pair.shape) + " " + slots + "\n";
        }
        advance(sequence);
    }
    out += command.json ? "]\n" : "";
    return outcome;
}

Outcome runCheck(const CheckCommand& command) {
    Headless headless;
    startSession(headless, std::nullopt);
    const Game& game = headless.game();
    ReadReport report;
    Outcome outcome = readPositionFile(headless, command.file, report);
    if (outcome.status != 0) {
        return outcome;
    }
    // A file with nothing usable is still explained, and still fails.
    outcome.status = nothingTaken(report) ? 1 : 0;
    std::string& out = outcome.out;
    for (const ReadSection& s : report.sections) {
        out +=
            "line " + std::to_string(s.line) + ": [" + s.tag + "] " + s.detail +
            (s.position > 0 ? " (temporary position " + std::to_string(s.position - 1) + ")" : "") +
            "\n";
    }
    if (report.sectionCount > static_cast<std::int64_t>(report.sections.size())) {
        out += "... and " +
               std::to_string(report.sectionCount -
                              static_cast<std::int64_t>(report.sections.size())) +
               " more\n";
    }
    out += plural(static_cast<int>(report.sectionCount), "section", "sections") + " read; " +
           plural(report.tempPositions, "temporary position", "temporary positions") +
           (report.storeReplaced ? " (they replace the stored positions)"
                                 : " (the stored positions are kept)") +
           "\n";
    const Settings& s = game.settings;
    out += "field " + std::to_string(s.fieldWidth) + " x " + std::to_string(s.fieldHeight) +
           ", blob size " + std::to_string(s.cellWidth) + " x " + std::to_string(s.cellHeight) +
           ", " + std::to_string(s.nextCount) + " next pairs in " + std::to_string(s.nextColumns) +
           " x " + std::to_string(s.nextRows) + "\n";
    if (report.complete) {
        out += "read to the end\n";
    } else {
        out += stopText(report) + "; everything before it was taken\n";
    }
    return outcome;
}

} // namespace peterin::sim

namespace peterin::sim {

Outcome runSuggest(const SuggestCommand& command) {
    Headless headless;
    Outcome outcome = startGame(headless, command.file, command.ini);
    if (outcome.status != 0) {
        return outcome;
    }
    if (Outcome failed = startPlayForEngine(headless); failed.status != 0) {
        return failed;
    }
    const std::vector<analysis::Suggestion> ranked =
        analysis::plan(analysis::hintRequestFor(headless.game(), 0), engineOptions(command.engine));
    const std::size_t shown = std::min(ranked.size(), static_cast<std::size_t>(command.count));
    std::string& out = outcome.out;
    out += command.json ? "[" : "";
    for (std::size_t i = 0; i < shown; ++i) {
        const analysis::Suggestion& s = ranked[i];
        if (command.json) {
            out += i ? ",{" : "{";
            appendMember(out, "column", s.placement.column, false);
            appendMember(out, "turn", s.placement.turn);
            out += ",\"value\":" + valueText(s.value);
            appendMember(out, "chain", s.fired.chains);
            out += std::string(",\"losing\":") + (s.losing ? "true" : "false") + "}";
        } else {
            out += "column " + std::to_string(s.placement.column) + " turn " +
                   std::to_string(s.placement.turn) + " value " + valueText(s.value) + " chain " +
                   std::to_string(s.fired.chains) +
                   (s.losing ? " (a pair could be lost after it)" : "") + "\n";
        }
    }
    out += command.json ? "]\n" : "";
    return outcome;
}

Outcome runAutoplay(const AutoplayCommand& command) {
    Headless headless;
    Outcome outcome = startAt(headless, command.position, command.pattern, command.ini);
    if (outcome.status != 0) {
        return outcome;
    }
    if (Outcome failed = startPlayForEngine(headless); failed.status != 0) {
        return failed;
    }
    const Game& game = headless.game();
    const analysis::EngineOptions options = engineOptions(command.engine);
    std::string& out = outcome.out;
    int largest = 0;
    int lost = 0;
    long long total = 0;
    out += command.json ? "{\"turns\":[" : "";
    for (int i = 0; i < command.pairs; ++i) {
        const std::vector<analysis::Suggestion> ranked =
            analysis::plan(analysis::hintRequestFor(game, 0), options);
        const std::optional<PlayedPair> turn =
            ranked.empty() ? std::nullopt : playPair(headless, ranked.front().placement);
        if (!turn) {
            return {1, "",
                    "peterin-sim: pair " + std::to_string(i + 1) +
                        " could not be played where the engine put it\n"};
        }
        const analysis::Placement& p = ranked.front().placement;
        largest = std::max(largest, turn->chains);
        lost += turn->lost ? 1 : 0;
        total += turn->score;
        if (command.json) {
            out += i ? ",{" : "{";
            appendMember(out, "column", p.column, false);
            appendMember(out, "turn", p.turn);
            appendMember(out, "chain", turn->chains);
            appendMember(out, "score", turn->score);
            out += std::string(",\"lost\":") + (turn->lost ? "true" : "false") + "}";
        } else {
            out += "pair " + std::to_string(i + 1) + ": column " + std::to_string(p.column) +
                   " turn " + std::to_string(p.turn) +
                   (turn->lost ? ", lost"
                               : ", chain " + std::to_string(turn->chains) + ", score " +
                                     std::to_string(turn->score)) +
                   "\n";
        }
    }
    if (command.json) {
        out += "]";
        appendMember(out, "largestChain", largest);
        appendMember(out, "score", total);
        appendMember(out, "lostPairs", lost);
        out += "}\n";
    } else {
        out += "largest chain " + std::to_string(largest) + ", score " + std::to_string(total) +
               ", " + plural(lost, "pair", "pairs") + " lost\n";
    }
    if (command.record) {
        GameRecorder& recorder = headless.session.recorder();
        recorder.close(game);
        const Record* record = recorder.latest();
        const auto why = record ? saveRecord(*record, *command.record)
                                : std::optional<std::string>("no pair was played");
        if (why) {
            return {1, "",
                    "peterin-sim: the record could not be written to " + *command.record + ": " +
                        *why + "\n"};
        }
    }
    return outcome;
}

Outcome checkedReplay(const std::string& file, std::unique_ptr<Replay>& replay) {
    const LoadedRecord loaded = loadRecord(file);
    if (!loaded.record) {
        return {1, "", oneLine("peterin-sim: " + loaded.error) + "\n"};
    }
    replay = std::make_unique<Replay>(*loaded.record);
    if (const auto fault = replay->check()) {
        return {1, "",
                oneLine("peterin-sim: " + faultText(file, loaded.eventLines, *fault)) + "\n"};
    }
    return {};
}

Outcome runReplay(const ReplayCommand& command) {
    std::unique_ptr<Replay> checked;
    if (Outcome failed = checkedReplay(command.file, checked); failed.status != 0) {
        return failed;
    }
    Replay& replay = *checked;
    const std::vector<ReplayedTurn>& turns = replay.turns();
    const std::size_t shown = command.turn
                                  ? std::min(turns.size(), static_cast<std::size_t>(*command.turn))
                                  : turns.size();
    replay.seekTurn(static_cast<int>(shown));
    Outcome outcome;
    std::string& out = outcome.out;
    out += command.json ? "{\"turns\":[" : "";
    for (std::size_t i = 0; i < shown; ++i) {
        const ReplayedTurn& t = turns[i];
        if (command.json) {
            out += i ? ",{" : "{";
            appendMember(out, "player", t.turn.player, false);
            appendMember(out, "column", t.turn.column);
            appendMember(out, "turn", t.turn.turn);
            appendMember(out, "chain", t.turn.chain);
            appendMember(out, "score", t.turn.score);
            appendMember(out, "sent", t.sent);
            appendMember(out, "received", t.fell);
            out += '}';
        } else {
            out += "turn " + std::to_string(i + 1) + ": " + std::to_string(t.turn.player + 1) +
                   "P column " + std::to_string(t.turn.column) + " turn " +
                   std::to_string(t.turn.turn) + ", chain " + std::to_string(t.turn.chain) +
                   ", score " + std::to_string(t.turn.score) + ", nuisance sent " +
                   std::to_string(t.sent) + ", received " + std::to_string(t.fell) + "\n";
        }
    }
    const Game& game = replay.game();
    if (command.json) {
        out += "],\"fields\":[";
        for (int p = 0; p < kPlayerCount; ++p) {
            const auto rows = fieldRows(game.players[static_cast<std::size_t>(p)].field);
            out += p ? ",[" : "[";
            for (std::size_t i = 0; i < rows.size(); ++i) {
                out += i ? "," : "";
                out += jsonString(rows[i]);
            }
            out += ']';
        }
        out += "]}\n";
        return outcome;
    }
    for (int p = 0; p < kPlayerCount; ++p) {
        out += std::to_string(p + 1) + "P field:\n";
        for (const std::string& row : fieldRows(game.players[static_cast<std::size_t>(p)].field)) {
            out += row + "\n";
        }
    }
    return outcome;
}

namespace {

std::string counted(std::uint64_t n, const char* one, const char* many) {
    std::string text = std::to_string(n);
    text += ' ';
    text += n == 1 ? one : many;
    return text;
}

// "column 2 turn 0, column 3 turn 1": one solution's placements, pair by pair.
std::string solutionText(const puzzle::Solution& solution) {
    std::string text;
    for (std::size_t i = 0; i < solution.size(); ++i) {
        text += i ? ", " : "";
        text += "column " + std::to_string(solution[i].column) + " turn " +
                std::to_string(solution[i].turn);
    }
    return text;
}

std::string solutionJson(const puzzle::Solution& solution) {
    std::string json = "[";
    for (std::size_t i = 0; i < solution.size(); ++i) {
        json += i ? ",{" : "{";
        appendMember(json, "column", solution[i].column, false);
        appendMember(json, "turn", solution[i].turn);
        json += '}';
    }
    json += ']';
    return json;
}

} // namespace

Outcome runSolve(const SolveCommand& command) {
    Headless headless;
    Outcome outcome = startGame(headless, command.file, std::nullopt);
    if (outcome.status != 0) {
        return outcome;
    }
    std::optional<puzzle::Goal> goal = headless.session.goal();
    if (command.goal) {
        goal = puzzle::parseGoal(*command.goal).goal;
    }
    if (!goal) {
        outcome.status = 1;
        outcome.err += "peterin-sim: " + command.file +
                       " holds no goal (a [G] section); give one with --goal\n";
        return outcome;
    }
    puzzle::ProblemOf made = puzzle::problemOf(headless.game(), *goal);
    if (!made.problem) {
        outcome.status = 1;
        outcome.err += "peterin-sim: " + command.file + ": " + oneLine(made.error) + "\n";
        return outcome;
    }
    std::vector<puzzle::Solution> all;
    puzzle::SolveOptions options;
    if (command.all) {
        options.each = [&](const puzzle::Solution& s) { all.push_back(s); };
    }
    const puzzle::SolveResult result = puzzle::solve(*made.problem, options);
    const std::string goalText = puzzle::goalText(*goal);
    std::string& out = outcome.out;
    if (command.json) {
        out += "{\"goal\":";
        out += jsonString(goalText);
        appendMember(out, "solutions", static_cast<long long>(result.solutions));
        appendMember(out, "finalPositions", static_cast<long long>(result.finalPositions));
        out += result.unique() ? ",\"unique\":true" : ",\"unique\":false";
        out += ",\"first\":";
        out += result.first ? solutionJson(*result.first) : std::string("null");
        if (command.all) {
            out += ",\"all\":[";
            for (std::size_t i = 0; i < all.size(); ++i) {
                out += i ? "," : "";
                out += solutionJson(all[i]);
            }
            out += ']';
        }
        appendMember(out, "nodes", static_cast<long long>(result.nodes));
        out += "}\n";
        return outcome;
    }
    out += "goal " + goalText + "\n";
    out += counted(result.solutions, "solution", "solutions") + " ending in " +
           counted(result.finalPositions, "position", "positions") +
           (result.cancelled ? " (the search was cut short)\n" : "\n");
    out += result.unique() ? "unique\n" : "not unique\n";
    if (command.all) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            out += "solution " + std::to_string(i + 1) + ": " + solutionText(all[i]) + "\n";
        }
    } else if (result.first) {
        out += "first: " + solutionText(*result.first) + "\n";
    }
    out += counted(result.nodes, "placement", "placements") + " tried\n";
    return outcome;
}

} // namespace peterin::sim
