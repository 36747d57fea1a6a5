// A long run of random actions on a headless game, the way the program's user and timers act on
// it, with the game's invariants checked after every action:
//
//   property_run [ACTIONS [SEED]]      (default 100000 actions, seed 1)
//
// Besides the play actions of the property tests it writes the position to a file and reads it
// back, applies changed settings as the settings dialog does and round-trips them through the
// INI text. After every action: walls and floor intact, group sizes true, both queues of the
// configured length, nothing negative. A file written reads back to the same position. It
// prints one line with what it did and exits 1 at the first fault, naming the action.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "files/dat_file.h"
#include "files/text_input.h"
#include "play/commands.h"
#include "play/temp_store.h"
#include "random_play.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace peterin::testing {
namespace {

WriteOptions everything() {
    WriteOptions all;
    all.bothPlayers = all.next = all.tempSaves = all.nextCounts = all.blobSize = true;
    return all;
}

void readText(Game& game, const std::string& text) {
    std::stringbuf source(text);
    TextModeBuf buf(source);
    readFile(game, buf);
}

std::string queueFault(const Game& game, const PairSequence& sequence, const char* where) {
    const auto expected = static_cast<std::size_t>(game.settings.nextCount + 1);
    if (sequence.queue.size() != expected) {
        return std::string(where) + " queue holds " + std::to_string(sequence.queue.size()) +
               " pairs instead of " + std::to_string(expected);
    }
    return "";
}

// The invariants of the live position and the turn backup; with `all`, of every stored position.
std::string gameFault(const Game& game, bool all) {
    for (const Player& player : game.players) {
        if (std::string fault = playerFault(player); !fault.empty()) {
            return fault;
        }
        if (std::string fault = queueFault(game, player.sequence, "live"); !fault.empty()) {
            return fault;
        }
    }
    for (const auto& backup : game.turnBackup.players) {
        if (std::string fault = queueFault(game, backup.sequence, "turn backup"); !fault.empty()) {
            return fault;
        }
    }
    if (all) {
        for (const TempSave& save : game.tempSaves) {
            for (std::size_t p = 0; p < 2; ++p) {
                if (std::string fault = fieldFault(save.players[p].field); !fault.empty()) {
                    return "stored " + fault;
                }
                if (std::string fault = queueFault(game, save.players[p].sequence, "stored");
                    !fault.empty()) {
                    return fault;
                }
            }
        }
    }
    return "";
}

// Saves the position with every section and opens it again, as a user reopening what they just
// saved; a fresh game reading the same file must come to the same text too.
std::string fileRoundTrip(Harness& h) {
    const std::string written = formatFile(h.game, everything());
    readText(h.game, written);
    if (formatFile(h.game, everything()) != written) {
        return "a written file read back into the game differs from what was written";
    }
    Harness fresh;
    readText(fresh.game, written);
    if (formatFile(fresh.game, everything()) != written) {
        return "a written file read into a new game differs from what was written";
    }
    if (!h.ui.messages.empty() || !fresh.ui.messages.empty()) {
        return "a written file read back with a message";
    }
    return "";
}

// Changes a few settings as the dialog's boxes would, then applies them as its "適用" does; the
// INI text of the result must load back to the same record.
std::string applySettings(Harness& h, std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    Game& game = h.game;
    const Settings before = game.settings;
    Settings& s = game.settings;
    for (int n = 1 + pick(3); n > 0; --n) {
        switch (pick(8)) {
        case 0:
            s.fieldWidth = pick(10) - 1;
            break;
        case 1:
            s.fieldHeight = pick(16) - 1;
            break;
        case 2:
            s.nextCount = pick(7) - 1;
            break;
        case 3:
            s.vanishCount = pick(6);
            break;
        case 4:
            s.fallTicks = pick(4) - 1;
            break;
        case 5:
            s.linkTicks = pick(5) - 1;
            break;
        case 6:
            s.vanishTicks = pick(5) - 1;
            break;
        default:
            s.nextColumns = pick(4);
            break;
        }
    }
    ValidateSettings(s);
    if (s.fieldWidth != before.fieldWidth || s.fieldHeight != before.fieldHeight) {
        changeFieldSize(game, s.fieldWidth, s.fieldHeight);
    }
    if (s.nextCount != before.nextCount) {
        resizeQueues(game);
    }
    IniFile ini;
    writeSettings(s, ini);
    Settings loaded;
    LoadSettings(loaded, IniFile::fromBytes(ini.toBytes()));
    if (!(loaded == s)) {
        return "settings written to INI text load back differently";
    }
    return "";
}

} // namespace
} // namespace peterin::testing

int main(int argc, char** argv) {
    using namespace peterin;
    using namespace peterin::testing;
    const long actions = argc > 1 ? std::atol(argv[1]) : 100000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1u;
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto start = std::chrono::steady_clock::now();

    Harness h;
    long fileActions = 0;
    long settingsActions = 0;
    for (long i = 0; i < actions; ++i) {
        std::string fault;
        const char* action = "play";
        const int roll = pick(1000);
        if (roll < 3) {
            action = "file write and read back";
            ++fileActions;
            fault = fileRoundTrip(h);
        } else if (roll < 6) {
            action = "settings applied";
            ++settingsActions;
            fault = applySettings(h, random);
        } else if (roll < 8) {
            // Keeps the store small, as reading a file with stored positions replaces it.
            action = "store cleared";
            tempClear(h.game);
        } else {
            randomStep(h, random);
        }
        if (fault.empty()) {
            fault = gameFault(h.game, roll < 8 || i % 1000 == 0 || i + 1 == actions);
        }
        if (!fault.empty()) {
            std::fprintf(stderr, "property_run: seed %u, action %ld (%s): %s\n", seed, i, action,
                         fault.c_str());
            return 1;
        }
        h.ui.messages.clear();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("property_run: %ld actions (%ld file round trips, %ld settings applied), seed %u, "
                "%.1f s, 0 faults\n",
                actions, fileActions, settingsActions, seed, seconds);
    return 0;
}
