// tessaro-cli cab and install: theme cabinets and the device loader.
#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "cli/session.h"
#include "model/document.h"
#include "model/error.h"
#include "package/cabinet.h"
#include "package/project.h"

namespace tessaro::cli {

namespace {

// The builder and the loader run in the program folder, so a relative path
// given on the command line is made absolute first.
std::string Absolute(const std::string& path) {
    std::error_code ec;
    auto p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

} // namespace

int CmdCab(const std::string& appDir, const Args& args) {
    if (args.size() != 2)
        throw UsageError{"expected PROJECT.trpf OUT.cab"};
    const std::string out = Absolute(args[1]);
    // The cabinet takes the design and the pictures the pass writes; the
    // preview's texts are not needed.
    Session session = OpenLikeDesigner(appDir, args[0], false, false);
    package::BuildCabinet(*session.Doc, out, out);
    return 0;
}

int CmdInstall(const std::string& appDir, const Args& args) {
    if (args.size() != 1)
        throw UsageError{"expected CABINET"};
    model::Document doc;
    doc.AppDir = appDir;
    doc.HelperDir = HelperFolder(appDir);
    package::LoaderRun run = package::RunDeviceLoader(doc, Absolute(args[0]), true);
    std::fputs(run.Output.c_str(), stdout);
    return 0;
}

} // namespace tessaro::cli
