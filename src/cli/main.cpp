// tessaro-cli: the designer's core, headless, for batch builds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "cli/commands.h"
#include "cli/session.h"
#include "installlayout.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/programfolder.h"

namespace {

const char* kUsage =
    "Usage: tessaro-cli [--appdir DIR] COMMAND ARGS...\n"
    "\n"
    "Commands:\n"
    "  xml PROJECT.trpf OUT.home.xml          write the project's home layout\n"
    "  save PROJECT.trpf OUT.trpf             save the project again (into folder OUT/)\n"
    "  scheme FILE                            print the 32 colours of a scheme file\n"
    "  render PROJECT.trpf OUT.png [--scroll N] [--selected N] [--zoom Z]\n"
    "                                         draw the 176 x 220 preview screen; --selected:\n"
    "                                         entry N (from 0) in the selected state;\n"
    "                                         --zoom: every pixel Z x Z times (1..6)\n"
    "  cab PROJECT.trpf OUT.cab               build the installable theme cabinet\n"
    "  install CABINET                        install a cabinet with the device loader\n"
    "  check DESIGN [--json]                  list what will look wrong on the phone (DESIGN:\n"
    "                                         .trpf, .home.xml or .cab); exit 1 on errors\n"
    "  import THEME OUT.trpf                  a .home.xml or theme .cab as a project (into folder OUT/)\n"
    "\n"
    "Options:\n"
    "  --appdir DIR   the program folder to work in (default: the folder of this program;\n"
    "                 for an installed copy, $XDG_DATA_HOME/tessaro)\n"
    "  --help         print this text\n";

} // namespace

int main(int argc, char** argv) {
    using namespace tessaro;
    // The program folder variable is meant only for the program handed to;
    // tessaro-cli itself (the one that hands commands over) always starts
    // from its own folder.
    if (cli::FindCommand("render").HandedOver) unsetenv(cli::kProgramDirVariable);
    std::string appDir;
    std::vector<std::string> rest;
    // Options may stand before or after the command and its arguments.
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a.rfind("--appdir=", 0) == 0) {
            appDir = a.substr(9);
            if (appDir.empty()) {
                std::fprintf(stderr, "tessaro-cli: --appdir needs a folder\n%s", kUsage);
                return 2;
            }
            continue;
        }
        if (a == "--appdir") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "tessaro-cli: --appdir needs a folder\n%s", kUsage);
                return 2;
            }
            appDir = argv[++i];
            continue;
        }
        rest.push_back(a);
    }
    if (rest.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const cli::CommandEntry command = cli::FindCommand(rest[0]);
    if (!command.Run && !command.HandedOver) {
        std::fprintf(stderr, "tessaro-cli: unknown command \"%s\"\n%s", rest[0].c_str(), kUsage);
        return 2;
    }
    // Commands that draw text run in the program linked with the fonts, with
    // the same arguments; it prints and exits as this one would.
    if (command.HandedOver) return cli::HandOver(argv);
    // The build tree works in its own folder; an installed copy in the user's
    // work folder, brought up to date with the installed support files.
    try {
        const platform::ProgramFolders folders = platform::PrepareProgramFolders(
            cli::ProgramDir(), appDir, build::kVersion, build::InstalledLayout());
        appDir = folders.Work;
        if (!folders.Kept.empty()) std::fprintf(stderr, "%s\n", platform::KeptFilesNote(folders).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    cli::Args args(rest.begin() + 1, rest.end());
    try {
        return command.Run(appDir, args);
    } catch (const cli::UsageError& e) {
        std::fprintf(stderr, "tessaro-cli %s: %s\n%s", rest[0].c_str(), e.Message.c_str(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
