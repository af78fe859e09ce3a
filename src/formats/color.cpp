#include "formats/color.h"

namespace tessaro::formats {

std::string ColorToHex(model::Color c) {
    static const char kDigits[] = "0123456789abcdef";
    std::string s = "#";
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned v = (c >> shift) & 0xFFu;
        s += kDigits[v >> 4];
        s += kDigits[v & 0xF];
    }
    return s;
}

} // namespace tessaro::formats
