#include "render/drawing.h"

#include <QTest>

using namespace peterin;

namespace {

constexpr QRgb kBlack = 0xFF000000;

QRgb kindPixel(const Settings& s, CellKind kind) {
    return pixelColour(s.cellColours[static_cast<std::size_t>(kind)]);
}

Field makeField(int width = 6, int height = 12) {
    Field field;
    resizeField(field, width, height, 1);
    return field;
}

QImage fieldImage(const Settings& s) {
    return QImage(fieldViewWidth(s), fieldViewHeight(s), QImage::Format_RGB32);
}

// The run of pixels along row y, from x0 on, that have the given colour.
int runLength(const QImage& image, int x0, int y, QRgb colour) {
    int x = x0;
    while (x < image.width() && image.pixel(x, y) == colour)
        ++x;
    return x - x0;
}

FieldPicture showing(const Field& field, int phase = 0) {
    FieldPicture picture;
    picture.field = &field;
    picture.phase = phase;
    return picture;
}

int countPixels(const QImage& image, int x0, int x1, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = x0; x < x1; ++x)
            n += image.pixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

} // namespace

class DrawingTest : public QObject {
    Q_OBJECT

  private slots:
    void blendTruncatesEachChannelSeparately() {
        QCOMPARE(blend(50, 0x000000FF, 0x00FFFF64), std::uint32_t{0x007F7FB1});
        QCOMPARE(blend(0, 0x00123456, 0x00FFFFFF), std::uint32_t{0x00FFFFFF});
        QCOMPARE(blend(100, 0x00123456, 0x00FFFFFF), std::uint32_t{0x00123456});
        QCOMPARE(blend(33, 0x00010101, 0x00020202), std::uint32_t{0x00010101});
    }

