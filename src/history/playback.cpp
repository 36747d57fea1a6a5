#include "history/playback.h"

#include "play/memory_budget.h"
#include "play/turn_cycle.h"

#include <iterator>

namespace peterin {

namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;

struct SpeedRow {
    PlaybackSpeed speed;
    std::int64_t periodNs;
    std::int32_t code;
};

constexpr SpeedRow kSpeeds[kPlaybackSpeedCount] = {
    {PlaybackSpeed::Quarter, 40 * kNsPerMs, 25},       {PlaybackSpeed::Half, 20 * kNsPerMs, 50},
    {PlaybackSpeed::Normal, 10 * kNsPerMs, 100},       {PlaybackSpeed::Double, 5 * kNsPerMs, 200},
    {PlaybackSpeed::Quadruple, 5 * kNsPerMs / 2, 400}, {PlaybackSpeed::Instant, 0, -1},
};

const SpeedRow& rowOf(PlaybackSpeed speed) {
    return kSpeeds[static_cast<int>(speed)];
}

// A timer late by more than this many periods drops the backlog instead of catching up in a
// burst, as the window system's own timers do.
constexpr std::int64_t kMostTicksPerTimeout = 4;

// Instant plays a turn through in one go; a turn longer than this (only absurd tick counts make
// one) goes on at the next timeout, so the program never stops answering.
constexpr std::uint64_t kMostInstantTicks = 2'000'000;

// A scene or chain step further away than this many ticks is not waited for in one command.
constexpr std::uint64_t kMostSeekTicks = 2'000'000;

// Whether the speed's period is a whole number of milliseconds, so a timer of that interval
// paces it alone; otherwise a 1 ms timer runs each tick once its time on the clock has come.
bool wholeMilliseconds(PlaybackSpeed speed) {
    return rowOf(speed).periodNs % kNsPerMs == 0;
}

} // namespace

std::int64_t tickPeriodNs(PlaybackSpeed speed) {
    return rowOf(speed).periodNs;
}

std::int32_t speedCode(PlaybackSpeed speed) {
    return rowOf(speed).code;
}

std::optional<PlaybackSpeed> speedFromCode(std::int32_t code) {
    for (const SpeedRow& row : kSpeeds) {
        if (row.code == code) {
            return row.speed;
        }
    }
    return std::nullopt;
}

Playback::Playback(Game& game, TickTimers& timers, std::function<std::int64_t()> clockNs,
                   std::int64_t maxMomentBytes)
    : game_(game), timers_(timers), clockNs_(std::move(clockNs)), maxMomentBytes_(maxMomentBytes) {
    speed_ = speedFromCode(game_.settings.playbackSpeed).value_or(PlaybackSpeed::Normal);
}

int Playback::timerIntervalMs() const {
    if (speed_ == PlaybackSpeed::Instant) {
        return 0;
    }
    return wholeMilliseconds(speed_) ? static_cast<int>(tickPeriodNs(speed_) / kNsPerMs) : 1;
}

void Playback::startReal(int player) {
    nextDueNs_[index(player)] = clockNs_() + tickPeriodNs(speed_);
    timers_.startTicking(player, timerIntervalMs());
}

void Playback::timerStarted(int player) {
    wanted_[index(player)] = true;
    if (inTick_) {
        phaseEntered_ = true;
    }
    if (!paused_) {
        startReal(player);
    }
}

void Playback::timerStopped(int player) {
    wanted_[index(player)] = false;
    timers_.stopTicking(player);
}

bool Playback::anyWanted() const {
    for (const bool wanted : wanted_) {
        if (wanted) {
            return true;
        }
    }
    return false;
}

Playback::TickOutcome Playback::runTick(int timer) {
    int player = timer;
    if (router_) {
        const std::optional<int> routed = router_(timer);
        if (!routed) {
            return {};
        }
        player = *routed;
    }
    if (player <= lastTicked_) {
        keepPendingMoment(); // a new round begins
    }
    lastTicked_ = player;
    std::array<Phase, kPlayerCount> before{};
    for (int p = 0; p < kPlayerCount; ++p) {
        before[index(p)] = playerOf(game_, p).phase;
    }
    phaseEntered_ = false;
    inTick_ = true;
    gameTick(game_, player);
    inTick_ = false;
    ++ticks_;
    TickOutcome outcome;
    outcome.sceneChanged = phaseEntered_;
    for (int p = 0; p < kPlayerCount; ++p) {
        const Phase now = playerOf(game_, p).phase;
        outcome.sceneChanged = outcome.sceneChanged || now != before[index(p)];
        outcome.stepShown =
            outcome.stepShown || (now == Phase::ShowGroups && before[index(p)] != now);
    }
    if (outcome.stepShown) {
        momentPending_ = true;
    }
    if (!anyWanted()) {
        turnOver_ = true;
    }
    if (listener_) {
        listener_(player);
    }
    return outcome;
}

bool Playback::runRound(TickOutcome& outcome) {
    // A timer started by the other side's tick in this round (the lockstep hand-over) restarts
    // its period, so it first fires in the next round, as a real timer would.
    const std::array<bool, kPlayerCount> atStart = wanted_;
    bool ran = false;
    for (int p = 0; p < kPlayerCount; ++p) {
        if (!atStart[index(p)] || !wanted_[index(p)]) {
            continue;
        }
        const TickOutcome tick = runTick(p);
        outcome.sceneChanged = outcome.sceneChanged || tick.sceneChanged;
        outcome.stepShown = outcome.stepShown || tick.stepShown;
        ran = true;
    }
    return ran;
}

