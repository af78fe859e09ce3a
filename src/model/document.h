#pragma once
// The theme document: the design (Theme) and the editor state around it.
// Texts are 8-bit strings in the Windows-1251 code page.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaro::model {

// A colour in the 0x00BBGGRR layout (red in the low byte).
using Color = std::uint32_t;

constexpr int kRecordCount = 1002;  // indexes 0..1001; 1001 always blank
constexpr int kMaxEntries = 1001;   // entries live in indexes 0..1000
constexpr int kLayoutLimit = 6000;  // the layout is at most this many pixels tall
constexpr int kSchemeSize = 32;

using Scheme = std::array<Color, kSchemeSize>;

struct TPluginItem {
    std::uint8_t Visible = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t FontSize = 0;
    std::string SelWeight;
    std::string UnselWeight;
    std::string Text;
    Color SelColor = 0;
    Color UnselColor = 0;
    std::string Extra;

    bool operator==(const TPluginItem&) const = default;
};

struct TPlugins {
    std::uint8_t Used = 0;
    std::string Name;
    std::string ClsId;
    std::string DllName;
    std::int32_t Height = 0;
    std::int32_t Top = 0;
    Color BgColor = 0;
    std::uint8_t Transparent = 0;
    std::int32_t TransparencyLevel = 0;
    std::string CustomImage;
    std::string BgImage;
    std::array<TPluginItem, 3> Items{};

    bool operator==(const TPlugins&) const = default;
};

// The main window's entry list (ActivePluginsList): one line per entry, line i
// is entry i. Kept with the document so that every operation that reorders or
// removes entries changes both in one place.
struct EntryList {
    std::vector<std::string> Lines;
    int Selected = -1; // -1: no line selected
};

// The design itself: exactly what a project file holds. A value: it can be
// copied, compared, parsed into and checked without any editor around it.
struct Theme {
    Theme();

    // Always kRecordCount records; never resized.
    std::vector<TPlugins> Plugins;

    // Default state formats.
    Color DefaultBgColor = 0;
    bool DefaultTransparent = false;
    std::int32_t DefaultFontSize = 14;
    std::string DefaultSelWeight = "bold";
    std::string DefaultUnselWeight = "normal";
    Color DefaultSelColor = 0;
    Color DefaultUnselColor = 0;

    model::Scheme Scheme{};

    // Bare file name of the background picture in the program folder.
    std::string BackgroundImage = "WindowsMobile.JPG";

    // "Split Lines": 0 "On", 1 "Off".
    int SplitLines = 0;

    bool operator==(const Theme&) const = default;
};

// A design being edited: the Theme and the editor state around it.
struct Document : Theme {
    // The program folder, ending in '/'. Every picture the design names is a
    // bare file name of a file in this folder.
    std::string AppDir;
    // Where the helper programs (the cabinet builder and the device loader)
    // are run from, ending in '/'; empty: AppDir.
    std::string HelperDir;

    // Window state that the writers and the preview read.
    std::string BGI = "WindowsMobile.JPG"; // the "Background Image" name field
    EntryList ActivePluginsList;

    // Editor state.
    std::int32_t EditIndex = 0;
    TPluginItem EditItem;
    std::string CurrentKind;
};

// Number of entries in use (the in-use prefix). 0 when entry 0 is not in use.
int CountEntries(const Theme& theme);

// Top + Height of the last entry (not the sum of heights); 0 for no entries.
// When the entry list's first line is empty text, the list is emptied and 0
// is returned.
int LayoutHeight(Document& doc);

// Blanks all 1002 records; document-wide settings stay.
void ResetDocument(Theme& theme);

} // namespace tessaro::model
