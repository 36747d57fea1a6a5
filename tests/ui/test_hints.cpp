#include "analysis/hint.h"
#include "analysis/planner.h"
#include "play/commands.h"
#include "play/turn_cycle.h"
#include "render/drawing.h"
#include "render/geometry.h"
#include "render/pictures.h"
#include "running_program.h"
#include "ui/hint_runner.h"
#include "ui/main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QThreadPool>

using namespace peterin;

namespace {

// The field as it is drawn without any hint.
QImage plainField(RunningProgram& program) {
    QImage image = program.window->fieldView(0)->backBuffer().copy();
    paintField(image, program.game.settings, fieldPictureOf(program.game, 0));
    return image;
}

QImage shownField(RunningProgram& program) {
    program.window->fieldView(0)->renderNow();
    return program.window->fieldView(0)->backBuffer().copy();
}

// Whether every blob of the engine's best placement, at the hint's level, is outlined in its own
// colour.
bool showsBestPlacement(RunningProgram& program) {
    const auto ranked =
        analysis::plan(analysis::hintRequestFor(program.game, 0), analysis::hintOptions());
    const QImage shown = shownField(program);
    const FieldMapping map(program.game.settings);
    for (const analysis::LandedBlob& blob : ranked.front().landing) {
        const PixelRect box = map.cellRect(blob.x, blob.r);
        const QRgb colour =
            pixelColour(program.game.settings.cellColours[static_cast<std::size_t>(blob.kind)]);
        if (shown.pixel(box.left + 1, box.top + box.height / 2) != colour ||
            shown.pixel(box.left + box.width / 2, box.top + 1) != colour) {
            return false;
        }
    }
    return !ranked.front().landing.empty();
}

QMenu* toolMenu(const RunningProgram& program) {
    for (QAction* menu : program.window->menuBar()->actions())
        if (menu->text() == QStringLiteral("ツール"))
            return menu->menu();
    return nullptr;
}

} // namespace

class HintTest : public QObject {
    Q_OBJECT

  private slots:
    void theToolMenuEndsWithTheHintItemOnCtrlHAndTheHeldChain() {
        RunningProgram program;
        QMenu* tools = toolMenu(program);
        const QList<QAction*> items = tools->actions();
        QCOMPARE(items.size(), 4); // after "１人で対戦" and "設定"
        QAction* hint = items[2];
        QCOMPARE(hint->text(), QStringLiteral("ヒント"));
        QVERIFY(hint->isCheckable());
        QVERIFY(!hint->isChecked());
        QCOMPARE(hint->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        QCOMPARE(items[3]->text(), QStringLiteral("最大連鎖を表示"));
        QVERIFY(items[3]->isCheckable());
        QVERIFY(!items[3]->isChecked());
    }

    void theHintOutlinesTheBestPlacementOnlyWhileCheckedAndWaitingForInput() {
        RunningProgram program;
        QAction* item = toolMenu(program)->actions().at(2);

        // Edit mode: nothing waits for input, so nothing is shown even when checked.
        item->trigger();
        QTest::qWait(50);
        QCOMPARE(shownField(program), plainField(program));

        changeMode(program.game, Mode::Play);
        for (int i = 0; i < 10000 && program.game.players[0].phase != Phase::Idle; ++i)
            gameTick(program.game, 0);
        shownField(program); // asks for the hint
        // The search must leave Qt's global pool free: painting waits on it for large fills.
        QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
        QTRY_VERIFY(showsBestPlacement(program));

        // A move makes the shown hint stale: it disappears at once and the new one follows.
        moveLeft(program.game.players[0].fallingPair, program.game.players[0].field);
        QCOMPARE(shownField(program), plainField(program));
        QTRY_VERIFY(showsBestPlacement(program));

        // Unchecked, the field is drawn exactly as without the feature.
        item->trigger();
        QCOMPARE(shownField(program), plainField(program));
    }
};

QTEST_MAIN(HintTest)
#include "test_hints.moc"
