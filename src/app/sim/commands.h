#pragma once

#include <string>

#include "app/sim/options.h"

namespace peterin::sim {

// What a command printed and how the process should end.
struct Outcome {
    int status = 0;  // 0 done, 1 a file could not be read, 2 a bad command line
    std::string out; // standard output, written whole or not at all
    std::string err; // standard error, one line per problem
};

Outcome runResolve(const ResolveCommand& command);
Outcome runPairs(const PairsCommand& command);
Outcome runCheck(const CheckCommand& command);
Outcome runSuggest(const SuggestCommand& command);
Outcome runAutoplay(const AutoplayCommand& command);

} // namespace peterin::sim
