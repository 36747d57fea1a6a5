#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "history/playback.h"
#include "play/commands.h"
#include "play/editing.h"
#include "play/memory_budget.h"
#include "play/turn_cycle.h"
#include "recorder.h"

namespace peterin {
namespace {

using testing::paintRows;

// Five chain steps of four in 2 x 2 squares, each square dropping into place when the one
// below it vanishes.
void paintFiveStepChain(Field& field) {
    paintRows(field, {"---B--", "---B--", "---R--", "---R--", "---GB-", "---GB-", "--RBG-",
                      "--RBG-", "--BRR-", "--BRR-"});
}

// A tick as (player, phases, countdowns, chain counts, scores) right after it ran.
using Tick = std::tuple<int, int, int, int, int, int, int, int, int>;
Tick tickOf(const Game& game, int p) {
    const Player& a = game.players[0];
    const Player& b = game.players[1];
    return {p,
            static_cast<int>(a.phase),
            static_cast<int>(b.phase),
            a.countdown,
            b.countdown,
            a.chainCount,
            b.chainCount,
            a.score,
            b.score};
}

// A game whose port hands the timer requests to a playback, with real timers as a simulated
// event loop: each running timer fires at its own deadlines on a fake clock.
struct PlaybackHarness : testing::Recorder, TickTimers {
    explicit PlaybackHarness(std::int64_t maxMomentBytes = Playback::kDefaultMaxMomentBytes)
        : playback{game, *this, [this] { return now; }, maxMomentBytes} {
        initGame(game, 0);
        playback.setTickListener([this](int p) { trace.push_back(tickOf(game, p)); });
    }

    std::int64_t now = 0;
    std::array<bool, kPlayerCount> real{};
    std::array<std::int64_t, kPlayerCount> intervalNs{};
    std::array<std::int64_t, kPlayerCount> nextFire{};
    Game game{*this};
    Playback playback;
    std::vector<Tick> trace;

    void startTimer(int p) override {
        Recorder::startTimer(p);
        playback.timerStarted(p);
    }
    void stopTimer(int p) override {
        Recorder::stopTimer(p);
        playback.timerStopped(p);
    }
    void startTicking(int p, int intervalMs) override {
        const auto i = static_cast<std::size_t>(p);
        real[i] = true;
        intervalNs[i] = std::int64_t{intervalMs} * 1'000'000;
        nextFire[i] = now + intervalNs[i];
    }
    void stopTicking(int p) override { real[static_cast<std::size_t>(p)] = false; }

