#include "turn_timers.h"

#include <chrono>

namespace peterin {

TickTimer::TickTimer(std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kPeriodMs);
    connect(&timer_, &QTimer::timeout, this, [this] { onTick_(); });
}

TurnTimers::TurnTimers(QObject* parent) : QObject(parent) {
    for (int p = 0; p < kPlayerCount; ++p) {
        timers_[static_cast<std::size_t>(p)] = new TickTimer(
            [this, p] {
                if (onTimeout_)
                    onTimeout_(p);
            },
            this);
    }
}

void TurnTimers::startTicking(int player, int intervalMs) {
    timer(player).start(intervalMs);
}

void TurnTimers::stopTicking(int player) {
    timer(player).stop();
}

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace peterin
