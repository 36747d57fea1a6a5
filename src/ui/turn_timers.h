#pragma once

#include "history/playback.h"
#include "play/player.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

namespace peterin {

// The 10 ms turn timer of a player. Precise, so that the tick counts of the turn cycle are real
// time.
class TickTimer : public QObject {
    Q_OBJECT

  public:
    explicit TickTimer(std::function<void()> onTick, QObject* parent = nullptr);

    void start() { timer_.start(kPeriodMs); }
    // The playback runs the timer at another interval for another speed.
    void start(int intervalMs) { timer_.start(intervalMs); }
    int interval() const { return timer_.interval(); }
    void stop() { timer_.stop(); }
    bool isActive() const { return timer_.isActive(); }
    // One tick now, as a timeout would bring it (tests step turns without waiting).
    void fire() { onTick_(); }

    static constexpr int kPeriodMs = 10;

  private:
    QTimer timer_;
    std::function<void()> onTick_;
};

// The players' real timers, as the session's playback starts and stops them; every timeout
// goes to `onTimeout`, set once the session exists.
class TurnTimers : public QObject, public TickTimers {
    Q_OBJECT

  public:
    explicit TurnTimers(QObject* parent = nullptr);

    void setOnTimeout(std::function<void(int player)> onTimeout) {
        onTimeout_ = std::move(onTimeout);
    }
    TickTimer& timer(int player) { return *timers_[static_cast<std::size_t>(player)]; }

    // TickTimers
    void startTicking(int player, int intervalMs) override;
    void stopTicking(int player) override;

  private:
    std::function<void(int)> onTimeout_;
    std::array<TickTimer*, kPlayerCount> timers_{};
};

// The clock the playback paces its speeds by.
std::int64_t steadyNs();

} // namespace peterin
