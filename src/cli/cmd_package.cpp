// replaced by the module that owns these commands
#include "cli/commands.h"
#include "model/error.h"
namespace tessaro::cli {
int CmdCab(const std::string&, const Args&) { throw Error("cab: not available yet"); }
int CmdInstall(const std::string&, const Args&) { throw Error("install: not available yet"); }
}
