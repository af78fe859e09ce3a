#pragma once
// The "Home Screen" page's settings panel as a model: its number fields, the
// per-kind configuration of its controls, and the editing operations that work
// on a document through it. The window binds its widgets to a Panel and calls
// these functions; each operation that changes what the preview shows returns
// true, and the caller then redraws.
#include <array>
#include <string>
#include <string_view>

#include "model/catalogue.h"
#include "model/document.h"

namespace tessaro::model {

// A number field with up and down buttons. It holds text; the bounds apply
// only when they differ, or always once `Strict` is set.
struct SpinField {
    std::string Text = "0";
    int Min = 0;
    int Max = 0;
    // Bounds computed by the editor from the neighbouring entries are real
    // limits even when they coincide (an entry squeezed into a 14-pixel gap
    // must keep height 14); plain fields leave this off.
    bool Strict = false;

    bool Bounded() const { return Strict || Min != Max; }
    // The text as a whole number; text that is not one reads as Min.
    int Value() const;
    // `v` brought within the bounds (lower bound first, as the field does).
    int Clamp(int v) const;
    // Sets the text to the clamped value.
    void SetValue(int v);
    // Leaving the field: rewrites the text when the value is out of bounds
    // (or not a number).
    void Leave();
    // One press of an arrow button (+1 or -1), clamped.
    void Step(int delta);
};

// What the panel shows for one element slot.
struct SlotView {
    bool Visible = false;     // check box, position captions and fields, bevel
    bool HasText = false;     // text caption and label text field
    bool HasOptions = false;  // state-format button
    std::string Caption;      // the check box caption ("Subject")
    std::string TextCaption;  // "Text before", "Text Before"
};

// The page's three states.
enum class PageState { Browsing, Picking, Editing };

// The settings panel and what of the page it covers.
struct Panel {
    Panel();

    SpinField PHeight;                 // "Height"
    SpinField GXPos;                   // "Position"
    std::array<SpinField, 6> P;        // P1X, P1Y, P2X, P2Y, P3X, P3Y
    std::array<std::string, 3> PText;  // PText1, Ptext2, PText3 (document bytes)
    std::array<bool, 3> Param{true, true, true};
    std::array<SlotView, 3> Slots;
    bool Param1Enabled = false;

    bool Visnoivent = true;            // "No event visible"
    bool VisnoiventVisible = false;
    int Switch1 = 0;                   // 0 first choice, 1 second
    bool Switch1Visible = false;
    std::string Switch1Caption = "SelectType";
    std::array<std::string, 2> Switch1Items{"Color", "Font"};
    bool HeightEnabled = true;
    InstallButton Install = InstallButton::None;

    PageState State = PageState::Browsing;
    bool EntryListVisible = true;
    bool CatalogueVisible = false;
    bool PanelVisible = false;
};

// The panel's fields that commit into the entry being edited.
enum class Field { PHeight, GXPos, P1X, P1Y, P2X, P2Y, P3X, P3Y, PText1, PText2, PText3 };

// Per-kind configuration of the panel, in catalogue order, as the catalogue
// gives it.
struct KindSettings {
    const char* Kind;
    std::array<SlotView, 3> Slots;
    bool NoEvent;         // "No event visible" check box
    bool IconSize;        // icon-size choice (MRU)
    bool HeightDisabled;  // Icon Bar, WMPlayer
    bool Slot1Enabled;    // Clock: time may be switched off
    InstallButton Install;
    StyleWindow Opens;
};
const std::array<KindSettings, 13>& SettingsTable();

// Hides every slot group, the no-event box, the icon-size choice and the
// install buttons; empties the label texts; disables slot 1's check box;
// enables the height field.
void HideSettingsControls(Panel& panel);
// HideSettingsControls, then shows the controls, captions and default label
// texts of `kind`. A name that is no kind leaves everything hidden.
void ShowSettingsFor(Panel& panel, std::string_view kind);
// The style window the "Options" button opens for `kind`.
StyleWindow StyleWindowFor(std::string_view kind);

// Shows the catalogue in place of the entry list.
void OpenCatalogue(Panel& panel);
// Leaves the catalogue without adding an entry: back to the entry list.
void LeaveCatalogue(Panel& panel);

// Adds an entry of catalogue line `line` (-1: nothing selected, which picks
// the last line) right after the last entry and opens the panel on it.
// Refuses with Error, changing no entry, when 1001 entries are in use or the
// kind's default height does not fit above the 6000-pixel limit; the page
// then goes back from picking to the entry list. Redraws.
bool AddEntry(Document& doc, Panel& panel, int line);

// Opens the entry selected in the entry list. False (nothing changes) when no
// line is selected. Redraws.
bool OpenEntryForEditing(Document& doc, Panel& panel);

// A field's text as typed. For the height and position fields this runs the
// bounds recomputation. No commit, no redraw.
void SetFieldText(Document& doc, Panel& panel, Field field, std::string text);
// One arrow press on a number field (height, position, element positions).
void StepField(Document& doc, Panel& panel, Field field, int delta);
// Leaving the field or Enter: brings the value within bounds and stores it
// into entry EditIndex. Redraws.
bool CommitField(Document& doc, Panel& panel, Field field);
// Recomputes the height and position bounds from the stored neighbours of
// entry EditIndex. Nothing happens while either text is empty.
void RecomputeBounds(Document& doc, Panel& panel);

// Param1..Param3 (slot 0..2). Redraws.
bool SetElementVisible(Document& doc, Panel& panel, int slot, bool visible);
// "No event visible" into slot 2's Visible. Does not redraw.
bool SetNoEvent(Document& doc, Panel& panel, bool visible);
// Icon-size choice (0 "32x32", 1 "16x16"); stored for MRU entries. Redraws.
bool SetIconSize(Document& doc, Panel& panel, int choice);

// Options1..3: copies slot `slot` of entry EditIndex into EditItem and returns
// the state window's heading (kind, a blank, the slot's caption).
std::string BeginElementFormats(Document& doc, const Panel& panel, int slot);
// After the state window closed: EditItem back into the slot. Redraws.
bool EndElementFormats(Document& doc, int slot);

// "OK": hides the panel and the catalogue, shows the entry list and selects
// its last line. Redraws.
bool ClosePanel(Document& doc, Panel& panel);

// Remove / move the selected entry of the entry list. False when the request
// does not apply.
bool RemoveSelected(Document& doc);
bool MoveSelectedUp(Document& doc);
bool MoveSelectedDown(Document& doc);

} // namespace tessaro::model
