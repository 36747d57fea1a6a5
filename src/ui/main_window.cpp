#include "main_window.h"

#include "client_scroller.h"
#include "computer_menu.h"
#include "field_overlay.h"
#include "file_chooser.h"
#include "file_menu.h"
#include "hint_runner.h"
#include "key_translation.h"
#include "message_box.h"
#include "picture_menu.h"
#include "play/battle.h"
#include "playback_menu.h"
#include "pointer_routing.h"
#include "puzzle_menu.h"
#include "record_menu.h"
#include "record_timeline.h"
#include "render/geometry.h"
#include "review_window.h"
#include "tool_window.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QWheelEvent>

namespace peterin {

MainWindow::MainWindow(Session& session, TurnTimers& timers) : session_(session), timers_(timers) {
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    fileChooser_ = std::make_unique<ReplaceableChooser>(std::make_unique<DialogFileChooser>());
    Game& game = session_.game();
    hints_ = new HintRunner(game, this);
    auto* client = new ClientArea(game, this);
    views_ = std::make_unique<ViewSet>(game, client, hints_);
    overlay_ = new FieldOverlay(session_, this);
    for (int p = 0; p < kPlayerCount; ++p)
        views_->field(p)->setOverlay(overlay_);
    buildMenu();

    scroller_ = new ClientScroller(client, this);
    setCentralWidget(scroller_);
    status_ = new PartStatusBar(this);
    setStatusBar(status_);
    for (int p = 0; p < kPlayerCount; ++p)
        status_->setStatus(p, {});
    connect(client, &ClientArea::resized, this, &MainWindow::setStatusEdges);

    tool_ = new ToolWindow(session_, *this);
    if (const auto& queue = game.players[0].sequence.queue; !queue.empty())
        tool_->setRandomPosition(queue.front().position);
    tool_->setIdText(QString::fromStdString(game.tempIdText));
    connect(tool_, &ToolWindow::hidden, this, [this] {
        toolWindowShown_ = false;
        syncMenuChecks();
    });
    for (int p = 0; p < kPlayerCount; ++p)
        connect(fieldView(p), &FieldView::pressed, this,
                [this](int player, bool left) { session_.pointerPress(player, left); });
    syncMenuChecks();
    fitClientToMode();
    new FieldPointerRouter(*this, session_, *views_);
    timers_.setOnTimeout([this](int player) { session_.timeout(player); });
    session_.setView([this](const Changes& changes) { show(changes); });
    syncTitle();
}

MainWindow::~MainWindow() {
    session_.setView(nullptr);
    timers_.setOnTimeout(nullptr);
    for (int p = 0; p < kPlayerCount; ++p)
        timers_.timer(p).stop();
}

void MainWindow::buildMenu() {
    struct Item {
        int menu;
        const char* text;
        int id;
        bool checkable;
    };
    static constexpr const char* kMenus[] = {"ファイル", "表示", "ツール", "ヘルプ"};
    static constexpr Item kItems[] = {
        {0, "開く", kMenuOpen, false},
        {0, "保存", kMenuSave, false},
        {1, "天国領域", kMenuHeaven, true},
        {1, "三途領域", kMenuLimbo, true},
        {1, "ツールウィンドウ", kMenuToolWindow, true},
        {2, "１人で対戦", kMenuOnePersonBattle, true},
        {2, "設定", kMenuSettings, false},
        {3, "ヘルプ(説明書.txt)", kMenuManual, false},
        {3, "バージョン情報", kMenuAbout, false},
    };
    QMenu* menus[4];
    for (int m = 0; m < 4; ++m)
        menus[m] = menuBar()->addMenu(QString::fromUtf8(kMenus[m]));
    buildEditMenu(menus[1]->menuAction());
    for (const Item& item : kItems) {
        QAction* action = menus[item.menu]->addAction(QString::fromUtf8(item.text));
        action->setCheckable(item.checkable);
        action->setData(item.id);
        actions_[item.id] = action;
        // Each command decides the check marks from the state it changes.
        connect(action, &QAction::triggered, this, [this, id = item.id] { onMenuCommand(id); });
    }
    menuAction(kMenuOpen)->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    menuAction(kMenuSave)->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    new PictureMenu(*this, session_.game(), *views_, fileChooser(), *menus[0]);
    fileExtras_ = new FileMenuExtras(*this, session_, *menus[0]);
    connect(fileExtras_, &FileMenuExtras::openRequested, this, &MainWindow::openFile);
    hints_->addMenuItem(menus[2]);
    overlay_->addMenuItem(menus[2]);
    // "再生" comes right after "ツール".
    playback_ = new PlaybackMenu(session_, this);
    menuBar()->insertMenu(menus[3]->menuAction(), playback_->menu());
    // "記録" within it: another title would fold "ヘルプ" away in a window one field wide.
    records_ = new RecordMenu(session_, *this, fileChooser());
    playback_->menu()->addSeparator();
    playback_->menu()->addMenu(records_->menu());
    // "問題" after "記録", for the same reason.
    puzzles_ = new PuzzleMenu(session_, *this, [this] { onMenuCommand(kMenuSave); });
    playback_->menu()->addMenu(puzzles_->menu());
    timeline_ = new RecordTimeline(session_, *this);
    review_ = new ReviewWindow(session_, *overlay_, *this);
    connect(records_, &RecordMenu::reviewRequested, review_, &ReviewWindow::start);
    // "コンピュータ" after the game's menus, in battle mode (see syncComputerTitle).
    computer_ = new ComputerMenu(session_, *this);
    helpTitle_ = menus[3]->menuAction();
}

QAction* MainWindow::menuAction(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::syncMenuChecks() {
    const Game& g = game();
    menuAction(kMenuOnePersonBattle)->setChecked(g.onePersonBattle);
    menuAction(kMenuLimbo)->setChecked(g.settings.showLimbo != 0);
    menuAction(kMenuHeaven)->setChecked(g.settings.showHeaven != 0);
    menuAction(kMenuToolWindow)->setChecked(toolWindowShown_);
}

void MainWindow::syncTitle() {
    QString title = QStringLiteral("ぺてりん");
    const auto nameOf = [](const std::filesystem::path& file) {
        return QFileInfo(QFile::decodeName(QByteArray::fromStdString(file.string()))).fileName();
    };
    if (const ShownRecord* shown = session_.shownRecord())
        title = QStringLiteral("記録 ") + nameOf(shown->path()) + QStringLiteral(" - ") + title;
    else if (const auto& file = session_.fileName(); !file.empty())
        title = nameOf(file) + QStringLiteral(" - ") + title;
    if (session_.playback().paused())
        title += QStringLiteral(" [一時停止]");
    setWindowTitle(title);
}

void MainWindow::show(const Changes& changes) {
    views_->show(changes);
    if (changes.sizes)
        relayout();
    else if (changes.modeSize)
        fitClientToMode();
    if (changes.bands) {
        views_->resizeFieldAndNext();
        fitClientToMode();
        views_->repaintAll();
    }
    for (int p = 0; p < kPlayerCount; ++p) {
        if (const auto& status = changes.status[static_cast<std::size_t>(p)])
            status_->setStatus(p, *status);
    }
    if (changes.randomPosition)
        tool_->setRandomPosition(*changes.randomPosition);
    if (changes.tempId)
        tool_->setIdText(QString::fromStdString(*changes.tempId));
    if (changes.bands || changes.checks)
        syncMenuChecks();
    if (changes.history || changes.battle)
        syncEditMenu();
    computer_->sync();
    syncComputerTitle();
    syncBattleStatus();
    if (changes.playback || changes.history || changes.battle)
        playback_->sync();
    records_->sync();
    if (changes.puzzle)
        puzzles_->sync();
    timeline_->sync();
    review_->sync();
    if (changes.playback || changes.title)
        syncTitle();
    if (changes.activate)
        activateWindow();
    for (const Message& message : changes.messages)
        showMessageBox(this, message);
    if (changes.verdict)
        puzzles_->verdict(*changes.verdict);
}

void MainWindow::syncComputerTitle() {
    // Only in battle mode, where the window is two fields wide: one field wide, the bar has no
    // room for it, and "ヘルプ" would fold away. "ヘルプ" stays last.
    QAction* title = computer_->menu()->menuAction();
    const bool wanted = game().mode == Mode::Battle;
    if (wanted != menuBar()->actions().contains(title)) {
        if (wanted)
            menuBar()->insertMenu(helpTitle_, computer_->menu());
        else
            menuBar()->removeAction(title);
    }
}

void MainWindow::syncBattleStatus() {
    const Game& g = game();
    const bool shown = g.mode == Mode::Battle && decisive(g);
    for (int p = 0; p < kPlayerCount; ++p) {
        QString text;
        if (shown) {
            if (g.battleScore.winner == p)
                text = QStringLiteral("%1Pの勝ち  ").arg(p + 1);
            text += QStringLiteral("%1勝").arg(g.battleScore.wins[static_cast<std::size_t>(p)]);
        }
        status_->setBattleText(p, text);
    }
}

void MainWindow::relayout() {
    fitClientToMode();
    views_->place();
    views_->repaintAll();
}

void MainWindow::resizeMainToClient(int width, int height) {
    int menuHeight = menuBar()->heightForWidth(width);
    if (menuHeight < 0)
        menuHeight = menuBar()->sizeHint().height();
    scroller_->setClientSize({width, height});
    const QSize wanted(width, height + menuHeight + status_->sizeHint().height());
    const QScreen* shownOn = screen();
    if (shownOn == nullptr) {
        resize(wanted);
        return;
    }
    // A window larger than the screen shows its client in scroll bars.
    resize(fitWindowToScreen(wanted, frameGeometry().size() - size(),
                             shownOn->availableGeometry().size(),
                             style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
}

void MainWindow::fitClientToMode() {
    const Settings& s = game().settings;
    resizeMainToClient(mainClientWidth(s, game().mode == Mode::Battle), mainClientHeight(s));
}

void MainWindow::setStatusEdges(int clientWidth) {
    status_->setEdges(statusPartEdges(game().settings, clientWidth));
}

bool MainWindow::event(QEvent* event) {
    // Every key goes to the game, Tab and Esc included, repeats included; system keys (Alt and
    // what is pressed with it, F10) are left to the window system.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isHistoryShortcut(*key))
            return true;
        if (const std::uint8_t code = translateKey(*key); code != 0) {
            if (event->type() == QEvent::KeyPress)
                session_.keyDown(code);
            else if (!key->isAutoRepeat())
                session_.keyUp(code);
            return true;
        }
    }
    return QMainWindow::event(event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    placeToolWindow();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeToolWindow();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The tool window appears with the main window the first time only; later it follows the
    // menu and its own close button.
    if (!shownOnce_) {
        shownOnce_ = true;
        placeToolWindow();
        if (toolWindowShown_)
            tool_->show();
        // A window too large for the screen is fitted again once its frame is known.
        QMetaObject::invokeMethod(this, &MainWindow::fitClientToMode, Qt::QueuedConnection);
    }
    // The frame is known only once the window is on screen; place again when it is.
    QMetaObject::invokeMethod(this, &MainWindow::placeToolWindow, Qt::QueuedConnection);
}

void MainWindow::placeToolWindow() {
    if (!tool_)
        return;
    // Beside the main window on the right; where that leaves the screen (a battle widens the
    // main window), on its left, and never past the screen's edge.
    const QRect outer = frameGeometry();
    const int width = tool_->frameGeometry().width();
    int x = outer.x() + outer.width();
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        if (x + width > room.right() + 1)
            x = outer.x() - width >= room.left() ? outer.x() - width : room.right() + 1 - width;
    }
    tool_->move(x, outer.y());
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    if (const int delta = event->angleDelta().y(); delta != 0)
        session_.wheel(delta);
    event->accept();
}

} // namespace peterin
