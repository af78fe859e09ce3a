#pragma once
// Editing an entry directly on the phone screen: moving an entry up or down
// and moving its elements. The moves keep exactly the bounds the settings
// panel enforces, and when the panel is editing the same entry its fields
// follow, so that its next commit stores what the screen shows.
#include "model/document.h"
#include "model/panel.h"

namespace tessaro::model {

// The position field as the settings panel bounds it for entry i with its
// stored Top and Height (the panel's own bound computation, run on a scratch
// panel). Its Clamp() gives the Top the panel would store. i must be an
// entry in use.
SpinField PositionBounds(Document& doc, int i);

// Moves entry i to `top` brought within PositionBounds. Nothing happens for
// an index that is no entry in use. Returns true when Top changed.
bool MoveEntryTo(Document& doc, Panel& panel, int i, int top);

// Moves element slot `slot` (0..2) of entry i to (x, y); element positions
// have no bounds, as in the panel. Returns true when X or Y changed.
bool MoveElementTo(Document& doc, Panel& panel, int i, int slot, int x, int y);

// True when the panel is open on entry i.
bool PanelEdits(const Document& doc, const Panel& panel, int i);

} // namespace tessaro::model
