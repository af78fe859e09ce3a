// tessaro-cli xml, save and scheme: the project file and the XML writers; and
// which commands run without drawing text.
#include <cstdio>

#include "cli/commands.h"
#include "cli/session.h"
#include "formats/color.h"
#include "formats/homelayout.h"
#include "formats/scheme.h"
#include "model/document.h"
#include "model/error.h"
#include "package/project.h"
#include "platform/files.h"

namespace tessaro::cli {

namespace {

void NeedArgs(const Args& args, std::size_t n, const char* what) {
    if (args.size() != n) throw UsageError{std::string("expected ") + what};
}

} // namespace

int CmdXml(const std::string& appDir, const Args& args) {
    NeedArgs(args, 2, "PROJECT.trpf OUT.home.xml");
    // The layout takes the design as the pass leaves it; texts are not needed.
    Session session = OpenLikeDesigner(appDir, args[0], false, false);
    model::Document& doc = *session.Doc;
    formats::WriteHomeLayout(doc, args[1]);
    platform::WriteFileAtomic(args[1], platform::ReadFile(doc.AppDir + "temp"));
    return 0;
}

int CmdSave(const std::string& appDir, const Args& args) {
    NeedArgs(args, 2, "PROJECT.trpf OUT.trpf");
    Session session = OpenLikeDesigner(appDir, args[0], false, false);
    package::SaveProject(*session.Doc, args[1]);
    return 0;
}

int CmdScheme(const std::string&, const Args& args) {
    NeedArgs(args, 1, "FILE");
    const model::Scheme scheme = formats::ReadColorScheme(args[0]);
    std::string out;
    for (int slot = 0; slot < model::kSchemeSize; ++slot)
        out += std::to_string(slot) + " " + formats::SchemeColorNames[slot] + " " +
               formats::ColorToHex(scheme[slot]) + "\n";
    if (std::fputs(out.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
        throw Error("Cannot write the colours to the standard output.");
    return 0;
}

Command FindTextlessCommand(const std::string& name) {
    if (name == "xml") return CmdXml;
    if (name == "save") return CmdSave;
    if (name == "scheme") return CmdScheme;
    if (name == "cab") return CmdCab;
    if (name == "install") return CmdInstall;
    return nullptr;
}

bool IsTextCommand(const std::string& name) { return name == "render" || name == "check" || name == "import"; }

} // namespace tessaro::cli
