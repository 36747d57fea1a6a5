#include "render/geometry.h"

#include <algorithm>

namespace peterin {

int shownBands(const Settings& s) {
    return (s.showHeaven ? 1 : 0) + (s.showLimbo ? 1 : 0);
}

int fieldViewWidth(const Settings& s) {
    return s.cellWidth * s.fieldWidth;
}

int fieldViewHeight(const Settings& s) {
    return (shownBands(s) + s.fieldHeight) * s.cellHeight;
}

int nextBandWidth(const Settings& s) {
    return (s.nextCellWidth + 10) * s.nextColumns;
}

int warningViewHeight(const Settings& s) {
    return s.warningHeight;
}

int mainClientWidth(const Settings& s, bool battle) {
    const int oneSide = fieldViewWidth(s) + nextBandWidth(s);
    return battle ? 2 * oneSide + 5 : oneSide + 5;
}

int mainClientHeight(const Settings& s) {
    return fieldViewHeight(s) + warningViewHeight(s) + 15;
}

namespace {

// Left edge of 2P's field and warning views.
int secondFieldLeft(const Settings& s) {
    return fieldViewWidth(s) + 2 * nextBandWidth(s) + 5;
}

int fieldTop(const Settings& s) {
    return warningViewHeight(s) + 10;
}

} // namespace

PixelRect warningViewRect(const Settings& s, int player) {
    const int left = player == 0 ? 5 : secondFieldLeft(s);
    return {left, 5, fieldViewWidth(s), warningViewHeight(s)};
}

PixelRect fieldViewRect(const Settings& s, int player) {
    const int left = player == 0 ? 5 : secondFieldLeft(s);
    return {left, fieldTop(s), fieldViewWidth(s), fieldViewHeight(s)};
}

PixelRect nextViewRect(const Settings& s, int player) {
    const int left = fieldViewWidth(s) + (player == 0 ? 10 : nextBandWidth(s) + 10);
    return {left, fieldTop(s), nextBandWidth(s) - 10, fieldViewHeight(s)};
}

std::array<int, 4> statusPartEdges(const Settings& s, int clientWidth) {
    const int p0 = std::min(clientWidth, fieldViewWidth(s) + nextBandWidth(s));
    const int p1 = std::max(clientWidth, secondFieldLeft(s));
    return {p0 - 100, p0, p1 - 100, p1};
}

FieldMapping::FieldMapping(const Settings& s)
    : FieldMapping(s.cellWidth, s.cellHeight, shownBands(s)) {}

PixelRect FieldMapping::cellRect(int column, int row) const {
    return {column * cellWidth_, (row + bands_) * cellHeight_, cellWidth_, cellHeight_};
}

} // namespace peterin
