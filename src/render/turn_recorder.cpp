#include "render/turn_recorder.h"

#include <numeric>

namespace peterin {

int TurnRecording::totalTicks() const {
    return std::accumulate(ticks.begin(), ticks.end(), 0);
}

void TurnRecorder::begin(const Game& game, int player) {
    if (current_)
        return;
    current_.emplace();
    current_->pictures.emplace_back();
    captureViews(game, player, current_->pictures.back());
    current_->ticks.push_back(0);
}

void TurnRecorder::retakeFirst(const Game& game, int player) {
    if (current_ && current_->pictures.size() == 1 && current_->ticks.front() == 0)
        captureViews(game, player, current_->pictures.front());
}

void TurnRecorder::afterTick(const Game& game, int player) {
    if (!current_)
        return;
    ++current_->ticks.back();
    captureViews(game, player, scratch_);
    if (scratch_.sameAs(current_->pictures.back()))
        return;
    current_->pictures.push_back(scratch_);
    current_->ticks.push_back(0);
}

void TurnRecorder::finish() {
    if (!current_)
        return;
    last_ = std::move(current_);
    current_.reset();
}

} // namespace peterin
