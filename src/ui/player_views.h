#pragma once

#include "play/game.h"
#include "render/turn_recorder.h"

#include <QImage>
#include <QWidget>

namespace peterin {

class FieldOverlay;
class HintRunner;

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

// The field view: the field with its bands, the falling pair and the edit cursor; the mouse
// edits its field.
class FieldView : public PlayerView {
    Q_OBJECT

  public:
    FieldView(Game& game, int player, QWidget* parent);

    // The turn's pictures are recorded for "連鎖をGIFで保存...": from the game's request for the
    // player's timer, through every tick the playback runs, to the request to stop it (which,
    // made by the player's own tick, waits for that tick's picture).
    void turnStarted();
    void turnStopped(bool inOwnTick);
    void tickRan(bool timerWanted);
    const TurnRecorder& recorder() const { return recorder_; }
    // Draws the move hints of `hints` over the field, and paints again when one is ready.
    void setHints(HintRunner* hints);
    // Draws `overlay` over the field too, and paints again when it changes.
    void setOverlay(FieldOverlay* overlay);

  signals:
    // A button went down over the view (moves come through the window, which knows which
    // field is under the pointer).
    void pressed(int player, bool left);

  protected:
    void render(QImage& buffer) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    TurnRecorder recorder_;
    HintRunner* hints_ = nullptr;
    FieldOverlay* overlay_ = nullptr;
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
