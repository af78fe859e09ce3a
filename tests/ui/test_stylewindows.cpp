// The style windows driven as a user would: clicks, keys and drags on the
// icon bar, analog clock, advanced options and crop windows.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <memory>

#include "images/background.h"
#include "images/crop.h"
#include "images/cropzoom.h"
#include "model/document.h"
#include "package/project.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "preview/clock.h"
#include "preview/iconbar.h"
#include "preview/preview.h"
#include "ui/choosebackground.h"
#include "ui/stylewidgets.h"
#include "ui/tadvopt.h"
#include "ui/tanalogclockform.h"
#include "ui/tbgimageform.h"
#include "ui/ticonbarform.h"
#include "support/style_entries.h"
#include "uitestutil.h"

using namespace tessaro;
using platform::Bitmap;
using platform::Rgb;

namespace {

// Runs `fn` on the next modal window that opens (a message box or a style
// window shown with exec), from within its event loop.
// A window still open two seconds later is closed, so a failed check
// cannot leave the test waiting.
void OnNextModal(std::function<void(QWidget*)> fn) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto* waited = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, fn, waited] {
        QWidget* w = QApplication::activeModalWidget();
        if ((!w || !w->isVisible()) && ++*waited < 500)
            return;
        timer->stop();
        timer->deleteLater();
        delete waited;
        if (!w)
            return;
        QPointer<QWidget> guard(w);
        fn(w);
        QTimer::singleShot(2000, [guard] {
            if (guard && guard->isVisible())
                guard->close();
        });
    });
    timer->start();
}

// Closes the next message box, returning its text through `text`.
void CloseNextMessage(QString* text) {
    OnNextModal([text](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box)
            return;
        *text = box->text();
        box->accept();
    });
}

void Drag(QWidget* w, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    // Positions stay relative to where the widget is now, as it moves.
    QPoint rel = to;
    QMouseEvent move(QEvent::MouseMove, rel, w->mapToGlobal(rel), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, rel, w->mapToGlobal(rel), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

Bitmap Pattern(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, Rgb(x % 256, y % 256, (x + y) % 256));
    return b;
}

} // namespace

class TestStyleWindows : public QObject {
    Q_OBJECT

  private:
    std::string dir_;
    std::unique_ptr<model::Document> doc_;
    std::unique_ptr<preview::Preview> preview_;
    QStringList messages_;
    std::optional<std::string> nextFile_;
    QString lastFilter_;

    int Add(const std::string& kind, int top, int height) {
        return testsupport::AddEditedEntry(*doc_, kind, top, height);
    }
    ui::PickFileFn Picker() {
        return [this](const std::string& filter) {
            lastFilter_ = QString::fromStdString(filter);
            return nextFile_;
        };
    }
    std::string Pic(const std::string& name) { return dir_ + "pics/" + name; }

  private slots:
    void init() {
        dir_ = uitest::MakeProgramFolder("style");
        std::filesystem::create_directories(dir_ + "pics");
        doc_ = std::make_unique<model::Document>();
        package::StartDocument(*doc_, dir_);
        preview_ = std::make_unique<preview::Preview>(*doc_);
        messages_.clear();
        preview_->SetMessageHandler(
            [this](const std::string& m) { messages_ << QString::fromStdString(m); });
        nextFile_.reset();
    }
    void cleanup() {
        preview_.reset();
        doc_.reset();
        uitest::RemoveFolder(dir_);
    }

