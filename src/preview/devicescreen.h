#pragma once
// The phone screen as the device view and `tessaro-cli render` show it large:
// whole-number zoom, and which entry or label lies under a point of it.
#include "model/document.h"
#include "platform/bitmap.h"

namespace tessaro::preview {

class Preview;

constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 6;
// The last screen row the phone shows without scrolling lies above this one.
constexpr int kFold = 200;

// `screen` with every pixel repeated zoom x zoom times. Throws Error when the
// zoom is not 1..6.
platform::Bitmap ZoomScreen(const platform::Bitmap& screen, int zoom);

// The largest zoom (1..6) at which a width x height screen fits into
// areaWidth x areaHeight; 1 when even that does not fit.
int FitZoom(int width, int height, int areaWidth, int areaHeight);

// What lies under screen point (x, y) of the 176 x 220 screen, with the
// preview canvas scrolled to `scroll`.
struct ScreenHit {
    int Entry = -1; // -1: no entry (soft keys, empty rows, outside)
    int Slot = -1;  // -1: the entry's band, not one of its labels
    int CanvasY = 0;
};

// The entry drawn on top at that row (entries later in the layout cover
// earlier ones) and, within it, the label whose cell holds the point (the
// later slot first, as later cells cover earlier ones). Throws as the
// preview's TextCell.
ScreenHit HitTest(Preview& preview, int x, int y);

} // namespace tessaro::preview
