#pragma once

#include "analysis/hint.h"
#include "play/game.h"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;

namespace peterin {

// The "ヒント" item of the tool menu and the searches behind it. While the item is checked, a
// player who waits for input in play or battle mode is shown where the engine would put the
// falling pair. The search runs on a worker thread; a view asks for the hint of the position it
// is painting and gets it only when it was computed for exactly that position, so a move, a
// drop or a file read makes the old hint disappear until the new one is ready.
class HintRunner : public QObject {
    Q_OBJECT

  public:
    explicit HintRunner(const Game& game, QObject* parent = nullptr);
    ~HintRunner() override;

    // Adds the checkable item (Ctrl+H) at the end of `menu`.
    QAction* addMenuItem(QMenu* menu);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    // Draws the player's hint over its painted field when there is one for the position as it
    // stands; otherwise starts (or keeps running) the search for it and draws nothing.
    void paintFor(QImage& image, int player);

  signals:
    // A hint for the player is ready: its field view should paint again.
    void ready(int player);

  private:
    struct Slot {
        std::unique_ptr<QFutureWatcher<std::vector<analysis::LandedBlob>>> watcher;
        std::optional<analysis::HintRequest> running; // what the worker is searching
        std::optional<analysis::HintRequest> wanted;  // the latest position asked for
        std::optional<analysis::HintRequest> shown;   // what `blobs` belongs to
        std::vector<analysis::LandedBlob> blobs;
    };

    bool waitsForInput(int player) const;
    void start(int player);
    void finished(int player);

    const Game& game_;
    // Searches run on a pool of their own: Qt's raster painting splits large fills over the
    // global pool and waits for them, so searches there would freeze every window's painting.
    QThreadPool pool_;
    bool enabled_ = false;
    QAction* action_ = nullptr;
    std::array<Slot, kPlayerCount> slots_;
};

} // namespace peterin
