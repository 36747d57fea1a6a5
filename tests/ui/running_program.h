#pragma once

#include "play/game.h"
#include "ui/file_chooser.h"
#include "ui/main_window.h"

#include <QTest>

#include <cstddef>
#include <memory>

namespace peterin {

// A game and its shown main window, made as the program makes them, for tests that drive the
// window as a user would.
struct RunningProgram {
    PortRelay relay;
    Game game{relay};
    std::unique_ptr<MainWindow> window;

    explicit RunningProgram(const Settings& settings = {}) {
        game.settings = settings;
        initGame(game, 0);
        window = std::make_unique<MainWindow>(game);
        relay.attach(window.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    ~RunningProgram() { relay.attach(nullptr); }

    Player& player(int p) { return game.players[static_cast<std::size_t>(p)]; }
};

// Names handed out instead of asking the user, with a count of the questions.
struct FakeChooser : FileChooser {
    QString open;
    QString save;
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
};

} // namespace peterin
