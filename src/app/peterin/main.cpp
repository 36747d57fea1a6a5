// The window program: settings, game, main window, event loop.
#include "app/peterin/options.h"
#include "files/program_folders.h"
#include "play/game.h"
#include "settings/settings.h"
#include "ui/app_icon.h"
#include "ui/dialog_state.h"
#include "ui/file_menu.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/qt_japanese.h"
#include "ui/turn_timers.h"

#include <QApplication>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using peterin::app::StartOptions;
    const StartOptions options =
        peterin::app::parseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case StartOptions::Action::Help:
        std::fputs(peterin::app::startHelpText().c_str(), stdout);
        return 0;
    case StartOptions::Action::Version:
        std::fputs(peterin::app::startVersionText().c_str(), stdout);
        return 0;
    case StartOptions::Action::UsageError:
        std::fprintf(stderr, "%s\n", options.error.c_str());
        return 2;
    case StartOptions::Action::Run:
        break;
    }

#ifdef __GLIBC__
    // Large fields come and go with the files the user opens. After the first one glibc would
    // raise its thresholds and keep the memory of every later one, tens of MiB, for good; from
    // 1 MiB up a block is mapped on its own and given back when freed.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    QApplication app(argc, argv);
    QApplication::setWindowIcon(peterin::applicationIcon());
    QGuiApplication::setDesktopFileName(QString::fromUtf8(PETERIN_APP_ID));
    peterin::installQtJapanese(app);
    peterin::forgetDialogPixmaps(app);

    peterin::TurnTimers timers;
    peterin::Session session(timers, peterin::steadyNs);
    peterin::Game& game = session.game();
    if (options.desktop) {
        // The menu starts programs wherever it likes; the user's settings belong in one place.
        const std::filesystem::path folder = peterin::programConfigFolder();
        std::error_code ignored; // a folder that cannot be made is told of at the first save
        std::filesystem::create_directories(folder, ignored);
        game.settingsFile = (folder / peterin::kSettingsFileName).string();
        peterin::LoadSettings(game.settings, game.settingsFile);
    } else if (const auto message = peterin::LoadSettings(game.settings)) {
        peterin::showMessageBox(nullptr, *message);
    }
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    session.start(now.count());

    peterin::MainWindow window(session, timers);
    window.fileExtras().keepIn(peterin::programConfigFolder(), peterin::programStateFolder());
    window.show();
    const int result = app.exec();
    session.exit();
    return result;
}
