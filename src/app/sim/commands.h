#pragma once

#include <string>

#include "app/sim/options.h"
#include "play/game.h"

#include <optional>
#include <vector>

namespace peterin::sim {

// What a command printed and how the process should end.
struct Outcome {
    int status = 0;  // 0 done, 1 a file could not be read, 2 a bad command line
    std::string out; // standard output, written whole or not at all
    std::string err; // standard error, one line per problem
};

// A settled field never needs this many ticks; more means something keeps the turn running.
inline constexpr long kMaxTicks = 100'000'000;

// Stands in for the window: remembers whether each timer runs and every message shown.
class HeadlessUi : public NullGameEvents {
  public:
    bool timerRunning[kPlayerCount] = {false, false};
    std::vector<Message> messages;

    void startTimer(int player) override { timerRunning[player] = true; }
    void stopTimer(int player) override { timerRunning[player] = false; }
    void tell(const Message& message) override { messages.push_back(message); }
};

// Starts `game` as resolve does: the settings of `ini` (else the defaults), then `file` read
// as the open command reads it. An Outcome with status 1 when a file cannot be read; its err
// holds the reader's messages otherwise.
Outcome startGame(Game& game, HeadlessUi& ui, const std::string& file,
                  const std::optional<std::string>& ini);

Outcome runResolve(const ResolveCommand& command);
Outcome runPairs(const PairsCommand& command);
Outcome runCheck(const CheckCommand& command);
Outcome runSuggest(const SuggestCommand& command);
Outcome runAutoplay(const AutoplayCommand& command);
// Needs the drawing library; a build without Qt has none and says so.
Outcome runRender(const RenderCommand& command);

} // namespace peterin::sim
