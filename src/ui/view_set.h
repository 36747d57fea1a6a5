#pragma once

#include "play/game.h"
#include "player_views.h"

#include <QPointF>
#include <QWidget>

#include <array>

namespace peterin {

class HintRunner;
struct Changes;

// The client area: the background in "背景色", or in "保存ID時の色" while a stored position is on
// screen, so the user sees at once which is shown. The six player views are its children.
class ClientArea : public QWidget {
    Q_OBJECT

  public:
    ClientArea(const Game& game, QWidget* parent);

  signals:
    void resized(int width);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const Game& game_;
};

// Both players' field, next and warning views in the client area, placed by the settings; they
// show what the session reports changed.
class ViewSet {
  public:
    ViewSet(Game& game, ClientArea* client, HintRunner* hints);

    ClientArea* client() const { return client_; }
    FieldView* field(int player) const { return fields_[index(player)]; }
    NextView* next(int player) const { return nexts_[index(player)]; }
    WarningView* warning(int player) const { return warnings_[index(player)]; }

    // Puts every view where the settings place it, at its size.
    void place();
    // Resizes the field and next views to the current field height (the band toggles).
    void resizeFieldAndNext();
    // The background and every view.
    void repaintAll();
    // The player whose field view is under the pointer (global coordinates), or -1 when none
    // is: the one place that decides where mouse moves go.
    int fieldPlayerAt(const QPointF& global) const;

    // Repaints what changed; the turns' pictures are recorded as their timers start, tick and
    // stop.
    void show(const Changes& changes);

  private:
    static std::size_t index(int player) { return static_cast<std::size_t>(player); }

    const Game& game_;
    ClientArea* client_;
    std::array<FieldView*, kPlayerCount> fields_{};
    std::array<NextView*, kPlayerCount> nexts_{};
    std::array<WarningView*, kPlayerCount> warnings_{};
};

} // namespace peterin
