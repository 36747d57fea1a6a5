#pragma once

#include "play/game.h"
#include "session/session.h"
#include "ui/file_chooser.h"
#include "ui/main_window.h"
#include "ui/turn_timers.h"

#include <QTest>

#include <cstddef>
#include <memory>

namespace peterin {

// A session and its shown main window, made as the program makes them, for tests that drive the
// window as a user would.
struct RunningProgram {
    TurnTimers timers;
    Session session{timers, steadyNs};
    Game& game = session.game();
    std::unique_ptr<MainWindow> window;

    explicit RunningProgram(const Settings& settings = {}) {
        game.settings = settings;
        session.start(0);
        window = std::make_unique<MainWindow>(session, timers);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    Player& player(int p) { return game.players[static_cast<std::size_t>(p)]; }
};

// Names handed out instead of asking the user, with a count of the questions.
struct FakeChooser : FileChooser {
    QString open;
    QString save;
    QString record;
    int openAsked = 0;
    int saveAsked = 0;

    QString openName(QWidget*) override {
        ++openAsked;
        return open;
    }
    QString saveName(QWidget*) override {
        ++saveAsked;
        return save;
    }
    QString recordName(QWidget*, bool) override { return record; }
};

} // namespace peterin
