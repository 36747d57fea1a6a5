#pragma once

#include <QImage>
#include <QSize>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace peterin {

// Draws picture `index` of an animation into `image`, which has the animation's size and
// RGB32 format; every pixel must be drawn.
using FrameDrawer = std::function<void(int index, QImage& image)>;

// The delay unit of a GIF frame: a hundredth of a second, one 10 ms tick of the game.
inline constexpr int kGifTicksPerSecond = 100;

// Encodes a looping animation of delays.size() pictures, picture i shown for delays[i]
// hundredths of a second. The colours go exactly into one global palette (no dithering); a
// picture equal to the one before only lengthens its delay, and every frame after the first
// holds only the rectangle that changed. The pictures are drawn twice (once to find the colours
// and rectangles, once to write them), so no more than two are held at a time.
// Returns the file's bytes, or nothing with `error` set when the pictures use more than 256
// colours or the encoder fails.
std::optional<std::string> encodeGif(QSize size, const std::vector<int>& delays,
                                     const FrameDrawer& draw, std::string& error);

} // namespace peterin
