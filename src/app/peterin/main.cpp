// The window program: settings, game, main window, event loop.
#include "files/program_folders.h"
#include "play/game.h"
#include "settings/settings.h"
#include "ui/file_menu.h"
#include "ui/main_window.h"
#include "ui/qt_japanese.h"

#include <QApplication>

#include <chrono>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    peterin::installQtJapanese(app);

    peterin::PortRelay relay;
    peterin::Game game(relay);
    if (const auto message = peterin::LoadSettings(game.settings))
        peterin::showMessageBox(nullptr, *message);
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    peterin::initGame(game, now.count());

    peterin::MainWindow window(game);
    relay.attach(&window);
    window.fileExtras().keepIn(peterin::programConfigFolder(), peterin::programStateFolder());
    window.show();
    const int result = app.exec();
    window.fileExtras().noteExit();
    relay.attach(nullptr);
    return result;
}
