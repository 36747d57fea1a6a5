#pragma once

#include "analysis/held_chain.h"
#include "analysis/hint.h"
#include "session/session.h"

#include <QObject>

#include <array>
#include <optional>
#include <vector>

class QAction;
class QImage;
class QMenu;

namespace peterin {

// What is drawn over a painted field besides the hints: the placement a review proposes for a
// turn of the record shown (outlined as hints are), and, with "最大連鎖を表示", the chain the
// field holds and how many blobs it lacks.
class FieldOverlay : public QObject {
    Q_OBJECT

  public:
    FieldOverlay(Session& session, QObject* parent);

    // Adds the checkable item "最大連鎖を表示" at the end of `menu`.
    QAction* addMenuItem(QMenu* menu);
    bool heldShown() const { return heldShown_; }

    // Outlines `blobs` on the player's field while the record shown stands after `turns` turns.
    void mark(int player, int turns, std::vector<analysis::LandedBlob> blobs);
    void clearMark();

    // Whether the player's field shows the review's placement now.
    bool marks(int player) const;
    void paint(QImage& image, int player);
    // The text of the readout for the player ("最大連鎖 N (あとM個)"), empty when it is off or
    // cannot be told.
    QString heldText(int player);

  signals:
    // The fields should paint again.
    void changed();

  private:
    struct Held {
        std::vector<Cell> cells; // the settled field it was worked out for
        std::optional<analysis::HeldChain> chain;
    };

    Session& session_;
    bool heldShown_ = false;
    std::array<Held, kPlayerCount> held_;
    int markPlayer_ = -1;
    int markTurns_ = 0;
    std::vector<analysis::LandedBlob> markBlobs_;
};

} // namespace peterin
