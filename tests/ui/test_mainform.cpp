// Drives the main window as a user would: the entry editor and its settings
// panel, the state format window, presets and scheme files, projects and the
// home layout export. Every step checks the document and the files.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <fstream>

#include "support/test_util.h"
#include "formats/scheme.h"
#include "model/catalogue.h"
#include "platform/files.h"
#include "ui/tanalogclockform.h"
#include "ui/ticonbarform.h"
#include "ui/tmainform.h"
#include "ui/tseloption.h"
#include "ui/widgets.h"
#include "uitestutil.h"

using namespace tessaro;
using tessaro::ui::TMainForm;
namespace fs = std::filesystem;

namespace {

using tessaro::testsupport::Slurp;

// The window with every dialog answered from queues.
struct Rig {
    std::string appDir;
    QStringList messages;
    std::deque<std::optional<QString>> answers; // file dialog answers, in order
    QStringList filters;                        // the filter each dialog showed
    QStringList suffixes;                       // its default suffix
    QStringList names;                          // the file name it held when shown
    std::deque<QColor> colours;
    std::unique_ptr<TMainForm> w;

    explicit Rig(const QString& tag, const std::function<void(const std::string&)>& prepare = {},
                 bool styleWindows = false) {
        appDir = uitest::MakeProgramFolder(tag);
        if (prepare) prepare(appDir);
        ui::MainFormHooks hooks;
        hooks.Message = [this](const QString& m) { messages << m; };
        hooks.FileDialog = [this](QFileDialog& d) -> std::optional<QString> {
            filters << d.nameFilters().join(";;");
            suffixes << d.defaultSuffix();
            names << (d.selectedFiles().isEmpty() ? QString()
                                                  : QFileInfo(d.selectedFiles().front()).fileName());
            if (answers.empty()) return std::nullopt;
            auto a = answers.front();
            answers.pop_front();
            return a;
        };
        hooks.PickColor = [this](const QColor&) -> std::optional<QColor> {
            if (colours.empty()) return std::nullopt;
            QColor c = colours.front();
            colours.pop_front();
            return c;
        };
        hooks.NoStyleWindows = !styleWindows;
        hooks.AskSave = [] { return int(QMessageBox::Discard); };
        hooks.SettingsFile = QString::fromStdString(appDir + "settings.ini");
        QVERIFY(uitest::ShowOnHomePage(w, appDir, hooks));
    }
    ~Rig() {
        w.reset();
        uitest::RemoveFolder(appDir);
    }
    model::Document& doc() { return w->Doc(); }

