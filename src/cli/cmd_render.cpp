// replaced by the module that owns these commands
#include "cli/commands.h"
#include "model/error.h"
namespace tessaro::cli {
int CmdRender(const std::string&, const Args&) { throw Error("render: not available yet"); }
}
