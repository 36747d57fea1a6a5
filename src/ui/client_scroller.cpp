#include "client_scroller.h"

#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

namespace peterin {

ClientScroller::ClientScroller(QWidget* client, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    setWidget(client);
}

void ClientScroller::setClientSize(const QSize& size) {
    widget()->setMinimumSize(size);
}

void ClientScroller::wheelEvent(QWheelEvent* event) {
    event->ignore(); // on to the main window
}

QSize fitWindowToScreen(QSize wanted, QSize frame, QSize available, int scrollBar) {
    const QSize room = available - frame;
    if (wanted.width() <= room.width() && wanted.height() <= room.height())
        return wanted;
    // A vertical scroll bar takes width, which may need a horizontal one in turn.
    const bool tall = wanted.height() > room.height();
    const bool wide = wanted.width() + (tall ? scrollBar : 0) > room.width();
    return {std::min(wanted.width() + (tall ? scrollBar : 0), room.width()),
            std::min(wanted.height() + (wide ? scrollBar : 0), room.height())};
}

} // namespace peterin
