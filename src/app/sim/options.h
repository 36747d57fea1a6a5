#pragma once

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
struct RenderCommand {
    std::string file;
    std::string output;
    bool gif = false; // else a PNG of the views after reading
    std::optional<std::string> ini;
};

struct HelpCommand {};
struct VersionCommand {};

// A command line that does not make sense; `text` is the one line to print.
struct UsageError {
    std::string text;
};

using Command = std::variant<HelpCommand, VersionCommand, ResolveCommand, PairsCommand,
                             CheckCommand, RenderCommand, UsageError>;

// Upper bound of --count, so a typo cannot ask for gigabytes of output.
inline constexpr int kMaxPairCount = 1000000;

// Reads the arguments after the program name.
Command parseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string helpText();
// The text of --version.
std::string versionText();

} // namespace peterin::sim
