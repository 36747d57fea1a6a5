#include "render/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace peterin {

namespace {

// A frame to write: the picture it shows, its changed rectangle and how long it stays.
struct PlannedFrame {
    int index;
    QRect rect;
    int delay;
};

// The palette as it grows: colours in order of first sight, with a one-entry cache because the
// pictures are runs of few colours.
class Palette {
  public:
    // The colour's index, added when new; -1 when the palette is full.
    int indexOf(QRgb colour) {
        colour |= 0xFF000000u;
        if (colour == lastColour_)
            return lastIndex_;
        const auto it = std::find(colours_.begin(), colours_.end(), colour);
        int index = static_cast<int>(it - colours_.begin());
        if (it == colours_.end()) {
            if (colours_.size() == 256)
                return -1;
            colours_.push_back(colour);
        }
        lastColour_ = colour;
        lastIndex_ = index;
        return index;
    }
    const std::vector<QRgb>& colours() const { return colours_; }

  private:
    std::vector<QRgb> colours_;
    QRgb lastColour_ = 0;
    int lastIndex_ = -1;
};

// The smallest rectangle holding every pixel where the two pictures differ; empty when none.
QRect changedRect(const QImage& before, const QImage& after) {
    const int width = after.width();
    const std::size_t lineBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
    int top = -1;
    int bottom = -1;
    int left = width;
    int right = -1;
    for (int y = 0; y < after.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        if (std::memcmp(a, b, lineBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x = 0;
        while (a[x] == b[x])
            ++x;
        left = std::min(left, x);
        x = width - 1;
        while (a[x] == b[x])
            --x;
        right = std::max(right, x);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

bool collectColours(Palette& palette, const QImage& image, const QRect& rect) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (palette.indexOf(line[x]) < 0)
                return false;
    }
    return true;
}

int writeToString(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    return length;
}

class GifFile {
  public:
    explicit GifFile(std::string& out) { gif_ = EGifOpen(&out, writeToString, &error_); }
    ~GifFile() {
        if (gif_ != nullptr)
            EGifCloseFile(gif_, nullptr);
    }
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;

    GifFileType* get() const { return gif_; }
    // Ends the file; false when the last bytes could not be written.
    bool close() {
        GifFileType* gif = gif_;
        gif_ = nullptr;
        return EGifCloseFile(gif, &error_) == GIF_OK;
    }
    std::string errorText() const {
        const int code = gif_ != nullptr && gif_->Error != 0 ? gif_->Error : error_;
        const char* text = GifErrorString(code);
        return text != nullptr ? text : "GIF error " + std::to_string(code);
    }

  private:
    GifFileType* gif_ = nullptr;
    int error_ = 0;
};

int bitsFor(std::size_t colours) {
    int bits = 1;
    while ((std::size_t{1} << bits) < colours)
        ++bits;
    return bits;
}

// Writes the file; false when giflib refused something.
bool writeFrames(GifFile& file, QSize size, const std::vector<QRgb>& colours,
                 const std::vector<PlannedFrame>& frames, const FrameDrawer& draw) {
    GifFileType* gif = file.get();
    const int bits = bitsFor(colours.size());
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    if (map == nullptr)
        return false;
    for (std::size_t i = 0; i < colours.size(); ++i)
        map->Colors[i] = {static_cast<GifByteType>(qRed(colours[i])),
                          static_cast<GifByteType>(qGreen(colours[i])),
                          static_cast<GifByteType>(qBlue(colours[i]))};
    EGifSetGifVersion(gif, true);
    const bool described =
        EGifPutScreenDesc(gif, size.width(), size.height(), bits, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!described)
        return false;

    // Loop for ever.
    static const GifByteType kLoopName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoopForever[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif, sizeof kLoopName, kLoopName) != GIF_OK ||
        EGifPutExtensionBlock(gif, sizeof kLoopForever, kLoopForever) != GIF_OK ||
        EGifPutExtensionTrailer(gif) != GIF_OK)
        return false;

    Palette palette;
    for (QRgb colour : colours)
        palette.indexOf(colour);
    QImage image(size, QImage::Format_RGB32);
    std::vector<GifPixelType> line(static_cast<std::size_t>(size.width()));
    for (const PlannedFrame& frame : frames) {
        draw(frame.index, image);
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT; // the next frame draws over this one
        control.UserInputFlag = false;
        control.DelayTime = frame.delay;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) != GIF_OK ||
            EGifPutImageDesc(gif, frame.rect.left(), frame.rect.top(), frame.rect.width(),
                             frame.rect.height(), false, nullptr) != GIF_OK)
            return false;
        for (int y = frame.rect.top(); y <= frame.rect.bottom(); ++y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = frame.rect.left(); x <= frame.rect.right(); ++x)
                line[static_cast<std::size_t>(x - frame.rect.left())] =
                    static_cast<GifPixelType>(palette.indexOf(pixels[x]));
            if (EGifPutLine(gif, line.data(), frame.rect.width()) != GIF_OK)
                return false;
        }
    }
    return true;
}

} // namespace

std::optional<std::string> encodeGif(QSize size, const std::vector<int>& delays,
                                     const FrameDrawer& draw, std::string& error) {
    if (size.isEmpty() || delays.empty()) {
        error = "nothing to draw";
        return std::nullopt;
    }
    constexpr int kMaxDelay = std::numeric_limits<std::uint16_t>::max();

    // First pass: the frames that differ, their rectangles and every colour they use.
    std::vector<PlannedFrame> frames;
    Palette palette;
    QImage before(size, QImage::Format_RGB32);
    QImage now(size, QImage::Format_RGB32);
    for (int i = 0; i < static_cast<int>(delays.size()); ++i) {
        draw(i, now);
        const int delay = delays[static_cast<std::size_t>(i)];
        QRect rect = i == 0 ? now.rect() : changedRect(before, now);
        if (rect.isEmpty()) {
            frames.back().delay = std::min(frames.back().delay + delay, kMaxDelay);
            continue;
        }
        if (!collectColours(palette, now, rect)) {
            error = "the pictures use more than 256 colours";
            return std::nullopt;
        }
        frames.push_back({i, rect, std::min(delay, kMaxDelay)});
        std::swap(before, now);
    }

    // Second pass: draw each written frame again and write its rectangle.
    std::string out;
    GifFile file(out);
    if (file.get() == nullptr || !writeFrames(file, size, palette.colours(), frames, draw)) {
        error = file.errorText();
        return std::nullopt;
    }
    if (!file.close()) {
        error = file.errorText();
        return std::nullopt;
    }
    return out;
}

} // namespace peterin
