#pragma once

#include <QRect>
#include <QScrollArea>
#include <QSize>

namespace peterin {

// Holds the client area. A client that fits on the screen fills it exactly, as if there were
// nothing between; one larger than the screen keeps its size and shows in scroll bars. Keys and
// the wheel still go to the game: the scroller never takes the focus and does not scroll on the
// wheel, which chooses the edit colour.
class ClientScroller : public QScrollArea {
    Q_OBJECT

  public:
    explicit ClientScroller(QWidget* client, QWidget* parent);

    // The client needs `size`: it gets at least that much.
    void setClientSize(const QSize& size);

  protected:
    void wheelEvent(QWheelEvent* event) override;
};

// The outer size for a window that wants `wanted` on a screen whose usable area is
// `available`, with `frame` the size its frame adds: `wanted` if it fits, else clipped to the
// screen, keeping room for the scroll bar (`scrollBar` wide) of the side that is clipped.
QSize fitWindowToScreen(QSize wanted, QSize frame, QSize available, int scrollBar);

} // namespace peterin
