#include "preview/iconbar.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "platform/raster.h"
#include "preview/preview.h"

namespace tessaro::preview {

using platform::Bitmap;
using platform::BlueOf;
using platform::GreenOf;
using platform::RedOf;
using platform::RoundRatio;

namespace {

constexpr int kTrayWidth = 40;
constexpr model::Color kTrayKey = 0x000001;

// Per channel round((a * wa + b * wb) / den).
model::Color Mix(model::Color a, long long wa, model::Color b, long long wb, long long den) {
    return platform::Rgb(RoundRatio(RedOf(a) * wa + RedOf(b) * wb, den),
                         RoundRatio(GreenOf(a) * wa + GreenOf(b) * wb, den),
                         RoundRatio(BlueOf(a) * wa + BlueOf(b) * wb, den));
}

} // namespace

void BlendBar(Bitmap& bar, const Bitmap& backdrop, int level) {
    level = std::clamp(level, 0, 255);
    for (int y = 0; y < kBarHeight; ++y)
        for (int x = 0; x < kBarWidth; ++x)
            bar.SetPixel(x, y, Mix(backdrop.Pixel(x, y), level, bar.Pixel(x, y), 255 - level, 255));
}

Bitmap NormalBar(model::Color c1, model::Color c2) {
    Bitmap bar(kBarWidth, kBarHeight);
    // t = x / 176 in double precision; the rounding sees the double value,
    // so a channel that lies a hair off a half in double goes that way.
    const auto channel = [](double t, int a, int b) {
        return int(std::nearbyint((1 - t) * a + t * b));
    };
    for (int x = 0; x < kBarWidth; ++x) {
        const double t = double(x) / kBarWidth;
        const model::Color g = platform::Rgb(channel(t, RedOf(c1), RedOf(c2)),
                                             channel(t, GreenOf(c1), GreenOf(c2)),
                                             channel(t, BlueOf(c1), BlueOf(c2)));
        for (int y = 0; y < kBarHeight; ++y) bar.SetPixel(x, y, g);
    }
    return bar;
}

Bitmap AdvancedBar(const Bitmap& tpl, model::Color c1, model::Color c2) {
    Bitmap bar(kBarWidth, kBarHeight);
    for (int y = 0; y < kBarHeight; ++y)
        for (int x = 0; x < kBarWidth; ++x) {
            const int v = BlueOf(tpl.Pixel(x, y));
            bar.SetPixel(x, y, Mix(c2, 255 - v, c1, v, 255));
        }
    return bar;
}

IconBar::IconBar(Preview& preview)
    : Image3(kBarWidth, kBarHeight), Image1(kBarWidth, kBarHeight), Image2(kBarWidth, kBarHeight),
      p_(preview) {}

void IconBar::BeginPass() {
    inPass_ = true;
    trayKept_ = false;
    passWrote_ = false;
}

void IconBar::EndPass() {
    inPass_ = false;
    trayKept_ = false;
    passWrote_ = false;
    tray_ = Bitmap();
}

Bitmap IconBar::TrayIcons(model::Color colour) const {
    if (inPass_ && trayKept_ && trayColour_ == colour) return tray_;
    const Bitmap file = platform::ReadBmpKept(p_.Doc().AppDir + "TrayIcons.bmp");
    Bitmap tray(kTrayWidth, kBarHeight, 0x000000);
    for (int y = 0; y < kBarHeight; ++y)
        for (int x = 0; x < kTrayWidth; ++x) {
            const model::Color c = file.Pixel(x, y);
            tray.SetPixel(x, y, c == kVisibleWhite ? colour : c);
        }
    if (inPass_) {
        tray_ = tray;
        trayColour_ = colour;
        trayKept_ = true;
    }
    return tray;
}

Bitmap IconBar::Gradient(model::Color c1, model::Color c2) {
    // A layout's Normal bars share the scheme's two colours.
    if (!gradientKept_ || gradient1_ != c1 || gradient2_ != c2) {
        gradient_ = NormalBar(c1, c2);
        gradient1_ = c1;
        gradient2_ = c2;
        gradientKept_ = true;
    }
    return gradient_;
}

void IconBar::DrawTray(Bitmap& bar, const Bitmap& tray) {
    platform::CopyRectKeyed(bar, kBarWidth - kTrayWidth, 0, kBarWidth, kBarHeight, tray, 0, 0,
                            kTrayWidth, kBarHeight, kTrayKey);
}

Bitmap IconBar::Backdrop(int e) {
    Bitmap b(kBarWidth, kBarHeight, kTransparent);
    if (!p_.IsScrolled())
        platform::CopyRows(b, 0, p_.BGImage, p_.Doc().Plugins[std::size_t(e)].Top, kBarHeight);
    return b;
}

void IconBar::Finish(int e, Bitmap bar, int quality, bool showDecoded, Bitmap& image,
                     const Bitmap& tray) {
    const model::TPlugins& entry = p_.Doc().Plugins[std::size_t(e)];
    if (entry.Transparent) BlendBar(bar, Backdrop(e), entry.TransparencyLevel);
    std::string data = platform::EncodeJpeg(bar, quality);
    // A layout's bars mostly write the same bytes: once this pass has put them
    // into the file (the program folder is locked meanwhile), they are there.
    if (!(inPass_ && passWrote_ && data == lastData_)) {
        platform::UpdateFile(p_.Doc().AppDir + kIconBarJpeg, data);
        passWrote_ = inPass_;
    }
    // The decoded bar is needed only where it is shown; a Normal bar shown
    // from its gradient never reads it back.
    if (data != lastData_) {
        lastData_ = std::move(data);
        decoded_ = false;
    }
    image = showDecoded ? LastWritten() : bar;
    DrawTray(image, tray);
}

const Bitmap& IconBar::LastWritten() const {
    if (!decoded_) {
        lastWritten_ = lastData_.empty() ? Bitmap() : platform::DecodeJpeg(lastData_);
        decoded_ = true;
    }
    return lastWritten_;
}

void IconBar::DrNr(int e) {
    const model::Scheme& s = p_.Doc().Scheme;
    const model::TPlugins& entry = p_.Doc().Plugins[std::size_t(e)];
    const Bitmap tray = TrayIcons(s[COLOR_TRAYICONS]);
    Bitmap bar = Gradient(s[COLOR_TRAY1], s[COLOR_TRAY2]);
    if (!(entry.Transparent && entry.TransparencyLevel == 255))
        platform::CopyRect(p_.TempImage, 0, 0, kBarWidth, kBarHeight, bar, 0, 0, kBarWidth,
                           kBarHeight);
    Finish(e, std::move(bar), 100, false, Image3, tray);
}

void IconBar::DrAdv(int n, int e) {
    const model::Scheme& s = p_.Doc().Scheme;
    const Bitmap tray = TrayIcons(s[COLOR_TRAYICONS]);
    const Bitmap tpl = platform::ReadBmpKept(p_.Doc().AppDir + "IconBars/" + std::to_string(n) + ".bmp");
    Bitmap bar = AdvancedBar(tpl, s[COLOR_TRAY1], s[COLOR_TRAY2]);
    Finish(e, std::move(bar), 100, true, Image1, tray);
}

void IconBar::DrCustom(int e) {
    const model::TPlugins& entry = p_.Doc().Plugins[std::size_t(e)];
    if (entry.CustomImage.empty()) throw Error("No icon bar picture has been loaded");
    const Bitmap tray = TrayIcons(p_.Doc().Scheme[COLOR_TRAYICONS]);
    const Bitmap pic = platform::ReadBmpKept(p_.Doc().AppDir + entry.CustomImage);
    Bitmap bar(kBarWidth, kBarHeight);
    platform::CopyRect(bar, 0, 0, kBarWidth, kBarHeight, pic, 0, 0, kBarWidth, kBarHeight);
    Finish(e, std::move(bar), 85, true, Image2, tray);
}

} // namespace tessaro::preview
