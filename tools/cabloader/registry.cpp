#include "registry.h"

#include <map>

#include "toolsupport.h"

namespace cabloader {

namespace {

std::string Escape(const std::string& text, bool name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '%' || (name && c == '=')) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string EscapeRegistryName(const std::string& name) {
    return Escape(name, true);
}

std::string EscapeRegistryValue(const std::string& value) {
    return Escape(value, false);
}

std::string UnescapeRegistry(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string MergeRegistry(const std::string& old,
                          const std::vector<std::pair<std::string, std::string>>& values) {
    // Keyed by the unescaped name in lower case; holds the escaped text.
    std::map<std::string, std::pair<std::string, std::string>> lines;
    size_t pos = 0;
    while (pos < old.size()) {
        size_t end = old.find('\n', pos);
        if (end == std::string::npos)
            end = old.size();
        std::string line = old.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t eq = line.find(" = ");
        if (eq == std::string::npos)
            continue;
        const std::string name = line.substr(0, eq);
        lines[cabtool::Lower(UnescapeRegistry(name))] = {name, line.substr(eq + 3)};
    }
    for (const auto& [name, value] : values)
        lines[cabtool::Lower(name)] = {EscapeRegistryName(name), EscapeRegistryValue(value)};
    std::string out;
    for (const auto& [key, line] : lines)
        out += line.first + " = " + line.second + "\r\n";
    return out;
}

} // namespace cabloader
