#pragma once
// Drawing on a Bitmap with the platform's (GDI) pixel rules:
// - rectangles: right and bottom edges are exclusive; the outline is drawn by
//   the pen inside the rectangle, the inside is filled with the brush;
// - lines leave out their end point;
// - copies clip to both bitmaps; a copy between rectangles of different
//   sizes stretches by nearest neighbour (source x = sl + (x - dl) * sw / dw,
//   integer division, likewise for y).
// All coordinates are pixels, origin top-left, y downwards; anything outside
// the target bitmap is clipped, never an error.
#include <string_view>

#include "platform/bitmap.h"

namespace tessaro::platform {

class TextEngine;

struct Pen {
    Color Colour = 0;
    int Width = 1; // 1..10 are drawn as such; <1 draws as 1, >10 as 10
};

struct Brush {
    bool Clear = false;     // clear: nothing is filled
    Color Colour = 0xFFFFFF;
};

struct TextFont {
    std::string_view Face = "Nina"; // "Nina" or "Arial"
    int Height = 0;                 // as FontSet::Get
    bool Bold = false;
    Color Colour = 0;
};

// Fills [left, right) x [top, bottom) with `c`.
void FillRect(Bitmap& bmp, int left, int top, int right, int bottom, Color c);

// GDI Rectangle: the pen's outline on the rectangle's inner edge (a pen of
// width w covers w pixels inward from each side), brush inside. A clear brush
// leaves the inside untouched.
void Rectangle(Bitmap& bmp, int left, int top, int right, int bottom, const Pen& pen,
               const Brush& brush);

// A line from (x0, y0) towards (x1, y1), the end point left out. Width 1 is an
// exact Bresenham line (the pixels a DDA stepping along the major axis
// reaches, rounding halves up). A wider pen paints a square of side Width
// centred on each pixel of that line (flat, square-ish caps, never past the
// end point by more than Width / 2).
void Line(Bitmap& bmp, int x0, int y0, int x1, int y1, const Pen& pen);

// Copies src's rectangle [sl, sr) x [st, sb) onto dst's [dl, dr) x [dt, db),
// stretching when the sizes differ. Source pixels outside src read as black.
void CopyRect(Bitmap& dst, int dl, int dt, int dr, int db, const Bitmap& src, int sl, int st,
              int sr, int sb);

// Same, but source pixels of colour `key` are not drawn (dst keeps its pixel).
void CopyRectKeyed(Bitmap& dst, int dl, int dt, int dr, int db, const Bitmap& src, int sl,
                   int st, int sr, int sb, Color key);

// Same, but source pixels of colour `key` are replaced by `replacement`
// (the platform's brush copy).
void CopyRectReplacing(Bitmap& dst, int dl, int dt, int dr, int db, const Bitmap& src, int sl,
                       int st, int sr, int sb, Color key, Color replacement);

// Copies whole rows: src rows [srcTop, srcTop + rows) onto dst rows
// [dstTop, ...), the overlapping width only.
void CopyRows(Bitmap& dst, int dstTop, const Bitmap& src, int srcTop, int rows);

// Text (UTF-8) with the top-left of its cell at (x, y), no antialiasing,
// glyphs in font.Colour. An opaque brush fills the cell (text width x cell
// height) first; a clear brush leaves it. Throws Error from the text engine
// (missing font file, unknown face, a program without fonts).
void TextOut(Bitmap& bmp, TextEngine& fonts, int x, int y, std::string_view utf8,
             const TextFont& font, const Brush& brush);

// Advance width in pixels of the text in `font`.
int TextWidth(TextEngine& fonts, std::string_view utf8, const TextFont& font);

// Nearest integer of num / den (den > 0), halves to the even neighbour. The
// renderers' ratios of whole numbers go through this so that exact halves
// are decided without floating-point error.
int RoundRatio(long long num, long long den);

} // namespace tessaro::platform
