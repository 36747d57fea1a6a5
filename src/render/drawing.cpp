#include "render/drawing.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace peterin {

QRgb pixelColour(std::uint32_t colourRef) {
    return qRgb(static_cast<int>(colourRef & 0xFF), static_cast<int>((colourRef >> 8) & 0xFF),
                static_cast<int>((colourRef >> 16) & 0xFF));
}

std::uint32_t blend(int opacity, std::uint32_t a, std::uint32_t b) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        const int c = ca * opacity / 100 + cb * (100 - opacity) / 100;
        result |= static_cast<std::uint32_t>(c & 0xFF) << shift;
    }
    return result;
}

void rectangle(QImage& image, int left, int top, int right, int bottom, std::uint32_t colourRef) {
    // The outline-less rectangle covers its left and top edges but not its right and bottom
    // ones, and one more pixel is lost on each of those sides.
    const int x0 = std::max(left, 0);
    const int y0 = std::max(top, 0);
    const int x1 = std::min(right - 1, image.width());
    const int y1 = std::min(bottom - 1, image.height());
    if (x0 >= x1 || y0 >= y1)
        return;
    const QRgb pixel = pixelColour(colourRef);
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + x1, pixel);
    }
}

void fillBox(QImage& image, std::uint32_t colourRef, int left, int top, int w, int h) {
    rectangle(image, left, top, left + w + 1, top + h + 1, colourRef);
}

namespace {

std::uint32_t kindColour(const Settings& s, CellKind kind) {
    const auto code = static_cast<std::size_t>(kind);
    return code < s.cellColours.size() ? s.cellColours[code] : s.cellColours[0];
}

void fillCell(QImage& image, const FieldMapping& map, int column, int row, std::uint32_t colour) {
    const PixelRect box = map.cellRect(column, row);
    fillBox(image, colour, box.left, box.top, box.width, box.height);
}

void drawBandRow(QImage& image, const Settings& s, const FieldMapping& map, const Field& field,
                 int row, std::uint32_t blobColour, std::uint32_t emptyColour) {
    for (int x = 0; x < field.width; ++x) {
        const CellKind kind = getCell(field, x, row);
        const std::uint32_t colour =
            kind == CellKind::Empty
                ? blend(s.emptyOpacity, kindColour(s, CellKind::Empty), emptyColour)
                : blend(s.opacity, kindColour(s, kind), blobColour);
        fillCell(image, map, x, row, colour);
    }
}

// A centred hole of pct percent of the cell.
void drawBlank(QImage& image, const Settings& s, const FieldMapping& map, int pct, int x, int r) {
    const int w = map.cellWidth();
    const int h = map.cellHeight();
    const int left = x * w + w / 2 - pct * w / 200;
    const int top = (r + map.bands()) * h + h / 2 - pct * h / 200;
    rectangle(image, left, top, left + pct * w / 100 + 1, top + pct * h / 100 + 1,
              kindColour(s, CellKind::Empty));
}

void drawMark(QImage& image, const FieldMapping& map, int column, int row, std::uint32_t colour) {
    const int w = map.cellWidth();
    const int h = map.cellHeight();
    const int e = std::max(w * 10 / 100, 1);
    const int f = std::max(h * 10 / 100, 1);
    const int left = column * w + w / 2 - e / 2;
    const int top = (row + map.bands()) * h + h / 2 - f / 2;
    rectangle(image, left, top, left + e + 1, top + f + 1, colour);
}

void drawPair(QImage& image, const Settings& s, const FieldMapping& map, const Field& field,
              const PairPicture& pair, bool marks) {
    // One running mark row per pair column; each blob's mark stacks on the one below it.
    std::array<std::optional<int>, 3> markRow{};
    for (int dy = 1; dy >= -1; --dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const CellKind kind = pair.cells[static_cast<std::size_t>(3 * (dx + 1) + (dy + 1))];
            if (kind == CellKind::Empty)
                continue;
            const int column = pair.x + dx;
            const std::uint32_t colour = kindColour(s, kind);
            fillCell(image, map, column, pair.row + dy, colour);
            if (!marks)
                continue;
            std::optional<int>& mark = markRow[static_cast<std::size_t>(dx + 1)];
            if (!mark) {
                int r = pair.row + dy + 1;
                while (r < field.height && getCell(field, column, r) == CellKind::Empty)
                    ++r;
                mark = std::min(r, static_cast<int>(field.height));
                if (getCell(field, column, *mark - 1) == CellKind::Empty) {
                    *mark -= 1;
                    drawMark(image, map, column, *mark, colour);
                }
            } else {
                *mark -= 1;
                drawMark(image, map, column, *mark, colour);
            }
        }
    }
}

void drawCursor(QImage& image, const Settings& s, const FieldMapping& map, CellPos cell,
                CellKind kind) {
    const int w = map.cellWidth();
    const int h = map.cellHeight();
    const int pen = s.penSize;
    const int marginW = static_cast<int>(w * (100 - pen) * 0.01);
    const int marginH = static_cast<int>(h * (100 - pen) * 0.01);
    const int left = cell.column * w + marginW / 2;
    const int top = (cell.row + map.bands()) * h + marginH / 2;
    const int right = left + static_cast<int>(w * pen * 0.01) + 1;
    const int bottom = top + static_cast<int>(h * pen * 0.01) + 1;
    rectangle(image, left, top, right, bottom, kindColour(s, kind));
}

} // namespace

