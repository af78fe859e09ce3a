// Pixel rules of the raster layer.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "model/error.h"
#include "platform/fonts.h"
#include "platform/raster.h"

using namespace tessaro;
using namespace tessaro::platform;

namespace {

int CountColour(const Bitmap& b, Color c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) == c;
    return n;
}

} // namespace

TEST(RoundRatio, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundRatio(1, 2), 0);  // 0.5
    EXPECT_EQ(RoundRatio(3, 2), 2);  // 1.5
    EXPECT_EQ(RoundRatio(5, 2), 2);  // 2.5
    EXPECT_EQ(RoundRatio(-1, 2), 0); // -0.5
    EXPECT_EQ(RoundRatio(-3, 2), -2);
    EXPECT_EQ(RoundRatio(1051, 100), 11); // 10.51: not a half, nearest
    EXPECT_EQ(RoundRatio(-7, 4), -2);     // -1.75
}

TEST(Line, LeavesOutItsEndPoint) {
    const Color ink = 0x0000FF;
    Bitmap b(20, 20);
    Line(b, 2, 5, 12, 5, Pen{ink, 1});
    EXPECT_EQ(b.Pixel(2, 5), ink) << "start point is drawn";
    EXPECT_EQ(b.Pixel(11, 5), ink);
    EXPECT_EQ(b.Pixel(12, 5), 0xFFFFFFu) << "end point (12,5) is left out";
    EXPECT_EQ(CountColour(b, ink), 10);

    Bitmap v(20, 20);
    Line(v, 7, 15, 7, 3, Pen{ink, 1}); // upwards
    EXPECT_EQ(v.Pixel(7, 15), ink);
    EXPECT_EQ(v.Pixel(7, 4), ink);
    EXPECT_EQ(v.Pixel(7, 3), 0xFFFFFFu) << "end point (7,3) is left out";

    Bitmap z(20, 20);
    Line(z, 5, 5, 5, 5, Pen{ink, 1});
    EXPECT_EQ(CountColour(z, ink), 0) << "a line to its own start draws nothing";
}

TEST(Line, ShallowSlopeHasOnePixelPerColumn) {
    const Color ink = 0x00FF00;
    Bitmap b(20, 20);
    Line(b, 0, 0, 10, 3, Pen{ink, 1});
    for (int x = 0; x < 10; ++x) {
        int inColumn = 0;
        for (int y = 0; y < 20; ++y) inColumn += b.Pixel(x, y) == ink;
        EXPECT_EQ(inColumn, 1) << "column " << x;
    }
    EXPECT_EQ(b.Pixel(10, 3), 0xFFFFFFu);
    EXPECT_EQ(b.Pixel(9, 3), ink) << "(9, 2.7) rounds to row 3";
}

TEST(Line, WidePenCoversItsWidthAcrossTheLine) {
    const Color ink = 0x123456;
    Bitmap b(40, 40);
    Line(b, 10, 20, 30, 20, Pen{ink, 4});
    int rows = 0;
    for (int y = 0; y < 40; ++y) rows += b.Pixel(20, y) == ink;
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(b.Pixel(33, 20), 0xFFFFFFu) << "never more than half the width past the end";
}

TEST(Rectangle, RightAndBottomEdgesAreExclusive) {
    const Color pen = 0x0000FF, fill = 0x00FF00;
    Bitmap b(20, 20);
    Rectangle(b, 2, 3, 10, 8, Pen{pen, 1}, Brush{false, fill});
    EXPECT_EQ(b.Pixel(2, 3), pen) << "top-left corner is outline";
    EXPECT_EQ(b.Pixel(9, 7), pen) << "outline on the last column and row inside";
    EXPECT_EQ(b.Pixel(10, 5), 0xFFFFFFu) << "column 10 lies outside";
    EXPECT_EQ(b.Pixel(5, 8), 0xFFFFFFu) << "row 8 lies outside";
    EXPECT_EQ(b.Pixel(5, 5), fill);
    EXPECT_EQ(CountColour(b, fill), 6 * 3);

    Bitmap c(20, 20, 0x777777);
    Rectangle(c, 2, 3, 10, 8, Pen{pen, 1}, Brush{true, fill});
    EXPECT_EQ(c.Pixel(5, 5), 0x777777u) << "a clear brush leaves the inside";
}

