// "問題" in the window: a puzzle file is played to its verdict and again, its answer shown with
// the "再生" commands, and the live position made a puzzle and saved as one.
#include "running_program.h"
#include "ui/playback_menu.h"
#include "ui/puzzle_menu.h"
#include "ui/record_menu.h"
#include "ui/save_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <sstream>

using namespace peterin;

namespace {

class PuzzleMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void aPuzzleIsPlayedAnsweredAndMadeThroughTheMenu() {
        RunningProgram program;
        auto fake = std::make_unique<FakeChooser>();
        FakeChooser& chooser = *fake;
        program.window->setFileChooser(std::move(fake));
        Session& session = program.session;
        PuzzleMenu& menu = *program.window->puzzleMenu();

        // After "記録" in "再生": the menu bar keeps its titles, "ヘルプ" last.
        const QList<QAction*> items = program.window->playbackMenu()->menu()->actions();
        QCOMPARE(items.last()->menu(), menu.menu());
        QCOMPARE(items[items.size() - 2]->menu(), program.window->recordMenu()->menu());
        QCOMPARE(program.window->menuBar()->actions().last()->text(), QStringLiteral("ヘルプ"));

        QVERIFY(!menu.solveAction()->isEnabled());
        session.openFile(PETERIN_EXAMPLES "/puzzle_two_chain.dat");
        QVERIFY(menu.solveAction()->isEnabled());
        QVERIFY(!menu.againAction()->isEnabled());

        // Played to a verdict; "もう一度" plays it again from its start.
        std::optional<puzzle::Verdict> told;
        menu.questions().again = [&](puzzle::Verdict v) {
            told = v;
            return true;
        };
        menu.solveAction()->trigger();
        QVERIFY(menu.againAction()->isEnabled());
        const auto drop = program.game.settings.keys[pairKeyIndex(PairAction::Down, 0)];
        for (int pair = 0; pair < 2; ++pair) {
            QTRY_VERIFY(program.player(0).phase == Phase::Idle);
            session.keyDown(drop);
        }
        QTRY_COMPARE(told, std::optional(puzzle::Verdict::Failed));
        QTRY_COMPARE(session.puzzlePairsPlayed(), 0);
        QCOMPARE(session.puzzleVerdict(), puzzle::Verdict::Playing);

        // The answer plays on the fields as a record does.
        menu.answerAction()->trigger();
        QVERIFY(session.shownRecord());
        QVERIFY(program.window->windowTitle().startsWith(QStringLiteral("記録 問題の答え")));
        session.apply(CloseRecord{});

        // A new goal for the live position: searched, told, then saved as a puzzle.
        QString outcome;
        menu.questions().goal = [](const std::optional<puzzle::Goal>& current) {
            [&] { QVERIFY(current && puzzle::goalText(*current) == "chain>=2"); }();
            return puzzle::parseGoal("clear-blobs>=8").goal;
        };
        menu.questions().save = [&](const QString& text) {
            outcome = text;
            return true;
        };
        QTemporaryDir dir;
        chooser.save = dir.filePath(QStringLiteral("made.dat"));
        bool puzzleTicked = false;
        QTimer answer; // the save dialog comes once the search is over
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<SaveDialog*>(QApplication::activeModalWidget())) {
                answer.stop();
                puzzleTicked = dialog->checkBox(kSavePuzzle)->isChecked();
                dialog->accept();
            }
        });
        answer.start(10);
        menu.makeAction()->trigger();
        QCOMPARE(outcome, QStringLiteral("答えは 12 通り（最後の形は 12 通り）あります。"));
        QVERIFY(puzzleTicked);
        std::ostringstream saved;
        saved << std::ifstream(QFile::encodeName(chooser.save).toStdString()).rdbuf();
        QVERIFY(saved.str().find("[G]\nclear-blobs>=8\n") != std::string::npos);
    }
};

} // namespace

QTEST_MAIN(PuzzleMenuTest)
#include "test_puzzle_menu.moc"
