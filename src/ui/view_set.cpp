#include "view_set.h"

#include "play/temp_store.h"
#include "render/drawing.h"
#include "render/geometry.h"
#include "session/session.h"

#include <QPainter>

namespace peterin {

ClientArea::ClientArea(const Game& game, QWidget* parent) : QWidget(parent), game_(game) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::paintEvent(QPaintEvent*) {
    const std::uint32_t colour =
        tempIsShowing(game_) ? game_.settings.savedIdColour : game_.settings.backgroundColour;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(pixelColour(colour)));
}

void ClientArea::resizeEvent(QResizeEvent*) {
    emit resized(width());
}

ViewSet::ViewSet(Game& game, ClientArea* client, HintRunner* hints) : game_(game), client_(client) {
    for (int p = 0; p < kPlayerCount; ++p) {
        const auto i = index(p);
        nexts_[i] = new NextView(game, p, client);
        fields_[i] = new FieldView(game, p, client);
        warnings_[i] = new WarningView(game, p, client);
        fields_[i]->setHints(hints);
    }
    place();
}

void ViewSet::place() {
    const Settings& s = game_.settings;
    const auto put = [](QWidget* view, const PixelRect& r) {
        view->setGeometry(r.left, r.top, r.width, r.height);
    };
    for (int p = 0; p < kPlayerCount; ++p) {
        put(field(p), fieldViewRect(s, p));
        put(next(p), nextViewRect(s, p));
        put(warning(p), warningViewRect(s, p));
    }
}

void ViewSet::resizeFieldAndNext() {
    const Settings& s = game_.settings;
    for (int p = 0; p < kPlayerCount; ++p)
        field(p)->resize(fieldViewWidth(s), fieldViewHeight(s));
    for (int p = 0; p < kPlayerCount; ++p)
        next(p)->resize(nextBandWidth(s) - 10, fieldViewHeight(s));
}

void ViewSet::repaintAll() {
    client_->update();
    for (int p = 0; p < kPlayerCount; ++p) {
        field(p)->update();
        next(p)->update();
        warning(p)->update();
    }
}

int ViewSet::fieldPlayerAt(const QPointF& global) const {
    // Within the client area only: a view the window is too narrow for lies beyond its edge.
    if (!client_->rect().contains(client_->mapFromGlobal(global).toPoint()))
        return -1;
    for (int p = 0; p < kPlayerCount; ++p) {
        const FieldView* view = field(p);
        if (view->rect().contains(view->mapFromGlobal(global).toPoint()))
            return p;
    }
    return -1;
}

void ViewSet::show(const Changes& changes) {
    for (const TimerChange& timer : changes.timers) {
        timer.running ? field(timer.player)->turnStarted()
                      : field(timer.player)->turnStopped(timer.inOwnTick);
    }
    if (changes.all) {
        repaintAll();
    } else {
        for (int p = 0; p < kPlayerCount; ++p) {
            const auto i = index(p);
            if (changes.field[i])
                field(p)->update();
            if (changes.queue[i])
                next(p)->update();
            if (changes.warning[i])
                warning(p)->update();
        }
    }
    if (changes.ticked)
        field(*changes.ticked)->tickRan(changes.tickedTimerWanted);
}

} // namespace peterin
