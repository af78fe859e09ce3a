#include "preview/devicescreen.h"

#include <algorithm>
#include <string>

#include "model/error.h"
#include "preview/preview.h"

namespace tessaro::preview {

platform::Bitmap ZoomScreen(const platform::Bitmap& screen, int zoom) {
    if (zoom < kMinZoom || zoom > kMaxZoom)
        throw Error("The zoom must be a whole number from " + std::to_string(kMinZoom) + " to " +
                    std::to_string(kMaxZoom) + ", not " + std::to_string(zoom) + ".");
    platform::Bitmap out(screen.Width() * zoom, screen.Height() * zoom);
    for (int y = 0; y < screen.Height(); ++y) {
        const std::uint32_t* in = screen.Row(y);
        std::uint32_t* first = out.Row(y * zoom);
        for (int x = 0; x < screen.Width(); ++x)
            std::fill_n(first + x * zoom, zoom, in[x]);
        for (int r = 1; r < zoom; ++r)
            std::copy_n(first, out.Width(), out.Row(y * zoom + r));
    }
    return out;
}

int FitZoom(int width, int height, int areaWidth, int areaHeight) {
    if (width <= 0 || height <= 0)
        return kMinZoom;
    const int z = std::min(areaWidth / width, areaHeight / height);
    return std::clamp(z, kMinZoom, kMaxZoom);
}

ScreenHit HitTest(Preview& preview, int x, int y) {
    ScreenHit hit;
    if (x < 0 || x >= kWidth || y < 0 || y >= kViewHeight)
        return hit;
    model::Document& doc = preview.Doc();
    hit.CanvasY = preview.ScrollBar1.Position + y;
    for (int i = model::CountEntries(doc) - 1; i >= 0 && hit.Entry < 0; --i) {
        const model::TPlugins& e = doc.Plugins[std::size_t(i)];
        if (hit.CanvasY >= e.Top &&
            (long long)hit.CanvasY < (long long)e.Top + std::max(e.Height, 1))
            hit.Entry = i;
    }
    if (hit.Entry < 0)
        return hit;
    const int ey = hit.CanvasY - doc.Plugins[std::size_t(hit.Entry)].Top;
    for (int s = 2; s >= 0; --s) {
        Preview::Cell c;
        if (!preview.TextCell(hit.Entry, s, c))
            continue;
        if (x >= c.X && (long long)x < (long long)c.X + c.Width && ey >= c.Y &&
            (long long)ey < (long long)c.Y + c.Height) {
            hit.Slot = s;
            break;
        }
    }
    return hit;
}

} // namespace tessaro::preview
