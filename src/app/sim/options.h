#pragma once

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace peterin::sim {

// peterin-sim resolve FILE.dat [--ini FILE] [--json]
struct ResolveCommand {
    std::string file;
    std::optional<std::string> ini;
    bool json = false;
};

// peterin-sim pairs [--position N] [--count K] [--pattern FILE.dat] [--json]
struct PairsCommand {
    int position = 0;
    int count = 10;
    std::optional<std::string> pattern;
    bool json = false;
};

// peterin-sim check FILE.dat
struct CheckCommand {
    std::string file;
};

// peterin-sim render FILE.dat --png OUT.png | --gif OUT.gif [--ini FILE]
// peterin-sim render REC.pprec --gif OUT.gif [--from A] [--to B]
struct RenderCommand {
    std::string file;
    std::string output;
    bool gif = false; // else a PNG of the views after reading
    std::optional<std::string> ini;
    std::optional<int> from; // a record's turns drawn, from 1: the first and the last
    std::optional<int> to;
};

// The engine's strength: --level N (1 to 5, full strength by default) and --nodes K (the nodes
// it searches instead of the level's own; 0 keeps the level's).
struct EngineChoice {
    int level = 5;
    int nodes = 0;
};

// peterin-sim suggest FILE.dat [--ini FILE] [--count K] [--level N] [--nodes K] [--json]
struct SuggestCommand {
    std::string file;
    std::optional<std::string> ini;
    int count = 5;
    EngineChoice engine;
    bool json = false;
};

// peterin-sim autoplay [--position N] [--pattern FILE.dat] [--pairs K] [--ini FILE] [--level N]
//                      [--nodes K] [--json] [--record OUT]
struct AutoplayCommand {
    int position = 0;
    std::optional<std::string> pattern;
    std::optional<std::string> ini;
    int pairs = 60;
    EngineChoice engine;
    bool json = false;
    std::optional<std::string> record; // the game's record goes there
};

// peterin-sim replay REC [--turn N] [--json]
struct ReplayCommand {
    std::string file;
    std::optional<int> turn; // stop after this turn
    bool json = false;
};

// peterin-sim review REC [--level N] [--json] [--plot OUT.png]
struct ReviewCommand {
    std::string file;
    int level = 4; // the program's review level: a 200-turn game in a few seconds
    bool json = false;
    std::optional<std::string> plot;
};

// peterin-sim solve FILE.dat [--goal GOAL] [--all] [--json]
struct SolveCommand {
    std::string file;
    std::optional<std::string> goal; // else the file's own
    bool all = false;                // every solution, not only the first
    bool json = false;
};

// peterin-sim battle --1p LEVEL --2p LEVEL [--position N] [--games K] [--ticks T] [--json]
//                    [--record DIR]
// LEVEL is 1 to 5, or kBaselineChoice for the first engine kept as a fixed player.
inline constexpr int kBaselineChoice = 0;
struct BattleCommand {
    std::array<int, 2> levels{5, 5};
    int position = 0;
    int games = 1;
    int ticks = 100000; // ticks of 10 ms a game may last; then it is a draw
    bool json = false;
    std::optional<std::string> record; // each game's record goes into this folder
};

struct HelpCommand {};
struct VersionCommand {};

// A command line that does not make sense; `text` is the one line to print.
struct UsageError {
    std::string text;
};

using Command = std::variant<HelpCommand, VersionCommand, ResolveCommand, PairsCommand,
                             CheckCommand, RenderCommand, SuggestCommand, AutoplayCommand,
                             ReplayCommand, ReviewCommand, SolveCommand, BattleCommand, UsageError>;

// Upper bound of --count, so a typo cannot ask for gigabytes of output.
inline constexpr int kMaxPairCount = 1000000;

// Upper bounds of --count of suggest and --pairs of autoplay; each pair is a search.
inline constexpr int kMaxSuggestCount = 1000;
inline constexpr int kMaxAutoplayPairs = 100000;
// Upper bounds of --level and --nodes.
inline constexpr int kMaxLevel = 5;
inline constexpr int kMaxNodes = 100000000;
// Upper bounds of battle's --games and --ticks.
inline constexpr int kMaxBattleGames = 100000;
inline constexpr int kMaxBattleTicks = 100000000;
// Upper bound of replay's --turn.
inline constexpr int kMaxReplayTurn = 100000000;

// Reads the arguments after the program name.
Command parseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string helpText();
// The text of --version.
std::string versionText();

} // namespace peterin::sim
