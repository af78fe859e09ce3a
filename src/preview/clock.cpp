#include "preview/clock.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/files.h"
#include "platform/picture.h"
#include "platform/raster.h"
#include "preview/preview.h"

namespace tessaro::preview {

using platform::Bitmap;
using platform::RoundRatio;

bool SpinField::Set(int v) {
    const int clamped = std::clamp(v, Min, std::max(Min, Max));
    const bool changed = clamped != Value;
    Value = clamped;
    return changed;
}

void SpinField::SetMax(int m) {
    Max = m;
    Set(Value);
}

Clock::Clock(Preview& preview) : Image1(kWidth, 40), p_(preview) {}

bool Clock::SetSize(int v) {
    const bool changed = Size.Set(v);
    XPosition.SetMax(kWidth - Size.Value);
    if (XPosition.Max <= 0) {
        XPosition.Value = 0;
        XPosition.Enabled = false;
    } else {
        XPosition.Enabled = true;
    }
    return changed;
}

int Clock::SizeMaximum(int faceStyle, int heightFieldMax, int top) {
    if (faceStyle != kFaceAdvanced) return kWidth;
    if (heightFieldMax >= kWidth) return std::min(kViewHeight - top, kWidth);
    return heightFieldMax;
}

void Clock::ApplySizeMaximum(int heightFieldMax, int top) {
    Size.SetMax(SizeMaximum(FaceStyle, heightFieldMax, top));
    SetSize(Size.Value);
}

void Clock::Load(const model::TPlugins& e) {
    SetSize(e.Height);
    XPosition.Set(e.Items[0].X);
    HourWidth.Set(e.Items[1].X);
    MinuteWidth.Set(e.Items[1].Y);
    FaceStyle = e.Items[0].Y == kFaceAdvanced ? kFaceAdvanced : kFaceNone;
    Template.Set(e.Items[2].X);
    Length.Set(e.Items[2].Y);
    HourColor = e.Items[0].SelColor;
    MinuteColor = e.Items[0].UnselColor;
    FaceColor = e.BgColor;
}

void Clock::Store(model::TPlugins& e) const {
    e.Height = Size.Value;
    e.Items[0].X = XPosition.Value;
    e.Items[1].X = HourWidth.Value;
    e.Items[1].Y = MinuteWidth.Value;
    e.Items[0].Y = FaceStyle;
    e.Items[2].X = Template.Value;
    e.Items[2].Y = Length.Value;
    e.Items[0].SelColor = HourColor;
    e.Items[0].UnselColor = MinuteColor;
    e.BgColor = FaceColor;
}

void Clock::Dr(int e) {
    model::Document& doc = p_.Doc();
    const int top = doc.Plugins[std::size_t(e)].Top;
    const int S = Size.Value;
    const int P = XPosition.Value;

    // Read everything that can fail before anything changes.
    Bitmap face;
    if (FaceStyle == kFaceAdvanced)
        face = platform::ReadBmpKept(doc.AppDir + "Faces/" + std::to_string(Template.Value) + ".bmp");
    p_.LoadBackground();

    Bitmap pic(kWidth, S, kTransparent);
    const bool scrolled = p_.IsScrolled();
    if (!scrolled) platform::CopyRows(pic, 0, p_.BGImage, top, S);

    if (FaceStyle == kFaceAdvanced) {
        const model::Color f = Visible(FaceColor);
        // k in double precision: for a few sizes x * k lies a hair off a half.
        const double k = double(kWidth) / S;
        auto compose = [&](Bitmap& onto) {
            for (int x = 0; x < S; ++x) {
                const int sx = int(std::nearbyint(x * k));
                for (int y = 0; y < S; ++y) {
                    const int sy = int(std::nearbyint(y * k));
                    const int v = platform::BlueOf(face.Pixel(sx, sy));
                    const model::Color b = onto.Pixel(P + x, y);
                    onto.SetPixel(P + x, y,
                                  platform::Rgb(RoundRatio(platform::RedOf(b) * v + platform::RedOf(f) * (255 - v), 255),
                                                RoundRatio(platform::GreenOf(b) * v + platform::GreenOf(f) * (255 - v), 255),
                                                RoundRatio(platform::BlueOf(b) * v + platform::BlueOf(f) * (255 - v), 255)));
                }
            }
        };
        compose(pic);
        // The face burned into the background lies on the background's own
        // rows, also when the preview shows the clock on white.
        Bitmap burned = pic;
        if (scrolled) {
            burned = Bitmap(kWidth, S, kTransparent);
            platform::CopyRows(burned, 0, p_.BGImage, top, S);
            compose(burned);
        }
        platform::CopyRows(p_.BGImage, top, burned, 0, S);
        // A fixed work file of the program folder: written in place, and
        // only when its bytes change.
        platform::UpdateFile(doc.AppDir + kAnalogBackground, platform::EncodeJpeg(p_.BGImage, 100));
    }

    const int c = S / 2;
    const int L = Length.Value;
    platform::Line(pic, P + c, c, P + c + RoundRatio(3LL * c * L, 400), c,
                   platform::Pen{Visible(HourColor), HourWidth.Value});
    platform::Line(pic, P + c, c, P + c, RoundRatio(100LL * c - 1LL * L * c, 100),
                   platform::Pen{Visible(MinuteColor), MinuteWidth.Value});
    Image1 = std::move(pic);
}

} // namespace tessaro::preview
