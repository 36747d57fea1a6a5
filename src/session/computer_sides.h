#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "analysis/opponent.h"
#include "session/session.h"

namespace peterin {

// The sides the computer plays, one player each as the settings say, on one clock: each beat
// (one tick period) every one of them looks at the game and presses its pair key, if one is
// due, through the session, as a person's keys go. The window beats them from a timer of its
// own and decides on a worker thread; peterin-sim and the tests beat them between ticks and
// decide at once, at the same beats.
class ComputerSides {
  public:
    // Asked to decide `player`'s turn `turn` on what it sees; the answer goes to decided().
    using Decider = std::function<void(int player, int level, std::uint64_t turn,
                                       const analysis::BattleSight& sight)>;

    explicit ComputerSides(Session& session) : session_(session) {}

    // Levels in place of the settings' (peterin-sim: one per side, or the baseline); a side
    // with one is played whatever the settings say.
    void setLevels(const std::array<std::optional<int>, kPlayerCount>& levels) { levels_ = levels; }
    // Nodes each search may use instead of the level's (0: the level's): small for tests.
    void setNodes(std::int64_t nodes) { nodes_ = nodes; }

    // One beat. Without a decider every decision is made at once, on this thread.
    void beat(const Decider& decider = {});
    void decided(int player, std::uint64_t turn, analysis::Decision decision);
    // One tick period played headless as the window plays it: the beat (deciding at once),
    // then one timeout of each timer that runs, 1P first.
    void playPeriod();
    // Whether the computer plays any side.
    bool playing() const;
    const std::optional<analysis::ComputerPlayer>& side(int player) const {
        return players_[static_cast<std::size_t>(player)];
    }

  private:
    // Takes up or leaves the sides as the settings now say.
    void follow();

    Session& session_;
    std::array<std::optional<analysis::ComputerPlayer>, kPlayerCount> players_;
    std::array<std::optional<int>, kPlayerCount> levels_;
    std::int64_t nodes_ = 0;
};

} // namespace peterin
