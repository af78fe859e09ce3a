// The cabinet builder's setup INF reader (Cabwizsp): the INF the designer
// writes, the plugin cabinets' INFs, and any INF handed to the builder. The
// reader returns a plan or throws InfError; a plan it returns always makes an
// installer header.
//
// The INF's folder holds the source files the seeds name, so the fuzzer gets
// past the file checks into the sections after them.
#include <cstdint>
#include <string>

#include "inf.h"
#include "support.h"

namespace {

const std::string& InfFolder() {
    static const std::string folder = [] {
        std::string f = fuzz::ScratchFolder("inf");
        for (const char* name : {"AnalogClock_Plugin.txt", "WMP_Plugin.txt", "theme1.home.xml",
                                 "theme2.home.xml", "BackGroundImage with Analog Plugin.jpg",
                                 "user.scheme.xml", "iconbar.jpg", "back.jpg", "tile.jpg"})
            fuzz::WriteFile(f + name, std::string("content of ") + name);
        return f;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    cabwiz::Plan plan;
    try {
        plan = cabwiz::ReadInf(text, InfFolder());
    } catch (const cabwiz::InfError&) {
        return 0;
    }
    if (plan.Files.size() > 998) fuzz::Finding("a plan with more files than a cabinet may carry");
    std::string header;
    try {
        header = cabwiz::BuildHeader(plan);
    } catch (const cabwiz::InfError&) {
        return 0; // a plan too large for the header's 16-bit fields is refused here
    }
    if (header.size() < 4 || header.compare(0, 4, "MSCE") != 0)
        fuzz::Finding("an installer header without its signature");
    for (std::size_t i = 0; i < plan.Files.size(); ++i)
        if (cabwiz::CabinetName(plan.Files[i].SourceName, int(i + 1)).size() != 12)
            fuzz::Finding("a cabinet file name that is not 8.3: " +
                          cabwiz::CabinetName(plan.Files[i].SourceName, int(i + 1)));
    return 0;
}
