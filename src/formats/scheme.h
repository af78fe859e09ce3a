#pragma once
// Colour schemes: the slot names, the scheme file reader and the writer of
// "user.scheme.xml".
#include <array>
#include <string>
#include <string_view>

#include "model/document.h"

namespace tessaro::formats {

extern const std::array<const char*, model::kSchemeSize> SchemeColorNames;

// Parses scheme file text (lines separated by CR LF, LF or CR). Throws Error
// naming the bad text when a colour value is not hexadecimal.
model::Scheme ParseColorScheme(std::string_view text);

// Reads a scheme file. Throws Error when the file cannot be opened (the
// message names the file) or a value is malformed.
model::Scheme ReadColorScheme(const std::string& path);

// The text of "user.scheme.xml" for `scheme`; the title comes from
// `dialogFileName` as in the home layout.
std::string BuildUserScheme(const model::Scheme& scheme, std::string_view dialogFileName);

// Writes doc.AppDir + "user.scheme.xml". Throws Error when it cannot be written.
void WriteUserScheme(const model::Document& doc, std::string_view dialogFileName);

} // namespace tessaro::formats
