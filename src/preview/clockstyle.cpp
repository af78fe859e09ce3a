#include "preview/clockstyle.h"

#include <algorithm>
#include <charconv>

#include "model/error.h"
#include "preview/clock.h"
#include "preview/preview.h"

namespace tessaro::preview {

ClockStyle::ClockStyle(Preview& preview) : p_(preview) {}

Clock& ClockStyle::Fields() {
    return p_.AnalogClock();
}

model::Document& ClockStyle::Doc() {
    return p_.Doc();
}

model::TPlugins& ClockStyle::entry() {
    const int i = p_.Doc().EditIndex;
    if (i < 0 || i >= model::kMaxEntries)
        throw Error("No entry is being edited.");
    return p_.Doc().Plugins[i];
}

int ClockStyle::top() {
    return entry().Top;
}

void ClockStyle::Draw() {
    Fields().Dr(p_.Doc().EditIndex);
    // The composed picture is now the layout's background.
    if (Fields().FaceStyle == kFaceAdvanced) p_.Doc().BGI = kAnalogBackground;
}

void ClockStyle::ApplySizeMaximum(int heightFieldMax) {
    Clock& c = Fields();
    c.ApplySizeMaximum(heightFieldMax, top());
    SizeLabel = " x" + std::to_string(c.Size.Value);
}

void ClockStyle::Open(int heightFieldMax) {
    Clock& c = Fields();
    const model::TPlugins& e = entry();
    const int storedStyle = e.Items[0].Y == kFaceAdvanced ? kFaceAdvanced : kFaceNone;
    // The maximum that the entry's own face style allows comes first, so that
    // a clock without an advanced face keeps its size.
    c.Size.SetMax(Clock::SizeMaximum(storedStyle, heightFieldMax, e.Top));
    c.SetSize(e.Height);
    SizeLabel = " x" + std::to_string(c.Size.Value);
    c.XPosition.Set(e.Items[0].X);
    c.HourWidth.Set(e.Items[1].X);
    c.MinuteWidth.Set(e.Items[1].Y);
    if (storedStyle != c.FaceStyle) {
        c.FaceStyle = storedStyle;
        if (storedStyle == kFaceAdvanced && p_.IsScrolled()) {
            p_.Message(kNoAdvancedFaceScrollable);
            c.FaceStyle = kFaceNone;
        }
    }
    c.Template.Set(e.Items[2].X);
    c.Length.Set(e.Items[2].Y);
    c.HourColor = e.Items[0].SelColor;
    c.MinuteColor = e.Items[0].UnselColor;
    c.FaceColor = e.BgColor;
    AdvancedPanelVisible = c.FaceStyle == kFaceAdvanced;
    ApplySizeMaximum(heightFieldMax);
    Draw();
}

void ClockStyle::SizeTextChanged(const std::string& text) {
    SizeLabel = " x" + text;
    if (text.empty())
        return;
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec == std::errc() && end == text.data() + text.size())
        Fields().SetSize(v);
}

void ClockStyle::FaceStyleChosen(int style, int heightFieldMax) {
    Clock& c = Fields();
    if (style == kFaceAdvanced && p_.IsScrolled()) {
        p_.Message(kNoAdvancedFaceScrollable);
        style = kFaceNone;
    }
    c.FaceStyle = style == kFaceAdvanced ? kFaceAdvanced : kFaceNone;
    AdvancedPanelVisible = c.FaceStyle == kFaceAdvanced;
    // The maximum before drawing, so that the face drawn (and burned into
    // the background) is the one the fields hold.
    ApplySizeMaximum(heightFieldMax);
    Draw();
}

void ClockStyle::FieldCommitted() {
    Draw();
}

void ClockStyle::TemplateChanged(int value) {
    Fields().Template.Set(value);
    Draw();
}

model::Color ClockStyle::SwatchColor(int which) {
    Clock& c = Fields();
    switch (which) {
    case kSwatchHourHand:
        return c.HourColor;
    case kSwatchMinuteHand:
        return c.MinuteColor;
    default:
        return c.FaceColor;
    }
}

void ClockStyle::SwatchChosen(int which, std::optional<model::Color> colour) {
    if (colour) {
        Clock& c = Fields();
        const model::Color v = *colour & 0xFFFFFFu;
        switch (which) {
        case kSwatchHourHand:
            c.HourColor = v;
            break;
        case kSwatchMinuteHand:
            c.MinuteColor = v;
            break;
        default:
            c.FaceColor = v;
            break;
        }
    }
    Draw();
}

int ClockStyle::Ok() {
    model::TPlugins& e = entry();
    Fields().Store(e);
    return e.Height;
}

} // namespace tessaro::preview
