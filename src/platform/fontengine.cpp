// The text engine of programs that draw text: the program folder's font files.
#include "platform/fonts.h"
#include "platform/textengine.h"

namespace tessaro::platform {

std::unique_ptr<TextEngine> OpenTextEngine(const std::string& appDir) {
    return std::make_unique<FontSet>(appDir);
}

} // namespace tessaro::platform
