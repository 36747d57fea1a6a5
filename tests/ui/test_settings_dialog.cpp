#include "play/temp_store.h"
#include "render/drawing.h"
#include "settings/settings.h"
#include "ui/key_box.h"
#include "ui/settings_dialog.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <fstream>
#include <memory>
#include <vector>

using namespace peterin;

namespace {

// Counts what the session reports the dialog changed.
struct RecordingView : TickTimers {
    int relayouts = 0;
    int repaints = 0;

    void startTicking(int, int) override {}
    void stopTicking(int) override {}
    void show(const Changes& changes) {
        relayouts += changes.sizes ? 1 : 0;
        repaints += changes.all ? 1 : 0;
    }
};

// A started game, one stored position, and the settings dialog over it.
struct Fixture {
    RecordingView port;
    Session session{port, [] { return std::int64_t{0}; }};
    Game& game = session.game();
    std::unique_ptr<SettingsDialog> dialog;
    std::vector<Message> messages;
    std::optional<QColor> nextColour;
    int colourRequests = 0;

    explicit Fixture(const Settings& settings = {}) {
        game.settings = settings;
        session.start(0);
        session.apply(TempCommand{TempStep::Save});
        session.setView([this](const Changes& changes) { port.show(changes); });
        open();
    }

    void open() {
        dialog = std::make_unique<SettingsDialog>(session, nullptr);
        dialog->setMessageSink([this](const Message& m) { messages.push_back(m); });
        dialog->setColourChooser([this](const QColor&, QWidget*) {
            ++colourRequests;
            return nextColour;
        });
        port.relayouts = 0;
        port.repaints = 0;
    }

    QLineEdit* edit(int id) const { return qobject_cast<QLineEdit*>(dialog->control(id)); }
    KeyBox* keyBox(int id) const { return qobject_cast<KeyBox*>(dialog->control(id)); }
    void type(int id, const QString& text) { edit(id)->setText(text); }
    void press(int id) { qobject_cast<QAbstractButton*>(dialog->control(id))->click(); }
    void chooseColour(int buttonId, std::optional<QColor> colour) {
        nextColour = colour;
        press(buttonId);
    }
    std::size_t queueLength(int player) const {
        return game.players[static_cast<std::size_t>(player)].sequence.queue.size();
    }
};

// Runs with a fresh temporary folder as the current directory.
struct InTempDir {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    InTempDir() { QDir::setCurrent(dir.path()); }
    ~InTempDir() { QDir::setCurrent(previous); }
};

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void numbersAreReadLikeCIntegersAndHeldAtThe32BitLimits() {
        QCOMPARE(readDialogNumber("  -12abc"), -12);
        QCOMPARE(readDialogNumber("+7"), 7);
        QCOMPARE(readDialogNumber("12 34"), 12);
        QCOMPARE(readDialogNumber("abc"), 0);
        QCOMPARE(readDialogNumber(""), 0);
        QCOMPARE(readDialogNumber("- 5"), 0);
        QCOMPARE(readDialogNumber("2147483647"), INT32_MAX);
        QCOMPARE(readDialogNumber("2147483648"), INT32_MAX);
        QCOMPARE(readDialogNumber("-2147483648"), INT32_MIN);
        QCOMPARE(readDialogNumber("-99999999999999999999999999"), INT32_MIN);
        // Only 31 characters are read.
        QCOMPARE(readDialogNumber(std::string(30, '0') + "12"), 1);
    }

