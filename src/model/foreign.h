#pragma once
// Plugins outside the catalogue: third-party plugins of an imported layout,
// kept exactly as the layout file gave them.
//
// Such an entry has a Name that is none of the thirteen kinds (older readers
// of the project file skip it) and holds its whole plugin element, byte for
// byte, in slot 3's Extra, which no kind reads. There the characters '\', CR
// and LF are written as "\\", "\r" and "\n", so that the project file keeps
// the element on one line. Height and Top place it like any other entry; the
// home layout writer writes the element back unchanged.
#include <string>
#include <string_view>

#include "model/document.h"

namespace tessaro::model {

// True when the entry carries a plugin element of its own (and is no kind).
bool IsForeignPlugin(const TPlugins& e);

// The plugin element of a foreign entry, as the layout file held it.
std::string ForeignElement(const TPlugins& e);

// Stores `element` (the verbatim bytes of a plugin element) in the entry.
void SetForeignElement(TPlugins& e, std::string_view element);

} // namespace tessaro::model