void paintField(QImage& image, const Settings& s, const FieldPicture& picture) {
    if (picture.field == nullptr)
        return;
    const Field& field = *picture.field;
    const FieldMapping map(s);
    const int bands = map.bands();

    if (s.showHeaven)
        drawBandRow(image, s, map, field, -bands, s.heavenColour, s.heavenEmptyColour);
    if (s.showLimbo)
        drawBandRow(image, s, map, field, -1, s.limboColour, s.limboEmptyColour);

    const int blankPct = picture.phase == 2 ? s.linkBlank : picture.phase == 3 ? s.vanishBlank : -1;
    for (int r = 0; r < field.height; ++r) {
        for (int x = 0; x < field.width; ++x) {
            const Cell& cell = field.at(x, r);
            fillCell(image, map, x, r, kindColour(s, cell.kind));
            if (blankPct >= 0 && isColour(cell.kind) && cell.groupSize >= s.vanishCount)
                drawBlank(image, s, map, blankPct, x, r);
        }
    }

    if (picture.pair)
        drawPair(image, s, map, field, *picture.pair, picture.landingMarks);
    if (picture.cursor)
        drawCursor(image, s, map, *picture.cursor, picture.editKind);
}

void paintNext(QImage& image, const Settings& s, const NextPicture& picture) {
    image.fill(Qt::black);
    if (s.nextColumns <= 0 || s.nextRows <= 0)
        return;
    const int nw = s.nextCellWidth;
    const int nh = s.nextCellHeight;
    const int count = std::max(s.nextCount, 1);
    int entry = picture.firstEntry;
    int drawn = 0;
    for (int j = 0; j < s.nextColumns; ++j) {
        for (int k = 0; k < s.nextRows; ++k) {
            if (drawn == count)
                return;
            PairSlots pairSlots{};
            if (entry < picture.queueLength && picture.slotsOf)
                pairSlots = picture.slotsOf(entry);
            const int left = j * (nw + 10);
            const int t1 = k * (2 * nh + 5);
            const int t2 = t1 + nh;
            if (pairSlots[1] == CellKind::Empty && pairSlots[3] == CellKind::Empty) {
                fillBox(image, kindColour(s, pairSlots[0]), left, t1, nw, nh);
                fillBox(image, kindColour(s, pairSlots[2]), left, t2, nw, nh);
            } else {
                // Pairs of more than two blobs are shown as their 2 x 2 block at half size.
                fillBox(image, kindColour(s, CellKind::Empty), left, t1, nw, nh);
                fillBox(image, kindColour(s, CellKind::Empty), left, t2, nw, nh);
                const int hw = nw / 2;
                const int hh = nh / 2;
                const int m = t1 + hh;
                rectangle(image, left, m, left + hw + 1, m + hh + 1, kindColour(s, pairSlots[0]));
                rectangle(image, left + hw, m, left + 2 * hw + 1, m + hh + 1,
                          kindColour(s, pairSlots[1]));
                rectangle(image, left, t2, left + hw + 1, t2 + hh + 1, kindColour(s, pairSlots[2]));
                rectangle(image, left + hw, t2, left + 2 * hw + 1, t2 + hh + 1,
                          kindColour(s, pairSlots[3]));
            }
            ++entry;
            ++drawn;
        }
    }
}

namespace {

struct WarningUnit {
    int amount;
    const char* text; // UTF-8, or nullptr for a square
    std::uint32_t colour;
    int fontWidth;  // average character width of the symbol's font
    int squareSize; // side of the square (for squares)
    int advance;
};

constexpr std::array<WarningUnit, 6> kWarningUnits = {{
    {720, "王", 0x00FFFF, 12, 0, 25},
    {360, "月", 0x96FAFA, 12, 0, 25},
    {180, "★", 0x00FFFF, 8, 0, 25},
    {30, nullptr, 0x000096, 0, 20, 25},
    {6, nullptr, 0x969696, 0, 20, 23},
    {1, nullptr, 0x969696, 0, 10, 12},
}};

// The symbols are full-width characters, twice the font's average character width.
constexpr int kSymbolPixelHeight = 20;
constexpr int kSymbolBaseline = 5 + kSymbolPixelHeight - 2;

void drawSymbolText(QPainter& painter, const WarningUnit& unit, int x) {
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(kSymbolPixelHeight);
    font.setStretch(2 * unit.fontWidth * 100 / kSymbolPixelHeight);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(QColor(pixelColour(unit.colour)));
    // The symbol stands on the baseline that puts its em box over the squares' rows 5 to 24.
    painter.drawText(QPoint(x, kSymbolBaseline), QString::fromUtf8(unit.text));
}

} // namespace

void paintWarning(QImage& image, int pendingNuisance) {
    image.fill(Qt::black);
    int a = pendingNuisance;
    int x = 0;
    std::optional<QPainter> painter; // made only when a text symbol is due
    for (const WarningUnit& unit : kWarningUnits) {
        if (unit.text == nullptr)
            painter.reset(); // the squares are written straight into the pixels
        const int n = a / unit.amount;
        for (int i = 0; i < n; ++i) {
            if (x >= image.width())
                return; // everything further lies beyond the right edge
            if (unit.text != nullptr) {
                if (!painter)
                    painter.emplace(&image);
                drawSymbolText(*painter, unit, x);
            } else {
                rectangle(image, x, 5, x + unit.squareSize + 1, 5 + unit.squareSize + 1,
                          unit.colour);
            }
            x += unit.advance;
            a -= unit.amount;
        }
    }
}

} // namespace peterin
