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

std::optional<int> parseInt(const std::string& text) {
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

UsageError unknownOption(const std::string& command, const std::string& arg) {
    if (arg.size() > 1 && arg[0] == '-') {
        return {"unknown option for " + command + ": " + arg};
    }
    return {"unexpected argument for " + command + ": " + arg};
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
            const auto n = parseInt(value);
            if (!n) {
                return UsageError{"--position needs a whole number, not \"" + value + "\""};
            }
            cmd.position = *n;
        } else if (in.takeValue("--count", value, error)) {
            if (error) {
                break;
            }
            const auto n = parseInt(value);
            if (!n || *n < 1 || *n > kMaxPairCount) {
                return UsageError{"--count needs a whole number from 1 to " +
                                  std::to_string(kMaxPairCount) + ", not \"" + value + "\""};
            }
            cmd.count = *n;
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

Command parseArgs(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            return HelpCommand{};
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
      positions) and, if reading stopped early, on which line and why.

  peterin-sim --help
      Shows this text.

The random generator used for '@' without a number and for falling nuisance is seeded the
same way on every run, so results repeat exactly.

Exit status: 0 done, 1 a file could not be read, 2 a bad command line.
)";
}

} // namespace peterin::sim
