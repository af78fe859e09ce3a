#include <gtest/gtest.h>

#include "images/crop.h"

namespace tessaro::images {
namespace {

using platform::Bitmap;
using platform::Rgb;

TEST(CropFrame, ShowPlacesFrameAndHandleAtTheOrigin) {
    CropFrame f({0, 0, 400, 500});
    f.HandleMouseDown();
    f.HandleMouseMove(60, true);
    f.FrameMouseDown(50, 50);
    f.FrameMouseMove(80, 90, true);
    f.Show();
    EXPECT_EQ(f.Frame(), (Rect{0, 0, 176, 200}));
    EXPECT_EQ(f.Handle(), (Rect{166, 190, 10, 10}));
}

TEST(CropFrame, DragKeepsTheGrabPointUnderThePointer) {
    CropFrame f({0, 0, 400, 500});
    f.Show();
    f.FrameMouseDown(50, 60);
    f.FrameMouseMove(70, 65, true); // pointer moved by (20, 5)
    EXPECT_EQ(f.Frame(), (Rect{20, 5, 176, 200}));
    EXPECT_EQ(f.Handle(), (Rect{186, 195, 10, 10}));
    // The pointer is again at the grab point relative to the moved frame.
    f.FrameMouseMove(50, 60, true);
    EXPECT_EQ(f.Frame().Left, 20);
    EXPECT_EQ(f.Frame().Top, 5);
    // Without the button the frame stays put.
    f.FrameMouseMove(120, 150, false);
    EXPECT_EQ(f.Frame().Left, 20);
}

TEST(CropFrame, DraggingBeyondAnEdgeLeavesTheFrameFlush) {
    CropFrame f({0, 0, 400, 500});
    f.Show();
    f.FrameMouseDown(10, 10);
    f.FrameMouseMove(-100, -100, true); // up-left past the picture
    EXPECT_EQ(f.Frame().Left, 0);
    EXPECT_EQ(f.Frame().Top, 0);
    f.FrameMouseMove(900, 900, true); // down-right past the picture
    EXPECT_EQ(f.Frame().Right(), 400);
    EXPECT_EQ(f.Frame().Bottom(), 500);
    EXPECT_EQ(f.Handle(), (Rect{390, 490, 10, 10}));
}

TEST(CropFrame, FrameWiderThanThePictureAlignsWithTheRightEdge) {
    // The handle does not look at the right edge; the next frame move pulls
    // the frame back, and as the right rule comes after the left one a frame
    // wider than the picture ends flush with the picture's right edge.
    CropFrame f({0, 0, 177, 1000});
    f.Show();
    f.HandleMouseDown();
    f.HandleMouseMove(10 + 124, true);
    ASSERT_EQ(f.Frame().Width, 300);
    EXPECT_EQ(f.Frame().Right(), 300); // past the picture until the frame moves
    f.FrameMouseMove(5, 5, false);
    EXPECT_EQ(f.Frame().Right(), 177);
    EXPECT_EQ(f.Frame().Left, -123);
    EXPECT_EQ(f.Handle(), (Rect{167, 331, 10, 10}));
}

TEST(CropFrame, MoveCursorOnlyWellInsideTheFrame) {
    CropFrame f({0, 0, 400, 500});
    f.Show();
    f.FrameMouseMove(3, 100, false); // on the outline
    f.FrameMouseMove(100, 197, false);
    EXPECT_FALSE(f.FrameShowsMoveCursor());
    f.FrameMouseMove(4, 4, false);
    EXPECT_TRUE(f.FrameShowsMoveCursor());
    f.FrameMouseMove(1, 1, false); // kept once given
    EXPECT_TRUE(f.FrameShowsMoveCursor());
}

TEST(CropFrame, HandleResizesWithTheProportionsAndRounding) {
    CropFrame f({0, 0, 800, 900});
    f.Show();
    f.HandleMouseDown();
    // Pointer 11 pixels right of the handle's left edge: width 176 + 11.
    f.HandleMouseMove(21, true);
    EXPECT_TRUE(f.HandleShowsResizeCursor());
    EXPECT_EQ(f.Frame().Width, 187);
    EXPECT_EQ(f.Frame().Height, 212); // 212.5 to the even neighbour
    EXPECT_EQ(f.Handle(), (Rect{177, 202, 10, 10}));
    // The handle moved with the frame, so the next move is relative to it.
    f.HandleMouseMove(10 + 165, true);
    EXPECT_EQ(f.Frame().Width, 352);
    EXPECT_EQ(f.Frame().Height, 400);
    // Moving without the button changes nothing.
    f.HandleMouseMove(500, false);
    EXPECT_EQ(f.Frame().Width, 352);
}

TEST(CropFrame, HandleNeverShrinksBelowTheScreenSize) {
    CropFrame f({0, 0, 800, 900});
    f.Show();
    f.HandleMouseDown();
    f.HandleMouseMove(60, true);
    f.HandleMouseMove(-300, true);
    EXPECT_EQ(f.Frame().Width, 176);
    EXPECT_EQ(f.Frame().Height, 200);
    EXPECT_EQ(f.Handle(), (Rect{166, 190, 10, 10}));
}

TEST(CropFrame, HandleStopsAtThePictureBottom) {
    // Picture 600 x 300, frame moved down to top 50: at most 250 high.
    CropFrame f({0, 0, 600, 300});
    f.Show();
    f.FrameMouseDown(20, 20);
    f.FrameMouseMove(20, 70, true);
    ASSERT_EQ(f.Frame().Top, 50);
    f.HandleMouseDown();
    f.HandleMouseMove(200, true);
    EXPECT_EQ(f.Frame().Bottom(), 300);
    EXPECT_EQ(f.Frame().Height, 250);
    EXPECT_EQ(f.Frame().Width, 220);
    EXPECT_EQ(f.Handle(), (Rect{210, 290, 10, 10}));
    // Within the 200 minimum: at top 120 only 180 rows remain, still 200 high.
    CropFrame g({0, 0, 600, 300});
    g.Show();
    g.FrameMouseDown(20, 20);
    g.FrameMouseMove(20, 120, true);
    ASSERT_EQ(g.Frame().Top, 100); // kept on the picture
    g.HandleMouseDown();
    g.HandleMouseMove(100, true);
    EXPECT_EQ(g.Frame().Height, 200);
    EXPECT_EQ(g.Frame().Width, 176);
}

Bitmap Pattern(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, Rgb(x & 0xFF, y & 0xFF, (x >> 8) * 16 + (y >> 8)));
    return b;
}

TEST(CropPicture, FrameWidth352TakesEverySecondPixel) {
    const Bitmap pic = Pattern(500, 600);
    const Bitmap out = CropPicture(pic, 30, 40, 352);
    ASSERT_EQ(out.Width(), 176);
    ASSERT_EQ(out.Height(), 200);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {175, 0}, {0, 199}, {175, 199}, {87, 123}})
        EXPECT_EQ(out.Pixel(x, y), pic.Pixel(30 + 2 * x, 40 + 2 * y)) << x << "," << y;
}

