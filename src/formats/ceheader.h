#pragma once
// Reading the installer header of a Windows CE cabinet (the ".000" file):
// where each file of the cabinet goes on the device, and the registry values
// it sets. Used by the device loader and by the theme import.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessaro::formats {

struct CeInstall {
    std::string AppName, Provider;
    struct File {
        std::string Source;     // what the caller gave for the file's number
        std::string Name;       // bare file name on the device
        std::string DevicePath; // "\IPSM\Application Data\Home\x"
        std::string Target;     // the device path below the device folder ("IPSM/...")
        std::uint32_t Flags = 0;
    };
    std::vector<File> Files;
    struct Value {
        std::string Key;  // "ROOT\Key\Name"; a key's default value has the name "@"
        std::uint32_t Type = 0;
        std::string Data; // the raw value bytes
        bool Substitute = false; // folder macros in the value are to be expanded
    };
    std::vector<Value> Values;
};

// The device folder of a %CEn% / %InstallDir% macro (without the percent
// signs). Throws Error for an unknown macro.
std::string MacroFolder(const std::string& macro, const std::string& appName);

// `text` with every %CEn% / %InstallDir% replaced by its device folder.
std::string ExpandMacros(const std::string& text, const std::string& appName);

// A device path ("\IPSM\Application Data\Home\x") as a relative path below
// the device folder ("IPSM/Application Data/Home/x"). Throws Error for a path
// that would leave it (a ".." part, a drive) or is empty.
std::string BelowDevice(const std::string& devicePath);

// Parses the header. `filesById` maps the number of each file in the cabinet
// (the digits of its extension) to what the caller wants in File::Source.
// Refuses (Error) a header that is cut short or names missing strings,
// folders or files, a file name that is not a bare name, and a destination
// that leaves the device folder.
CeInstall ReadCeHeader(const std::string& data, const std::map<int, std::string>& filesById);

// A string registry value's text (up to its NUL), its folder macros expanded
// when the value asks for it.
std::string StringValue(const CeInstall::Value& v, const std::string& appName);

} // namespace tessaro::formats
