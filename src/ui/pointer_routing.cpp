#include "pointer_routing.h"

#include "main_window.h"
#include "play/editing.h"
#include "player_views.h"

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

FieldPointerRouter::FieldPointerRouter(MainWindow& window, Game& game, History& history)
    : QObject(&window), window_(window), game_(game), history_(history) {
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
            history_.begin(game_);
        } else if (event->type() == QEvent::MouseButtonRelease && stroke_) {
            stroke_ = false;
            history_.end(game_);
        }
        return false;
    }
    // Widgets only: the window's own copy of the event comes first and goes on to them.
    if (event->type() != QEvent::MouseMove || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    const auto* move = static_cast<QMouseEvent*>(event);
    const int player = window_.fieldPlayerAt(move->globalPosition());
    if (player < 0)
        return false; // the menu bar and the rest of the window see their moves as ever
    const QPointF at = window_.fieldView(player)->mapFromGlobal(move->globalPosition());
    onFieldMouseMove(game_, player, coordinate(at.x()), coordinate(at.y()),
                     move->buttons().testFlag(Qt::LeftButton));
    return true; // handled once, not again as it travels up to the parents
}

} // namespace peterin
