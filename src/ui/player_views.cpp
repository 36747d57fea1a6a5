#include "player_views.h"

#include "field_overlay.h"
#include "hint_runner.h"
#include "render/pictures.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace peterin {

PlayerView::PlayerView(Game& game, int player, QWidget* parent)
    : QWidget(parent), game_(game), player_(player) {
    // Keys belong to the main window; the views never take the focus.
    setFocusPolicy(Qt::NoFocus);
    // The buffer covers every pixel, so nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlayerView::paintEvent(QPaintEvent*) {
    if (buffer_.isNull())
        return;
    render(buffer_);
    QPainter painter(this);
    // The buffer holds one pixel per logical pixel; on a scaled screen (QT_SCALE_FACTOR=2) each
    // becomes a block of its own colour, never a blurred edge.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(0, 0, buffer_);
}

void PlayerView::resizeEvent(QResizeEvent*) {
    if (buffer_.size() != size()) {
        buffer_ = QImage(size(), QImage::Format_RGB32);
        buffer_.fill(Qt::black);
    }
}

FieldView::FieldView(Game& game, int player, QWidget* parent) : PlayerView(game, player, parent) {
    // The hover cell follows the mouse even with no button held, for the edit cursor.
    setMouseTracking(true);
}

void FieldView::turnStarted() {
    if (recorder_.recording())
        return;
    recorder_.begin(game_, player());
    // The views show the change that started the turn once it is complete.
    QMetaObject::invokeMethod(
        this, [this] { recorder_.retakeFirst(game_, player()); }, Qt::QueuedConnection);
}

void FieldView::turnStopped(bool inOwnTick) {
    // A tick that ends the turn records its last picture first.
    if (!inOwnTick)
        recorder_.finish();
}

void FieldView::tickRan(bool timerWanted) {
    recorder_.afterTick(game_, player());
    if (!timerWanted)
        recorder_.finish();
}

void FieldView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        emit pressed(player(), event->button() == Qt::LeftButton);
}

void FieldView::setHints(HintRunner* hints) {
    hints_ = hints;
    connect(hints_, &HintRunner::ready, this, [this](int p) {
        if (p == player())
            update();
    });
}

void FieldView::setOverlay(FieldOverlay* overlay) {
    overlay_ = overlay;
    connect(overlay_, &FieldOverlay::changed, this, [this] { update(); });
}

void FieldView::render(QImage& buffer) {
    paintField(buffer, game_.settings, fieldPictureOf(game_, player()));
    if (hints_ != nullptr)
        hints_->paintFor(buffer, player());
    if (overlay_ != nullptr)
        overlay_->paint(buffer, player());
}

void NextView::render(QImage& buffer) {
    paintNext(buffer, game_.settings, nextPictureOf(game_, player()));
}

void WarningView::render(QImage& buffer) {
    paintWarning(buffer, warningOf(game_, player()));
}

} // namespace peterin
