#pragma once
// The commands of tessaro-cli. Each takes the program folder (ending in '/')
// and its own arguments, returns the exit status, and throws tessaro::Error
// for failures (main prints the message on stderr and exits with 1).
#include <string>
#include <vector>

namespace tessaro::cli {

using Args = std::vector<std::string>;

int CmdXml(const std::string& appDir, const Args& args);     // PROJECT.trpf OUT.home.xml
int CmdSave(const std::string& appDir, const Args& args);    // PROJECT.trpf OUT.trpf
int CmdScheme(const std::string& appDir, const Args& args);  // FILE
int CmdRender(const std::string& appDir, const Args& args);  // PROJECT.trpf OUT.png [--scroll N] [--selected N] [--zoom Z]
int CmdCab(const std::string& appDir, const Args& args);     // PROJECT.trpf OUT.cab
int CmdInstall(const std::string& appDir, const Args& args); // CABINET
int CmdCheck(const std::string& appDir, const Args& args);   // DESIGN [--json]
int CmdImport(const std::string& appDir, const Args& args);  // THEME OUT.trpf

// Thrown for wrong arguments: main prints the message and the usage, exit 2.
struct UsageError {
    std::string Message;
};

} // namespace tessaro::cli
