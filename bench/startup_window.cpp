// The yardstick for the designer's start-up: the smallest Qt Widgets program
// that maps a window of the designer's size. With TESSARO_STARTUP_TIME set to
// the launch time (microseconds since the epoch) it prints, as the designer
// does, how long after the launch its window was exposed on the screen, then
// runs until it is ended.
#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Minimal");
    window.setFixedSize(215, 539);
    window.show();
    if (qEnvironmentVariableIsSet("TESSARO_STARTUP_TIME")) {
        QElapsedTimer waited;
        waited.start();
        while ((!window.windowHandle() || !window.windowHandle()->isExposed()) && waited.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        const long long now = std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::system_clock::now().time_since_epoch())
                                  .count();
        const long long launched = std::atoll(qgetenv("TESSARO_STARTUP_TIME").constData());
        if (launched > 1000000000000000LL) std::fprintf(stderr, "window shown %.1f ms after launch\n", double(now - launched) / 1000.0);
        std::fflush(stderr);
    }
    return app.exec();
}
