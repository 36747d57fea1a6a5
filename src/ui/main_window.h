#pragma once

#include "message_box.h"
#include "session/session.h"
#include "status_bar.h"
#include "turn_timers.h"
#include "view_set.h"

#include <QMainWindow>

#include <map>
#include <memory>

class QAction;
class QKeyEvent;
class QMenu;
class QString;

namespace peterin {

class ClientScroller;
class ComputerMenu;
class FileChooser;
class FileMenuExtras;
class HintRunner;
class PlaybackMenu;
class PuzzleMenu;
class RecordMenu;
class RecordTimeline;
class ReviewWindow;
class FieldOverlay;
class ReplaceableChooser;
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

// The main window "ぺてりん": menu, status bar, both players' views. Every key, wheel step,
// click and menu command goes to the session as a command; what the session reports changed is
// shown here.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(Session& session, TurnTimers& timers);
    ~MainWindow() override;

    Session& session() { return session_; }
    const Game& game() const { return session_.game(); }

    // Shows what a command or a tick changed: the session's view.
    void show(const Changes& changes);
    using QMainWindow::show;

    // A command of the menu, by its id; other ids do nothing.
    void onMenuCommand(int id);
    // Reads a position file as "開く" and a dropped file do, names the window and the recent
    // files after it; whether it could be read.
    bool openFile(const QString& fileName);
    // The recent files and the work kept across exits.
    FileMenuExtras& fileExtras() const { return *fileExtras_; }
    // The file dialogs "開く" and "保存" ask through; tests hand in their own.
    void setFileChooser(std::unique_ptr<FileChooser> chooser);
    FileChooser& fileChooser();

    // Gives the client area the size width x height, keeping the window's position; within
    // scroll bars when the window would not fit on the screen.
    void resizeMainToClient(int width, int height);
    // The client size the settings and the mode call for.
    void fitClientToMode();
    // The field size or the next pairs changed: the window and its views take their sizes.
    void relayout();

    ViewSet& views() { return *views_; }
    ClientArea* clientArea() const { return views_->client(); }
    PartStatusBar* partStatusBar() const { return status_; }
    FieldView* fieldView(int player) const { return views_->field(player); }
    NextView* nextView(int player) const { return views_->next(player); }
    WarningView* warningView(int player) const { return views_->warning(player); }
    TickTimer& timer(int player) { return timers_.timer(player); }
    QAction* menuAction(int id) const;
    ToolWindow* toolWindow() const { return tool_; }
    PlaybackMenu* playbackMenu() const { return playback_; }
    RecordMenu* recordMenu() const { return records_; }
    PuzzleMenu* puzzleMenu() const { return puzzles_; }
    RecordTimeline* recordTimeline() const { return timeline_; }
    HintRunner* hints() const { return hints_; }
    ReviewWindow* reviewWindow() const { return review_; }
    FieldOverlay* fieldOverlay() const { return overlay_; }
    ComputerMenu* computer() const { return computer_; }
    // Puts the tool window's top-left corner at this window's top-right corner, shown or not.
    void placeToolWindow();

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
    // The menu "編集", inserted before `before`; its items follow the history.
    void buildEditMenu(QAction* before);
    void syncMenuChecks();
    void syncEditMenu();
    // The one writer of the title: the file opened or saved last, and whether play is paused.
    void syncTitle();
    // The menu "コンピュータ" is in the bar in battle mode.
    void syncComputerTitle();
    // The wins of a decisive battle, and who won the game just ended, in the status bar.
    void syncBattleStatus();
    void setStatusEdges(int clientWidth);
    void toggleToolWindow();
    void openSettings();
    void openManual();
    void showAbout();
    // Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z and Ctrl+PageUp ("前の連鎖へ") belong to the menu, also
    // while greyed out: the game never sees them as the plain key.
    static bool isHistoryShortcut(const QKeyEvent& event);

    Session& session_;
    TurnTimers& timers_;
    ClientScroller* scroller_ = nullptr;
    PartStatusBar* status_ = nullptr;
    std::unique_ptr<ViewSet> views_;
    std::map<int, QAction*> actions_;
    ToolWindow* tool_ = nullptr;
    PlaybackMenu* playback_ = nullptr;
    RecordMenu* records_ = nullptr;
    PuzzleMenu* puzzles_ = nullptr;
    RecordTimeline* timeline_ = nullptr;
    HintRunner* hints_ = nullptr;
    FieldOverlay* overlay_ = nullptr;
    ReviewWindow* review_ = nullptr;
    ComputerMenu* computer_ = nullptr;
    QAction* helpTitle_ = nullptr;
    std::unique_ptr<ReplaceableChooser> fileChooser_;
    FileMenuExtras* fileExtras_ = nullptr;
    bool toolWindowShown_ = true;
    bool shownOnce_ = false;
};

} // namespace peterin
