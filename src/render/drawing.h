#pragma once

#include "render/geometry.h"
#include "rules/cell.h"
#include "rules/field.h"
#include "settings/settings.h"

#include <QImage>
#include <QRgb>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace peterin {

// Drawing of the three player views into their back buffers. Every routine takes exactly the
// data it shows, so it can be checked pixel by pixel without a game or a window.
//
// Shapes follow one rule: rectangle(l, t, r, b) fills (r - l - 1) x (b - t - 1) pixels whose
// top-left pixel is (l, t). All coordinates are clipped to the image.

// A colour as stored in the settings (0x00BBGGRR) as a pixel value.
QRgb pixelColour(std::uint32_t colourRef);

// Per channel a * opacity / 100 + b * (100 - opacity) / 100, each quotient truncated.
std::uint32_t blend(int opacity, std::uint32_t a, std::uint32_t b);

void rectangle(QImage& image, int left, int top, int right, int bottom, std::uint32_t colourRef);
// A w x h box at (left, top).
void fillBox(QImage& image, std::uint32_t colourRef, int left, int top, int w, int h);

// The pair under the player's control: its pivot cell and the 3 x 3 block of kinds around it,
// column by column (offset (dx, dy) at 3 * (dx + 1) + (dy + 1)).
struct PairPicture {
    int x = 0;
    int row = 0;
    std::array<CellKind, 9> cells{};
    bool operator==(const PairPicture&) const = default;
};

// Everything a field view shows.
struct FieldPicture {
    const Field* field = nullptr;    // the live field or the stored one on show
    int phase = 0;                   // the player's turn phase; 2 and 3 show vanish blanks
    std::optional<PairPicture> pair; // drawn when set (play and battle while idle)
    bool landingMarks = false;       // only for the live position
    std::optional<CellPos> cursor;   // the edit cursor's cell, when it belongs here
    CellKind editKind = CellKind::Empty;
};

void paintField(QImage& image, const Settings& s, const FieldPicture& picture);

// The four slots of a coming pair.
using PairSlots = std::array<CellKind, 4>;

// Everything a next view shows: queue entries from `firstEntry` on (0 in edit mode, where no
// pair falls, 1 otherwise); entries at or past `queueLength` are drawn empty.
struct NextPicture {
    int firstEntry = 1;
    int queueLength = 0;
    std::function<PairSlots(int entry)> slotsOf;
};

void paintNext(QImage& image, const Settings& s, const NextPicture& picture);

// The pending nuisance as symbols: 720 "王", 360 "月", 180 "★", 30 and 6 as big squares, 1 as a
// small one.
void paintWarning(QImage& image, int pendingNuisance);

} // namespace peterin
