#include "files/dat_file.h"
#include "play/commands.h"
#include "play/temp_store.h"
#include "render/drawing.h"
#include "rules/field.h"
#include "running_program.h"
#include "ui/main_window.h"
#include "ui/tool_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <fstream>
#include <memory>

using namespace peterin;

namespace {

// A game and its main window with the tool window, made as the program makes them.
struct Program : RunningProgram {
    using RunningProgram::RunningProgram;

    ToolWindow& tool() { return *window->toolWindow(); }
    void click(int id) {
        QPushButton* button = tool().button(id);
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The tool window's top-left corner against the main window's top-right corner.
    bool toolAtCorner() {
        const QRect outer = window->frameGeometry();
        return tool().pos() == QPoint(outer.x() + outer.width(), outer.y());
    }
};

} // namespace

class ToolWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void idBoxStepsRoundThroughMainAndEveryStoredPosition() {
        Program program;
        // With nothing stored both directions stay on the live position.
        program.click(kToolPrevious);
        QCOMPARE(program.tool().idText(), QStringLiteral("MAIN"));
        program.click(kToolNext);
        QCOMPARE(program.tool().idText(), QStringLiteral("MAIN"));
        QCOMPARE(program.game.tempCursor, kLivePosition);

        for (int i = 0; i < 3; ++i) {
            program.click(kToolStore);
            QCOMPARE(program.tool().idText(), QString::number(i));
            program.click(kToolRestore);
            QCOMPARE(program.tool().idText(), QStringLiteral("MAIN"));
        }
        QCOMPARE(program.game.tempSaves.size(), 3u);

        const struct {
            int button;
            const char* text;
            int cursor;
        } steps[] = {
            {kToolNext, "0", 0},     {kToolNext, "1", 1},
            {kToolNext, "2", 2},     {kToolNext, "MAIN", kLivePosition},
            {kToolPrevious, "2", 2}, {kToolPrevious, "1", 1},
            {kToolPrevious, "0", 0}, {kToolPrevious, "MAIN", kLivePosition},
        };
        for (const auto& step : steps) {
            program.click(step.button);
            QCOMPARE(program.tool().idText(), QString::fromUtf8(step.text));
            QCOMPARE(program.game.tempCursor, step.cursor);
        }
    }

    void storeAppendsOrOverwritesAndRestoreBringsThePositionBack() {
        Program program;
        Field& field = program.player(0).field;
        program.click(kToolStore);
        program.click(kToolRestore);
        program.click(kToolStore);
        program.click(kToolRestore);

        // With "MAIN" shown and two stored, the new one gets ID 2 and stays on screen.
        setCell(field, 0, 11, CellKind::Red);
        program.click(kToolStore);
        QCOMPARE(program.tool().idText(), QStringLiteral("2"));
        QCOMPARE(program.game.tempSaves.size(), 3u);
        QCOMPARE(program.game.tempCursor, 2);

        // Storing again overwrites the one shown.
        setCell(field, 1, 11, CellKind::Blue);
        program.click(kToolStore);
        QCOMPARE(program.game.tempSaves.size(), 3u);

        clearFields(program.game);
        QCOMPARE(getCell(field, 0, 11), CellKind::Empty);
        program.click(kToolRestore);
        QCOMPARE(program.tool().idText(), QStringLiteral("MAIN"));
        QCOMPARE(getCell(program.player(0).field, 0, 11), CellKind::Red);
        QCOMPARE(getCell(program.player(0).field, 1, 11), CellKind::Blue);
    }

    void theSignButtonTurnsTheWarningButtonsToSubtractAndBack() {
        Program program;
        QPushButton* plus = program.tool().button(kToolPlus);
        QPushButton* minus = program.tool().button(kToolMinus);
        QVERIFY(plus->isVisible());
        QVERIFY(!minus->isVisible());

        program.click(kToolRock);
        program.click(kToolLarge);
        program.click(kToolSmall);
        QCOMPARE(program.player(0).pendingNuisance, 37);

        program.click(kToolPlus);
        QVERIFY(!plus->isVisible());
        QVERIFY(minus->isVisible());
        program.click(kToolSmall);
        QCOMPARE(program.player(0).pendingNuisance, 36);
        program.click(kToolLarge);
        QCOMPARE(program.player(0).pendingNuisance, 30);
        program.click(kToolRock);
        program.click(kToolRock);
        QCOMPARE(program.player(0).pendingNuisance, 0);

        program.click(kToolMinus);
        QVERIFY(plus->isVisible());
        program.click(kToolSmall);
        QCOMPARE(program.player(0).pendingNuisance, 1);

        // "落下" starts play to let it fall.
        program.click(kToolDrop);
        QCOMPARE(program.game.mode, Mode::Play);
    }

    void randomPositionTextReadsLeadingDigitsAndNothingBelowZero() {
        QCOMPARE(randomPositionFromText("123"), 123u);
        QCOMPARE(randomPositionFromText("  42abc"), 42u);
        QCOMPARE(randomPositionFromText("+7"), 7u);
        QCOMPARE(randomPositionFromText("-5"), 0u);
        QCOMPARE(randomPositionFromText("abc"), 0u);
        QCOMPARE(randomPositionFromText(""), 0u);
        QCOMPARE(randomPositionFromText("99999999999999999999"),
                 static_cast<std::uint32_t>(INT_MAX));
    }

