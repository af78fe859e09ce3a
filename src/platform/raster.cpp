#include "platform/raster.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/textengine.h"

namespace tessaro::platform {

namespace {

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

template <class Put>
void StretchCopy(Bitmap& dst, int dl, int dt, int dr, int db, const Bitmap& src, int sl, int st,
                 int sr, int sb, Put put) {
    const long long dw = (long long)dr - dl, dh = (long long)db - dt;
    const long long sw = (long long)sr - sl, sh = (long long)sb - st;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    const int x0 = std::max(dl, 0), x1 = int(std::min<long long>(dr, dst.Width()));
    const int y0 = std::max(dt, 0), y1 = int(std::min<long long>(db, dst.Height()));
    if (dw == sw && dh == sh) {
        // Unscaled: column x reads source column x + shift, so each row is one
        // run of source pixels with black beyond the source's edges.
        const long long shift = (long long)sl - dl;
        if (x0 >= x1) return;
        const long long lo = std::clamp<long long>(-shift, x0, x1);              // first x inside
        const long long hi = std::clamp<long long>(src.Width() - shift, lo, x1); // first x beyond
        const std::uint32_t black = ToNative(0x000000);
        for (int y = y0; y < y1; ++y) {
            const long long sy = (long long)st + (y - (long long)dt);
            std::uint32_t* out = dst.Row(y);
            if (sy < 0 || sy >= src.Height()) {
                for (int x = x0; x < x1; ++x) put(out[x], black);
                continue;
            }
            const std::uint32_t* in = src.Row(int(sy));
            for (long long x = x0; x < lo; ++x) put(out[x], black);
            for (long long x = lo; x < hi; ++x) put(out[x], in[x + shift]);
            for (long long x = hi; x < x1; ++x) put(out[x], black);
        }
        return;
    }
    for (int y = y0; y < y1; ++y) {
        const long long sy = st + (y - (long long)dt) * sh / dh;
        const bool rowInside = sy >= 0 && sy < src.Height();
        std::uint32_t* out = dst.Row(y);
        const std::uint32_t* in = rowInside ? src.Row(int(sy)) : nullptr;
        for (int x = x0; x < x1; ++x) {
            const long long sx = sl + (x - (long long)dl) * sw / dw;
            const std::uint32_t p =
                (in && sx >= 0 && sx < src.Width()) ? in[sx] : ToNative(0x000000);
            put(out[x], p);
        }
    }
}

void PutSquare(Bitmap& bmp, int cx, int cy, int w, std::uint32_t c) {
    if (w <= 1) {
        if (bmp.Contains(cx, cy)) bmp.Row(cy)[cx] = c;
        return;
    }
    const int lo = -(w - 1) / 2;
    const int x0 = std::max(cx + lo, 0), x1 = std::min(cx + lo + w, bmp.Width());
    const int y0 = std::max(cy + lo, 0), y1 = std::min(cy + lo + w, bmp.Height());
    for (int y = y0; y < y1; ++y) {
        std::uint32_t* row = bmp.Row(y);
        for (int x = x0; x < x1; ++x) row[x] = c;
    }
}

} // namespace

int RoundRatio(long long num, long long den) {
    const long long q = FloorDiv(num, den);
    const long long r2 = 2 * (num - q * den);
    if (r2 > den) return int(q + 1);
    if (r2 < den) return int(q);
    return int((q & 1) ? q + 1 : q);
}

void FillRect(Bitmap& bmp, int left, int top, int right, int bottom, Color c) {
    const int x0 = std::max(left, 0), x1 = std::min(right, bmp.Width());
    const int y0 = std::max(top, 0), y1 = std::min(bottom, bmp.Height());
    if (x0 >= x1 || y0 >= y1) return;
    const std::uint32_t n = ToNative(c);
    // The first row word by word, the others copied from it in bulk.
    std::uint32_t* first = bmp.Row(y0) + x0;
    std::fill(first, first + (x1 - x0), n);
    const std::size_t bytes = std::size_t(x1 - x0) * sizeof(std::uint32_t);
    for (int y = y0 + 1; y < y1; ++y) std::memcpy(bmp.Row(y) + x0, first, bytes);
}

void Rectangle(Bitmap& bmp, int left, int top, int right, int bottom, const Pen& pen,
               const Brush& brush) {
    if (right <= left || bottom <= top) return;
    const int w = std::clamp(pen.Width, 1, 10);
    if (!brush.Clear) FillRect(bmp, left + w, top + w, right - w, bottom - w, brush.Colour);
    FillRect(bmp, left, top, right, top + w, pen.Colour);          // top
    FillRect(bmp, left, bottom - w, right, bottom, pen.Colour);    // bottom
    FillRect(bmp, left, top, left + w, bottom, pen.Colour);        // left
    FillRect(bmp, right - w, top, right, bottom, pen.Colour);      // right
}

void Line(Bitmap& bmp, int x0, int y0, int x1, int y1, const Pen& pen) {
    const int w = std::clamp(pen.Width, 1, 10);
    const std::uint32_t c = ToNative(pen.Colour);
    const long long dx = (long long)x1 - x0, dy = (long long)y1 - y0;
    const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const long long steps = std::max(adx, ady);
    if (dy == 0 && dx != 0) {
        // Horizontal (the split lines): the squares of the pixels x0 .. x1
        // (end left out) make one band, filled at once.
        const int lo = -(w - 1) / 2;
        const long long first = dx > 0 ? x0 : (long long)x0 - adx + 1;
        const long long last = dx > 0 ? (long long)x0 + adx - 1 : x0;
        const long long left = std::max<long long>(first + lo, 0);
        const long long right = std::min<long long>(last + lo + w, bmp.Width());
        const long long top = std::max<long long>((long long)y0 + lo, 0);
        const long long bottom = std::min<long long>((long long)y0 + lo + w, bmp.Height());
        for (long long y = top; y < bottom && left < right; ++y)
            std::fill(bmp.Row(int(y)) + left, bmp.Row(int(y)) + right, c);
        return;
    }
    for (long long i = 0; i < steps; ++i) {
        long long x, y;
        if (adx >= ady) {
            x = x0 + (dx < 0 ? -i : i);
            y = y0 + FloorDiv(2 * i * dy + steps, 2 * steps);
        } else {
            y = y0 + (dy < 0 ? -i : i);
            x = x0 + FloorDiv(2 * i * dx + steps, 2 * steps);
        }
        if (x < -16 || y < -16 || x > bmp.Width() + 16 || y > bmp.Height() + 16) continue;
        PutSquare(bmp, int(x), int(y), w, c);
    }
}

void CopyRect(Bitmap& dst, int dl, int dt, int dr, int db, const Bitmap& src, int sl, int st,
              int sr, int sb) {
    StretchCopy(dst, dl, dt, dr, db, src, sl, st, sr, sb,
                [](std::uint32_t& d, std::uint32_t s) { d = s; });
}

void CopyRectKeyed(Bitmap& dst, int dl, int dt, int dr, int db, const Bitmap& src, int sl,
                   int st, int sr, int sb, Color key) {
    const std::uint32_t k = ToNative(key);
    StretchCopy(dst, dl, dt, dr, db, src, sl, st, sr, sb, [k](std::uint32_t& d, std::uint32_t s) {
        if (s != k) d = s;
    });
}

void CopyRectReplacing(Bitmap& dst, int dl, int dt, int dr, int db, const Bitmap& src, int sl,
                       int st, int sr, int sb, Color key, Color replacement) {
    const std::uint32_t k = ToNative(key), r = ToNative(replacement);
    StretchCopy(dst, dl, dt, dr, db, src, sl, st, sr, sb,
                [k, r](std::uint32_t& d, std::uint32_t s) { d = (s == k) ? r : s; });
}

void CopyRows(Bitmap& dst, int dstTop, const Bitmap& src, int srcTop, int rows) {
    const int w = std::min(dst.Width(), src.Width());
    if (w <= 0) return;
    for (int i = 0; i < rows; ++i) {
        const long long sy = (long long)srcTop + i, dy = (long long)dstTop + i;
        if (sy < 0 || dy < 0 || sy >= src.Height() || dy >= dst.Height()) continue;
        std::memcpy(dst.Row(int(dy)), src.Row(int(sy)), std::size_t(w) * sizeof(std::uint32_t));
    }
}

void TextOut(Bitmap& bmp, TextEngine& fonts, int x, int y, std::string_view utf8,
             const TextFont& font, const Brush& brush) {
    fonts.DrawCell(bmp, x, y, font.Face, font.Height, font.Bold, utf8, font.Colour,
                   brush.Clear ? nullptr : &brush.Colour);
}

int TextWidth(TextEngine& fonts, std::string_view utf8, const TextFont& font) {
    return fonts.TextWidth(font.Face, font.Height, font.Bold, utf8);
}

} // namespace tessaro::platform
