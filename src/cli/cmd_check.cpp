// tessaro-cli check: the layout checker on a design as it is stored.
#include <cctype>
#include <cstdio>

#include <QTemporaryDir>

#include "check/layoutcheck.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "model/document.h"
#include "model/error.h"
#include "package/import.h"
#include "package/project.h"
#include "platform/files.h"

namespace tessaro::cli {

namespace {

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i])
            return false;
    return true;
}

// A design to check and where its pictures are.
struct DesignForCheck {
    model::Theme Theme;
    std::vector<std::string> PictureFolders; // looked at before the program folder
    std::vector<std::string> Report;         // notes of the reading, for stderr
};

// A home layout or a theme cabinet, brought in through the importer.
// Its pictures go into a scratch folder, so that checking writes nothing into
// the program folder.
DesignForCheck ImportForCheck(const std::string& path, const std::string& scratch) {
    package::ImportResult imported = package::ImportTheme(path, scratch);
    return {std::move(imported.theme), {scratch}, std::move(imported.report)};
}

// The design DESIGN holds, before any preview pass: a project is read as it
// stands (its own folder holds its pictures); a home layout or a theme
// cabinet go through the importer.
DesignForCheck LoadDesignForCheck(const std::string& path, const std::string& appDir,
                                  const std::string& scratch) {
    if (EndsWithNoCase(path, ".trpf"))
        return {package::ReadProject(path, appDir), {platform::FolderPart(path)}, {}};
    if (EndsWithNoCase(path, ".home.xml") || EndsWithNoCase(path, ".cab"))
        return ImportForCheck(path, scratch);
    throw UsageError{"DESIGN must be a project (.trpf), a home layout (.home.xml) or a theme cabinet (.cab)"};
}

} // namespace

int CmdCheck(const std::string& appDir, const Args& args) {
    bool json = false;
    std::vector<std::string> designs;
    for (const std::string& a : args) {
        if (a == "--json") json = true;
        else if (a.size() > 1 && a[0] == '-') throw UsageError{"unknown option \"" + a + "\""};
        else designs.push_back(a);
    }
    if (designs.size() != 1) throw UsageError{"expected DESIGN [--json]"};

    EnsureGuiApplication(); // the fonts that measure texts need it
    const QTemporaryDir scratch;
    if (!scratch.isValid()) throw Error("No scratch folder for the check: " + scratch.errorString().toStdString());
    const DesignForCheck design =
        LoadDesignForCheck(designs[0], appDir, scratch.path().toStdString() + "/");
    for (const std::string& line : design.Report) std::fprintf(stderr, "%s\n", line.c_str());
    const std::vector<check::Finding> findings =
        check::CheckLayout(design.Theme, check::PictureSource{appDir, design.PictureFolders});
    if (json) {
        std::printf("%s\n", check::FindingsJson(findings).c_str());
    } else {
        for (const check::Finding& f : findings)
            std::printf("%s\n", check::FormatFinding(f).c_str());
    }
    std::fflush(stdout);
    return check::CountErrors(findings) > 0 ? 1 : 0;
}

} // namespace tessaro::cli
