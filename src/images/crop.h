#pragma once
// The crop window's arithmetic, without a window: the selection frame of the
// proportions 176 : 200 and its 10 x 10 resize handle over a picture, the
// rules the mouse handlers apply to them, and the cut itself.
//
// All positions are in the coordinates of the scrolling area that holds the
// picture (the picture itself normally lies at (0, 0) there).
#include "platform/bitmap.h"

namespace tessaro::images {

constexpr int kScreenWidth = 176;
constexpr int kScreenHeight = 200;
constexpr int kHandleSize = 10;

// Rounds to the nearest integer, an exact half to the even neighbour.
int RoundHalfEven(double v);

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return Left + Width; }  // exclusive
    int Bottom() const { return Top + Height; } // exclusive
    bool operator==(const Rect&) const = default;
};

class CropFrame {
  public:
    // `picture` is where the picture lies in the scrolling area.
    explicit CropFrame(Rect picture = {0, 0, kScreenWidth, kScreenHeight});

    void SetPicture(Rect picture) { picture_ = picture; }
    const Rect& Picture() const { return picture_; }

    // FormShow: frame at (0, 0), 176 x 200; handle at (166, 190). The grab
    // point and remembered width are left as they were.
    void Show();

    // Frame mouse-down at (x, y) inside the frame: remembers the grab point.
    void FrameMouseDown(int x, int y);
    // Frame mouse-move at (x, y) inside the frame. With the left button down
    // the frame follows the pointer keeping the grab point under it. With or
    // without the button the frame is then kept on the picture: top, then
    // left, then bottom, then right edge, the later rules winning. The handle
    // follows the frame's bottom-right corner.
    void FrameMouseMove(int x, int y, bool leftDown);

    // Handle mouse-down: remembers the frame width.
    void HandleMouseDown();
    // Handle mouse-move at x inside the handle. With the left button down the
    // frame's width becomes x + remembered width - 10 (never below 176) and
    // its height width * 200 / 176 rounded half to even (never below 200).
    // Then, when the frame reaches below the picture, its height is cut to
    // the picture's bottom (not below 200) and its width follows the
    // proportions again. The picture's right edge is not checked here.
    void HandleMouseMove(int x, bool leftDown);

    const Rect& Frame() const { return frame_; }
    Rect Handle() const { return {handleLeft_, handleTop_, kHandleSize, kHandleSize}; }

    // Whether the pointer shapes were asked for: the four-way move shape over
    // the frame's inside (kept once given), the diagonal resize shape over the
    // handle.
    bool FrameShowsMoveCursor() const { return moveCursor_; }
    bool HandleShowsResizeCursor() const { return resizeCursor_; }

    // Selection in picture coordinates (frame position minus picture position,
    // the frame's size).
    Rect Selection() const;

  private:
    void PlaceHandle();
    void KeepOnPicture();

    Rect picture_;
    Rect frame_{0, 0, kScreenWidth, kScreenHeight};
    int handleLeft_ = kScreenWidth - kHandleSize;
    int handleTop_ = kScreenHeight - kHandleSize;
    int grabX_ = 0;
    int grabY_ = 0;
    int rememberedWidth_ = kScreenWidth;
    bool moveCursor_ = false;
    bool resizeCursor_ = false;
};

// Cuts the 176 x 200 result out of `picture` for a selection whose top-left
// is (left, top) in picture coordinates and whose width is `frameWidth`:
// with s = frameWidth / 176, result pixel (x, y) is picture pixel
// (left + round(x s), top + round(y s)), halves to even. Result pixels that
// fall outside the picture (a frame reaching past the picture's right edge
// right after a resize) are white.
platform::Bitmap CropPicture(const platform::Bitmap& picture, int left, int top, int frameWidth);

// The same for a selection rectangle (its width is the frame width).
inline platform::Bitmap CropPicture(const platform::Bitmap& picture, const Rect& selection) {
    return CropPicture(picture, selection.Left, selection.Top, selection.Width);
}

} // namespace tessaro::images
