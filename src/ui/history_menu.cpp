// The menu "編集": undo and redo of the user's steps, and the position through the clipboard.
#include "main_window.h"

#include "files/dat_file.h"
#include "render/views_picture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

namespace peterin {

void MainWindow::buildEditMenu(QAction* before) {
    auto* menu = new QMenu(QString::fromUtf8("編集"), this);
    menuBar()->insertMenu(before, menu);
    const auto add = [&](const char* text, int id, const QList<QKeySequence>& keys,
                         Command command) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setShortcuts(keys);
        action->setData(id);
        actions_[id] = action;
        connect(action, &QAction::triggered, this, [this, command] { session_.apply(command); });
    };
    add("元に戻す", kMenuUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}, Undo{});
    add("やり直し", kMenuRedo,
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        Redo{});
    menu->addSeparator();
    add("履歴を消去", kMenuClearHistory, {}, ClearHistory{});
    menu->addSeparator();
    // The position as the picture "画像を保存..." writes and as a position file's text, for a
    // chat or a document; pasted text is read as a dropped file is, one step.
    QAction* copy = menu->addAction(QStringLiteral("局面をコピー"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(copy, &QAction::triggered, this, [this] {
        const Game& game = session_.game();
        WriteOptions options;
        options.bothPlayers = game.mode == Mode::Battle;
        options.next = true;
        auto* data = new QMimeData;
        data->setImageData(viewsImage(game));
        data->setText(QString::fromStdString(formatFile(game, options)));
        QGuiApplication::clipboard()->setMimeData(data);
    });
    QAction* paste = menu->addAction(QStringLiteral("局面を貼り付け"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    connect(paste, &QAction::triggered, this, [this] {
        const QString text = QGuiApplication::clipboard()->text();
        if (!text.isEmpty())
            session_.apply(ReadText{text.toStdString()});
    });
    // The stored position on screen stops every edit of the live one, undo and redo too.
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::syncEditMenu);
    syncEditMenu();
}

void MainWindow::syncEditMenu() {
    const History& history = session_.history();
    menuAction(kMenuUndo)->setEnabled(session_.canUndo());
    menuAction(kMenuRedo)->setEnabled(session_.canRedo());
    menuAction(kMenuClearHistory)->setEnabled(history.canUndo() || history.canRedo());
}

bool MainWindow::isHistoryShortcut(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held =
        event.modifiers() &
        (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool ctrl = held == Qt::ControlModifier;
    const bool ctrlShift = held == (Qt::ControlModifier | Qt::ShiftModifier);
    return (event.key() == Qt::Key_Z && (ctrl || ctrlShift)) ||
           ((event.key() == Qt::Key_Y || event.key() == Qt::Key_PageUp) && ctrl);
}

} // namespace peterin
