#pragma once

#include "play/game.h"
#include "render/turn_recorder.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace peterin {

class HintRunner;
class History;

// A player's view: draws its whole picture into a back buffer of exactly its own size, then
// copies the buffer to the screen in one piece, so a half-drawn state is never seen. The buffer
// is made again only when the view's size changes.
class PlayerView : public QWidget {
    Q_OBJECT

  public:
    PlayerView(Game& game, int player, QWidget* parent);

    int player() const { return player_; }
    // The picture as last painted (for checks and screenshots).
    const QImage& backBuffer() const { return buffer_; }
    // Draws the current picture into the back buffer without showing it.
    void renderNow() { render(buffer_); }

  protected:
    virtual void render(QImage& buffer) = 0;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    Game& game_;

  private:
    int player_;
    QImage buffer_;
};

// The 10 ms turn timer of a player. Precise, so that the tick counts of the turn cycle are real
// time.
class TickTimer : public QObject {
    Q_OBJECT

  public:
    explicit TickTimer(std::function<void()> onTick, QObject* parent = nullptr);

    void start() { timer_.start(kPeriodMs); }
    // The playback runs the timer at another interval for another speed.
    void start(int intervalMs) { timer_.start(intervalMs); }
    int interval() const { return timer_.interval(); }
    // The playback takes the timeouts and decides which become ticks.
    void setOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }
    void stop() { timer_.stop(); }
    bool isActive() const { return timer_.isActive(); }
    // One tick now, as a timeout would bring it (tests step turns without waiting).
    void fire() { onTick_(); }

    static constexpr int kPeriodMs = 10;

  private:
    QTimer timer_;
    std::function<void()> onTick_;
};

// The field view: the field with its bands, the falling pair and the edit cursor. Its timer
// drives the player's turn; the mouse edits its field.
class FieldView : public PlayerView {
    Q_OBJECT

  public:
    FieldView(Game& game, int player, QWidget* parent);

    TickTimer& timer() { return timer_; }
    // The turn's pictures are recorded for "連鎖をGIFで保存...": from the game's request for the
    // player's timer, through every tick the playback runs, to the request to stop it (which,
    // made by the player's own tick, waits for that tick's picture).
    void turnStarted();
    void turnStopped(bool inOwnTick);
    void tickRan(bool timerWanted);
    const TurnRecorder& recorder() const { return recorder_; }
    // Draws the move hints of `hints` over the field, and paints again when one is ready.
    void setHints(HintRunner* hints);

  protected:
    void render(QImage& buffer) override;
    // Moves come through the main window, which knows which field is under the pointer.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    TickTimer timer_;
    TurnRecorder recorder_;
    HintRunner* hints_ = nullptr;
};

// The coming pairs.
class NextView : public PlayerView {
    Q_OBJECT

  public:
    using PlayerView::PlayerView;

  protected:
    void render(QImage& buffer) override;
};

// The nuisance announced to the player.
class WarningView : public PlayerView {
    Q_OBJECT

  public:
    using PlayerView::PlayerView;

  protected:
    void render(QImage& buffer) override;
};

} // namespace peterin
