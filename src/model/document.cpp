#include "model/document.h"

#include <algorithm>
#include <climits>

namespace tessaro::model {

Theme::Theme() : Plugins(kRecordCount) {}

int CountEntries(const Theme& theme) {
    if (theme.Plugins.empty() || !theme.Plugins[0].Used) return 0;
    int n = 0;
    const int last = int(theme.Plugins.size()) - 1; // the always-blank record ends the scan
    while (n < last && theme.Plugins[n].Used) ++n;
    return n;
}

int LayoutHeight(Document& doc) {
    int height = 0;
    if (int n = CountEntries(doc); n > 0) {
        // Saturated: extreme values must not wrap round to a small height.
        const long long h = (long long)doc.Plugins[n - 1].Top + doc.Plugins[n - 1].Height;
        height = int(std::clamp<long long>(h, INT_MIN, INT_MAX));
    }
    auto& list = doc.ActivePluginsList;
    if (!list.Lines.empty() && list.Lines.front().empty()) {
        list.Lines.clear();
        list.Selected = -1;
        return 0;
    }
    return height;
}

void ResetDocument(Theme& theme) {
    theme.Plugins.assign(kRecordCount, TPlugins{});
}

} // namespace tessaro::model
