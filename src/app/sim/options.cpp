#include "app/sim/options.h"

#include <charconv>
#include <climits>
#include <utility>

#include "puzzle/goal.h"

namespace peterin::sim {

namespace {

// A whole number, or why the text is not one that fits an int.
struct ParsedInt {
    int value = 0;
    bool number = false;  // the text is a whole number at all
    bool inRange = false; // ... and fits an int
};

ParsedInt parseInt(const std::string& text) {
    ParsedInt parsed;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, ec] = std::from_chars(first, last, parsed.value);
    parsed.number = first != last && end == last && ec != std::errc::invalid_argument;
    parsed.inRange = parsed.number && ec == std::errc{};
    return parsed;
}

UsageError outOfRange(const std::string& option, const std::string& value, long long low,
                      long long high) {
    return {option + " " + value + " is out of range: it must be from " + std::to_string(low) +
            " to " + std::to_string(high)};
}

// Walks the arguments of one command, handing out options and their values. Each `take`
// returns whether the next argument was that option (or the file); the first argument that
// makes no sense stops the walk with its usage error.
class ArgReader {
  public:
    ArgReader(const std::vector<std::string>& args, std::string command)
        : args_(args), command_(std::move(command)) {}

    // Whether there are arguments left to take and nothing went wrong so far.
    bool more() const { return index_ < args_.size() && !error_; }

    // The option `name` with its value, as "--name value" or "--name=value".
    bool take(const std::string& name, std::string& value) {
        const std::string& arg = args_[index_];
        if (arg == name) {
            if (index_ + 1 >= args_.size()) {
                error_ = UsageError{"option " + name + " needs a value"};
            } else {
                value = args_[index_ + 1];
            }
            index_ += 2;
            return true;
        }
        if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
            arg[name.size()] == '=') {
            value = arg.substr(name.size() + 1);
            ++index_;
            return true;
        }
        return false;
    }

    bool take(const std::string& name, std::optional<std::string>& value) {
        std::string text;
        if (!take(name, text)) {
            return false;
        }
        if (!error_) {
            value = std::move(text);
        }
        return true;
    }

    // A switch without a value.
    bool take(const std::string& name, bool& on) {
        if (args_[index_] != name) {
            return false;
        }
        on = true;
        ++index_;
        return true;
    }

    // A random position: any int.
    bool takePosition(const std::string& name, int& position) {
        std::string value;
        if (!take(name, value) || error_) {
            return error_.has_value();
        }
        const ParsedInt n = parseInt(value);
        if (!n.number) {
            error_ = UsageError{name + " needs a whole number, not \"" + value + "\""};
        } else if (!n.inRange) {
            error_ = outOfRange(name, value, INT_MIN, INT_MAX);
        } else {
            position = n.value;
        }
        return true;
    }

    // A whole number from 1 to `max`.
    bool takeCount(const std::string& name, int max, int& count) {
        std::string value;
        if (!take(name, value) || error_) {
            return error_.has_value();
        }
        const ParsedInt n = parseInt(value);
        if (!n.number) {
            error_ = UsageError{name + " needs a whole number from 1 to " + std::to_string(max) +
                                ", not \"" + value + "\""};
        } else if (!n.inRange || n.value < 1 || n.value > max) {
            error_ = outOfRange(name, value, 1, max);
        } else {
            count = n.value;
        }
        return true;
    }

    // A strength: 1 to 5, or "baseline".
    bool takeLevel(const std::string& name, int& level) {
        std::string value;
        if (!take(name, value) || error_) {
            return error_.has_value();
        }
        const ParsedInt n = parseInt(value);
        if (value == "baseline") {
            level = kBaselineChoice;
        } else if (!n.number || !n.inRange || n.value < 1 || n.value > kMaxLevel) {
            error_ = UsageError{name + " needs a level from 1 to " + std::to_string(kMaxLevel) +
                                " or baseline, not \"" + value + "\""};
        } else {
            level = n.value;
        }
        return true;
    }

    // The command's one file: any argument not taken for an option ("-" is standard input).
    bool takeFile(std::string& file) {
        const std::string& arg = args_[index_];
        if (haveFile_ || (!arg.empty() && arg[0] == '-' && arg != "-")) {
            return false;
        }
        file = arg;
        haveFile_ = true;
        ++index_;
        return true;
    }
    bool haveFile() const { return haveFile_; }

    // The next argument is none the command takes.
    void reject() {
        const std::string& arg = args_[index_];
        if (arg.size() > 1 && arg[0] == '-') {
            error_ = UsageError{"unknown option for " + command_ + ": " + arg};
        } else {
            error_ = UsageError{"unexpected argument for " + command_ + ": " + arg};
        }
    }
    void fail(std::string text) {
        if (!error_) {
            error_ = UsageError{std::move(text)};
        }
    }

