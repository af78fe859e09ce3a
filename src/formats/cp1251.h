#pragma once
// Conversion between UTF-8 (what the window's text fields hold) and the
// document's Windows-1251 bytes.
#include <string>
#include <string_view>

namespace tessaro::formats {

// UTF-8 text to Windows-1251 bytes. A character the code page cannot hold,
// and every byte of a malformed UTF-8 sequence, becomes "?".
std::string Utf8ToCp1251(std::string_view utf8);

// True when `s` is well-formed UTF-8 (plain ASCII included).
bool IsUtf8(std::string_view s);

// Windows-1251 bytes to UTF-8. The one unassigned byte (0x98) becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

// Appends the UTF-8 of one Windows-1251 byte to `out`.
void AppendCp1251AsUtf8(std::string& out, unsigned char byte);

} // namespace tessaro::formats
