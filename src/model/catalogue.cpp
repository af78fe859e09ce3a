#include "model/catalogue.h"

namespace tessaro::model {

namespace {

constexpr const char* kPhone = "+79161234567";

constexpr SlotInfo Full(const char* caption, const char* textCaption) {
    return {true, true, true, caption, textCaption};
}
constexpr SlotInfo NoText(const char* caption) { return {true, false, true, caption, ""}; }
constexpr SlotInfo Hidden() { return {}; }
constexpr std::array<const char*, 3> kNone3 = {nullptr, nullptr, nullptr};
constexpr std::array<SlotInfo, 3> kNoSlots = {Hidden(), Hidden(), Hidden()};

// Slots that a kind does not read start at position 0 with no label.
constexpr std::array<KindInfo, kKindCount> kCatalogue = {{
    {"All-Day Event", "All-Day Event", "2FFD93B3-0FF0-4228-A6D6-D2DF177D7D92", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"All-Day Event: ", "", ""},
     {"Subject", nullptr, nullptr}, {"<subject/>", nullptr, nullptr},
     {Full("Subject", "Text before"), Hidden(), Hidden()},
     true, false, false, InstallButton::None, StyleWindow::AdvancedBackground},
    {"Calendar", "Calendar", "865A354A-4A96-4687-B001-C155DC0DBE76", "sysplug.dll", 40, false,
     {5, 2, 5, 20, 80, 20}, {"", "", ""},
     {"Subject", "10:25", "Location"}, {"<subject/>", "<time/>", "<location/>"},
     {Full("Subject", "Text Before"), Full("Time", "Text Before"), Full("Location", "Text Before")},
     false, false, false, InstallButton::None, StyleWindow::AdvancedBackground},
    {"Call Progress", "Call Progress", "37391041-C324-4725-BEE1-3232ED3539CA", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"Call Progress: ", "", ""},
     {kPhone, nullptr, nullptr}, {"<progress/>", nullptr, nullptr},
     {Full("Progress", "Text before"), Hidden(), Hidden()},
     true, false, false, InstallButton::None, StyleWindow::AdvancedBackground},
    {"Carrier/Sim", "Carrier/Sim", "E09043DF-510E-4841-B652-388316977A7A", "sysplug.dll", 40, false,
     {5, 2, 15, 20, 90, 20}, {"Operator ", "", ""},
     {"MTS-RUS", "10:25", "15.05.03"}, {"<carrier/>", nullptr, nullptr},
     {Full("Operator", "Text before"), NoText("Time"), NoText("Date")},
     false, false, false, InstallButton::None, StyleWindow::None},
    {"Clock", "Clock", "E09043DF-510E-4841-B652-388316977A7A", "sysplug.dll", 20, false,
     {5, 2, 110, 2, 0, 0}, {"", "", ""},
     {"10:25", "12.05.03", nullptr}, kNone3,
     {NoText("Time"), NoText("Date"), Hidden()},
     false, false, true, InstallButton::None, StyleWindow::None},
    {"Icon Bar", "Icon Bar", "837FC251-FE69-43ad-84E0-EBCEDEBA0884", "sysplug.dll", 20, true,
     {0, 1, 0, 0, 0, 0}, {"", "", ""},
     kNone3, kNone3, kNoSlots,
     false, false, false, InstallButton::None, StyleWindow::IconBar},
    {"Messaging Counts", "Messaging Counts", "2F930BF0-6FE9-4a53-9E17-88E9247BAB48", "sysplug.dll", 20, false,
     {5, 2, 65, 2, 120, 2}, {"SMS: ", "MMS: ", "E-mail: "},
     {"0", "0", "0"}, {"<unreadSMS/>", "<unreadMMS/>", "<unreadEmail/>"},
     {Full("SMS", "Text before"), Full("MMS", "Text before"), Full("E-mail", "Text before")},
     false, false, false, InstallButton::None, StyleWindow::AdvancedBackground},
    {"Missed Calls", "Missed Calls", "0BA8ABB8-1F1D-417f-88C6-DA8530E2E7A6", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"Missed Calls: ", "", ""},
     {"0", nullptr, nullptr}, {"<calls />", nullptr, nullptr},
     {Full("PMissed Calls", "Text before"), Hidden(), Hidden()},
     true, false, false, InstallButton::None, StyleWindow::AdvancedBackground},
    {"MRU", "MRU", "79EFB752-CB70-446d-B317-499723482B3D", "sysplug.dll", 55, false,
     {4, 2, 5, 36, 0, 0}, {"", "", ""},
     {nullptr, "WMPlayer.exe", nullptr}, kNone3,
     {SlotInfo{true, false, false, "MRU", ""}, NoText("AppName"), Hidden()},
     false, true, false, InstallButton::None, StyleWindow::AdvancedIcons},
    {"Owner Info", "Owner Info", "4824B576-EFFE-45cf-BAE9-649B930CD244", "sysplug.dll", 50, false,
     {5, 2, 5, 18, 5, 31}, {"Owner Name: ", "Owner Phone: ", "Owner Notes: "},
     {"VELDA", kPhone, "I am a student!"}, {"<name/>", "<phone/>", "<notes/>"},
     {Full("Name", "Text before"), Full("Phone", "Text before"), Full("Owner Notes", "Text before")},
     false, false, false, InstallButton::None, StyleWindow::None},
    {"Profile", "Profile", "95976968-45D5-40c9-9779-2B859B1C2FEC", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"Profile: ", "", ""},
     {"normal", nullptr, nullptr}, {"<profile />", nullptr, nullptr},
     {Full("Profile", "Text before"), Hidden(), Hidden()},
     false, false, false, InstallButton::None, StyleWindow::AdvancedBackground},
    {"AnalogClock Plugin", "AnalogClock", "CEF3DB66-AD48-46c1-B849-66CF29B5A26D", "lcdplug.dll", 40, false,
     {0, 0, 1, 1, 1, 70}, {"", "", ""},
     kNone3, kNone3, kNoSlots,
     false, false, false, InstallButton::AnalogClock, StyleWindow::AnalogClock},
    {"WMPlayer", "WMPlayer", "", "", 20, true, {0, 0, 0, 0, 0, 0}, {"", "", ""},
     kNone3, kNone3, kNoSlots,
     false, false, false, InstallButton::WMPlayer, StyleWindow::None},
}};

