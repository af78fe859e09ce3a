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
// document, after the writer's rule model::MarkPictureIconBars (every Icon
// Bar entry written in the picture form names "iconbar.jpg" as BgImage).
std::string BuildHomeLayout(model::Document& doc, std::string_view fileName);

// The same text for a document the rule has already been applied to; reads
// the document only.
std::string BuildLayoutText(const model::Document& doc, std::string_view fileName);

// Writes BuildHomeLayout to doc.AppDir + "temp". Throws Error when the file
// cannot be written.
void WriteHomeLayout(model::Document& doc, std::string_view fileName);

} // namespace tessaro::formats
