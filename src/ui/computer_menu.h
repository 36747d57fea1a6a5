#pragma once

#include "session/computer_sides.h"
#include "session/session.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace peterin {

// The menu "コンピュータ" and the computer behind it: which sides it plays, how strongly, and
// the next game of a decisive battle. The computer beats on a timer of its own at the tick
// period and decides on a worker thread, so the window never waits for it; its keys go to the
// session like anyone's.
class ComputerMenu : public QObject {
    Q_OBJECT

  public:
    ComputerMenu(Session& session, QWidget& window);
    ~ComputerMenu() override;

    QMenu* menu() const { return menu_; }
    QAction* plays2PAction() const { return plays_[1]; }
    QAction* plays1PAction() const { return plays_[0]; }
    QAction* againAction() const { return again_; }
    QAction* nextAction() const { return next_; }
    ComputerSides& sides() { return sides_; }
    // Nodes each search may use instead of the level's (tests keep them small).
    void setNodes(std::int64_t nodes) {
        nodes_ = nodes;
        sides_.setNodes(nodes);
    }

    // The check marks and the beat follow the settings and the playback.
    void sync();
    // One beat of the computer's clock (the timer's timeout; tests call it).
    void beat();

  private:
    struct Thinking {
        std::unique_ptr<QFutureWatcher<analysis::Decision>> watcher;
        std::uint64_t turn = 0;
        bool running = false;
        // A newer turn asked while the worker was still on an old one.
        std::optional<std::tuple<int, std::uint64_t, analysis::BattleSight>> queued;
    };
    void choose(std::array<bool, kPlayerCount> plays, int level, int level1P);
    void think(int player, int level, std::uint64_t turn, const analysis::BattleSight& sight);

    Session& session_;
    ComputerSides sides_;
    std::int64_t nodes_ = 0;
    QMenu* menu_ = nullptr;
    std::array<QAction*, kPlayerCount> plays_{};
    std::array<QAction*, 5> levels_{};
    std::array<QAction*, 5> levels1P_{};
    QMenu* level1PMenu_ = nullptr;
    QAction* again_ = nullptr;
    QAction* next_ = nullptr;
    QTimer clock_;
    QThreadPool pool_;
    std::array<Thinking, kPlayerCount> thinking_;
};

} // namespace peterin
