#pragma once
// The files of a cabinet, read into memory with libgcab.
#include <string>
#include <vector>

namespace tessaro::package {

struct CabinetFile {
    std::string Name; // the name inside the cabinet
    std::string Data;
};

// Reads every file of the cabinet at `path`. Throws Error when the file is
// not a readable cabinet, or when it (or what it unpacks to) is larger than
// `maxBytes` in all.
std::vector<CabinetFile> ReadCabinetFiles(const std::string& path, std::size_t maxBytes);

} // namespace tessaro::package
