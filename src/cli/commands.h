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

// How this program runs a command: in-process (Run), or by handing it with all
// arguments to the program that draws text (HandedOver). Neither: unknown.
using Command = int (*)(const std::string& appDir, const Args& args);
struct CommandEntry {
    Command Run = nullptr;
    bool HandedOver = false;
};
// Defined once per program: commands_lean.cpp (tessaro-cli) and
// commands_text.cpp (tessaro-cli-qt).
CommandEntry FindCommand(const std::string& name);
// The commands both programs run themselves (they draw no text), nullptr for
// any other name; and whether a name is one of those that draw text.
Command FindTextlessCommand(const std::string& name);
bool IsTextCommand(const std::string& name);

// The program that draws text, beside this one or in the installed helper
// folder.
inline constexpr const char* kTextProgram = "tessaro-cli-qt";
// Replaces this process with kTextProgram, given the same arguments (argv as
// main received it) and this program's folder in kProgramDirVariable. Returns
// only when that fails, after printing why: the exit status then.
int HandOver(char** argv);

// Thrown for wrong arguments: main prints the message and the usage, exit 2.
struct UsageError {
    std::string Message;
};

} // namespace tessaro::cli
