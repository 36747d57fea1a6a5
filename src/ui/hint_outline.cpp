#include "hint_outline.h"

#include "render/drawing.h"
#include "render/geometry.h"

#include <QPainter>

#include <algorithm>

namespace peterin {

void paintHintOutline(QImage& image, const Settings& s,
                      const std::vector<analysis::LandedBlob>& blobs) {
    if (blobs.empty()) {
        return;
    }
    const FieldMapping map(s);
    QPainter painter(&image);
    const int thick = std::max(2, std::min(map.cellWidth(), map.cellHeight()) / 8);
    for (const analysis::LandedBlob& blob : blobs) {
        const PixelRect box = map.cellRect(blob.x, blob.r);
        const QRect cell(box.left, box.top, box.width, box.height);
        const auto code = static_cast<std::size_t>(blob.kind);
        const std::uint32_t colour = code < s.cellColours.size() ? s.cellColours[code] : 0;
        // A dark edge inside the coloured one keeps the outline visible on any background.
        painter.setBrush(Qt::NoBrush);
        QPen pen(QColor(pixelColour(colour)), thick);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        const int half = thick / 2;
        painter.drawRect(cell.adjusted(half, half, -half - 1, -half - 1));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(cell.adjusted(thick, thick, -thick - 1, -thick - 1));
    }
}

} // namespace peterin
