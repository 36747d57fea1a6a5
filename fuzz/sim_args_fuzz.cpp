// Feeds arbitrary command lines to peterin-sim's parser: the bytes are split at zero bytes into
// at most eight arguments. Every line must come to one command or one usage error of one line;
// the pairs commands it accepts (without a pattern file, and short) are run, and their output
// must have one line per pair, or be one JSON array.
#include "app/sim/commands.h"
#include "app/sim/options.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace peterin::sim;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

bool oneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size && args.size() <= 8; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (args.size() == 1 && args[0].empty()) {
        args.clear();
    }
    const Command command = parseCommandLine(args);
    if (const auto* usage = std::get_if<UsageError>(&command)) {
        check(oneLine(usage->text), "a usage error is one line");
        return 0;
    }
    if (const auto* pairs = std::get_if<PairsCommand>(&command)) {
        check(pairs->count >= 0 && pairs->count <= kMaxPairCount, "the count is in range");
        if (pairs->pattern || pairs->count > 200) {
            return 0;
        }
        const Outcome outcome = runPairs(*pairs);
        check(outcome.status == 0 && outcome.err.empty(), "pairs without a file succeed");
        const auto lines = std::count(outcome.out.begin(), outcome.out.end(), '\n');
        if (pairs->json) {
            check(outcome.out.starts_with("[") && outcome.out.ends_with("]\n"),
                  "JSON pairs are one array");
        } else {
            check(lines == pairs->count, "one line per pair");
        }
    }
    if (const auto* resolve = std::get_if<ResolveCommand>(&command)) {
        check(!resolve->file.empty() || args.size() > 1, "resolve names a file");
    }
    return 0;
}
