#include "preview/iconbarstyle.h"

#include <algorithm>
#include <cctype>

#include "formats/names.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "preview/iconbar.h"
#include "preview/preview.h"

namespace tessaro::preview {

IconBarStyle::IconBarStyle(Preview& preview) : p_(preview) {}

IconBar& IconBarStyle::Bars() {
    return p_.IconBars();
}

model::Document& IconBarStyle::doc() {
    return p_.Doc();
}

model::TPlugins& IconBarStyle::entry() {
    const int i = doc().EditIndex;
    if (i < 0 || i >= model::kMaxEntries)
        throw Error("No entry is being edited.");
    return doc().Plugins[i];
}

model::Color IconBarStyle::SwatchColor(int which) const {
    static constexpr int slots[] = {COLOR_TRAY1, COLOR_TRAY2, COLOR_TRAYICONS};
    return p_.Doc().Scheme[slots[std::clamp(which, 0, 2)]];
}

void IconBarStyle::Open() {
    model::TPlugins& e = entry();
    const int style = std::clamp(e.Items[0].X, 0, 2);
    if (style != Style) {
        Style = style;
        StyleChosen(style);
    }
    if (bool(e.Transparent) != Transparent)
        TransparentChanged(e.Transparent != 0);
    const int tmpl = std::clamp(e.Items[0].Y, 1, 6);
    if (tmpl != Template)
        TemplateChanged(tmpl);
    if (Style != kStyleCustom || !e.CustomImage.empty())
        RedrawByStyle();
}

void IconBarStyle::StyleChosen(int style) {
    Style = std::clamp(style, 0, 2);
    model::TPlugins& e = entry();
    switch (Style) {
    case kStyleNormal:
        e.Items[0].X = 0;
        e.Items[0].Y = 1;
        if (Transparent && Level == 255) {
            e.Transparent = 1;
            e.BgImage.clear();
        } else if (!Transparent) {
            e.TransparencyLevel = 0;
            e.Transparent = 0;
            e.BgImage = kIconBarJpeg;
        }
        p_.IconBars().DrNr(doc().EditIndex);
        break;
    case kStyleAdvanced:
        p_.IconBars().DrAdv(e.Items[0].Y, doc().EditIndex);
        e.BgImage = kIconBarJpeg;
        e.Items[0].X = 1;
        break;
    default:
        break;
    }
}

void IconBarStyle::TemplateChanged(int value) {
    Template = std::clamp(value, 1, 6);
    entry().Items[0].Y = Template;
    RedrawByStyle();
}

void IconBarStyle::TransparentChanged(bool ticked) {
    Transparent = ticked;
    model::TPlugins& e = entry();
    if (ticked && p_.IsScrolled()) {
        p_.Message(kTransparencyScrollable);
        Transparent = false;
    }
    if (Transparent) {
        LevelEnabled = true;
        Level = 0;
        e.Transparent = 1;
    } else {
        LevelEnabled = false;
        e.Transparent = 0;
        e.TransparencyLevel = 0;
    }
    RedrawByStyle();
}

void IconBarStyle::TransparentMouseReleased() {
    if (!Transparent)
        return;
    entry().TransparencyLevel = 0;
    Level = 0;
    RedrawByStyle();
}

void IconBarStyle::LevelMoved(int position) {
    Level = std::clamp(position, 0, 255);
    model::TPlugins& e = entry();
    e.TransparencyLevel = Level;
    if (Level != 255)
        e.BgImage = kIconBarJpeg;
    RedrawByStyle();
}

void IconBarStyle::SwatchChosen(int which, std::optional<model::Color> colour) {
    static constexpr int slots[] = {COLOR_TRAY1, COLOR_TRAY2, COLOR_TRAYICONS};
    if (colour)
        doc().Scheme[slots[std::clamp(which, 0, 2)]] = *colour & 0xFFFFFFu;
    RedrawByStyle();
}

void IconBarStyle::LoadImage(const std::optional<std::string>& path) {
    if (!path)
        return;
    model::TPlugins& e = entry();
    formats::CheckPictureName(platform::FileNamePart(*path), "custom bar picture");
    const platform::Bitmap picture = platform::LoadPicture(*path);
    if (picture.Width() != kBarWidth || picture.Height() != kBarHeight)
        throw Error(kPictureSize176x20);
    std::string name = platform::FileNamePart(*path);
    std::string ext = platform::ExtensionOf(name);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    // The copy is written as a bitmap; a name that says otherwise would make
    // it unreadable later.
    if (ext != ".bmp")
        name = platform::ChangeExtension(name, ".bmp");
    // The copy is a new bitmap, never one of the program's files: those
    // (the tray icons among them) are not the user's to replace.
    if (formats::IsReservedName(name))
        throw Error("The custom bar picture \"" + name +
                    "\" has the name of one of the program's own files, which it would replace; "
                    "rename the file first.");
    platform::WriteFileAtomic(doc().AppDir + name, platform::EncodeBmp(picture));
    Style = kStyleCustom;
    e.Items[0].X = 2;
    e.Items[0].Y = 1;
    e.BgImage = kIconBarJpeg;
    e.CustomImage = name;
    p_.IconBars().DrCustom(doc().EditIndex);
}

void IconBarStyle::RedrawByStyle() {
    const int i = doc().EditIndex;
    switch (Style) {
    case kStyleNormal:
        p_.IconBars().DrNr(i);
        break;
    case kStyleAdvanced:
        p_.IconBars().DrAdv(entry().Items[0].Y, i);
        break;
    default:
        p_.IconBars().DrCustom(i);
        break;
    }
}

const platform::Bitmap& IconBarStyle::ShownBar() const {
    IconBar& bars = p_.IconBars();
    switch (Style) {
    case kStyleNormal:
        return bars.Image3;
    case kStyleAdvanced:
        return bars.Image1;
    default:
        return bars.Image2;
    }
}

} // namespace tessaro::preview
