#pragma once
// Reading a home layout file (".home.xml") back into a design: the inverse of
// the home layout writer. Pure parsing; pictures are the caller's business.
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"

namespace tessaro::package {

// Limits a layout file must keep.
inline constexpr std::size_t kMaxLayoutBytes = 8u << 20;
inline constexpr int kMaxNesting = 64;

// A picture the layout names, and where the design holds its name.
struct PictureUse {
    enum class Role { Background, EntryBackground, IconBar };
    Role Use = Role::Background;
    int Entry = -1;       // the entry, for EntryBackground and IconBar
    std::string Name;     // file-name part of the attribute, UTF-8
    int Line = 0;         // where the layout names it
};

struct ParsedLayout {
    model::Theme Theme;
    // One line for each thing the design cannot carry ("Line 12: ...").
    std::vector<std::string> Report;
    std::vector<PictureUse> Pictures;
};

// Parses the bytes of a home layout. UTF-8 with or without a byte-order mark;
// a file that is not valid UTF-8 (written before every code page character
// was converted) is read with its stray bytes as Windows-1251. Throws Error
// with a clear message for anything that is not a home layout (not XML, cut
// short, no <home> root) and for a layout beyond the limits (over 8 MiB,
// nested deeper than 64, more than 1001 entries, taller than 6000 pixels).
// The theme's scheme and default formats come from the file; BackgroundImage
// and the entries' pictures name the files the layout names (see Pictures).
ParsedLayout ReadHomeLayout(std::string_view bytes);

} // namespace tessaro::package
