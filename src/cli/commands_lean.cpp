// The commands of tessaro-cli, which links no GUI library: the ones that draw
// no text run here, the others in kTextProgram.
#include "cli/commands.h"

namespace tessaro::cli {

CommandEntry FindCommand(const std::string& name) {
    if (Command run = FindTextlessCommand(name)) return {run, false};
    if (IsTextCommand(name)) return {nullptr, true};
    return {};
}

} // namespace tessaro::cli
