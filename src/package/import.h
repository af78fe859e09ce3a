#pragma once
// Bringing an existing theme into a design: a home layout (".home.xml", its
// pictures beside it) or a theme cabinet (".cab").
#include <string>
#include <vector>

#include "model/document.h"

namespace tessaro::package {

struct ImportResult {
    model::Theme theme;
    std::vector<std::string> report; // one line for each thing not carried over
};

// Reads a .home.xml (pictures beside it) or a .cab (the layout its "Scheme"
// registry value names, else its only *.home.xml; pictures from the
// cabinet); copies the pictures into `appDir` (the program folder) under
// checked names. Throws tessaro::Error with a clear message on a file that is
// not a layout (not XML, cut short, no <home> root, no layout in the
// cabinet, beyond the limits); then nothing has been written.
ImportResult ImportTheme(const std::string& path, const std::string& appDir);

// Makes `theme` the document's design the way opening a project does: the
// background name field and the entry list follow it, nothing is selected.
void UseImportedTheme(model::Document& doc, const model::Theme& theme);

// True for the names of the program folder's own files (programs, presets,
// support pictures, work files), which an imported picture must not replace.
bool IsReservedPictureName(const std::string& name);

} // namespace tessaro::package
