// tessaro-cli hands the commands that draw text to kTextProgram.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "cli/session.h"
#include "installlayout.h"
#include "platform/programfolder.h"

namespace tessaro::cli {

int HandOver(char** argv) {
    const std::string dir = ProgramDir();
    // Found as the helpers are: beside this program in the build tree, in
    // the helper folder of an installed copy.
    const std::string program =
        platform::LocateProgramFolders(dir, "", build::InstalledLayout()).Helpers + kTextProgram;
    if (setenv(kProgramDirVariable, dir.c_str(), 1) == 0) execv(program.c_str(), argv);
    const int error = errno;
    std::fprintf(stderr, "tessaro-cli: cannot run \"%s\": %s\n", program.c_str(), std::strerror(error));
    return 1;
}

} // namespace tessaro::cli
