#include "render/views_picture.h"

#include "play/temp_store.h"
#include "render/geometry.h"
#include "render/pictures.h"

#include <QColor>

#include <algorithm>
#include <cstring>

namespace peterin {

bool PlayerViewsState::sameAs(const PlayerViewsState& other) const {
    return field.width == other.field.width && field.height == other.field.height &&
           field.limboRows == other.field.limboRows && field.cells == other.field.cells &&
           phase == other.phase && pair == other.pair && landingMarks == other.landingMarks &&
           cursor == other.cursor && editKind == other.editKind && firstEntry == other.firstEntry &&
           queue == other.queue && pendingNuisance == other.pendingNuisance;
}

void captureViews(const Game& game, int player, PlayerViewsState& state) {
    const FieldPicture picture = fieldPictureOf(game, player);
    if (picture.field != nullptr) {
        const Field& field = *picture.field;
        state.field.width = field.width;
        state.field.height = field.height;
        state.field.limboRows = field.limboRows;
        state.field.cells.assign(field.cells.begin(), field.cells.end());
    } else {
        state.field.cells.clear();
    }
    state.phase = picture.phase;
    state.pair = picture.pair;
    state.landingMarks = picture.landingMarks;
    state.cursor = picture.cursor;
    state.editKind = picture.editKind;

    const NextPicture next = nextPictureOf(game, player);
    state.firstEntry = next.firstEntry;
    state.queue.resize(static_cast<std::size_t>(std::max(next.queueLength, 0)));
    for (int entry = 0; entry < next.queueLength; ++entry)
        state.queue[static_cast<std::size_t>(entry)] = next.slotsOf(entry);
    state.pendingNuisance = warningOf(game, player);
}

int shownPlayerCount(const Game& game) {
    return game.mode == Mode::Battle ? kPlayerCount : 1;
}

QImage clientBackground(const Game& game) {
    const Settings& s = game.settings;
    QImage image(mainClientWidth(s, game.mode == Mode::Battle), mainClientHeight(s),
                 QImage::Format_RGB32);
    const std::uint32_t colour = tempIsShowing(game) ? s.savedIdColour : s.backgroundColour;
    image.fill(QColor(pixelColour(colour)));
    return image;
}

namespace {

// A view's picture is made as its back buffer is: black, then drawn over whole.
QImage viewBuffer(const PixelRect& rect) {
    QImage buffer(std::max(rect.width, 1), std::max(rect.height, 1), QImage::Format_RGB32);
    buffer.fill(Qt::black);
    return buffer;
}

// Copies a view's buffer to its place, clipped to the client area as the window clips it.
void place(QImage& client, const QImage& view, const PixelRect& rect) {
    const int x0 = std::max(rect.left, 0);
    const int x1 = std::min(rect.left + rect.width, client.width());
    const int y0 = std::max(rect.top, 0);
    const int y1 = std::min(rect.top + rect.height, client.height());
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int y = y0; y < y1; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(view.constScanLine(y - rect.top));
        auto* to = reinterpret_cast<QRgb*>(client.scanLine(y));
        std::memcpy(to + x0, from + (x0 - rect.left),
                    static_cast<std::size_t>(x1 - x0) * sizeof(QRgb));
    }
}

} // namespace

void drawPlayerViews(QImage& client, const Settings& s, int player, const PlayerViewsState& state) {
    const PixelRect fieldRect = fieldViewRect(s, player);
    QImage field = viewBuffer(fieldRect);
    FieldPicture picture;
    picture.field = state.field.hasCells() ? &state.field : nullptr;
    picture.phase = state.phase;
    picture.pair = state.pair;
    picture.landingMarks = state.landingMarks;
    picture.cursor = state.cursor;
    picture.editKind = state.editKind;
    paintField(field, s, picture);
    place(client, field, fieldRect);

    const PixelRect nextRect = nextViewRect(s, player);
    QImage next = viewBuffer(nextRect);
    NextPicture coming;
    coming.firstEntry = state.firstEntry;
    coming.queueLength = static_cast<int>(state.queue.size());
    coming.slotsOf = [&state](int entry) { return state.queue[static_cast<std::size_t>(entry)]; };
    paintNext(next, s, coming);
    place(client, next, nextRect);

    const PixelRect warningRect = warningViewRect(s, player);
    QImage warning = viewBuffer(warningRect);
    paintWarning(warning, state.pendingNuisance);
    place(client, warning, warningRect);
}

QImage viewsImage(const Game& game) {
    QImage client = clientBackground(game);
    PlayerViewsState state;
    for (int p = 0; p < shownPlayerCount(game); ++p) {
        captureViews(game, p, state);
        drawPlayerViews(client, game.settings, p, state);
    }
    return client;
}

} // namespace peterin
