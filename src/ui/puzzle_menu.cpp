#include "puzzle_menu.h"

#include "message_box.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace peterin {

namespace {

using puzzle::Goal;
using puzzle::GoalKind;

// The goals in the order the dialog lists them, with their names there.
struct GoalChoice {
    GoalKind kind;
    const char* text;
};
constexpr GoalChoice kGoalChoices[] = {
    {GoalKind::ChainAtLeast, "N 連鎖以上"},
    {GoalKind::ChainExactly, "ちょうど N 連鎖"},
    {GoalKind::ClearAll, "全消し"},
    {GoalKind::ClearColour, "指定の色をすべて消す"},
    {GoalKind::ClearBlobsAtLeast, "N 個以上同時消し"},
    {GoalKind::ClearColoursAtLeast, "N 色以上同時消し"},
    {GoalKind::ClearNuisance, "おじゃまをすべて消す"},
};
constexpr const char* kColourNames[] = {"赤 (R)", "青 (B)", "緑 (G)", "黄 (Y)", "紫 (P)"};

bool counted(GoalKind kind) {
    return kind == GoalKind::ChainAtLeast || kind == GoalKind::ChainExactly ||
           kind == GoalKind::ClearBlobsAtLeast || kind == GoalKind::ClearColoursAtLeast;
}

// The goal dialog of "問題を作る".
std::optional<Goal> askGoal(QWidget* owner, const std::optional<Goal>& current) {
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("問題を作る"));
    auto* layout = new QFormLayout(&dialog);
    auto* kind = new QComboBox(&dialog);
    for (const GoalChoice& choice : kGoalChoices)
        kind->addItem(QString::fromUtf8(choice.text), static_cast<int>(choice.kind));
    auto* count = new QSpinBox(&dialog);
    count->setRange(1, puzzle::kMostGoalCount);
    auto* colour = new QComboBox(&dialog);
    for (const char* name : kColourNames)
        colour->addItem(QString::fromUtf8(name));
    const Goal start = current.value_or(Goal{GoalKind::ChainAtLeast, 4, CellKind::Empty});
    kind->setCurrentIndex(kind->findData(static_cast<int>(start.kind)));
    count->setValue(start.count);
    colour->setCurrentIndex(isColour(start.colour)
                                ? static_cast<int>(start.colour) - static_cast<int>(CellKind::Red)
                                : 0);
    const auto follow = [&] {
        const auto k = static_cast<GoalKind>(kind->currentData().toInt());
        count->setEnabled(counted(k));
        count->setMaximum(k == GoalKind::ClearColoursAtLeast ? 5 : puzzle::kMostGoalCount);
        colour->setEnabled(k == GoalKind::ClearColour);
    };
    QObject::connect(kind, &QComboBox::currentIndexChanged, &dialog, follow);
    follow();
    layout->addRow(QStringLiteral("条件"), kind);
    layout->addRow(QStringLiteral("N"), count);
    layout->addRow(QStringLiteral("色"), colour);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    Goal goal;
    goal.kind = static_cast<GoalKind>(kind->currentData().toInt());
    goal.count = counted(goal.kind) ? count->value() : 1;
    goal.colour =
        goal.kind == GoalKind::ClearColour
            ? static_cast<CellKind>(static_cast<int>(CellKind::Red) + colour->currentIndex())
            : CellKind::Empty;
    return goal;
}

bool askSave(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("問題を作る"),
                    text + QStringLiteral("\n保存しますか？"), QMessageBox::NoButton, owner);
    QPushButton* save = box.addButton(QStringLiteral("保存..."), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == save;
}

