// Drives the device view with the mouse and the keyboard: opening it,
// selecting and opening entries, dragging and nudging entries and labels
// within the settings panel's bounds, the selected state, and what it
// remembers.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <set>

#include "model/catalogue.h"
#include "model/directedit.h"
#include "model/editing.h"
#include "package/editor.h"
#include "preview/devicescreen.h"
#include "preview/preview.h"
#include "ui/deviceview.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"
#include "uitestutil.h"

using namespace tessaro;
using tessaro::ui::DeviceView;
using tessaro::ui::TMainForm;

namespace {

constexpr model::Color kBand = 0x00A03C14;

// The main window with three entries: Owner Info 0..40, Profile 50..80,
// Calendar 100..120, gaps between them, and the device view open at 2x.
struct Rig {
    std::string appDir;
    QStringList messages;
    std::unique_ptr<TMainForm> w;
    DeviceView* view = nullptr;

    explicit Rig(const QString& tag, bool open = true) {
        appDir = uitest::MakeProgramFolder(tag);
        ui::MainFormHooks hooks;
        hooks.Message = [this](const QString& m) { messages << m; };
        hooks.NoStyleWindows = true;
        w = std::make_unique<TMainForm>(appDir, hooks);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("main window not active");
        w->PageControl1->setCurrentWidget(w->HomePage);
        model::Document& d = w->Doc();
        const char* kinds[] = {"Owner Info", "Profile", "Calendar"};
        const int tops[] = {0, 50, 100}, heights[] = {40, 30, 20};
        for (int k = 0; k < 3; ++k) {
            model::TPlugins& e =
                d.Plugins[std::size_t(model::AddEntry(d, model::KindIndex(kinds[k])))];
            e.Top = tops[k];
            e.Height = heights[k];
        }
        d.Plugins[1].BgColor = kBand;
        d.Plugins[1].Transparent = 0;
        d.ActivePluginsList.Selected = -1;
        w->Editor().Absorb(); // the entries made here are the start of the history
        w->DrawPlugins();
        if (open)
            Open();
    }
    ~Rig() {
        w.reset();
        uitest::RemoveFolder(appDir);
    }
    void Open() {
        QTest::keyClick(w.get(), Qt::Key_D, Qt::ControlModifier);
        view = w->DeviceWindow();
        QVERIFY(view);
        QVERIFY(QTest::qWaitForWindowExposed(view));
        view->SetZoomChoice(2);
    }
    model::Document& doc() { return w->Doc(); }
    QWidget* screen() { return view->Screen; }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = {}) {
        const QPoint p = view->WidgetPoint(at.x(), at.y());
        QMouseEvent e(type, p, screen()->mapToGlobal(p),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, mods);
        QApplication::sendEvent(screen(), &e);
    }
    void Click(QPoint at) {
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    void DoubleClick(QPoint at) {
        Click(at);
        Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    // Presses at `from`, moves through every point on the way to `to` (one
    // screen pixel at a time), calling `each` after every step, releases.
    void Drag(QPoint from, QPoint to, const std::function<void()>& each = {}) {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        QPoint at = from;
        while (at != to) {
            at += QPoint((to.x() > at.x()) - (to.x() < at.x()),
                         (to.y() > at.y()) - (to.y() < at.y()));
            Mouse(QEvent::MouseMove, at, Qt::LeftButton);
            if (each)
                each();
        }
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
    void Key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(screen(), k, mods); }
    // The colour the view shows at screen pixel (x, y).
    QRgb Shown(int x, int y) {
        const QImage img = screen()->grab().toImage();
        return img.pixel(view->WidgetPoint(x, y) * img.devicePixelRatio());
    }
};

} // namespace

class DeviceViewTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { ui::UseDesignerFont(); }

    void opensFromTheMainWindowAndIsNotModal() {
        Rig r("dv_open", false);
        QVERIFY(!r.w->DeviceWindow());
        QTest::keyClick(r.w.get(), Qt::Key_D, Qt::ControlModifier);
        DeviceView* v = r.w->DeviceWindow();
        QVERIFY(v && v->isVisible());
        QVERIFY(v->isWindow());
        QVERIFY(!v->isModal());
        QCOMPARE(v->windowTitle(), QString("Device View"));
        v->close();
        // A double-click on the preview opens it again, the button too.
        QTest::mouseDClick(r.w->Image2, Qt::LeftButton, {}, QPoint(50, 10));
        QVERIFY(v->isVisible());
        QCOMPARE(r.w->DeviceWindow(), v);
        v->close();
        QTest::mouseClick(r.w->DeviceViewButton, Qt::LeftButton);
        QVERIFY(v->isVisible());
        // The main window keeps its fixed geometry and still takes input.
        QCOMPARE(r.w->size(), QSize(215, 539));
        QVERIFY(r.w->isEnabled());
    }

