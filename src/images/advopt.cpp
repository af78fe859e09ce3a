#include "images/advopt.h"

#include <algorithm>

#include "formats/names.h"
#include "model/error.h"
#include "platform/files.h"

namespace tessaro::images {

namespace {

model::TPlugins& Edited(model::Document& doc) {
    if (doc.EditIndex < 0 || doc.EditIndex >= model::kMaxEntries)
        throw Error("No entry is being edited.");
    return doc.Plugins[doc.EditIndex];
}

} // namespace

AdvancedSection AdvancedSectionFor(const std::string& kind) {
    for (const char* k : {"All-Day Event", "Calendar", "Call Progress", "Messaging Counts",
                          "Missed Calls", "Profile"})
        if (kind == k)
            return AdvancedSection::Background;
    if (kind == "MRU")
        return AdvancedSection::IconsCount;
    return AdvancedSection::None;
}

void SetEntryPicture(model::Document& doc, const std::string& chosenPath) {
    model::TPlugins& e = Edited(doc);
    const std::string name = platform::FileNamePart(chosenPath);
    if (name.empty())
        throw Error("No picture file was chosen.");
    // Read whole, then replace: copying a file of the program folder onto
    // itself must leave it intact.
    const std::string data = platform::ReadFile(chosenPath);
    formats::CheckArrival(doc.AppDir, name, data, formats::Arrival::Chosen, "entry background picture");
    platform::WriteFileAtomic(doc.AppDir + name, data);
    e.BgImage = name;
}

void ClearEntryPicture(model::Document& doc) {
    Edited(doc).BgImage.clear();
}

void UseTransparentBackground(model::Document& doc) {
    model::TPlugins& e = Edited(doc);
    e.BgImage.clear();
    e.Transparent = 1;
}

void DontUseTransparentBackground(model::Document& doc) {
    Edited(doc).Transparent = 0;
}

void SetIconsCount(model::Document& doc, int value) {
    Edited(doc).Items[1].Extra = std::to_string(std::clamp(value, kIconsCountMin, kIconsCountMax));
}

} // namespace tessaro::images
