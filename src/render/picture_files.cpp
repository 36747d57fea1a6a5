#include "render/picture_files.h"

#include "render/gif_writer.h"
#include "storage/atomic_write.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <set>

namespace peterin {

TurnAnimation turnAnimation(const Game& game, const LastTurns& turns) {
    const int shown = shownPlayerCount(game);
    // The tick at which each recorded picture appears, per player.
    std::array<std::vector<int>, kPlayerCount> starts;
    std::set<int> changes;
    for (int p = 0; p < shown; ++p) {
        const TurnRecording* turn = turns[static_cast<std::size_t>(p)];
        if (turn == nullptr)
            continue;
        int tick = 0;
        for (std::size_t k = 0; k < turn->pictures.size(); ++k) {
            starts[static_cast<std::size_t>(p)].push_back(tick);
            changes.insert(tick);
            tick += turn->ticks[k];
        }
    }
    TurnAnimation animation;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        const auto next = std::next(it);
        animation.delays.push_back(next == changes.end() ? kGifTicksPerSecond : *next - *it);
        std::array<int, kPlayerCount> pictures{};
        pictures.fill(-1);
        for (int p = 0; p < shown; ++p) {
            const std::vector<int>& s = starts[static_cast<std::size_t>(p)];
            if (!s.empty())
                pictures[static_cast<std::size_t>(p)] =
                    static_cast<int>(std::upper_bound(s.begin(), s.end(), *it) - s.begin()) - 1;
        }
        animation.pictureOf.push_back(pictures);
    }
    return animation;
}

std::optional<std::string> encodeViewsPng(const Game& game) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!viewsImage(game).save(&buffer, "PNG"))
        return std::nullopt;
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<std::string> saveViewsPng(const Game& game, const std::string& path) {
    const auto bytes = encodeViewsPng(game);
    if (!bytes)
        return "the picture could not be encoded";
    return replaceFile(path, *bytes);
}

std::optional<std::string> encodeTurnGif(const Game& game, const LastTurns& turns,
                                         std::string& error) {
    const TurnAnimation animation = turnAnimation(game, turns);
    if (animation.delays.empty()) {
        error = "no turn has been played";
        return std::nullopt;
    }
    const int shown = shownPlayerCount(game);
    // Players without a turn show their views as they are now.
    std::array<PlayerViewsState, kPlayerCount> now;
    for (int p = 0; p < shown; ++p)
        captureViews(game, p, now[static_cast<std::size_t>(p)]);
    const QImage background = clientBackground(game);
    const auto draw = [&](int index, QImage& image) {
        image = background.copy();
        for (int p = 0; p < shown; ++p) {
            const auto i = static_cast<std::size_t>(p);
            const int picture = animation.pictureOf[static_cast<std::size_t>(index)][i];
            drawPlayerViews(image, game.settings, p,
                            picture < 0 ? now[i]
                                        : turns[i]->pictures[static_cast<std::size_t>(picture)]);
        }
    };
    return encodeGif(background.size(), animation.delays, draw, error);
}

std::optional<std::string> saveTurnGif(const Game& game, const LastTurns& turns,
                                       const std::string& path) {
    std::string error;
    const auto bytes = encodeTurnGif(game, turns, error);
    if (!bytes)
        return error;
    return replaceFile(path, *bytes);
}

} // namespace peterin
