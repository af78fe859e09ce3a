#include "model/catalogue.h"

namespace tessaro::model {

namespace {

// Slots that a kind does not read start at position 0 with no label.
constexpr std::array<KindInfo, kKindCount> kCatalogue = {{
    {"All-Day Event", "All-Day Event", "2FFD93B3-0FF0-4228-A6D6-D2DF177D7D92", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"All-Day Event: ", "", ""}},
    {"Calendar", "Calendar", "865A354A-4A96-4687-B001-C155DC0DBE76", "sysplug.dll", 40, false,
     {5, 2, 5, 20, 80, 20}, {"", "", ""}},
    {"Call Progress", "Call Progress", "37391041-C324-4725-BEE1-3232ED3539CA", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"Call Progress: ", "", ""}},
    {"Carrier/Sim", "Carrier/Sim", "E09043DF-510E-4841-B652-388316977A7A", "sysplug.dll", 40, false,
     {5, 2, 15, 20, 90, 20}, {"Operator ", "", ""}},
    {"Clock", "Clock", "E09043DF-510E-4841-B652-388316977A7A", "sysplug.dll", 20, false,
     {5, 2, 110, 2, 0, 0}, {"", "", ""}},
    {"Icon Bar", "Icon Bar", "837FC251-FE69-43ad-84E0-EBCEDEBA0884", "sysplug.dll", 20, true,
     {0, 1, 0, 0, 0, 0}, {"", "", ""}},
    {"Messaging Counts", "Messaging Counts", "2F930BF0-6FE9-4a53-9E17-88E9247BAB48", "sysplug.dll", 20, false,
     {5, 2, 65, 2, 120, 2}, {"SMS: ", "MMS: ", "E-mail: "}},
    {"Missed Calls", "Missed Calls", "0BA8ABB8-1F1D-417f-88C6-DA8530E2E7A6", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"Missed Calls: ", "", ""}},
    {"MRU", "MRU", "79EFB752-CB70-446d-B317-499723482B3D", "sysplug.dll", 55, false,
     {4, 2, 5, 36, 0, 0}, {"", "", ""}},
    {"Owner Info", "Owner Info", "4824B576-EFFE-45cf-BAE9-649B930CD244", "sysplug.dll", 50, false,
     {5, 2, 5, 18, 5, 31}, {"Owner Name: ", "Owner Phone: ", "Owner Notes: "}},
    {"Profile", "Profile", "95976968-45D5-40c9-9779-2B859B1C2FEC", "sysplug.dll", 20, false,
     {5, 2, 0, 0, 0, 0}, {"Profile: ", "", ""}},
    {"AnalogClock Plugin", "AnalogClock", "CEF3DB66-AD48-46c1-B849-66CF29B5A26D", "lcdplug.dll", 40, false,
     {0, 0, 1, 1, 1, 70}, {"", "", ""}},
    {"WMPlayer", "WMPlayer", "", "", 20, true, {0, 0, 0, 0, 0, 0}, {"", "", ""}},
}};

} // namespace

const std::array<KindInfo, kKindCount>& Catalogue() { return kCatalogue; }

int KindIndex(std::string_view name) {
    for (int i = 0; i < kKindCount; ++i)
        if (name == kCatalogue[i].Name) return i;
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
