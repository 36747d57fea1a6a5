// "再生" → "記録" in the window: a game played is kept and listed, shown in place of the live
// game with its timeline, saved elsewhere, and left for the live game again.
#include "records/record_folder.h"
#include "running_program.h"
#include "ui/field_overlay.h"
#include "ui/record_menu.h"
#include "ui/record_timeline.h"
#include "ui/review_window.h"

#include <QListWidget>

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace peterin;

namespace {

// A game in play mode, every pair dropped where it appears, and the record kept in `state`.
void playPiled(RunningProgram& program, const QTemporaryDir& state, int pairs) {
    Session& session = program.session;
    session.keepWorkIn(QFile::encodeName(state.path()).toStdString());
    const auto drop = program.game.settings.keys[pairKeyIndex(PairAction::Down, 0)];
    session.apply(SetMode{Mode::Play});
    for (int pair = 0; pair < pairs; ++pair) {
        QTRY_VERIFY(program.player(0).phase == Phase::Idle);
        session.keyDown(drop);
    }
    QTRY_VERIFY(program.player(0).phase == Phase::Idle);
    session.apply(SetMode{Mode::Edit});
    session.records()->flush();
}

class RecordMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void aGamePlayedIsKeptShownWithItsTimelineSavedAndLeft() {
        RunningProgram program;
        auto fake = std::make_unique<FakeChooser>();
        FakeChooser& chooser = *fake;
        program.window->setFileChooser(std::move(fake));
        QTemporaryDir state;
        playPiled(program, state, 3);
        QVERIFY(!QTest::currentTestFailed());
        Session& session = program.session;

        RecordMenu& menu = *program.window->recordMenu();
        QVERIFY(!menu.nextTurnAction()->isEnabled());
        emit menu.recentMenu()->aboutToShow();
        const auto recent = menu.recentMenu()->actions();
        QCOMPARE(recent.size(), 1);
        QVERIFY(recent[0]->text().contains(QStringLiteral("ひとり 3手")));
        recent[0]->trigger();
        QVERIFY(program.window->windowTitle().startsWith(QStringLiteral("記録 ")));
        QVERIFY(program.window->recordTimeline()->isVisible());
        QVERIFY(menu.nextTurnAction()->isEnabled());

        // It plays out by itself; keys do not touch it; a turn back holds it there.
        QTRY_COMPARE(session.shownRecord()->turn(), 3);
        session.keyDown(program.game.settings.keys[kKeyClearAll]);
        QCOMPARE(session.shownRecord()->turn(), 3);
        menu.nextTurnAction()->trigger(); // beyond the last: stays
        session.apply(StepTurn{-1});
        QCOMPARE(session.shownRecord()->turn(), 2);
        QVERIFY(program.window->windowTitle().endsWith(QStringLiteral("[一時停止]")));
        QCOMPARE(program.window->recordTimeline()->turnAt(0), 0);
        QCOMPARE(program.window->recordTimeline()->turnAt(10000), 3);

        QTemporaryDir elsewhere;
        chooser.record = elsewhere.filePath(QStringLiteral("saved.pprec"));
        menu.saveAction()->trigger();
        const LoadedRecord saved = loadRecord(QFile::encodeName(chooser.record).toStdString());
        QVERIFY(saved.record);
        QCOMPARE(saved.record->turns(), 3);

        session.apply(CloseRecord{});
        QVERIFY(!program.window->windowTitle().startsWith(QStringLiteral("記録 ")));
        QVERIFY(!program.window->recordTimeline()->isVisible());
    }

    // Every pair dropped where it appears: the review marks mistakes, and choosing one takes
    // the record to the position before it, with the engine's placement outlined.
    void aGamePiledInOneColumnIsReviewedAndItsMistakesLeadToTheirTurns() {
        RunningProgram program;
        QTemporaryDir state;
        playPiled(program, state, 9);
        QVERIFY(!QTest::currentTestFailed());
        Session& session = program.session;
        RecordMenu& menu = *program.window->recordMenu();
        QVERIFY(!menu.reviewAction()->isEnabled());
        emit menu.recentMenu()->aboutToShow();
        menu.recentMenu()->actions().at(0)->trigger();
        QVERIFY(menu.reviewAction()->isEnabled());

        ReviewWindow& review = *program.window->reviewWindow();
        menu.reviewAction()->trigger();
        QVERIFY(review.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!review.running() && !review.result().turns.empty(), 60000);
        QCOMPARE(review.result().turns.size(), std::size_t{9});
        QVERIFY(review.mistakes()->count() >= 1);
        const int turn = review.mistakes()->item(0)->data(Qt::UserRole).toInt();
        review.mistakes()->setCurrentRow(0);
        QCOMPARE(session.shownRecord()->turn(), turn - 1);
        FieldOverlay& overlay = *program.window->fieldOverlay();
        QVERIFY(overlay.marks(0));
        session.apply(StepTurn{1}); // the outline belongs to its turn alone
        QVERIFY(!overlay.marks(0));

        QVERIFY(overlay.heldText(0).isEmpty()); // off until chosen
        overlay.addMenuItem(new QMenu)->trigger();
        QVERIFY(overlay.heldText(0).startsWith(QStringLiteral("最大連鎖 ")));

        session.apply(CloseRecord{});
        QVERIFY(!review.isVisible());
    }
};

} // namespace

QTEST_MAIN(RecordMenuTest)
#include "test_record_menu.moc"
