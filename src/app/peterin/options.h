#pragma once

#include <string>
#include <vector>

namespace peterin::app {

// What the window program's command line asks for. Without arguments it simply runs, as it
// always has; Qt's own options (-platform, -style, ...) pass through to Qt untouched.
struct StartOptions {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    // Started from the desktop menu: 設定.ini lives in the user's configuration folder rather
    // than in whatever directory the menu starts programs in.
    bool desktop = false;
    // For UsageError: the one line to print.
    std::string error;
};

// Reads the arguments after the program name. Runs before Qt sees them, so --help, --version
// and a bad option are answered without a display.
StartOptions parseStartOptions(const std::vector<std::string>& args);

std::string startHelpText();
std::string startVersionText();

} // namespace peterin::app
