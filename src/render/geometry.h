#pragma once

#include "settings/settings.h"

#include <array>

namespace peterin {

// A rectangle in pixels: left, top, width, height.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }  // one past the last column
    int bottom() const { return top + height; } // one past the last row
    bool operator==(const PixelRect&) const = default;
};

// Rows of the hidden bands that the field view shows above row 0 (HeavenArea, LimboArea).
int shownBands(const Settings& s);

// Width and height of a field view (Wf, Hf), of the next band (Wn, view plus its 10-pixel gap)
// and of a warning view (Hw).
int fieldViewWidth(const Settings& s);
int fieldViewHeight(const Settings& s);
int nextBandWidth(const Settings& s);
int warningViewHeight(const Settings& s);

// The main window's client area above the status bar. Outside battle only 1P's views fit in;
// 2P's lie beyond the right edge.
int mainClientWidth(const Settings& s, bool battle);
int mainClientHeight(const Settings& s);

// Where a player's views (player 0 = 1P, 1 = 2P) sit in the main window's client area.
PixelRect warningViewRect(const Settings& s, int player);
PixelRect fieldViewRect(const Settings& s, int player);
PixelRect nextViewRect(const Settings& s, int player);

// Right edges of the four status-bar parts (1P chain, 1P score, 2P chain, 2P score) for a
// client width.
std::array<int, 4> statusPartEdges(const Settings& s, int clientWidth);

// A cell in field coordinates: column 0 at the left, row 0 the top visible row, the bands
// above it at -1 (LimboArea) and -2 (HeavenArea).
struct CellPos {
    int column = 0;
    int row = 0;
    bool operator==(const CellPos&) const = default;
};

// Where the cells of a field view lie in it; the inverse of the core's cellUnderMouse, which the
// mouse uses, so painting and editing agree on every pixel.
class FieldMapping {
  public:
    explicit FieldMapping(const Settings& s);
    FieldMapping(int cellWidth, int cellHeight, int bands)
        : cellWidth_(cellWidth), cellHeight_(cellHeight), bands_(bands) {}

    // The cell's box in the view (it may lie above the top edge for hidden rows).
    PixelRect cellRect(int column, int row) const;

    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int bands() const { return bands_; }

  private:
    int cellWidth_;
    int cellHeight_;
    int bands_;
};

} // namespace peterin
