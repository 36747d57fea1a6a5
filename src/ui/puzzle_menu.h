#pragma once

#include "session/session.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace peterin {

// What the menu asks the user and tells them; the defaults are dialogs, tests answer instead.
struct PuzzleQuestions {
    // The goal "問題を作る" makes, starting from the position's own; nothing when cancelled.
    std::function<std::optional<puzzle::Goal>(const std::optional<puzzle::Goal>&)> goal;
    // The search's outcome, in words: whether to save the puzzle.
    std::function<bool(const QString&)> save;
    // "クリア" or "失敗": whether to play it again ("もう一度").
    std::function<bool(puzzle::Verdict)> again;
    // Anything else to tell.
    std::function<void(const Message&)> tell;
};

// The menu "問題": play the live position's puzzle with the pair keys ("問題を解く"), play it
// again from its start ("もう一度"), see a solution played on the fields with the "再生"
// commands ("答えを見る"), and make the live position a puzzle: a goal, the search of every
// solution, then the save dialog ("問題を作る..."). Searches run on a worker thread behind a
// progress bar that shows beyond half a second and can cancel them.
class PuzzleMenu : public QObject {
    Q_OBJECT

  public:
    // `save` opens the save dialog.
    PuzzleMenu(Session& session, QWidget& window, std::function<void()> save);

    QMenu* menu() const { return menu_; }
    QAction* solveAction() const { return solve_; }
    QAction* againAction() const { return again_; }
    QAction* answerAction() const { return answer_; }
    QAction* makeAction() const { return make_; }
    PuzzleQuestions& questions() { return questions_; }

    // The items follow the position's goal and the puzzle being played.
    void sync();
    // The session's report that the puzzle being played was cleared or failed.
    void verdict(puzzle::Verdict verdict);

    void showAnswer();
    void make();

  private:
    // Runs the search to its end, or until cancelled (then nothing).
    std::optional<puzzle::SolveResult> run(puzzle::SolveJob& job);

    Session& session_;
    QWidget& window_;
    std::function<void()> save_;
    PuzzleQuestions questions_;
    QMenu* menu_ = nullptr;
    QAction* solve_ = nullptr;
    QAction* again_ = nullptr;
    QAction* answer_ = nullptr;
    QAction* make_ = nullptr;
    bool searching_ = false; // a search runs: the window still answers, the menu waits
};

// "答えは 3 通り（最後の形は 2 通り）あります。" and whether it is unique, for the user.
QString searchOutcomeText(const puzzle::SolveResult& result);

} // namespace peterin
