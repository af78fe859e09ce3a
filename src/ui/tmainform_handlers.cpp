// The main window's event handlers: each runs one core operation as a named
// step; the window redraws and brings its widgets in step on the editor's
// notification.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolButton>

#include "model/error.h"
#include "package/cabinet.h"
#include "package/editor.h"
#include "package/project.h"
#include "package/schemes.h"
#include "platform/folderlock.h"
#include "preview/preview.h"
#include "ui/stylewidgets.h"
#include "ui/stylewindows.h"
#include "ui/tmainform.h"
#include "ui/tseloption.h"
#include "ui/widgets.h"

namespace tessaro::ui {

using model::Field;

namespace {

// Sets the filter the way the shared dialogs are used: everything else, the
// file name included, keeps its last value (the dialog would otherwise give
// the name the new filter's extension).
void SetFilter(QFileDialog& d, const std::string& filter) {
    const QStringList keep = d.selectedFiles();
    d.setNameFilter(QtFileFilter(filter));
    if (d.acceptMode() == QFileDialog::AcceptSave && !keep.isEmpty()) d.selectFile(keep.front());
}

// Restores the cursor however the work ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

std::optional<std::string> TMainForm::PickOpenFile(const std::string& filter) {
    SetFilter(OpenDialog1(), filter);
    const std::optional<QString> chosen = RunDialog(OpenDialog1());
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
}

void TMainForm::Connect() {
    // Home Screen page.
    connect(AddPluginButton, &QToolButton::clicked, this, [this] {
        model::OpenCatalogue(panel_);
        SyncPanel();
    });
    connect(PluginsList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int line = item ? PluginsList->row(item) : -1;
        Step("Add Entry", [&] { model::AddEntry(doc_, panel_, line); });
        SyncPanel();
    });
    connect(ActivePluginsList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) doc_.ActivePluginsList.Selected = row;
    });
    connect(ActivePluginsList, &QListWidget::itemDoubleClicked, this, [this] {
        if (!model::OpenEntryForEditing(doc_, panel_)) return;
        DrawPlugins();
        SyncPanel();
    });
    connect(UpPluginButton, &QToolButton::clicked, this,
            [this] { Step("Move Entry Up", [this] { model::MoveSelectedUp(doc_); }); });
    connect(DownPluginButton, &QToolButton::clicked, this,
            [this] { Step("Move Entry Down", [this] { model::MoveSelectedDown(doc_); }); });
    connect(RemovePluginButton, &QToolButton::clicked, this,
            [this] { Step("Remove Entry", [this] { model::RemoveSelected(doc_); }); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int v) {
        if (syncing_) return;
        preview_->ScrollBar1Change(v);
        Image1->move(8, -preview_->ScrollBar1.Position);
    });

    // Settings panel.
    auto number = [this](NumberField* w, Field f) {
        connect(w, &NumberField::edited, this, [this, f](const QString& t) { SetPanelText(f, t); });
        connect(w, &NumberField::stepped, this, [this, f](int d) { StepPanelField(f, d); });
        connect(w, &NumberField::committed, this, [this, f] { CommitPanelField(f); });
    };
    number(PHeight, Field::PHeight);
    number(GXPos, Field::GXPos);
    for (int k = 0; k < 6; ++k) number(P[k], Field(int(Field::P1X) + k));
    for (int s = 0; s < 3; ++s) {
        const Field f = Field(int(Field::PText1) + s);
        connect(PText[s], &QLineEdit::textEdited, this,
                [this, f](const QString& t) { SetPanelText(f, t); });
        connect(PText[s], &CommitEdit::committed, this, [this, f] { CommitPanelField(f); });
        connect(Param[s], &QCheckBox::clicked, this, [this, s](bool on) {
            Step(on ? "Show Element" : "Hide Element", [&] { model::SetElementVisible(doc_, panel_, s, on); });
        });
        connect(Options[s], &QToolButton::clicked, this, [this, s] { EditElementFormats(s); });
    }
    connect(Visnoivent, &QCheckBox::clicked, this,
            [this](bool on) { Step("No Event Visible", [&] { model::SetNoEvent(doc_, panel_, on); }); });
    for (int c = 0; c < 2; ++c)
        connect(Switch1Choice[c], &QRadioButton::clicked, this,
                [this, c] { Step("Icon Size", [&] { model::SetIconSize(doc_, panel_, c); }); });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] { OpenStyleWindow(); });
    connect(Button6, &QPushButton::clicked, this, [this] {
        model::ClosePanel(doc_, panel_);
        DrawPlugins();
        SyncPanel();
        SyncEntryList();
    });
    connect(Button8, &QPushButton::clicked, this, [this] { InstallClick("AnalogClock_Plugin.cab"); });
    connect(Button9, &QPushButton::clicked, this, [this] { InstallClick("WMP_Plugin.cab"); });

    // Options page.
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { ChooseBackgroundClick(); });
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString& t) {
        if (!syncing_) PresetChanged(t);
    });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { SchemeFileClick(); });
    for (int c = 0; c < 2; ++c)
        connect(SplitChoice[c], &QRadioButton::clicked, this,
                [this, c] { Step("Split Lines", [&] { doc_.SplitLines = c; }); });
    connect(SpeedButton4, &QPushButton::clicked, this, [this] { DefaultFormatsClick(); });

    // Open/Save page.
    connect(Button1, &QPushButton::clicked, this, [this] { SaveCabinetClick(); });
    connect(Button3, &QPushButton::clicked, this, [this] { SaveXmlClick(); });
    connect(Button7, &QPushButton::clicked, this, [this] { LoadThemeClick(); });
    connect(Button4, &QPushButton::clicked, this, [this] { SaveProjectClick(); });
    connect(Button5, &QPushButton::clicked, this, [this] { OpenProjectClick(); });
    connect(CheckButton, &QPushButton::clicked, this, [this] { CheckLayoutClick(); });
    connect(Button10, &QPushButton::clicked, this, [this] { ImportThemeClick(); });
}