    bool anyReal() const { return real[0] || real[1]; }
    // Moves the clock to the next timeout (1P first on a tie) and delivers it.
    bool fireNext() {
        int p = -1;
        for (int q = 0; q < kPlayerCount; ++q) {
            const auto i = static_cast<std::size_t>(q);
            if (real[i] && (p < 0 || nextFire[i] < nextFire[static_cast<std::size_t>(p)]))
                p = q;
        }
        if (p < 0)
            return false;
        const auto i = static_cast<std::size_t>(p);
        now = nextFire[i];
        nextFire[i] += intervalNs[i];
        playback.onTimer(p);
        return true;
    }
    void runUntilIdle() {
        for (int n = 0; n < 1'000'000 && fireNext(); ++n) {
        }
    }
    Player& player(int p) { return game.players[static_cast<std::size_t>(p)]; }
    std::uint8_t key(PairAction action, int group = kKeyGroupSolo) const {
        return game.settings.keys[static_cast<std::size_t>(pairKeyIndex(action, group))];
    }
};

// Play: the five-step chain in 1P's field. Battle: the same chain on both sides, with an
// announcement so that nuisance falls while the other side chains.
void startChain(PlaybackHarness& h, Mode mode) {
    paintFiveStepChain(h.player(0).field);
    if (mode == Mode::Battle)
        paintFiveStepChain(h.player(1).field);
    changeMode(h.game, mode);
    if (mode == Mode::Battle)
        h.player(1).pendingNuisance = 9;
}

TEST(Playback, PausingAtEveryTickAndSteppingOnGivesTheSameRunAsPlaying) {
    for (const Mode mode : {Mode::Play, Mode::Battle}) {
        SCOPED_TRACE(static_cast<int>(mode));
        PlaybackHarness played;
        startChain(played, mode);
        played.runUntilIdle();
        ASSERT_EQ(played.player(0).chainCount, 5);

        PlaybackHarness stepped;
        startChain(stepped, mode);
        int rounds = 0;
        while (rounds < 100000) {
            stepped.playback.setPaused(true);
            EXPECT_FALSE(stepped.anyReal()); // nothing ticks while paused
            const auto before = stepped.trace.size();
            for (int i = 0; i < 3; ++i)
                stepped.fireNext();
            EXPECT_EQ(stepped.trace.size(), before);
            if (!stepped.playback.stepTick())
                break;
            ++rounds;
            // Resuming between the steps must not disturb the cycle either.
            stepped.playback.setPaused(false);
        }
        EXPECT_EQ(stepped.trace, played.trace);
        EXPECT_EQ(stepped.statusHistory, played.statusHistory);
        for (int p = 0; p < kPlayerCount; ++p) {
            EXPECT_EQ(stepped.player(p).pendingNuisance, played.player(p).pendingNuisance);
            EXPECT_TRUE(stepped.player(p).field.cells == played.player(p).field.cells);
        }
        EXPECT_EQ(stepped.game.rng.state, played.game.rng.state);
    }
}

TEST(Playback, AtNormalSpeedNeverPausedTheTimerAndItsTicksAreTheOnesWithoutPlayback) {
    testing::Harness plain;
    paintFiveStepChain(plain.field(0));
    changeMode(plain.game, Mode::Play);
    std::vector<Tick> expected;
    while (plain.running(0) && expected.size() < 100000) {
        gameTick(plain.game, 0);
        expected.push_back(tickOf(plain.game, 0));
    }
    PlaybackHarness h;
    startChain(h, Mode::Play);
    EXPECT_EQ(h.intervalNs[0], 10'000'000);
    h.runUntilIdle();
    EXPECT_EQ(h.trace, expected);
    EXPECT_EQ(h.statusHistory, plain.ui.statusHistory);
    EXPECT_EQ(h.now, static_cast<std::int64_t>(expected.size()) * 10'000'000);
}

TEST(Playback, EverySpeedRunsTheSameTicksAndOnlyTheRealTimeBetweenThemChanges) {
    PlaybackHarness normal;
    startChain(normal, Mode::Battle);
    normal.runUntilIdle();
    const std::int64_t normalTime = normal.now;
    const double normalPeriod = static_cast<double>(normalTime) / normal.trace.size() * 2;

    const std::pair<PlaybackSpeed, double> speeds[] = {
        {PlaybackSpeed::Quarter, 4.0}, {PlaybackSpeed::Half, 2.0},
        {PlaybackSpeed::Double, 0.5},  {PlaybackSpeed::Quadruple, 0.25},
        {PlaybackSpeed::Instant, 0.0},
    };
    for (const auto& [speed, factor] : speeds) {
        SCOPED_TRACE(speedCode(speed));
        PlaybackHarness h;
        h.playback.setSpeed(speed);
        startChain(h, Mode::Battle);
        h.runUntilIdle();
        EXPECT_EQ(h.trace, normal.trace);
        EXPECT_EQ(h.statusHistory, normal.statusHistory);
        const double period = static_cast<double>(h.now) / h.trace.size() * 2;
        EXPECT_NEAR(period, normalPeriod * factor, normalPeriod * 0.02);
    }
}

TEST(Playback, GoingBackAChainStepAndPlayingOnGivesTheSameChainAgain) {
    for (const Mode mode : {Mode::Play, Mode::Battle}) {
        SCOPED_TRACE(static_cast<int>(mode));
        PlaybackHarness h;
        startChain(h, mode);
        h.runUntilIdle();
        const auto played = h.trace;
        const auto status = h.statusHistory;
        const std::uint32_t rng = h.game.rng.state;
        const std::int32_t score = h.player(0).score;
        const auto cells = h.player(1).field.cells;

        // From the end of the turn back through every step to the first; further back is none.
        std::vector<int> chainCounts;
        while (h.playback.previousChainStep()) {
            EXPECT_TRUE(h.playback.paused());
            EXPECT_EQ(h.player(0).phase, Phase::ShowGroups);
            EXPECT_EQ(h.player(0).countdown, h.game.settings.linkTicks);
            chainCounts.push_back(h.player(0).chainCount);
        }
        EXPECT_EQ(chainCounts, (std::vector<int>{4, 3, 2, 1, 0}));
        EXPECT_EQ(h.game.shownStatus[0].chainCount, 0);

        // Forward two steps, back one: the third step's moment again.
        ASSERT_TRUE(h.playback.nextChainStep());
        ASSERT_TRUE(h.playback.nextChainStep());
        EXPECT_EQ(h.player(0).chainCount, 2);
        ASSERT_TRUE(h.playback.stepTick());
        ASSERT_TRUE(h.playback.previousChainStep());
        EXPECT_EQ(h.player(0).chainCount, 2);
        EXPECT_EQ(h.player(0).countdown, h.game.settings.linkTicks);

        const auto from = static_cast<std::size_t>(h.playback.ticks());
        h.trace.clear();
        h.statusHistory.clear();
        h.playback.setPaused(false);
        h.runUntilIdle();
        EXPECT_EQ(h.trace,
                  decltype(h.trace)(played.begin() + static_cast<long>(from), played.end()));
        EXPECT_EQ(h.player(0).score, score);
        EXPECT_EQ(h.statusHistory,
                  decltype(status)(status.end() - static_cast<long>(h.statusHistory.size()),
                                   status.end()));
        EXPECT_FALSE(h.statusHistory.empty());
        EXPECT_EQ(h.game.rng.state, rng);
        EXPECT_TRUE(h.player(1).field.cells == cells);
    }
}

// On fields so large that the steps' positions outgrow their memory, the oldest are forgotten;
// a position larger than all of it alone is not kept at all.
TEST(Playback, TheChainStepsKeptForGoingBackStayWithinTheirMemory) {
    const std::int64_t position = positionBytes(6, 12, Settings{}.nextCount + 1);
    const struct {
        std::int64_t maxBytes;
        std::vector<int> stepsBack;
    } cases[] = {
        {5 * position, {4, 3, 2, 1, 0}},
        {2 * position + position / 2, {4, 3}},
        {position - 1, {}},
    };
    for (const auto& c : cases) {
        PlaybackHarness h(c.maxBytes);
        startChain(h, Mode::Play);
        h.runUntilIdle();
        std::vector<int> chainCounts;
        while (h.playback.previousChainStep())
            chainCounts.push_back(h.player(0).chainCount);
        EXPECT_EQ(chainCounts, c.stepsBack) << c.maxBytes;
    }
}

TEST(Playback, GoingBackNeverReplacesFieldsChangedOtherwiseThanByPlay) {
    // Going back right after the change, and after playing on from the changed field.
    for (const bool playOn : {false, true}) {
        PlaybackHarness h;
        startChain(h, Mode::Play);
        h.runUntilIdle();
        // The chain clears the field; then a red is painted with the mouse into the bottom left.
        changeMode(h.game, Mode::Edit);
        setEditKind(h.game, CellKind::Red);
        const auto& s = h.game.settings;
        onFieldMouseMove(h.game, 0, 1,
                         static_cast<std::uint16_t>((s.fieldHeight + 2) * s.cellHeight - 1), false);
        onFieldLeftDown(h.game, 0);
        ASSERT_EQ(getCell(h.player(0).field, 0, s.fieldHeight - 1), CellKind::Red);
        if (playOn) {
            changeMode(h.game, Mode::Play);
            h.runUntilIdle();
        }
        EXPECT_FALSE(h.playback.previousChainStep()) << playOn;
        EXPECT_EQ(getCell(h.player(0).field, 0, s.fieldHeight - 1), CellKind::Red);
    }
}

TEST(Playback, NextSceneStopsWhereThePictureChangesPhase) {
    PlaybackHarness h;
    h.game.settings.vanishCount = 4;
    paintRows(h.player(0).field, {"B--", "RB-", "RB-", "RRB"}); // two steps
    changeMode(h.game, Mode::Play);
    h.playback.setPaused(true);
    std::vector<Phase> scenes;
    while (h.playback.nextScene())
        scenes.push_back(h.player(0).phase);
    EXPECT_EQ(scenes,
              (std::vector<Phase>{Phase::ShowGroups, Phase::Vanish, Phase::Fall, Phase::ShowGroups,
                                  Phase::Vanish, Phase::Fall, Phase::Idle}));
    EXPECT_EQ(h.player(0).chainCount, 2);
    EXPECT_FALSE(h.playback.stepTick()); // nothing left to run
}

TEST(Playback, PairKeysWaitWhilePausedAndActAgainOnceResumed) {
    PlaybackHarness h;
    changeMode(h.game, Mode::Play);
    h.runUntilIdle();
    const std::int32_t column = h.player(0).fallingPair.x;
    h.playback.setPaused(true);
    onKeyDown(h.game, h.key(PairAction::Left));
    onKeyDown(h.game, h.key(PairAction::Down));
    EXPECT_EQ(h.player(0).fallingPair.x, column);
    EXPECT_EQ(h.player(0).phase, Phase::Idle);
    // Other keys still work: the mode key starts battle, which waits paused.
    onKeyDown(h.game, h.game.settings.keys[kKeyBattleMode]);
    EXPECT_EQ(h.game.mode, Mode::Battle);
    EXPECT_FALSE(h.anyReal());
    h.playback.setPaused(false);
    EXPECT_TRUE(h.anyReal());
    h.runUntilIdle();
    onKeyDown(h.game, h.key(PairAction::Down));
    EXPECT_EQ(h.player(0).phase, Phase::PairFall);
}

} // namespace
} // namespace peterin