    void iconBarStylesWithAndWithoutTransparency() {
        const int bar = Add("Icon Bar", 0, 20);
        preview_->DrawPlugins();
        ui::TIconBarForm form(*preview_, Picker(),
                              [](model::Color) { return std::optional<model::Color>(0x0000FF); });
        form.Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        model::TPlugins& e = doc_->Plugins[bar];
        QVERIFY(form.NormalPanel->isVisible());
        QVERIFY(!form.AdvancedPanel->isVisible());
        QCOMPARE(form.Image3->pixmap().size(), QSize(176, 20));
        const int normalHeight = form.height();

        // Advanced, template 3.
        QTest::mouseClick(form.StyleButtons[1], Qt::LeftButton);
        QCOMPARE(e.Items[0].X, 1);
        QCOMPARE(e.BgImage, std::string("iconbar.jpg"));
        QVERIFY(form.AdvancedPanel->isVisible() && !form.NormalPanel->isVisible());
        QCOMPARE(form.AdvancedPanel->pos(), QPoint(0, 144));
        QVERIFY(form.height() > normalHeight);
        QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QCOMPARE(e.Items[0].Y, 3);
        // The template number cannot be typed.
        QTest::keyClicks(form.SpinEdit1, "5");
        QCOMPARE(form.SpinEdit1->value(), 3);

        // Transparent by mouse: the level bar opens at 0, then all the way.
        QVERIFY(!form.ScrollBar1->isEnabled());
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QCOMPARE(e.Transparent, std::uint8_t(1));
        QCOMPARE(e.TransparencyLevel, 0);
        QVERIFY(form.ScrollBar1->isEnabled());
        QTest::keyClick(form.ScrollBar1, Qt::Key_PageDown);
        QVERIFY(e.TransparencyLevel > 0);
        QTest::keyClick(form.ScrollBar1, Qt::Key_End);
        QCOMPARE(e.TransparencyLevel, 255);

        // Normal at level 255: a bar without picture.
        QTest::mouseClick(form.StyleButtons[0], Qt::LeftButton);
        QCOMPARE(e.Items[0].X, 0);
        QCOMPARE(e.Items[0].Y, 1);
        QCOMPARE(e.Transparent, std::uint8_t(1));
        QCOMPARE(e.BgImage, std::string());

        // Untick: opaque again.
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QCOMPARE(e.Transparent, std::uint8_t(0));
        QCOMPARE(e.TransparencyLevel, 0);
        QVERIFY(!form.ScrollBar1->isEnabled());

        // A swatch takes the colour the dialog gives.
        QTest::mouseClick(form.Shape1, Qt::LeftButton);
        QCOMPARE(doc_->Scheme[preview::COLOR_TRAY1], 0x0000FFu);

        // Custom with the user's picture.
        QTest::mouseClick(form.StyleButtons[2], Qt::LeftButton);
        QVERIFY(form.CustomPanel->isVisible());
        QCOMPARE(e.Items[0].X, 0); // nothing stored before a picture is loaded
        platform::WriteBmp(Pic("bar.bmp"), Pattern(176, 20));
        nextFile_ = Pic("bar.bmp");
        QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        QCOMPARE(lastFilter_, QString("Bitmaps|*.bmp"));
        QCOMPARE(e.Items[0].X, 2);
        QCOMPARE(e.CustomImage, std::string("bar.bmp"));
        QVERIFY(platform::FileExists(dir_ + "bar.bmp"));
        // Transparent custom bar, half way.
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QTest::keyClick(form.ScrollBar1, Qt::Key_End);
        QCOMPARE(e.TransparencyLevel, 255);
        QCOMPARE(e.Transparent, std::uint8_t(1));
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(!form.isVisible());
    }

    void iconBarRefusesAWrongPictureSize() {
        const int bar = Add("Icon Bar", 0, 20);
        preview_->DrawPlugins();
        ui::TIconBarForm form(*preview_, Picker(), {});
        form.Load();
        form.show();
        QTest::mouseClick(form.StyleButtons[2], Qt::LeftButton);
        platform::WriteBmp(Pic("tall.bmp"), Pattern(176, 21));
        nextFile_ = Pic("tall.bmp");
        const model::TPlugins before = doc_->Plugins[bar];
        QString text;
        CloseNextMessage(&text);
        QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        QCOMPARE(text, QString("Picture Size Must Be 176x20."));
        QVERIFY(doc_->Plugins[bar] == before);
    }