// ------------------------------------------------------------ settings panel

void TMainForm::SetPanelText(Field f, const QString& text) {
    if (syncing_) return;
    model::SetFieldText(doc_, panel_, f, ToDoc(text));
    SyncPanel();
}

void TMainForm::StepPanelField(Field f, int delta) {
    if (syncing_) return;
    model::StepField(doc_, panel_, f, delta);
    SyncPanel();
}

void TMainForm::CommitPanelField(Field f) {
    // A commit redraws, and a redraw may show a message box; the focus that
    // box takes must not commit again.
    if (syncing_ || committing_ || !panel_.PanelVisible) return;
    const QScopedValueRollback<bool> committing(committing_, true);
    static const char* const names[] = {"Edit Height",      "Edit Top",         "Edit Slot 1 X",
                                        "Edit Slot 1 Y",    "Edit Slot 2 X",    "Edit Slot 2 Y",
                                        "Edit Slot 3 X",    "Edit Slot 3 Y",    "Edit Slot 1 Text",
                                        "Edit Slot 2 Text", "Edit Slot 3 Text"};
    Step(names[int(f)], [&] { model::CommitField(doc_, panel_, f); });
    SyncPanel();
}

void TMainForm::EditElementFormats(int slot) {
    Step("Element Formats", [&] {
        const std::string caption = model::BeginElementFormats(doc_, panel_, slot);
        SelOption().LoadElementFormats(caption);
        SelOption().exec();
        model::EndElementFormats(doc_, slot);
    });
}

void TMainForm::OpenStyleWindow() {
    const model::StyleWindow which = model::StyleWindowFor(doc_.CurrentKind);
    if (which != model::StyleWindow::None) {
        Step(which == model::StyleWindow::IconBar       ? "Icon Bar Style"
             : which == model::StyleWindow::AnalogClock ? "Clock Style"
                                                        : "Advanced Options",
             [&] {
            if (!styleWindows_) throw Error("The style windows are not available.");
            switch (which) {
            case model::StyleWindow::IconBar: styleWindows_->OpenIconBar(); break;
            case model::StyleWindow::AnalogClock: styleWindows_->OpenAnalogClock(); break;
            default: styleWindows_->OpenAdvancedOptions(); break;
            }
        });
    }
}

// ------------------------------------------------------------- options page

void TMainForm::ChooseBackgroundClick() {
    Step("Background Picture", [&] {
        if (!styleWindows_) throw Error("The background window is not available.");
        styleWindows_->ChooseBackground([this] { DrawPlugins(); });
    });
}

void TMainForm::PresetChanged(const QString& text) {
    if (Step("Colour Preset", [&] { package::ChoosePreset(doc_, SelOption().State(), ToDoc(text)); }))
        editor_->SetCurrentNote("scheme", text.toStdString());
}

void TMainForm::ShowSchemeName(const QString& name) {
    // Showing the name is no choice of a preset.
    const QScopedValueRollback<bool> syncing(syncing_, true);
    ComboBox1->setEditText(name);
}

