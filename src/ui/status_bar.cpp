#include "status_bar.h"

#include <QPainter>
#include <algorithm>

namespace peterin {

PartStatusBar::PartStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    setFocusPolicy(Qt::NoFocus);
}

void PartStatusBar::setEdges(const std::array<int, 4>& edges) {
    edges_ = edges;
    update();
}

void PartStatusBar::setPartText(int part, const std::string& utf8) {
    if (part < 0 || part >= 4)
        return;
    texts_[static_cast<std::size_t>(part)] = QString::fromStdString(utf8);
    update();
}

void PartStatusBar::setStatus(int player, ShownStatus status) {
    setPartText(chainStatusPart(player), "\t\t" + std::to_string(status.chainCount) + "連鎖");
    setPartText(scoreStatusPart(player), "\t\t" + std::to_string(status.score));
}

void PartStatusBar::setBattleText(int player, const QString& text) {
    QString& kept = battle_[static_cast<std::size_t>(player)];
    if (kept != text) {
        kept = text;
        update();
    }
}

QRect PartStatusBar::partRect(int part) const {
    // A part starts where the parts before it end, so one whose edges fall left of an earlier
    // part's edge collapses instead of overlapping it.
    int left = 0;
    for (int i = 0; i < part; ++i)
        left = std::max(left, edges_[static_cast<std::size_t>(i)]);
    const int right = edges_[static_cast<std::size_t>(part)];
    return QRect(left, 0, std::max(right - left, 0), height());
}

void PartStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QString rightAlign = QStringLiteral("\t\t");
    for (int part = 0; part < 4; ++part) {
        const QRect area = partRect(part);
        // A part the right edge cuts off lies beyond the window and is not shown at all.
        if (area.isEmpty() || area.right() >= width())
            continue;
        painter.setPen(palette().mid().color());
        painter.drawRect(area.adjusted(0, 1, -1, -1));
        QString text = texts_[static_cast<std::size_t>(part)];
        Qt::Alignment align = Qt::AlignVCenter | Qt::AlignLeft;
        if (text.startsWith(rightAlign)) {
            text = text.mid(rightAlign.size());
            align = Qt::AlignVCenter | Qt::AlignRight;
        }
        painter.setPen(palette().windowText().color());
        painter.drawText(area.adjusted(3, 0, -4, 0), align, text);
        if (part % 2 == 0 && !battle_[static_cast<std::size_t>(part / 2)].isEmpty())
            painter.drawText(area.adjusted(3, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             battle_[static_cast<std::size_t>(part / 2)]);
    }
}

} // namespace peterin
