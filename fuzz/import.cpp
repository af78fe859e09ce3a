// libFuzzer target: the home layout reader of the theme import. Any bytes
// must give a design or a tessaro::Error, never a crash, a hang or a leak.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/error.h"
#include "model/foreign.h"
#include "package/layoutimport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const tessaro::package::ParsedLayout parsed =
            tessaro::package::ReadHomeLayout(std::string_view(reinterpret_cast<const char*>(data), size));
        // A kept plugin element must come back as it was stored.
        for (const auto& e : parsed.Theme.Plugins)
            if (tessaro::model::IsForeignPlugin(e)) {
                tessaro::model::TPlugins copy = e;
                tessaro::model::SetForeignElement(copy, tessaro::model::ForeignElement(e));
                if (copy.Items[2].Extra != e.Items[2].Extra) __builtin_trap();
            }
    } catch (const tessaro::Error&) {
    }
    return 0;
}
