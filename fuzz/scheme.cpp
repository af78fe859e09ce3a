// Colour scheme files: presets, "user.scheme.xml" and any scheme file the
// user picks. Whatever the text, the reader returns a scheme or throws our
// Error; a scheme it returns survives being written and read back, except
// COLOR_WINDOWTEXT, which "user.scheme.xml" does not carry (it reads back
// black).
#include <cstdint>
#include <string_view>

#include "formats/scheme.h"
#include "model/error.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tessaro::model::Scheme scheme;
    try {
        scheme = tessaro::formats::ParseColorScheme(text);
    } catch (const tessaro::Error&) {
        return 0;
    }
    for (auto& c : scheme) c &= 0xFFFFFF; // the file holds 24-bit colours
    const std::string written = tessaro::formats::BuildUserScheme(scheme, "fuzz.trpf");
    tessaro::model::Scheme again;
    try {
        again = tessaro::formats::ParseColorScheme(written);
    } catch (const tessaro::Error& e) {
        fuzz::Finding(std::string("a written scheme does not read back: ") + e.what());
    }
    scheme[1] = 0;
    if (again != scheme) fuzz::Finding("a written scheme reads back with other colours");
    return 0;
}
