#pragma once

#include "render/views_picture.h"

#include <optional>
#include <vector>

namespace peterin {

// One player's turn as its views showed it: each distinct picture in order with the number of
// 10 ms ticks it stayed on screen. The last picture is the one the turn ended with (held 0).
struct TurnRecording {
    std::vector<PlayerViewsState> pictures;
    std::vector<int> ticks;

    int totalTicks() const;
};

// Records the turns of one player while they run, so that the last one can be saved as an
// animation. It keeps only the state the drawing needs and only when it changes; a tick that
// changes nothing costs one comparison and no allocation.
class TurnRecorder {
  public:
    // The player's timer was started: the picture now shown is the turn's first. A start while
    // a turn is being recorded (a restarted timer) continues it.
    void begin(const Game& game, int player);
    // The timer is started in the middle of a change (a drop, a mode change): once the change is
    // complete, before the first tick, the first picture is taken again as the views show it.
    void retakeFirst(const Game& game, int player);
    // A tick of the turn ran: the previous picture was shown one tick longer, and the picture
    // now shown follows it when it differs.
    void afterTick(const Game& game, int player);
    // The player's timer stopped: the turn being recorded becomes the last turn.
    void finish();

    bool recording() const { return current_.has_value(); }
    // The last turn that ended, or nullptr before any did.
    const TurnRecording* lastTurn() const { return last_ ? &*last_ : nullptr; }

  private:
    std::optional<TurnRecording> current_;
    std::optional<TurnRecording> last_;
    PlayerViewsState scratch_;
};

} // namespace peterin
