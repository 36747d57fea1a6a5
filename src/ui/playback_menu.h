#pragma once

#include "history/playback.h"
#include "play/game.h"

#include <QObject>

#include <array>
#include <memory>

class QAction;
class QMenu;

namespace peterin {

class MainWindow;

// The menu "再生" and the real timers behind the playback: the players' field-view timers run
// at the speed's interval, and every timeout goes through the playback. The commands use Ctrl
// shortcuts, which the menu takes before any key reaches the game.
class PlaybackMenu : public QObject, public TickTimers {
    Q_OBJECT

  public:
    // Adds the menu after "ツール" and routes the field views' timers through the playback.
    PlaybackMenu(MainWindow& window, Game& game);
    ~PlaybackMenu() override;

    Playback& playback() { return *playback_; }

    QAction* pauseAction() const { return pause_; }
    QAction* stepTickAction() const { return stepTick_; }
    QAction* nextSceneAction() const { return nextScene_; }
    QAction* previousChainAction() const { return previousChain_; }
    QAction* nextChainAction() const { return nextChain_; }
    QAction* speedAction(PlaybackSpeed speed) const {
        return speeds_[static_cast<std::size_t>(speed)];
    }

    // TickTimers
    void startTicking(int player, int intervalMs) override;
    void stopTicking(int player) override;

  private:
    QMenu* buildMenu();
    // The check marks and the window title follow the playback after every command.
    void sync();

    MainWindow& window_;
    std::unique_ptr<Playback> playback_;
    QAction* pause_ = nullptr;
    QAction* stepTick_ = nullptr;
    QAction* nextScene_ = nullptr;
    QAction* previousChain_ = nullptr;
    QAction* nextChain_ = nullptr;
    std::array<QAction*, kPlaybackSpeedCount> speeds_{};
};

} // namespace peterin
