#include "history/snapshot.h"
#include "play/turn_cycle.h"
#include "running_program.h"
#include "ui/main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace peterin;

namespace {

struct Program : RunningProgram {
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.get(), key, modifiers);
    }
    // Fires the running timers, as their timeouts would, until none runs.
    void settle() {
        for (int i = 0; i < 10000; ++i) {
            bool busy = false;
            for (int p = 0; p < kPlayerCount; ++p) {
                if (window->timer(p).isActive()) {
                    busy = true;
                    window->timer(p).fire();
                }
            }
            if (!busy)
                return;
        }
        QFAIL("the turn never ended");
    }
    bool enabled(int id) const { return window->menuAction(id)->isEnabled(); }
};

} // namespace

class HistoryMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void editMenuStandsBetweenFileAndViewWithItsShortcuts() {
        Program p;
        QStringList titles;
        for (QAction* menu : p.window->menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles.mid(0, 3), (QStringList{"ファイル", "編集", "表示"}));
        QAction* undo = p.window->menuAction(kMenuUndo);
        QAction* redo = p.window->menuAction(kMenuRedo);
        QCOMPARE(undo->text(), QString("元に戻す"));
        QCOMPARE(redo->text(), QString("やり直し"));
        QCOMPARE(undo->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+Z")}));
        QCOMPARE(redo->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
    }

    // A turn undone and redone through the shortcuts; greyed out, they still never reach the
    // game as Z (a turning key) or Y.
    void shortcutsUndoAndRedoATurnAndAreGreyedOutWithNothingToDo() {
        Program p;
        p.window->session().apply(SetMode{Mode::Play});
        p.settle();
        p.window->session().apply(ClearHistory{}); // entering play was a step of its own
        const auto told = [&, base = p.session.history().revision()] {
            return static_cast<int>(p.session.history().revision() - base);
        };
        const Snapshot start = capture(p.game);
        QVERIFY(!p.enabled(kMenuUndo) && !p.enabled(kMenuRedo));
        for (const auto& modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                      Qt::ControlModifier | Qt::ShiftModifier}) {
            p.key(Qt::Key_Z, modifiers);
            p.key(Qt::Key_Y, modifiers);
        }
        QVERIFY(capture(p.game) == start);

        p.key(Qt::Key_Down);
        QVERIFY(p.enabled(kMenuUndo)); // the turn runs: undo stops it
        p.settle();
        const Snapshot end = capture(p.game);
        QVERIFY(!(end == start));
        QCOMPARE(told(), 1);

        p.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(capture(p.game) == start);
        QVERIFY(!p.enabled(kMenuUndo) && p.enabled(kMenuRedo));
        p.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(capture(p.game) == end);
        p.key(Qt::Key_Z, Qt::ControlModifier);
        p.key(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(capture(p.game) == end);
        QVERIFY(p.enabled(kMenuUndo) && !p.enabled(kMenuRedo));
        QCOMPARE(told(), 5);

        // Clearing forgets every step and keeps the position.
        p.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(p.enabled(kMenuClearHistory));
        p.window->menuAction(kMenuClearHistory)->trigger();
        QVERIFY(capture(p.game) == start);
        QVERIFY(!p.enabled(kMenuUndo) && !p.enabled(kMenuRedo) && !p.enabled(kMenuClearHistory));
        QCOMPARE(p.window->session().history().bytes(), std::size_t{0});
    }

    // Press, moves and release paint several cells; one undo takes them all back, but not
    // while a stored position is on screen, where every edit of the live one stops.
    void aMouseStrokeIsOneStepUndoneOnlyWithTheLivePositionShown() {
        Program p;
        p.game.editKind = CellKind::Red;
        FieldView* view = p.window->fieldView(0);
        const Snapshot start = capture(p.game, false);
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, at, view->mapToGlobal(at),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                              Qt::NoModifier);
            QApplication::sendEvent(view, &event);
        };
        send(QEvent::MouseMove, QPoint(20, 500), Qt::NoButton);
        send(QEvent::MouseButtonPress, QPoint(20, 500), Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(60, 500), Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(100, 500), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPoint(100, 500), Qt::NoButton);
        QCOMPARE(p.window->session().history().undoCount(), std::size_t{1});
        const Snapshot painted = capture(p.game, false);
        p.window->session().apply(TempCommand{TempStep::Save});
        p.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(capture(p.game, false) == painted);
        p.window->session().apply(TempCommand{TempStep::Next}); // back to "MAIN"
        p.key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(capture(p.game, false) == start);
    }
};

QTEST_MAIN(HistoryMenuTest)
#include "test_history_menu.moc"
