// replaced by the module that owns these commands
#include "cli/commands.h"
#include "model/error.h"
namespace tessaro::cli {
int CmdXml(const std::string&, const Args&) { throw Error("xml: not available yet"); }
int CmdSave(const std::string&, const Args&) { throw Error("save: not available yet"); }
int CmdScheme(const std::string&, const Args&) { throw Error("scheme: not available yet"); }
}
