#pragma once
// Reading a Windows CE setup INF into an installation plan: the files to
// carry with their destinations and the registry values to set.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace cabwiz {

// Every problem with the INF or its files; the message names the line.
struct InfError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct PlannedFile {
    std::string SourcePath; // where to read it (relative to the current folder)
    std::string SourceName; // its name as listed
    std::string DestName;   // file name on the device
    std::string DestDir;    // destination folder, e.g. "%CE19%\Home"
    std::uint32_t Flags = 0;
};

struct PlannedValue {
    std::uint16_t Root = 0;  // cecab::kHKCR ...
    std::string Key;         // "ControlPanel\Home"
    std::string Name;        // "" for the default value
    std::uint32_t Type = 0;  // cecab::kType* (maybe with kNoClobber)
    std::string Data;        // encoded value: text + NUL, 4 bytes, strings + NULs + NUL, bytes
    bool Substitute = false; // the data names %CEn% / %InstallDir% folders
};

struct Plan {
    std::string AppName;
    std::string Provider;
    std::uint32_t Architecture = 0;
    std::uint32_t VersionMin[2] = {0, 0};
    std::uint32_t VersionMax[2] = {0, 0};
    std::uint32_t BuildMin = 0, BuildMax = 0;
    std::vector<PlannedFile> Files;
    std::vector<PlannedValue> Values;
};

// Parses the INF text (infDir: the INF's folder, ending in '/' or empty) and
// checks that every listed source file exists. Throws InfError.
Plan ReadInf(const std::string& text, const std::string& infDir);

// The 8.3 name of file `id` in the cabinet: the name up to its first dot,
// blanks removed, cut to 8 characters, left-padded with '0', then "." and
// the id in three digits.
std::string CabinetName(const std::string& name, int id);

// The ".000" header for the plan (file ids 1..n in plan order).
std::string BuildHeader(const Plan& plan);

} // namespace cabwiz
