#pragma once

#include "history/history.h"
#include "play/game.h"
#include "play/ui_port.h"
#include "player_views.h"
#include "status_bar.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <map>
#include <memory>

class QAction;
class QKeyEvent;
class QString;

namespace peterin {

class ClientScroller;
class FileChooser;
class FileMenuExtras;
class HintRunner;
class PlaybackMenu;
class ToolWindow;

// Menu command ids of the main window's menu.
inline constexpr int kMenuOpen = 305;
inline constexpr int kMenuSave = 306;
inline constexpr int kMenuLimbo = 307;
inline constexpr int kMenuHeaven = 308;
inline constexpr int kMenuToolWindow = 309;
inline constexpr int kMenuSettings = 310;
inline constexpr int kMenuOnePersonBattle = 311;
inline constexpr int kMenuAbout = 312;
inline constexpr int kMenuManual = 313;
inline constexpr int kMenuUndo = 1001;
inline constexpr int kMenuRedo = 1002;
inline constexpr int kMenuClearHistory = 1003;

// The client area: the background in "背景色", or in "保存ID時の色" while a stored position is on
// screen, so the user sees at once which is shown. The six player views are its children.
class ClientArea : public QWidget {
    Q_OBJECT

  public:
    ClientArea(const Game& game, QWidget* parent);

  signals:
    void resized(int width);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const Game& game_;
};

// The main window "ぺてりん": menu, status bar, both players' views, and the entry point of every
// key, wheel and request of the user. It is the game's UiPort.
class MainWindow : public QMainWindow, public UiPort {
    Q_OBJECT

  public:
    explicit MainWindow(Game& game);
    ~MainWindow() override;

    // UiPort
    void startTimer(int player) override;
    void stopTimer(int player) override;
    void repaintField(int player) override;
    void repaintNext(int player) override;
    void repaintWarning(int player) override;
    void repaintMain() override;
    void setStatusText(int part, const std::string& text) override;
    void showMessage(const Message& message) override;
    void showRandomPosition(std::uint32_t position) override;
    void showTempId(const std::string& text) override;
    void relayout() override;

    // The requests of the keys and the tool window.
    void onSetEditKind(CellKind kind);
    void onClearFields();
    void onSetMode(Mode mode);
    void onAdjustWarning(int unitIndex, bool add);
    void onDropNuisance();
    void onSetRandomPosition(std::uint32_t position, bool rebuild);
    void onRepaint();
    void onTempStore();
    void onTempRestore();
    // The tool window's "<", ">", "保存" and "取出", the same as their keys.
    void onTempPrevious();
    void onTempNext();
    void onTempSave();
    void onTempLoad();
    // The tool window was closed with its caption button: it is hidden, and its menu item loses
    // the check mark.
    void onToolHidden();

    // A command of the menu, by its id; other ids do nothing.
    void onMenuCommand(int id);
    // Reads a position file into the game, as "開く" and a dropped file do. The mode and the
    // turn timers stay: a game in progress goes on with the loaded position.
    void openFile(const QString& fileName);
    // The same, telling the user when reading stopped early, without naming the window or the
    // recent files after the file; whether the file could be read.
    bool readPositionFile(const QString& fileName);
    // The recent files, the title, the work kept across exits.
    FileMenuExtras& fileExtras() const { return *fileExtras_; }
    // The position may have changed outside the history (a temporary save stored by a key or
    // the tool window): keep the work.
    void notePositionChanged();
    // The file dialogs "開く" and "保存" ask through; tests hand in their own.
    void setFileChooser(std::unique_ptr<FileChooser> chooser);
    FileChooser& fileChooser() { return *fileChooser_; }

    // "元に戻す", "やり直し" and "履歴を消去" of the menu "編集". Clearing keeps the position and
    // gives back the memory the steps took (up to the history's limit, large on large fields).
    void onUndo();
    void onRedo();
    void onClearHistory();
    // The history of the user's steps with the live position.
    History& history() { return history_; }
    // After every tick the playback runs for the player: the turn's pictures are recorded, and a
    // turn that ran out closes its history step.
    void afterTick(int player);