void Playback::keepPendingMoment() {
    if (!momentPending_) {
        return;
    }
    momentPending_ = false;
    // A step shown after every timer had stopped begins a new turn's list.
    const bool newTurn = turnOver_ && !moments_.empty();
    turnOver_ = false;
    if (newTurn) {
        moments_.clear();
    }
    // The longest chain fits many times over; an endless battle must not grow without bound.
    constexpr std::size_t kMostMoments = 256;
    const Field& field = game_.players[0].field;
    const std::int64_t bytes =
        positionBytes(field.width, field.height, game_.settings.nextCount + 1);
    if (bytes > maxMomentBytes_) {
        moments_.clear();
        return;
    }
    std::int64_t kept = bytes;
    for (const ChainMoment& moment : moments_) {
        kept += moment.bytes;
    }
    while (!moments_.empty() && (moments_.size() == kMostMoments || kept > maxMomentBytes_)) {
        kept -= moments_.front().bytes;
        moments_.erase(moments_.begin());
    }
    moments_.push_back({capture(game_, false), wanted_, ticks_, bytes});
}

void Playback::onTimer(int player) {
    if (paused_ || !wanted_[index(player)]) {
        return; // a timeout already queued when the timer stopped
    }
    forgetMomentsIfChangedOutsidePlay();
    if (speed_ == PlaybackSpeed::Instant) {
        runInstant();
        return;
    }
    if (wholeMilliseconds(speed_)) {
        runTick(player);
        notePlayedFields();
        return;
    }
    const std::int64_t period = tickPeriodNs(speed_);
    const std::int64_t now = clockNs_();
    std::int64_t& due = nextDueNs_[index(player)];
    if (now - due > kMostTicksPerTimeout * period) {
        due = now - period; // too far behind: one tick now, the next a period on
    }
    while (due <= now && wanted_[index(player)] && !paused_) {
        due += period;
        runTick(player);
    }
    notePlayedFields();
}

void Playback::runInstant() {
    // Round after round, as the timers would run them, only without waiting; the views are
    // drawn once, when the window system next paints.
    TickOutcome outcome;
    std::uint64_t ran = 0;
    while (ran < kMostInstantTicks && runRound(outcome)) {
        ++ran;
    }
    notePlayedFields();
}

void Playback::forgetMomentsIfChangedOutsidePlay() {
    // Hashing huge fields costs; without moments there is nothing to forget.
    if (!moments_.empty() && fieldsPrint() != playedPrint_) {
        moments_.clear();
    }
}

void Playback::forgetChainSteps() {
    moments_.clear();
    moments_.shrink_to_fit();
    momentPending_ = false;
}

std::uint64_t Playback::fieldsPrint() const {
    // FNV-1a over the sizes and kinds.
    std::uint64_t print = 14695981039346656037u;
    const auto mix = [&print](std::uint64_t value) {
        print ^= value;
        print *= 1099511628211u;
    };
    for (const Player& player : game_.players) {
        mix(static_cast<std::uint64_t>(player.field.width));
        mix(static_cast<std::uint64_t>(player.field.height));
        for (const Cell& cell : player.field.cells) {
            mix(static_cast<std::uint64_t>(cell.kind));
        }
    }
    return print;
}

void Playback::setPaused(bool paused) {
    if (paused == paused_) {
        return;
    }
    if (paused) {
        keepPendingMoment();
    }
    paused_ = paused;
    game_.pairKeysHeld = paused;
    for (int p = 0; p < kPlayerCount; ++p) {
        if (!wanted_[index(p)]) {
            continue;
        }
        if (paused) {
            timers_.stopTicking(p);
        } else {
            startReal(p);
        }
    }
}

bool Playback::stepTick() {
    return seek(1, nullptr);
}

bool Playback::nextScene() {
    return seek(kMostSeekTicks, &TickOutcome::sceneChanged);
}

bool Playback::nextChainStep() {
    return seek(kMostSeekTicks, &TickOutcome::stepShown);
}

bool Playback::seek(std::uint64_t mostRounds, bool TickOutcome::*until) {
    setPaused(true);
    forgetMomentsIfChangedOutsidePlay();
    TickOutcome outcome;
    bool ranAny = false;
    for (std::uint64_t n = 0; n < mostRounds && !(until != nullptr && outcome.*until); ++n) {
        if (!runRound(outcome)) {
            break;
        }
        ranAny = true;
    }
    keepPendingMoment();
    notePlayedFields();
    return ranAny;
}

bool Playback::previousChainStep() {
    setPaused(true);
    keepPendingMoment();
    forgetMomentsIfChangedOutsidePlay();
    // The latest step before now; standing on a step, the one before it.
    auto it = moments_.end();
    while (it != moments_.begin() && std::prev(it)->tick >= ticks_) {
        --it;
    }
    if (it == moments_.begin()) {
        return false;
    }
    --it;
    moments_.erase(std::next(it), moments_.end()); // playing on takes them again
    const ChainMoment& moment = *it;
    restore(game_, moment.position);
    wanted_ = moment.wanted; // paused: the real timers wait for play to resume
    ticks_ = moment.tick;
    turnOver_ = false;
    lastTicked_ = kPlayerCount;
    notePlayedFields();
    return true;
}

void Playback::setSpeed(PlaybackSpeed speed) {
    speed_ = speed;
    game_.settings.playbackSpeed = speedCode(speed);
    if (paused_) {
        return;
    }
    for (int p = 0; p < kPlayerCount; ++p) {
        if (wanted_[index(p)]) {
            startReal(p);
        }
    }
}

} // namespace peterin
