// The designer: one fixed-size main window; the state options, style and file
// windows are built the first time they are opened and shown modally.
//   tessaro [--appdir DIR]
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "installlayout.h"
#include "platform/files.h"
#include "platform/programfolder.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"

namespace {

// The folder named by --appdir DIR or --appdir=DIR; empty when there is none.
// Returns false when --appdir lacks its folder.
bool AppDirOption(int argc, char** argv, std::string& dir) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--appdir=", 9) == 0) {
            dir = argv[i] + 9;
            if (dir.empty()) return false;
        } else if (std::strcmp(argv[i], "--appdir") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return false;
            dir = argv[++i];
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaro");
    QApplication::setDesktopFileName("org.tessaro.Tessaro");
    tessaro::ui::UseDesignerFont();

    std::string appDir;
    if (!AppDirOption(argc, argv, appDir)) {
        std::fprintf(stderr, "Usage: tessaro [--appdir DIR]\n");
        return 2;
    }
    tessaro::platform::ProgramFolders folders;
    try {
        folders = tessaro::platform::PrepareProgramFolders(tessaro::platform::ExecutableDir(), appDir,
                                                           tessaro::build::kVersion,
                                                           tessaro::build::InstalledLayout());
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "Tessaro", QString::fromStdString(e.what()));
        return 1;
    }

    tessaro::ui::TMainForm window(folders.Work);
    window.Doc().HelperDir = folders.Helpers;
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    if (!folders.Kept.empty())
        QMessageBox::information(&window, "Tessaro",
                                 QString::fromStdString(tessaro::platform::KeptFilesNote(folders)));
    if (qEnvironmentVariableIsSet("TESSARO_STARTUP_TIME")) {
        // Until the window system has mapped and exposed the window.
        QElapsedTimer waited;
        waited.start();
        while ((!window.windowHandle() || !window.windowHandle()->isExposed()) && waited.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        std::fprintf(stderr, "window shown after %lld ms\n", static_cast<long long>(started.elapsed()));
        // A launch time given in the variable (microseconds since the epoch):
        // also the time since then, process start-up included.
        const long long launched = std::atoll(qgetenv("TESSARO_STARTUP_TIME").constData());
        if (launched > 1000000000000000LL) {
            const long long now = std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::system_clock::now().time_since_epoch())
                                      .count();
            std::fprintf(stderr, "window shown %.1f ms after launch\n", double(now - launched) / 1000.0);
        }
    }
    return app.exec();
}
