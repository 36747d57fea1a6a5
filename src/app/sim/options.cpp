#include "app/sim/options.h"

#include <charconv>
#include <climits>

namespace peterin::sim {

namespace {

// Walks the arguments of one command, handing out options and their values.
class ArgReader {
  public:
    explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}

    bool done() const { return index_ >= args_.size(); }
    const std::string& peek() const { return args_[index_]; }
    void skip() { ++index_; }

    // If the next argument is the option `name` (as "--name value" or "--name=value"), takes it
    // and stores its value; a missing value becomes a usage error.
    bool takeValue(const std::string& name, std::string& value, std::optional<UsageError>& error) {
        const std::string& arg = args_[index_];
        if (arg == name) {
            if (index_ + 1 >= args_.size()) {
                error = UsageError{"option " + name + " needs a value"};
                return true;
            }
            value = args_[index_ + 1];
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

  private:
    const std::vector<std::string>& args_;
    std::size_t index_ = 0;
};

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

UsageError unknownOption(const std::string& command, const std::string& arg) {
    if (arg.size() > 1 && arg[0] == '-') {
        return {"unknown option for " + command + ": " + arg};
    }
    return {"unexpected argument for " + command + ": " + arg};
}

// A random position for `option`: any int, or the usage error saying what it must be.
std::variant<int, UsageError> positionValue(const std::string& option, const std::string& value) {
    const ParsedInt n = parseInt(value);
    if (!n.number) {
        return UsageError{option + " needs a whole number, not \"" + value + "\""};
    }
    if (!n.inRange) {
        return outOfRange(option, value, INT_MIN, INT_MAX);
    }
    return n.value;
}

// A whole number from 1 to `max` for `option`, or the usage error saying what it must be.
std::variant<int, UsageError> countValue(const std::string& option, const std::string& value,
                                         int max) {
    const ParsedInt n = parseInt(value);
    if (!n.number) {
        return UsageError{option + " needs a whole number from 1 to " + std::to_string(max) +
                          ", not \"" + value + "\""};
    }
    if (!n.inRange || n.value < 1 || n.value > max) {
        return outOfRange(option, value, 1, max);
    }
    return n.value;
}

Command parseResolve(ArgReader& in) {
    ResolveCommand cmd;
    bool haveFile = false;
    std::optional<UsageError> error;
    while (!in.done() && !error) {
        std::string value;
        if (in.takeValue("--ini", value, error)) {
            cmd.ini = value;
        } else if (in.peek() == "--json") {
            cmd.json = true;
            in.skip();
        } else if (!haveFile && (in.peek().empty() || in.peek()[0] != '-' || in.peek() == "-")) {
            cmd.file = in.peek();
            haveFile = true;
            in.skip();
        } else {
            return unknownOption("resolve", in.peek());
        }
    }
    if (error) {
        return *error;
    }
    if (!haveFile) {
        return UsageError{"resolve needs a position file: peterin-sim resolve FILE.dat"};
    }
    return cmd;
}

Command parsePairs(ArgReader& in) {
    PairsCommand cmd;
    std::optional<UsageError> error;
    while (!in.done() && !error) {
        std::string value;
        if (in.takeValue("--position", value, error)) {
            if (error) {
                break;
            }
            const auto n = positionValue("--position", value);
            if (const auto* bad = std::get_if<UsageError>(&n)) {
                return *bad;
            }
            cmd.position = std::get<int>(n);
        } else if (in.takeValue("--count", value, error)) {
            if (error) {
                break;
            }
            const auto n = countValue("--count", value, kMaxPairCount);
            if (const auto* bad = std::get_if<UsageError>(&n)) {
                return *bad;
            }
            cmd.count = std::get<int>(n);
        } else if (in.takeValue("--pattern", value, error)) {
            cmd.pattern = value;
        } else if (in.peek() == "--json") {
            cmd.json = true;
            in.skip();
        } else {
            return unknownOption("pairs", in.peek());
        }
    }
    if (error) {
        return *error;
    }
    return cmd;
}

Command parseSuggest(ArgReader& in) {
    SuggestCommand cmd;
    bool haveFile = false;
    std::optional<UsageError> error;
    while (!in.done() && !error) {
        std::string value;
        if (in.takeValue("--ini", value, error)) {
            cmd.ini = value;
        } else if (in.takeValue("--count", value, error)) {
            if (error) {
                break;
            }
            const auto n = countValue("--count", value, kMaxSuggestCount);
            if (const auto* bad = std::get_if<UsageError>(&n)) {
                return *bad;
            }
            cmd.count = std::get<int>(n);
        } else if (in.peek() == "--json") {
            cmd.json = true;
            in.skip();
        } else if (!haveFile && (in.peek().empty() || in.peek()[0] != '-' || in.peek() == "-")) {
            cmd.file = in.peek();
            haveFile = true;
            in.skip();
        } else {
            return unknownOption("suggest", in.peek());
        }
    }
    if (error) {
        return *error;
    }
    if (!haveFile) {
        return UsageError{"suggest needs a position file: peterin-sim suggest FILE.dat"};
    }
    return cmd;
}

Command parseAutoplay(ArgReader& in) {
    AutoplayCommand cmd;
    std::optional<UsageError> error;
    while (!in.done() && !error) {
        std::string value;
        if (in.takeValue("--position", value, error)) {
            if (error) {
                break;
            }
            const auto n = positionValue("--position", value);
            if (const auto* bad = std::get_if<UsageError>(&n)) {
                return *bad;
            }
            cmd.position = std::get<int>(n);
        } else if (in.takeValue("--pairs", value, error)) {
            if (error) {
                break;
            }
            const auto n = countValue("--pairs", value, kMaxAutoplayPairs);
            if (const auto* bad = std::get_if<UsageError>(&n)) {
                return *bad;
            }
            cmd.pairs = std::get<int>(n);
        } else if (in.takeValue("--pattern", value, error)) {
            cmd.pattern = value;
        } else if (in.takeValue("--ini", value, error)) {
            cmd.ini = value;
        } else if (in.peek() == "--json") {
            cmd.json = true;
            in.skip();
        } else {
            return unknownOption("autoplay", in.peek());
        }
    }
    if (error) {
        return *error;
    }
    return cmd;
}

Command parseCheck(ArgReader& in) {
    CheckCommand cmd;
    bool haveFile = false;
    while (!in.done()) {
        if (!haveFile && (in.peek().empty() || in.peek()[0] != '-' || in.peek() == "-")) {
            cmd.file = in.peek();
            haveFile = true;
            in.skip();
        } else {
            return unknownOption("check", in.peek());
        }
    }
    if (!haveFile) {
        return UsageError{"check needs a position file: peterin-sim check FILE.dat"};
    }
    return cmd;
}

Command parseRender(ArgReader& in) {
    RenderCommand cmd;
    bool haveFile = false;
    bool haveOutput = false;
    std::optional<UsageError> error;
    while (!in.done() && !error) {
        std::string value;
        if (in.takeValue("--ini", value, error)) {
            cmd.ini = value;
        } else if (const bool png = in.takeValue("--png", value, error);
                   png || in.takeValue("--gif", value, error)) {
            if (error) {
                break;
            }
            if (haveOutput) {
                return UsageError{"render writes one picture: give either --png or --gif"};
            }
            cmd.gif = !png;
            cmd.output = value;
            haveOutput = true;
        } else if (!haveFile && (in.peek().empty() || in.peek()[0] != '-' || in.peek() == "-")) {
            cmd.file = in.peek();
            haveFile = true;
            in.skip();
        } else {
            return unknownOption("render", in.peek());
        }
    }
    if (error) {
        return *error;
    }
    if (!haveFile || !haveOutput) {
        return UsageError{"render needs a position file and an output: peterin-sim render FILE.dat "
                          "--png OUT.png"};
    }
    return cmd;
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
    ArgReader in(rest);
    const std::string& command = args.front();
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
      With --png, writes the picture of the player views as the program shows them right
      after reading FILE.dat in edit mode. With --gif, plays 1P's position as resolve does
      and writes that turn as a looping animation: every picture of the views, each held for
      the ticks it was shown (one tick is one hundredth of a second), the last for a second.

  peterin-sim suggest FILE.dat [--ini FILE] [--count K] [--json]
      Reads FILE.dat as resolve does, lets the field settle in play mode and ranks the places
      1P's falling pair can be brought to with the pair keys, best first, seeing the next
      pairs that "表示可能数" shows. Prints the best K (default 5): the pivot's column, the
      turn (0 up, 1 right, 2 down, 3 left: where the pair's upper blob went; for four-blob
      pairs the right turns), the engine's value, the chain the drop fires at once, and
      whether a pair could be lost after it (such places come last).

  peterin-sim autoplay [--position N] [--pattern FILE.dat] [--pairs K] [--ini FILE] [--json]
      Plays 1P alone from a fresh game started as pairs starts it, for K pairs (default 60),
      each dropped where suggest would put it and resolved tick by tick by the turn cycle.
      Prints each pair's place, chain and score, then the largest chain, the total score and
      how many pairs were lost.

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
