// The commands of tessaro-cli-qt, linked with the fonts and QtGui: all of
// them run here.
#include "cli/commands.h"

namespace tessaro::cli {

CommandEntry FindCommand(const std::string& name) {
    if (Command run = FindTextlessCommand(name)) return {run, false};
    if (name == "render") return {CmdRender, false};
    if (name == "check") return {CmdCheck, false};
    if (name == "import") return {CmdImport, false};
    return {};
}

// Never called here: every command runs in this program.
int HandOver(char**) { return 1; }

} // namespace tessaro::cli
