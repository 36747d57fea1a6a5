#pragma once

#include "history/playback.h"
#include "session/session.h"

#include <QObject>

#include <array>

class QAction;
class QMenu;
class QWidget;

namespace peterin {

// The menu "再生": pause, steps and speeds of the session's playback. The commands use Ctrl
// shortcuts, which the menu takes before any key reaches the game.
class PlaybackMenu : public QObject {
    Q_OBJECT

  public:
    // The menu belongs to `window`, whose menu bar takes it.
    PlaybackMenu(Session& session, QWidget* window);

    QMenu* menu() const { return menu_; }
    QAction* pauseAction() const { return pause_; }
    QAction* stepTickAction() const { return stepTick_; }
    QAction* nextSceneAction() const { return nextScene_; }
    QAction* previousChainAction() const { return previousChain_; }
    QAction* nextChainAction() const { return nextChain_; }
    QAction* speedAction(PlaybackSpeed speed) const {
        return speeds_[static_cast<std::size_t>(speed)];
    }

    // The check marks follow the playback; "前の連鎖へ" is greyed out as undo is.
    void sync();

  private:
    Session& session_;
    QMenu* menu_ = nullptr;
    QAction* pause_ = nullptr;
    QAction* stepTick_ = nullptr;
    QAction* nextScene_ = nullptr;
    QAction* previousChain_ = nullptr;
    QAction* nextChain_ = nullptr;
    std::array<QAction*, kPlaybackSpeedCount> speeds_{};
};

} // namespace peterin
