#include "model/panel.h"

#include <charconv>

#include "model/catalogue.h"
#include "model/foreign.h"
#include "model/editing.h"
#include "model/error.h"

namespace tessaro::model {

// ---------------------------------------------------------------- SpinField

int SpinField::Value() const {
    std::string_view t = Text;
    if (!t.empty() && t.front() == '+') {
        t.remove_prefix(1);
        if (!t.empty() && t.front() == '-') return Min;
    }
    if (t.empty()) return Min;
    int v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) return Min;
    return v;
}

int SpinField::Clamp(int v) const {
    if (!Bounded()) return v;
    if (v < Min) return Min;
    if (v > Max) return Max;
    return v;
}

void SpinField::SetValue(int v) { Text = std::to_string(Clamp(v)); }

void SpinField::Leave() {
    int v = Value();
    std::string want = std::to_string(Clamp(v));
    if (want != Text) Text = want;
}

void SpinField::Step(int delta) { SetValue(Value() + delta); }

// ------------------------------------------------------------ kind settings

namespace {

const KindSettings* SettingsOf(std::string_view kind) {
    for (const auto& k : SettingsTable())
        if (kind == k.Kind) return &k;
    return nullptr;
}

bool Editable(const Document& doc) {
    return doc.EditIndex >= 0 && doc.EditIndex < kMaxEntries &&
           doc.Plugins[std::size_t(doc.EditIndex)].Used;
}

TPlugins& Edited(Document& doc) { return doc.Plugins[std::size_t(doc.EditIndex)]; }

SpinField* NumberField(Panel& panel, Field f) {
    switch (f) {
    case Field::PHeight: return &panel.PHeight;
    case Field::GXPos: return &panel.GXPos;
    case Field::P1X: return &panel.P[0];
    case Field::P1Y: return &panel.P[1];
    case Field::P2X: return &panel.P[2];
    case Field::P2Y: return &panel.P[3];
    case Field::P3X: return &panel.P[4];
    case Field::P3Y: return &panel.P[5];
    default: return nullptr;
    }
}

// Sets a field's text the way the window does: a change of the height or
// position text runs the bounds recomputation.
void ChangeText(Document& doc, Panel& panel, SpinField& field, std::string text) {
    if (field.Text == text) return;
    field.Text = std::move(text);
    if (&field == &panel.PHeight || &field == &panel.GXPos) RecomputeBounds(doc, panel);
}

void ChangeValue(Document& doc, Panel& panel, SpinField& field, int v) {
    ChangeText(doc, panel, field, std::to_string(field.Clamp(v)));
}

} // namespace

namespace {

std::array<KindSettings, 13> BuildSettingsTable() {
    std::array<KindSettings, 13> t; // every field is set below
    const std::array<KindInfo, kKindCount>& kinds = Catalogue();
    for (int k = 0; k < kKindCount; ++k) {
        const KindInfo& info = kinds[std::size_t(k)];
        KindSettings& s = t[std::size_t(k)];
        s.Kind = info.Name;
        for (std::size_t i = 0; i < 3; ++i) {
            const SlotInfo& slot = info.Slots[i];
            SlotView view;
            view.Visible = slot.Visible;
            view.HasText = slot.HasText;
            view.HasOptions = slot.HasOptions;
            view.Caption = slot.Caption;
            view.TextCaption = slot.TextCaption;
            s.Slots[i] = view;
        }
        s.NoEvent = info.NoEvent;
        s.IconSize = info.IconSize;
        s.HeightDisabled = info.FixedHeight;
        s.Slot1Enabled = info.Slot1Enabled;
        s.Install = info.Install;
        s.Opens = info.Opens;
    }
    return t;
}

} // namespace

const std::array<KindSettings, 13>& SettingsTable() {
    static const std::array<KindSettings, 13> table = BuildSettingsTable();
    return table;
}

void HideSettingsControls(Panel& panel) {
    for (auto& s : panel.Slots) {
        s.Visible = false;
        s.HasText = false;
        s.HasOptions = false;
    }
    panel.VisnoiventVisible = false;
    panel.Switch1Visible = false;
    panel.Install = InstallButton::None;
    for (auto& t : panel.PText) t.clear();
    panel.Param1Enabled = false;
    panel.HeightEnabled = true;
}

void ShowSettingsFor(Panel& panel, std::string_view kind) {
    HideSettingsControls(panel);
    const KindSettings* k = SettingsOf(kind);
    if (!k) return;
    int line = KindIndex(kind);
    for (int s = 0; s < 3; ++s) {
        panel.Slots[s] = k->Slots[s];
        if (k->Slots[s].HasText && line >= 0 && Catalogue()[line].Labels[s])
            panel.PText[s] = Catalogue()[line].Labels[s];
    }
    panel.VisnoiventVisible = k->NoEvent;
    if (k->IconSize) {
        panel.Switch1Visible = true;
        panel.Switch1Caption = "IconSize";
        panel.Switch1Items = {"32x32", "16x16"};
    }
    panel.HeightEnabled = !k->HeightDisabled;
    panel.Param1Enabled = k->Slot1Enabled;
    panel.Install = k->Install;
}

