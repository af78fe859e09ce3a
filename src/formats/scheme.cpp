#include "formats/scheme.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/color.h"
#include "formats/config.h"
#include "formats/homelayout.h"
#include "formats/markup.h"
#include "formats/names.h"
#include "model/error.h"

namespace tessaro::formats {

const std::array<const char*, model::kSchemeSize> SchemeColorNames = {
    "COLOR_WINDOW",        "COLOR_WINDOWTEXT",     "COLOR_STATIC",        "COLOR_STATICTEXT",
    "COLOR_HIGHLIGHT",     "COLOR_HIGHLIGHTTEXT",  "COLOR_MENU",          "COLOR_MENUTEXT",
    "COLOR_GRAYTEXT",      "COLOR_GRADLEFT",       "COLOR_GRADRIGHT",     "COLOR_INTGRADLEFT",
    "COLOR_INTGRADRIGHT",  "COLOR_HIGHGRADLEFT",   "COLOR_HIGHGRADRIGHT", "COLOR_TRAYGRADLEFT",
    "COLOR_TRAYGRADRIGHT", "COLOR_TRAY1",          "COLOR_TRAY2",         "COLOR_TRAYICONS",
    "COLOR_TRAYTEXT",      "COLOR_WINDOWFRAME",    "COLOR_BTNFACE",       "COLOR_BTNTEXT",
    "COLOR_SCROLLBAR",     "COLOR_ALERTTITLE",     "COLOR_ALERTWINDOW",   "COLOR_ALERTRULE",
    "COLOR_HOMERULE",      "COLOR_HOMEHIGHLIGHTTEXT", "COLOR_HOMEHIGHLIGHT", "COLOR_HOMETEXT",
};

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The colour written as six hex digits RRGGBB at `pos` of `line`.
model::Color ColourAt(std::string_view line, std::size_t pos) {
    std::string_view text = pos < line.size() ? line.substr(pos, 6) : std::string_view();
    model::Color rgb = 0;
    bool ok = text.size() == 6;
    for (std::size_t i = 0; ok && i < 6; ++i) {
        int d = HexDigit(text[i]);
        if (d < 0) ok = false;
        rgb = (rgb << 4) | model::Color(d);
    }
    if (!ok) throw Error("'" + std::string(text) + "' is not a valid hexadecimal colour value");
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

void Examine(std::string line, model::Scheme& s, std::array<bool, model::kSchemeSize>& found) {
    if (auto z = line.find("#0\""); z != std::string::npos) line = line.substr(0, z + 1) + "000000\"/>";
    for (int slot = 0; slot < model::kSchemeSize; ++slot) {
        if (line.find(std::string(SchemeColorNames[slot]) + "\"") == std::string::npos) continue;
        auto hash = line.find('#');
        s[slot] = ColourAt(line, hash == std::string::npos ? 0 : hash + 1);
        found[slot] = true;
    }
}

} // namespace

model::Scheme ParseColorScheme(std::string_view text) {
    model::Scheme s{};
    std::array<bool, model::kSchemeSize> found{};
    bool inside = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::string_view line = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (end == std::string_view::npos) pos = text.size();
        else pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);

        if (line.find("<scheme>") != std::string_view::npos) inside = true;
        if (line.find("</scheme>") != std::string_view::npos) inside = false;
        if (inside) Examine(std::string(line), s, found);
    }
    if (!found[17]) s[17] = s[15];
    if (!found[18]) s[18] = s[16];
    if (!found[19]) s[19] = s[20];
    return s;
}

model::Scheme ReadColorScheme(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw Error("Cannot open file \"" + path + "\". It is a folder.");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("Cannot open file \"" + path + "\". " + std::strerror(errno ? errno : ENOENT) + ".");
    std::ostringstream data;
    data << in.rdbuf();
    if (in.bad()) throw Error("Cannot read file \"" + path + "\".");
    return ParseColorScheme(data.str());
}

std::string BuildUserScheme(const model::Scheme& scheme, std::string_view dialogFileName) {
    std::string out = std::string("<?xml version=\"1.0\"?><colorscheme><author>") + kAuthor +
                      "</author><contacturl>" + kContactUrl + "</contacturl><title>" +
                      EscapeMarkup(TitleOf(dialogFileName)) + "</title><version>1.0</version>\r\n<scheme>\r\n";
    auto colour = [&](int slot) {
        out += std::string("<color name=\"") + SchemeColorNames[slot] + "\" value=\"" + ColorToHex(scheme[slot]) +
               "\" />\r\n";
    };
    for (int slot : kSchemeWriteOrder) colour(slot);
    for (int slot : {17, 18, 19}) colour(slot);
    out += "</scheme>\r\n</colorscheme>\r\n";
    return out;
}

void WriteUserScheme(const model::Document& doc, std::string_view dialogFileName) {
    WriteWorkFile(doc.AppDir + kUserScheme, BuildUserScheme(doc.Scheme, dialogFileName));
}

} // namespace tessaro::formats