    void ClickLine(QListWidget* list, int row) { uitest::ClickLine(list, row); }
    void DoubleClickLine(QListWidget* list, int row) {
        QListWidgetItem* item = list->item(row);
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    void Add(const char* kind) {
        QTest::mouseClick(w->AddPluginButton, Qt::LeftButton);
        ClickLine(w->PluginsList, model::KindIndex(kind));
    }
    void Ok() { QTest::mouseClick(w->Button6, Qt::LeftButton); }
    // Types `text` key by key (any characters, Cyrillic included).
    static void Type(QWidget* target, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }
    }
    // Replaces the text of a field by typing, then presses Enter.
    void TypeEnter(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        Type(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

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

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::UseDesignerFont(); }

    void startsOnAboutWithTheDefaultScheme() {
        Rig r("start");
        QVERIFY(r.messages.isEmpty());
        TMainForm& w = *r.w;
        QCOMPARE(w.windowTitle(), QString("Tessaro[*]"));
        QVERIFY(!w.isWindowModified());
        QCOMPARE(w.minimumSize(), QSize(215, 539));
        QCOMPARE(w.maximumSize(), QSize(215, 539));
        QStringList tabs;
        for (int i = 0; i < w.PageControl1->count(); ++i) tabs << w.PageControl1->tabText(i);
        QCOMPARE(tabs, (QStringList{"Home Screen", "Options", "Open/Save", "About"}));
        Rig fresh("start2");
        QCOMPARE(fresh.w->PageControl1->currentWidget(), fresh.w->HomePage); // the rig switched
        QVERIFY(w.Memo1->toPlainText().contains("Tessaro"));
        QVERIFY(!w.Image3->pixmap().isNull());
        const model::Scheme def = formats::ReadColorScheme(r.appDir + "Default");
        QCOMPARE(r.doc().Scheme, def);
        QCOMPARE(r.doc().DefaultBgColor, def[30]);
        QCOMPARE(r.doc().DefaultUnselColor, def[31]);
        QCOMPARE(w.ComboBox1->currentText(), QString("Default"));
        QCOMPARE(w.BGI->text(), QString("WindowsMobile.JPG"));
        QVERIFY(!w.ScrollBar1->isEnabled());
        QVERIFY(!w.BGImage->Image().isNull());
    }

    void missingInfoFileIsReportedAndTheEditorStillWorks() {
        Rig r("noinfo", [](const std::string& dir) { fs::remove(dir + "info.txt"); });
        QCOMPARE(r.messages.size(), 1);
        QVERIFY(r.messages[0].contains("info.txt"));
        QVERIFY(r.w->Memo1->toPlainText().isEmpty());
        QVERIFY(r.w->Image3->pixmap().isNull());
        r.Add("Profile");
        QCOMPARE(model::CountEntries(r.doc()), 1);
        QCOMPARE(r.doc().Plugins[0].Items[0].UnselColor, r.doc().Scheme[31]);

        // A reader's error that does not name its file still names it here,
        // and the later steps are skipped.
        Rig bad("badscheme", [](const std::string& dir) {
            std::ofstream(dir + "Default", std::ios::binary)
                << "<scheme>\r\n<color name=\"COLOR_WINDOW\" value=\"#GG0000\" />\r\n</scheme>\r\n";
        });
        QCOMPARE(bad.messages.size(), 1);
        QVERIFY2(bad.messages[0].contains("Default"), qPrintable(bad.messages[0]));
        QVERIFY(bad.w->Memo1->toPlainText().isEmpty());
    }

    void addingAndEditingEntriesWithinBounds() {
        Rig r("edit");
        TMainForm& w = *r.w;
        QTest::mouseClick(w.AddPluginButton, Qt::LeftButton);
        QVERIFY(w.PluginsList->isVisible());
        QVERIFY(!w.ActivePluginsList->isVisible());
        r.ClickLine(w.PluginsList, model::KindIndex("Calendar"));
        QVERIFY(w.SettingsPanel->isVisible());
        QCOMPARE(w.Param[0]->text(), QString("Subject"));
        QCOMPARE(w.PTextCaption[2]->text(), QString("Text Before"));
        QVERIFY(!w.Param[0]->isEnabled());
        QCOMPARE(r.doc().Plugins[0].Name, std::string("Calendar"));

        // Characters other than digits and signs are refused by number fields.
        w.P[0]->Edit()->setFocus();
        w.P[0]->Edit()->selectAll();
        Rig::Type(w.P[0]->Edit(), "1x2");
        QCOMPARE(w.P[0]->text(), QString("12"));
        QTest::keyClick(w.P[0]->Edit(), Qt::Key_Return);
        QCOMPARE(r.doc().Plugins[0].Items[0].X, 12);
        // An element position that is only "-" stores 0; leaving commits.
        w.P[3]->Edit()->setFocus();
        w.P[3]->Edit()->selectAll();
        Rig::Type(w.P[3]->Edit(), "-");
        w.PText[0]->setFocus();
        QCOMPARE(r.doc().Plugins[0].Items[1].Y, 0);
        r.Ok();
        QVERIFY(!w.SettingsPanel->isVisible());
        QVERIFY(w.ActivePluginsList->isVisible());

        r.Add("Clock");
        QCOMPARE(r.doc().Plugins[1].Top, 40);
        QVERIFY(w.Param[0]->isEnabled()); // only a Clock's time may be switched off
        QVERIFY(!w.PText[0]->isVisible());
        QTest::mouseClick(w.Param[0], Qt::LeftButton, {}, QPoint(w.Param[0]->width() - 8, 8));
        QCOMPARE(int(r.doc().Plugins[1].Items[0].Visible), 0);
        // Too tall for the last entry at top 40: the largest height that fits.
        r.TypeEnter(w.PHeight->Edit(), "9999");
        QCOMPARE(r.doc().Plugins[1].Height, 6000 - 40);
        QCOMPARE(w.PHeight->text(), QString("5960"));
        QVERIFY(w.ScrollBar1->isEnabled());
        QCOMPARE(w.ScrollBar1->maximum(), 6000 - 200);
        w.ScrollBar1->setValue(100);
        QCOMPARE(w.Image1->y(), -100);
        r.TypeEnter(w.PHeight->Edit(), "20");
        r.Ok();

        // Stepping stays within the bounds from the neighbours.
        r.Add("Profile");
        r.Ok();
        r.DoubleClickLine(w.ActivePluginsList, 1);
        QVERIFY(w.SettingsPanel->isVisible());
        QCOMPARE(w.GXPos->text(), QString("40"));
        QTest::keyClick(w.GXPos->Edit(), Qt::Key_Down); // above the bottom of entry 0
        QCOMPARE(w.GXPos->text(), QString("40"));
        w.GXPos->Edit()->setFocus();
        QTest::keyClick(w.GXPos->Edit(), Qt::Key_Up);
        QCOMPARE(w.GXPos->text(), QString("40")); // entry 2 starts at 60: no room to move down
        QCOMPARE(r.doc().Plugins[1].Top, 40);
        r.Ok();

        // A full layout refuses another entry with a message.
        r.DoubleClickLine(w.ActivePluginsList, 2);
        r.TypeEnter(w.PHeight->Edit(), "6000");
        r.Ok();
        QCOMPARE(r.doc().Plugins[2].Height, 6000 - 60);
        r.messages.clear();
        r.Add("MRU");
        QCOMPARE(r.messages.size(), 1);
        QCOMPARE(model::CountEntries(r.doc()), 3);
        QCOMPARE(w.ActivePluginsList->count(), 3);
        QVERIFY(w.ActivePluginsList->isVisible());
        QVERIFY(!w.PluginsList->isVisible());
    }

    void cyrillicLabelsReachTheDocumentAsWindows1251() {
        Rig r("cyr");
        r.Add("Profile");
        const QString label = QString::fromUtf8("Профиль: ");
        r.TypeEnter(r.w->PText[0], label);
        QCOMPARE(r.doc().Plugins[0].Items[0].Text, std::string("\xCF\xF0\xEE\xF4\xE8\xEB\xFC: "));
        r.Ok();
        r.DoubleClickLine(r.w->ActivePluginsList, 0);
        QCOMPARE(r.w->PText[0]->text(), label);
    }

    void movingAndRemovingKeepListAndDocumentTogether() {
        Rig r("move");
        TMainForm& w = *r.w;
        for (const char* k : {"Clock", "Calendar", "Profile"}) {
            r.Add(k);
            r.Ok();
        }
        r.ClickLine(w.ActivePluginsList, 2);
        QTest::mouseClick(w.UpPluginButton, Qt::LeftButton);
        QCOMPARE(w.ActivePluginsList->item(1)->text(), QString("Profile"));
        QCOMPARE(w.ActivePluginsList->currentRow(), 1);
        QCOMPARE(r.doc().Plugins[1].Top, 20);
        QCOMPARE(r.doc().Plugins[2].Top, 40);
        QTest::mouseClick(w.DownPluginButton, Qt::LeftButton);
        QCOMPARE(r.doc().Plugins[2].Name, std::string("Profile"));
        QCOMPARE(r.doc().Plugins[2].Top, 60);
        r.ClickLine(w.ActivePluginsList, 0);
        QTest::mouseClick(w.RemovePluginButton, Qt::LeftButton);
        QCOMPARE(w.ActivePluginsList->count(), 2);
        QCOMPARE(r.doc().Plugins[0].Name, std::string("Calendar"));
        QCOMPARE(r.doc().Plugins[0].Top, 20); // the band stays as a gap
        QCOMPARE(w.ActivePluginsList->currentRow(), 1);
    }

    void elementAndDefaultStateFormats() {
        Rig r("formats");
        TMainForm& w = *r.w;
        r.Add("Calendar");
        r.colours.push_back(QColor(0x10, 0x20, 0x30));
        // A height typed but not yet committed is stored when the button is
        // clicked, before its window opens.
        w.PHeight->Edit()->setFocus();
        w.PHeight->Edit()->selectAll();
        Rig::Type(w.PHeight->Edit(), "60");
        WithModal([&] { QTest::mouseClick(w.Options[0], Qt::LeftButton); },
                  [&](QWidget* m) {
                      auto& s = w.SelOption();
                      QCOMPARE(m, static_cast<QWidget*>(&s));
                      QCOMPARE(s.CaptionLabel->text(), QString("Calendar Subject"));
                      QVERIFY(!s.Shape2->isVisible());
                      QVERIFY(!s.CheckBox2->isVisible());
                      s.FontSizeSpin->stepUp();
                      s.UnselFontWeightBox->setEditText("Heavy");
                      QTest::mouseClick(s.Shape3, Qt::LeftButton);
                      QTest::mouseClick(s.Button1, Qt::LeftButton);
                  });
        QCOMPARE(r.doc().Plugins[0].Height, 60);
        const auto& it = r.doc().Plugins[0].Items[0];
        QCOMPARE(it.FontSize, r.doc().DefaultFontSize + 1);
        QCOMPARE(it.UnselWeight, std::string("Heavy"));
        QCOMPARE(it.UnselColor, model::Color(0x302010));
        QCOMPARE(r.doc().Plugins[0].Items[1].UnselWeight, r.doc().DefaultUnselWeight);
        r.Ok();

        // Default mode: closing with the close box applies the defaults anyway.
        w.PageControl1->setCurrentWidget(w.OptionsPage);
        WithModal([&] { QTest::mouseClick(w.SpeedButton4, Qt::LeftButton); },
                  [&](QWidget* m) {
                      auto& s = w.SelOption();
                      QCOMPARE(s.CaptionLabel->text(), QString("Default Settings"));
                      QVERIFY(s.Shape2->isVisible());
                      m->close();
                  });
        QCOMPARE(it.FontSize, r.doc().DefaultFontSize);
        QCOMPARE(it.UnselWeight, r.doc().DefaultUnselWeight);
        QCOMPARE(it.UnselColor, r.doc().DefaultUnselColor);
    }

    void presetsAndSchemeFiles() {
        Rig r("schemes");
        TMainForm& w = *r.w;
        r.Add("Profile");
        r.doc().Plugins[0].Items[0].FontSize = 40;
        w.PageControl1->setCurrentWidget(w.OptionsPage);
        const model::Color selBefore = r.doc().DefaultSelColor;

        w.ComboBox1->setCurrentText("Black");
        QVERIFY2(r.messages.isEmpty(), qPrintable(r.messages.join("\n")));
        const model::Scheme black = formats::ReadColorScheme(r.appDir + "Black");
        QCOMPARE(r.doc().Scheme, black);
        QCOMPARE(r.doc().DefaultBgColor, black[30]);
        QCOMPARE(r.doc().DefaultSelColor, selBefore);
        QCOMPARE(r.doc().Plugins[0].Items[0].FontSize, r.doc().DefaultFontSize);
        QCOMPARE(r.doc().Plugins[0].BgColor, black[30]);

        // Typing letter by letter: partial names fail and change nothing.
        w.ComboBox1->setFocus();
        w.ComboBox1->lineEdit()->selectAll();
        r.messages.clear();
        QTest::keyClicks(w.ComboBox1->lineEdit(), "Min");
        QCOMPARE(r.messages.size(), 3);
        QCOMPARE(r.doc().Scheme, black);
        QTest::keyClicks(w.ComboBox1->lineEdit(), "t");
        QCOMPARE(r.doc().Scheme, formats::ReadColorScheme(r.appDir + "Mint"));

        // A scheme file from elsewhere: copied in, three defaults, entries kept.
        const std::string other = r.appDir + "elsewhere/";
        fs::create_directories(other);
        std::ofstream(other + "Sea.xml", std::ios::binary)
            << "<scheme>\r\n<color name=\"COLOR_HOMEHIGHLIGHTTEXT\" value=\"#112233\" />\r\n"
               "<color name=\"COLOR_HOMETEXT\" value=\"#445566\" />\r\n</scheme>\r\n";
        const auto entries = r.doc().Plugins;
        r.answers.push_back(QString::fromStdString(other + "Sea.xml"));
        QTest::mouseClick(w.SpeedButton3, Qt::LeftButton);
        QCOMPARE(r.filters.back(), QString("XML Files (*.xml)"));
        QCOMPARE(w.ComboBox1->currentText(), QString("Sea.xml"));
        QVERIFY(fs::exists(r.appDir + "Sea.xml"));
        QCOMPARE(r.doc().DefaultSelColor, model::Color(0x332211));
        QCOMPARE(r.doc().DefaultUnselColor, model::Color(0x665544));
        QCOMPARE(r.doc().DefaultBgColor, model::Color(0));
        QVERIFY(r.doc().Plugins == entries);

        QTest::mouseClick(w.SplitChoice[1], Qt::LeftButton, {}, QPoint(6, 8));
        QCOMPARE(r.doc().SplitLines, 1);
    }

    void schemeFileThatCannotBeTakenLeavesTheList() {
        Rig r("badschemefile");
        TMainForm& w = *r.w;
        w.PageControl1->setCurrentWidget(w.OptionsPage);
        w.ComboBox1->setCurrentText("Green");
        const model::Scheme green = r.doc().Scheme;
        const std::string other = r.appDir + "elsewhere/";
        fs::create_directories(other);
        // Not a scheme at all, and one that would replace a preset.
        std::ofstream(other + "Broken.xml", std::ios::binary)
            << "<scheme>\r\n<color name=\"COLOR_WINDOW\" value=\"#GG0000\" />\r\n</scheme>\r\n";
        std::ofstream(other + "Default", std::ios::binary)
            << "<scheme>\r\n<color name=\"COLOR_WINDOW\" value=\"#123456\" />\r\n</scheme>\r\n";
        const std::string preset = platform::ReadFile(r.appDir + "Default");
        for (const char* name : {"Broken.xml", "Default"}) {
            r.messages.clear();
            r.answers.push_back(QString::fromStdString(other + name));
            QTest::mouseClick(w.SpeedButton3, Qt::LeftButton);
            QCOMPARE(r.messages.size(), 1);
            QCOMPARE(w.ComboBox1->currentText(), QString("Green"));
            QVERIFY(r.doc().Scheme == green);
        }
        QVERIFY(!fs::exists(r.appDir + "Broken.xml"));
        QCOMPARE(platform::ReadFile(r.appDir + "Default"), preset);
    }

    void savingAndReopeningAProjectAndTheHomeLayout() {
        Rig r("project");
        TMainForm& w = *r.w;
        r.Add("Calendar");
        r.TypeEnter(w.PText[1], "At ");
        r.Ok();
        r.Add("Icon Bar");
        r.Ok();
        const auto saved = r.doc().Plugins;
        w.PageControl1->setCurrentWidget(w.OpenSavePage);

        const std::string out = r.appDir + "out/";
        fs::create_directories(out);
        r.answers.push_back(QString::fromStdString(out + "Blue.trpf"));
        QTest::mouseClick(w.Button4, Qt::LeftButton);
        QCOMPARE(r.filters.back(), QString("Project Files (*.trpf)"));
        QCOMPARE(r.names.back(), QString("MyTheme.trpf"));
        QCOMPARE(r.suffixes.back(), QString("trpf"));
        QVERIFY(r.messages.isEmpty());
        const std::string project = out + "Blue/Blue.trpf";
        QVERIFY(fs::exists(project));
        QVERIFY(fs::exists(out + "Blue/user.scheme.xml"));

        // The home layout: the file name stays as last used, a bare name
        // gets the default extension.
        r.answers.push_back(QString::fromStdString(out + "layout"));
        QTest::mouseClick(w.Button3, Qt::LeftButton);
        QCOMPARE(r.filters.back(), QString("Home layouts (*.home.xml)"));
        QCOMPARE(r.names.back(), QString("Blue.trpf"));
        const std::string xml = Slurp(out + "layout.home.xml");
        QVERIFY(xml.rfind("\xEF\xBB\xBF", 0) == 0);
        QVERIFY(xml.find("At ") != std::string::npos);
        QCOMPARE(QFileInfo(QString::fromStdString(w.SaveDialogFileName())).fileName(),
                 QString("layout.home.xml"));

        // A cabinet save presets its name; cancelled, the dialog keeps that
        // name, and "Load Theme to SamrtPhone" titles the layout by it.
        QTest::mouseClick(w.Button1, Qt::LeftButton); // no answer queued: cancelled
        QCOMPARE(r.names.back(), QString("MyTheme.cab"));
        QCOMPARE(w.SaveDialogFileName(), std::string("MyTheme.cab"));

        // Cancel does nothing; then the project comes back as saved.
        QTest::mouseClick(w.Button5, Qt::LeftButton); // no answer queued: cancelled
        r.ClickLine(w.ActivePluginsList, 0);
        QTest::mouseClick(w.RemovePluginButton, Qt::LeftButton);
        QCOMPARE(model::CountEntries(r.doc()), 1);
        r.answers.push_back(QString::fromStdString(project));
        QTest::mouseClick(w.Button5, Qt::LeftButton);
        QCOMPARE(r.filters.back(), QString("Project Files (*.trpf)"));
        QVERIFY2(r.messages.isEmpty(), qPrintable(r.messages.join("\n")));
        QCOMPARE(model::CountEntries(r.doc()), 2);
        QCOMPARE(r.doc().Plugins[0].Items[1].Text, std::string("At "));
        QCOMPARE(r.doc().Plugins[1].Name, saved[1].Name);
        QCOMPARE(w.ActivePluginsList->count(), 2);
        QCOMPARE(w.ComboBox1->currentText(), QString("user.scheme.xml"));
        QVERIFY(!w.SettingsPanel->isVisible());

        // A damaged project is refused with its own message.
        std::ofstream(out + "bad.trpf", std::ios::binary) << "WindowsMobile.JPG\r\nzero\r\n";
        r.answers.push_back(QString::fromStdString(out + "bad.trpf"));
        QTest::mouseClick(w.Button5, Qt::LeftButton);
        QCOMPARE(r.messages.size(), 1);
        QVERIFY(r.messages[0].contains("zero"));
    }

    void pluginInstallReportsWhatTheLoaderDid() {
        // The loader runs from the program folder; its outcome, failure
        // included, must reach the user.
        Rig r("install", [](const std::string& dir) {
            fs::copy_file(fs::path(TESSARO_PROGRAM_DIR) / "CabLoader", fs::path(dir) / "CabLoader");
        });
        TMainForm& w = *r.w;
        r.Add("WMPlayer");
        QVERIFY(w.Button9->isVisible());
        std::ofstream(r.appDir + "notafolder") << "x";
        ::setenv("TESSARO_DEVICE", (r.appDir + "notafolder/device").c_str(), 1);
        QTest::mouseClick(w.Button9, Qt::LeftButton);
        QCOMPARE(r.messages.size(), 1);
        QVERIFY2(r.messages[0].contains("failed"), qPrintable(r.messages[0]));

        ::setenv("TESSARO_DEVICE", (r.appDir + "device").c_str(), 1);
        QTest::mouseClick(w.Button9, Qt::LeftButton);
        ::unsetenv("TESSARO_DEVICE");
        QCOMPARE(r.messages.size(), 2);
        QVERIFY2(r.messages[1].contains("Installed"), qPrintable(r.messages[1]));
        QVERIFY(fs::exists(r.appDir + "device/registry.txt"));
    }

    void importThemeReplacesTheDesignAndReportsWhatItLeftOut() {
        Rig r("import");
        TMainForm& w = *r.w;
        r.Add("Calendar");
        r.Ok();
        w.PageControl1->setCurrentWidget(w.OpenSavePage);
        const std::string out = r.appDir + "themes/";
        fs::create_directories(out);
        fs::copy_file(r.appDir + "WindowsMobile.JPG", out + "WindowsMobile.JPG");
        std::ofstream(out + "Blue.home.xml", std::ios::binary)
            << "<home><default font-face=\"tahoma\"/><background bgimage=\"WindowsMobile.JPG\"/>"
               "<plugin file=\"sysplug.dll\" name=\"Profile\" clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" "
               "height=\"20\"><label x=\"5\" y=\"2\"><text>\xD0\x9F\xD1\x80\xD0\xBE\xD1\x84\xD0\xB8\xD0\xBB\xD1\x8C: "
               "<profile /></text></label></plugin>"
               "<plugin name=\"Weather\" clsid=\"{AAAAAAAA-0000-1111-2222-333333333333}\" height=\"30\"><cfg/></plugin>"
               "</home>";
        std::ofstream(out + "bad.home.xml", std::ios::binary) << "<home><plugin";

        QTest::mouseClick(w.Button10, Qt::LeftButton); // no answer queued: cancelled
        QCOMPARE(r.filters.back(), QString("Themes (*.home.xml *.cab)"));
        QCOMPARE(model::CountEntries(r.doc()), 1);

        r.answers.push_back(QString::fromStdString(out + "bad.home.xml"));
        QTest::mouseClick(w.Button10, Qt::LeftButton);
        QCOMPARE(r.messages.size(), 1);
        QVERIFY2(r.messages[0].contains("cut short"), qPrintable(r.messages[0]));
        QCOMPARE(r.doc().Plugins[0].Name, std::string("Calendar"));

        r.answers.push_back(QString::fromStdString(out + "Blue.home.xml"));
        QTest::mouseClick(w.Button10, Qt::LeftButton);
        QCOMPARE(r.messages.size(), 2);
        QVERIFY2(r.messages[1].contains("font-face=\"tahoma\" is left out"), qPrintable(r.messages[1]));
        QCOMPARE(model::CountEntries(r.doc()), 2);
        QCOMPARE(r.doc().Plugins[0].Items[0].Text, std::string("\xCF\xF0\xEE\xF4\xE8\xEB\xFC: "));
        QCOMPARE(w.ActivePluginsList->count(), 2);
        QCOMPARE(w.ActivePluginsList->item(1)->text(), QString("Weather"));
        QCOMPARE(r.doc().BGI, std::string("WindowsMobile.JPG"));
        QVERIFY2(!w.isWindowModified(), "an imported design starts unmodified");

        // The import is one step: undo gives back the design before it.
        QCOMPARE(w.UndoButton->toolTip(), QString("Undo Import Theme (Ctrl+Z)"));
        QTest::mouseClick(w.UndoButton, Qt::LeftButton);
        QCOMPARE(model::CountEntries(r.doc()), 1);
        QCOMPARE(r.doc().Plugins[0].Name, std::string("Calendar"));
        QTest::mouseClick(w.RedoButton, Qt::LeftButton);
        QCOMPARE(model::CountEntries(r.doc()), 2);

        // The third-party plugin opens in the panel to be moved; its height
        // is its element's.
        w.PageControl1->setCurrentWidget(w.HomePage);
        r.DoubleClickLine(w.ActivePluginsList, 1);
        QVERIFY(w.SettingsPanel->isVisible());
        QVERIFY(!w.PHeight->isEnabled());
        QCOMPARE(r.messages.size(), 2);
    }

    // The state window and the style windows are built when first opened;
    // built late they still start from the design as it is then, keep what
    // they hold between openings and report back to the main window.
    void windowsBuiltOnFirstUse() {
        Rig r("late", {}, true);
        TMainForm& w = *r.w;
        QVERIFY(w.findChildren<QDialog*>().isEmpty());

        // A preset chosen before the state window exists: opened afterwards
        // it shows the defaults the preset left.
        w.PageControl1->setCurrentWidget(w.OptionsPage);
        w.ComboBox1->setCurrentText("Black");
        QVERIFY(r.messages.isEmpty());
        WithModal([&] { QTest::mouseClick(w.SpeedButton4, Qt::LeftButton); },
                  [&](QWidget* m) {
                      auto& s = w.SelOption();
                      QCOMPARE(m, static_cast<QWidget*>(&s));
                      QCOMPARE(s.parentWidget(), static_cast<QWidget*>(&w));
                      QCOMPARE(s.CaptionLabel->text(), QString("Default Settings"));
                      QCOMPARE(s.Shape2->Color(), ui::ToQColor(r.doc().DefaultBgColor));
                      QCOMPARE(s.Shape1->Color(), ui::ToQColor(r.doc().DefaultSelColor));
                      QCOMPARE(s.FontSizeSpin->value(), r.doc().DefaultFontSize);
                      m->close();
                  });

        // The clock window, built on its first opening, still hands the size
        // chosen to the settings panel's height field.
        w.PageControl1->setCurrentWidget(w.HomePage);
        r.Add("AnalogClock");
        QVERIFY(w.SettingsPanel->isVisible());
        ui::TAnalogClockForm* clock = nullptr;
        WithModal([&] { QTest::mouseClick(w.SpeedButton5, Qt::LeftButton); },
                  [&](QWidget* m) {
                      clock = qobject_cast<ui::TAnalogClockForm*>(m);
                      QVERIFY(clock);
                      QCOMPARE(clock->parentWidget(), static_cast<QWidget*>(&w));
                      clock->SpinEdit1->setValue(60);
                      QTest::mouseClick(clock->Button1, Qt::LeftButton);
                  });
        QVERIFY(r.messages.isEmpty());
        QCOMPARE(w.PHeight->text(), QString("60"));
        r.Ok();
        QCOMPARE(r.doc().Plugins[0].Height, 60);

        // The icon bar window: the style chosen on the first opening is what
        // the second opening shows, in the same window.
        r.Add("Icon Bar");
        ui::TIconBarForm* bar = nullptr;
        WithModal([&] { QTest::mouseClick(w.SpeedButton5, Qt::LeftButton); },
                  [&](QWidget* m) {
                      bar = qobject_cast<ui::TIconBarForm*>(m);
                      QVERIFY(bar);
                      QVERIFY(bar->StyleButtons[0]->isChecked());
                      QTest::mouseClick(bar->StyleButtons[1], Qt::LeftButton);
                      QTest::mouseClick(bar->Button1, Qt::LeftButton);
                  });
        QVERIFY(r.messages.isEmpty());
        WithModal([&] { QTest::mouseClick(w.SpeedButton5, Qt::LeftButton); },
                  [&](QWidget* m) {
                      QCOMPARE(m, static_cast<QWidget*>(bar));
                      QVERIFY(bar->StyleButtons[1]->isChecked());
                      QTest::mouseClick(bar->Button1, Qt::LeftButton);
                  });
        QCOMPARE(w.findChildren<ui::TIconBarForm*>().size(), 1);
        QCOMPARE(w.findChildren<ui::TAnalogClockForm*>().size(), 1);
    }

    void layoutSurfaceLeavesOnlyPureWhiteClear() {
        platform::Bitmap bmp(3, 2, 0xFFFFFF);
        bmp.SetPixel(1, 0, 0xFEFFFF); // nearly white stays
        bmp.SetPixel(2, 1, platform::Rgb(10, 20, 30));
        ui::SurfaceView layout(true), screen(false);
        layout.SetBitmap(bmp);
        screen.SetBitmap(bmp);
        const QImage& clear = layout.Image();
        QCOMPARE(clear.size(), QSize(3, 2));
        QCOMPARE(qAlpha(clear.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(clear.pixel(2, 0)), 0);
        QCOMPARE(clear.pixel(1, 0), qRgb(0xFF, 0xFF, 0xFE));
        QCOMPARE(clear.pixel(2, 1), qRgb(10, 20, 30));
        QCOMPARE(screen.Image().pixel(0, 0), qRgb(0xFF, 0xFF, 0xFF));
        QCOMPARE(screen.Image().pixel(2, 1), qRgb(10, 20, 30));
        layout.SetBitmap(platform::Bitmap());
        QVERIFY(layout.Image().isNull());

        // A tall surface drawn on a few rows; redrawn with less on it, what
        // the earlier drawing left is gone, and an image taken before keeps
        // its pixels.
        platform::Bitmap tall(4, 3000, 0xFFFFFF);
        tall.SetPixel(0, 5, platform::Rgb(1, 2, 3));
        tall.SetPixel(3, 2999, platform::Rgb(4, 5, 6));
        layout.SetBitmap(tall);
        const QImage before = layout.Image();
        QCOMPARE(before.size(), QSize(4, 3000));
        QCOMPARE(before.pixel(0, 5), qRgb(1, 2, 3));
        QCOMPARE(qAlpha(before.pixel(1, 5)), 0);
        QCOMPARE(before.pixel(3, 2999), qRgb(4, 5, 6));
        QCOMPARE(qAlpha(before.pixel(2, 1500)), 0);
        tall.SetPixel(3, 2999, 0xFFFFFF);
        tall.SetPixel(2, 1500, platform::Rgb(7, 8, 9));
        layout.SetBitmap(tall);
        QCOMPARE(qAlpha(layout.Image().pixel(3, 2999)), 0);
        QCOMPARE(layout.Image().pixel(2, 1500), qRgb(7, 8, 9));
        QCOMPARE(layout.Image().pixel(0, 5), qRgb(1, 2, 3));
        QCOMPARE(before.pixel(3, 2999), qRgb(4, 5, 6));
        QCOMPARE(qAlpha(before.pixel(2, 1500)), 0);
    }
};

QTEST_MAIN(MainFormTest)
#include "test_mainform.moc"
