#include "play/commands.h"
#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "render/drawing.h"
#include "render/geometry.h"
#include "running_program.h"
#include "ui/main_window.h"
#include "ui/tool_window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace peterin;

namespace {

// A game and its main window, made as the program makes them.
struct Program : RunningProgram {
    using RunningProgram::RunningProgram;

    QSize client() const { return window->clientArea()->size(); }

    void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.get(), static_cast<Qt::Key>(qtKey), modifiers);
    }
    // Runs the turn cycle until both players wait for input, as their timers would.
    void settle() {
        for (int i = 0; i < 10000; ++i) {
            bool busy = false;
            for (int p = 0; p < kPlayerCount; ++p) {
                if (player(p).phase != Phase::Idle) {
                    busy = true;
                    gameTick(game, p);
                }
            }
            if (!busy)
                return;
        }
        QFAIL("the turn cycle never settled");
    }
    QRgb clientPixel(int x, int y) { return window->clientArea()->grab().toImage().pixel(x, y); }
};

QRect rectOf(const PixelRect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

void moveMouse(QWidget* target, QPoint at) {
    QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void wheel(QWidget* target, int delta) {
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsInEditOneSideWideWithItsMenuAndStatusTexts() {
        Program program;
        MainWindow& w = *program.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("ぺてりん"));
        QCOMPARE(program.game.mode, Mode::Edit);
        QCOMPARE(program.client(), QSize(295, 605));
        // The status bar lies below the client area, not over it.
        QVERIFY(w.partStatusBar()->geometry().top() >= w.clientArea()->geometry().bottom());

        QStringList menus;
        for (const QAction* menu : w.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{"ファイル", "編集", "表示", "ツール", "再生", "ヘルプ"}));
        for (int id : {kMenuOpen, kMenuSave, kMenuSettings, kMenuManual, kMenuAbout})
            QVERIFY(!w.menuAction(id)->isCheckable());
        for (int id : {kMenuOnePersonBattle, kMenuLimbo, kMenuHeaven, kMenuToolWindow})
            QVERIFY(w.menuAction(id)->isChecked());
        // "１人で対戦" flips the flag and its mark with it.
        w.menuAction(kMenuOnePersonBattle)->trigger();
        QVERIFY(!w.menuAction(kMenuOnePersonBattle)->isChecked());
        QVERIFY(!program.game.onePersonBattle);
        w.menuAction(kMenuOnePersonBattle)->trigger();
        QVERIFY(w.menuAction(kMenuOnePersonBattle)->isChecked());
        QVERIFY(program.game.onePersonBattle);

        PartStatusBar& status = *w.partStatusBar();
        QCOMPARE(status.partText(0), QStringLiteral("\t\t0連鎖"));
        QCOMPARE(status.partText(1), QStringLiteral("\t\t0"));
        QCOMPARE(status.partText(2), QStringLiteral("\t\t0連鎖"));
        QCOMPARE(status.partText(3), QStringLiteral("\t\t0"));
        QCOMPARE(status.edges(), (std::array<int, 4>{190, 290, 245, 345}));
        // 2P's parts start where 1P's end, beyond the visible width.
        QCOMPARE(status.partRect(2).width(), 0);
        QCOMPARE(status.partRect(3).left(), 290);
        // Cut off by the right edge, 2P's score part is not drawn into the margin either.
        const QImage bar = status.grab().toImage();
        const QRgb plain = status.palette().window().color().rgb();
        for (int x = 290; x < bar.width(); ++x) {
            for (int y = 0; y < bar.height(); ++y)
                QCOMPARE(bar.pixel(x, y), plain);
        }

        // Views at their places, each with a back buffer of its own size.
        const Settings& s = program.game.settings;
        for (int p = 0; p < kPlayerCount; ++p) {
            QCOMPARE(w.fieldView(p)->geometry(), rectOf(fieldViewRect(s, p)));
            QCOMPARE(w.nextView(p)->geometry(), rectOf(nextViewRect(s, p)));
            QCOMPARE(w.warningView(p)->geometry(), rectOf(warningViewRect(s, p)));
            QCOMPARE(w.fieldView(p)->backBuffer().size(), w.fieldView(p)->size());
            QCOMPARE(w.nextView(p)->backBuffer().size(), w.nextView(p)->size());
            QCOMPARE(w.warningView(p)->backBuffer().size(), w.warningView(p)->size());
        }
        // The margins show the background colour.
        QCOMPARE(program.clientPixel(1, 1), pixelColour(s.backgroundColour));
        QCOMPARE(w.toolWindow()->randomText().toUInt(),
                 program.player(0).sequence.queue.front().position);
    }

    void battleWidensTheWindowAndTheOtherModesNarrowIt() {
        Program program;
        MainWindow& w = *program.window;
        program.key(Qt::Key_E);
        QCOMPARE(program.game.mode, Mode::Battle);
        QCOMPARE(program.client(), QSize(585, 605));
        QCOMPARE(w.partStatusBar()->edges(), (std::array<int, 4>{190, 290, 485, 585}));
        const QImage bar = w.partStatusBar()->grab().toImage();
        QCOMPARE(bar.pixel(584, bar.height() / 2),
                 w.partStatusBar()->palette().mid().color().rgb()); // 2P's score part's frame
        QVERIFY(w.fieldView(1)->isVisible());
        QCOMPARE(w.fieldView(1)->geometry().right() + 1, 585);

        program.key(Qt::Key_E); // re-entering battle keeps the size
        QCOMPARE(program.client(), QSize(585, 605));
        program.key(Qt::Key_W);
        QCOMPARE(program.game.mode, Mode::Play);
        QCOMPARE(program.client(), QSize(295, 605));
        program.key(Qt::Key_E);
        program.key(Qt::Key_Q);
        QCOMPARE(program.game.mode, Mode::Edit);
        QCOMPARE(program.client(), QSize(295, 605));
    }

    void relayoutFollowsHiddenBandsAndTwoNextColumns() {
        Program program;
        MainWindow& w = *program.window;
        Settings& s = program.game.settings;
        s.showHeaven = 0;
        s.showLimbo = 0;
        s.nextColumns = 2;
        w.relayout();
        QCOMPARE(program.client(), QSize(345, 525));
        for (int p = 0; p < kPlayerCount; ++p) {
            QCOMPARE(w.fieldView(p)->geometry(), rectOf(fieldViewRect(s, p)));
            QCOMPARE(w.nextView(p)->geometry(), rectOf(nextViewRect(s, p)));
            QCOMPARE(w.warningView(p)->geometry(), rectOf(warningViewRect(s, p)));
            QCOMPARE(w.fieldView(p)->backBuffer().size(), QSize(240, 480));
            QCOMPARE(w.nextView(p)->backBuffer().size(), QSize(90, 480));
        }
        QCOMPARE(w.fieldView(1)->x(), 445);

        // The band toggles resize only the field and next views.
        s.showLimbo = 1;
        w.views().resizeFieldAndNext();
        QCOMPARE(w.fieldView(0)->backBuffer().size(), QSize(240, 520));
        QCOMPARE(w.nextView(1)->size(), QSize(90, 520));
        QCOMPARE(w.warningView(0)->size(), QSize(240, 30));
    }

    void pairKeysSteerTheSolePlayerInPlay() {
        Program program;
        program.key(Qt::Key_Left); // edit mode: no pair to move
        program.key(Qt::Key_W);
        program.settle();
        const int x = program.player(0).fallingPair.x;
        program.key(Qt::Key_Left);
        QCOMPARE(program.player(0).fallingPair.x, x - 1);
        // Held keys repeat, and every repeat acts.
        for (int i = 0; i < 2; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(program.window.get(), &repeat);
        }
        QCOMPARE(program.player(0).fallingPair.x, x + 1);
        // Keys pressed with Alt are the window system's.
        program.key(Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(program.player(0).fallingPair.x, x + 1);
        program.key(Qt::Key_Down);
        QVERIFY(program.player(0).phase != Phase::Idle);
        QVERIFY(program.window->timer(0).isActive());
        program.settle();
        QVERIFY(!program.window->timer(0).isActive());
        QCOMPARE(getCell(program.player(0).field, x + 1, 11), CellKind::Green);
    }

    void twoPersonBattleGivesEachSideItsOwnKeys() {
        Program program;
        program.game.onePersonBattle = false;
        program.key(Qt::Key_E);
        program.settle();
        const int x1 = program.player(0).fallingPair.x;
        const int x2 = program.player(1).fallingPair.x;
        program.key(Qt::Key_D); // 1P left
        QCOMPARE(program.player(0).fallingPair.x, x1 - 1);
        QCOMPARE(program.player(1).fallingPair.x, x2);
        program.key(Qt::Key_Right); // 2P right
        QCOMPARE(program.player(0).fallingPair.x, x1 - 1);
        QCOMPARE(program.player(1).fallingPair.x, x2 + 1);
        program.key(Qt::Key_Period); // 2P turns right: its upper blob goes beside the pivot
        QCOMPARE(program.player(1).fallingPair.cells[blockIndex(1, 0)], CellKind::Green);
    }

    void oneSteersBothSidesInOnePersonBattleOneAfterTheOther() {
        Program program;
        program.key(Qt::Key_E);
        program.settle();
        const int x1 = program.player(0).fallingPair.x;
        const int x2 = program.player(1).fallingPair.x;
        program.key(Qt::Key_Left); // 1P is idle, so 1P moves
        QCOMPARE(program.player(0).fallingPair.x, x1 - 1);
        QCOMPARE(program.player(1).fallingPair.x, x2);
        program.key(Qt::Key_Down); // 1P drops; the same keys now steer 2P
        QVERIFY(program.player(0).phase != Phase::Idle);
        program.key(Qt::Key_Left);
        QCOMPARE(program.player(1).fallingPair.x, x2 - 1);
        program.key(Qt::Key_D); // the two-person keys do nothing here
        QCOMPARE(program.player(1).fallingPair.x, x2 - 1);
    }

    void everyKeyReachesTheGameEvenTabAndEscape() {
        Program program;
        program.game.settings.keys[kKeyPlayMode] = 0x09;   // Tab
        program.game.settings.keys[kKeyBattleMode] = 0x1B; // Esc
        program.key(Qt::Key_Tab);
        QCOMPARE(program.game.mode, Mode::Play);
        program.key(Qt::Key_Escape);
        QCOMPARE(program.game.mode, Mode::Battle);
    }

    void editKindKeysPickTheKindToPaint() {
        Program program;
        program.key(Qt::Key_3); // edit-kind key for blue
        QCOMPARE(program.game.editKind, CellKind::Blue);
        program.key(Qt::Key_1); // and for empty
        QCOMPARE(program.game.editKind, CellKind::Empty);
    }

    void wheelStepsThroughTheWheelList() {
        Program program; // wheel list "NRYGBPO"
        program.game.editKind = CellKind::Yellow;
        wheel(program.window.get(), 120); // away from the user
        QCOMPARE(program.game.editKind, CellKind::Green);
        program.game.editKind = CellKind::Yellow;
        wheel(program.window.get(), -120);
        QCOMPARE(program.game.editKind, CellKind::Red);
        // Round the ends of the list, and a kind missing from it counts as the first entry.
        program.game.editKind = CellKind::Empty;
        wheel(program.window.get(), -120);
        QCOMPARE(program.game.editKind, CellKind::Nuisance);
        program.game.editKind = CellKind::Block;
        wheel(program.window.get(), 120);
        QCOMPARE(program.game.editKind, CellKind::Red);
    }

    void aWindowLargerThanTheScreenShowsItsWholeClientInScrollBars() {
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        for (const bool large : {false, true}) {
            Program program;
            MainWindow& w = *program.window;
            const Settings& s = program.game.settings;
            if (large) {
                changeFieldSize(program.game, 30, 30);
            } else {
                program.game.settings.cellWidth = program.game.settings.cellHeight = 10;
            }
            w.relayout();
            const QSize wanted(mainClientWidth(s, false), mainClientHeight(s));
            QCOMPARE(program.client(), wanted);
            auto* scroller = qobject_cast<QAbstractScrollArea*>(w.centralWidget());
            QVERIFY(scroller != nullptr);
            const bool fits = wanted.width() <= screen.width() / 2;
            QCOMPARE(scroller->verticalScrollBar()->isVisible(), !fits);
            QCOMPARE(scroller->horizontalScrollBar()->isVisible(), !fits);
            if (fits) {
                QCOMPARE(w.centralWidget()->size(), wanted);
            } else {
                QVERIFY(w.frameGeometry().width() <= screen.width());
                QVERIFY(w.frameGeometry().height() <= screen.height());
                // Scrolled, the client's far corner comes into view, and the game keeps the
                // wheel and the keys.
                scroller->verticalScrollBar()->setValue(scroller->verticalScrollBar()->maximum());
                QCOMPARE(program.window->clientArea()
                             ->mapTo(scroller->viewport(), QPoint(0, wanted.height()))
                             .y(),
                         scroller->viewport()->height());
                // The scroller lets the wheel pass on to the window, which picks the colour.
                const int at = scroller->verticalScrollBar()->value();
                QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120),
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(scroller->viewport(), &up);
                QVERIFY(!up.isAccepted());
                QCOMPARE(scroller->verticalScrollBar()->value(), at);
                program.key(Qt::Key_W);
                QCOMPARE(program.game.mode, Mode::Play);
                QCOMPARE(scroller->verticalScrollBar()->value(), at);
            }
        }
    }

    void storedPositionsTurnTheBackgroundAndStopTheOtherKeys() {
        Program program;
        const Settings& s = program.game.settings;
        program.key(Qt::Key_K); // store
        QVERIFY(tempIsShowing(program.game));
        QCOMPARE(program.clientPixel(1, 1), pixelColour(s.savedIdColour));
        program.key(Qt::Key_W); // the mode key is ignored while a stored position shows
        QCOMPARE(program.game.mode, Mode::Edit);
        program.key(Qt::Key_L); // restore returns to the live position
        QVERIFY(!tempIsShowing(program.game));
        QCOMPARE(program.clientPixel(1, 1), pixelColour(s.backgroundColour));
    }

    void theMouseEditsTheFieldItIsOverAndTheCursorFollowsIt() {
        Program program;
        program.window->session().apply(
            SetMode{Mode::Battle}); // 2P's field is on screen in battle only
        program.settle();
        FieldView& second = *program.window->fieldView(1);
        program.key(Qt::Key_2); // paint red
        moveMouse(&second, QPoint(60, 100));
        QCOMPARE(program.game.hoverPlayer, 2);
        QTest::mouseClick(&second, Qt::LeftButton, Qt::NoModifier, QPoint(60, 100));
        QCOMPARE(getCell(program.player(1).field, 1, 0), CellKind::Red);
        QCOMPARE(getCell(program.player(0).field, 1, 0), CellKind::Empty);
        // The pen-size cursor sits 4 pixels inside the hovered cell, over the painted blob.
        second.renderNow();
        const QRgb red = pixelColour(program.game.settings.cellColours[1]);
        QCOMPARE(second.backBuffer().pixel(44, 84), red);
        // The top band is row -2.
        moveMouse(&second, QPoint(100, 20));
        QTest::mouseClick(&second, Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));
        QCOMPARE(getCell(program.player(1).field, 2, -2), CellKind::Red);
        // The right button picks the kind under the mouse.
        moveMouse(&second, QPoint(220, 500));
        QTest::mouseClick(&second, Qt::RightButton, Qt::NoModifier, QPoint(220, 500));
        QCOMPARE(program.game.editKind, CellKind::Empty);
    }

    void toolWindowRequestsReachTheGameAndTheScreen() {
        Program program;
        MainWindow& w = *program.window;
        w.session().apply(AdjustWarning{NuisanceUnit::Rock, true});
        QCOMPARE(program.player(0).pendingNuisance, 30);
        QCOMPARE(program.player(1).pendingNuisance, 0); // 2P only counts in battle
        w.warningView(0)->renderNow();
        QCOMPARE(w.warningView(0)->backBuffer().pixel(0, 5), qRgb(0x96, 0, 0));

        w.session().apply(DropNuisance{}); // edit mode switches to play for it
        QCOMPARE(program.game.mode, Mode::Play);
        QCOMPARE(program.client(), QSize(295, 605));
        w.session().apply(SetMode{Mode::Battle});
        QCOMPARE(program.client(), QSize(585, 605));
        w.session().apply(SetRandomPosition{5, true}); // restarts the battle, keeps the width
        QCOMPARE(program.game.mode, Mode::Battle);
        QCOMPARE(program.client(), QSize(585, 605));
        QCOMPARE(program.player(0).sequence.queue.front().position, 5u);

        const Settings& s = program.game.settings;
        w.session().apply(TempCommand{TempStep::Save});
        QCOMPARE(program.clientPixel(1, 1), pixelColour(s.savedIdColour));
        w.session().apply(TempCommand{TempStep::Load});
        QCOMPARE(program.clientPixel(1, 1), pixelColour(s.backgroundColour));

        w.session().apply(SetEditKind{CellKind::Iron});
        QCOMPARE(program.game.editKind, CellKind::Iron);
        setCell(program.player(1).field, 0, 11, CellKind::Red);
        w.session().apply(ClearFields{});
        QCOMPARE(getCell(program.player(1).field, 0, 11), CellKind::Empty);

        w.toolWindow()->close();
        QVERIFY(!w.menuAction(kMenuToolWindow)->isChecked());
    }

    void statusTextsFromTheGameReachTheirParts() {
        Program program;
        Changes changes;
        changes.status[1] = ShownStatus{3, 1234};
        program.window->show(changes);
        QCOMPARE(program.window->partStatusBar()->partText(2), QStringLiteral("\t\t3連鎖"));
        QCOMPARE(program.window->partStatusBar()->partText(3), QStringLiteral("\t\t1234"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
