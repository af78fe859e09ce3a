#include "cli/session.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "installlayout.h"
#include "package/project.h"
#include "platform/files.h"
#include "platform/programfolder.h"

namespace tessaro::cli {

std::string ProgramDir() {
    const char* dir = std::getenv(kProgramDirVariable);
    return dir && *dir ? std::string(dir) : platform::ExecutableDir();
}

std::string HelperFolder(const std::string& appDir) {
    return platform::LocateProgramFolders(ProgramDir(), appDir, build::InstalledLayout()).Helpers;
}

Session OpenLikeDesigner(const std::string& appDir, const std::string& project, bool strictPass,
                         bool withText) {
    Session s;
    s.Lock = std::make_unique<platform::ProgramFolderLock>(appDir);
    s.Doc = std::make_unique<model::Document>();
    package::StartDocument(*s.Doc, appDir);
    s.Doc->HelperDir = HelperFolder(appDir);
    package::OpenProject(*s.Doc, project);
    // Commands without texts never show the screen: no preview canvas.
    s.View = std::make_unique<preview::Preview>(*s.Doc, withText);
    s.View->DrawsText = withText;
    s.View->SetMessageHandler([](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); });
    try {
        s.View->DrawPlugins();
    } catch (const std::exception& e) {
        if (strictPass) throw;
        std::fprintf(stderr, "%s\n", e.what());
    }
    return s;
}

} // namespace tessaro::cli
