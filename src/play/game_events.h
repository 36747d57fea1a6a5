#pragma once

#include <cstdint>
#include <string>

#include "settings/message.h"
#include "settings/settings.h"

namespace peterin {

// The chain count and score shown for a player.
struct ShownStatus {
    std::int32_t chainCount = 0;
    std::int32_t score = 0;

    bool operator==(const ShownStatus&) const = default;
};

// What the game tells whoever runs it, as it happens. The core never draws, times or shows
// anything itself: the session collects these into one report of what changed, and headless
// users (tests, benchmarks, the fuzzers) watch only what they need.
class GameEvents {
  public:
    virtual ~GameEvents() = default;

    // A busy player's turn advances one step per 10 ms tick; each tick calls gameTick.
    // Starting a running timer restarts it.
    virtual void startTimer(int player) = 0;
    // The player went idle or the mode changed; its ticks must stop.
    virtual void stopTimer(int player) = 0;

    // The player's cells, falling pair or phase changed.
    virtual void fieldChanged(int player) = 0;
    // The player's queue of coming pairs changed.
    virtual void queueChanged(int player) = 0;
    // The nuisance announced to the player changed.
    virtual void warningChanged(int player) = 0;
    // Anything shown may have changed: the stored position on screen, the edit kind, the mode.
    virtual void allChanged() = 0;

    // A pair key acts on the player's falling pair, just before it does: game records keep
    // every one, whatever key or program pressed it.
    virtual void pairActed(int player, PairAction action) = 0;
    // A chain step of the player's sent `count` nuisance blobs (offset or announced), and
    // `count` blobs of the nuisance announced to the player fell into its field.
    virtual void nuisanceSent(int player, std::int32_t count) = 0;
    virtual void nuisanceFell(int player, std::int32_t count) = 0;
    // The chain count and score of the player's turn changed.
    virtual void statusChanged(int player, ShownStatus status) = 0;
    // Something the user must be told.
    virtual void tell(const Message& message) = 0;
    // The random position of the pair loaded last.
    virtual void randomPositionChanged(std::uint32_t position) = 0;
    // "MAIN" or the ID of the stored position on screen.
    virtual void tempIdChanged(const std::string& text) = 0;
    // The field size or the number of next pairs changed: the views take new sizes.
    virtual void sizesChanged() = 0;
    // The mode changed so that the main window takes the size the mode calls for (Battle shows
    // 2P; Edit puts a stale size right).
    virtual void modeSizeDue() = 0;
    // A decisive battle's game is over: `winner` won it (see BattleScore).
    virtual void battleDecided(int winner) { (void)winner; }
};

// Ignores every event: the base for headless users that override only what they watch.
class NullGameEvents : public GameEvents {
  public:
    void startTimer(int) override {}
    void stopTimer(int) override {}
    void fieldChanged(int) override {}
    void queueChanged(int) override {}
    void warningChanged(int) override {}
    void allChanged() override {}
    void pairActed(int, PairAction) override {}
    void nuisanceSent(int, std::int32_t) override {}
    void nuisanceFell(int, std::int32_t) override {}
    void statusChanged(int, ShownStatus) override {}
    void tell(const Message&) override {}
    void randomPositionChanged(std::uint32_t) override {}
    void tempIdChanged(const std::string&) override {}
    void sizesChanged() override {}
    void modeSizeDue() override {}
};

} // namespace peterin
