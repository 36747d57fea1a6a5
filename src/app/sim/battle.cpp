// peterin-sim battle: the computer against itself, game after game, as the program plays it.

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "analysis/opponent.h"
#include "app/sim/commands.h"
#include "play/battle.h"
#include "records/record_folder.h"
#include "session/computer_sides.h"

namespace peterin::sim {

namespace {

struct GameResult {
    int position = 0;
    std::optional<int> winner;
    long ticks = 0;
    std::array<int, kPlayerCount> turns{};
    std::array<int, kPlayerCount> largestChain{};
    std::array<int, kPlayerCount> sent{}; // nuisance sent by each side's chain steps
};

// Counts each side's drops as the session applies them.
struct DropCounter : CommandObserver {
    std::array<int, kPlayerCount> drops{};
    void applied(const peterin::Command& command, std::uint64_t) override {
        if (const auto* key = std::get_if<ComputerKey>(&command);
            key != nullptr && key->action == PairAction::Down) {
            drops[static_cast<std::size_t>(key->player)] += 1;
        }
    }
};

std::string levelName(int level) {
    return level == kBaselineChoice ? "baseline" : "level " + std::to_string(level);
}

// Plays one game from random position `position` to a win or to `limit` ticks.
Outcome playGame(const BattleCommand& command, int position, GameResult& result) {
    Headless headless;
    headless.game().settings.initialRandomPosition = position;
    if (Outcome failed = startSession(headless, std::nullopt); failed.status != 0) {
        return failed;
    }
    Session& session = headless.session;
    const Game& game = headless.game();
    session.apply(ChooseComputer{{true, true}, 5, 5});
    ComputerSides sides(session);
    std::array<std::optional<int>, kPlayerCount> levels;
    for (int p = 0; p < kPlayerCount; ++p) {
        const int level = command.levels[static_cast<std::size_t>(p)];
        levels[static_cast<std::size_t>(p)] =
            level == kBaselineChoice ? analysis::kBaselineLevel : level;
    }
    sides.setLevels(levels);
    DropCounter drops;
    session.addObserver(&drops);
    session.apply(SetMode{Mode::Battle});
    result.position = position;
    long tick = 0;
    for (; tick < command.ticks && !battleOver(game); ++tick) {
        std::array<std::int32_t, kPlayerCount> chain{};
        std::array<std::int32_t, kPlayerCount> score{};
        for (int p = 0; p < kPlayerCount; ++p) {
            chain[static_cast<std::size_t>(p)] =
                game.players[static_cast<std::size_t>(p)].chainCount;
            score[static_cast<std::size_t>(p)] = game.players[static_cast<std::size_t>(p)].score;
        }
        sides.playPeriod();
        for (int p = 0; p < kPlayerCount; ++p) {
            const auto i = static_cast<std::size_t>(p);
            const Player& self = game.players[i];
            result.largestChain[i] = std::max(result.largestChain[i], self.chainCount);
            // A step is scored in a tick of its own: the score it added is the step's.
            if (self.chainCount == chain[i] + 1 && self.score >= score[i]) {
                result.sent[i] += (self.score - score[i]) / kScorePerNuisance;
            }
        }
    }
    session.removeObserver(&drops);
    result.ticks = tick;
    result.turns = drops.drops;
    if (battleOver(game)) {
        result.winner = game.battleScore.winner;
    }
    if (command.record) {
        GameRecorder& recorder = session.recorder();
        recorder.close(game);
        const Record* record = recorder.latest();
        const std::filesystem::path file = std::filesystem::path(*command.record) /
                                           ("battle-" + std::to_string(position) + ".pprec");
        const auto why =
            record ? saveRecord(*record, file) : std::optional<std::string>("no pair was played");
        if (why) {
            return {1, "",
                    "peterin-sim: the record could not be written to " + file.string() + ": " +
                        *why + "\n"};
        }
    }
    return {};
}

std::string pairText(const std::array<int, kPlayerCount>& values, const char* between) {
    std::string text = std::to_string(values[0]);
    text += between;
    text += std::to_string(values[1]);
    return text;
}

} // namespace

Outcome runBattle(const BattleCommand& command) {
    if (command.record) {
        std::error_code error;
        std::filesystem::create_directories(*command.record, error);
        if (error || !std::filesystem::is_directory(*command.record)) {
            return {1, "",
                    "peterin-sim: the folder \"" + *command.record +
                        "\" for the records cannot be made: " + error.message() + "\n"};
        }
    }
    Outcome outcome;
    std::string& out = outcome.out;
    std::array<int, kPlayerCount> wins{};
    int draws = 0;
    out += command.json ? "{\"games\":[" : "";
    for (int i = 0; i < command.games; ++i) {
        GameResult r;
        const int position = static_cast<int>(std::clamp<long long>(
            static_cast<long long>(command.position) + i, INT32_MIN, INT32_MAX));
        if (Outcome failed = playGame(command, position, r); failed.status != 0) {
            return failed;
        }
        if (r.winner) {
            wins[static_cast<std::size_t>(*r.winner)] += 1;
        } else {
            draws += 1;
        }
        if (command.json) {
            out += i ? ",{" : "{";
            out += "\"position\":";
            out += std::to_string(r.position);
            out += ",\"winner\":";
            out += r.winner ? std::to_string(*r.winner) : std::string("null");
            out += ",\"ticks\":";
            out += std::to_string(r.ticks);
            out += ",\"turns\":[";
            out += pairText(r.turns, ",");
            out += "],\"largestChain\":[";
            out += pairText(r.largestChain, ",");
            out += "]}";
        } else {
            out += "game " + std::to_string(i + 1) + " (position " + std::to_string(r.position) +
                   "): ";
            out += r.winner ? std::to_string(*r.winner + 1) + "P wins" : std::string("draw");
            out += " after " + std::to_string(r.ticks) + " ticks; turns ";
            out += pairText(r.turns, "/");
            out += ", largest chain ";
            out += pairText(r.largestChain, "/");
            out += ", nuisance sent ";
            out += pairText(r.sent, "/");
            out += "\n";
        }
    }
    if (command.json) {
        out += "],\"wins\":[";
        out += pairText(wins, ",");
        out += "],\"draws\":";
        out += std::to_string(draws);
        out += "}\n";
    } else {
        out += "1P (" + levelName(command.levels[0]) + ") won " + std::to_string(wins[0]) +
               ", 2P (" + levelName(command.levels[1]) + ") won " + std::to_string(wins[1]) + ", " +
               std::to_string(draws) + (draws == 1 ? " draw" : " draws") + " of " +
               std::to_string(command.games) + "\n";
    }
    return outcome;
}

} // namespace peterin::sim
