// peterin-sim: the game engine without the window, for studying positions from a terminal.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/sim/commands.h"
#include "app/sim/options.h"

namespace {

using namespace peterin::sim;

Outcome run(const std::vector<std::string>& args) {
    const Command command = parseCommandLine(args);
    if (const auto* usage = std::get_if<UsageError>(&command)) {
        return {2, "", "peterin-sim: " + usage->text + "\n"};
    }
    if (std::holds_alternative<HelpCommand>(command)) {
        return {0, helpText(), ""};
    }
    if (std::holds_alternative<VersionCommand>(command)) {
        return {0, versionText(), ""};
    }
    if (const auto* resolve = std::get_if<ResolveCommand>(&command)) {
        return runResolve(*resolve);
    }
    if (const auto* pairs = std::get_if<PairsCommand>(&command)) {
        return runPairs(*pairs);
    }
    if (const auto* suggest = std::get_if<SuggestCommand>(&command)) {
        return runSuggest(*suggest);
    }
    if (const auto* autoplay = std::get_if<AutoplayCommand>(&command)) {
        return runAutoplay(*autoplay);
    }
    if (const auto* replay = std::get_if<ReplayCommand>(&command)) {
        return runReplay(*replay);
    }
    if (const auto* review = std::get_if<ReviewCommand>(&command)) {
        return runReview(*review);
    }
    if (const auto* solve = std::get_if<SolveCommand>(&command)) {
        return runSolve(*solve);
    }
    if (const auto* battle = std::get_if<BattleCommand>(&command)) {
        return runBattle(*battle);
    }
    if (const auto* render = std::get_if<RenderCommand>(&command)) {
#ifdef PETERIN_SIM_RENDER
        return runRender(*render);
#else
        (void)render;
        return {1, "", "peterin-sim: this build has no drawing; render needs the Qt program\n"};
#endif
    }
    return runCheck(std::get<CheckCommand>(command));
}

} // namespace

int main(int argc, char** argv) {
    Outcome outcome;
    try {
        outcome = run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "peterin-sim: %s\n", e.what());
        return 1;
    }
    std::fputs(outcome.err.c_str(), stderr);
    if (!outcome.out.empty()) {
        std::fwrite(outcome.out.data(), 1, outcome.out.size(), stdout);
        if (std::fflush(stdout) != 0) {
            std::fprintf(stderr, "peterin-sim: cannot write the output\n");
            return 1;
        }
    }
    return outcome.status;
}
