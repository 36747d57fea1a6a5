#include "main_window.h"

#include "client_scroller.h"
#include "file_chooser.h"
#include "file_menu.h"
#include "hint_runner.h"
#include "key_translation.h"
#include "picture_menu.h"
#include "play/commands.h"
#include "play/temp_store.h"
#include "playback_menu.h"
#include "pointer_routing.h"
#include "render/drawing.h"
#include "render/geometry.h"
#include "tool_window.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWheelEvent>

namespace peterin {

ClientArea::ClientArea(const Game& game, QWidget* parent) : QWidget(parent), game_(game) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::paintEvent(QPaintEvent*) {
    const std::uint32_t colour =
        tempIsShowing(game_) ? game_.settings.savedIdColour : game_.settings.backgroundColour;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(pixelColour(colour)));
}

void ClientArea::resizeEvent(QResizeEvent*) {
    emit resized(width());
}

MainWindow::MainWindow(Game& game) : game_(game) {
    setWindowTitle(QStringLiteral("ぺてりん"));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    fileChooser_ = std::make_unique<DialogFileChooser>();
    buildMenu();

    client_ = new ClientArea(game_, this);
    scroller_ = new ClientScroller(client_, this);
    setCentralWidget(scroller_);
    status_ = new PartStatusBar(this);
    setStatusBar(status_);
    status_->setPartText(chainStatusPart(0), "\t\t0連鎖");
    status_->setPartText(scoreStatusPart(0), "\t\t0");
    status_->setPartText(chainStatusPart(1), "\t\t0連鎖");
    status_->setPartText(scoreStatusPart(1), "\t\t0");
    connect(client_, &ClientArea::resized, this, &MainWindow::setStatusEdges);

    if (!game_.players[0].sequence.queue.empty())
        randomPosition_ = game_.players[0].sequence.queue.front().position;
    tool_ = new ToolWindow(*this, game_.settings);
    tool_->setRandomPosition(randomPosition_);
    tool_->setIdText(QString::fromStdString(tempIdText_));

    for (int p = 0; p < kPlayerCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        nextViews_[i] = new NextView(game_, p, client_);
        fieldViews_[i] = new FieldView(game_, p, client_);
        warningViews_[i] = new WarningView(game_, p, client_);
        fieldViews_[i]->setHints(hints_);
    }
    placeViews();
    fileExtras_ = new FileMenuExtras(*this, game_, *menuBar()->actions().constFirst()->menu());
    syncMenuChecks();
    playback_ = new PlaybackMenu(*this, game_);
    fitClientToMode();
    new FieldPointerRouter(*this, game_, history_);
}

int MainWindow::fieldPlayerAt(const QPointF& global) const {
    // Within the client area only: a view the window is too narrow for lies beyond its edge.
    if (!client_->rect().contains(client_->mapFromGlobal(global).toPoint()))
        return -1;
    for (int p = 0; p < kPlayerCount; ++p) {
        const FieldView* view = fieldView(p);
        if (view->rect().contains(view->mapFromGlobal(global).toPoint()))
            return p;
    }
    return -1;
}

MainWindow::~MainWindow() {
    for (FieldView* view : fieldViews_)
        view->timer().stop();
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
    new PictureMenu(*this, game_, *menus[0]);
    hints_ = new HintRunner(game_, this);
    hints_->addMenuItem(menus[2]);
}

