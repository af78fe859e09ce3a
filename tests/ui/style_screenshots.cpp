// Not a test: shows each style window with a sample design on an X display
// (run under Xvfb) and saves it as a PNG for the documentation.
//   style_screenshots OUTDIR
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "images/advopt.h"
#include "model/document.h"
#include "package/project.h"
#include "platform/picture.h"
#include "preview/preview.h"
#include "ui/stylewidgets.h"
#include "ui/tadvopt.h"
#include "ui/tanalogclockform.h"
#include "ui/tbgimageform.h"
#include "ui/ticonbarform.h"
#include "support/style_entries.h"
#include "uitestutil.h"

using namespace tessaro;

namespace {

// A landscape photograph stand-in: sky, sun, hills and a lake.
QImage Landscape(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(250, 190, 130));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 150));
    p.drawEllipse(QPointF(w * 0.7, h * 0.38), h * 0.07, h * 0.07);
    const QColor hills[] = {QColor(90, 110, 140), QColor(60, 110, 80), QColor(35, 80, 50)};
    for (int k = 0; k < 3; ++k) {
        QPainterPath path;
        path.moveTo(0, h);
        for (int x = 0; x <= w; x += 20)
            path.lineTo(x, h * (0.5 + 0.08 * k) - std::sin(x / (90.0 + 40 * k) + k) * h * 0.06);
        path.lineTo(w, h);
        p.setBrush(hills[k]);
        p.drawPath(path);
    }
    QLinearGradient lake(0, h * 0.8, 0, h);
    lake.setColorAt(0, QColor(70, 130, 190));
    lake.setColorAt(1, QColor(20, 60, 110));
    p.setBrush(lake);
    p.drawRect(QRectF(0, h * 0.82, w, h * 0.18));
    return img;
}

bool Save(QWidget& w, const QString& path) {
    w.show();
    const bool shown = QTest::qWaitForWindowExposed(&w);
    QTest::qWait(300);
    const bool saved = shown && w.grab().save(path);
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    w.hide();
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::UseDesignerFont();
    if (argc < 2) {
        std::fprintf(stderr, "usage: style_screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]) + "/";
    const std::string dir = uitest::MakeProgramFolder("shots");
    model::Document doc;
    package::StartDocument(doc, dir);
    preview::Preview preview(doc);
    preview.SetMessageHandler(
        [](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); });

    const int bar = testsupport::AddEditedEntry(doc, "Icon Bar", 0, 20);
    const int clock = testsupport::AddEditedEntry(doc, "AnalogClock", 60, 90);
    auto& c = doc.Plugins[clock];
    c.Items[0].X = 43;
    c.Items[0].Y = 1;
    c.Items[0].SelColor = 0x202020;
    c.Items[0].UnselColor = 0x2020C0;
    c.Items[1].X = 3;
    c.Items[1].Y = 2;
    c.Items[2].X = 2;
    c.Items[2].Y = 75;
    c.BgColor = 0xFFFFFF;
    testsupport::AddEditedEntry(doc, "Calendar", 20, 40);
    // Keep the index order as the layout order.
    std::swap(doc.Plugins[1], doc.Plugins[2]);
    std::swap(doc.ActivePluginsList.Lines[1], doc.ActivePluginsList.Lines[2]);
    preview.DrawPlugins();

    int failures = 0;
    {
        doc.EditIndex = bar;
        ui::TIconBarForm form(preview, {}, {});
        form.Load();
        form.show();
        QTest::mouseClick(form.StyleButtons[1], Qt::LeftButton);
        QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        failures += !Save(form, out + "iconbar.png");
    }
    {
        doc.EditIndex = 2;
        ui::TAnalogClockForm form(preview, {}, {}, {});
        form.Load();
        failures += !Save(form, out + "clock.png");
    }
    {
        doc.EditIndex = 1;
        ui::Tadvopt form(doc, {});
        form.ShowSection(images::AdvancedSection::Background);
        failures += !Save(form, out + "advopt.png");
    }
    {
        ui::TBGImageForm form;
        // A camera-sized photograph, shown fitted to the window.
        form.SetPicture(ui::FromQImage(Landscape(3000, 2200)));
        form.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            ++failures;
        form.Shape1MouseDown(40, 40);
        form.Shape1MouseMove(40 + 900, 40 + 500, true);
        form.Shape2MouseDown();
        form.Shape2MouseMove(10 + 1000, true);
        failures += !Save(form, out + "crop.png");
    }
    uitest::RemoveFolder(dir);
    return failures == 0 ? 0 : 1;
}
