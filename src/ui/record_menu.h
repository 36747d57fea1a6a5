#pragma once

#include "session/session.h"

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace peterin {

class FileChooser;

// The menu "記録": open a game record on the fields, save the game being played (or the last
// one, or the record shown), open one of the games kept lately, and, while a record is shown,
// go through it turn by turn, review it, play on from where it stands or leave it.
class RecordMenu : public QObject {
    Q_OBJECT

  public:
    RecordMenu(Session& session, QWidget& window, FileChooser& chooser);

    QMenu* menu() const { return menu_; }
    QAction* openAction() const { return open_; }
    QAction* saveAction() const { return save_; }
    QMenu* recentMenu() const { return recent_; }
    QAction* nextTurnAction() const { return nextTurn_; }
    QAction* playFromHereAction() const { return playFromHere_; }
    QAction* reviewAction() const { return review_; }

    void open();
    void save();
    // The items that go through a record are there only while one is shown.
    void sync();

  signals:
    // "検討": the record shown is to be reviewed.
    void reviewRequested();

  private:
    void rebuildRecent();
    void goToTurn();

    Session& session_;
    QWidget& window_;
    FileChooser& chooser_;
    QMenu* menu_ = nullptr;
    QAction* open_ = nullptr;
    QAction* save_ = nullptr;
    QMenu* recent_ = nullptr;
    QAction* previousTurn_ = nullptr;
    QAction* nextTurn_ = nullptr;
    QAction* goToTurn_ = nullptr;
    QAction* largestChain_ = nullptr;
    QAction* review_ = nullptr;
    QAction* playFromHere_ = nullptr;
    QAction* close_ = nullptr;
};

} // namespace peterin
