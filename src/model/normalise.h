#pragma once
// The changes the designer's rules make to a design on their own, in one
// place: the preview pass and the home layout writer call these before they
// read the design, and the editor runs Normalise as part of every step, so
// that what they enforce belongs to the step that caused it.
#include <string>
#include <vector>

#include "model/document.h"

namespace tessaro::model {

// The messages Normalise may return.
inline constexpr const char* kOneAdvancedBar = "You can use just one advanced styled Icon Bar!";
inline constexpr const char* kOneAdvancedFace = "You can use just one advanced AnalogClock Face!";
inline constexpr const char* kTransparencyScrollable =
    "Use Tranparet Option only if your layout is not scrollable!";

// The background picture the preview composes an advanced clock face into.
inline constexpr const char* kAnalogBackground = "BackGroundImage with Analog Plugin.jpg";

// An Icon Bar entry with the advanced style, an AnalogClock entry with the
// advanced face.
bool IsAdvancedBar(const TPlugins& e);
bool IsAdvancedFace(const TPlugins& e);

// The preview pass's rules, walking the entries top down:
//  - a second advanced Icon Bar or advanced clock face is removed (selected
//    and removed as by Remove), and the walk starts again without it; the
//    message follows the messages of the walk that replaced it. When the
//    entry list does not hold the entry it stays (the preview leaves it out).
//  - an Icon Bar that is partly transparent (Transparent, level not 255) in
//    a layout 201 or more pixels tall loses Transparent;
//  - an advanced clock face makes the composed picture the layout's
//    background name: doc.BGI := kAnalogBackground.
// Returns the messages to show, in order; none when nothing applied. Running
// it again right away changes nothing.
std::vector<std::string> Normalise(Document& doc);

// The writer's rule: every Icon Bar entry written in the picture form (all
// but the fully transparent ones) names "iconbar.jpg" as its BgImage.
void MarkPictureIconBars(Theme& theme);

} // namespace tessaro::model
