#pragma once

#include "play/game_events.h"

#include <QStatusBar>
#include <QString>

#include <array>
#include <string>

namespace peterin {

// Status-bar parts: 2 x player shows the chain count, 2 x player + 1 the score.
constexpr int chainStatusPart(int player) {
    return 2 * player;
}
constexpr int scoreStatusPart(int player) {
    return 2 * player + 1;
}

// The status bar's four parts (1P chain count, 1P score, 2P chain count, 2P score). Each part
// ends at a right edge the main window computes; a text that starts with two tabs is shown
// right-aligned in its part.
class PartStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    explicit PartStatusBar(QWidget* parent);

    void setEdges(const std::array<int, 4>& edges);
    void setPartText(int part, const std::string& utf8);
    // The player's two parts, right-aligned: "N連鎖" and the score.
    void setStatus(int player, ShownStatus status);
    // A decisive battle's wins and result, left in the player's chain part; empty for none.
    void setBattleText(int player, const QString& text);
    const QString& battleText(int player) const {
        return battle_[static_cast<std::size_t>(player)];
    }

    const std::array<int, 4>& edges() const { return edges_; }
    const QString& partText(int part) const { return texts_[static_cast<std::size_t>(part)]; }
    // The part's area in the bar (empty when its right edge lies left of its left edge).
    QRect partRect(int part) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<int, 4> edges_{1, 2, 3, 4};
    std::array<QString, 4> texts_;
    std::array<QString, 2> battle_;
};

} // namespace peterin
