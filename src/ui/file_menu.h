#pragma once

#include "session/session.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace peterin {

// What "ファイル" offers beyond opening and saving: "前回の状態を開く", the recent files and
// "終了". Nothing is kept on disk until keepIn names the folders (tests leave them unset).
class FileMenuExtras : public QObject {
    Q_OBJECT

  public:
    // `window` is the owner of the messages and what "終了" closes.
    FileMenuExtras(QWidget& window, Session& session, QMenu& fileMenu);

    // Keeps the recent files in `configFolder` and the session's work in `stateFolder`; the
    // previous run's work is moved aside for "前回の状態を開く".
    void keepIn(const std::filesystem::path& configFolder,
                const std::filesystem::path& stateFolder);

    // A file was opened or saved: it heads the recent files.
    void noteFileUsed(const QString& fileName);

    QMenu* recentMenu() const { return recentMenu_; }
    QAction* quitAction() const { return quit_; }
    QAction* previousStateAction() const { return previous_; }

  signals:
    // A recent file was chosen.
    void openRequested(const QString& fileName);

  private:
    void rebuildRecentMenu();
    void openPreviousState();

    QWidget& window_;
    Session& session_;
    QMenu* recentMenu_ = nullptr;
    QAction* previous_ = nullptr;
    QAction* quit_ = nullptr;
    std::filesystem::path recentFile_;
    std::vector<std::string> recent_;
};

} // namespace peterin
