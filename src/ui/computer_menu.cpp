#include "computer_menu.h"

#include "play/battle.h"
#include "turn_timers.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace peterin {

ComputerMenu::ComputerMenu(Session& session, QWidget& window)
    : QObject(&window), session_(session), sides_(session) {
    menu_ = new QMenu(QStringLiteral("コンピュータ"), &window);
    const auto plays = [this] {
        return std::array<bool, kPlayerCount>{plays_[0]->isChecked(), plays_[1]->isChecked()};
    };
    plays_[1] = menu_->addAction(QStringLiteral("2Pをコンピュータが操作"));
    plays_[0] = menu_->addAction(QStringLiteral("1Pをコンピュータが操作"));
    for (QAction* action : plays_) {
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, plays] {
            const Settings& now = session_.game().settings;
            choose(plays(), now.computerLevel, now.computerLevel1P);
        });
    }
    const auto levelMenu = [&](const QString& title, std::array<QAction*, 5>& items, bool first) {
        QMenu* sub = menu_->addMenu(title);
        auto* group = new QActionGroup(sub);
        for (int level = 1; level <= 5; ++level) {
            QAction* item = sub->addAction(QString::number(level));
            item->setCheckable(true);
            group->addAction(item);
            items[static_cast<std::size_t>(level - 1)] = item;
            connect(item, &QAction::triggered, this, [this, plays, level, first] {
                const Settings& now = session_.game().settings;
                choose(plays(), first ? now.computerLevel : level,
                       first ? level : now.computerLevel1P);
            });
        }
        return sub;
    };
    levelMenu(QStringLiteral("強さ"), levels_, false);
    level1PMenu_ = levelMenu(QStringLiteral("1Pの強さ"), levels1P_, true);
    menu_->addSeparator();
    again_ = menu_->addAction(QStringLiteral("もう一度"));
    next_ = menu_->addAction(QStringLiteral("次の対戦"));
    connect(again_, &QAction::triggered, this, [this] { session_.apply(NextBattle{true}); });
    connect(next_, &QAction::triggered, this, [this] { session_.apply(NextBattle{false}); });
    connect(menu_, &QMenu::aboutToShow, this, &ComputerMenu::sync);

    pool_.setMaxThreadCount(kPlayerCount);
    for (int p = 0; p < kPlayerCount; ++p) {
        Thinking& t = thinking_[static_cast<std::size_t>(p)];
        t.watcher = std::make_unique<QFutureWatcher<analysis::Decision>>();
        connect(t.watcher.get(), &QFutureWatcherBase::finished, this, [this, p] {
            Thinking& done = thinking_[static_cast<std::size_t>(p)];
            done.running = false;
            sides_.decided(p, done.turn, done.watcher->result());
            if (auto queued = std::exchange(done.queued, std::nullopt)) {
                const auto& [level, turn, sight] = *queued;
                think(p, level, turn, sight);
            }
        });
    }
    clock_.setTimerType(Qt::PreciseTimer);
    connect(&clock_, &QTimer::timeout, this, &ComputerMenu::beat);
    sync();
}

ComputerMenu::~ComputerMenu() {
    clock_.stop();
    for (Thinking& t : thinking_) {
        t.watcher->disconnect();
        t.watcher->waitForFinished();
    }
}

void ComputerMenu::choose(std::array<bool, kPlayerCount> plays, int level, int level1P) {
    session_.apply(ChooseComputer{plays, level, level1P});
    sync();
}

void ComputerMenu::sync() {
    const Game& game = session_.game();
    const Settings& s = game.settings;
    for (int p = 0; p < kPlayerCount; ++p) {
        plays_[static_cast<std::size_t>(p)]->setChecked(computerPlays(s, p));
    }
    for (int level = 1; level <= 5; ++level) {
        levels_[static_cast<std::size_t>(level - 1)]->setChecked(s.computerLevel == level);
        levels1P_[static_cast<std::size_t>(level - 1)]->setChecked(s.computerLevel1P == level);
    }
    level1PMenu_->setEnabled(computerPlays(s, 0) && computerPlays(s, 1));
    const bool battle = game.mode == Mode::Battle && decisive(s);
    again_->setEnabled(battle);
    next_->setEnabled(battle);
    // The clock runs while the computer plays and the playback runs, at the ticks' interval.
    const bool runs = (computerPlays(s, 0) || computerPlays(s, 1)) && !session_.playback().paused();
    if (!runs) {
        clock_.stop();
    } else {
        const int interval = std::max(0, session_.playback().timerIntervalMs());
        if (!clock_.isActive() || clock_.interval() != interval) {
            clock_.start(interval);
        }
    }
}

void ComputerMenu::beat() {
    if (session_.shownRecord() != nullptr)
        return; // a record shown is nobody's to play
    sides_.beat([this](int player, int level, std::uint64_t turn,
                       const analysis::BattleSight& sight) { think(player, level, turn, sight); });
}

void ComputerMenu::think(int player, int level, std::uint64_t turn,
                         const analysis::BattleSight& sight) {
    Thinking& t = thinking_[static_cast<std::size_t>(player)];
    if (t.running) {
        t.queued.emplace(level, turn, sight);
        return;
    }
    t.running = true;
    t.turn = turn;
    t.watcher->setFuture(QtConcurrent::run(
        &pool_, [sight, level, nodes = nodes_] { return analysis::decide(sight, level, nodes); }));
}

} // namespace peterin