StyleWindow StyleWindowFor(std::string_view kind) {
    const KindSettings* k = SettingsOf(kind);
    return k ? k->Opens : StyleWindow::None;
}

// ------------------------------------------------------------------ panel

Panel::Panel() {
    PHeight.Text = "14";
    PHeight.Min = 14;
    PHeight.Max = kLayoutLimit;
}

void OpenCatalogue(Panel& panel) {
    panel.State = PageState::Picking;
    panel.EntryListVisible = false;
    panel.CatalogueVisible = true;
}

void LeaveCatalogue(Panel& panel) {
    if (panel.State != PageState::Picking) return;
    panel.State = PageState::Browsing;
    panel.CatalogueVisible = false;
    panel.EntryListVisible = true;
}

bool AddEntry(Document& doc, Panel& panel, int line) {
    if (line < 0 || line >= kKindCount) line = kKindCount - 1;
    const KindInfo& kind = Catalogue()[line];
    const int count = CountEntries(doc);
    const int layoutHeight = LayoutHeight(doc);
    if (count >= kMaxEntries || layoutHeight + kind.Height > kLayoutLimit) {
        // Refused: back to the entry list, or the page would stay in picking
        // with no way on.
        if (panel.State == PageState::Picking) {
            panel.State = PageState::Browsing;
            panel.CatalogueVisible = false;
            panel.EntryListVisible = true;
        }
    }
    if (count >= kMaxEntries)
        throw Error("The layout already holds " + std::to_string(kMaxEntries) +
                    " entries; no more can be added.");
    if (layoutHeight + kind.Height > kLayoutLimit)
        throw Error("There is no room below the last entry for a new \"" +
                    std::string(kind.Name) + "\" entry: the layout may be at most " +
                    std::to_string(kLayoutLimit) + " pixels tall.");

    panel.State = PageState::Editing;
    panel.PanelVisible = true;
    doc.EditIndex = count;

    // The new place first, then the bounds for it: clamping against bounds
    // left from the previously edited entry would move the entry elsewhere.
    panel.GXPos.Min = layoutHeight;
    ChangeText(doc, panel, panel.GXPos, std::to_string(layoutHeight));
    RecomputeBounds(doc, panel);
    ChangeValue(doc, panel, panel.GXPos, layoutHeight);

    panel.Param = {true, true, true};
    panel.Switch1 = 0;
    panel.Visnoivent = true;

    doc.CurrentKind = kind.Name;
    ChangeValue(doc, panel, panel.PHeight, kind.Height);
    for (int f = 0; f < 6; ++f) panel.P[f].SetValue(kind.Pos[f]);

    ShowSettingsFor(panel, doc.CurrentKind);

    NewEntryValues v;
    v.Height = panel.PHeight.Value();
    v.Top = panel.GXPos.Value();
    for (int f = 0; f < 6; ++f) v.Pos[f] = panel.P[f].Value();
    for (int s = 0; s < 3; ++s) v.Texts[s] = panel.PText[s];
    FillNewEntry(doc, doc.EditIndex, doc.CurrentKind, v);
    return true;
}

bool OpenEntryForEditing(Document& doc, Panel& panel) {
    const auto& list = doc.ActivePluginsList;
    if (list.Selected < 0 || list.Selected >= int(list.Lines.size())) return false;
    if (list.Selected >= CountEntries(doc)) return false;
    doc.EditIndex = list.Selected;
    doc.CurrentKind = list.Lines[std::size_t(list.Selected)];
    const TPlugins& e = doc.Plugins[std::size_t(doc.EditIndex)];

    // Both texts first, then one recomputation: loading the position against
    // the height the panel held for a previous entry could otherwise force the
    // position to 0 and show (and later store) a top the entry does not have.
    panel.GXPos.Min = 0;
    panel.GXPos.Max = 0;
    panel.GXPos.Strict = false;
    panel.GXPos.Text = std::to_string(e.Top);
    panel.PHeight.Text = std::to_string(e.Height);
    RecomputeBounds(doc, panel);

    for (int s = 0; s < 3; ++s) {
        panel.P[2 * s].SetValue(e.Items[s].X);
        panel.P[2 * s + 1].SetValue(e.Items[s].Y);
        panel.Param[s] = e.Items[s].Visible != 0;
    }
    panel.Visnoivent = e.Items[1].Visible != 0;
    panel.Switch1 = e.Items[0].Extra == "16" ? 1 : 0;

    ShowSettingsFor(panel, e.Name);
    // A plugin outside the catalogue keeps the height its element gives; it
    // can only be moved.
    if (IsForeignPlugin(e)) panel.HeightEnabled = false;
    for (int s = 0; s < 3; ++s) panel.PText[s] = e.Items[s].Text;

    panel.State = PageState::Editing;
    panel.PanelVisible = true;
    return true;
}

