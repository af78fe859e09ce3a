#pragma once
// The project file text (".trpf"): header of 10 lines, then 41 lines per entry.
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"

namespace tessaro::formats {

struct ProjectData {
    std::string Background;  // line 1
    int SplitLines = 0;      // line 2
    model::Color DefaultBgColor = 0;
    bool DefaultTransparent = false;
    int DefaultFontSize = 0;
    std::string DefaultSelWeight;
    std::string DefaultUnselWeight;
    model::Color DefaultSelColor = 0;
    model::Color DefaultUnselColor = 0;
    std::vector<model::TPlugins> Entries;
};

// The project file text for the document (CR LF lines).
std::string FormatProject(const model::Theme& doc);

// Parses and checks a whole project file. Throws Error naming the line that is
// wrong ("'%s' is not a valid integer value"; a picture name that is no bare
// file name, holds a control character or is one of the program's own files
// other than the pictures a design names), and for more than 1001 entries.
ProjectData ParseProject(std::string_view text);

} // namespace tessaro::formats
