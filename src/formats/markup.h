#pragma once
// Helpers shared by the XML writers.
#include <array>
#include <string>
#include <string_view>

namespace tessaro::formats {

// The value with the markup characters & < > " replaced by their entity
// references; any other text is returned byte for byte.
std::string EscapeMarkup(std::string_view value);

// The scheme slots in the order both XML writers list them; the scheme file
// adds slots 17, 18 and 19 after these 28.
inline constexpr std::array<int, 28> kSchemeWriteOrder = {0,  2,  3,  4,  5,  13, 14, 6,  7,  8,
                                                         9,  10, 11, 12, 15, 16, 20, 21, 22, 23,
                                                         24, 26, 25, 27, 29, 31, 28, 30};

// Creates or truncates `path` and writes `data`. Throws Error naming the file
// when it cannot be created or written.
void WriteWorkFile(const std::string& path, std::string_view data);

} // namespace tessaro::formats