constexpr bool Named(Kind k, std::string_view name) { return kCatalogue[std::size_t(k)].Name == name; }
static_assert(Named(Kind::AllDayEvent, "All-Day Event") && Named(Kind::Calendar, "Calendar") &&
              Named(Kind::CallProgress, "Call Progress") && Named(Kind::CarrierSim, "Carrier/Sim") &&
              Named(Kind::Clock, "Clock") && Named(Kind::IconBar, "Icon Bar") &&
              Named(Kind::MessagingCounts, "Messaging Counts") && Named(Kind::MissedCalls, "Missed Calls") &&
              Named(Kind::MRU, "MRU") && Named(Kind::OwnerInfo, "Owner Info") && Named(Kind::Profile, "Profile") &&
              Named(Kind::AnalogClock, "AnalogClock") && Named(Kind::WMPlayer, "WMPlayer"));

} // namespace

const std::array<KindInfo, kKindCount>& Catalogue() { return kCatalogue; }

Kind KindOf(std::string_view name) { return Kind(KindIndex(name)); }

int KindIndex(std::string_view name) {
    // Asked for every entry several times a pass: the names' lengths are
    // known when the program is built.
    static constexpr auto kNames = [] {
        std::array<std::string_view, kKindCount> n{};
        for (int i = 0; i < kKindCount; ++i) n[std::size_t(i)] = kCatalogue[std::size_t(i)].Name;
        return n;
    }();
    for (int i = 0; i < kKindCount; ++i)
        if (name == kNames[std::size_t(i)]) return i;
    return -1;
}

std::string ClassIdOf(std::string_view name) {
    int i = KindIndex(name);
    return i < 0 ? std::string() : std::string(kCatalogue[i].ClsId);
}

std::string LibraryOf(std::string_view name) {
    int i = KindIndex(name);
    return i < 0 ? std::string() : std::string(kCatalogue[i].DllName);
}

} // namespace tessaro::model