QAction* MainWindow::menuAction(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::syncMenuChecks() {
    menuAction(kMenuOnePersonBattle)->setChecked(game_.onePersonBattle);
    menuAction(kMenuLimbo)->setChecked(game_.settings.showLimbo != 0);
    menuAction(kMenuHeaven)->setChecked(game_.settings.showHeaven != 0);
    menuAction(kMenuToolWindow)->setChecked(toolWindowShown_);
}

void MainWindow::placeViews() {
    const Settings& s = game_.settings;
    const auto place = [](QWidget* view, const PixelRect& r) {
        view->setGeometry(r.left, r.top, r.width, r.height);
    };
    for (int p = 0; p < kPlayerCount; ++p) {
        place(fieldView(p), fieldViewRect(s, p));
        place(nextView(p), nextViewRect(s, p));
        place(warningView(p), warningViewRect(s, p));
    }
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
    resizeMainToClient(mainClientWidth(game_.settings, battle()), mainClientHeight(game_.settings));
}

void MainWindow::resizeFieldAndNext() {
    const Settings& s = game_.settings;
    for (int p = 0; p < kPlayerCount; ++p)
        fieldView(p)->resize(fieldViewWidth(s), fieldViewHeight(s));
    for (int p = 0; p < kPlayerCount; ++p)
        nextView(p)->resize(nextBandWidth(s) - 10, fieldViewHeight(s));
}

void MainWindow::setStatusEdges(int clientWidth) {
    status_->setEdges(statusPartEdges(game_.settings, clientWidth));
}

void MainWindow::repaintAllViews() {
    for (int p = 0; p < kPlayerCount; ++p) {
        fieldView(p)->update();
        nextView(p)->update();
        warningView(p)->update();
    }
}

// --- UiPort ----------------------------------------------------------------------------------

// The playback decides when and how fast the real timers run.
void MainWindow::startTimer(int player) {
    playback_->playback().timerStarted(player);
    fieldView(player)->turnStarted();
}

void MainWindow::stopTimer(int player) {
    Playback& playback = playback_->playback();
    const bool inOwnTick = playback.tickingPlayer() == player;
    playback.timerStopped(player);
    fieldView(player)->turnStopped(inOwnTick);
}

void MainWindow::repaintField(int player) {
    fieldView(player)->update();
}

void MainWindow::repaintNext(int player) {
    nextView(player)->update();
}

void MainWindow::repaintWarning(int player) {
    warningView(player)->update();
}

void MainWindow::repaintMain() {
    client_->update();
    repaintAllViews();
}

void MainWindow::setStatusText(int part, const std::string& text) {
    status_->setPartText(part, text);
}

void MainWindow::showMessage(const Message& message) {
    showMessageBox(this, message);
}

void MainWindow::showRandomPosition(std::uint32_t position) {
    randomPosition_ = position;
    if (tool_)
        tool_->setRandomPosition(position);
}

void MainWindow::showTempId(const std::string& text) {
    tempIdText_ = text;
    if (tool_)
        tool_->setIdText(QString::fromStdString(text));
}

void MainWindow::relayout() {
    fitClientToMode();
    placeViews();
    repaintMain();
}

// --- Requests ---------------------------------------------------------------------------------

void MainWindow::afterTick(int player) {
    fieldView(player)->tickRan(playback_->playback().timerWanted(player));
    history_.afterTick(game_);
}

void MainWindow::onSetEditKind(CellKind kind) {
    setEditKind(game_, kind);
}

void MainWindow::onClearFields() {
    history_.step(game_, StepKind::Edit, [&] { clearFields(game_); });
}

void MainWindow::onSetMode(Mode mode) {
    const bool resize = changeMode(game_, mode);
    history_.afterTick(game_);
    if (resize)
        fitClientToMode();
}

void MainWindow::onAdjustWarning(int unitIndex, bool add) {
    history_.step(game_, StepKind::Edit, [&] { adjustWarning(game_, unitIndex, add); });
}

void MainWindow::onDropNuisance() {
    if (history_.step(game_, StepKind::Edit, [&] { return dropNuisance(game_); }))
        fitClientToMode();
}

void MainWindow::onSetRandomPosition(std::uint32_t position, bool rebuild) {
    if (history_.step(game_, StepKind::Edit,
                      [&] { return setRandomPosition(game_, position, rebuild); }))
        fitClientToMode();
}

void MainWindow::onRepaint() {
    repaintMain();
}

void MainWindow::onTempStore() {
    tempStore(game_);
}

void MainWindow::onTempRestore() {
    history_.step(game_, StepKind::Edit, [&] { tempRestore(game_); });
}

void MainWindow::onTempPrevious() {
    tempPrevious(game_);
}

void MainWindow::onTempNext() {
    tempNext(game_);
}

void MainWindow::onTempSave() {
    tempSave(game_);
}

void MainWindow::onTempLoad() {
    history_.step(game_, StepKind::Edit, [&] { tempLoad(game_); });
}

void MainWindow::onToolHidden() {
    toolWindowShown_ = false;
    syncMenuChecks();
}

void MainWindow::onKeyDown(std::uint8_t key) {
    const KeyResult result = peterin::onKeyDown(game_, history_, key);
    syncEditMenu();
    if (result.resizeMain)
        fitClientToMode();
    if (result.activateMain)
        activateWindow();
    notePositionChanged(); // the temporary-save keys store positions outside the history
}

void MainWindow::onMouseWheel(int delta) {
    peterin::onMouseWheel(game_, delta);
}

bool MainWindow::event(QEvent* event) {
    // Every key goes to the game, Tab and Esc included, repeats included; system keys (Alt and
    // what is pressed with it, F10) are left to the window system.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isHistoryShortcut(*key))
            return true;
        const std::uint8_t code = translateKey(*key);
        if (code != 0) {
            onKeyDown(code);
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
    const QRect outer = frameGeometry();
    tool_->move(outer.x() + outer.width(), outer.y());
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0)
        onMouseWheel(delta);
    event->accept();
}

// --- Messages ---------------------------------------------------------------------------------

void showMessageBox(QWidget* owner, const Message& message) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (message.icon) {
    case MessageIcon::None:
        icon = QMessageBox::NoIcon;
        break;
    case MessageIcon::Information:
        icon = QMessageBox::Information;
        break;
    case MessageIcon::Warning:
        icon = QMessageBox::Warning;
        break;
    case MessageIcon::Error:
        icon = QMessageBox::Critical;
        break;
    }
    QMessageBox box(icon, QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), QMessageBox::Ok, owner);
    box.exec();
}

void PortRelay::startTimer(int player) {
    if (target_)
        target_->startTimer(player);
}
void PortRelay::stopTimer(int player) {
    if (target_)
        target_->stopTimer(player);
}
void PortRelay::repaintField(int player) {
    if (target_)
        target_->repaintField(player);
}
void PortRelay::repaintNext(int player) {
    if (target_)
        target_->repaintNext(player);
}
void PortRelay::repaintWarning(int player) {
    if (target_)
        target_->repaintWarning(player);
}
void PortRelay::repaintMain() {
    if (target_)
        target_->repaintMain();
}
void PortRelay::setStatusText(int part, const std::string& text) {
    if (target_)
        target_->setStatusText(part, text);
}
void PortRelay::showMessage(const Message& message) {
    if (target_)
        target_->showMessage(message);
    else
        showMessageBox(nullptr, message);
}
void PortRelay::showRandomPosition(std::uint32_t position) {
    if (target_)
        target_->showRandomPosition(position);
}
void PortRelay::showTempId(const std::string& text) {
    if (target_)
        target_->showTempId(text);
}
void PortRelay::relayout() {
    if (target_)
        target_->relayout();
}

} // namespace peterin
