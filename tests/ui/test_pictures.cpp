#include "play/commands.h"
#include "play/temp_store.h"
#include "play/turn_cycle.h"
#include "render/pictures.h"
#include "ui/main_window.h"

#include <QTest>

using namespace peterin;

namespace {

// A game without windows: every event is dropped.
struct Headless {
    NullGameEvents relay;
    Game game{relay};

    Headless() { initGame(game, 0); }

    void enter(Mode mode) {
        changeMode(game, mode);
        for (int i = 0; i < 1000; ++i) {
            for (int p = 0; p < kPlayerCount; ++p) {
                if (game.players[static_cast<std::size_t>(p)].phase != Phase::Idle)
                    gameTick(game, p);
            }
        }
    }
};

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

  private slots:
    void editModeHidesThePairAndListsTheFrontPairFirst() {
        Headless h;
        const FieldPicture field = fieldPictureOf(h.game, 0);
        QVERIFY(!field.pair);
        QCOMPARE(field.field, &h.game.players[0].field);
        QCOMPARE(nextPictureOf(h.game, 0).firstEntry, 0);
    }

    void anIdlePlayerInPlayShowsItsPairWithLandingMarks() {
        Headless h;
        h.enter(Mode::Play);
        const FieldPicture field = fieldPictureOf(h.game, 0);
        QVERIFY(field.pair);
        QVERIFY(field.landingMarks);
        QCOMPARE(field.pair->x, h.game.players[0].fallingPair.x);
        QCOMPARE(field.pair->cells, h.game.players[0].fallingPair.cells);
        const NextPicture next = nextPictureOf(h.game, 0);
        QCOMPARE(next.firstEntry, 1);
        QCOMPARE(next.queueLength, 3);
        const Pair& second = h.game.players[0].sequence.queue[1];
        QCOMPARE(static_cast<int>(next.slotsOf(1)[0]), second.slot[0]);
        QCOMPARE(static_cast<int>(next.slotsOf(1)[2]), second.slot[2]);

        // A player in the middle of a turn shows no pair.
        onPlayerKey(h.game, h.game.settings.keys[pairKeyIndex(PairAction::Down, kKeyGroupSolo)]);
        QVERIFY(h.game.players[0].phase != Phase::Idle);
        QVERIFY(!fieldPictureOf(h.game, 0).pair);
    }

    void theEditCursorShowsInTheHoveredFieldWhenItWouldPaint() {
        Headless h;
        h.game.hoverPlayer = 2;
        h.game.hoverColumn = 3;
        h.game.hoverRow = -1;
        // In edit mode even the empty kind shows.
        QVERIFY(!fieldPictureOf(h.game, 0).cursor);
        const FieldPicture hovered = fieldPictureOf(h.game, 1);
        QVERIFY(hovered.cursor);
        QCOMPARE(hovered.cursor->column, 3);
        QCOMPARE(hovered.cursor->row, -1);
        // Elsewhere only a kind that paints something.
        h.enter(Mode::Play);
        QVERIFY(!fieldPictureOf(h.game, 1).cursor);
        setEditKind(h.game, CellKind::Iron);
        QCOMPARE(fieldPictureOf(h.game, 1).editKind, CellKind::Iron);
        QVERIFY(fieldPictureOf(h.game, 1).cursor);
    }

    void aStoredPositionIsShownWithoutMarksOrCursorButWithTheLiveWarning() {
        Headless h;
        h.enter(Mode::Play);
        h.game.hoverPlayer = 1;
        setEditKind(h.game, CellKind::Red);
        tempStore(h.game);
        QVERIFY(tempIsShowing(h.game));
        setCell(h.game.players[0].field, 0, 11, CellKind::Blue); // the live field moves on
        h.game.players[0].pendingNuisance = 12;

        const FieldPicture field = fieldPictureOf(h.game, 0);
        QCOMPARE(field.field, &h.game.tempSaves[0].players[0].field);
        QCOMPARE(getCell(*field.field, 0, 11), CellKind::Empty);
        QVERIFY(field.pair);
        QVERIFY(!field.landingMarks);
        QVERIFY(!field.cursor);
        QCOMPARE(warningOf(h.game, 0), 12);
    }
};

QTEST_GUILESS_MAIN(PicturesTest)
#include "test_pictures.moc"
