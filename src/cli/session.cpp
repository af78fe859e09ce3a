#include "cli/session.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include <QGuiApplication>

#include "installlayout.h"
#include "package/project.h"
#include "platform/files.h"
#include "platform/programfolder.h"

namespace tessaro::cli {

namespace {

// Qt's own notes (such as a missing runtime folder) are no business of the
// command line's user; real failures reach stderr through our errors.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

void EnsureGuiApplication() {
    if (QGuiApplication::instance()) return;
    qInstallMessageHandler(QuietQtMessages);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "tessaro-cli";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

std::string HelperFolder(const std::string& appDir) {
    return platform::LocateProgramFolders(platform::ExecutableDir(), appDir, build::InstalledLayout())
        .Helpers;
}

Session OpenLikeDesigner(const std::string& appDir, const std::string& project, bool strictPass,
                         bool withText) {
    if (withText) EnsureGuiApplication();
    Session s;
    s.Lock = std::make_unique<platform::ProgramFolderLock>(appDir);
    s.Doc = std::make_unique<model::Document>();
    package::StartDocument(*s.Doc, appDir);
    s.Doc->HelperDir = HelperFolder(appDir);
    package::OpenProject(*s.Doc, project);
    s.View = std::make_unique<preview::Preview>(*s.Doc);
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
