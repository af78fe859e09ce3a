#pragma once
// The fixed catalogue of the thirteen plugin kinds: everything the layers
// know about a kind stands in this one table (the catalogue list, new
// entries, the settings panel, the preview's sample texts and the home
// layout writer's value tags).
#include <array>
#include <string>
#include <string_view>

namespace tessaro::model {

// Which style window the settings panel's "Options" button opens for a kind.
enum class StyleWindow { None, AdvancedBackground, AdvancedIcons, IconBar, AnalogClock };

// Install buttons of the settings panel.
enum class InstallButton { None, AnalogClock, WMPlayer };

// What the settings panel shows for one element slot of a kind.
struct SlotInfo {
    bool Visible = false;            // check box, position captions and fields, bevel
    bool HasText = false;            // text caption and label text field
    bool HasOptions = false;         // state-format button
    const char* Caption = "";        // the check box caption ("Subject")
    const char* TextCaption = "";    // "Text before", "Text Before"
};

struct KindInfo {
    const char* Line;     // catalogue list line ("AnalogClock Plugin")
    const char* Name;     // stored name ("AnalogClock")
    const char* ClsId;    // without braces; empty for WMPlayer
    const char* DllName;  // empty for WMPlayer
    int Height;           // default height
    bool FixedHeight;     // Icon Bar, WMPlayer: height field disabled
    std::array<int, 6> Pos;             // slot 1 x,y, slot 2 x,y, slot 3 x,y
    std::array<const char*, 3> Labels;  // default label texts
    // The preview's sample value after each slot's label; nullptr: the slot
    // is not drawn as text.
    std::array<const char*, 3> Samples;
    // The value tag each slot's label writes ("<subject/>"); nullptr: the
    // slot writes no label.
    std::array<const char*, 3> Tags;
    // The settings panel.
    std::array<SlotInfo, 3> Slots;
    bool NoEvent;         // "No event visible" check box
    bool IconSize;        // icon-size choice (MRU)
    bool Slot1Enabled;    // Clock: time may be switched off
    InstallButton Install;
    StyleWindow Opens;    // what "Options" opens
};

constexpr int kKindCount = 13;

// The kinds, in catalogue order (Catalogue()[int(k)] describes kind k).
enum class Kind {
    None = -1,
    AllDayEvent,
    Calendar,
    CallProgress,
    CarrierSim,
    Clock,
    IconBar,
    MessagingCounts,
    MissedCalls,
    MRU,
    OwnerInfo,
    Profile,
    AnalogClock,
    WMPlayer,
};

// The kind of a stored name; Kind::None for a name that is no kind.
Kind KindOf(std::string_view name);

const std::array<KindInfo, kKindCount>& Catalogue();

// Position of the kind in the catalogue, -1 for a name that is no kind.
int KindIndex(std::string_view name);

// Class id / library of a stored kind name; empty when the name is no kind
// (and for WMPlayer).
std::string ClassIdOf(std::string_view name);
std::string LibraryOf(std::string_view name);

} // namespace tessaro::model
