#pragma once
// Entries for the style window tests, filled as the editor fills them.
#include <string>

#include "model/document.h"

namespace tessaro::testsupport {

// Appends an entry of `kind` at `top` with `height` and returns its index:
// every element visible, and for an Icon Bar and an AnalogClock the element
// places and face colour they start with.
inline int AddStyleEntry(model::Document& doc, const std::string& kind, int top, int height) {
    const int i = model::CountEntries(doc);
    model::TPlugins& e = doc.Plugins[i];
    e.Used = 1;
    e.Name = kind;
    e.Top = top;
    e.Height = height;
    for (auto& item : e.Items)
        item.Visible = 1;
    if (kind == "Icon Bar")
        e.Items[0].Y = 1;
    if (kind == "AnalogClock") {
        e.Items[1].X = 1;
        e.Items[1].Y = 1;
        e.Items[2].X = 1;
        e.Items[2].Y = 70;
        e.BgColor = 0x00FFFF00;
    }
    doc.ActivePluginsList.Lines.push_back(kind);
    return i;
}

// The same, made the entry being edited.
inline int AddEditedEntry(model::Document& doc, const std::string& kind, int top, int height) {
    const int i = AddStyleEntry(doc, kind, top, height);
    doc.EditIndex = i;
    doc.CurrentKind = kind;
    return i;
}

} // namespace tessaro::testsupport
