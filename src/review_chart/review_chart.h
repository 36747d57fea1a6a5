#pragma once

#include <optional>
#include <string>

#include "review/review.h"

class QChart;

namespace peterin {

// The chart of a review: over the turns, the chain each player's field holds (left axis) and
// the loss of each move in thousands of the engine's points (right axis), the mistakes marked
// by grade. Points carry the turn's number (1 on) as x.
QChart* makeReviewChart(const ReviewResult& review);

// The chart drawn into a PNG picture of `width` × `height`; needs a QApplication. Nothing when
// the picture cannot be encoded.
std::optional<std::string> reviewPlotPng(const ReviewResult& review, int width, int height);

} // namespace peterin