TEST(CropPicture, FractionalScaleRoundsHalvesToEven) {
    const Bitmap pic = Pattern(400, 400);
    const Bitmap out = CropPicture(pic, 0, 0, 187); // s = 1.0625
    // x = 8: 8.5 -> 8; x = 24: 25.5 -> 26; x = 9: 9.5625 -> 10.
    EXPECT_EQ(out.Pixel(8, 0), pic.Pixel(8, 0));
    EXPECT_EQ(out.Pixel(24, 0), pic.Pixel(26, 0));
    EXPECT_EQ(out.Pixel(9, 0), pic.Pixel(10, 0));
    EXPECT_EQ(out.Pixel(0, 8), pic.Pixel(0, 8));
    EXPECT_EQ(out.Pixel(0, 199), pic.Pixel(0, 211)); // 211.4375 -> 211
}

TEST(CropPicture, PixelsPastThePictureAreWhite) {
    const Bitmap pic = Pattern(200, 220);
    const Bitmap out = CropPicture(pic, 100, 0, 176); // columns 100..275, picture ends at 199
    EXPECT_EQ(out.Pixel(99, 10), pic.Pixel(199, 10));
    EXPECT_EQ(out.Pixel(100, 10), 0xFFFFFFu);
    EXPECT_EQ(out.Pixel(175, 199), 0xFFFFFFu);
}

} // namespace
} // namespace tessaro::images