    // The command read, or the first usage error met.
    template <typename Parsed> Command result(Parsed command) const {
        if (error_) {
            return *error_;
        }
        return command;
    }

  private:
    const std::vector<std::string>& args_;
    const std::string command_;
    std::size_t index_ = 0;
    bool haveFile_ = false;
    std::optional<UsageError> error_;
};

// The usage error of a command that needs a file and was given none.
void requireFile(ArgReader& in, const std::string& usage) {
    if (!in.haveFile()) {
        in.fail(usage);
    }
}

Command parseResolve(ArgReader& in) {
    ResolveCommand cmd;
    while (in.more()) {
        if (!(in.take("--ini", cmd.ini) || in.take("--json", cmd.json) || in.takeFile(cmd.file))) {
            in.reject();
        }
    }
    requireFile(in, "resolve needs a position file: peterin-sim resolve FILE.dat");
    return in.result(cmd);
}

Command parsePairs(ArgReader& in) {
    PairsCommand cmd;
    while (in.more()) {
        if (!(in.takePosition("--position", cmd.position) ||
              in.takeCount("--count", kMaxPairCount, cmd.count) ||
              in.take("--pattern", cmd.pattern) || in.take("--json", cmd.json))) {
            in.reject();
        }
    }
    return in.result(cmd);
}

Command parseSuggest(ArgReader& in) {
    SuggestCommand cmd;
    while (in.more()) {
        if (!(in.take("--ini", cmd.ini) || in.takeCount("--count", kMaxSuggestCount, cmd.count) ||
              in.takeCount("--level", kMaxLevel, cmd.engine.level) ||
              in.takeCount("--nodes", kMaxNodes, cmd.engine.nodes) || in.take("--json", cmd.json) ||
              in.takeFile(cmd.file))) {
            in.reject();
        }
    }
    requireFile(in, "suggest needs a position file: peterin-sim suggest FILE.dat");
    return in.result(cmd);
}

Command parseAutoplay(ArgReader& in) {
    AutoplayCommand cmd;
    while (in.more()) {
        if (!(in.takePosition("--position", cmd.position) ||
              in.takeCount("--pairs", kMaxAutoplayPairs, cmd.pairs) ||
              in.take("--pattern", cmd.pattern) || in.take("--ini", cmd.ini) ||
              in.takeCount("--level", kMaxLevel, cmd.engine.level) ||
              in.takeCount("--nodes", kMaxNodes, cmd.engine.nodes) || in.take("--json", cmd.json) ||
              in.take("--record", cmd.record))) {
            in.reject();
        }
    }
    return in.result(cmd);
}

Command parseBattle(ArgReader& in) {
    BattleCommand cmd;
    bool first = false;
    bool second = false;
    while (in.more()) {
        if (in.takeLevel("--1p", cmd.levels[0])) {
            first = true;
        } else if (in.takeLevel("--2p", cmd.levels[1])) {
            second = true;
        } else if (!(in.takePosition("--position", cmd.position) ||
                     in.takeCount("--games", kMaxBattleGames, cmd.games) ||
                     in.takeCount("--ticks", kMaxBattleTicks, cmd.ticks) ||
                     in.take("--json", cmd.json) || in.take("--record", cmd.record))) {
            in.reject();
        }
    }
    if (!first || !second) {
        in.fail("battle needs both sides' levels: peterin-sim battle --1p LEVEL --2p LEVEL");
    }
    return in.result(cmd);
}

Command parseReplay(ArgReader& in) {
    ReplayCommand cmd;
    while (in.more()) {
        int turn = 0;
        if (in.takeCount("--turn", kMaxReplayTurn, turn)) {
            cmd.turn = turn;
        } else if (!(in.take("--json", cmd.json) || in.takeFile(cmd.file))) {
            in.reject();
        }
    }
    requireFile(in, "replay needs a record: peterin-sim replay REC");
    return in.result(cmd);
}

Command parseReview(ArgReader& in) {
    ReviewCommand cmd;
    while (in.more()) {
        if (!(in.takeCount("--level", kMaxLevel, cmd.level) || in.take("--json", cmd.json) ||
              in.take("--plot", cmd.plot) || in.takeFile(cmd.file))) {
            in.reject();
        }
    }
    requireFile(in, "review needs a record: peterin-sim review REC");
    return in.result(cmd);
}

Command parseCheck(ArgReader& in) {
    CheckCommand cmd;
    while (in.more()) {
        if (!in.takeFile(cmd.file)) {
            in.reject();
        }
    }
    requireFile(in, "check needs a position file: peterin-sim check FILE.dat");
    return in.result(cmd);
}