    void clickSelectsAndDoubleClickOpensTheEntry() {
        Rig r("dv_click");
        r.Click({170, 60});
        QCOMPARE(r.w->ActivePluginsList->currentRow(), 1);
        QCOMPARE(r.doc().ActivePluginsList.Selected, 1);
        QCOMPARE(r.view->CurrentEntry(), 1);
        r.Click({170, 150}); // below the layout: nothing changes
        QCOMPARE(r.doc().ActivePluginsList.Selected, 1);

        r.DoubleClick({170, 110});
        QCOMPARE(r.w->PanelState().State, model::PageState::Editing);
        QCOMPARE(r.doc().EditIndex, 2);
        QVERIFY(r.w->SettingsPanel->isVisible());
        QCOMPARE(r.w->GXPos->text(), QString("100"));
        QCOMPARE(r.view->CurrentEntry(), 2);
        // With the panel open, a click on another entry opens that one.
        r.Click({170, 10});
        QCOMPARE(r.doc().EditIndex, 0);
        QCOMPARE(r.w->GXPos->text(), QString("0"));
        QVERIFY(r.messages.isEmpty());
    }

    void dragNeverBreaksThePanelsBounds() {
        Rig r("dv_drag");
        const model::Document before = r.doc();
        auto check = [&] {
            model::Document& d = r.doc();
            const int top = d.Plugins[1].Top;
            QVERIFY2(top >= 40 && top <= 70, qPrintable(QString("Top %1").arg(top)));
            QCOMPARE(model::PositionBounds(d, 1).Clamp(top), top);
            QCOMPARE(d.Plugins[0], before.Plugins[0]);
            QCOMPARE(d.Plugins[2], before.Plugins[2]);
        };
        r.Drag({170, 60}, {170, 0}, check);
        QCOMPARE(r.doc().Plugins[1].Top, 40);
        r.Drag({170, 45}, {170, 199}, check);
        QCOMPARE(r.doc().Plugins[1].Top, 70);

        // The same with the panel open on the entry: its field follows and
        // its bounds hold.
        r.DoubleClick({170, 75});
        QCOMPARE(r.doc().EditIndex, 1);
        r.Drag({170, 75}, {170, 50}, check);
        QCOMPARE(r.doc().Plugins[1].Top, 45);
        QCOMPARE(r.w->GXPos->text(), QString("45"));
        r.Drag({170, 50}, {170, 5}, check);
        QCOMPARE(r.doc().Plugins[1].Top, 40);
        QCOMPARE(r.w->GXPos->text(), QString("40"));
        QVERIFY(r.messages.isEmpty());
    }

    void dragMovesALabelAndIsOneGesture() {
        Rig r("dv_label");
        r.view->SetZoomChoice(3);
        model::TPluginItem& name = r.doc().Plugins[0].Items[0];
        name.X = 10;
        name.Y = 4;
        r.w->DrawPlugins();
        QSignalSpy edits(r.w.get(), &TMainForm::directEditApplied);
        r.Drag({14, 9}, {21, 14});
        QCOMPARE(name.X, 17);
        QCOMPARE(name.Y, 9);
        QCOMPARE(r.view->CurrentElement(), 0);
        QVERIFY(edits.size() >= 2);
        std::set<int> series;
        for (const auto& e : edits)
            series.insert(e.at(1).toInt());
        QCOMPARE(series.size(), std::size_t(1));
        edits.clear();
        r.Drag({20, 14}, {15, 14});
        QCOMPARE(name.X, 12);
        QVERIFY2(!series.count(edits.front().at(1).toInt()), "a new drag is a new step");
    }

