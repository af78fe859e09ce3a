#pragma once
// Editing operations on the document, as plain functions. Each changes the
// entries and the entry list together; the caller redraws the preview.
#include <string>
#include <string_view>

#include "model/document.h"

namespace tessaro::model {

// The values the settings panel holds when a new entry is filled (step 8 of
// adding an entry): height, position, the six element positions (slot 1 x, y,
// slot 2 x, y, slot 3 x, y) and the three label texts.
struct NewEntryValues {
    int Height = 0;
    int Top = 0;
    std::array<int, 6> Pos{};
    std::array<std::string, 3> Texts;
};

// The panel values a kind starts with when added to `doc` (its default height,
// the current layout height as Top, default positions and label texts).
// Throws Error for a name that is no kind.
NewEntryValues DefaultsFor(Document& doc, std::string_view kind);

// Fills entry `index` as a new entry of `kind` with `values`, the document's
// default formats and the kind's class id and library; MRU gets Extra "32" and
// "5" in slots 1 and 2. Appends the kind name as the entry list's last line.
// Throws Error when index is not CountEntries(doc), when 1001 entries are in
// use, or when the entry would reach below the 6000-pixel layout limit.
void FillNewEntry(Document& doc, int index, std::string_view kind, const NewEntryValues& values);

// Adds an entry of catalogue line `catalogueLine` (0..12) with its defaults at
// the end of the layout; returns its index. Errors as FillNewEntry.
int AddEntry(Document& doc, int catalogueLine);

// Removes entry i (and list line i); later entries move up one place keeping
// their Top. Selects the last line when no line is left selected. Ignores an
// index that is not a line of the list.
void RemoveEntry(Document& doc, int i);

// Exchanges entries i and i-1 (i and i+1) keeping the outer bounds of the
// pair; the list lines follow and the selection moves with the entry.
// Return false (and change nothing) when the move does not apply.
bool MoveEntryUp(Document& doc, int i);
bool MoveEntryDown(Document& doc, int i);

} // namespace tessaro::model