    void initRebuildsTheQueueAndOkOnlyChangesLaterPairs() {
        Program program;
        const auto& queue = program.player(0).sequence.queue;
        program.tool().randomBox()->setText(QStringLiteral("123"));
        program.click(kToolInit);
        QCOMPARE(queue.front().position, 123u);

        program.tool().randomBox()->setText(QStringLiteral("-5"));
        program.click(kToolInit);
        QCOMPARE(queue.front().position, 0u);

        program.tool().randomBox()->setText(QStringLiteral("500"));
        program.click(kToolOk); // the pairs already queued stay
        QCOMPARE(queue.front().position, 0u);

        // The box shows the position of the pair loaded last.
        Changes changes;
        changes.randomPosition = 77;
        program.window->show(changes);
        QCOMPARE(program.tool().randomText(), QStringLiteral("77"));
    }

    void theRandomBoxTakesDigitsOnlyAndShowsTheFrontPairAfterInitReadAndRestore() {
        Program program;
        QLineEdit* box = program.tool().randomBox();
        box->clear();
        QTest::keyClicks(box, QStringLiteral("a1-b2 c"));
        QCOMPARE(box->text(), QStringLiteral("12"));

        // A file whose pattern starts at position 0, read while the box shows 8.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("zero.dat"));
        {
            NullGameEvents quiet;
            Game scratch(quiet);
            initGame(scratch, 0);
            WriteOptions options;
            options.next = true;
            std::ofstream(QFile::encodeName(file).toStdString()) << formatFile(scratch, options);
        }
        const auto front = [&] {
            return QString::number(program.player(0).sequence.queue.front().position);
        };
        box->setText(QStringLiteral("8"));
        program.click(kToolInit);
        QCOMPARE(box->text(), QStringLiteral("8"));
        program.click(kToolStore);
        program.window->openFile(file);
        QCOMPARE(box->text(), QStringLiteral("0"));
        QCOMPARE(box->text(), front());

        program.click(kToolRestore); // the stored position, still shown, was made at 8
        QCOMPARE(box->text(), QStringLiteral("8"));
        QCOMPARE(box->text(), front());
    }

    void modeClearAndPaletteButtonsDriveTheGame() {
        Program program;
        program.click(kToolBattle);
        QCOMPARE(program.game.mode, Mode::Battle);
        QCOMPARE(program.window->clientArea()->width(), 585);
        QVERIFY(program.toolAtCorner());
        program.click(kToolPlay);
        QCOMPARE(program.game.mode, Mode::Play);
        QCOMPARE(program.window->clientArea()->width(), 295);
        QVERIFY(program.toolAtCorner());
        program.click(kToolEdit);
        QCOMPARE(program.game.mode, Mode::Edit);

        setCell(program.player(0).field, 2, 11, CellKind::Green);
        program.click(kToolClear);
        QCOMPARE(getCell(program.player(0).field, 2, 11), CellKind::Empty);

        for (int i = 0; i < 9; ++i) {
            program.click(kToolPaletteFirst + i);
            QCOMPARE(program.game.editKind, kPaletteKinds[static_cast<std::size_t>(i)]);
        }
        QCOMPARE(kPaletteKinds[1], CellKind::Block);
        QCOMPARE(kPaletteKinds[8], CellKind::Red);
    }

    void closingHidesTheWindowAndTheMenuShowsItAgainAtTheCorner() {
        Program program;
        ToolWindow& tool = program.tool();
        QAction* item = program.window->menuAction(kMenuToolWindow);
        QVERIFY(tool.isVisible());
        QVERIFY(program.toolAtCorner());

        tool.close();
        QVERIFY(!tool.isVisible());
        QVERIFY(!item->isChecked());

        // It keeps following the main window while hidden.
        program.window->move(program.window->pos() + QPoint(30, 20));
        QVERIFY(program.toolAtCorner());

        item->trigger();
        QVERIFY(tool.isVisible());
        QVERIFY(item->isChecked());
        QVERIFY(program.toolAtCorner());

        // Where the right side has no room, it goes to the left, never off the screen.
        const QRect room = program.window->screen()->availableGeometry();
        program.window->move(room.right() - program.window->frameGeometry().width() - 5,
                             room.top() + 10);
        const QRect outer = program.window->frameGeometry();
        QCOMPARE(tool.pos(), QPoint(outer.x() - tool.frameGeometry().width(), outer.y()));

        item->trigger();
        QVERIFY(!tool.isVisible());
        QVERIFY(!item->isChecked());
    }

    void theBackgroundColourIsTakenOnceAtStart() {
        Settings settings;
        settings.backgroundColour = 0x00123456;
        Program program(settings);
        const QColor start(pixelColour(settings.backgroundColour));
        QCOMPARE(program.tool().palette().color(QPalette::Window), start);
        program.game.settings.backgroundColour = 0x00FFFFFF;
        program.window->relayout();
        QCOMPARE(program.tool().palette().color(QPalette::Window), start);
    }

    void buttonsShowTheirPictureOrTheirNameWhenItIsMissing() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("画像")));
        QImage rock(30, 30, QImage::Format_RGB32);
        rock.fill(Qt::gray);
        QVERIFY(rock.save(dir.filePath(QStringLiteral("画像/岩.bmp")), "BMP"));

        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        Program program;
        QDir::setCurrent(before);

        QPushButton* pictured = program.tool().button(kToolRock);
        QVERIFY(!pictured->icon().isNull());
        QCOMPARE(pictured->iconSize(), QSize(30, 30));
        QVERIFY(pictured->text().isEmpty());
        QPushButton* named = program.tool().button(kToolDrop);
        QVERIFY(named->icon().isNull());
        QCOMPARE(named->text(), QStringLiteral("落下"));
        // Without its picture the button still works.
        program.click(kToolDrop);
        QCOMPARE(program.game.mode, Mode::Play);
    }
};

QTEST_MAIN(ToolWindowTest)
#include "test_tool_window.moc"
