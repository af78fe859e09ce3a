#pragma once
// The layout checker: reads a design as it is stored and lists what will look
// wrong on the phone, with the entry at fault, before a cabinet is built.
//
// Texts are measured with the preview's own fonts and sample values
// (preview::TextOfSlot), so the checker and the preview agree. The checker
// never changes the design and writes nothing; it reads the pictures the
// design names and the fonts of the program folder.
#include <string>
#include <vector>

#include "model/document.h"

namespace tessaro::platform {
class TextEngine;
}

namespace tessaro::check {

enum class Severity { Warning, Error };

// The finding codes.
inline constexpr const char* kTextOverflow = "text-overflow";
inline constexpr const char* kElementOutside = "element-outside";
inline constexpr const char* kOverlap = "overlap";
inline constexpr const char* kMissingPicture = "missing-picture";
inline constexpr const char* kBackgroundSize = "background-size";
inline constexpr const char* kBeyondCanvas = "beyond-canvas";
inline constexpr const char* kSecondAdvanced = "second-advanced";
inline constexpr const char* kTransparentScrolling = "transparent-scrolling";
inline constexpr const char* kFaceScrolling = "face-scrolling";
inline constexpr const char* kInvalidValue = "invalid-value";
inline constexpr const char* kUnknownKind = "unknown-kind";

struct Finding {
    Severity Level = Severity::Warning;
    std::string Code;    // one of the codes above
    int Entry = -1;      // 0-based entry index; -1 for the whole layout
    std::string Kind;    // the entry's kind name (UTF-8); empty for the whole layout
    std::string Message; // UTF-8, the text the user reads

    bool operator==(const Finding&) const = default;
};

// Where the checker looks for pictures: each folder of PictureFolders first
// (a project's own folder, whose copies an open brings in), then AppDir, the
// program folder (ending in '/').
struct PictureSource {
    std::string AppDir;
    std::vector<std::string> PictureFolders;
};

// Checks `theme`: layout-wide findings first, then the entries in order.
// A clean design gives no finding at all. `fonts` are the program folder's
// fonts (the preview's own set in the designer). Throws Error only when the
// fonts cannot be read, since texts cannot be measured then.
std::vector<Finding> CheckLayout(const model::Theme& theme, const PictureSource& pictures,
                                 platform::TextEngine& fonts);

// The same with a font set of its own read from pictures.AppDir.
std::vector<Finding> CheckLayout(const model::Theme& theme, const PictureSource& pictures);

int CountErrors(const std::vector<Finding>& findings);

// "error" or "warning".
const char* SeverityName(Severity s);

// One line: "error: entry 3 (Calendar): MESSAGE [code]", or without the
// entry part for the whole layout.
std::string FormatFinding(const Finding& f);

// A JSON array of {"severity","code","entry","kind","message"} objects
// (entry and kind null for the whole layout); "[]" for no finding.
std::string FindingsJson(const std::vector<Finding>& findings);

// The question asked before a cabinet is built from a layout with errors:
// "The layout has 2 errors. Build the cabinet anyway?" (singular for one).
std::string BuildQuestion(int errors);

} // namespace tessaro::check
