// The GUI application object of the programs that draw text.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QGuiApplication>

#include "cli/session.h"

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

} // namespace tessaro::cli
