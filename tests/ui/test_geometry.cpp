#include "play/editing.h"
#include "render/geometry.h"

#include <QTest>

using namespace peterin;

namespace peterin {
// Lets QCOMPARE print rectangles that differ.
char* toString(const PixelRect& r) {
    return QTest::toString(
        QStringLiteral("(%1, %2, %3 x %4)").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}
} // namespace peterin

class GeometryTest : public QObject {
    Q_OBJECT

  private slots:
    void defaultSettingsGiveTheStandardWindow() {
        const Settings s;
        QCOMPARE(mainClientWidth(s, false), 295);
        QCOMPARE(mainClientWidth(s, true), 585);
        QCOMPARE(mainClientHeight(s), 605);
        QCOMPARE(warningViewRect(s, 0), (PixelRect{5, 5, 240, 30}));
        QCOMPARE(fieldViewRect(s, 0), (PixelRect{5, 40, 240, 560}));
        QCOMPARE(nextViewRect(s, 0), (PixelRect{250, 40, 40, 560}));
        QCOMPARE(nextViewRect(s, 1), (PixelRect{300, 40, 40, 560}));
        QCOMPARE(fieldViewRect(s, 1), (PixelRect{345, 40, 240, 560}));
        QCOMPARE(warningViewRect(s, 1), (PixelRect{345, 5, 240, 30}));
    }

    void secondPlayersFieldEndsAtTheBattleWidthWithoutMargin() {
        Settings s;
        s.fieldWidth = 9;
        s.cellWidth = 17;
        s.nextCellWidth = 23;
        QCOMPARE(fieldViewRect(s, 1).right(), mainClientWidth(s, true));
        // Outside battle 2P's views start beyond the client area.
        QVERIFY(nextViewRect(s, 1).left >= mainClientWidth(s, false));
    }

    void twoNextColumnsWidenTheNextViewsAndPushSecondPlayerRight() {
        Settings s;
        s.nextColumns = 2;
        const Settings d;
        QCOMPARE(nextViewRect(s, 0).width, 90);
        QCOMPARE(fieldViewRect(s, 1).left, fieldViewRect(d, 1).left + 100);
        QCOMPARE(warningViewRect(s, 1).left, warningViewRect(d, 1).left + 100);
        QCOMPARE(nextViewRect(s, 1).left, nextViewRect(d, 1).left + 50);
        QCOMPARE(mainClientWidth(s, false), 345);
    }

    void hiddenBandsShortenFieldAndNextViewsButNotTheWarning() {
        Settings s;
        s.showHeaven = 0;
        s.showLimbo = 0;
        QCOMPARE(fieldViewRect(s, 0).height, 480);
        QCOMPARE(nextViewRect(s, 1).height, 480);
        QCOMPARE(warningViewRect(s, 0).height, 30);
        QCOMPARE(mainClientHeight(s), 525);
        s.showLimbo = 1;
        QCOMPARE(fieldViewRect(s, 0).height, 520);
    }

    void statusPartsFollowTheClientWidth() {
        const Settings s;
        QCOMPARE(statusPartEdges(s, 295), (std::array<int, 4>{190, 290, 245, 345}));
        QCOMPARE(statusPartEdges(s, 585), (std::array<int, 4>{190, 290, 485, 585}));
        // A window narrower than one side pulls 1P's parts in.
        QCOMPARE(statusPartEdges(s, 200), (std::array<int, 4>{100, 200, 245, 345}));
    }

    void paintedCellsAndTheMouseAgreeOnEveryPixel() {
        Settings odd;
        odd.cellWidth = 17;
        odd.cellHeight = 23;
        odd.showHeaven = 0;
        Settings flat;
        flat.showHeaven = 0;
        flat.showLimbo = 0;
        for (const Settings& s : {Settings{}, odd, flat}) {
            const FieldMapping map(s);
            for (int row = -shownBands(s); row < s.fieldHeight; ++row) {
                for (int column = 0; column < s.fieldWidth; ++column) {
                    const PixelRect box = map.cellRect(column, row);
                    for (int y = box.top; y < box.bottom(); ++y) {
                        for (int x : {box.left, box.right() - 1}) {
                            const CellPosition cell = cellUnderMouse(
                                s, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
                            QCOMPARE(cell.column, column);
                            QCOMPARE(cell.row, row);
                        }
                    }
                }
            }
        }
        // Row 0 starts below both bands.
        QCOMPARE(FieldMapping(Settings{}).cellRect(0, 0), (PixelRect{0, 80, 40, 40}));
        QCOMPARE(FieldMapping(flat).cellRect(5, 0), (PixelRect{200, 0, 40, 40}));
    }
};

QTEST_GUILESS_MAIN(GeometryTest)
#include "test_geometry.moc"
