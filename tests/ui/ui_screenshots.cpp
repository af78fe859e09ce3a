// Shows the main window on the X display (run it under Xvfb), fills in a
// small layout, and saves each page with ImageMagick's `import`:
//   ui_screenshots OUTDIR
// writes OUTDIR/home.png, home_panel.png, options.png, opensave.png, about.png.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cstdio>

#include "model/catalogue.h"
#include "model/document.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"
#include "uitestutil.h"

using namespace tessaro;

namespace {

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
}

bool Shoot(const QWidget& w, const QString& file) {
    Settle();
    const QRect g = w.frameGeometry();
    const QString crop = QString("%1x%2+%3+%4").arg(g.width()).arg(g.height()).arg(g.x()).arg(g.y());
    const int rc = QProcess::execute("import", {"-window", "root", "-crop", crop, "+repage", file});
    if (rc != 0) std::fprintf(stderr, "import failed for %s\n", qPrintable(file));
    return rc == 0;
}

void Click(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

void DoubleClick(QListWidget* list, int row) {
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(row)).center());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::UseDesignerFont();
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const std::string dir = uitest::MakeProgramFolder("shots");
    int failures = 0;
    {
        ui::TMainForm w(dir);
        w.move(40, 40);
        w.show();
        Settle();
        failures += !Shoot(w, out + "/about.png");

        w.PageControl1->setCurrentWidget(w.HomePage);
        for (const char* kind : {"Icon Bar", "Carrier/Sim", "Calendar", "Messaging Counts", "MRU",
                                 "Owner Info", "Profile"}) {
            QTest::mouseClick(w.AddPluginButton, Qt::LeftButton);
            Click(w.PluginsList, model::KindIndex(kind));
            QTest::mouseClick(w.Button6, Qt::LeftButton);
        }
        Click(w.ActivePluginsList, 2);
        failures += !Shoot(w, out + "/home.png");
        DoubleClick(w.ActivePluginsList, 2);
        failures += !Shoot(w, out + "/home_panel.png");
        QTest::mouseClick(w.Button6, Qt::LeftButton);

        w.PageControl1->setCurrentWidget(w.OptionsPage);
        failures += !Shoot(w, out + "/options.png");
        QTimer::singleShot(200, [&] {
            QWidget* m = QApplication::activeModalWidget();
            if (!m) return;
            failures += !Shoot(*m, out + "/seloption.png");
            m->close();
        });
        QTest::mouseClick(w.SpeedButton4, Qt::LeftButton);

        // The panel of an MRU entry (icon-size choice).
        w.PageControl1->setCurrentWidget(w.HomePage);
        Settle();
        Click(w.ActivePluginsList, 4);
        DoubleClick(w.ActivePluginsList, 4);
        failures += !Shoot(w, out + "/home_mru.png");
        QTest::mouseClick(w.Button6, Qt::LeftButton);
        w.PageControl1->setCurrentWidget(w.OpenSavePage);
        failures += !Shoot(w, out + "/opensave.png");
    }
    {
        // The time a committed field takes in the window (commit, preview
        // pass, surfaces) on a 100-entry layout.
        ui::TMainForm w(dir);
        w.show();
        Settle();
        w.PageControl1->setCurrentWidget(w.HomePage);
        const char* kinds[] = {"Icon Bar", "Carrier/Sim", "Calendar", "Messaging Counts", "Clock",
                               "Missed Calls", "Owner Info", "Profile", "MRU", "Call Progress"};
        for (int i = 0; i < 100; ++i) {
            QTest::mouseClick(w.AddPluginButton, Qt::LeftButton);
            Click(w.PluginsList, model::KindIndex(kinds[i % 10]));
            QTest::mouseClick(w.Button6, Qt::LeftButton);
        }
        Click(w.ActivePluginsList, 52);
        DoubleClick(w.ActivePluginsList, 52);
        QLineEdit* edit = w.P[0]->Edit();
        edit->setFocus();
        Settle();
        QElapsedTimer t;
        t.start();
        const int rounds = 20;
        for (int i = 0; i < rounds; ++i) {
            edit->selectAll();
            QTest::keyClicks(edit, QString::number(i + 1));
            QTest::keyClick(edit, Qt::Key_Return);
            QApplication::processEvents();
        }
        std::printf("commit + redraw in the window, %d entries: %.1f ms each\n",
                    model::CountEntries(w.Doc()), double(t.elapsed()) / rounds);
    }
    uitest::RemoveFolder(dir);
    return failures == 0 ? 0 : 1;
}
