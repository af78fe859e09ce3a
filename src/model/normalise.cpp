#include "model/normalise.h"

#include "model/catalogue.h"
#include "model/editing.h"

namespace tessaro::model {

namespace {

constexpr int kScrollFrom = 201; // a layout this tall scrolls

void Walk(Document& doc, std::vector<std::string>& out) {
    const int n = CountEntries(doc);
    bool bar = false, face = false;
    for (int i = 0; i < n; ++i) {
        TPlugins& e = doc.Plugins[std::size_t(i)];
        const bool isBar = IsAdvancedBar(e);
        const bool isFace = IsAdvancedFace(e);
        if ((isBar && bar) || (isFace && face)) {
            const char* message = isBar ? kOneAdvancedBar : kOneAdvancedFace;
            doc.ActivePluginsList.Selected = i;
            RemoveEntry(doc, i);
            if (CountEntries(doc) < n) {
                Walk(doc, out);
                out.emplace_back(message);
                return;
            }
            out.emplace_back(message);
            continue;
        }
        bar = bar || isBar;
        face = face || isFace;
        if (KindOf(e.Name) == Kind::IconBar && e.Transparent && e.TransparencyLevel != 255 &&
            LayoutHeight(doc) >= kScrollFrom) {
            out.emplace_back(kTransparencyScrollable);
            e.Transparent = 0;
        }
        if (isFace)
            doc.BGI = kAnalogBackground;
    }
}

} // namespace

bool IsAdvancedBar(const TPlugins& e) {
    return KindOf(e.Name) == Kind::IconBar && e.Items[0].X == 1;
}
bool IsAdvancedFace(const TPlugins& e) {
    return KindOf(e.Name) == Kind::AnalogClock && e.Items[0].Y == 1;
}

std::vector<std::string> Normalise(Document& doc) {
    std::vector<std::string> out;
    Walk(doc, out);
    return out;
}

void MarkPictureIconBars(Theme& theme) {
    const int n = CountEntries(theme);
    for (int i = 0; i < n; ++i) {
        TPlugins& e = theme.Plugins[std::size_t(i)];
        if (KindOf(e.Name) == Kind::IconBar && !(e.Transparent && e.TransparencyLevel == 255))
            e.BgImage = "iconbar.jpg";
    }
}

} // namespace tessaro::model