    void arrowKeysNudgeByOneAndShiftByTen() {
        Rig r("dv_keys");
        r.Click({170, 60});
        QSignalSpy edits(r.w.get(), &TMainForm::directEditApplied);
        r.Key(Qt::Key_Down);
        QCOMPARE(r.doc().Plugins[1].Top, 51);
        r.Key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(r.doc().Plugins[1].Top, 61);
        r.Key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(r.doc().Plugins[1].Top, 70); // held at the next entry's top
        r.Key(Qt::Key_Left);                  // an entry moves up and down only
        QCOMPARE(r.doc().Plugins[1].Top, 70);
        QCOMPARE(edits.size(), 3);
        const int run = edits.front().at(1).toInt();
        for (const auto& e : edits)
            QCOMPARE(e.at(1).toInt(), run);
        // The run is one undoable step.
        QVERIFY(r.w->UndoButton->isEnabled());
        QTest::mouseClick(r.w->UndoButton, Qt::LeftButton);
        QCOMPARE(r.doc().Plugins[1].Top, 50);
        QTest::mouseClick(r.w->RedoButton, Qt::LeftButton);
        QCOMPARE(r.doc().Plugins[1].Top, 70);

        // A label: both directions; a click starts a new run.
        model::TPluginItem& label = r.doc().Plugins[0].Items[0];
        label.X = 10;
        label.Y = 4;
        r.w->DrawPlugins();
        r.Click({12, 8});
        QCOMPARE(r.view->CurrentElement(), 0);
        edits.clear();
        r.Key(Qt::Key_Right);
        r.Key(Qt::Key_Left, Qt::ShiftModifier);
        r.Key(Qt::Key_Up);
        QCOMPARE(label.X, 1);
        QCOMPARE(label.Y, 3);
        QCOMPARE(edits.size(), 3);
        QVERIFY(edits.front().at(1).toInt() != run);
    }

    void showsTheSelectedStateWithAToggle() {
        Rig r("dv_state");
        r.Click({170, 60});
        const preview::Preview& pv = r.w->Preview();
        QCOMPARE(pv.SelectedEntry(), 1);
        QCOMPARE(r.Shown(170, 60), ui::ToQColor(kBand).rgb());
        // The view shows exactly the pass's selected screen, zoomed.
        const QImage expected = ui::ToQImage(pv.SelectedScreen());
        for (QPoint p : {QPoint(3, 3), QPoint(100, 52), QPoint(170, 90), QPoint(20, 210)})
            QCOMPARE(r.Shown(p.x(), p.y()), expected.pixel(p));
        // The main window's preview stays plain.
        QVERIFY(r.w->Image1->Image().pixel(170, 60) != ui::ToQColor(kBand).rgb());

        QTest::mouseClick(r.view->SelectedToggle, Qt::LeftButton);
        QVERIFY(!r.view->SelectedToggle->isChecked());
        const QImage plain = ui::ToQImage(r.w->Preview().Screen());
        QCOMPARE(r.Shown(170, 60), plain.pixel(170, 60));
        QVERIFY(plain.pixel(170, 60) != ui::ToQColor(kBand).rgb());
        QTest::mouseClick(r.view->SelectedToggle, Qt::LeftButton);
        QCOMPARE(r.Shown(170, 60), ui::ToQColor(kBand).rgb());

        // It follows a change made in the main window at once.
        r.doc().Plugins[1].BgColor = 0x000000FF;
        r.w->DrawPlugins();
        QCOMPARE(r.Shown(170, 60), qRgb(255, 0, 0));

        // A band picture that is gone: no message box at every redraw, the
        // main preview whole, the reason in the status line.
        r.doc().Plugins[1].BgImage = "gone.jpg";
        r.w->DrawPlugins();
        QVERIFY(r.messages.isEmpty());
        QVERIFY(r.view->StatusLabel->text().contains("gone.jpg"));
        QCOMPARE(r.Shown(170, 60), plain.pixel(170, 60));
        QCOMPARE(ui::ToQImage(r.w->Preview().Screen()), plain);
    }

    void remembersSizeAndZoom() {
        {
            Rig r("dv_keep");
            r.view->resize(500, 700);
            r.view->ZoomBox->setCurrentIndex(3);
            QCOMPARE(r.view->Zoom(), 3);
            QTest::mouseClick(r.view->GridToggle, Qt::LeftButton);
            r.view->close();
        }
        Rig again("dv_keep2", false);
        QTest::keyClick(again.w.get(), Qt::Key_D, Qt::ControlModifier);
        DeviceView* v = again.w->DeviceWindow();
        QCOMPARE(v->size(), QSize(500, 700));
        QCOMPARE(v->ZoomBox->currentIndex(), 3);
        QCOMPARE(v->Zoom(), 3);
        QVERIFY(!v->Fitted());
        QVERIFY(v->GridToggle->isChecked());
        // Fit: the largest whole zoom the screen area holds.
        v->ZoomBox->setCurrentIndex(0);
        QVERIFY(v->Fitted());
        QCOMPARE(v->Zoom(), preview::FitZoom(176, 220, v->Screen->width(), v->Screen->height()));
        v->resize(250, 320);
        QCOMPARE(v->Zoom(), 1);
    }
};

int main(int argc, char** argv) {
    // What the window remembers goes to a scratch folder, not the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QDir(config.path()).absolutePath().toLocal8Bit());
    QApplication app(argc, argv);
    DeviceViewTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_deviceview.moc"
