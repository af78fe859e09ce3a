// The designer as a safe editor, driven by mouse and keyboard: undo and redo
// with their buttons and keys, the modified mark in the title, the question
// before unsaved work is lost, saving by shortcut, the entry list's keys and
// pictures coming back on undo.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <deque>
#include <filesystem>

#include "model/catalogue.h"
#include "model/editing.h"
#include "package/editor.h"
#include "platform/bitmap.h"
#include "platform/picture.h"
#include "preview/preview.h"
#include "support/test_util.h"
#include "ui/tmainform.h"
#include "ui/tseloption.h"
#include "ui/widgets.h"
#include "uitestutil.h"

using namespace tessaro;
using tessaro::ui::TMainForm;
namespace fs = std::filesystem;
using tessaro::testsupport::Slurp;

namespace {

struct Rig {
    std::string appDir;
    QStringList messages;
    std::deque<std::optional<QString>> answers; // file dialogs, in order
    int dialogs = 0;
    std::deque<int> saveAnswers; // Save changes to the design?
    int asked = 0;
    std::unique_ptr<TMainForm> w;

    explicit Rig(const QString& tag) : appDir(uitest::MakeProgramFolder(tag)) { Make(); }
    void Make() {
        ui::MainFormHooks hooks;
        hooks.Message = [this](const QString& m) { messages << m; };
        hooks.FileDialog = [this](QFileDialog&) -> std::optional<QString> {
            ++dialogs;
            if (answers.empty())
                return std::nullopt;
            auto a = answers.front();
            answers.pop_front();
            return a;
        };
        hooks.AskSave = [this] {
            ++asked;
            if (saveAnswers.empty())
                return int(QMessageBox::Cancel);
            const int a = saveAnswers.front();
            saveAnswers.pop_front();
            return a;
        };
        hooks.NoStyleWindows = true;
        hooks.SettingsFile = QString::fromStdString(appDir + "settings.ini");
        QVERIFY(uitest::ShowOnHomePage(w, appDir, hooks));
    }
    ~Rig() {
        w.reset();
        uitest::RemoveFolder(appDir);
    }
    model::Document& doc() { return w->Doc(); }

    void ClickLine(QListWidget* list, int row) { uitest::ClickLine(list, row); }
    void Add(const char* kind) {
        QTest::mouseClick(w->AddPluginButton, Qt::LeftButton);
        ClickLine(w->PluginsList, model::KindIndex(kind));
        QTest::mouseClick(w->Button6, Qt::LeftButton);
    }
    void Key(int key, Qt::KeyboardModifiers mods = {}) {
        QWidget* target = w->focusWidget() ? w->focusWidget() : w.get();
        QTest::keyClick(target, Qt::Key(key), mods);
    }
    QStringList Lines() const {
        QStringList l;
        for (int i = 0; i < w->ActivePluginsList->count(); ++i)
            l << w->ActivePluginsList->item(i)->text();
        return l;
    }
};

QRgb ScreenPixel(TMainForm& w, int x, int y) {
    return w.BGImage->Image().pixel(x, y);
}

// Runs `act` on the modal window that `open` shows, once it is up.
void WithModal(const std::function<void()>& open, const std::function<void(QWidget*)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        QWidget* m = QApplication::activeModalWidget();
        QVERIFY(m);
        act(m);
        acted = true;
    });
    open();
    QVERIFY(acted);
}

} // namespace

class EditingTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { ui::UseDesignerFont(); }

    void undoAndRedoByButtonsAndKeys() {
        Rig r("undo");
        TMainForm& w = *r.w;
        QVERIFY(!w.UndoButton->isEnabled());
        QVERIFY(!w.RedoButton->isEnabled());
        QCOMPARE(w.UndoButton->geometry(), QRect(185, 360, 23, 23));
        r.Add("Clock");
        r.Add("Calendar");
        r.Add("Profile");
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Add Entry (Ctrl+Z)"));

        // Ctrl+Up on the focused list moves the selected entry.
        r.ClickLine(w.ActivePluginsList, 2);
        w.ActivePluginsList->setFocus();
        r.Key(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(r.Lines(), (QStringList{"Clock", "Profile", "Calendar"}));
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Move Entry Up (Ctrl+Z)"));
        const QImage moved = w.Image1->Image();

        r.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(r.Lines(), (QStringList{"Clock", "Calendar", "Profile"}));
        QCOMPARE(r.doc().Plugins[1].Name, std::string("Calendar"));
        QCOMPARE(w.ActivePluginsList->currentRow(), 2); // the selection goes back with the entry
        QVERIFY(w.Image1->Image() != moved);
        QVERIFY(w.RedoButton->isEnabled());
        QCOMPARE(w.RedoButton->toolTip(), QString("Redo Move Entry Up (Ctrl+Y)"));

        r.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(r.Lines(), (QStringList{"Clock", "Profile", "Calendar"}));
        QCOMPARE(w.Image1->Image(), moved); // the redrawn preview is the one the step drew
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        r.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(r.Lines(), (QStringList{"Clock", "Profile", "Calendar"}));

        // Delete removes the selected entry; undo brings it back in place.
        r.ClickLine(w.ActivePluginsList, 0);
        w.ActivePluginsList->setFocus();
        r.Key(Qt::Key_Delete);
        QCOMPARE(r.Lines(), (QStringList{"Profile", "Calendar"}));
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QCOMPARE(r.Lines(), (QStringList{"Clock", "Profile", "Calendar"}));
        for (int i = 0; i < 10; ++i)
            QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QCOMPARE(model::CountEntries(r.doc()), 0);
        QVERIFY(!w.UndoButton->isEnabled());
        QVERIFY(r.messages.isEmpty());
    }

    void panelCatalogueAndListKeys() {
        Rig r("keys");
        TMainForm& w = *r.w;
        // Escape leaves the catalogue without adding an entry.
        QTest::mouseClick(w.AddPluginButton, Qt::LeftButton);
        QVERIFY(w.PluginsList->isVisible());
        r.Key(Qt::Key_Escape);
        QVERIFY(!w.PluginsList->isVisible());
        QVERIFY(w.ActivePluginsList->isVisible());
        QCOMPARE(model::CountEntries(r.doc()), 0);
        QVERIFY(!w.Editor().CanUndo());

        r.Add("Calendar");
        r.Add("Clock");
        // Enter and F2 open the selected entry; Escape closes the panel as OK.
        r.ClickLine(w.ActivePluginsList, 0);
        w.ActivePluginsList->setFocus();
        r.Key(Qt::Key_Return);
        QVERIFY(w.SettingsPanel->isVisible());
        QCOMPARE(r.doc().EditIndex, 0);
        r.Key(Qt::Key_Escape);
        QVERIFY(!w.SettingsPanel->isVisible());
        r.ClickLine(w.ActivePluginsList, 1);
        w.ActivePluginsList->setFocus();
        r.Key(Qt::Key_F2);
        QVERIFY(w.SettingsPanel->isVisible());
        QCOMPARE(r.doc().EditIndex, 1);

        // Undo with the panel open closes it first.
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QVERIFY(!w.SettingsPanel->isVisible());
        QCOMPARE(r.Lines(), QStringList{"Calendar"});

        // F1 shows the About page.
        r.Key(Qt::Key_F1);
        QCOMPARE(w.PageControl1->currentWidget(), w.AboutPage);
    }

    void formatWindowsAndPresetsAreOneStepEach() {
        Rig r("formats");
        TMainForm& w = *r.w;
        r.Add("Calendar");
        QTest::mouseClick(w.AddPluginButton, Qt::LeftButton);
        r.Key(Qt::Key_Escape);
        r.ClickLine(w.ActivePluginsList, 0);
        w.ActivePluginsList->setFocus();
        r.Key(Qt::Key_Return);
        WithModal([&] { QTest::mouseClick(w.Options[0], Qt::LeftButton); },
                  [&](QWidget*) {
                      auto& s = w.SelOption();
                      s.FontSizeSpin->stepUp();
                      s.UnselFontWeightBox->setEditText("Heavy");
                      QTest::mouseClick(s.Button1, Qt::LeftButton);
                  });
        QTest::mouseClick(w.Button6, Qt::LeftButton);
        const model::TPluginItem own = r.doc().Plugins[0].Items[0];
        QCOMPARE(own.UnselWeight, std::string("Heavy"));
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Element Formats (Ctrl+Z)"));

        // Closing the default formats window rewrites every entry: one step.
        w.PageControl1->setCurrentWidget(w.OptionsPage);
        WithModal([&] { QTest::mouseClick(w.SpeedButton4, Qt::LeftButton); },
                  [](QWidget* m) { m->close(); });
        w.activateWindow(); // as the window manager does when the window closes
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(r.doc().Plugins[0].Items[0].UnselWeight, r.doc().DefaultUnselWeight);
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Default Formats (Ctrl+Z)"));
        r.Key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(r.doc().Plugins[0].Items[0] == own);

        // A preset wipes the entries' own formats and the scheme: one step.
        const model::Scheme before = r.doc().Scheme;
        w.ComboBox1->setEditText("Red");
        QVERIFY(r.doc().Scheme != before);
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Colour Preset (Ctrl+Z)"));
        // Ctrl+Z in the preset box undoes the choice, not the typing.
        w.ComboBox1->lineEdit()->setFocus();
        r.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(r.doc().Scheme, before);
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Element Formats (Ctrl+Z)"));
        QCOMPARE(w.ComboBox1->currentText(),
                 QString("Default")); // the name goes back, no preset chosen
        r.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.ComboBox1->currentText(), QString("Red"));
        r.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(r.doc().Scheme, before);
        QVERIFY(r.doc().Plugins[0].Items[0] == own);
        // Undone twice more: the element formats, then the entry.
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QCOMPARE(r.doc().Plugins[0].Items[0].UnselWeight, r.doc().DefaultUnselWeight);
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QCOMPARE(model::CountEntries(r.doc()), 0);
        QVERIFY(!w.isWindowModified());
        QVERIFY2(r.messages.isEmpty(), qPrintable(r.messages.join("\n")));
    }

    void titleModifiedMarkAndSaving() {
        Rig r("title");
        TMainForm& w = *r.w;
        QCOMPARE(w.windowTitle(), QString("Tessaro[*]"));
        QVERIFY(!w.isWindowModified());
        r.Add("Clock");
        QVERIFY(w.isWindowModified());
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QVERIFY(!w.isWindowModified()); // undone back to the start
        QTest::mouseClick(w.RedoButton, Qt::LeftButton);

        // Ctrl+S without a project asks for the path; Ctrl+S again does not.
        const std::string out = r.appDir + "out/";
        fs::create_directories(out);
        r.answers.push_back(QString::fromStdString(out + "Blue.trpf"));
        r.Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(r.dialogs, 1);
        QVERIFY2(r.messages.isEmpty(), qPrintable(r.messages.join("\n")));
        QVERIFY(fs::exists(out + "Blue/Blue.trpf"));
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Blue \u2014 Tessaro[*]"));
        QVERIFY(!w.isWindowModified());
        QVERIFY(w.SavedLabel->isVisible());
        QVERIFY(w.SavedLabel->toolTip().endsWith("Blue/Blue.trpf"));

        r.Add("Calendar");
        QVERIFY(w.isWindowModified());
        r.Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(r.dialogs, 1); // saved again to the same path
        QVERIFY(!w.isWindowModified());
        QVERIFY(Slurp(out + "Blue/Blue.trpf").find("Calendar") != std::string::npos);

        // Ctrl+Shift+S always asks; the dialogs remember their folder.
        r.answers.push_back(QString::fromStdString(out + "Green.trpf"));
        r.Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(r.dialogs, 2);
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Green \u2014 Tessaro[*]"));
        QSettings settings(QString::fromStdString(r.appDir + "settings.ini"), QSettings::IniFormat);
        QCOMPARE(QDir(settings.value("folders/save").toString()),
                 QDir(QString::fromStdString(out)));
        w.close();
        QCOMPARE(r.asked, 0); // nothing to lose: no question
        // A new window starts its save dialog in that folder.
        r.Make();
        QCOMPARE(QDir(r.w->SaveDialog1().directory()), QDir(QString::fromStdString(out)));
    }

    void closingAndOpeningAskBeforeLosingWork() {
        Rig r("close");
        TMainForm& w = *r.w;
        r.Add("Clock");
        const std::string out = r.appDir + "out/";
        fs::create_directories(out);
        r.answers.push_back(QString::fromStdString(out + "Keep.trpf"));
        QTest::mouseClick(w.Button4, Qt::LeftButton);
        r.Add("Profile");

        // Cancel: the window stays, the design as it was.
        r.saveAnswers.push_back(QMessageBox::Cancel);
        QVERIFY(!w.close());
        QCOMPARE(r.asked, 1);
        QVERIFY(w.isVisible());

        // Opening: Cancel keeps the design; Discard opens the project.
        r.answers.push_back(QString::fromStdString(out + "Keep/Keep.trpf"));
        r.saveAnswers.push_back(QMessageBox::Cancel);
        r.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(r.asked, 2);
        QCOMPARE(r.Lines(), (QStringList{"Clock", "Profile"}));
        r.answers.push_back(QString::fromStdString(out + "Keep/Keep.trpf"));
        r.saveAnswers.push_back(QMessageBox::Discard);
        r.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(r.Lines(), QStringList{"Clock"});
        QVERIFY(!w.isWindowModified());
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Open Project (Ctrl+Z)"));
        // Undoing the opening gives back the design there was.
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QCOMPARE(r.Lines(), (QStringList{"Clock", "Profile"}));
        QVERIFY(w.isWindowModified());

        // Save on close writes the project's path, then the window closes.
        r.saveAnswers.push_back(QMessageBox::Save);
        QVERIFY(w.close());
        QVERIFY(Slurp(out + "Keep/Keep.trpf").find("Profile") != std::string::npos);
    }

    void picturesComeBackOnUndo() {
        Rig r("pictures");
        TMainForm& w = *r.w;
        const std::string bg = r.appDir + "photo.jpg";
        platform::WriteJpeg(bg, platform::Bitmap(176, 200, 0xFF0000), 95); // blue
        w.Editor().Apply("Background Picture",
                         [](model::Document& d) { d.BGI = d.BackgroundImage = "photo.jpg"; });
        const std::string out = r.appDir + "out/";
        fs::create_directories(out);
        r.answers.push_back(QString::fromStdString(out + "Sea.trpf"));
        r.Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        const std::string blue = Slurp(bg);

        // A new picture under the same name, then the project opened again
        // over it: both come back on undo.
        w.Editor().Apply("Background Picture", [&](model::Document&) {
            platform::WriteJpeg(bg, platform::Bitmap(176, 200, 0x0000FF), 95); // red
        });
        const std::string red = Slurp(bg);
        QVERIFY(qRed(ScreenPixel(w, 50, 50)) > 200);
        r.answers.push_back(QString::fromStdString(out + "Sea/Sea.trpf"));
        r.saveAnswers.push_back(QMessageBox::Discard);
        r.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Slurp(bg), blue);
        QVERIFY(qBlue(ScreenPixel(w, 50, 50)) > 200);

        r.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Slurp(bg), red);
        QVERIFY(qRed(ScreenPixel(w, 50, 50)) > 200);
        r.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Slurp(bg), blue);
        r.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(r.doc().BackgroundImage, std::string("WindowsMobile.JPG"));
        QCOMPARE(w.BGI->text(), QString("WindowsMobile.JPG"));
        r.Key(Qt::Key_Y, Qt::ControlModifier);
        r.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Slurp(bg), red);
        QVERIFY(qRed(ScreenPixel(w, 50, 50)) > 200);
        QVERIFY2(r.messages.isEmpty(), qPrintable(r.messages.join("\n")));
    }
};

QTEST_MAIN(EditingTest)
#include "test_editing.moc"