TEST(CopyRect, StretchesByNearestNeighbourAndKeys) {
    Bitmap src(4, 1);
    for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, Color(x + 1));
    Bitmap wide(8, 1);
    CopyRect(wide, 0, 0, 8, 1, src, 0, 0, 4, 1);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(wide.Pixel(x, 0), Color(x / 2 + 1)) << "pixel " << x;

    // One pixel wider than the source: source x = dest x * 4 / 5, so the
    // first column is doubled and the last one still reaches the edge.
    Bitmap plus(6, 1, 0);
    CopyRect(plus, 0, 0, 5, 1, src, 0, 0, 4, 1);
    EXPECT_EQ(plus.Pixel(0, 0), 1u);
    EXPECT_EQ(plus.Pixel(1, 0), 1u);
    EXPECT_EQ(plus.Pixel(4, 0), 4u);
    EXPECT_EQ(plus.Pixel(5, 0), 0u) << "outside the target rectangle";

    Bitmap keyed(4, 1, 0xABCDEF);
    CopyRectKeyed(keyed, 0, 0, 4, 1, src, 0, 0, 4, 1, 2);
    EXPECT_EQ(keyed.Pixel(1, 0), 0xABCDEFu) << "key colour 2 is not drawn";
    EXPECT_EQ(keyed.Pixel(2, 0), 3u);

    Bitmap clipped(4, 4);
    CopyRect(clipped, -2, -2, 2, 2, src, 0, 0, 4, 1); // must not write outside
    EXPECT_EQ(clipped.Pixel(0, 0), 3u);
}

class TextTest : public testing::Test {
protected:
    FontSet fonts{TESSARO_PROGRAM_DIR};
};

TEST_F(TextTest, PositiveHeightIsTheCellHeight) {
    for (int h : {12, 16, 23}) {
        EXPECT_EQ(fonts.Metrics("Arial", h, true).CellHeight(), h);
        EXPECT_EQ(fonts.Metrics("Nina", h, false).CellHeight(), h);
    }
    // A character height leaves room for internal leading: the cell is taller.
    EXPECT_GT(fonts.Metrics("Nina", -14, false).CellHeight(), 14);
}

TEST_F(TextTest, OpaqueCellIsFilledAndGlyphsUseTheColour) {
    Bitmap b(120, 30, 0x000000);
    const TextFont font{"Nina", -14, false, 0x0000FF};
    const int w = TextWidth(fonts, "Hello", font);
    TextOut(b, fonts, 5, 4, "Hello", font, Brush{false, 0xFFFFFF});
    const int cell = fonts.Metrics("Nina", -14, false).CellHeight();
    int white = CountColour(b, 0xFFFFFF), red = CountColour(b, 0x0000FF);
    EXPECT_GT(red, 20);
    EXPECT_EQ(white + red, w * cell) << "the cell is exactly width x cell height";
    EXPECT_EQ(CountColour(b, 0x000000), 120 * 30 - w * cell);
    EXPECT_EQ(CountColour(b, 0x000000) + white + red, 120 * 30) << "no blended edge pixels";

    Bitmap clear(120, 30, 0x000000);
    TextOut(clear, fonts, 5, 4, "Hello", font, Brush{true, 0xFFFFFF});
    EXPECT_EQ(CountColour(clear, 0xFFFFFF), 0);
    EXPECT_EQ(CountColour(clear, 0x0000FF), red);
}

TEST_F(TextTest, BoldIsWiderAndFacesDiffer) {
    EXPECT_GT(fonts.TextWidth("Nina", -14, true, "Messaging"), fonts.TextWidth("Nina", -14, false, "Messaging"));
    // The condensed face sets the same text narrower.
    EXPECT_LT(fonts.TextWidth("Nina", -14, false, "WMPlayer.exe Contacts"),
              fonts.TextWidth("Arial", -14, false, "WMPlayer.exe Contacts"));
    EXPECT_THROW(fonts.Metrics("Tahoma", 12, false), Error);
}

// Latin and Cyrillic texts are decoded and laid out glyph by glyph without
// asking the font for the whole string; a text holding anything else (here a
// three-byte character) goes to the font whole. Both must set every character
// the same: the same advance and the same pixels.
TEST_F(TextTest, CharactersSetAloneMatchTheFontsOwnLayout) {
    const std::string euro = "\xE2\x82\xAC"; // U+20AC, always read by the font
    auto utf8 = [](char32_t c) {
        std::string s;
        if (c < 0x80) s += char(c);
        else s += char(0xC0 | (c >> 6)), s += char(0x80 | (c & 0x3F));
        return s;
    };
    for (const char* face : {"Nina", "Arial"})
        for (bool bold : {false, true})
            for (int height : {-11, 16}) {
                const TextFont font{face, height, bold, 0x000000};
                const int euroWidth = TextWidth(fonts, euro, font);
                int mismatches = 0;
                for (char32_t c = 0x20; c < 0x800; ++c) {
                    if (c >= 0x7F && c < 0xA0) continue; // control characters
                    const std::string ch = utf8(c);
                    const int alone = TextWidth(fonts, ch, font);
                    if (alone != TextWidth(fonts, ch + euro, font) - euroWidth) {
                        ADD_FAILURE() << "advance of U+" << std::hex << unsigned(c);
                        ++mismatches;
                        continue;
                    }
                    // Ink may reach past a glyph's advance: no cells here.
                    Bitmap split(80, 40, 0xFFFFFF), whole(80, 40, 0xFFFFFF);
                    TextOut(split, fonts, 10, 8, ch, font, Brush{true, 0});
                    TextOut(split, fonts, 10 + alone, 8, euro, font, Brush{true, 0});
                    TextOut(whole, fonts, 10, 8, ch + euro, font, Brush{true, 0});
                    if (!(split == whole)) ADD_FAILURE() << "pixels of U+" << std::hex << unsigned(c);
                    mismatches += !(split == whole);
                }
                EXPECT_EQ(mismatches, 0) << face << (bold ? " bold " : " ") << height;
            }
    // Malformed bytes are read as the font reads them, one replacement each.
    const TextFont plain{"Nina", -12, false, 0};
    EXPECT_EQ(TextWidth(fonts, "a\xC3", plain), TextWidth(fonts, "a\xEF\xBF\xBD", plain));
    EXPECT_EQ(TextWidth(fonts, "\xC0\xAF" "b", plain),
              TextWidth(fonts, "\xEF\xBF\xBD\xEF\xBF\xBD" "b", plain));
}

