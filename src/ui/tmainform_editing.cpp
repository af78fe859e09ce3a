// The main window's editing frame: the edit path's steps, undo and redo, the
// modified mark and title, the question before work is lost, project saves
// by shortcut, the keyboard and the dialogs' remembered folders.
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSettings>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "model/panel.h"
#include "package/editor.h"
#include "package/project.h"
#include "platform/files.h"
#include "preview/preview.h"
#include "ui/tmainform.h"
#include "ui/widgets.h"

namespace tessaro::ui {

namespace {

constexpr int kConfirmMs = 3500;

// Where Ctrl+S writes after opening `opened`: a project saved by this
// program lies in a folder of its own name (NAME/NAME.trpf), which saving
// to NAME.trpf beside that folder writes again.
std::string SavePathFor(const std::string& opened) {
    const std::string name = platform::FileNamePart(opened);
    const std::string folder = platform::FolderPart(opened);
    if (folder.size() > 1) {
        const std::string inner = platform::FileNamePart(folder.substr(0, folder.size() - 1));
        if (!inner.empty() && inner == platform::WithoutExtension(name))
            return platform::FolderPart(folder.substr(0, folder.size() - 1)) + name;
    }
    return opened;
}

// The file SaveProject writes for the path the user chose.
std::string ProjectFileOf(const std::string& path) {
    return platform::WithoutExtension(path) + "/" + platform::FileNamePart(path);
}

QString ShortcutTip(const QString& text, const QKeySequence& keys) {
    return text + " (" + keys.toString(QKeySequence::NativeText) + ")";
}

} // namespace

void TMainForm::BuildEditing() {
    editor_ = std::make_unique<package::Editor>(doc_);
    editor_->AddListener([this](const package::EditEvent& e) { DesignChanged(e); });

    UndoButton = new QToolButton(HomePage);
    UndoButton->setGeometry(185, 360, 23, 23);
    UndoButton->setIcon(ButtonPicture(Picture::Undo));
    RedoButton = new QToolButton(HomePage);
    RedoButton->setGeometry(185, 392, 23, 23);
    RedoButton->setIcon(ButtonPicture(Picture::Redo));
    // Under the catalogue and the settings panel while they show, like the
    // other list buttons.
    UndoButton->lower();
    RedoButton->lower();
    connect(UndoButton, &QToolButton::clicked, this, [this] { UndoClick(); });
    connect(RedoButton, &QToolButton::clicked, this, [this] { RedoClick(); });

    SavedLabel = new QLabel(this);
    SavedLabel->setObjectName("SavedLabel");
    SavedLabel->setGeometry(4, 517, 207, 20);
    SavedLabel->setAutoFillBackground(true);
    SavedLabel->setAlignment(Qt::AlignCenter);
    SavedLabel->setGraphicsEffect(new QGraphicsOpacityEffect(SavedLabel));
    SavedLabel->hide();

    editor_->SetCurrentNote("scheme", ComboBox1->currentText().toStdString());
    ConnectShortcuts();
    UpdateEditState();
}

void TMainForm::ConnectShortcuts() {
    auto key = [this](const QKeySequence& keys, QWidget* where, auto fn) {
        auto* s = new QShortcut(keys, where ? where : this);
        s->setContext(where ? Qt::WidgetShortcut : Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, fn);
        return s;
    };
    presetEdit_ = ComboBox1->lineEdit();
    presetEdit_->installEventFilter(this);
    ComboBox1->installEventFilter(this); // it hands the keys on to its text field
    key(QKeySequence(Qt::CTRL | Qt::Key_Z), nullptr, [this] { UndoClick(); });
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), nullptr, [this] { RedoClick(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Y), nullptr, [this] { RedoClick(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_S), nullptr, [this] { SaveProjectShortcut(); });
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), nullptr, [this] { SaveProjectAs(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_O), nullptr, [this] { Button5->click(); });
    key(QKeySequence(Qt::Key_F1), nullptr, [this] { PageControl1->setCurrentWidget(AboutPage); });
    key(QKeySequence(Qt::Key_Escape), nullptr, [this] { EscapeKey(); });

