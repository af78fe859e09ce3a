// The "Check Layout" button and its findings window, and the question the
// cabinet buttons ask when the layout has errors.
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <deque>
#include <filesystem>

#include "model/catalogue.h"
#include "model/editing.h"
#include "package/project.h"
#include "ui/tcheckform.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"
#include "uitestutil.h"

using namespace tessaro;
using tessaro::ui::TMainForm;
namespace fs = std::filesystem;

namespace {

// The main window with its questions and file dialogs answered from queues.
struct Rig {
    std::string appDir;
    QStringList messages;
    QStringList questions;
    std::deque<bool> replies; // answers to the questions, in order
    int dialogs = 0;          // file dialogs shown
    std::deque<QString> files; // what they answer, in order; cancelled when empty
    std::unique_ptr<TMainForm> w;

    explicit Rig(const QString& tag) {
        appDir = uitest::MakeProgramFolder(tag);
        ui::MainFormHooks hooks;
        hooks.Message = [this](const QString& m) { messages << m; };
        hooks.Ask = [this](const QString& q) {
            questions << q;
            if (replies.empty()) return false;
            const bool yes = replies.front();
            replies.pop_front();
            return yes;
        };
        hooks.FileDialog = [this](QFileDialog&) -> std::optional<QString> {
            ++dialogs;
            if (files.empty()) return std::nullopt;
            const QString file = files.front();
            files.pop_front();
            return file;
        };
        hooks.NoStyleWindows = true;
        w = std::make_unique<TMainForm>(appDir, hooks);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    ~Rig() {
        w.reset();
        uitest::RemoveFolder(appDir);
    }
    model::Document& doc() { return w->Doc(); }

    // A Profile, a Calendar and a Clock entry, their texts inside the screen.
    void Fill() {
        for (const char* kind : {"Profile", "Calendar", "Clock"})
            model::AddEntry(doc(), model::KindIndex(kind));
        w->DrawPlugins();
    }
    void Check() {
        w->PageControl1->setCurrentWidget(w->OpenSavePage);
        QTest::mouseClick(w->CheckButton, Qt::LeftButton);
    }
    QListWidget* Findings() { return w->CheckForm()->FindingsList; }
};

} // namespace

class CheckFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::UseDesignerFont(); }

    void theButtonSitsOnTheOpenSavePage() {
        Rig r("check_place");
        QCOMPARE(r.w->CheckButton->parentWidget(), r.w->OpenSavePage);
        QCOMPARE(r.w->CheckButton->text(), QString("Check Layout"));
        // Clear of the other buttons of the page.
        for (QPushButton* b : r.w->OpenSavePage->findChildren<QPushButton*>())
            if (b != r.w->CheckButton) QVERIFY(!b->geometry().intersects(r.w->CheckButton->geometry()));
        QVERIFY(r.w->OpenSavePage->rect().contains(r.w->CheckButton->geometry()));
    }

    void aCleanLayoutSaysSoAndOpensNothing() {
        Rig r("check_clean");
        r.Fill();
        r.Check();
        QVERIFY(r.messages.isEmpty());
        QVERIFY(r.w->CheckForm() && r.w->CheckForm()->isVisible());
        QCOMPARE(r.Findings()->count(), 1);
        QVERIFY(r.Findings()->item(0)->text().startsWith("No problems found"));
        QCOMPARE(r.w->CheckForm()->EntryOfLine(0), -1);
        const QPoint at = r.Findings()->visualItemRect(r.Findings()->item(0)).center();
        QTest::mouseDClick(r.Findings()->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(!r.w->SettingsPanel->isVisible());
        QCOMPARE(r.w->PageControl1->currentWidget(), r.w->OpenSavePage);
    }

    void doubleClickingAFindingOpensItsEntry() {
        Rig r("check_open");
        r.Fill();
        r.doc().Plugins[1].Items[0].Text = "A calendar label far too wide: "; // warning
        r.doc().Plugins[2].Items[1].X = -4;                                  // warning
        r.Check();
        QCOMPARE(r.Findings()->count(), 2);
        QCOMPARE(r.Findings()->item(0)->text().left(21), QString("Entry 1 (Calendar): t"));
        QCOMPARE(r.Findings()->item(1)->text().left(17), QString("Entry 2 (Clock): "));
        QCOMPARE(r.w->CheckForm()->EntryOfLine(1), 2);
        QVERIFY(!r.Findings()->item(0)->icon().isNull());

        const QPoint at = r.Findings()->visualItemRect(r.Findings()->item(0)).center();
        QTest::mouseClick(r.Findings()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(r.Findings()->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(!r.w->CheckForm()->isVisible());
        QCOMPARE(r.w->PageControl1->currentWidget(), r.w->HomePage);
        QVERIFY(r.w->SettingsPanel->isVisible());
        QCOMPARE(r.doc().EditIndex, 1);
        QCOMPARE(r.doc().CurrentKind, std::string("Calendar"));
        QCOMPARE(r.w->PText[0]->text(), QString("A calendar label far too wide: "));
        QVERIFY(r.messages.isEmpty());
    }

    void anOpenedProjectIsCheckedAsItsFileHoldsIt() {
        Rig r("check_opened");
        QTemporaryDir dir;
        model::Document d;
        package::StartDocument(d, r.appDir);
        for (int k = 0; k < 2; ++k)
            d.Plugins[std::size_t(model::AddEntry(d, model::KindIndex("Icon Bar")))].Items[0].X = 1;
        package::SaveProject(d, dir.path().toStdString() + "/Two.trpf");

        r.files.push_back(dir.path() + "/Two/Two.trpf");
        r.w->PageControl1->setCurrentWidget(r.w->OpenSavePage);
        QTest::mouseClick(r.w->Button5, Qt::LeftButton);
        QCOMPARE(model::CountEntries(r.doc()), 1); // the designer's rule took the second bar out
        r.Check();
        QCOMPARE(r.Findings()->count(), 1);
        QVERIFY2(r.Findings()->item(0)->text().startsWith("Entry 1 (Icon Bar): a second Advanced"),
                 qPrintable(r.Findings()->item(0)->text()));

        // Once the design changes, the check looks at it as it is.
        QTest::mouseClick(r.w->UndoButton, Qt::LeftButton);
        QTest::mouseClick(r.w->RedoButton, Qt::LeftButton);
        QCOMPARE(model::CountEntries(r.doc()), 1);
        r.Check();
        QVERIFY(r.Findings()->item(0)->text().startsWith("No problems found"));
    }

    void theCabinetButtonsAskFirstWhenThereAreErrors() {
        Rig r("check_ask");
        r.Fill();
        // Warnings alone: no question, straight to the save dialog.
        r.doc().Plugins[1].Items[0].Text = "A calendar label far too wide: ";
        QTest::mouseClick(r.w->Button1, Qt::LeftButton);
        QVERIFY(r.questions.isEmpty());
        QCOMPARE(r.dialogs, 1);

        // One error: asked; "No" stops before the save dialog.
        r.doc().Plugins[0].BgImage = "gone.jpg";
        r.replies = {false};
        QTest::mouseClick(r.w->Button1, Qt::LeftButton);
        QCOMPARE(r.questions, QStringList{"The layout has 1 error. Build the cabinet anyway?"});
        QCOMPARE(r.dialogs, 1);

        // "Yes" goes on to the dialog.
        r.replies = {true};
        QTest::mouseClick(r.w->Button1, Qt::LeftButton);
        QCOMPARE(r.questions.size(), 2);
        QCOMPARE(r.dialogs, 2);

        // Two errors; "Load Theme to SamrtPhone" asks the same, and "No"
        // builds and sends nothing.
        r.doc().Plugins[1].Top = 10; // overlaps the Profile entry above
        r.replies = {false};
        QTest::mouseClick(r.w->Button7, Qt::LeftButton);
        QCOMPARE(r.questions.last(), QString("The layout has 2 errors. Build the cabinet anyway?"));
        QVERIFY(!fs::exists(r.appDir + "Theme.cab"));
        QVERIFY(!fs::exists(r.appDir + "temp"));
        QVERIFY(r.messages.isEmpty());
    }
};

QTEST_MAIN(CheckFormTest)
#include "test_checkform.moc"
