#pragma once
// The fixed catalogue of the thirteen plugin kinds.
#include <array>
#include <string>
#include <string_view>

namespace tessaro::model {

struct KindInfo {
    const char* Line;     // catalogue list line ("AnalogClock Plugin")
    const char* Name;     // stored name ("AnalogClock")
    const char* ClsId;    // without braces; empty for WMPlayer
    const char* DllName;  // empty for WMPlayer
    int Height;           // default height
    bool FixedHeight;     // Icon Bar, WMPlayer: height field disabled
    std::array<int, 6> Pos;             // slot 1 x,y, slot 2 x,y, slot 3 x,y
    std::array<const char*, 3> Labels;  // default label texts
};

constexpr int kKindCount = 13;

const std::array<KindInfo, kKindCount>& Catalogue();

// Position of the kind in the catalogue, -1 for a name that is no kind.
int KindIndex(std::string_view name);

// Class id / library of a stored kind name; empty when the name is no kind
// (and for WMPlayer).
std::string ClassIdOf(std::string_view name);
std::string LibraryOf(std::string_view name);

} // namespace tessaro::model
