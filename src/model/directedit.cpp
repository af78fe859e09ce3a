#include "model/directedit.h"

#include <string>

namespace tessaro::model {

namespace {

bool InUse(const Document& doc, int i) {
    return i >= 0 && i < CountEntries(doc);
}

} // namespace

bool PanelEdits(const Document& doc, const Panel& panel, int i) {
    return panel.State == PageState::Editing && panel.PanelVisible && doc.EditIndex == i;
}

SpinField PositionBounds(Document& doc, int i) {
    const TPlugins& e = doc.Plugins[std::size_t(i)];
    Panel scratch;
    scratch.GXPos.Text = std::to_string(e.Top);
    scratch.PHeight.Text = std::to_string(e.Height);
    // RecomputeBounds reads the entry it works for from EditIndex.
    const std::int32_t editIndex = doc.EditIndex;
    doc.EditIndex = i;
    RecomputeBounds(doc, scratch);
    doc.EditIndex = editIndex;
    return scratch.GXPos;
}

bool MoveEntryTo(Document& doc, Panel& panel, int i, int top) {
    if (!InUse(doc, i))
        return false;
    TPlugins& e = doc.Plugins[std::size_t(i)];
    const int before = e.Top;
    if (PanelEdits(doc, panel, i)) {
        // Through the panel's own field: its bounds come from what it holds.
        SetFieldText(doc, panel, Field::GXPos, std::to_string(top));
        CommitField(doc, panel, Field::GXPos);
    } else {
        e.Top = PositionBounds(doc, i).Clamp(top);
    }
    return e.Top != before;
}

bool MoveElementTo(Document& doc, Panel& panel, int i, int slot, int x, int y) {
    if (!InUse(doc, i) || slot < 0 || slot > 2)
        return false;
    TPluginItem& item = doc.Plugins[std::size_t(i)].Items[std::size_t(slot)];
    const int bx = item.X, by = item.Y;
    if (PanelEdits(doc, panel, i)) {
        const Field fx = Field(int(Field::P1X) + 2 * slot), fy = Field(int(fx) + 1);
        SetFieldText(doc, panel, fx, std::to_string(x));
        CommitField(doc, panel, fx);
        SetFieldText(doc, panel, fy, std::to_string(y));
        CommitField(doc, panel, fy);
    } else {
        item.X = x;
        item.Y = y;
    }
    return item.X != bx || item.Y != by;
}

} // namespace tessaro::model