void RecomputeBounds(Document& doc, Panel& panel) {
    if (panel.PHeight.Text.empty() || panel.GXPos.Text.empty()) return;
    const int i = doc.EditIndex;
    if (i < 0 || i >= kMaxEntries) return;
    const TPlugins& next = doc.Plugins[std::size_t(i) + 1];
    const int limit = next.Used ? next.Top : kLayoutLimit;

    panel.PHeight.Max = limit - panel.GXPos.Value();
    panel.PHeight.Strict = true;
    if (i < 1) {
        panel.GXPos.Min = 0;
    } else {
        const TPlugins& prev = doc.Plugins[std::size_t(i) - 1];
        panel.GXPos.Min = prev.Top + prev.Height;
    }
    panel.GXPos.Max = limit - panel.PHeight.Value();
    panel.GXPos.Strict = true;
    if (next.Used && panel.GXPos.Max == 0) ChangeValue(doc, panel, panel.GXPos, 0);
}

void SetFieldText(Document& doc, Panel& panel, Field field, std::string text) {
    if (SpinField* f = NumberField(panel, field)) {
        ChangeText(doc, panel, *f, std::move(text));
        return;
    }
    panel.PText[int(field) - int(Field::PText1)] = std::move(text);
}

void StepField(Document& doc, Panel& panel, Field field, int delta) {
    if (SpinField* f = NumberField(panel, field)) ChangeValue(doc, panel, *f, f->Value() + delta);
}

bool CommitField(Document& doc, Panel& panel, Field field) {
    SpinField* f = NumberField(panel, field);
    if (f) ChangeValue(doc, panel, *f, f->Value());
    if (!Editable(doc)) return false;
    TPlugins& e = Edited(doc);
    switch (field) {
    case Field::PHeight: e.Height = f->Value(); break;
    case Field::GXPos: e.Top = f->Value(); break;
    case Field::PText1:
    case Field::PText2:
    case Field::PText3: {
        int s = int(field) - int(Field::PText1);
        e.Items[s].Text = panel.PText[s];
        break;
    }
    default: {
        int k = int(field) - int(Field::P1X);
        if (k % 2 == 0)
            e.Items[k / 2].X = f->Value();
        else
            e.Items[k / 2].Y = f->Value();
    }
    }
    return true;
}

bool SetElementVisible(Document& doc, Panel& panel, int slot, bool visible) {
    if (slot < 0 || slot > 2) return false;
    panel.Param[slot] = visible;
    if (!Editable(doc)) return false;
    Edited(doc).Items[slot].Visible = visible ? 1 : 0;
    return true;
}

bool SetNoEvent(Document& doc, Panel& panel, bool visible) {
    panel.Visnoivent = visible;
    if (Editable(doc)) Edited(doc).Items[1].Visible = visible ? 1 : 0;
    return false;
}

bool SetIconSize(Document& doc, Panel& panel, int choice) {
    panel.Switch1 = choice;
    if (doc.CurrentKind == "MRU" && Editable(doc))
        Edited(doc).Items[0].Extra = choice == 1 ? "16" : "32";
    return true;
}

std::string BeginElementFormats(Document& doc, const Panel& panel, int slot) {
    if (slot < 0 || slot > 2 || !Editable(doc)) throw Error("No element is being edited.");
    doc.EditItem = Edited(doc).Items[slot];
    return doc.CurrentKind + " " + panel.Slots[slot].Caption;
}

bool EndElementFormats(Document& doc, int slot) {
    if (slot < 0 || slot > 2 || !Editable(doc)) return false;
    Edited(doc).Items[slot] = doc.EditItem;
    return true;
}

bool ClosePanel(Document& doc, Panel& panel) {
    panel.State = PageState::Browsing;
    panel.PanelVisible = false;
    panel.CatalogueVisible = false;
    panel.EntryListVisible = true;
    doc.ActivePluginsList.Selected = int(doc.ActivePluginsList.Lines.size()) - 1;
    return true;
}

bool RemoveSelected(Document& doc) {
    const auto& list = doc.ActivePluginsList;
    if (list.Selected < 0 || list.Selected >= int(list.Lines.size())) return false;
    RemoveEntry(doc, list.Selected);
    return true;
}

bool MoveSelectedUp(Document& doc) { return MoveEntryUp(doc, doc.ActivePluginsList.Selected); }

bool MoveSelectedDown(Document& doc) {
    return MoveEntryDown(doc, doc.ActivePluginsList.Selected);
}

} // namespace tessaro::model
