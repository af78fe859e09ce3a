#include "formats/markup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/error.h"

namespace tessaro::formats {

std::string EscapeMarkup(std::string_view value) {
    if (value.find_first_of("&<>\"") == std::string_view::npos) return std::string(value);
    std::string out;
    out.reserve(value.size() + 16);
    for (char c : value) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

void WriteWorkFile(const std::string& path, std::string_view data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw Error("Cannot create file \"" + path + "\". " + std::strerror(errno) + ".");
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    int err = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) throw Error("Cannot write file \"" + path + "\". " + std::strerror(err) + ".");
}

} // namespace tessaro::formats
