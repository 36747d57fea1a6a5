#include "record_timeline.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace peterin {

namespace {

constexpr int kHeight = 56;
constexpr int kMargin = 8;
constexpr int kBaseline = 36; // the turns' line; the marks stand on it
constexpr int kMarkStep = 2;  // pixels of mark per chain step

} // namespace

RecordTimeline::RecordTimeline(Session& session, QWidget& window)
    : QWidget(&window, Qt::Tool), session_(session), window_(window) {
    setWindowTitle(QStringLiteral("記録"));
    setFixedHeight(kHeight);
    setMouseTracking(false);
}

void RecordTimeline::sync() {
    const ShownRecord* shown = session_.shownRecord();
    if (shown == nullptr) {
        hide();
        shownTurn_ = -1;
        return;
    }
    if (!isVisible()) {
        const QRect outer = window_.frameGeometry();
        setFixedWidth(std::max(outer.width(), 300));
        move(outer.x(), outer.y() + outer.height());
        show();
    }
    if (shown->turn() != shownTurn_) {
        shownTurn_ = shown->turn();
        update();
    }
}

int RecordTimeline::xOf(int turn) const {
    const ShownRecord* shown = session_.shownRecord();
    const int turns = shown ? std::max(shown->turns(), 1) : 1;
    return kMargin + (width() - 2 * kMargin) * turn / turns;
}

int RecordTimeline::turnAt(int x) const {
    const ShownRecord* shown = session_.shownRecord();
    if (shown == nullptr) {
        return 0;
    }
    const int span = std::max(width() - 2 * kMargin, 1);
    const int turn = ((x - kMargin) * shown->turns() + span / 2) / span;
    return std::clamp(turn, 0, shown->turns());
}

void RecordTimeline::paintEvent(QPaintEvent*) {
    const ShownRecord* shown = session_.shownRecord();
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x32, 0x32, 0x32));
    if (shown == nullptr) {
        return;
    }
    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    painter.drawLine(kMargin, kBaseline, width() - kMargin, kBaseline);
    const auto& turns = shown->record().events;
    int turn = 0;
    for (const RecordEvent& event : turns) {
        const auto* ended = std::get_if<RecordTurn>(&event);
        if (ended == nullptr) {
            continue;
        }
        ++turn;
        if (ended->chain > 0) {
            const int height = std::min(ended->chain * kMarkStep + 2, kBaseline - 4);
            painter.fillRect(xOf(turn) - 1, kBaseline - height, 3, height,
                             ended->player == 0 ? QColor(0xFF, 0x96, 0x32)
                                                : QColor(0x32, 0x96, 0xFF));
        }
    }
    const int x = xOf(shown->turn());
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(x, 4, x, kBaseline + 4);
    painter.drawText(QRect(kMargin, kBaseline + 4, width() - 2 * kMargin, kHeight - kBaseline - 4),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("ターン %1 / %2").arg(shown->turn()).arg(shown->turns()));
}

void RecordTimeline::goTo(int x) {
    const ShownRecord* shown = session_.shownRecord();
    if (shown != nullptr && turnAt(x) != shown->turn()) {
        session_.apply(GoToTurn{turnAt(x)});
    }
}

void RecordTimeline::mousePressEvent(QMouseEvent* event) {
    goTo(static_cast<int>(event->position().x()));
}

void RecordTimeline::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        goTo(static_cast<int>(event->position().x()));
    }
}

} // namespace peterin
