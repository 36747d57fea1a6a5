// The menu's commands and files dropped on the main window.
#include "data_paths.h"
#include "file_chooser.h"
#include "file_menu.h"
#include "main_window.h"
#include "manual_window.h"
#include "save_dialog.h"
#include "settings_dialog.h"
#include "tool_window.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMetaObject>
#include <QMimeData>
#include <QUrl>

namespace peterin {

namespace {

// The first local file among dropped URLs, or an empty string.
QString firstLocalFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return {};
    return urls.constFirst().toLocalFile();
}

} // namespace

void MainWindow::onMenuCommand(int id) {
    switch (id) {
    case kMenuOpen:
        if (const QString name = fileChooser().openName(this); !name.isEmpty())
            openFile(name);
        break;
    case kMenuSave: {
        SaveDialog dialog(session_, fileChooser(), this);
        dialog.exec();
        if (dialog.written())
            fileExtras_->noteFileUsed(dialog.fileName());
        break;
    }
    case kMenuLimbo:
        session_.apply(ToggleLimbo{});
        break;
    case kMenuHeaven:
        session_.apply(ToggleHeaven{});
        break;
    case kMenuToolWindow:
        toggleToolWindow();
        break;
    case kMenuSettings:
        openSettings();
        break;
    case kMenuOnePersonBattle:
        session_.apply(ToggleOnePersonBattle{});
        break;
    case kMenuAbout:
        showAbout();
        break;
    case kMenuManual:
        openManual();
        break;
    default:
        break;
    }
    // A checkable item toggles itself when clicked; the marks always show the state.
    syncMenuChecks();
}

bool MainWindow::openFile(const QString& fileName) {
    const bool opened = session_.openFile(QFile::encodeName(fileName).toStdString()).opened;
    if (opened)
        fileExtras_->noteFileUsed(fileName);
    return opened;
}

void MainWindow::setFileChooser(std::unique_ptr<FileChooser> chooser) {
    fileChooser_->replace(std::move(chooser));
}

FileChooser& MainWindow::fileChooser() {
    return *fileChooser_;
}

void MainWindow::toggleToolWindow() {
    toolWindowShown_ = !toolWindowShown_;
    if (toolWindowShown_) {
        placeToolWindow();
        tool_->show();
    } else {
        tool_->hide();
    }
}

void MainWindow::openSettings() {
    runSettingsDialog(this, session_);
    // The keys go to the game again, not to the tool window the dialog's closing left active.
    activateWindow();
    raise();
}

void MainWindow::openManual() {
    openManualAt(this, manualPath());
}

void MainWindow::showAbout() {
    // Six ideographic spaces close the first line.
    showMessageBox(this, {"ぺてりん - ver" PETERIN_VERSION "　　　　　　\n"
                          "2026年12月版\n"
                          "\n"
                          "制作: ぺてりん開発チーム",
                          "バージョン情報", MessageIcon::None});
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    // Only the first file of several is read.
    const QString name = firstLocalFile(event->mimeData());
    if (name.isEmpty())
        return;
    event->acceptProposedAction();
    // Read once the drop is over: a message about the file waits for the user, and the program
    // the file came from would wait with it for the drop to finish.
    QMetaObject::invokeMethod(
        this, [this, name] { openFile(name); }, Qt::QueuedConnection);
}

} // namespace peterin
