#include "files/dat_file.h"
#include "play/commands.h"
#include "rules/field.h"
#include "running_program.h"
#include "ui/main_window.h"
#include "ui/manual_window.h"
#include "ui/save_dialog.h"
#include "ui/settings_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <fstream>
#include <functional>
#include <memory>

using namespace peterin;

namespace {

// Each modal window that opens is handed to `answer` once and then closed, as a user would.
class ModalAnswerer {
  public:
    explicit ModalAnswerer(std::function<void(QDialog&)> answer) : answer_(std::move(answer)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible())
                return;
            answer_(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        timer_.start();
    }

  private:
    std::function<void(QDialog&)> answer_;
    QTimer timer_;
};

// Records the caption and text of every message box shown.
struct MessageLog {
    QStringList captions;
    QStringList texts;
    ModalAnswerer answerer{[this](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            captions << box->windowTitle();
            texts << box->text();
        }
    }};
};

struct Program : RunningProgram {
    FakeChooser* chooser = nullptr;

    Program() {
        auto fake = std::make_unique<FakeChooser>();
        chooser = fake.get();
        window->setFileChooser(std::move(fake));
    }
    void command(int id) { window->menuAction(id)->trigger(); }
};

// A position file whose 1P field holds `kind` in the bottom-left cell.
QString writePositionFile(const QTemporaryDir& dir, const QString& name, CellKind kind) {
    NullGameEvents quiet;
    Game scratch(quiet);
    initGame(scratch, 0);
    setCell(scratch.players[0].field, 0, 11, kind);
    const QString path = dir.filePath(name);
    std::ofstream(QFile::encodeName(path).toStdString()) << formatFile(scratch, WriteOptions{});
    return path;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class MenuCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void bandTogglesKeepHeavenOnlyWithLimboAndResizeTheWindow() {
        Program program;
        MainWindow& w = *program.window;
        const Settings& s = program.game.settings;
        QCOMPARE(w.fieldView(0)->height(), 560);
        const int fullHeight = w.clientArea()->height();

        program.command(kMenuLimbo); // heaven goes with it
        QCOMPARE(s.showLimbo, 0);
        QCOMPARE(s.showHeaven, 0);
        QVERIFY(!w.menuAction(kMenuLimbo)->isChecked());
        QVERIFY(!w.menuAction(kMenuHeaven)->isChecked());
        QCOMPARE(w.fieldView(0)->height(), 480);
        QCOMPARE(w.fieldView(1)->height(), 480);
        QCOMPARE(w.nextView(0)->height(), 480);
        QCOMPARE(w.clientArea()->height(), fullHeight - 80);

        program.command(kMenuHeaven); // limbo comes with it
        QCOMPARE(s.showLimbo, 1);
        QCOMPARE(s.showHeaven, 1);
        QVERIFY(w.menuAction(kMenuLimbo)->isChecked());
        QVERIFY(w.menuAction(kMenuHeaven)->isChecked());
        QCOMPARE(w.fieldView(0)->height(), 560);
        QCOMPARE(w.clientArea()->height(), fullHeight);

        program.command(kMenuHeaven); // limbo stays
        QCOMPARE(s.showLimbo, 1);
        QCOMPARE(s.showHeaven, 0);
        QCOMPARE(w.fieldView(0)->height(), 520);
        QCOMPARE(w.clientArea()->height(), fullHeight - 40);
    }

    void openReadsTheChosenFileAndTheGameGoesOn() {
        QTemporaryDir dir;
        Program program;
        program.command(kMenuOpen); // cancelled: nothing happens
        QCOMPARE(program.chooser->openAsked, 1);
        QCOMPARE(getCell(program.player(0).field, 0, 11), CellKind::Empty);

        program.window->session().apply(SetMode{Mode::Battle});
        program.chooser->open = writePositionFile(dir, QStringLiteral("赤.dat"), CellKind::Red);
        program.command(kMenuOpen);
        QCOMPARE(getCell(program.player(0).field, 0, 11), CellKind::Red);
        QCOMPARE(program.game.mode, Mode::Battle);
    }

    void aReadThatStopsEarlyIsToldWithTheFileLineAndReason() {
        QTemporaryDir dir;
        struct Case {
            QByteArray bytes;
            QString told; // empty: nothing is said
        };
        const Case cases[] = {
            {QByteArray("\x7f"
                        "ELF\x02\x01\x00\xff\n",
                        9),
             QStringLiteral("stopped at line 1: a line that is not a section tag")},
            {"just some notes\n",
             QStringLiteral("stopped at line 1: a line that is not a section tag")},
            {"[S]\n20, 20\n[M]\n6, 12\n------\n--",
             QStringLiteral("stopped at line 6: the file ends inside the cell rows")},
            {"[S]\n20, 20\n", QString()},
        };
        for (const Case& c : cases) {
            Program program;
            const QString path = dir.filePath(QStringLiteral("読む.dat"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.bytes);
            file.close();
            MessageLog log;
            program.window->openFile(path);
            if (c.told.isEmpty()) {
                QVERIFY(log.texts.isEmpty());
            } else {
                QCOMPARE(log.texts.size(), 1);
                QVERIFY2(log.texts[0].contains(path) && log.texts[0].contains(c.told),
                         qPrintable(log.texts[0]));
            }
            // What came before the stop is kept.
            QCOMPARE(program.game.settings.cellWidth, c.bytes.startsWith("[S]") ? 20 : 40);
        }
    }

    // The file is read after the drop returns, so that the program it came from is not kept
    // waiting by a message about it.
    void aDropReadsOnlyTheFirstFileOnceTheDropIsOver() {
        QTemporaryDir dir;
        Program program;
        QMimeData data;
        data.setUrls({
            QUrl::fromLocalFile(writePositionFile(dir, QStringLiteral("a.dat"), CellKind::Blue)),
            QUrl::fromLocalFile(writePositionFile(dir, QStringLiteral("b.dat"), CellKind::Green)),
            QUrl::fromLocalFile(writePositionFile(dir, QStringLiteral("c.dat"), CellKind::Red)),
        });
        QVERIFY(program.window->acceptDrops());
        QDragEnterEvent enter(QPoint(50, 100), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(program.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(program.window.get(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(getCell(program.player(0).field, 0, 11), CellKind::Empty);
        QCoreApplication::processEvents();
        QCOMPARE(getCell(program.player(0).field, 0, 11), CellKind::Blue);
    }

    void saveDialogStartsWithOnlyTheMapEveryTimeItOpens() {
        Program program;
        std::vector<SaveChoices> seen;
        ModalAnswerer answerer([&seen](QDialog& dialog) {
            auto* save = qobject_cast<SaveDialog*>(&dialog);
            QVERIFY(save != nullptr);
            seen.push_back(save->choices());
            for (int id :
                 {kSaveNext, kSaveTempSaves, kSaveBothPlayers, kSaveNextCounts, kSaveBlobSize})
                save->checkBox(id)->setChecked(true);
            save->checkBox(kSaveMap)->setChecked(false);
        });
        program.command(kMenuSave);
        program.command(kMenuSave);
        QCOMPARE(seen.size(), 2u);
        for (const SaveChoices& c : seen) {
            QVERIFY(c.map);
            QVERIFY(!c.next && !c.tempSaves && !c.bothPlayers && !c.nextCounts && !c.blobSize);
        }
        QCOMPARE(program.chooser->saveAsked, 0);
    }

    void onlyBothPlayersTickedTellsTheUserAndWritesNothing() {
        QTemporaryDir dir;
        Program program;
        program.chooser->save = dir.filePath(QStringLiteral("x.dat"));
        SaveDialog dialog(program.session, *program.chooser, program.window.get());
        dialog.checkBox(kSaveMap)->setChecked(false);
        dialog.checkBox(kSaveBothPlayers)->setChecked(true);
        MessageLog log;
        dialog.accept();
        QCOMPARE(log.texts, QStringList{QStringLiteral("保存するものがありませんよ")});
        QCOMPARE(log.captions, QStringList{QStringLiteral("？")});
        QCOMPARE(program.chooser->saveAsked, 0);
        QVERIFY(!dialog.written());
        QVERIFY(!QFile::exists(program.chooser->save));
    }

    void okWritesTheTickedPartsToTheChosenFile() {
        QTemporaryDir dir;
        Program program;
        program.chooser->save = dir.filePath(QStringLiteral("size.dat"));
        SaveDialog dialog(program.session, *program.chooser, program.window.get());
        dialog.checkBox(kSaveMap)->setChecked(false);
        dialog.checkBox(kSaveBlobSize)->setChecked(true);
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("OK"))
                button->click();
        QVERIFY(dialog.written());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QByteArray written = contents(program.chooser->save);
        QVERIFY(written.startsWith("[S]"));
        QVERIFY(!written.contains("[M]"));

        // A cancelled file dialog closes the dialog without writing.
        program.chooser->save.clear();
        SaveDialog again(program.session, *program.chooser, program.window.get());
        again.accept();
        QVERIFY(!again.written());
        QCOMPARE(again.result(), int(QDialog::Rejected));
        QCOMPARE(program.chooser->saveAsked, 2);
    }

    void aFailedWriteIsShownAndLeavesNoFile() {
        QTemporaryDir dir;
        Program program;
        program.chooser->save = dir.filePath(QStringLiteral("no/such/folder/x.dat"));
        SaveDialog dialog(program.session, *program.chooser, program.window.get());
        MessageLog log;
        dialog.accept();
        QVERIFY(!dialog.written());
        QCOMPARE(log.texts.size(), 1);
        QVERIFY(!QFile::exists(program.chooser->save));
    }

    void checkBoxesSitAtTheirDialogUnitPlaces() {
        Program program;
        SaveDialog dialog(program.session, *program.chooser, program.window.get());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
        const QRect map = dialogUnitsToPixels(dialog.font(), 22, 54, 31, 8);
        QCOMPARE(dialog.checkBox(kSaveMap)->pos(), map.topLeft());
        QCOMPARE(dialog.checkBox(kSaveBothPlayers)->pos(),
                 dialogUnitsToPixels(dialog.font(), 155, 54, 30, 8).topLeft());
        // Every label shows in full.
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            QVERIFY(box->width() >= box->sizeHint().width());
        const QRect unit = dialogUnitsToPixels(dialog.font(), 4, 8, 4, 8);
        QCOMPARE(unit.height(), QFontMetrics(dialog.font()).height());
        QCOMPARE(dialog.size(), dialogUnitsToPixels(dialog.font(), 0, 0, 202, 143).size());
    }

    void settingsItemOpensTheSettingsDialogOverTheMainWindow() {
        Program program;
        int opened = 0;
        ModalAnswerer answerer([&](QDialog& dialog) {
            QVERIFY(qobject_cast<SettingsDialog*>(&dialog) != nullptr);
            QCOMPARE(dialog.parentWidget(), program.window.get());
            ++opened;
        });
        program.command(kMenuSettings);
        QCOMPARE(opened, 1);
    }

    void aManualTheSystemCannotOpenIsShownInAReadOnlyWindow() {
        // The test platform has no desktop to open files with, like a system without xdg-open.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("説明書.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("ぺてりん 説明書\n■ 画面\n");
        file.close();
        Program program;
        MessageLog log;
        openManualAt(program.window.get(), path);
        ManualWindow* shown = program.window->findChild<ManualWindow*>();
        QVERIFY(shown != nullptr);
        QVERIFY(shown->isVisible());
        QVERIFY(shown->textView()->isReadOnly());
        QCOMPARE(shown->textView()->toPlainText(), QStringLiteral("ぺてりん 説明書\n■ 画面\n"));
        QVERIFY(log.texts.isEmpty());
    }

    void helpItemsShowTheAboutBoxAndTellWhenTheManualIsMissing() {
        Program program;
        MessageLog log;
        program.command(kMenuAbout);
        // The test program has no manual beside it.
        program.command(kMenuManual);
        QCOMPARE(log.captions,
                 (QStringList{QStringLiteral("バージョン情報"), QStringLiteral("失敗")}));
        QVERIFY(log.texts[0].startsWith(QStringLiteral("ぺてりん - ver1.01") +
                                        QString(6, QChar(0x3000)) + QChar('\n')));
        QCOMPARE(log.texts[1], QStringLiteral("「説明書.txt」を開くのに失敗しました"));
    }
};

QTEST_MAIN(MenuCommandsTest)
#include "test_menu_commands.moc"
