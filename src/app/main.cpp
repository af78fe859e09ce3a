// The designer: one fixed-size main window; the style windows are created
// with it and shown modally on demand.
#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QStyle>
#include <cstdio>

#include "platform/files.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaro");
    tessaro::ui::UseDesignerFont();

    tessaro::ui::TMainForm window(tessaro::platform::ExecutableDir());
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    if (qEnvironmentVariableIsSet("TESSARO_STARTUP_TIME")) {
        QApplication::processEvents();
        std::fprintf(stderr, "window shown after %lld ms\n", static_cast<long long>(started.elapsed()));
    }
    return app.exec();
}