    void opensOnTheFirstOfFourPagesWithEveryControlFilledFromTheSettings() {
        Settings s;
        s.fieldWidth = 7;
        s.nextCount = 3;
        s.emptyOpacity = 15;
        Fixture f(s);
        QTabWidget* tabs = f.dialog->tabs();
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("基本"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("色"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("操作"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("キー"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Dialog"));

        QCOMPARE(f.edit(200)->text(), QStringLiteral("7"));
        QCOMPARE(f.edit(201)->text(), QStringLiteral("12"));
        QCOMPARE(f.edit(204)->text(), QStringLiteral("3"));
        QCOMPARE(f.edit(209)->text(), QStringLiteral("4"));
        QCOMPARE(f.edit(515)->text(), QStringLiteral("50"));
        QCOMPARE(f.edit(516)->text(), QStringLiteral("15"));
        // Every key box and label is there; a box shows its key.
        for (int id = 400; id <= 417; ++id)
            QVERIFY(f.keyBox(id));
        for (int id = 450; id <= 466; ++id)
            QVERIFY(f.keyBox(id));
        for (int id : {600, 605, 700, 716, 717, 734, 800, 816})
            QVERIFY(f.dialog->control(id));
        QCOMPARE(f.keyBox(400)->code(), s.keys[pairKeyIndex(PairAction::Left, 0)]);
        // The colour chooser offers the window colours, then the cell colours, as custom
        // colours; the sixteenth starts black and is then left as the user left it.
        QCOMPARE(QColorDialog::customColor(15).rgb(), qRgb(0, 0, 0));
        QColorDialog::setCustomColor(15, QColor(7, 7, 7));
        f.open();
        QCOMPARE(QColorDialog::customColor(0).rgb(), pixelColour(s.backgroundColour));
        QCOMPARE(QColorDialog::customColor(5).rgb(), pixelColour(s.heavenEmptyColour));
        QCOMPARE(QColorDialog::customColor(6).rgb(), pixelColour(s.cellColours[0]));
        QCOMPARE(QColorDialog::customColor(14).rgb(), pixelColour(s.cellColours[8]));
        QCOMPARE(QColorDialog::customColor(15).rgb(), qRgb(7, 7, 7));
        // The buttons keep their order from left to right.
        QVERIFY(f.dialog->control(kSettingsOk)->x() < f.dialog->control(kSettingsCancel)->x());
        QVERIFY(f.dialog->control(kSettingsCancel)->x() < f.dialog->control(kSettingsApply)->x());
        QVERIFY(f.dialog->control(kSettingsApply)->x() <
                f.dialog->control(kSettingsSaveForNextStart)->x());
    }

    void everyKeyBoxEditsItsOwnKeySetting() {
        Settings s;
        for (int i = 0; i < kKeyCount; ++i)
            s.keys[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x41 + i);
        Fixture f(s);
        // A few boxes whose order differs from the stored order.
        QCOMPARE(f.keyBox(403)->code(), s.keys[pairKeyIndex(PairAction::RotateLeft, 0)]);
        QCOMPARE(f.keyBox(404)->code(), s.keys[pairKeyIndex(PairAction::RotateRight, 0)]);
        QCOMPARE(f.keyBox(407)->code(), s.keys[pairKeyIndex(PairAction::Right, 1)]);
        QCOMPARE(f.keyBox(417)->code(), s.keys[pairKeyIndex(PairAction::HalfRotate, 2)]);
        QCOMPARE(f.keyBox(450)->code(), s.keys[kKeyPlayMode]);
        QCOMPARE(f.keyBox(451)->code(), s.keys[kKeyEditMode]);
        QCOMPARE(f.keyBox(458)->code(), s.keys[editKindKeyIndex(0)]);
        QCOMPARE(f.keyBox(459)->code(), s.keys[editKindKeyIndex(1)]);
        QCOMPARE(f.keyBox(466)->code(), s.keys[editKindKeyIndex(8)]);

        // Each box writes back to the setting it was filled from, and only there.
        std::vector<int> ids;
        for (int id = 400; id <= 417; ++id)
            ids.push_back(id);
        for (int id = 450; id <= 466; ++id)
            ids.push_back(id);
        for (int id : ids)
            f.keyBox(id)->setCode(static_cast<std::uint8_t>(f.keyBox(id)->code() + 0x80));
        f.press(kSettingsApply);
        for (int i = 0; i < kKeyCount; ++i)
            QCOMPARE(f.game.settings.keys[static_cast<std::size_t>(i)],
                     static_cast<std::uint8_t>(0x41 + i + 0x80));
        // Keys alone cause neither a layout nor a redraw.
        QCOMPARE(f.port.relayouts, 0);
        QCOMPARE(f.port.repaints, 0);
    }

    void okWithoutChangesRevalidatesAndNeitherLaysOutNorRedraws() {
        Fixture f;
        const Settings before = f.game.settings;
        f.dialog->show();
        f.press(kSettingsOk);
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        QVERIFY(f.dialog->appliedAny());
        QVERIFY(f.game.settings == before);
        QCOMPARE(f.port.relayouts, 0);
        QCOMPARE(f.port.repaints, 0);
    }

    void aZeroWidthAppliesAsTwoColumnsResizingBothFieldsAndLayingOut() {
        Fixture f;
        f.type(200, QStringLiteral("0"));
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.fieldWidth, 2);
        for (const Player& player : f.game.players)
            QCOMPARE(player.field.width, 2);
        QCOMPARE(f.port.relayouts, 1);
        // The box keeps what was typed; a new opening shows the clamped value.
        QCOMPARE(f.edit(200)->text(), QStringLiteral("0"));
        f.open();
        QCOMPARE(f.edit(200)->text(), QStringLiteral("2"));
    }

    void sizeChangesLayOutWhileTheVanishCountChangesNothingOnScreen() {
        Fixture f;
        f.type(207, QStringLiteral("30"));
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.nextCellWidth, 30);
        QCOMPARE(f.port.relayouts, 1);
        QCOMPARE(f.game.players[0].field.width, 6);

        f.open();
        f.type(209, QStringLiteral("abc"));
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.vanishCount, 1);
        QCOMPARE(f.port.relayouts, 0);
        QCOMPARE(f.port.repaints, 0);
    }

    void theVisibleCountResizesEveryQueueAndRedraws() {
        Fixture f;
        QCOMPARE(f.queueLength(0), 3U);
        f.type(204, QStringLiteral("5"));
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.nextCount, 5);
        for (int p = 0; p < kPlayerCount; ++p)
            QCOMPARE(f.queueLength(p), 6U);
        for (const auto& stored : f.game.tempSaves.front().players)
            QCOMPARE(stored.sequence.queue.size(), 6U);
        for (const auto& backup : f.game.turnBackup.players)
            QCOMPARE(backup.sequence.queue.size(), 6U);
        QCOMPARE(f.port.repaints, 1);
        QCOMPARE(f.port.relayouts, 0);
    }

