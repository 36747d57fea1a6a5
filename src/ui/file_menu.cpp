#include "file_menu.h"

#include "files/recent_files.h"
#include "main_window.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>

#include <system_error>

namespace peterin {

namespace {

constexpr const char* kRecentFileName = "recent-files";

QString displayName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

FileMenuExtras::FileMenuExtras(MainWindow& window, Game& game, QMenu& fileMenu)
    : QObject(&window), window_(window), game_(game) {
    window.menuAction(kMenuOpen)->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    window.menuAction(kMenuSave)->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    previous_ = fileMenu.addAction(QStringLiteral("前回の状態を開く"));
    connect(previous_, &QAction::triggered, this, &FileMenuExtras::openPreviousState);
    recentMenu_ = fileMenu.addMenu(QStringLiteral("最近使ったファイル"));
    fileMenu.addSeparator();
    quit_ = fileMenu.addAction(QStringLiteral("終了"));
    quit_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit_, &QAction::triggered, &window, &QWidget::close);
    rebuildRecentMenu();
    // Every step recorded, undone or redone changed the position.
    connect(&window, &MainWindow::historyChanged, this, &FileMenuExtras::notePositionChanged);
}

void FileMenuExtras::keepIn(const std::filesystem::path& configFolder,
                            const std::filesystem::path& stateFolder) {
    recentFile_ = configFolder / kRecentFileName;
    recent_ = readRecentFiles(recentFile_);
    rebuildRecentMenu();
    state_ = std::make_unique<StateKeeper>(stateFolder);
    state_->startRun();
}

void FileMenuExtras::noteFileUsed(const QString& fileName) {
    window_.setWindowTitle(QFileInfo(fileName).fileName() + QStringLiteral(" - ぺてりん"));
    recent_ = withRecentFile(std::move(recent_), QFile::encodeName(fileName).toStdString());
    rebuildRecentMenu();
    // Losing the list is no reason to bother the user.
    if (!recentFile_.empty())
        writeRecentFiles(recentFile_, recent_);
}

void MainWindow::notePositionChanged() {
    if (fileExtras_)
        fileExtras_->notePositionChanged();
}

void FileMenuExtras::notePositionChanged() {
    if (!state_)
        return;
    if (const auto failure = state_->write(game_))
        window_.showMessage(*failure);
}

void FileMenuExtras::noteExit() {
    if (state_ && state_->wroteAny())
        notePositionChanged();
}

void FileMenuExtras::rebuildRecentMenu() {
    recentMenu_->clear();
    for (const std::string& path : recent_) {
        const QString name = displayName(path);
        QAction* action = recentMenu_->addAction(name);
        connect(action, &QAction::triggered, this, [this, name] { window_.openFile(name); });
    }
    recentMenu_->setEnabled(!recent_.empty());
}

void FileMenuExtras::openPreviousState() {
    std::error_code ec;
    if (!state_ || !std::filesystem::is_regular_file(state_->previousFile(), ec)) {
        window_.showMessage(
            {"前回の状態は残っていません。", "前回の状態を開く", MessageIcon::Information});
        return;
    }
    // Read as any file, but it is the program's own, so it names no window and no recent file.
    window_.readPositionFile(
        QFile::decodeName(QByteArray::fromStdString(state_->previousFile().string())));
}

} // namespace peterin
