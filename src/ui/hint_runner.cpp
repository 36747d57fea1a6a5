#include "hint_runner.h"

#include "analysis/planner.h"
#include "hint_outline.h"
#include "play/battle.h"
#include "play/temp_store.h"

#include <QAction>
#include <QMenu>
#include <QtConcurrent/QtConcurrentRun>

namespace peterin {

namespace {

bool samePosition(const analysis::HintRequest& a, const analysis::HintRequest& b) {
    return sameContents(a.field, b.field) && a.pair == b.pair && a.next == b.next &&
           a.rules.threshold == b.rules.threshold && a.rules.countSteps == b.rules.countSteps &&
           a.colours == b.colours && a.shapes == b.shapes;
}

bool same(const std::optional<analysis::HintRequest>& a, const analysis::HintRequest& b) {
    return a && samePosition(*a, b);
}

} // namespace

HintRunner::HintRunner(const Game& game, QObject* parent) : QObject(parent), game_(game) {
    pool_.setMaxThreadCount(kPlayerCount);
    for (int p = 0; p < kPlayerCount; ++p) {
        auto& slot = slots_[static_cast<std::size_t>(p)];
        slot.watcher = std::make_unique<QFutureWatcher<std::vector<analysis::LandedBlob>>>();
        connect(slot.watcher.get(), &QFutureWatcherBase::finished, this,
                [this, p] { finished(p); });
    }
}

HintRunner::~HintRunner() {
    // A search still running reads only its own copy of the position; wait for it all the same,
    // so nothing outlives the window.
    for (Slot& slot : slots_) {
        slot.watcher->disconnect();
        slot.watcher->waitForFinished();
    }
}

QAction* HintRunner::addMenuItem(QMenu* menu) {
    action_ = menu->addAction(QStringLiteral("ヒント"));
    action_->setCheckable(true);
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(action_, &QAction::toggled, this, &HintRunner::setEnabled);
    return action_;
}

void HintRunner::setEnabled(bool on) {
    enabled_ = on;
    if (action_ != nullptr && action_->isChecked() != on) {
        action_->setChecked(on);
    }
    for (int p = 0; p < kPlayerCount; ++p) {
        emit ready(p);
    }
}

bool HintRunner::waitsForInput(int player) const {
    // The computer's side gets no hint: only the person's does.
    const bool playing = (game_.mode == Mode::Battle && !computerPlays(game_.settings, player)) ||
                         (game_.mode == Mode::Play && player == 0);
    return playing && !tempIsShowing(game_) &&
           game_.players[static_cast<std::size_t>(player)].phase == Phase::Idle;
}

void HintRunner::paintFor(QImage& image, int player) {
    // A field too large to search is not even copied for a request.
    if (!enabled_ || !waitsForInput(player) ||
        !analysis::searchable(game_.players[static_cast<std::size_t>(player)].field)) {
        return;
    }
    Slot& slot = slots_[static_cast<std::size_t>(player)];
    analysis::HintRequest request = analysis::hintRequestFor(game_, player);
    if (same(slot.shown, request)) {
        paintHintOutline(image, game_.settings, slot.blobs);
        return;
    }
    if (!same(slot.wanted, request)) {
        slot.wanted = std::move(request);
        if (!slot.running) {
            start(player);
        }
    }
}

void HintRunner::start(int player) {
    Slot& slot = slots_[static_cast<std::size_t>(player)];
    slot.running = slot.wanted;
    slot.watcher->setFuture(QtConcurrent::run(&pool_, [request = *slot.running] {
        const std::vector<analysis::Suggestion> ranked =
            analysis::plan(request, analysis::hintOptions());
        return ranked.empty() ? std::vector<analysis::LandedBlob>{} : ranked.front().landing;
    }));
}

void HintRunner::finished(int player) {
    Slot& slot = slots_[static_cast<std::size_t>(player)];
    slot.shown = std::move(slot.running);
    slot.running.reset();
    slot.blobs = slot.watcher->result();
    // The position moved on while the search ran: search the new one; the view keeps showing
    // nothing until it is done.
    if (slot.wanted && !same(slot.shown, *slot.wanted)) {
        start(player);
    }
    emit ready(player);
}

} // namespace peterin