Command parseRender(ArgReader& in) {
    RenderCommand cmd;
    bool haveOutput = false;
    while (in.more()) {
        std::string output;
        const bool png = in.take("--png", output);
        if (png || in.take("--gif", output)) {
            if (haveOutput) {
                in.fail("render writes one picture: give either --png or --gif");
            }
            cmd.gif = !png;
            cmd.output = output;
            haveOutput = true;
        } else if (int from = 0; in.takeCount("--from", kMaxReplayTurn, from)) {
            cmd.from = from;
        } else if (int to = 0; in.takeCount("--to", kMaxReplayTurn, to)) {
            cmd.to = to;
        } else if (!(in.take("--ini", cmd.ini) || in.takeFile(cmd.file))) {
            in.reject();
        }
    }
    if (!haveOutput || !in.haveFile()) {
        in.fail("render needs a position file and an output: peterin-sim render FILE.dat "
                "--png OUT.png");
    }
    return in.result(cmd);
}

Command parseSolve(ArgReader& in) {
    SolveCommand cmd;
    while (in.more()) {
        if (!(in.take("--goal", cmd.goal) || in.take("--all", cmd.all) ||
              in.take("--json", cmd.json) || in.takeFile(cmd.file))) {
            in.reject();
        }
    }
    requireFile(in, "solve needs a puzzle file: peterin-sim solve FILE.dat");
    if (cmd.goal) {
        if (const puzzle::ParsedGoal goal = puzzle::parseGoal(*cmd.goal); !goal.goal) {
            in.fail("--goal: " + goal.error);
        }
    }
    return in.result(cmd);
}

Command parseArgs(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            return HelpCommand{};
        }
        if (arg == "--version") {
            return VersionCommand{};
        }
    }
    if (args.empty()) {
        return UsageError{"no command given; try peterin-sim --help"};
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const std::string& command = args.front();
    ArgReader in(rest, command);
    if (command == "resolve") {
        return parseResolve(in);
    }
    if (command == "pairs") {
        return parsePairs(in);
    }
    if (command == "check") {
        return parseCheck(in);
    }
    if (command == "suggest") {
        return parseSuggest(in);
    }
    if (command == "autoplay") {
        return parseAutoplay(in);
    }
    if (command == "render") {
        return parseRender(in);
    }
    if (command == "replay") {
        return parseReplay(in);
    }
    if (command == "review") {
        return parseReview(in);
    }
    if (command == "solve") {
        return parseSolve(in);
    }
    if (command == "battle") {
        return parseBattle(in);
    }
    return UsageError{"unknown command \"" + command + "\"; try peterin-sim --help"};
}

} // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
    Command command = parseArgs(args);
    // Messages quote arguments, which may hold line breaks; the message stays one line.
    if (auto* usage = std::get_if<UsageError>(&command)) {
        for (char& c : usage->text) {
            if (c == '\n' || c == '\r') {
                c = ' ';
            }
        }
    }
    return command;
}

std::string versionText() {
    return "peterin-sim " PETERIN_VERSION "\n";
}

