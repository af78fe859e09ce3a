// tessaro-cli import: a home layout or theme cabinet into a project.
#include <cstdio>

#include "cli/commands.h"
#include "model/document.h"
#include "package/import.h"
#include "package/project.h"

namespace tessaro::cli {

int CmdImport(const std::string& appDir, const Args& args) {
    if (args.size() != 2) throw UsageError{"expected THEME OUT.trpf"};
    model::Document doc;
    package::StartDocument(doc, appDir);
    const package::ImportResult imported = package::ImportTheme(args[0], doc.AppDir);
    package::UseImportedTheme(doc, imported.theme);
    package::SaveProject(doc, args[1]);
    for (const std::string& line : imported.report) std::fprintf(stderr, "%s\n", line.c_str());
    return 0;
}

} // namespace tessaro::cli
