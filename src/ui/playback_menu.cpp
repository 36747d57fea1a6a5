#include "playback_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

namespace peterin {

namespace {

struct SpeedItem {
    PlaybackSpeed speed;
    const char* text;
    QKeyCombination shortcut;
};

const SpeedItem kSpeedItems[kPlaybackSpeedCount] = {
    {PlaybackSpeed::Quarter, "×1/4", Qt::CTRL | Qt::Key_1},
    {PlaybackSpeed::Half, "×1/2", Qt::CTRL | Qt::Key_2},
    {PlaybackSpeed::Normal, "×1", Qt::CTRL | Qt::Key_3},
    {PlaybackSpeed::Double, "×2", Qt::CTRL | Qt::Key_4},
    {PlaybackSpeed::Quadruple, "×4", Qt::CTRL | Qt::Key_5},
    {PlaybackSpeed::Instant, "一瞬", Qt::CTRL | Qt::Key_6},
};

} // namespace

PlaybackMenu::PlaybackMenu(Session& session, QWidget* window) : QObject(window), session_(session) {
    menu_ = new QMenu(QStringLiteral("再生"), window);
    const auto add = [&](const char* text, QKeyCombination shortcut, auto command) {
        QAction* action = menu_->addAction(QString::fromUtf8(text));
        action->setShortcut(QKeySequence(shortcut));
        // The shortcut wins over the key handler wherever the main window has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, command] { session_.apply(command()); });
        return action;
    };
    pause_ = add("一時停止", Qt::CTRL | Qt::Key_P,
                 [this]() -> Command { return SetPaused{!session_.playback().paused()}; });
    pause_->setCheckable(true);
    stepTick_ =
        add("1ティック進む", Qt::CTRL | Qt::Key_Right, []() -> Command { return StepTick{}; });
    nextScene_ =
        add("次の場面へ", Qt::CTRL | Qt::Key_Down, []() -> Command { return NextScene{}; });
    previousChain_ = add("前の連鎖へ", Qt::CTRL | Qt::Key_PageUp,
                         []() -> Command { return PreviousChainStep{}; });
    nextChain_ =
        add("次の連鎖へ", Qt::CTRL | Qt::Key_PageDown, []() -> Command { return NextChainStep{}; });
    menu_->addSeparator();
    auto* group = new QActionGroup(menu_);
    group->setExclusive(true);
    for (const SpeedItem& item : kSpeedItems) {
        QAction* action = add(item.text, item.shortcut,
                              [speed = item.speed]() -> Command { return SetSpeed{speed}; });
        action->setCheckable(true);
        group->addAction(action);
        speeds_[static_cast<std::size_t>(item.speed)] = action;
    }
    sync();
}

void PlaybackMenu::sync() {
    pause_->setChecked(session_.playback().paused());
    previousChain_->setEnabled(session_.canGoBackChainStep());
    speedAction(session_.playback().speed())->setChecked(true);
}

} // namespace peterin
