#include "field_overlay.h"

#include "hint_outline.h"

#include <QAction>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPainter>

namespace peterin {

FieldOverlay::FieldOverlay(Session& session, QObject* parent)
    : QObject(parent), session_(session) {}

QAction* FieldOverlay::addMenuItem(QMenu* menu) {
    QAction* action = menu->addAction(QStringLiteral("最大連鎖を表示"));
    action->setCheckable(true);
    connect(action, &QAction::toggled, this, [this](bool on) {
        heldShown_ = on;
        emit changed();
    });
    return action;
}

void FieldOverlay::mark(int player, int turns, std::vector<analysis::LandedBlob> blobs) {
    markPlayer_ = player;
    markTurns_ = turns;
    markBlobs_ = std::move(blobs);
    emit changed();
}

void FieldOverlay::clearMark() {
    markPlayer_ = -1;
    markBlobs_.clear();
    emit changed();
}

QString FieldOverlay::heldText(int player) {
    if (!heldShown_) {
        return {};
    }
    const Game& game = session_.game();
    const Player& self = game.players[static_cast<std::size_t>(player)];
    Held& held = held_[static_cast<std::size_t>(player)];
    // Worked out only for a settled field (waiting for a pair, or being edited), and once for
    // each: a running chain is shown what it held when it settled, and no tick waits for it.
    const bool settled = game.mode == Mode::Edit || self.phase == Phase::Idle;
    if (settled && held.cells != self.field.cells) {
        held.cells = self.field.cells;
        const analysis::HintRequest seen = analysis::hintRequestFor(game, player);
        held.chain = analysis::heldChain(self.field, seen.rules, seen.colours);
    }
    if (!held.chain) {
        return {};
    }
    if (held.chain->lacking == 0) {
        return QStringLiteral("最大連鎖 0");
    }
    return QStringLiteral("最大連鎖 %1 (あと%2個)").arg(held.chain->chain).arg(held.chain->lacking);
}

bool FieldOverlay::marks(int player) const {
    const ShownRecord* shown = session_.shownRecord();
    return player == markPlayer_ && shown != nullptr && shown->turn() == markTurns_;
}

void FieldOverlay::paint(QImage& image, int player) {
    if (marks(player)) {
        paintHintOutline(image, session_.game().settings, markBlobs_);
    }
    const QString text = heldText(player);
    if (text.isEmpty()) {
        return;
    }
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QRect box = painter.fontMetrics().boundingRect(text).adjusted(-3, -1, 3, 1);
    const QRect placed = box.translated(2 - box.left(), 2 - box.top());
    painter.fillRect(placed, QColor(0, 0, 0, 160));
    painter.setPen(Qt::white);
    painter.drawText(placed, Qt::AlignCenter, text);
}

} // namespace peterin
