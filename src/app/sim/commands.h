#pragma once

#include <string>

#include "app/sim/options.h"
#include "play/game.h"
#include "records/replay.h"
#include "session/session.h"

#include <functional>
#include <memory>
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

// The program's session without its window: the timers tick only when asked, and every
// message the session tells is kept.
class Headless : public TickTimers {
  public:
    Headless();

    Game& game() { return session.game(); }
    // Whether the game wants the player's timer running.
    bool running(int player) const { return session.playback().timerWanted(player); }
    // One timeout of the player's timer: one tick at the speed the tool plays at.
    void tick(int player) { session.timeout(player); }

    void startTicking(int, int) override {}
    void stopTicking(int) override {}

    Session session{*this, [] { return std::int64_t{0}; }};
    std::vector<Message> messages;
    // Sees every report of the session as the window would.
    std::function<void(const Changes&)> watch;
};

// Starts the session as resolve does: the settings of `ini` (else the defaults), then `file`
// read as the open command reads it. An Outcome with status 1 when a file cannot be read; its
// err holds the reader's messages otherwise.
Outcome startGame(Headless& headless, const std::string& file,
                  const std::optional<std::string>& ini);

// Runs 1P's timer until 1P waits for input; `eachTick` sees every tick after it ran. False when
// the turn does not end within kMaxTicks.
bool runTurn(Headless& headless, long& ticks, const std::function<void()>& eachTick = {});
// What a turn that did not end within kMaxTicks is told as.
Outcome notSettled();

Outcome runResolve(const ResolveCommand& command);
Outcome runPairs(const PairsCommand& command);
Outcome runCheck(const CheckCommand& command);
Outcome runSuggest(const SuggestCommand& command);
Outcome runAutoplay(const AutoplayCommand& command);
// Reads the record `file` and replays it whole, checking it: status 1 with one line (the file,
// the line and why) when it cannot be used; otherwise `replay` holds it, checked.
Outcome checkedReplay(const std::string& file, std::unique_ptr<Replay>& replay);
Outcome runReplay(const ReplayCommand& command);
Outcome runReview(const ReviewCommand& command);
Outcome runSolve(const SolveCommand& command);
Outcome runBattle(const BattleCommand& command);
// The session starts with the settings of `ini` (else the defaults), at the normal speed.
Outcome startSession(Headless& headless, const std::optional<std::string>& ini);
// Needs the drawing library; a build without Qt has none and says so.
Outcome runRender(const RenderCommand& command);

} // namespace peterin::sim
