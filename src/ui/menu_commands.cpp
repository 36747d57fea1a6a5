// The menu's commands and files dropped on the main window.
#include "data_paths.h"
#include "file_chooser.h"
#include "file_menu.h"
#include "main_window.h"
#include "manual_window.h"
#include "save_dialog.h"
#include "settings_dialog.h"
#include "tool_window.h"

#include "files/dat_file.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
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
        if (const QString name = fileChooser_->openName(this); !name.isEmpty())
            openFile(name);
        break;
    case kMenuSave: {
        SaveDialog dialog(game_, *fileChooser_, this);
        dialog.exec();
        if (dialog.written())
            fileExtras_->noteFileUsed(dialog.fileName());
        break;
    }
    case kMenuLimbo:
        toggleLimbo();
        break;
    case kMenuHeaven:
        toggleHeaven();
        break;
    case kMenuToolWindow:
        toggleToolWindow();
        break;
    case kMenuSettings:
        openSettings();
        break;
    case kMenuOnePersonBattle:
        game_.onePersonBattle = !game_.onePersonBattle;
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

void MainWindow::openFile(const QString& fileName) {
    if (readPositionFile(fileName))
        fileExtras_->noteFileUsed(fileName);
}

bool MainWindow::readPositionFile(const QString& fileName) {
    const std::filesystem::path path = QFile::encodeName(fileName).toStdString();
    const ReadOutcome read =
        history_.step(game_, StepKind::FileRead, [&] { return readFile(game_, path); });
    repaintMain();
    for (const Message& message : read.messages)
        showMessage(message);
    return read.opened;
}

void MainWindow::setFileChooser(std::unique_ptr<FileChooser> chooser) {
    fileChooser_ = std::move(chooser);
}

// The heaven band is shown only while the limbo band is: hiding limbo hides heaven too, and
// showing heaven shows limbo too.
void MainWindow::toggleLimbo() {
    Settings& s = game_.settings;
    s.showLimbo = s.showLimbo ? 0 : 1;
    if (!s.showLimbo && s.showHeaven)
        s.showHeaven = 0;
    resizeAreas();
}

void MainWindow::toggleHeaven() {
    Settings& s = game_.settings;
    s.showHeaven = s.showHeaven ? 0 : 1;
    if (s.showHeaven && !s.showLimbo)
        s.showLimbo = 1;
    resizeAreas();
}

void MainWindow::resizeAreas() {
    resizeFieldAndNext();
    fitClientToMode();
    repaintMain();
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
    // The dialog itself lays out and repaints what the applied values change.
    runSettingsDialog(this, game_, &history_);
}

void MainWindow::openManual() {
    openManualAt(this, manualPath());
}

void MainWindow::showAbout() {
    // Six ideographic spaces close the first line.
    showMessageBox(this, {"ぺてりん - ver1.01　　　　　　\n"
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
