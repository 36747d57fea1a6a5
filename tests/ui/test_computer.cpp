#include "play/battle.h"
#include "rules/field.h"
#include "running_program.h"
#include "ui/computer_menu.h"
#include "ui/hint_runner.h"
#include "ui/main_window.h"
#include "ui/playback_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace peterin;

class ComputerTest : public QObject {
    Q_OBJECT

  private slots:
    // End to end on the real window: the computer on 2P plays its pairs on its own, the person
    // plays 1P with the usual keys, and the game ends with the winner in the status bar.
    void withTheComputerOn2PItsPairsLandWithoutAKeyAndAGameEndsWithAWinner() {
        RunningProgram program;
        MainWindow& w = *program.window;
        ComputerMenu& computer = *w.computer();
        computer.setNodes(80);
        // The menu shows in battle mode, where the window has room for it.
        QVERIFY(!w.menuBar()->actions().contains(computer.menu()->menuAction()));
        computer.plays2PAction()->trigger();
        QVERIFY(computerPlays(program.game.settings, 1));
        QVERIFY(!program.game.onePersonBattle);
        // 1P's spawn column stands one row short of full: its first pair loses the game.
        constexpr CellKind kCycle[] = {CellKind::Red, CellKind::Blue, CellKind::Green,
                                       CellKind::Yellow};
        Field& field = program.player(0).field;
        for (std::int32_t r = 1; r < field.height; ++r)
            setCell(field, 2, r, kCycle[r % 4]);
        QTest::keyClick(&w, Qt::Key_E);
        QCOMPARE(program.game.mode, Mode::Battle);
        QCOMPARE(w.menuBar()->actions().at(5), computer.menu()->menuAction());
        const QRect title = w.menuBar()->actionGeometry(computer.menu()->menuAction());
        QVERIFY(title.right() < w.menuBar()->width());
        QVERIFY(!program.session.canUndo());
        QVERIFY(!w.menuAction(kMenuUndo)->isEnabled());
        QAction* previousChain = w.playbackMenu()->previousChainAction();
        QVERIFY(!previousChain->isEnabled());
        // 2P's first pair lands without any key for it.
        const auto blobs = [&](int p) {
            const Field& f = program.player(p).field;
            int n = 0;
            for (std::int32_t r = 0; r < f.height; ++r)
                for (std::int32_t x = 0; x < f.width; ++x)
                    n += getCell(f, x, r) != CellKind::Empty ? 1 : 0;
            return n;
        };
        QTRY_COMPARE(program.player(0).phase, Phase::Idle);
        const int before = blobs(1);
        QTest::keyClick(&w, Qt::Key_Down); // the person's usual drop key
        QTRY_VERIFY_WITH_TIMEOUT(blobs(1) >= before + 2, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(program.game.battleScore.winner.has_value(), 10000);
        QCOMPARE(*program.game.battleScore.winner, 1);
        QCOMPARE(w.partStatusBar()->battleText(1), QStringLiteral("2Pの勝ち  1勝"));
        QCOMPARE(w.partStatusBar()->battleText(0), QStringLiteral("0勝"));
        // Undo and "前の連鎖へ" are back once the game is over; the next key plays the next game.
        QVERIFY(program.session.canUndo());
        QVERIFY(previousChain->isEnabled());
        QTest::keyClick(&w, Qt::Key_Down);
        QVERIFY(!program.game.battleScore.winner);
        QCOMPARE(w.partStatusBar()->battleText(1), QStringLiteral("1勝"));
    }
};

QTEST_MAIN(ComputerTest)
#include "test_computer.moc"
