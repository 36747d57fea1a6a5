// The menu "編集": undo and redo of the user's steps.
#include "main_window.h"
#include "playback_menu.h"

#include "play/temp_store.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace peterin {

void MainWindow::buildEditMenu(QAction* before) {
    auto* menu = new QMenu(QString::fromUtf8("編集"), this);
    menuBar()->insertMenu(before, menu);
    const auto add = [&](const char* text, int id, const QList<QKeySequence>& keys,
                         void (MainWindow::*command)()) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setShortcuts(keys);
        action->setData(id);
        actions_[id] = action;
        connect(action, &QAction::triggered, this, command);
    };
    add("元に戻す", kMenuUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &MainWindow::onUndo);
    add("やり直し", kMenuRedo,
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        &MainWindow::onRedo);
    menu->addSeparator();
    add("履歴を消去", kMenuClearHistory, {}, &MainWindow::onClearHistory);
    history_.onChange = [this](HistoryEvent event) {
        syncEditMenu();
        emit historyChanged(event);
    };
    // The stored position on screen stops every edit of the live one, undo and redo too.
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::syncEditMenu);
    syncEditMenu();
}

void MainWindow::syncEditMenu() {
    const bool live = !tempIsShowing(game_);
    menuAction(kMenuUndo)->setEnabled(live && history_.canUndo());
    menuAction(kMenuRedo)->setEnabled(live && history_.canRedo());
    menuAction(kMenuClearHistory)->setEnabled(history_.canUndo() || history_.canRedo());
}

void MainWindow::onUndo() {
    if (!tempIsShowing(game_) && history_.undo(game_))
        afterHistoryStep();
    syncEditMenu();
}

void MainWindow::onRedo() {
    if (!tempIsShowing(game_) && history_.redo(game_))
        afterHistoryStep();
    syncEditMenu();
}

void MainWindow::onClearHistory() {
    history_.clear();
    playback_->playback().forgetChainSteps();
    syncEditMenu();
}

void MainWindow::afterHistoryStep() {
    // The game laid the windows out and repainted them; the band check marks follow here.
    syncMenuChecks();
}

bool MainWindow::isHistoryShortcut(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held =
        event.modifiers() &
        (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool ctrl = held == Qt::ControlModifier;
    const bool ctrlShift = held == (Qt::ControlModifier | Qt::ShiftModifier);
    return (event.key() == Qt::Key_Z && (ctrl || ctrlShift)) || (event.key() == Qt::Key_Y && ctrl);
}

} // namespace peterin
