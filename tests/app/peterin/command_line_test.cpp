// Both programs' conventional options, run as processes: --help and --version answer on
// standard output with status 0 (the window program without needing a display), and anything
// they do not know gives exactly one line on standard error and status 2.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "run_process.h"

namespace peterin::testing {
namespace {

struct Case {
    const char* program;
    std::vector<std::string> args;
    int status;
    // What standard output begins with; for status 2 what the one line of standard error
    // begins with.
    std::string begins;
};

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CommandLine, HelpAndVersionSucceedAndUnknownOptionsFailWithOneLine) {
    const std::string version = PETERIN_VERSION;
    const std::vector<Case> cases = {
        {PETERIN_PROGRAM, {"--help"}, 0, "Usage: peterin"},
        {PETERIN_PROGRAM, {"-h"}, 0, "Usage: peterin"},
        {PETERIN_PROGRAM, {"--desktop", "--version"}, 0, "peterin " + version + "\n"},
        {PETERIN_PROGRAM, {"--bogus"}, 2, "peterin: unknown option --bogus"},
        {PETERIN_PROGRAM, {"-platform"}, 2, "peterin: option -platform needs a value"},
        {PETERIN_PROGRAM, {"-style=fusion", "position.dat"}, 2, "peterin: unexpected argument"},
        {PETERIN_SIM, {"--help"}, 0, "peterin-sim:"},
        {PETERIN_SIM, {"--version"}, 0, "peterin-sim " + version + "\n"},
        {PETERIN_SIM, {"--bogus"}, 2, "peterin-sim: unknown command \"--bogus\""},
    };
    for (const Case& c : cases) {
        const ProcessResult r = runProcess(c.program, c.args);
        const std::string what = std::string(c.program) + " " + c.args.front();
        EXPECT_EQ(r.status, c.status) << what;
        if (c.status == 0) {
            EXPECT_EQ(r.out.rfind(c.begins, 0), 0u) << what << ": " << r.out;
            EXPECT_EQ(r.err, "") << what;
        } else {
            EXPECT_EQ(r.err.rfind(c.begins, 0), 0u) << what << ": " << r.err;
            EXPECT_EQ(lineCount(r.err), 1u) << what << ": " << r.err;
            EXPECT_EQ(r.out, "") << what;
        }
    }
}

} // namespace
} // namespace peterin::testing
