#include "formats/names.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "model/error.h"

namespace tessaro::formats {

namespace {

// Every file and folder the program ships or writes in its program folder.
// The build's program folder and the code that writes work files use these
// names; a test checks the shipped folder against this list.
constexpr const char* kProgramFolder[] = {
    // programs
    "tessaro", "tessaro-cli", "tessaro-cli-qt", "Cabwizsp", "CabLoader",
    // scheme presets
    "Default", "Black", "Blue-Gray", "Green", "Mint", "Orange", "Pink", "Red", "Yellow",
    // support pictures and their folders, fonts, About page
    kDefaultPicture, "TrayIcons.bmp", "mru32.bmp", "mru16.bmp", "media_remote.bmp",
    "media_remote_sel.bmp", "IconBars", "Faces", "fonts", "info.txt", "about.jpg",
    // plugin cabinets
    "AnalogClock_Plugin.cab", "WMP_Plugin.cab",
    // work files
    kWorkLayout, kWorkInf, kWorkCab, "CF.cab.kept", kThemeCab, kUserScheme, kIconBarPicture,
    kClockBackground, kUndoStore,
};

// Name families: any name starting with the first text and ending with the
// second is reserved. Remote pictures come in states, laid-out cabinets carry
// "NAME.home.xml", and replacing writes go through ".tessaro-*" files.
struct Family {
    const char* Prefix;
    const char* Suffix;
};
constexpr Family kFamilies[] = {
    {"media_remote", ".bmp"},
    {"", kLayoutSuffix},
    {".tessaro", ""},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool InFamily(std::string_view name, const Family& f) {
    const std::string_view pre = f.Prefix, suf = f.Suffix;
    return name.size() >= pre.size() + suf.size() && SameText(name.substr(0, pre.size()), pre) &&
           SameText(name.substr(name.size() - suf.size()), suf);
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool ReadWhole(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

bool IsPreset(std::string_view name) {
    for (const char* p : {"Default", "Black", "Blue-Gray", "Green", "Mint", "Orange", "Pink", "Red", "Yellow"})
        if (SameText(name, p)) return true;
    return false;
}

// The program's spelling of a reserved single name, or empty.
std::string_view Spelling(std::string_view name) {
    for (const char* own : kProgramFolder)
        if (SameText(name, own)) return own;
    return {};
}

} // namespace

std::string ShownName(std::string_view name) {
    std::string out;
    for (unsigned char c : name) {
        if (IsControl(c)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out;
}

void CheckPictureName(std::string_view name, std::string_view what) {
    const std::string shown = "The " + std::string(what) + " name \"" + ShownName(name) + "\"";
    for (unsigned char c : name)
        if (IsControl(c)) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", c);
            throw Error(shown + " holds a control character (" + code + "); rename the file first.");
        }
    if (name.find_first_of("/\\") != std::string_view::npos || name == "." || name == "..")
        throw Error(shown + " is not a bare file name; a picture is named without a folder.");
    if (name.find(':') != std::string_view::npos)
        throw Error(shown + " holds ':', which names a drive on the phone; rename the file first.");
}

bool IsReservedName(std::string_view name) {
    if (!Spelling(name).empty()) return true;
    for (const Family& f : kFamilies)
        if (InFamily(name, f)) return true;
    return false;
}

std::string_view DesignPictureName(std::string_view name) {
    for (const char* own : {kDefaultPicture, kIconBarPicture, kClockBackground})
        if (SameText(name, own)) return own;
    return {};
}

void CheckArrival(const std::string& appDir, std::string_view name, std::string_view data,
                  Arrival how, std::string_view what) {
    CheckPictureName(name, what);
    if (!IsReservedName(name)) return;
    const std::string_view own = Spelling(name);
    auto sameAsProgramFile = [&] {
        std::string existing;
        if (!ReadWhole(appDir + std::string(own), existing)) return true; // nothing to replace
        return existing == data;
    };
    bool allowed = false;
    if (how == Arrival::Scheme) {
        allowed = SameText(name, kUserScheme) || (IsPreset(name) && sameAsProgramFile());
    } else if (!DesignPictureName(name).empty()) {
        const bool drawn = SameText(name, kIconBarPicture) || SameText(name, kClockBackground);
        allowed = (drawn && how == Arrival::Project) || (!drawn && sameAsProgramFile());
    }
    if (!allowed)
        throw Error("The " + std::string(what) + " \"" + ShownName(name) +
                    "\" has the name of one of the program's own files, which it would replace; "
                    "rename the file first.");
}

} // namespace tessaro::formats
