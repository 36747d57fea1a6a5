#include "file_menu.h"

#include "files/recent_files.h"
#include "message_box.h"

#include <QAction>
#include <QFile>
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

FileMenuExtras::FileMenuExtras(QWidget& window, Session& session, QMenu& fileMenu)
    : QObject(&window), window_(window), session_(session) {
    previous_ = fileMenu.addAction(QStringLiteral("前回の状態を開く"));
    connect(previous_, &QAction::triggered, this, &FileMenuExtras::openPreviousState);
    recentMenu_ = fileMenu.addMenu(QStringLiteral("最近使ったファイル"));
    // Another program running at once may have added to the list since.
    connect(&fileMenu, &QMenu::aboutToShow, this, [this] {
        if (!recentFile_.empty()) {
            recent_ = readRecentFiles(recentFile_);
            rebuildRecentMenu();
        }
    });
    fileMenu.addSeparator();
    quit_ = fileMenu.addAction(QStringLiteral("終了"));
    quit_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit_, &QAction::triggered, &window, &QWidget::close);
    rebuildRecentMenu();
}

void FileMenuExtras::keepIn(const std::filesystem::path& configFolder,
                            const std::filesystem::path& stateFolder) {
    recentFile_ = configFolder / kRecentFileName;
    recent_ = readRecentFiles(recentFile_);
    rebuildRecentMenu();
    session_.keepWorkIn(stateFolder);
}

void FileMenuExtras::noteFileUsed(const QString& fileName) {
    const std::string name = QFile::encodeName(fileName).toStdString();
    // Losing the list is no reason to bother the user.
    recent_ = recentFile_.empty() ? withRecentFile(std::move(recent_), name)
                                  : addRecentFile(recentFile_, name);
    rebuildRecentMenu();
}

void FileMenuExtras::rebuildRecentMenu() {
    recentMenu_->clear();
    for (const std::string& path : recent_) {
        const QString name = displayName(path);
        QAction* action = recentMenu_->addAction(name);
        connect(action, &QAction::triggered, this, [this, name] { emit openRequested(name); });
    }
    recentMenu_->setEnabled(!recent_.empty());
}

void FileMenuExtras::openPreviousState() {
    std::error_code ec;
    const auto previous = session_.previousWork();
    if (!previous || !std::filesystem::is_regular_file(*previous, ec)) {
        showMessageBox(&window_, {"前回の状態は残っていません。", "前回の状態を開く",
                                  MessageIcon::Information});
        return;
    }
    // Read as any file, but it is the program's own, so it names no window and no recent file.
    session_.openFile(*previous, false);
}

} // namespace peterin