bool askAgain(QWidget* owner, puzzle::Verdict verdict) {
    const bool cleared = verdict == puzzle::Verdict::Cleared;
    QMessageBox box(
        cleared ? QMessageBox::Information : QMessageBox::Warning, QStringLiteral("問題"),
        cleared ? QStringLiteral("クリア") : QStringLiteral("失敗"), QMessageBox::NoButton, owner);
    QPushButton* again = box.addButton(QStringLiteral("もう一度"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("閉じる"), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == again;
}

} // namespace

QString searchOutcomeText(const puzzle::SolveResult& result) {
    if (result.solutions == 0)
        return QStringLiteral("この問題には答えがありません。");
    return QStringLiteral("答えは %1 通り（最後の形は %2 通り）あります。%3")
        .arg(result.solutions)
        .arg(result.finalPositions)
        .arg(result.unique() ? QStringLiteral("答えはひとつだけです。") : QString());
}

PuzzleMenu::PuzzleMenu(Session& session, QWidget& window, std::function<void()> save)
    : QObject(&window), session_(session), window_(window), save_(std::move(save)) {
    questions_.goal = [this](const std::optional<Goal>& current) {
        return askGoal(&window_, current);
    };
    questions_.save = [this](const QString& text) { return askSave(&window_, text); };
    questions_.again = [this](puzzle::Verdict v) { return askAgain(&window_, v); };
    questions_.tell = [this](const Message& message) { showMessageBox(&window_, message); };

    menu_ = new QMenu(QStringLiteral("問題"), &window);
    solve_ = menu_->addAction(QStringLiteral("問題を解く"));
    connect(solve_, &QAction::triggered, this, [this] { session_.apply(SolvePuzzle{}); });
    again_ = menu_->addAction(QStringLiteral("もう一度"));
    connect(again_, &QAction::triggered, this, [this] { session_.apply(RetryPuzzle{}); });
    answer_ = menu_->addAction(QStringLiteral("答えを見る"));
    connect(answer_, &QAction::triggered, this, &PuzzleMenu::showAnswer);
    menu_->addSeparator();
    make_ = menu_->addAction(QStringLiteral("問題を作る..."));
    connect(make_, &QAction::triggered, this, &PuzzleMenu::make);
    connect(menu_, &QMenu::aboutToShow, this, &PuzzleMenu::sync);
    sync();
}

void PuzzleMenu::sync() {
    const bool goal = session_.goal().has_value();
    solve_->setEnabled(goal);
    answer_->setEnabled(!searching_ && (goal || session_.puzzleRun() != nullptr));
    again_->setEnabled(session_.puzzleRun() != nullptr);
    make_->setEnabled(!searching_);
}

void PuzzleMenu::verdict(puzzle::Verdict verdict) {
    // Asked once the turn's report is shown; the box waits while the timers go on.
    QTimer::singleShot(0, this, [this, verdict] {
        if (questions_.again(verdict))
            session_.apply(RetryPuzzle{});
    });
}

std::optional<puzzle::SolveResult> PuzzleMenu::run(puzzle::SolveJob& job) {
    searching_ = true;
    sync();
    QProgressDialog progress(QStringLiteral("答えを探しています..."), QStringLiteral("キャンセル"),
                             0, 1000, &window_);
    progress.setWindowTitle(QStringLiteral("問題"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (job.finished()) {
            loop.quit();
            return;
        }
        progress.setValue(static_cast<int>(job.progress() * 1000));
        progress.setLabelText(
            QStringLiteral("答えを探しています... (%1 手を試しました)").arg(job.nodes()));
    });
    connect(&progress, &QProgressDialog::canceled, &loop, [&] { job.cancel(); });
    if (!job.finished()) {
        poll.start();
        loop.exec();
    }
    job.wait();
    searching_ = false;
    sync();
    if (job.result().cancelled)
        return std::nullopt;
    return job.result();
}

void PuzzleMenu::showAnswer() {
    if (searching_)
        return;
    if (session_.shownRecord() != nullptr && session_.puzzleRun() == nullptr)
        session_.apply(CloseRecord{}); // the answer is of the live position
    Session::PuzzleSearch search = session_.searchPuzzle();
    if (!search.job) {
        questions_.tell({search.error, "問題", MessageIcon::Warning});
        return;
    }
    const std::optional<puzzle::SolveResult> result = run(*search.job);
    if (!result)
        return;
    if (!result->first) {
        questions_.tell(
            {searchOutcomeText(*result).toStdString(), "問題", MessageIcon::Information});
        return;
    }
    session_.apply(ShowSolution{*result->first});
}

void PuzzleMenu::make() {
    if (searching_)
        return;
    const std::optional<Goal> goal = questions_.goal(session_.goal());
    if (!goal)
        return;
    if (session_.shownRecord() != nullptr)
        session_.apply(CloseRecord{}); // the puzzle is made of the live position
    Session::PuzzleSearch search = session_.searchPuzzle(goal);
    if (!search.job) {
        questions_.tell({search.error, "問題", MessageIcon::Warning});
        return;
    }
    const std::optional<puzzle::SolveResult> result = run(*search.job);
    if (!result || !questions_.save(searchOutcomeText(*result)))
        return;
    session_.apply(SetGoal{goal});
    if (save_)
        save_();
}

} // namespace peterin
