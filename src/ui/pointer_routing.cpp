#include "pointer_routing.h"

#include "view_set.h"

#include <QApplication>
#include <QMouseEvent>

#include <cmath>

namespace peterin {

namespace {

// The pointer as the window system reports it: unsigned 16-bit client coordinates.
std::uint16_t coordinate(double value) {
    return static_cast<std::uint16_t>(static_cast<int>(std::floor(value)));
}

} // namespace

FieldPointerRouter::FieldPointerRouter(QWidget& window, Session& session, const ViewSet& views)
    : QObject(&window), window_(window), session_(session), views_(views) {
    qApp->installEventFilter(this);
}

bool FieldPointerRouter::eventFilter(QObject* watched, QEvent* event) {
    // A press or release travels up through the parents; the flag takes it once.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        const auto* button = static_cast<QMouseEvent*>(event);
        if (button->button() != Qt::LeftButton || !watched->isWidgetType())
            return false;
        if (event->type() == QEvent::MouseButtonPress && !stroke_ &&
            static_cast<QWidget*>(watched)->window() == &window_) {
            stroke_ = true;
            session_.strokeBegin();
        } else if (event->type() == QEvent::MouseButtonRelease && stroke_) {
            stroke_ = false;
            session_.strokeEnd();
        }
        return false;
    }
    // Widgets only: the window's own copy of the event comes first and goes on to them.
    if (event->type() != QEvent::MouseMove || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    const auto* move = static_cast<QMouseEvent*>(event);
    const int player = views_.fieldPlayerAt(move->globalPosition());
    if (player < 0)
        return false; // the menu bar and the rest of the window see their moves as ever
    const QPointF at = views_.field(player)->mapFromGlobal(move->globalPosition());
    session_.pointerMove(player, coordinate(at.x()), coordinate(at.y()),
                         move->buttons().testFlag(Qt::LeftButton));
    return true; // handled once, not again as it travels up to the parents
}

} // namespace peterin