void TMainForm::SchemeFileClick() {
    SetFilter(OpenDialog1(), "XML Files|*.xml");
    if (auto path = RunDialog(OpenDialog1())) {
        // The list shows the file's name only once it has been read.
        if (Step("Colour Scheme File", [&] { package::ChooseSchemeFile(doc_, path->toStdString()); })) {
            ShowSchemeName(QFileInfo(*path).fileName());
            editor_->SetCurrentNote("scheme", QFileInfo(*path).fileName().toStdString());
        }
    }
}

void TMainForm::DefaultFormatsClick() {
    Step("Default Formats", [&] {
        SelOption().LoadDefaultFormats();
        SelOption().exec();
        package::ApplyDefaultsToEntries(doc_);
    });
}

// ----------------------------------------------------------- open/save page

void TMainForm::Busy(const QString& text,
                     const std::function<void(const std::function<void()>&)>& work) {
    BusyCursor cursor;
    QProgressDialog progress(text, QString(), 0, 0, this);
    progress.setWindowTitle("Tessaro");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    QCoreApplication::processEvents();
    work([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
}

void TMainForm::SaveCabinetClick() {
    if (!ConfirmBuild()) return;
    // The preset name stays the dialog's name even when the user cancels.
    SaveDialog1().selectFile("MyTheme.cab");
    saveDialogFileName_ = "MyTheme.cab";
    SaveDialog1().setDefaultSuffix("cab");
    SetFilter(SaveDialog1(), "Cab Files|*.cab");
    auto path = RunDialog(SaveDialog1());
    if (!path) return;
    Guard([&] {
        Busy("Building the cabinet...", [&](const std::function<void()>& pump) {
            package::BuildCabinet(doc_, path->toStdString(), SaveDialogFileName(), pump);
        });
        editor_->Absorb();
        Confirm("Saved " + *path);
    });
}

void TMainForm::SaveXmlClick() {
    SetFilter(SaveDialog1(), "Home layouts|*.home.xml");
    SaveDialog1().setDefaultSuffix("home.xml");
    auto path = RunDialog(SaveDialog1());
    if (!path) return;
    Guard([&] {
        package::ExportHomeLayout(doc_, path->toStdString());
        editor_->Absorb(); // the writer's own rule is no step of the user's
        Confirm("Saved " + *path);
    });
}

// The loader has no window of its own here: it is waited for and what it
// printed is shown, so a refused or failed install is never taken for done.
void TMainForm::RunLoader(const QString& text,
                          const std::function<std::string(const std::function<void()>&)>& job) {
    std::string output;
    bool done = false;
    Guard([&] {
        Busy(text, [&](const std::function<void()>& pump) { output = job(pump); });
        done = true;
    });
    if (done) ShowMessage(QString::fromStdString(output).trimmed());
}

void TMainForm::LoadThemeClick() {
    if (!ConfirmBuild()) return;
    RunLoader("Building the cabinet for the phone...", [this](const std::function<void()>& pump) {
        // Theme.cab stays ours until the loader has read it.
        const platform::ProgramFolderLock lock(doc_.AppDir);
        const std::string cab = doc_.AppDir + "Theme.cab";
        package::BuildCabinet(doc_, cab, SaveDialogFileName(), pump);
        editor_->Absorb();
        return package::RunDeviceLoader(doc_, cab, true).Output;
    });
}

void TMainForm::InstallClick(const char* cabinet) {
    RunLoader("Installing the plugin...", [this, cabinet](const std::function<void()>&) {
        return package::InstallPluginCabinet(doc_, cabinet, true).Output;
    });
}

void TMainForm::SaveProjectClick() { SaveProjectAs(); }

bool TMainForm::SaveProjectAs() {
    SetFilter(SaveDialog1(), "Project Files|*.trpf");
    SaveDialog1().selectFile("MyTheme.trpf");
    saveDialogFileName_ = "MyTheme.trpf";
    SaveDialog1().setDefaultSuffix("trpf");
    auto path = RunDialog(SaveDialog1());
    if (!path) return false;
    return SaveProjectTo(path->toStdString());
}

void TMainForm::OpenProjectClick() {
    SetFilter(OpenDialog1(), "Project Files|*.trpf");
    auto path = RunDialog(OpenDialog1());
    if (!path) return;
    const std::string file = path->toStdString();
    if (!ReplaceDesign("Open Project", [&](model::Document& doc) { package::OpenProject(doc, file); }, file))
        return;
    ShowSchemeName("user.scheme.xml");
    editor_->SetCurrentNote("scheme", "user.scheme.xml");
}

} // namespace tessaro::ui
