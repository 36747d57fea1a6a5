#include "playback_menu.h"

#include "main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <chrono>

namespace peterin {

namespace {

constexpr const char* kTitle = "ぺてりん";
constexpr const char* kPausedTitle = "ぺてりん [一時停止]";

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

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

PlaybackMenu::PlaybackMenu(MainWindow& window, Game& game)
    : QObject(&window), window_(window),
      playback_(std::make_unique<Playback>(game, *this, steadyNs)) {
    QMenu* menu = buildMenu();
    // Right after "ツール", whatever other popups come and go around it.
    const QList<QAction*> menus = window_.menuBar()->actions();
    QAction* before = nullptr;
    for (qsizetype i = 0; i + 1 < menus.size(); ++i) {
        if (menus.at(i)->text() == QStringLiteral("ツール"))
            before = menus.at(i + 1);
    }
    window_.menuBar()->insertMenu(before, menu);
    for (int p = 0; p < kPlayerCount; ++p)
        window_.fieldView(p)->timer().setOnTick([this, p] { playback_->onTimer(p); });
    playback_->setTickListener([this](int p) { window_.afterTick(p); });
    sync();
}

// The main window stops the timers before its views go; nothing is left to do here.
PlaybackMenu::~PlaybackMenu() = default;

QMenu* PlaybackMenu::buildMenu() {
    auto* menu = new QMenu(QStringLiteral("再生"), &window_);
    const auto add = [&](const char* text, QKeyCombination shortcut, auto command) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setShortcut(QKeySequence(shortcut));
        // The shortcut wins over the key handler wherever the main window has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, command] {
            command();
            sync();
        });
        return action;
    };
    pause_ = add("一時停止", Qt::CTRL | Qt::Key_P,
                 [this] { playback_->setPaused(!playback_->paused()); });
    pause_->setCheckable(true);
    stepTick_ = add("1ティック進む", Qt::CTRL | Qt::Key_Right, [this] { playback_->stepTick(); });
    nextScene_ = add("次の場面へ", Qt::CTRL | Qt::Key_Down, [this] { playback_->nextScene(); });
    previousChain_ =
        add("前の連鎖へ", Qt::CTRL | Qt::Key_PageUp, [this] { playback_->previousChainStep(); });
    nextChain_ =
        add("次の連鎖へ", Qt::CTRL | Qt::Key_PageDown, [this] { playback_->nextChainStep(); });
    menu->addSeparator();
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (const SpeedItem& item : kSpeedItems) {
        QAction* action = add(item.text, item.shortcut,
                              [this, speed = item.speed] { playback_->setSpeed(speed); });
        action->setCheckable(true);
        group->addAction(action);
        speeds_[static_cast<std::size_t>(item.speed)] = action;
    }
    return menu;
}

void PlaybackMenu::sync() {
    const bool paused = playback_->paused();
    pause_->setChecked(paused);
    speedAction(playback_->speed())->setChecked(true);
    window_.setWindowTitle(QString::fromUtf8(paused ? kPausedTitle : kTitle));
}

void PlaybackMenu::startTicking(int player, int intervalMs) {
    window_.fieldView(player)->timer().start(intervalMs);
}

void PlaybackMenu::stopTicking(int player) {
    window_.fieldView(player)->timer().stop();
}

} // namespace peterin
