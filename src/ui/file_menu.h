#pragma once

#include "files/last_state.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace peterin {

class MainWindow;
struct Game;

// What "ファイル" offers beyond opening and saving: their shortcuts, "前回の状態を開く", the
// recent files and "終了"; the file name in the window title; and the work kept across exits.
// Nothing is kept on disk until keepIn names the folders (tests leave them unset).
class FileMenuExtras : public QObject {
    Q_OBJECT

  public:
    FileMenuExtras(MainWindow& window, Game& game, QMenu& fileMenu);

    // Keeps the recent files in `configFolder` and the work in `stateFolder`; moves the
    // previous run's work aside for "前回の状態を開く".
    void keepIn(const std::filesystem::path& configFolder,
                const std::filesystem::path& stateFolder);

    // A file was opened or saved: it heads the recent files and names the window.
    void noteFileUsed(const QString& fileName);
    // The position changed (a step of the history, a temporary save stored): the work is
    // written again.
    void notePositionChanged();
    // The program ends: the work is written one last time, if this run wrote it at all.
    void noteExit();

    QMenu* recentMenu() const { return recentMenu_; }
    QAction* quitAction() const { return quit_; }
    QAction* previousStateAction() const { return previous_; }

  private:
    void rebuildRecentMenu();
    void openPreviousState();

    MainWindow& window_;
    Game& game_;
    QMenu* recentMenu_ = nullptr;
    QAction* previous_ = nullptr;
    QAction* quit_ = nullptr;
    std::filesystem::path recentFile_;
    std::vector<std::string> recent_;
    std::unique_ptr<StateKeeper> state_;
};

} // namespace peterin
