#pragma once
#include <string>

#include "model/document.h"

namespace tessaro::formats {

// "#" + red, green, blue as two lower-case hex digits each; top byte ignored.
std::string ColorToHex(model::Color c);

} // namespace tessaro::formats
