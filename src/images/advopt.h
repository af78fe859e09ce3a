#pragma once
// The Advanced Options window's actions on entry doc.EditIndex: the entry's
// own background picture, its transparent background, and the number of
// icons of an MRU entry.
#include <string>

#include "model/document.h"

namespace tessaro::images {

// Which section the window shows for a kind: the background section, the
// "Icons Count" section, or none (the window is not opened).
enum class AdvancedSection { None, Background, IconsCount };
AdvancedSection AdvancedSectionFor(const std::string& kind);

// The picture button: copies the chosen file unchanged (no size check, no
// conversion) into AppDir under its own file name, replacing a file there,
// then BgImage := that name. Throws Error when the name is refused
// (formats::CheckArrival: a control character, one of the program's own
// files) or the copy fails; the entry is then unchanged.
void SetEntryPicture(model::Document& doc, const std::string& chosenPath);

// "Del": BgImage := empty.
void ClearEntryPicture(model::Document& doc);

// "Use transparent background": BgImage := empty, Transparent := true.
void UseTransparentBackground(model::Document& doc);

// "Don't use transparent background": Transparent := false; the picture stays.
void DontUseTransparentBackground(model::Document& doc);

// The icons count range of the spin box and its value after start-up.
constexpr int kIconsCountMin = 1;
constexpr int kIconsCountMax = 9;
constexpr int kIconsCountStart = 5;

// The spin box changed: slot 2's Extra := value (brought into 1..9) as
// decimal text.
void SetIconsCount(model::Document& doc, int value);

} // namespace tessaro::images