std::string helpText() {
    return R"(peterin-sim: the game engine of ぺてりん without the window.

Usage:
  peterin-sim resolve FILE.dat [--ini FILE] [--json]
      Reads FILE.dat as the program's open command does (into a fresh game with the settings
      of --ini FILE, else the defaults), enters play mode and lets the field settle and chain
      until 1P waits for input. Prints each chain step (chain number, blobs cleared, number of
      colours, group bonus, step score, nuisance sent), the totals, the number of timer ticks
      and 1P's final field, rows from the top hidden row down, in the file letters -RBGYPOMr.

  peterin-sim pairs [--position N] [--count K] [--pattern FILE.dat] [--json]
      Lists the first K pairs (default 10) 1P would play, starting the game with the random
      position N (default 0; a negative N picks one as the program does). With --pattern,
      FILE.dat is read first, so its pair pattern (and its @ position) applies. Each pair has
      its random position, its shape (2, 3a, 3b, 4d, 4a) and its four slots (top left, top
      right, bottom left = pivot, bottom right), - for no blob.

  peterin-sim check FILE.dat
      Reads FILE.dat as the program does and says what it took (sections, sizes, temporary
      positions, numbered from 0 as the tool window's ID box shows them) and, if reading
      stopped early, on which line and why.

  peterin-sim render FILE.dat --png OUT.png [--ini FILE]
  peterin-sim render FILE.dat --gif OUT.gif [--ini FILE]
  peterin-sim render REC.pprec --gif OUT.gif [--from A] [--to B]
      With --png, writes the picture of the player views as the program shows them right
      after reading FILE.dat in edit mode. With --gif, plays 1P's position as resolve does
      and writes that turn as a looping animation: every picture of the views, each held for
      the ticks it was shown (one tick is one hundredth of a second), the last for a second.
      Given a game record, it plays turns A to B of it (default: all) and draws them so.
      The output "-" is standard output; a pipe or device is written where it is.

  peterin-sim suggest FILE.dat [--ini FILE] [--count K] [--level N] [--nodes K] [--json]
      Reads FILE.dat as resolve does, lets the field settle in play mode and ranks the places
      1P's falling pair can be brought to with the pair keys, best first, seeing the next
      pairs that "表示可能数" shows and guessing the later ones from the pattern's colours.
      Prints the best K (default 5): the pivot's column, the turn (0 up, 1 right, 2 down, 3
      left: where the pair's upper blob went; for four-blob pairs the right turns), the
      engine's value, the chain the drop fires at once, and whether a pair could be lost
      after it (such places come last). --level N (1 to 5, default 5) sets the engine's
      strength; --nodes K the number of placements it tries instead of the level's own. The
      answer depends on the position alone, never on the machine. Fields of more than 64
      columns or 64 rows (the LimboArea's included) are not searched.

  peterin-sim autoplay [--position N] [--pattern FILE.dat] [--pairs K] [--ini FILE] [--level N]
                       [--nodes K] [--json] [--record OUT]
      Plays 1P alone from a fresh game started as pairs starts it, for K pairs (default 60),
      each dropped where suggest (with the same --level and --nodes) would put it and
      resolved tick by tick by the turn cycle. Prints each pair's place, chain and score,
      then the largest chain, the total score and how many pairs were lost. With --record,
      the game's record is written to OUT, as the program keeps the games played in it.

  peterin-sim replay REC [--turn N] [--json]
      Plays the game record REC again, tick by tick, as it was played, and checks each turn
      against the record. Prints each turn (player, the pivot's column and turn, chain,
      score, nuisance sent and received) and both fields after the last turn, or after turn N
      with --turn. A record that cannot be read, or whose replay disagrees with it, is told
      with its line on standard error, and the status is 1.

  peterin-sim review REC [--level N] [--json] [--plot OUT.png]
      Weighs every turn of the game record REC with the engine at level N (default 4), as
      the player saw it: the pair where it appeared and the next pairs shown. Prints for each
      turn the place played and the engine's best, the loss between their values (in the
      engine's points), the grade of a mistake (疑問手 from 12000, 悪手 from 30000 or a move
      that can lose a pair where another was safe) and the chain each field holds after the
      turn. --plot writes the chart of the held chains and the losses as a PNG picture.

  peterin-sim solve FILE.dat [--goal GOAL] [--all] [--json]
      Reads the puzzle FILE.dat as the program does and searches every placement the pair
      keys reach of each pair its pattern brings, until the pattern runs out. A solution is
      the placements up to the turn that first meets the goal; two placements are one when
      they put the same colours in the same cells. Prints the goal, the number of solutions
      and of the positions they end in, whether the puzzle is unique, the first solution (each
      pair's column and turn, as suggest gives them; every solution with --all) and the
      placements tried. GOAL (else the file's [G] section) is one of chain>=N, chain=N,
      clear-all, clear-colour=R, clear-blobs>=N, clear-colours>=N and clear-nuisance; a
      file without a goal and no --goal is status 1.

  peterin-sim battle --1p LEVEL --2p LEVEL [--position N] [--games K] [--ticks T] [--json]
                     [--record DIR]
      Lets the computer play K battles (default 1) against itself, 1P at one strength and 2P
      at another: LEVEL is 1 to 5, or baseline for the first engine kept as a fixed player
      (it plays at level 5's pace). Game i starts at random position N + i (default N 0),
      where a side that loses a pair loses the battle. Each game runs tick by tick as the
      program runs it, each side seeing what a person sees and pressing its keys at its
      level's pace, until one side wins or T ticks of 10 ms (default 100000) have gone by,
      a draw. Prints each game's winner, ticks, turns, largest chains and nuisance sent, then
      the wins and draws; with --json one object {"games":[{"position","winner" (0, 1 or
      null),"ticks","turns","largestChain"}],"wins","draws"}. With --record, each game's
      record is written into DIR as battle-N.pprec, N its starting position.

  peterin-sim --help
      Shows this text.

  peterin-sim --version
      Shows the version.

The random generator used for '@' without a number and for falling nuisance is seeded the
same way on every run, so results repeat exactly.

A read that stops before the end of the file is told on standard error; what came before it is
used. A file of which nothing at all could be taken counts as unreadable.

Exit status: 0 done, 1 a file could not be read, 2 a bad command line.
)";
}

} // namespace peterin::sim
