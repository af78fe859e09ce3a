#pragma once
// The home layout XML writer.
#include <string>
#include <string_view>

#include "model/document.h"

namespace tessaro::formats {

// The layout's title: the file name without directory, its last extension
// removed twice ("My.Blue.home.xml" -> "My.Blue").
std::string TitleOf(std::string_view fileName);

// The complete file content (byte-order mark, UTF-8, CR LF lines) for the
// document. Sets BgImage of every Icon Bar entry written in the picture form
// to "iconbar.jpg", as the writer does.
std::string BuildHomeLayout(model::Document& doc, std::string_view fileName);

// Writes BuildHomeLayout to doc.AppDir + "temp". Throws Error when the file
// cannot be written.
void WriteHomeLayout(model::Document& doc, std::string_view fileName);

} // namespace tessaro::formats