    void clockAdvancedFaceLowOnTheScreen() {
        const int clock = Add("AnalogClock", 150, 40);
        preview_->DrawPlugins();
        int heightField = -1;
        ui::TAnalogClockForm form(
            *preview_, {}, [] { return 5810; }, [&](int v) { heightField = v; });
        form.Load();
        form.show();
        QCOMPARE(form.SizeLabel->text(), QString(" x40"));
        QVERIFY(!form.AdvancedPanel->isVisible());
        QCOMPARE(form.Image1->height(), 40);

        QTest::mouseClick(form.FaceButtons[1], Qt::LeftButton);
        QVERIFY(form.AdvancedPanel->isVisible());
        QCOMPARE(form.SpinEdit1->maximum(), 50);
        QCOMPARE(doc_->BGI, std::string("BackGroundImage with Analog Plugin.jpg"));
        // Arrow up past the limit stops at 50; the label and picture follow.
        for (int k = 0; k < 15; ++k)
            QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QCOMPARE(form.SpinEdit1->value(), 50);
        QCOMPARE(form.SizeLabel->text(), QString(" x50"));
        QCOMPARE(form.SpinEdit2->maximum(), 126);
        QTest::keyClick(form.SpinEdit1, Qt::Key_Return);
        QCOMPARE(form.Image1->height(), 50);
        // Enter redraws only: the window stays and nothing is stored yet.
        QVERIFY(form.isVisible());
        QCOMPARE(heightField, -1);
        QTest::keyClick(form.SpinEdit6, Qt::Key_Up);
        QCOMPARE(form.Core().Fields().Template.Value, 2);

        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        const model::TPlugins& e = doc_->Plugins[clock];
        QCOMPARE(e.Height, 50);
        QCOMPARE(e.Items[0].Y, 1);
        QCOMPARE(e.Items[2].X, 2);
        QCOMPARE(heightField, 50);
    }

    void clockFieldsBringTypedNumbersWithinRange() {
        Add("AnalogClock", 150, 40);
        preview_->DrawPlugins();
        ui::TAnalogClockForm form(*preview_, {}, [] { return 5810; }, [](int) {});
        form.Load();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::mouseClick(form.FaceButtons[1], Qt::LeftButton);
        QCOMPARE(form.SpinEdit1->maximum(), 50);

        // "80" is typed whole; the label follows it, Enter brings it to 50.
        form.SpinEdit1->setFocus();
        form.SpinEdit1->selectAll();
        QTest::keyClicks(form.SpinEdit1, "80");
        QCOMPARE(form.SizeLabel->text(), QString(" x80"));
        QTest::keyClick(form.SpinEdit1, Qt::Key_Return);
        QCOMPARE(form.SpinEdit1->value(), 50);
        QCOMPARE(form.SpinEdit1->text(), QString("50"));
        QCOMPARE(form.SizeLabel->text(), QString(" x50"));
        QCOMPARE(form.Core().Fields().Size.Value, 50);

        // Leaving a field does the same: 150 in "X Position" (at most 126).
        form.SpinEdit2->setFocus();
        form.SpinEdit2->selectAll();
        QTest::keyClicks(form.SpinEdit2, "150");
        QCOMPARE(form.SpinEdit2->text(), QString("150"));
        form.SpinEdit3->setFocus();
        QCOMPARE(form.SpinEdit2->value(), 126);
        QCOMPARE(form.Core().Fields().XPosition.Value, 126);
        // Below the lower bound, and letters, which cannot be typed.
        form.SpinEdit1->setFocus();
        form.SpinEdit1->selectAll();
        QTest::keyClicks(form.SpinEdit1, "3x");
        QCOMPARE(form.SpinEdit1->text(), QString("3"));
        QTest::keyClick(form.SpinEdit1, Qt::Key_Return);
        QCOMPARE(form.SpinEdit1->value(), 14);
        QCOMPARE(form.SizeLabel->text(), QString(" x14"));
    }

