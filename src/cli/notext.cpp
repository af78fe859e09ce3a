// tessaro-cli links no font code: its commands leave texts out of the preview
// (Preview::DrawsText = false). Should one still ask for text, it fails with
// this message instead of drawing nothing.
#include "model/error.h"
#include "platform/textengine.h"

namespace tessaro::platform {

std::unique_ptr<TextEngine> OpenTextEngine(const std::string&) {
    throw Error("Cannot draw text: tessaro-cli was built without fonts.");
}

} // namespace tessaro::platform