TEST(Fonts, MissingFileIsAnErrorNamingIt) {
    const auto dir = std::filesystem::temp_directory_path() / "tessaro_nofonts";
    std::filesystem::create_directories(dir / "fonts");
    FontSet fonts(dir.string() + "/");
    try {
        fonts.Load();
        FAIL() << "loading without font files must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("DejaVuSansCondensed.ttf"), std::string::npos) << e.what();
    }
    std::filesystem::remove_all(dir);
}

TEST(Fonts, EachFileIsReadWhenItsFaceIsFirstUsed) {
    // The soft keys' face alone: drawing with it works, and a face whose file
    // is missing fails when it is first asked for, naming its file.
    const auto dir = std::filesystem::temp_directory_path() / "tessaro_onefont";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "fonts");
    std::filesystem::copy_file(std::filesystem::path(TESSARO_PROGRAM_DIR) / "fonts/LiberationSans-Bold.ttf",
                               dir / "fonts/LiberationSans-Bold.ttf");
    FontSet fonts(dir.string() + "/");
    FontSet full{TESSARO_PROGRAM_DIR};
    EXPECT_EQ(fonts.TextWidth("Arial", 16, true, "Contacts"), full.TextWidth("Arial", 16, true, "Contacts"));
    try {
        fonts.Metrics("Nina", -12, false);
        FAIL() << "a face without its file must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("DejaVuSansCondensed.ttf"), std::string::npos) << e.what();
    }
    EXPECT_THROW(fonts.Load(), Error) << "Load reads every file";
    std::filesystem::remove_all(dir);
}

TEST(Line, HorizontalBandsMatchTheirPixelSquares) {
    // A horizontal line is its pixels' pen squares, end point left out, in
    // either direction, clipped at every edge.
    const model::Color ink = 0x123456;
    for (int w : {1, 2, 3, 4, 10})
        for (int x0 : {-30, -3, 0, 5, 170, 200})
            for (int x1 : {-40, -1, 0, 6, 90, 176, 177, 230})
                for (int y : {-6, -1, 0, 7, 19, 21}) {
                    Bitmap got(176, 20, 0xFFFFFF), want(176, 20, 0xFFFFFF);
                    Line(got, x0, y, x1, y, Pen{ink, w});
                    const int lo = -(w - 1) / 2, step = x1 > x0 ? 1 : -1;
                    for (int x = x0; x != x1; x += step)
                        FillRect(want, x + lo, y + lo, x + lo + w, y + lo + w, ink);
                    ASSERT_EQ(got, want) << "w " << w << " from " << x0 << " to " << x1 << " at " << y;
                }
}

TEST(CopyRect, UnscaledCopiesMatchThePixelRule) {
    // Same-size copies take a row-at-a-time path: every destination pixel
    // must still be the source pixel at the same offset, black off the
    // source, nothing outside the destination touched.
    Bitmap src(30, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x) src.SetPixel(x, y, Rgb(x * 8, y * 20, 77));
    const model::Color key = Rgb(8, 20, 77);
    for (int dl : {-40, -5, 0, 3, 25})
        for (int sl : {-35, -4, 0, 7, 29, 31})
            for (int dt : {-3, 0, 5})
                for (int st : {-13, -2, 0, 6})
                    for (int keyed = 0; keyed < 2; ++keyed) {
                        const int w = 33, h = 9;
                        Bitmap got(28, 10, 0xABCDEF);
                        if (keyed) CopyRectKeyed(got, dl, dt, dl + w, dt + h, src, sl, st, sl + w, st + h, key);
                        else CopyRect(got, dl, dt, dl + w, dt + h, src, sl, st, sl + w, st + h);
                        for (int y = 0; y < 10; ++y)
                            for (int x = 0; x < 28; ++x) {
                                model::Color want = 0xABCDEF;
                                if (x >= dl && x < dl + w && y >= dt && y < dt + h) {
                                    const int sx = sl + x - dl, sy = st + y - dt;
                                    const model::Color s = src.Contains(sx, sy) ? src.Pixel(sx, sy) : 0;
                                    if (!keyed || s != key) want = s;
                                }
                                ASSERT_EQ(got.Pixel(x, y), want) << dl << " " << sl << " " << dt << " " << st
                                                                 << " keyed " << keyed << " at " << x << "," << y;
                            }
                    }
}
