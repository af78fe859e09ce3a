#pragma once
// The installer header of a Windows CE cabinet (the ".000" file): constants
// and little-endian helpers shared by the cabinet builder and the loader.
//
// Layout written and read here: a fixed 100-byte part, then the strings,
// dirs, files, registry hives, registry values, (no) links, the application
// name and the provider. A registry value record is id, hive id, substitute
// flag (u16 each), type (u32), data length (u16) and then the data: the value
// name with its NUL followed by the value; the data length counts both.
#include <cstdint>
#include <string>

namespace cecab {

inline constexpr std::size_t kFixedSize = 100;

// Offsets in the fixed part.
inline constexpr std::size_t kOffLength = 8;
inline constexpr std::size_t kOffArch = 20;
inline constexpr std::size_t kOffCounts = 48;   // six u16 counts
inline constexpr std::size_t kOffSections = 60; // six u32 offsets
inline constexpr std::size_t kOffAppName = 84;  // u16 offset, u16 length
inline constexpr std::size_t kOffProvider = 88; // u16 offset, u16 length

enum Section { kStrings = 0, kDirs, kFiles, kHives, kKeys, kLinks, kSectionCount };

// Registry roots.
inline constexpr std::uint16_t kHKCR = 1, kHKCU = 2, kHKLM = 3, kHKU = 4;

// Registry value types (the "don't overwrite" bit may be added).
inline constexpr std::uint32_t kTypeString = 0x00000000;
inline constexpr std::uint32_t kTypeDword = 0x00010001;
inline constexpr std::uint32_t kTypeMultiSz = 0x00010000;
inline constexpr std::uint32_t kTypeBinary = 0x00000001;
inline constexpr std::uint32_t kNoClobber = 0x00000002;

// File flags.
inline constexpr std::uint32_t kFileNeverOverwrite = 0x00000010;

inline void PutU16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
inline void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void SetU16(std::string& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void SetU32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline std::uint16_t GetU16(const std::string& in, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(in[at]) |
                                      (static_cast<unsigned char>(in[at + 1]) << 8));
}
inline std::uint32_t GetU32(const std::string& in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(in[at + i]);
    return v;
}

} // namespace cecab
