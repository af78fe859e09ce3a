#pragma once
// A 32-bit bitmap. Pixels are held as 0xFFRRGGBB words (the layout QImage's
// Format_RGB32 uses, so the raster layer can draw on the buffer in place);
// the interface speaks the document's 0x00BBGGRR colours.
#include <cstdint>
#include <vector>

#include "model/document.h"

namespace tessaro::platform {

using model::Color;

constexpr std::uint32_t ToNative(Color c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr Color FromNative(std::uint32_t p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
constexpr int RedOf(Color c) { return c & 0xFF; }
constexpr int GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Color c) { return (c >> 16) & 0xFF; }
constexpr Color Rgb(int r, int g, int b) {
    return Color(r & 0xFF) | (Color(g & 0xFF) << 8) | (Color(b & 0xFF) << 16);
}

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Color fill = 0xFFFFFF)
        : w_(width > 0 ? width : 0), h_(height > 0 ? height : 0),
          px_(std::size_t(w_) * std::size_t(h_), ToNative(fill)) {}

    int Width() const { return w_; }
    int Height() const { return h_; }
    bool Empty() const { return px_.empty(); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

    // Pixel read; outside the bitmap reads as 0 (black), as the platform does
    // for a failed read.
    Color Pixel(int x, int y) const { return Contains(x, y) ? FromNative(px_[Index(x, y)]) : 0; }
    // Pixel write; outside the bitmap is ignored.
    void SetPixel(int x, int y, Color c) {
        if (Contains(x, y)) px_[Index(x, y)] = ToNative(c);
    }

    // Changes the size; the overlapping area keeps its pixels, new area is white.
    void Resize(int width, int height);

    std::uint32_t* Data() { return px_.data(); }
    const std::uint32_t* Data() const { return px_.data(); }
    std::uint32_t* Row(int y) { return px_.data() + std::size_t(y) * std::size_t(w_); }
    const std::uint32_t* Row(int y) const { return px_.data() + std::size_t(y) * std::size_t(w_); }

    bool operator==(const Bitmap&) const = default;

private:
    std::size_t Index(int x, int y) const { return std::size_t(y) * std::size_t(w_) + std::size_t(x); }
    int w_ = 0;
    int h_ = 0;
    std::vector<std::uint32_t> px_;
};

inline void Bitmap::Resize(int width, int height) {
    Bitmap n(width, height);
    for (int y = 0; y < h_ && y < n.h_; ++y)
        for (int x = 0; x < w_ && x < n.w_; ++x) n.px_[n.Index(x, y)] = px_[Index(x, y)];
    *this = std::move(n);
}

} // namespace tessaro::platform