    // The entry list's own keys.
    key(QKeySequence(Qt::Key_Delete), ActivePluginsList, [this] { RemovePluginButton->click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Up), ActivePluginsList,
        [this] { UpPluginButton->click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Down), ActivePluginsList,
        [this] { DownPluginButton->click(); });
    auto open = [this] {
        if (QListWidgetItem* item = ActivePluginsList->currentItem())
            emit ActivePluginsList->itemDoubleClicked(item);
    };
    key(QKeySequence(Qt::Key_Return), ActivePluginsList, open);
    key(QKeySequence(Qt::Key_Enter), ActivePluginsList, open);
    key(QKeySequence(Qt::Key_F2), ActivePluginsList, open);

    RemovePluginButton->setToolTip(ShortcutTip("Remove", QKeySequence(Qt::Key_Delete)));
    UpPluginButton->setToolTip(ShortcutTip("Move up", QKeySequence(Qt::CTRL | Qt::Key_Up)));
    DownPluginButton->setToolTip(ShortcutTip("Move down", QKeySequence(Qt::CTRL | Qt::Key_Down)));
    ActivePluginsList->setToolTip("Double Click (Enter, F2) to Edit");
    PluginsList->setToolTip("Click to Add (Esc: back to the list)");
    Button6->setToolTip(ShortcutTip("OK", QKeySequence(Qt::Key_Escape)));
    Button4->setToolTip(
        ShortcutTip("Save the project as", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)) + ", " +
        ShortcutTip("save again", QKeySequence(Qt::CTRL | Qt::Key_S)));
    Button5->setToolTip(ShortcutTip("Open a project", QKeySequence(Qt::CTRL | Qt::Key_O)));
    PageControl1->setTabToolTip(PageControl1->indexOf(AboutPage),
                                ShortcutTip("About", QKeySequence(Qt::Key_F1)));
}

void TMainForm::EscapeKey() {
    if (panel_.PanelVisible) {
        Button6->click();
    } else if (panel_.CatalogueVisible) {
        model::LeaveCatalogue(panel_);
        SyncPanel();
    }
}

// ------------------------------------------------------------ steps

bool TMainForm::Step(const QString& name, const std::function<void()>& fn) {
    stepChanged_ = false;
    editor_->Begin(name.toStdString());
    Guard(fn);
    Guard([this] { editor_->Commit(); });
    return stepChanged_;
}

void TMainForm::FollowProjectPath() {
    projectPath_ = editor_->Note("path");
    projectName_ = projectPath_.empty()
                       ? QString()
                       : QFileInfo(QString::fromStdString(projectPath_)).completeBaseName();
}

void TMainForm::DesignChanged(const package::EditEvent& e) {
    stepChanged_ = e.Changed;
    if (!replacing_)
        asRead_.reset();
    FollowProjectPath();
    // The scheme box names what the state was made with.
    if (e.What != package::EditEvent::Kind::Step)
        ShowSchemeName(QString::fromStdString(editor_->Note("scheme")));
    if (e.Changed) {
        preview_->SetSelectedEntry(DeviceViewSelection());
        Guard([this] { preview_->Draw(); });
        // The pass rewrote the composed pictures: what the state names now.
        editor_->RefreshPictures();
    }
    SyncSurfaces();
    SyncEntryList();
    SyncOptions();
    UpdateEditState();
    if (e.Changed)
        emit redrawn();
    for (const std::string& m : e.Messages)
        ShowMessage(QString::fromStdString(m));
}

void TMainForm::UpdateEditState() {
    if (!editor_)
        return;
    const QString undo = QString::fromStdString(editor_->UndoName());
    const QString redo = QString::fromStdString(editor_->RedoName());
    UndoButton->setEnabled(editor_->CanUndo());
    RedoButton->setEnabled(editor_->CanRedo());
    UndoButton->setToolTip(
        ShortcutTip(undo.isEmpty() ? "Undo" : "Undo " + undo, QKeySequence(Qt::CTRL | Qt::Key_Z)));
    RedoButton->setToolTip(
        ShortcutTip(redo.isEmpty() ? "Redo" : "Redo " + redo, QKeySequence(Qt::CTRL | Qt::Key_Y)));
    setWindowTitle(projectName_.isEmpty() ? QString("Tessaro[*]")
                                          : projectName_ + QString::fromUtf8(" \u2014 Tessaro[*]"));
    setWindowModified(editor_->Modified());
}

void TMainForm::CloseEntryViews() {
    // The panel and the catalogue show one entry's values: they close before
    // the design goes back or forth.
    if (panel_.PanelVisible)
        Button6->click();
    else if (panel_.CatalogueVisible)
        model::LeaveCatalogue(panel_);
    SyncPanel();
}