    void rectangleLeavesOutItsRightAndBottomEdgesAndOneMorePixel() {
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::black);
        rectangle(image, 2, 3, 7, 6, 0x0000FF00);
        QCOMPARE(runLength(image, 2, 3, qRgb(0, 255, 0)), 4);
        QCOMPARE(image.pixel(2, 4), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(2, 5), kBlack);
        QCOMPARE(image.pixel(1, 3), kBlack);
        // Shapes reaching past the edges are clipped, not wrapped.
        rectangle(image, -5, -5, 20, 2, 0x000000FF);
        QCOMPARE(runLength(image, 0, 0, qRgb(255, 0, 0)), 10);
    }

    void visibleRowsStartBelowBothBandsAndBandCellsAreBlended() {
        const Settings s;
        Field field = makeField();
        setCell(field, 0, 0, CellKind::Red);
        setCell(field, 1, -1, CellKind::Red);
        setCell(field, 2, -2, CellKind::Blue);
        QImage image = fieldImage(s);
        QCOMPARE(image.size(), QSize(240, 560));
        paintField(image, s, showing(field));

        QCOMPARE(image.pixel(0, 80), kindPixel(s, CellKind::Red));
        QCOMPARE(image.pixel(39, 119), kindPixel(s, CellKind::Red));
        QCOMPARE(image.pixel(40, 80), kBlack);
        QCOMPARE(image.pixel(239, 559), kBlack);
        // Empty band cells show the plain band colour at opacity 0; blobs are half and half.
        QCOMPARE(image.pixel(0, 79), pixelColour(s.limboEmptyColour));
        QCOMPARE(image.pixel(0, 39), pixelColour(s.heavenEmptyColour));
        QCOMPARE(image.pixel(40, 40), pixelColour(blend(50, 0x000000FF, s.limboColour)));
        QCOMPARE(image.pixel(80, 0), pixelColour(blend(50, 0x00FF0000, s.heavenColour)));

        // Without bands row 0 is at the top.
        Settings flat = s;
        flat.showHeaven = 0;
        flat.showLimbo = 0;
        QImage small = fieldImage(flat);
        paintField(small, flat, showing(field));
        QCOMPARE(small.height(), 480);
        QCOMPARE(small.pixel(0, 0), kindPixel(s, CellKind::Red));
    }

    void vanishingGroupsShowACentredHoleOfTheirPhasesSize() {
        const Settings s;
        Field field = makeField();
        for (int x = 0; x < 4; ++x)
            setCell(field, x, 11, CellKind::Green);
        setCell(field, 0, 10, CellKind::Red); // a group of one stays whole
        const int top = (11 + 2) * 40;
        const QRgb green = kindPixel(s, CellKind::Green);

        QImage image = fieldImage(s);
        paintField(image, s, showing(field, 2));
        QCOMPARE(runLength(image, 40, top + 20, green), 14);
        QCOMPARE(runLength(image, 54, top + 20, kBlack), 12);
        QCOMPARE(runLength(image, 66, top + 20, green), 14 + 14); // into the next blob's rim
        QCOMPARE(image.pixel(54, top + 13), green);
        QCOMPARE(image.pixel(54, top + 14), kBlack);
        QCOMPARE(image.pixel(54, top + 25), kBlack);
        QCOMPARE(image.pixel(54, top + 26), green);
        QCOMPARE(image.pixel(20, top - 20), kindPixel(s, CellKind::Red));

        paintField(image, s, showing(field, 3));
        QCOMPARE(runLength(image, 40, top + 20, green), 2);
        QCOMPARE(runLength(image, 42, top + 20, kBlack), 36);
        QCOMPARE(image.pixel(42, top + 1), green);
        QCOMPARE(image.pixel(42, top + 2), kBlack);
        QCOMPARE(image.pixel(42, top + 37), kBlack);
        QCOMPARE(image.pixel(42, top + 38), green);

        // In other phases the group is drawn whole.
        paintField(image, s, showing(field, 1));
        QCOMPARE(runLength(image, 0, top + 20, green), 160);
    }

    void landingMarksStackFromTheLowestBlobOfEachColumn() {
        const Settings s;
        Field field = makeField();
        PairPicture pair;
        pair.x = 2;
        pair.row = -1;
        pair.cells[4] = CellKind::Red;  // pivot
        pair.cells[3] = CellKind::Blue; // above the pivot
        FieldPicture picture = showing(field);
        picture.pair = pair;
        picture.landingMarks = true;

        QImage image = fieldImage(s);
        paintField(image, s, picture);
        const auto markTop = [](int row) { return (row + 2) * 40 + 18; };
        // The pair itself.
        QCOMPARE(image.pixel(80, 40), kindPixel(s, CellKind::Red));
        QCOMPARE(image.pixel(80, 0), kindPixel(s, CellKind::Blue));
        // The lower blob lands in the bottom row, the upper one on top of it.
        QCOMPARE(runLength(image, 98, markTop(11), kindPixel(s, CellKind::Red)), 4);
        QCOMPARE(image.pixel(97, markTop(11)), kBlack);
        QCOMPARE(image.pixel(98, markTop(11) + 3), kindPixel(s, CellKind::Red));
        QCOMPARE(image.pixel(98, markTop(11) + 4), kBlack);
        QCOMPARE(runLength(image, 98, markTop(10), kindPixel(s, CellKind::Blue)), 4);
        QCOMPARE(image.pixel(98, markTop(9)), kBlack);

        // On a stack of two the marks sit above it.
        setCell(field, 2, 11, CellKind::Yellow);
        setCell(field, 2, 10, CellKind::Yellow);
        paintField(image, s, picture);
        QCOMPARE(image.pixel(98, markTop(9)), kindPixel(s, CellKind::Red));
        QCOMPARE(image.pixel(98, markTop(8)), kindPixel(s, CellKind::Blue));
        QCOMPARE(image.pixel(98, markTop(11)), kindPixel(s, CellKind::Yellow));

        // A stored position shows the pair without marks.
        picture.landingMarks = false;
        paintField(image, s, picture);
        QCOMPARE(image.pixel(98, markTop(9)), kBlack);
        QCOMPARE(image.pixel(98, markTop(8)), kBlack);
    }

    void sideBySideBlobsMarkTheirOwnColumns() {
        const Settings s;
        Field field = makeField();
        setCell(field, 3, 11, CellKind::Yellow);
        PairPicture pair;
        pair.x = 2;
        pair.row = 0;
        pair.cells[4] = CellKind::Red;   // pivot, column 2
        pair.cells[7] = CellKind::Green; // right of it, column 3
        FieldPicture picture = showing(field);
        picture.pair = pair;
        picture.landingMarks = true;
        QImage image = fieldImage(s);
        paintField(image, s, picture);
        QCOMPARE(image.pixel(98, (11 + 2) * 40 + 18), kindPixel(s, CellKind::Red));
        QCOMPARE(image.pixel(138, (10 + 2) * 40 + 18), kindPixel(s, CellKind::Green));
    }

    void editCursorIsThePenSizeCentredInItsCell() {
        const Settings s;
        Field field = makeField();
        FieldPicture picture = showing(field);
        picture.cursor = CellPos{1, 0};
        picture.editKind = CellKind::Purple;
        QImage image = fieldImage(s);
        paintField(image, s, picture);
        const QRgb purple = kindPixel(s, CellKind::Purple);
        QCOMPARE(runLength(image, 40, 100, kBlack), 4);
        QCOMPARE(runLength(image, 44, 100, purple), 32);
        QCOMPARE(image.pixel(60, 83), kBlack);
        QCOMPARE(image.pixel(60, 84), purple);
        QCOMPARE(image.pixel(60, 115), purple);
        QCOMPARE(image.pixel(60, 116), kBlack);

        Settings thin = s;
        thin.penSize = 0; // an empty pen draws nothing
        paintField(image, thin, picture);
        QCOMPARE(countPixels(image, 40, 80, purple), 0);
    }

    void warningOfSevenIsOneBigAndOneSmallGreySquare() {
        QImage image(240, 30, QImage::Format_RGB32);
        paintWarning(image, 7);
        const QRgb grey = qRgb(0x96, 0x96, 0x96);
        QCOMPARE(runLength(image, 0, 5, grey), 20);
        QCOMPARE(image.pixel(0, 4), kBlack);
        QCOMPARE(image.pixel(0, 24), grey);
        QCOMPARE(image.pixel(0, 25), kBlack);
        QCOMPARE(runLength(image, 20, 5, kBlack), 3);
        QCOMPARE(runLength(image, 23, 5, grey), 10);
        QCOMPARE(image.pixel(23, 14), grey);
        QCOMPARE(image.pixel(23, 15), kBlack);
        QCOMPARE(countPixels(image, 33, 240, grey), 0);
    }

    void warningOfAThousandSpellsOutEveryUnit() {
        QImage image(240, 30, QImage::Format_RGB32);
        paintWarning(image, 1000);
        const QRgb yellow = qRgb(0xFF, 0xFF, 0x00);
        const QRgb red = qRgb(0x96, 0x00, 0x00);
        const QRgb grey = qRgb(0x96, 0x96, 0x96);
        // "王" then "★", each in its own 25-pixel slot.
        QVERIFY(countPixels(image, 0, 25, yellow) > 20);
        QVERIFY(countPixels(image, 25, 50, yellow) > 20);
        QCOMPARE(countPixels(image, 50, 240, yellow), 0);
        // Three 30-unit squares, one 6-unit square, four 1-unit squares.
        for (int x : {50, 75, 100})
            QCOMPARE(runLength(image, x, 5, red), 20);
        QCOMPARE(runLength(image, 125, 24, grey), 20);
        for (int x : {148, 160, 172, 184}) {
            QCOMPARE(runLength(image, x, 5, grey), 10);
            QCOMPARE(image.pixel(x, 15), kBlack);
        }
        QCOMPARE(countPixels(image, 194, 240, grey), 0);
        QCOMPARE(countPixels(image, 0, 240, red), 3 * 400);
    }

    void hugeWarningsStopAtTheRightEdge() {
        QImage image(240, 30, QImage::Format_RGB32);
        paintWarning(image, 2'000'000'000);
        QVERIFY(countPixels(image, 225, 240, qRgb(0xFF, 0xFF, 0x00)) > 0);
    }

    void nextListShowsTheComingPairsColumnByColumn() {
        Settings s;
        const QRgb red = kindPixel(s, CellKind::Red);
        const QRgb blue = kindPixel(s, CellKind::Blue);
        const QRgb green = kindPixel(s, CellKind::Green);
        const QRgb yellow = kindPixel(s, CellKind::Yellow);
        // Entry k holds kind k + 1 over kind k + 2; entry 3 is a four-blob block.
        NextPicture picture;
        picture.queueLength = 4;
        picture.slotsOf = [](int entry) {
            if (entry == 3)
                return PairSlots{CellKind::Red, CellKind::Blue, CellKind::Green, CellKind::Yellow};
            return PairSlots{static_cast<CellKind>(entry + 1), CellKind::Empty,
                             static_cast<CellKind>(entry + 2), CellKind::Empty};
        };
        QImage image(40, 560, QImage::Format_RGB32);
        paintNext(image, s, picture); // play: entries 1 and 2
        QCOMPARE(image.pixel(0, 0), blue);
        QCOMPARE(image.pixel(39, 39), blue);
        QCOMPARE(image.pixel(0, 40), green);
        QCOMPARE(image.pixel(0, 80), kBlack);
        QCOMPARE(image.pixel(0, 85), green);
        QCOMPARE(image.pixel(0, 125), yellow);
        QCOMPARE(image.pixel(0, 170), kBlack);

        picture.firstEntry = 0; // edit mode shows the front pair too
        paintNext(image, s, picture);
        QCOMPARE(image.pixel(0, 0), red);
        QCOMPARE(image.pixel(0, 85), blue);

        // Two columns of two: the fourth slot is the 2 x 2 pair, the fifth past the queue.
        s.nextColumns = 2;
        s.nextCount = 4;
        picture.firstEntry = 0;
        QImage wide(90, 560, QImage::Format_RGB32);
        paintNext(wide, s, picture);
        QCOMPARE(wide.pixel(50, 0), green);    // entry 2 opens column 1
        QCOMPARE(wide.pixel(50, 104), kBlack); // entry 3 below it: upper quarter empty
        QCOMPARE(wide.pixel(50, 105), red);
        QCOMPARE(wide.pixel(69, 124), red);
        QCOMPARE(wide.pixel(70, 105), blue);
        QCOMPARE(wide.pixel(50, 125), green);
        QCOMPARE(wide.pixel(70, 144), yellow);
        QCOMPARE(wide.pixel(70, 145), kBlack);
        QCOMPARE(countPixels(wide, 0, 90, pixelColour(s.cellColours[8])), 0);

        s.nextCount = 5; // the fifth pair would need a third column
        paintNext(wide, s, picture);
        QCOMPARE(wide.pixel(50, 105), red);
        QCOMPARE(wide.pixel(0, 170), kBlack);
        s.nextColumns = 0;
        paintNext(wide, s, picture);
        QCOMPARE(countPixels(wide, 0, 90, kBlack), 90 * 560);
    }
};

QTEST_MAIN(DrawingTest)
#include "test_drawing.moc"