    // A translated key press (virtual-key code) and a wheel step.
    void onKeyDown(std::uint8_t key);
    void onMouseWheel(int delta);

    // Gives the client area the size width x height, keeping the window's position; within
    // scroll bars when the window would not fit on the screen.
    void resizeMainToClient(int width, int height);
    // The client size the settings and the mode call for.
    void fitClientToMode();
    // Resizes the field and next views to the current field height (the band toggles).
    void resizeFieldAndNext();

    ClientArea* clientArea() const { return client_; }
    PartStatusBar* partStatusBar() const { return status_; }
    FieldView* fieldView(int player) const { return fieldViews_[static_cast<std::size_t>(player)]; }
    NextView* nextView(int player) const { return nextViews_[static_cast<std::size_t>(player)]; }
    WarningView* warningView(int player) const {
        return warningViews_[static_cast<std::size_t>(player)];
    }
    // The player whose field view is under the pointer (global coordinates), or -1 when none
    // is: the one place that decides where mouse moves go.
    int fieldPlayerAt(const QPointF& global) const;
    QAction* menuAction(int id) const;
    ToolWindow* toolWindow() const { return tool_; }
    PlaybackMenu* playbackMenu() const { return playback_; }
    HintRunner* hints() const { return hints_; }
    // Puts the tool window's top-left corner at this window's top-right corner, shown or not.
    void placeToolWindow();
    // What the tool window will show; kept until it exists.
    std::uint32_t shownRandomPosition() const { return randomPosition_; }
    const std::string& shownTempId() const { return tempIdText_; }

  signals:
    // A step was recorded, undone or redone, and the game shows it.
    void historyChanged(peterin::HistoryEvent event);

  protected:
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenu();
    void syncMenuChecks();
    void placeViews();
    void repaintAllViews();
    void setStatusEdges(int clientWidth);
    void toggleLimbo();
    void toggleHeaven();
    void resizeAreas();
    void toggleToolWindow();
    void openSettings();
    void openManual();
    void showAbout();
    bool battle() const { return game_.mode == Mode::Battle; }
    // The menu "編集", inserted before `before`; its items follow the history.
    void buildEditMenu(QAction* before);
    void syncEditMenu();
    void afterHistoryStep();
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z belong to the menu, also while greyed out: the game
    // never sees them as the plain key.
    static bool isHistoryShortcut(const QKeyEvent& event);

    Game& game_;
    History history_;
    ClientArea* client_ = nullptr;
    ClientScroller* scroller_ = nullptr;
    PartStatusBar* status_ = nullptr;
    std::array<FieldView*, kPlayerCount> fieldViews_{};
    std::array<NextView*, kPlayerCount> nextViews_{};
    std::array<WarningView*, kPlayerCount> warningViews_{};
    std::map<int, QAction*> actions_;
    ToolWindow* tool_ = nullptr;
    PlaybackMenu* playback_ = nullptr; // owned as a child object
    HintRunner* hints_ = nullptr;
    std::unique_ptr<FileChooser> fileChooser_;
    FileMenuExtras* fileExtras_ = nullptr;
    bool toolWindowShown_ = true;
    bool shownOnce_ = false;
    std::uint32_t randomPosition_ = 0;
    std::string tempIdText_ = kLiveIdText;
};

// Shows a message in a modal box with its caption, text and icon.
void showMessageBox(QWidget* owner, const Message& message);

// The UiPort the game is made with before the main window exists: messages are shown without an
// owner, the rest waits for the window, which then takes over.
class PortRelay : public UiPort {
  public:
    void attach(UiPort* target) { target_ = target; }

    void startTimer(int player) override;
    void stopTimer(int player) override;
    void repaintField(int player) override;
    void repaintNext(int player) override;
    void repaintWarning(int player) override;
    void repaintMain() override;
    void setStatusText(int part, const std::string& text) override;
    void showMessage(const Message& message) override;
    void showRandomPosition(std::uint32_t position) override;
    void showTempId(const std::string& text) override;
    void relayout() override;

  private:
    UiPort* target_ = nullptr;
};

} // namespace peterin