    void advancedOptionsIsASizeableToolWindow() {
        ui::Tadvopt form(*doc_, Picker());
        form.ShowSection(images::AdvancedSection::Background);
        form.show();
        QVERIFY(form.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(form.size(), form.Panel1->size());
        QVERIFY(form.maximumSize() != form.minimumSize());
        form.resize(form.Panel1->width() + 80, form.Panel1->height() + 40);
        QCOMPARE(form.size(), QSize(form.Panel1->width() + 80, form.Panel1->height() + 40));
        // The smaller section fits again.
        form.ShowSection(images::AdvancedSection::IconsCount);
        QCOMPARE(form.size(), form.Panel2->size());
    }

    void advancedOptionsBackgroundSection() {
        const int cal = Add("Calendar", 0, 40);
        ui::Tadvopt form(*doc_, Picker());
        form.ShowSection(images::AdvancedSection::Background);
        form.show();
        QVERIFY(form.Panel1->isVisible() && !form.Panel2->isVisible());
        QCOMPARE(form.size(), form.Panel1->size());
        QCOMPARE(form.Memo1->toPlainText().split('\n').size(), 4);

        platform::WriteFile(Pic("tile.jpg"), "any bytes");
        nextFile_ = Pic("tile.jpg");
        QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        QCOMPARE(lastFilter_, QString("Graphic Files|*.jpg;*.jpeg;*.bmp"));
        QCOMPARE(doc_->Plugins[cal].BgImage, std::string("tile.jpg"));
        QCOMPARE(platform::ReadFile(dir_ + "tile.jpg"), std::string("any bytes"));
        QVERIFY(!form.isVisible());

        form.show();
        QTest::mouseClick(form.Button1, Qt::LeftButton); // "Del"
        QCOMPARE(doc_->Plugins[cal].BgImage, std::string());
        QVERIFY(form.isVisible());
        QTest::mouseClick(form.Button2, Qt::LeftButton); // transparent
        QCOMPARE(doc_->Plugins[cal].Transparent, std::uint8_t(1));
        QVERIFY(!form.isVisible());
        form.show();
        QTest::mouseClick(form.Button3, Qt::LeftButton); // not transparent
        QCOMPARE(doc_->Plugins[cal].Transparent, std::uint8_t(0));
        QVERIFY(!form.isVisible());

        // A cancelled picture dialog keeps the window open.
        form.show();
        nextFile_.reset();
        QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        QVERIFY(form.isVisible());
        QVERIFY(!form.OpenFor("Owner Info"));
    }

    void advancedOptionsIconsCount() {
        const int mru = Add("MRU", 0, 55);
        doc_->Plugins[mru].Items[1].Extra = "5";
        ui::Tadvopt form(*doc_, Picker());
        form.ShowSection(images::AdvancedSection::IconsCount);
        form.show();
        QVERIFY(form.Panel2->isVisible() && !form.Panel1->isVisible());
        QCOMPARE(form.SpinEdit1->value(), 5);
        QCOMPARE(doc_->Plugins[mru].Items[1].Extra, std::string("5"));
        QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QCOMPARE(doc_->Plugins[mru].Items[1].Extra, std::string("6"));
        for (int k = 0; k < 6; ++k)
            QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QCOMPARE(doc_->Plugins[mru].Items[1].Extra, std::string("9"));
        QTest::keyClicks(form.SpinEdit1, "3");
        QCOMPARE(form.SpinEdit1->value(), 9);
    }

    void backgroundTooSmallIsRefused() {
        ui::TBGImageForm crop;
        platform::WriteBmp(Pic("a.bmp"), Pattern(176, 201));
        platform::WriteBmp(Pic("b.bmp"), Pattern(177, 200));
        int redraws = 0;
        for (const char* name : {"a.bmp", "b.bmp"}) {
            nextFile_ = Pic(name);
            QString text;
            CloseNextMessage(&text);
            ui::ChooseBackground(nullptr, *doc_, crop, Picker(), [&] { ++redraws; });
            QCOMPARE(text, QString("Image is Too Small"));
        }
        QCOMPARE(redraws, 0);
        QCOMPARE(doc_->BGI, std::string("WindowsMobile.JPG"));
    }

    void backgroundCropOpensForALargerPicture() {
        ui::TBGImageForm crop;
        platform::WriteBmp(Pic("big.bmp"), Pattern(177, 201));
        nextFile_ = Pic("big.bmp");
        bool cropShown = false;
        QString title;
        QRect frame, handle;
        int stripHeight = 0;
        OnNextModal([&](QWidget* w) {
            cropShown = w == &crop;
            title = crop.windowTitle();
            frame = crop.Shape1->geometry();
            handle = crop.Shape2->geometry();
            stripHeight = crop.Panel1->height();
            QTest::mouseClick(crop.Button1, Qt::LeftButton);
        });
        int redraws = 0;
        ui::ChooseBackground(nullptr, *doc_, crop, Picker(), [&] { ++redraws; });
        QVERIFY(cropShown);
        QCOMPARE(title, QString("Select part of image."));
        QCOMPARE(frame, QRect(0, 0, 176, 200));
        QCOMPARE(handle, QRect(166, 190, 10, 10));
        QCOMPARE(stripHeight, 41);
        QCOMPARE(redraws, 1);
        QCOMPARE(doc_->BGI, std::string("big.jpg"));
        QCOMPARE(doc_->BackgroundImage, std::string("big.jpg"));
        QCOMPARE(platform::ReadJpeg(dir_ + "big.jpg").Width(), 176);
        QVERIFY(platform::FileExists(dir_ + "WindowsMobile.JPG"));
    }

    void backgroundCropWithFrameWidth352() {
        ui::TBGImageForm crop;
        const Bitmap picture = Pattern(600, 700);
        platform::WriteBmp(Pic("wide.bmp"), picture);
        platform::WriteFile(dir_ + "old.jpg", "x");
        doc_->BGI = doc_->BackgroundImage = "old.jpg";
        nextFile_ = Pic("wide.bmp");
        QPoint moved, handlePos;
        QSize size;
        OnNextModal([&](QWidget*) {
            // At 1:1, move the frame by 30, 40 with the mouse, then pull the
            // handle until the frame's right edge is 176 pixels further right.
            QTest::mouseClick(crop.ZoomOneButton, Qt::LeftButton);
            Drag(crop.Shape1, QPoint(50, 50), QPoint(80, 90));
            moved = crop.Shape1->pos();
            Drag(crop.Shape2, QPoint(10, 5), QPoint(10 + 176, 5));
            size = crop.Shape1->size();
            handlePos = crop.Shape2->pos();
            QTest::mouseClick(crop.Button1, Qt::LeftButton);
        });
        ui::ChooseBackground(nullptr, *doc_, crop, Picker(), [] {});
        QCOMPARE(moved, QPoint(30, 40));
        QCOMPARE(size, QSize(352, 400));
        QCOMPARE(handlePos, QPoint(30 + 342, 40 + 390));
        const Bitmap& result = crop.Result();
        for (auto [x, y] : {std::pair{0, 0}, {175, 199}, {10, 3}})
            QCOMPARE(result.Pixel(x, y), picture.Pixel(30 + 2 * x, 40 + 2 * y));
        QCOMPARE(doc_->BGI, std::string("wide.jpg"));
        QVERIFY(!platform::FileExists(dir_ + "old.jpg"));
    }

    void backgroundCropCancelKeepsTheBackground() {
        ui::TBGImageForm crop;
        platform::WriteBmp(Pic("huge.bmp"), Pattern(1400, 1200));
        platform::WriteFile(dir_ + "old.jpg", "x");
        doc_->BGI = doc_->BackgroundImage = "old.jpg";
        nextFile_ = Pic("huge.bmp");
        bool scrolls = false, fitted = false;
        OnNextModal([&](QWidget*) {
            // Larger than the screen: shown whole at first, it scrolls at 1:1.
            fitted = crop.ScrollBox1->horizontalScrollBar()->maximum() == 0 &&
                     crop.ScrollBox1->verticalScrollBar()->maximum() == 0;
            QTest::mouseClick(crop.ZoomOneButton, Qt::LeftButton);
            scrolls = crop.ScrollBox1->horizontalScrollBar()->maximum() > 0 &&
                      crop.ScrollBox1->verticalScrollBar()->maximum() > 0;
            QTest::mouseClick(crop.CancelButton, Qt::LeftButton);
        });
        int redraws = 0;
        ui::ChooseBackground(nullptr, *doc_, crop, Picker(), [&] { ++redraws; });
        QVERIFY(fitted);
        QVERIFY(scrolls);
        QCOMPARE(doc_->BGI, std::string("old.jpg"));
        QCOMPARE(doc_->BackgroundImage, std::string("old.jpg"));
        QVERIFY(platform::FileExists(dir_ + "old.jpg"));
        QVERIFY(!platform::FileExists(dir_ + "huge.jpg"));
        QCOMPARE(redraws, 1);

        // Escape leaves the same way.
        OnNextModal([&](QWidget*) { QTest::keyClick(&crop, Qt::Key_Escape); });
        ui::ChooseBackground(nullptr, *doc_, crop, Picker(), [] {});
        QCOMPARE(doc_->BGI, std::string("old.jpg"));
        QVERIFY(!platform::FileExists(dir_ + "huge.jpg"));
    }

    void backgroundCropAtFittedZoomCutsTheSamePixelsAsAtOneToOne() {
        const Bitmap picture = Pattern(1500, 1300);
        // Moves and resizes the frame with the mouse: at the fitted zoom by
        // view pixels, at 1:1 to the selection the fitted run made.
        auto cut = [&](bool fitted, images::Rect& selection, Bitmap& result) {
            ui::TBGImageForm crop;
            crop.setGeometry(0, 0, 800, 600);
            crop.SetPicture(picture);
            crop.show();
            if (!QTest::qWaitForWindowExposed(&crop))
                qWarning("crop window not exposed");
            if (fitted) {
                const images::CropZoom z = crop.Zoom();
                QVERIFY(z.Num() < z.Den());
                // The whole picture is in sight.
                QCOMPARE(crop.ScrollBox1->horizontalScrollBar()->maximum(), 0);
                QCOMPARE(crop.ScrollBox1->verticalScrollBar()->maximum(), 0);
                Drag(crop.Shape1, QPoint(20, 20), QPoint(20 + 61, 20 + 47));
                const images::Rect moved = crop.Frame().Frame();
                // 61 view pixels are 61 / zoom picture pixels, give or take one view pixel.
                QVERIFY(std::abs(moved.Left - 61 * z.Den() / z.Num()) <= z.Den() / z.Num() + 1);
                QVERIFY(std::abs(moved.Top - 47 * z.Den() / z.Num()) <= z.Den() / z.Num() + 1);
                Drag(crop.Shape2, QPoint(5, 5), QPoint(5 + 37, 5));
                selection = crop.Frame().Selection();
            } else {
                QTest::mouseClick(crop.ZoomOneButton, Qt::LeftButton);
                QVERIFY(crop.Zoom().IsOne());
                Drag(crop.Shape1, QPoint(40, 40), QPoint(40 + selection.Left, 40 + selection.Top));
                Drag(crop.Shape2, QPoint(10, 5), QPoint(10 + selection.Width - 176, 5));
                QCOMPARE(crop.Frame().Selection(), selection);
            }
            QTest::mouseClick(crop.Button1, Qt::LeftButton);
            result = crop.Result();
        };
        images::Rect selection;
        Bitmap atFit, atOne;
        cut(true, selection, atFit);
        QVERIFY(selection.Left > 100 && selection.Top > 80);
        QVERIFY(selection.Width > 176 + 37);
        cut(false, selection, atOne);
        QVERIFY(atFit == atOne);
        QVERIFY(atFit == images::CropPicture(picture, selection));
    }

    void cropFrameShowsOnALightPicture() {
        ui::TBGImageForm crop;
        crop.setGeometry(0, 0, 800, 600);
        crop.SetPicture(Bitmap(400, 400, 0xFFFFFF));
        crop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&crop));
        const QImage frame = crop.Shape1->grab().toImage();
        int dark = 0, light = 0;
        for (int x = 0; x < 6; ++x) {
            const int g = qGray(frame.pixel(x, frame.height() / 2));
            dark += g < 64;
            light += g > 192;
        }
        QVERIFY(dark >= 2); // a dark line on each side of the light one
        QVERIFY(light >= 3);
    }
};

QTEST_MAIN(TestStyleWindows)
#include "test_stylewindows.moc"
