#pragma once
// The device's registry file, "registry.txt": one "ROOT\Key\Name = type:value"
// line per value, CR LF line ends, sorted by name without regard to letter
// case.
//
// Names and values are stored escaped so that no value can read back as
// another line or another name: a control character (0x00-0x1F, 0x7F) and
// '%' are written as '%' and two upper-case hexadecimal digits ("%0D%0A" for
// CR LF, "%25" for '%'); in names '=' is written "%3D" too, so the first
// " = " of a line always ends its name.
#include <string>
#include <utility>
#include <vector>

namespace cabloader {

std::string EscapeRegistryName(const std::string& name);
std::string EscapeRegistryValue(const std::string& value);
// Undoes either escaping; a '%' not followed by two hexadecimal digits stays.
std::string UnescapeRegistry(const std::string& text);

// The registry file text after setting `values` (unescaped "ROOT\Key\Name",
// "type:value" pairs) on top of `old` (the file's text, "" when there is
// none). A value replaces an earlier one of the same name (letter case
// ignored); lines of `old` without " = " are dropped.
std::string MergeRegistry(const std::string& old,
                          const std::vector<std::pair<std::string, std::string>>& values);

} // namespace cabloader