void TMainForm::UndoClick() {
    CloseEntryViews();
    Guard([this] { editor_->Undo(); });
}

void TMainForm::RedoClick() {
    CloseEntryViews();
    Guard([this] { editor_->Redo(); });
}

// ------------------------------------------------------------ replacing, saving

bool TMainForm::MaybeSave() {
    if (!editor_ || !editor_->Modified())
        return true;
    int answer = 0;
    if (hooks_.AskSave) {
        answer = hooks_.AskSave();
    } else {
        QMessageBox box(QMessageBox::Question, "Tessaro", "Save changes to the design?",
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setDefaultButton(QMessageBox::Save);
        answer = box.exec();
    }
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    return SaveProjectShortcut();
}

bool TMainForm::ReplaceDesign(const QString& name,
                              const std::function<void(model::Document&)>& replace,
                              const std::string& projectPath) {
    if (!MaybeSave())
        return false;
    bool done = false;
    std::optional<model::Theme> asRead;
    {
        const QScopedValueRollback<bool> replacing(replacing_, true);
        Step(name, [&] {
            replace(doc_);
            // The design as the file holds it, before the designer's rules
            // change it: what "Check Layout" looks at until the next change.
            asRead = static_cast<const model::Theme&>(doc_);
            done = true;
        });
    }
    if (!done)
        return false;
    asRead_ = std::move(asRead);
    // The page goes back to browsing: the entry the panel held is gone.
    model::ClosePanel(doc_, panel_);
    doc_.ActivePluginsList.Selected = -1;
    // Only the new state is the project's: undoing the step brings back the
    // path the design before it had.
    editor_->SetCurrentNote("path", projectPath.empty() ? std::string() : SavePathFor(projectPath));
    FollowProjectPath();
    editor_->MarkSaved();
    SyncPanel();
    SyncEntryList();
    UpdateEditState();
    return true;
}

bool TMainForm::SaveProjectTo(const std::string& path) {
    bool saved = false;
    Guard([&] {
        package::SaveProject(doc_, path);
        saved = true;
    });
    if (!saved)
        return false;
    editor_->SetNote("path", path);
    FollowProjectPath();
    editor_->MarkSaved();
    UpdateEditState();
    Confirm("Saved " + QString::fromStdString(ProjectFileOf(path)));
    return true;
}

bool TMainForm::SaveProjectShortcut() {
    if (projectPath_.empty())
        return SaveProjectAs();
    return SaveProjectTo(projectPath_);
}

void TMainForm::Confirm(const QString& text) {
    SavedLabel->setText(
        SavedLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, SavedLabel->width() - 6));
    SavedLabel->setToolTip(text);
    // A new note starts its own time: an earlier fade must not hide it.
    for (auto* earlier : SavedLabel->findChildren<QPropertyAnimation*>())
        delete earlier;
    auto* effect = static_cast<QGraphicsOpacityEffect*>(SavedLabel->graphicsEffect());
    effect->setOpacity(1.0);
    SavedLabel->show();
    SavedLabel->raise();
    auto* fade = new QPropertyAnimation(effect, "opacity", SavedLabel);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    fade->setDuration(800);
    QTimer::singleShot(kConfirmMs, fade,
                       [fade] { fade->start(QAbstractAnimation::DeleteWhenStopped); });
    connect(fade, &QPropertyAnimation::finished, SavedLabel, &QLabel::hide);
}

void TMainForm::closeEvent(QCloseEvent* e) {
    if (MaybeSave())
        e->accept();
    else
        e->ignore();
}

// ------------------------------------------------------------ remembered folders

QSettings& TMainForm::Settings() {
    if (!settings_)
        settings_ = hooks_.SettingsFile.isEmpty()
                        ? std::make_unique<QSettings>("Tessaro", "Tessaro")
                        : std::make_unique<QSettings>(hooks_.SettingsFile, QSettings::IniFormat);
    return *settings_;
}

void TMainForm::RestoreFolder(QFileDialog& dialog, const char* key) {
    // The dialogs start where they were last used, also in an earlier run.
    const QString folder = Settings().value(key).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
}

void TMainForm::RememberFolder(QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return;
    const QString key = &dialog == saveDialog_ ? "folders/save" : "folders/open";
    Settings().setValue(key, QFileInfo(files.front()).absolutePath());
}

} // namespace tessaro::ui
