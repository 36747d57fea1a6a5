#include "ui/key_box.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace peterin;

namespace {

// A dialog like the one the boxes live in: a default button that Enter would press, Esc that
// would cancel, and another control for Tab to move to.
struct BoxInDialog {
    QDialog dialog;
    KeyBox* box = new KeyBox;
    QLineEdit* other = new QLineEdit;
    QPushButton* ok = new QPushButton(QStringLiteral("OK"));
    int okPresses = 0;

    BoxInDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(box);
        layout->addWidget(other);
        layout->addWidget(ok);
        box->setFixedSize(75, 28);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, [this] { ++okPresses; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }

    void clickBox() { QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, 20)); }
    // A pixel of the box's face below the name, so not behind its letters.
    QRgb facePixel() const { return box->grab().toImage().pixel(4, box->height() - 4); }
};

} // namespace

class KeyBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void aFreshBoxHoldsTheDigitZeroKeyUntilGivenAValue() {
        KeyBox box;
        QCOMPARE(box.code(), std::uint8_t{0x30});
        box.setCode(0);
        QCOMPARE(box.code(), std::uint8_t{0});
        box.setCode(0xFF);
        QCOMPARE(box.code(), std::uint8_t{0xFF});
    }

    void tabEnterAndEscAreCapturedWithoutMovingTheFocusPressingOkOrCancelling() {
        BoxInDialog d;
        d.clickBox();
        QVERIFY(d.box->hasFocus());

        QTest::keyClick(d.box, Qt::Key_Tab);
        QCOMPARE(d.box->code(), std::uint8_t{0x09});
        QVERIFY(d.box->hasFocus());

        QTest::keyClick(d.box, Qt::Key_Return);
        QCOMPARE(d.box->code(), std::uint8_t{0x0D});
        QCOMPARE(d.okPresses, 0);

        QTest::keyClick(d.box, Qt::Key_Escape);
        QCOMPARE(d.box->code(), std::uint8_t{0x1B});
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(d.dialog.result(), 0);

        // Shift+Tab is Tab too, and does not move the focus backwards.
        d.box->setCode(0);
        QTest::keyClick(d.box, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(d.box->code(), std::uint8_t{0x09});
        QVERIFY(d.box->hasFocus());
    }

    void ordinaryKeysReplaceTheValueAtOnceAndShiftIsTheGenericShiftKey() {
        BoxInDialog d;
        d.clickBox();
        QTest::keyClick(d.box, Qt::Key_A);
        QCOMPARE(d.box->code(), std::uint8_t{0x41});
        QTest::keyClick(d.box, Qt::Key_Left);
        QCOMPARE(d.box->code(), std::uint8_t{0x25});
        QTest::keyPress(d.box, Qt::Key_Shift);
        QCOMPARE(d.box->code(), std::uint8_t{0x10});
        QTest::keyRelease(d.box, Qt::Key_Shift);
        // A held key repeats: the same value again.
        QTest::keyEvent(QTest::Press, d.box, Qt::Key_Space);
        QTest::keyEvent(QTest::Press, d.box, Qt::Key_Space);
        QCOMPARE(d.box->code(), std::uint8_t{0x20});
    }

    void altF10AndKeysHeldWithAltLeaveTheValueAlone() {
        BoxInDialog d;
        d.clickBox();
        d.box->setCode(0x41);
        QTest::keyClick(d.box, Qt::Key_Alt);
        QTest::keyClick(d.box, Qt::Key_F10);
        QTest::keyClick(d.box, Qt::Key_B, Qt::AltModifier);
        QCOMPARE(d.box->code(), std::uint8_t{0x41});
        // F9 is an ordinary key.
        QTest::keyClick(d.box, Qt::Key_F9);
        QCOMPARE(d.box->code(), std::uint8_t{0x78});
    }

    void aClickedBoxIsYellowAndTurnsWhiteAgainWhenTheFocusMovesOn() {
        BoxInDialog d;
        d.other->setFocus();
        QCOMPARE(d.facePixel(), qRgb(255, 255, 255));
        d.clickBox();
        QVERIFY(d.box->hasFocus());
        QCOMPARE(d.facePixel(), qRgb(255, 255, 0));

        d.other->setFocus();
        QVERIFY(!d.box->hasFocus());
        QCOMPARE(d.facePixel(), qRgb(255, 255, 255));
        // Tab cannot bring the focus into a box: only a click does.
        QTest::keyClick(d.other, Qt::Key_Tab);
        QVERIFY(!d.box->hasFocus());
        // And only a click of the left button.
        QTest::mouseClick(d.box, Qt::RightButton, Qt::NoModifier, QPoint(5, 20));
        QTest::mouseClick(d.box, Qt::MiddleButton, Qt::NoModifier, QPoint(5, 20));
        QVERIFY(!d.box->hasFocus());
        QCOMPARE(d.facePixel(), qRgb(255, 255, 255));
    }

    void theNameIsDrawnInBlackAndTheBoxShowsADifferentPictureForEachName() {
        KeyBox box;
        box.resize(75, 28);
        box.setCode(0);
        const QImage error = box.grab().toImage();
        box.setCode(0x41);
        const QImage letter = box.grab().toImage();
        box.setCode(0x05);
        const QImage unnamed = box.grab().toImage();
        box.setCode(0x06);
        // Two codes without a name of their own look the same.
        QCOMPARE(box.grab().toImage(), unnamed);
        QVERIFY(error != letter);
        QVERIFY(letter != unnamed);
        bool black = false;
        // Inside the sunken edge.
        for (int y = 2; y < letter.height() - 2; ++y)
            for (int x = 2; x < letter.width() - 2; ++x)
                black = black || letter.pixel(x, y) == qRgb(0, 0, 0);
        QVERIFY(black);
    }
};

QTEST_MAIN(KeyBoxTest)
#include "test_key_box.moc"
