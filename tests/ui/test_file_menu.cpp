// "ファイル" beyond opening and saving: shortcuts, recent files, the title, "終了", and the work
// kept across exits.
#include "files/dat_file.h"
#include "files/recent_files.h"
#include "play/temp_store.h"
#include "rules/field.h"
#include "running_program.h"
#include "ui/file_menu.h"
#include "ui/main_window.h"
#include "ui/playback_menu.h"
#include "ui/save_dialog.h"
#include "ui/tool_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>

using namespace peterin;

namespace {

struct Program : RunningProgram {
    FakeChooser* chooser = nullptr;
    QTemporaryDir config;
    QTemporaryDir ownState;

    explicit Program(const QString& state = {}) {
        auto fake = std::make_unique<FakeChooser>();
        chooser = fake.get();
        window->setFileChooser(std::move(fake));
        window->fileExtras().keepIn(
            QFile::encodeName(config.path()).toStdString(),
            QFile::encodeName(state.isEmpty() ? ownState.path() : state).toStdString());
    }
    QStringList recentNames() const {
        QStringList names;
        for (QAction* action : window->fileExtras().recentMenu()->actions())
            names << QFileInfo(action->text()).fileName();
        return names;
    }
};

QString writePosition(const QTemporaryDir& dir, const QString& name, CellKind kind) {
    NullGameEvents quiet;
    Game scratch(quiet);
    initGame(scratch, 0);
    setCell(scratch.players[0].field, 0, 11, kind);
    const QString path = dir.filePath(name);
    std::ofstream(QFile::encodeName(path).toStdString()) << formatFile(scratch, WriteOptions{});
    return path;
}

// A file read into a game of its own.
struct TestRead {
    NullGameEvents quiet;
    Game game{quiet};
    explicit TestRead(const std::filesystem::path& file) {
        initGame(game, 0);
        QVERIFY(readFile(game, file).opened);
    }
};

} // namespace

class FileMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void shortcutsOpenSaveAndQuitWithoutReachingTheGame() {
        Program program;
        MainWindow& w = *program.window;
        // With one stored position, the default key O would step the ID box and S nothing.
        tempStore(program.game);
        program.game.tempCursor = kLivePosition;
        w.toolWindow()->setIdText(QStringLiteral("MAIN"));
        const auto idBefore = program.game.tempCursor;

        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(program.chooser->openAsked, 1);
        int saveDialogs = 0;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<SaveDialog*>(QApplication::activeModalWidget())) {
                ++saveDialogs;
                dialog->reject();
            }
        });
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saveDialogs, 1);
        QCOMPARE(program.game.tempCursor, idBefore);

        QMenu* file = w.menuBar()->actions().constFirst()->menu();
        QCOMPARE(file->actions().constLast(), w.fileExtras().quitAction());
        QCOMPARE(file->actions().constLast()->text(), QStringLiteral("終了"));
        w.session().apply(SetMode{Mode::Play});
        w.activateWindow(); // back from the save dialog
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.isVisible());
        QCOMPARE(program.game.mode, Mode::Play); // Q, the edit-mode key, did not reach the game
    }

    void openedAndSavedFilesNameTheWindowAndHeadTheRecentFiles() {
        QTemporaryDir files;
        const QString cwdIni = QDir::current().filePath(QStringLiteral("設定.ini"));
        const bool iniBefore = QFile::exists(cwdIni);
        Program program;
        MainWindow& w = *program.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("ぺてりん"));
        QVERIFY(!w.fileExtras().recentMenu()->isEnabled());

        for (int i = 1; i <= 9; ++i)
            w.openFile(writePosition(files, QStringLiteral("%1.dat").arg(i), CellKind::Red));
        QCOMPARE(w.windowTitle(), QStringLiteral("9.dat - ぺてりん"));
        QCOMPARE(program.recentNames(), (QStringList{"9.dat", "8.dat", "7.dat", "6.dat", "5.dat",
                                                     "4.dat", "3.dat", "2.dat"}));

        program.chooser->save = files.filePath(QStringLiteral("保存した.dat"));
        SaveDialog* seen = nullptr;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<SaveDialog*>(QApplication::activeModalWidget());
            if (seen)
                seen->accept();
        });
        w.menuAction(kMenuSave)->trigger();
        QVERIFY(seen != nullptr);
        QCOMPARE(w.windowTitle(), QStringLiteral("保存した.dat - ぺてりん"));
        QCOMPARE(program.recentNames().constFirst(), QStringLiteral("保存した.dat"));

        // Chosen from the menu, a recent file is read again and moves to the front.
        setCell(program.player(0).field, 0, 11, CellKind::Empty);
        w.fileExtras().recentMenu()->actions().at(3)->trigger(); // 7.dat
        QCOMPARE(getCell(program.player(0).field, 0, 11), CellKind::Red);
        QCOMPARE(program.recentNames().constFirst(), QStringLiteral("7.dat"));

        // Pausing and resuming play keeps the file's name in the title.
        QAction* pause = w.playbackMenu()->pauseAction();
        pause->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("7.dat - ぺてりん [一時停止]"));
        pause->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("7.dat - ぺてりん"));

        // Kept in the program's own folder, never in 設定.ini.
        const auto kept = readRecentFiles(
            std::filesystem::path(QFile::encodeName(program.config.path()).toStdString()) /
            "recent-files");
        QCOMPARE(kept.size(), kRecentFileCount);
        QCOMPARE(QFile::exists(cwdIni), iniBefore);
    }

    void theWorkIsKeptAfterEachChangeAndTheNextRunCanOpenIt() {
        QTemporaryDir state;
        const std::filesystem::path folder = QFile::encodeName(state.path()).toStdString();
        {
            Program first(state.path());
            QVERIFY(!std::filesystem::exists(folder / kLastStateName)); // nothing changed yet
            QTest::keyClick(first.window.get(), Qt::Key_K);             // the default store key
            setCell(first.player(0).field, 2, 11, CellKind::Yellow);
            QTest::keyClick(first.window.get(), Qt::Key_Right);
            TestRead kept(folder / kLastStateName);
            QCOMPARE(kept.game.tempSaves.size(), std::size_t{1});
            QCOMPARE(getCell(kept.game.players[0].field, 2, 11), CellKind::Yellow);

            // Each step of the history is kept, and so is its undoing.
            QTemporaryDir files;
            first.window->openFile(writePosition(files, QStringLiteral("赤.dat"), CellKind::Red));
            QCOMPARE(getCell(TestRead(folder / kLastStateName).game.players[0].field, 0, 11),
                     CellKind::Red);
            first.window->session().apply(
                TempCommand{TempStep::Next}); // back to MAIN: undo acts on the live position only
            QVERIFY(!tempIsShowing(first.game));
            first.window->session().apply(Undo{});
            QCOMPARE(getCell(TestRead(folder / kLastStateName).game.players[0].field, 0, 11),
                     CellKind::Empty);
        }
        Program second(state.path());
        QVERIFY(std::filesystem::exists(folder / kPreviousStateName));
        second.window->fileExtras().previousStateAction()->trigger();
        QCOMPARE(second.game.tempSaves.size(), std::size_t{1});
        QCOMPARE(getCell(second.player(0).field, 2, 11), CellKind::Yellow);
        QCOMPARE(second.window->windowTitle(), QStringLiteral("ぺてりん"));
        QVERIFY(second.recentNames().isEmpty());
    }
};

QTEST_MAIN(FileMenuTest)
#include "test_file_menu.moc"