    void eitherOpacityAloneCausesARedraw() {
        Fixture f;
        f.type(516, QStringLiteral("40"));
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.emptyOpacity, 40);
        QCOMPARE(f.game.settings.opacity, 50);
        QCOMPARE(f.port.repaints, 1);

        f.open();
        f.type(515, QStringLiteral("20"));
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.opacity, 20);
        QCOMPARE(f.port.repaints, 1);
    }

    void aChosenColourTakesEffectOnlyWhenApplied() {
        Fixture f;
        const std::uint32_t background = f.game.settings.backgroundColour;
        // Cancelling the chooser keeps the colour; an apply then changes nothing.
        f.chooseColour(509, std::nullopt);
        QCOMPARE(f.colourRequests, 1);
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.backgroundColour, background);
        QCOMPARE(f.port.repaints, 0);

        // Chosen, then the dialog cancelled: the setting stays.
        f.chooseColour(509, QColor(1, 2, 3));
        f.press(kSettingsCancel);
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
        QCOMPARE(f.game.settings.backgroundColour, background);

        // Chosen and applied: stored as 0x00BBGGRR, redrawn.
        f.open();
        f.chooseColour(509, QColor(1, 2, 3));
        f.chooseColour(503, QColor(0x10, 0x20, 0x30));
        f.chooseColour(514, QColor(0xAA, 0xBB, 0xCC));
        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.backgroundColour, 0x00030201U);
        QCOMPARE(f.game.settings.cellColours[3], 0x00302010U);
        QCOMPARE(f.game.settings.heavenEmptyColour, 0x00CCBBAAU);
        QCOMPARE(f.port.repaints, 1);
        QCOMPARE(f.port.relayouts, 0);
    }

    void aColourButtonShowsItsWorkingColour() {
        Fixture f;
        QWidget* button = f.dialog->control(505);
        button->resize(20, 20);
        QCOMPARE(button->grab().toImage().pixel(10, 10),
                 pixelColour(f.game.settings.cellColours[5]));
        f.chooseColour(505, QColor(9, 8, 7));
        QCOMPARE(button->grab().toImage().pixel(0, 0), qRgb(9, 8, 7));
    }

    void cancelKeepsWhatWasAppliedAndDropsTheRest() {
        Fixture f;
        f.type(202, QStringLiteral("30"));
        f.press(kSettingsApply);
        f.type(203, QStringLiteral("25"));
        f.keyBox(400)->setCode(0x41);
        f.press(kSettingsCancel);
        QVERIFY(!f.dialog->isVisible());
        QVERIFY(f.dialog->appliedAny());
        QCOMPARE(f.game.settings.cellWidth, 30);
        QCOMPARE(f.game.settings.cellHeight, 40);
        QCOMPARE(f.game.settings.keys[0], Settings{}.keys[0]);
    }

    void keyBoxesHoldingAKeyThatActsTwiceShowRedWhileApplyingStaysAllowed() {
        Fixture f;
        f.dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        f.dialog->tabs()->setCurrentIndex(3);
        std::vector<int> ids;
        for (int id = 400; id <= 417; ++id)
            ids.push_back(id);
        for (int id = 450; id <= 466; ++id)
            ids.push_back(id);
        const auto marked = [&] {
            std::vector<int> on;
            for (int id : ids)
                if (f.keyBox(id)->marked())
                    on.push_back(id);
            return on;
        };
        const auto showsRed = [](KeyBox* box) {
            const QImage image = box->grab().toImage();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (const QColor c = image.pixelColor(x, y); c.red() > 200 && c.green() < 80)
                        return true;
            return false;
        };
        QCOMPARE(marked(), std::vector<int>{});

        // The store key made D, which is also 1P's left in battle.
        KeyBox* store = f.keyBox(454);
        QTest::mouseClick(store, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QTest::keyClick(store, Qt::Key_D);
        const auto on = marked();
        QCOMPARE(on.size(), std::size_t{2});
        QCOMPARE(on.back(), 454);
        QCOMPARE(f.keyBox(on.front())->code(), std::uint8_t{0x44});
        QVERIFY(showsRed(store));

        f.press(kSettingsApply);
        QCOMPARE(f.game.settings.keys[kKeyTempStore], std::uint8_t{0x44});
        QTest::keyClick(store, Qt::Key_K);
        QCOMPARE(marked(), std::vector<int>{});
        QVERIFY(!showsRed(store));
    }

    void enterAndEscInAFocusedKeyBoxAreKeysNotOkOrCancel() {
        Fixture f;
        f.dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
        f.dialog->tabs()->setCurrentIndex(2);
        KeyBox* box = f.keyBox(402);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(f.dialog->isVisible());
        QVERIFY(!f.dialog->appliedAny());
        QCOMPARE(box->code(), std::uint8_t{0x1B});
        // From an edit box Enter is the default button "OK".
        f.edit(209)->setFocus();
        QTest::keyClick(f.edit(209), Qt::Key_Return);
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.game.settings.keys[pairKeyIndex(PairAction::Down, 0)], std::uint8_t{0x1B});
    }

    void saveForNextStartWritesTheShownValuesAndLeavesTheGameAlone() {
        InTempDir cwd;
        Fixture f;
        const Settings before = f.game.settings;
        f.type(200, QStringLiteral("8"));
        f.type(204, QStringLiteral("4"));
        f.chooseColour(509, QColor(1, 2, 3));
        f.keyBox(451)->setCode(0x70);
        f.press(kSettingsSaveForNextStart);

        QCOMPARE(f.messages.size(), 1U);
        QCOMPARE(f.messages[0].text, std::string("設定ファイルに保存しました"));
        QCOMPARE(f.messages[0].caption, std::string("OK"));
        QVERIFY(f.game.settings == before);
        QCOMPARE(f.game.players[0].field.width, 6);
        QCOMPARE(f.queueLength(0), 3U);
        QCOMPARE(f.port.relayouts, 0);
        QCOMPARE(f.port.repaints, 0);

        Settings saved;
        LoadSettings(saved, std::filesystem::path(cwd.dir.filePath("設定.ini").toStdString()));
        QCOMPARE(saved.fieldWidth, 8);
        QCOMPARE(saved.nextCount, 4);
        QCOMPARE(saved.backgroundColour, 0x00030201U);
        QCOMPARE(saved.keys[kKeyEditMode], std::uint8_t{0x70});

        // A following OK applies the same values.
        f.press(kSettingsOk);
        QCOMPARE(f.game.settings.fieldWidth, 8);
        QCOMPARE(f.game.players[1].field.width, 8);
        QCOMPARE(f.queueLength(1), 5U);
        QCOMPARE(f.game.settings.keys[kKeyEditMode], std::uint8_t{0x70});
        QCOMPARE(f.port.relayouts, 1);
    }

    // With the bounds raised by hand, the boxes could ask for a field of 10^10 cells: OK, Apply
    // and the save for the next start all refuse it with a message and change nothing.
    void aFieldTooLargeForMemoryIsRefusedByEveryButton() {
        InTempDir cwd;
        Settings raised;
        raised.maxFieldWidth = raised.maxFieldHeight = 100000;
        for (const int button : {kSettingsOk, kSettingsApply, kSettingsSaveForNextStart}) {
            Fixture f(raised);
            const Settings before = f.game.settings;
            f.type(200, QStringLiteral("100000"));
            f.type(201, QStringLiteral("50000"));
            f.type(209, QStringLiteral("3"));
            f.press(button);
            QCOMPARE(f.messages.size(), 1U);
            QVERIFY(f.messages[0].text.find("100000 × 50000") != std::string::npos);
            QVERIFY(f.game.settings == before);
            QCOMPARE(f.game.players[0].field.width, 6);
            QVERIFY(!QFileInfo::exists(cwd.dir.filePath(QStringLiteral("設定.ini"))));
        }
    }

    void aFailedSaveShowsItsMessageAloneAndChangesNothing() {
        InTempDir cwd;
        // A folder where the file should be: it cannot be replaced.
        QVERIFY(QDir(cwd.dir.path()).mkdir(QStringLiteral("設定.ini")));
        Fixture f;
        const Settings before = f.game.settings;
        f.type(200, QStringLiteral("9"));
        f.press(kSettingsSaveForNextStart);
        QCOMPARE(f.messages.size(), 1U);
        QCOMPARE(f.messages[0].text, std::string("設定ファイルが開けません"));
        QCOMPARE(f.messages[0].caption, std::string("err"));
        QVERIFY(f.game.settings == before);
        QVERIFY(QFileInfo(cwd.dir.filePath(QStringLiteral("設定.ini"))).isDir());
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "test_settings_dialog.moc"
