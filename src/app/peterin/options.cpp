#include "app/peterin/options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace peterin::app {

namespace {

// Qt's own command-line options, which QApplication takes out of the arguments itself; each
// may be written with one dash or two.
constexpr std::array<std::string_view, 15> kQtValueOptions = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display",    "name",
    "title",       "geometry",           "style",         "stylesheet", "visual"};
constexpr std::array<std::string_view, 7> kQtFlagOptions = {
    "reverse", "widgetcount", "nograb", "dograb", "sync", "testability", "qmljsdebugger"};

bool contains(const auto& table, std::string_view name) {
    return std::find(table.begin(), table.end(), name) != table.end();
}

StartOptions usageError(std::string text) {
    return {StartOptions::Action::UsageError, false, "peterin: " + text + " (try peterin --help)"};
}

} // namespace

StartOptions parseStartOptions(const std::vector<std::string>& args) {
    StartOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            return {StartOptions::Action::Help, false, {}};
        if (arg == "--version")
            return {StartOptions::Action::Version, false, {}};
        if (arg == "--desktop") {
            options.desktop = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-')
            return usageError("unexpected argument " + arg);
        std::string_view name(arg);
        name.remove_prefix(name.starts_with("--") ? 2 : 1);
        const std::size_t equals = name.find('=');
        const std::string_view bare = name.substr(0, equals);
        if (contains(kQtFlagOptions, bare))
            continue;
        if (!contains(kQtValueOptions, bare))
            return usageError("unknown option " + arg);
        if (equals == std::string_view::npos && ++i >= args.size())
            return usageError("option " + arg + " needs a value");
    }
    return options;
}

std::string startHelpText() {
    return "Usage: peterin [--desktop] [Qt options]\n"
           "ぺてりん: simulator and editor for a falling-pair colour-matching puzzle game.\n"
           "\n"
           "  --desktop   keep 設定.ini in $XDG_CONFIG_HOME/peterin (~/.config/peterin), as\n"
           "              the desktop menu starts it; otherwise 設定.ini is in the current\n"
           "              directory\n"
           "  --help      show this help and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "Qt's own options (-platform, -style, -reverse, ...) are passed on to Qt.\n";
}

std::string startVersionText() {
    return "peterin " PETERIN_VERSION "\n";
}

} // namespace peterin::app
