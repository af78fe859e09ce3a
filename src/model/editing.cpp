#include "model/editing.h"

#include <algorithm>
#include <utility>

#include "model/catalogue.h"
#include "model/error.h"

namespace tessaro::model {

namespace {

const KindInfo& KindOrThrow(std::string_view kind) {
    int k = KindIndex(kind);
    if (k < 0) throw Error("\"" + std::string(kind) + "\" is not a plugin kind.");
    return Catalogue()[k];
}

int LineCount(const Document& doc) { return int(doc.ActivePluginsList.Lines.size()); }

} // namespace

NewEntryValues DefaultsFor(Document& doc, std::string_view kind) {
    const KindInfo& info = KindOrThrow(kind);
    NewEntryValues v;
    v.Height = info.Height;
    v.Top = LayoutHeight(doc);
    v.Pos = info.Pos;
    for (int s = 0; s < 3; ++s) v.Texts[s] = info.Labels[s];
    return v;
}

void FillNewEntry(Document& doc, int index, std::string_view kind, const NewEntryValues& values) {
    const KindInfo& info = KindOrThrow(kind);
    const int count = CountEntries(doc);
    if (count >= kMaxEntries) throw Error("The layout is full: it holds 1001 entries.");
    if (index != count)
        throw Error("A new entry can only be placed after the last entry (place " + std::to_string(count) +
                    "), not at place " + std::to_string(index) + ".");
    if (values.Height < 0 || values.Top < 0 || std::int64_t(values.Top) + values.Height > kLayoutLimit)
        throw Error("There is no room for a " + std::string(info.Name) + " entry of height " +
                    std::to_string(values.Height) + " at position " + std::to_string(values.Top) +
                    ": the layout may be at most 6000 pixels tall.");

    TPlugins& e = doc.Plugins[index];
    if (info.Name == std::string_view("MRU")) {
        e.Items[0].Extra = "32";
        e.Items[1].Extra = "5";
    }
    e.Used = 1;
    e.Name = info.Name;
    e.ClsId = ClassIdOf(info.Name);
    e.DllName = LibraryOf(info.Name);
    e.BgColor = doc.DefaultBgColor;
    e.Transparent = doc.DefaultTransparent ? 1 : 0;
    e.BgImage.clear();
    e.Height = values.Height;
    e.Top = values.Top;
    for (int s = 0; s < 3; ++s) {
        TPluginItem& it = e.Items[s];
        it.FontSize = doc.DefaultFontSize;
        it.SelWeight = doc.DefaultSelWeight;
        it.UnselWeight = doc.DefaultUnselWeight;
        it.SelColor = doc.DefaultSelColor;
        it.UnselColor = doc.DefaultUnselColor;
        it.X = values.Pos[2 * s];
        it.Y = values.Pos[2 * s + 1];
        it.Text = values.Texts[s];
        it.Visible = 1;
    }
    doc.ActivePluginsList.Lines.emplace_back(info.Name);
}

int AddEntry(Document& doc, int catalogueLine) {
    if (catalogueLine < 0) catalogueLine = kKindCount - 1; // no line picked: the last one
    if (catalogueLine >= kKindCount) throw Error("There is no catalogue line " + std::to_string(catalogueLine) + ".");
    const char* kind = Catalogue()[catalogueLine].Name;
    const int index = CountEntries(doc);
    FillNewEntry(doc, index, kind, DefaultsFor(doc, kind));
    doc.EditIndex = index;
    doc.CurrentKind = kind;
    return index;
}

void RemoveEntry(Document& doc, int i) {
    auto& list = doc.ActivePluginsList;
    if (i < 0 || i >= LineCount(doc)) return;
    list.Lines.erase(list.Lines.begin() + i);
    if (list.Selected == i) list.Selected = -1;
    else if (list.Selected > i) --list.Selected;
    if (i < kMaxEntries) {
        // Later entries move up one place; the always-blank last record fills the gap.
        std::move(doc.Plugins.begin() + i + 1, doc.Plugins.end(), doc.Plugins.begin() + i);
        doc.Plugins[kRecordCount - 1] = TPlugins{};
    }
    if (list.Selected < 0 || list.Selected >= LineCount(doc)) list.Selected = LineCount(doc) - 1;
}

bool MoveEntryUp(Document& doc, int i) {
    if (i < 1 || i >= LineCount(doc) || i >= kMaxEntries) return false;
    auto& list = doc.ActivePluginsList;
    std::swap(list.Lines[i], list.Lines[i - 1]);
    list.Selected = i - 1;
    TPlugins a = doc.Plugins[i];
    TPlugins b = doc.Plugins[i - 1];
    const int aTop = a.Top;
    a.Top = b.Top;
    b.Top = aTop + a.Height - b.Height;
    doc.Plugins[i - 1] = std::move(a);
    doc.Plugins[i] = std::move(b);
    return true;
}

bool MoveEntryDown(Document& doc, int i) {
    if (i < 0 || i + 1 >= LineCount(doc) || i + 1 >= kMaxEntries) return false;
    auto& list = doc.ActivePluginsList;
    std::swap(list.Lines[i], list.Lines[i + 1]);
    list.Selected = i + 1;
    TPlugins a = doc.Plugins[i];
    TPlugins b = doc.Plugins[i + 1];
    const int bTop = b.Top;
    b.Top = a.Top;
    a.Top = bTop + b.Height - a.Height;
    doc.Plugins[i] = std::move(b);
    doc.Plugins[i + 1] = std::move(a);
    return true;
}

} // namespace tessaro::model
