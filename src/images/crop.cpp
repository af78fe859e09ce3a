#include "images/crop.h"

#include <algorithm>
#include <cmath>

namespace tessaro::images {

int RoundHalfEven(double v) {
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5)
        r = 2.0 * std::round(v / 2.0);
    return static_cast<int>(r);
}

CropFrame::CropFrame(Rect picture) : picture_(picture) {}

void CropFrame::Show() {
    frame_ = {0, 0, kScreenWidth, kScreenHeight};
    handleLeft_ = kScreenWidth - kHandleSize;
    handleTop_ = kScreenHeight - kHandleSize;
}

void CropFrame::PlaceHandle() {
    handleLeft_ = frame_.Left + frame_.Width - kHandleSize;
    handleTop_ = frame_.Top + frame_.Height - kHandleSize;
}

void CropFrame::FrameMouseDown(int x, int y) {
    grabX_ = x;
    grabY_ = y;
}

void CropFrame::KeepOnPicture() {
    if (frame_.Top < picture_.Top)
        frame_.Top = picture_.Top;
    if (frame_.Left < picture_.Left)
        frame_.Left = picture_.Left;
    if (frame_.Bottom() > picture_.Bottom())
        frame_.Top = picture_.Bottom() - frame_.Height;
    if (frame_.Right() > picture_.Right())
        frame_.Left = picture_.Right() - frame_.Width;
}

void CropFrame::FrameMouseMove(int x, int y, bool leftDown) {
    if (x > 3 && x < frame_.Width - 3 && y > 3 && y < frame_.Height - 3)
        moveCursor_ = true;
    if (leftDown) {
        frame_.Left += x - grabX_;
        frame_.Top += y - grabY_;
    }
    KeepOnPicture();
    PlaceHandle();
}

void CropFrame::HandleMouseDown() {
    rememberedWidth_ = frame_.Width;
}

void CropFrame::HandleMouseMove(int x, bool leftDown) {
    resizeCursor_ = true;
    if (leftDown) {
        frame_.Width = std::max(kScreenWidth, x + rememberedWidth_ - kHandleSize);
        frame_.Height = std::max(kScreenHeight, RoundHalfEven(frame_.Width * 200.0 / 176.0));
        rememberedWidth_ = frame_.Width;
    }
    PlaceHandle();
    if (frame_.Bottom() > picture_.Bottom()) {
        frame_.Height = std::max(kScreenHeight, picture_.Bottom() - frame_.Top);
        frame_.Width = std::max(kScreenWidth, RoundHalfEven(frame_.Height * 176.0 / 200.0));
        PlaceHandle();
    }
}

Rect CropFrame::Selection() const {
    return {frame_.Left - picture_.Left, frame_.Top - picture_.Top, frame_.Width, frame_.Height};
}

platform::Bitmap CropPicture(const platform::Bitmap& picture, int left, int top, int frameWidth) {
    platform::Bitmap out(kScreenWidth, kScreenHeight, 0xFFFFFF);
    const double s = static_cast<double>(frameWidth) / kScreenWidth;
    for (int y = 0; y < kScreenHeight; ++y) {
        const int sy = top + RoundHalfEven(y * s);
        if (sy < 0 || sy >= picture.Height())
            continue;
        const std::uint32_t* src = picture.Row(sy);
        std::uint32_t* dst = out.Row(y);
        for (int x = 0; x < kScreenWidth; ++x) {
            const int sx = left + RoundHalfEven(x * s);
            if (sx >= 0 && sx < picture.Width())
                dst[x] = src[sx];
        }
    }
    return out;
}

} // namespace tessaro::images
