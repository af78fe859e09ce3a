// The commands of tessaro-cli, which links no GUI library: the ones that draw
// no text run here, the others in kTextProgram.
#include "cli/commands.h"

namespace tessaro::cli {

CommandEntry FindCommand(const std::string& name) {
    if (name == "xml") return {CmdXml, false};
    if (name == "save") return {CmdSave, false};
    if (name == "scheme") return {CmdScheme, false};
    if (name == "cab") return {CmdCab, false};
    if (name == "install") return {CmdInstall, false};
    if (name == "render" || name == "check" || name == "import") return {nullptr, true};
    return {};
}

} // namespace tessaro::cli
