#pragma once

#include "session/session.h"

#include <QWidget>

namespace peterin {

// The timeline of the record shown: one mark per turn that chained, the longer the chain the
// taller, and where the record stands. Clicking or dragging along it goes to that turn. A
// window of its own under the main window, shown while a record is, so that the fields keep
// their place and size.
class RecordTimeline : public QWidget {
    Q_OBJECT

  public:
    RecordTimeline(Session& session, QWidget& window);

    // Shown while a record is, under the main window, with the turn it stands at.
    void sync();
    // The turn at x, from 0 (the start) to the record's turns.
    int turnAt(int x) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void goTo(int x);
    int xOf(int turn) const;

    Session& session_;
    QWidget& window_;
    int shownTurn_ = -1;
};

} // namespace peterin
