#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "history/snapshot.h"
#include "play/game.h"

namespace peterin {

// How fast the turn cycle plays. The tick counts stay as they are; a speed changes only the
// real time between ticks. Instant runs a turn to its end at once, through the same ticks.
enum class PlaybackSpeed : int {
    Quarter = 0,   // ×1/4: 40 ms a tick
    Half = 1,      // ×1/2: 20 ms
    Normal = 2,    // ×1: the 10 ms of the turn timer
    Double = 3,    // ×2: 5 ms
    Quadruple = 4, // ×4: 2.5 ms
    Instant = 5,   // 一瞬
};
inline constexpr int kPlaybackSpeedCount = 6;

// Real time between two ticks at `speed`, in nanoseconds; 0 for Instant.
std::int64_t tickPeriodNs(PlaybackSpeed speed);

// The speed's code in the settings file: its percentage of the normal speed, -1 for Instant.
std::int32_t speedCode(PlaybackSpeed speed);
// The speed a code stands for; nothing for an unknown code.
std::optional<PlaybackSpeed> speedFromCode(std::int32_t code);

// The real timers of the players, as the windowing side keeps them.
class TickTimers {
  public:
    virtual ~TickTimers() = default;
    // Starts, or restarts, the player's timer with a period of `intervalMs` (0: as soon as
    // possible); each timeout calls Playback::onTimer.
    virtual void startTicking(int player, int intervalMs) = 0;
    virtual void stopTicking(int player) = 0;
};

// The tick source of the turn cycle: the UI's timers drive it, and it runs the ticks, so it can
// hold them (pause), run them one at a time or up to the next scene or chain step, space them
// at another speed, and take the game back to an earlier chain step.
//
// The game asks for a player's timer to start and stop; the session passes those requests
// here. While playing, a request goes straight on to the real timer; while paused, it is only
// remembered, and the real timers rest until play resumes.
class Playback {
  public:
    // `clockNs`: a monotonic clock in nanoseconds, read only to space the ticks of a speed whose
    // period is not a whole number of milliseconds.
    // The chain steps kept for going back take at most `maxMomentBytes`: on huge fields the
    // oldest are forgotten, and where one alone is larger there is no going back.
    static constexpr std::int64_t kDefaultMaxMomentBytes = std::int64_t{64} << 20;

    Playback(Game& game, TickTimers& timers, std::function<std::int64_t()> clockNs,
             std::int64_t maxMomentBytes = kDefaultMaxMomentBytes);
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // The game asked for the player's timer to run (or to restart), or to stop.
    void timerStarted(int player);
    void timerStopped(int player);
    // Whether the game wants the player's timer running, paused or not.
    bool timerWanted(int player) const { return wanted_[index(player)]; }

    // A timeout of the player's real timer.
    void onTimer(int player);

    bool paused() const { return paused_; }
    // Holds or resumes the ticks. While held, the pair keys are held too, so the turn cycle
    // stays exactly as it is.
    void setPaused(bool paused);

    // Each command below pauses first, so a step taken while playing holds the game after it.
    // One tick for every player whose timer would run, 1P first, as one round of their
    // timers. Returns false when no timer would run.
    bool stepTick();
    // Rounds until the picture changes phase (groups shown, vanishing, the fall over, the
    // player idle) or no timer would run. Returns false when nothing ran.
    bool nextScene();
    // Rounds until the groups of a further chain step are first shown, or
    // until no timer would run. Returns false when nothing ran.
    bool nextChainStep();
    // Puts the game back exactly as it was when the groups of the latest chain step
    // before now were first shown, in the current turn or the last one with a chain; playing on
    // from there gives the same chain again. Returns false when there is no such step, and
    // when the fields were changed since the last tick by anything but play (editing, clearing,
    // a file, a stored position): such a position is the user's and is never replaced.
    bool previousChainStep();
    // Forgets the chain steps kept for going back, and the memory they take.
    void forgetChainSteps();

    PlaybackSpeed speed() const { return speed_; }
    // Takes effect at once; the speed is also kept in the settings, for the next save.
    void setSpeed(PlaybackSpeed speed);
    // The interval the real timers run with at the current speed.
    int timerIntervalMs() const;

    // The player whose tick is running now, or -1 between ticks.
    int tickingPlayer() const { return inTick_ ? lastTicked_ : -1; }

    // Ticks run so far (each player's tick counts once).
    std::uint64_t ticks() const { return ticks_; }
    // Called after every tick with the player ticked; for measuring.
    void setTickListener(std::function<void(int player)> listener) {
        listener_ = std::move(listener);
    }
    // Chooses the player each tick is run for, whichever timer fired (nothing: no tick), so
    // that a game record is played in the order its ticks ran; none runs each timer's player.
    void setTickRouter(std::function<std::optional<int>(int timer)> router) {
        router_ = std::move(router);
    }

  private:
    static std::size_t index(int player) { return static_cast<std::size_t>(player); }
    void startReal(int player);
    struct TickOutcome {
        bool sceneChanged = false; // a phase was entered or left
        bool stepShown = false;    // the groups of a chain step are shown from now on
    };
    // One tick of the player.
    TickOutcome runTick(int player);
    // One round: a tick for each player whose timer would run at its start and still does.
    // Returns false when no timer would run.
    bool runRound(TickOutcome& outcome);
    // Paused, rounds until `until` turns true in one of them (every round with none), at most
    // `mostRounds`, or until no timer would run. Returns false when nothing ran.
    bool seek(std::uint64_t mostRounds, bool TickOutcome::*until);
    // Keeps the moment of a chain step shown in the round just ended.
    void keepPendingMoment();
    bool anyWanted() const;
    void runInstant();
    // The cell kinds of both fields, to tell later whether only play has changed them.
    std::uint64_t fieldsPrint() const;
    // The fields were changed by anything but play since the last tick: the moments kept lead
    // to other positions, and going back to one would replace the user's.
    void forgetMomentsIfChangedOutsidePlay();
    void notePlayedFields() { playedPrint_ = fieldsPrint(); }

    Game& game_;
    TickTimers& timers_;
    std::function<std::int64_t()> clockNs_;
    std::function<void(int)> listener_;
    std::function<std::optional<int>(int)> router_;
    std::array<bool, kPlayerCount> wanted_{};
    // When the player's next tick is due, for speeds paced by the clock.
    std::array<std::int64_t, kPlayerCount> nextDueNs_{};
    bool paused_ = false;
    PlaybackSpeed speed_ = PlaybackSpeed::Normal;
    std::uint64_t ticks_ = 0;
    // Set when the game starts a timer during a tick: a phase was entered.
    bool phaseEntered_ = false;
    bool inTick_ = false;

    // The moments at which the groups of a chain step were first shown, oldest first, taken at
    // the end of the round in which they were shown, so that the rounds run on from there in
    // the same order. They belong to the current turn, or the last one that had a chain.
    struct ChainMoment {
        Snapshot position;
        std::array<bool, kPlayerCount> wanted{};
        std::uint64_t tick = 0;
        std::int64_t bytes = 0; // what `position` takes, about
    };
    std::int64_t maxMomentBytes_;
    std::vector<ChainMoment> moments_;
    bool momentPending_ = false;
    // Every timer stopped since the last step was kept: the next step starts a new list.
    bool turnOver_ = false;
    // The player ticked last; a tick of this player or one before it begins a new round.
    int lastTicked_ = kPlayerCount;
    // fieldsPrint after the last ticks run or position put back.
    std::uint64_t playedPrint_ = 0;
};

} // namespace peterin
