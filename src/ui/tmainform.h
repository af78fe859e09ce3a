#pragma once
// The designer's main window: four pages ("Home Screen", "Options",
// "Open/Save", "About"), the live preview, the entry editor with its settings
// panel, and the shared open and save dialogs. It owns the document and the
// preview for the whole run. Handlers run one core operation each as a named
// step of the editor (package::Editor), which the window follows: it redraws
// and updates its controls on the editor's notification. Any failure is shown
// in a modal message box.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/panel.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QToolButton;
class QLineEdit;
class QSettings;

namespace tessaro::preview {
class Preview;
}
namespace tessaro::package {
class Editor;
struct EditEvent;
}

namespace tessaro::ui {

class CommitEdit;
class DeviceView;
class NumberField;
class StyleWindows;
class SurfaceView;
class TCheckForm;
class TSelOption;

// Stand-ins for what needs a person at the screen, for tests and scripted
// runs. Unset members fall back to the real dialogs.
struct MainFormHooks {
    // Instead of a message box.
    std::function<void(const QString&)> Message;
    // Instead of showing a configured file dialog: returns the chosen path or
    // nothing for Cancel. The dialog's filter, file name and default suffix
    // are set as the operation left them.
    std::function<std::optional<QString>(QFileDialog&)> FileDialog;
    // Instead of the colour chooser.
    std::function<std::optional<QColor>(const QColor&)> PickColor;
    // Instead of creating the four style windows (tests without them).
    bool NoStyleWindows = false;
    // Instead of a Yes/No question box: true for Yes.
    std::function<bool(const QString&)> Ask;
    // Instead of the "Save changes to the design?" box: returns
    // QMessageBox::Save, Discard or Cancel.
    std::function<int()> AskSave;
    // The settings file the dialogs' folders are kept in; empty: the
    // platform's standard place.
    QString SettingsFile;
};

class TMainForm : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up in `appDir` (the program folder, ending in '/'); a
    // failing step is shown and the later steps are skipped.
    explicit TMainForm(const std::string& appDir, MainFormHooks hooks = {},
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    model::Document& Doc() { return doc_; }
    const model::Panel& PanelState() const { return panel_; }
    preview::Preview& Preview() { return *preview_; }
    // The state options window, the two file dialogs and the style windows
    // are built on first use, not with the window.
    TSelOption& SelOption();
    QFileDialog& OpenDialog1();
    QFileDialog& SaveDialog1();

    // The whole redraw: DrawPlugins, then the surfaces, the scroll bar, the
    // entry list and the background name as the pass left them.
    void DrawPlugins();

    // The device view window, created on first use, shown and raised
    // (the button beside the preview, a double-click on the preview, Ctrl+D).
    void ShowDeviceView();
    DeviceView* DeviceWindow() const;

    // Selects entry i in the entry list; while the settings panel is open on
    // another entry, opens entry i there instead.
    void SelectEntry(int i);
    // Selects entry i and opens it in the settings panel, as a double-click
    // on its line does.
    void EditEntry(int i);
    // The one way the device view changes the design: `change` runs on the
    // document and the settings panel and returns whether it changed
    // anything; then the panel and the preview are brought up to date, as
    // after a committed panel field. Changes carrying the same `series`
    // belong to one gesture (one drag, one run of arrow-key nudges) and are
    // one undo step named `name`. A failure is shown like any handler's.
    void ApplyDirectEdit(const QString& name, int series,
                         const std::function<bool(model::Document&, model::Panel&)>& change);

    // The file name the shared save dialog holds: the last one chosen or
    // preset by an operation, "MyTheme" before any use.
    std::string SaveDialogFileName() const;

    // The edit path every change of the design goes through.
    package::Editor& Editor() { return *editor_; }

    // Replaces the whole design (opening a project, importing a theme) as the
    // undoable step `name`: when the design is modified, asks first whether
    // to save it (Cancel: nothing happens, false). A failing `replace` is
    // shown and returns false. On success the page goes back to browsing and
    // the design counts as unmodified; `projectPath` (may be empty) becomes
    // the path Ctrl+S saves to.
    bool ReplaceDesign(const QString& name, const std::function<void(model::Document&)>& replace,
                       const std::string& projectPath);

    // Asks "Save changes to the design?" when modified. Save saves (to the
    // project's path, else through the save dialog); false when the user
    // cancels or the save fails.
    bool MaybeSave();

    // The project path Ctrl+S saves to ("" before a project was opened or
    // saved).
    const std::string& ProjectPath() const { return projectPath_; }

    // Ctrl+S (the project's path, else the dialog) and Ctrl+Shift+S (the
    // dialog). True when the project was written.
    bool SaveProjectShortcut();
    bool SaveProjectAs();

    // Ctrl+Z and Ctrl+Shift+Z / Ctrl+Y: an open settings panel or catalogue
    // is closed first.
    void UndoClick();
    void RedoClick();

    // Pages and controls, named as in the window's description.
    QTabWidget* PageControl1;
    QWidget* HomePage;
    QWidget* OptionsPage;
    QWidget* OpenSavePage;
    QWidget* AboutPage;

    SurfaceView* BGImage;
    SurfaceView* Image1;
    SurfaceView* Image2;
    QFrame* Panel1;
    QScrollBar* ScrollBar1;
    QListWidget* ActivePluginsList;
    QListWidget* PluginsList;
    QToolButton* AddPluginButton;
    QToolButton* UpPluginButton;
    QToolButton* DownPluginButton;
    QToolButton* RemovePluginButton;
    QToolButton* DeviceViewButton;    // opens the device view
    QToolButton* UndoButton;
    QToolButton* RedoButton;

    QWidget* SettingsPanel;
    QGroupBox* Switch1;
    QRadioButton* Switch1Choice[2];
    NumberField* GXPos;
    NumberField* PHeight;
    QCheckBox* Param[3];
    NumberField* P[6];            // P1X, P1Y, P2X, P2Y, P3X, P3Y
    CommitEdit* PText[3];         // PText1, Ptext2, PText3
    QLabel* PTextCaption[3];      // P1Text, P2Text, P3Text
    QToolButton* Options[3];      // Options1..3
    QCheckBox* Visnoivent;
    QToolButton* SpeedButton5;    // "Options"
    QPushButton* Button6;         // "OK"
    QPushButton* Button8;         // install AnalogClock plugin
    QPushButton* Button9;         // install WMPlayer plugin

    QLineEdit* BGI;
    QToolButton* SpeedButton1;
    QComboBox* ComboBox1;
    QToolButton* SpeedButton3;
    QGroupBox* RadioGroup1;
    QRadioButton* SplitChoice[2];
    QPushButton* SpeedButton4;

    QPushButton* Button1;         // "Save *.CAB File"
    QPushButton* Button3;         // "Save *.XML File"
    QPushButton* Button7;         // "Load Theme to SamrtPhone"
    QPushButton* Button4;         // "Save *.TRPF Project File"
    QPushButton* Button5;         // "Open *.TRPF Project File"
    QPushButton* CheckButton;     // "Check Layout"

    // The findings window of "Check Layout"; null until first shown.
    TCheckForm* CheckForm() const { return checkForm_; }
    QPushButton* Button10;        // "Import Theme"
    QLabel* SavedLabel;           // the short confirmation after a save

    QPlainTextEdit* Memo1;
    QLabel* VersionLabel;
    QLabel* Image3;

signals:
    // After every redraw of the preview (the device view follows it).
    void redrawn();
    // After ApplyDirectEdit changed the design.
    void directEditApplied(const QString& name, int series);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Closes an open settings panel or catalogue (undo and redo do first).
    void CloseEntryViews();
    void BuildHomePage();
    void BuildSettingsPanel();
    void BuildOptionsPage();
    void BuildOpenSavePage();
    void BuildAboutPage();
    void Connect();
    void ConnectDeviceView();
    // The entry the next pass draws selected for the device view; -1: none.
    int DeviceViewSelection() const;
    void StartUp();
    void BuildEditing();
    void ConnectShortcuts();

    // Runs `fn` as the undoable step `name`; a failure is shown, what it
    // changed is still one step. True when the step changed something.
    bool Step(const QString& name, const std::function<void()>& fn);
    // The views follow the design after a step, an undo or a redo.
    void DesignChanged(const package::EditEvent& e);
    void UpdateEditState();
    // projectPath_ and the title's name from the current state's note.
    void FollowProjectPath();
    // A short confirmation on the current page that fades after a while.
    void Confirm(const QString& text);
    bool SaveProjectTo(const std::string& path);
    void EscapeKey();
    QSettings& Settings();
    void RememberFolder(QFileDialog& dialog);
    void RestoreFolder(QFileDialog& dialog, const char* key);

    // Runs a handler; a failure is shown with its own text.
    void Guard(const std::function<void()>& fn);
    void ShowMessage(const QString& text);
    std::optional<QString> RunDialog(QFileDialog& dialog);
    // The shared open dialog with `filter` ("XML Files|*.xml"), as the style
    // windows use it; nothing on Cancel.
    std::optional<std::string> PickOpenFile(const std::string& filter);

    // Widgets from the panel model and the document.
    void SyncPanel();
    void SyncEntryList();
    void SyncSurfaces();
    void SyncOptions();

    void CommitPanelField(model::Field f);
    void SetPanelText(model::Field f, const QString& text);
    void StepPanelField(model::Field f, int delta);
    void OpenStyleWindow();
    void EditElementFormats(int slot);

    void ChooseBackgroundClick();
    void PresetChanged(const QString& text);
    void SchemeFileClick();
    void DefaultFormatsClick();
    void SaveCabinetClick();
    void SaveXmlClick();
    void LoadThemeClick();
    void SaveProjectClick();
    void OpenProjectClick();
    void ImportThemeClick();
    void InstallClick(const char* cabinet);
    void CheckLayoutClick();
    // Runs the layout checker before a cabinet build; with errors asks whether
    // to go on. True to build; a check that fails is shown and stops the build.
    bool ConfirmBuild();
    void OpenEntryFromCheck(int entry);
    void ShowSchemeName(const QString& name);

    // Runs `job` (given the event pump) with the busy box and shows what the
    // loader it ran printed; a failure is shown instead.
    void RunLoader(const QString& text,
                   const std::function<std::string(const std::function<void()>&)>& job);

    // Long-running work with a busy cursor and progress box.
    void Busy(const QString& text, const std::function<void(const std::function<void()>&)>& work);

    model::Document doc_;
    model::Panel panel_;
    MainFormHooks hooks_;
    std::unique_ptr<preview::Preview> preview_;
    std::unique_ptr<StyleWindows> styleWindows_;
    QPointer<DeviceView> deviceView_;
    TSelOption* selOption_ = nullptr;
    TCheckForm* checkForm_ = nullptr;
    QFileDialog* openDialog_ = nullptr;
    QFileDialog* saveDialog_ = nullptr;
    std::string saveDialogFileName_ = "MyTheme";
    std::vector<QWidget*> slotWidgets_[3]; // bevel, check box, captions, fields of a slot
    QFrame* optionsFrame_ = nullptr;
    bool syncing_ = false;
    bool committing_ = false;
    std::unique_ptr<package::Editor> editor_;
    // The design as the last opened project or imported theme holds it,
    // until the next change (see CheckLayoutClick).
    std::optional<model::Theme> asRead_;
    bool replacing_ = false;
    std::unique_ptr<QSettings> settings_;
    std::string projectPath_;
    QString projectName_;
    QObject* presetEdit_ = nullptr; // the preset box's text field
    bool stepChanged_ = false;
};

} // namespace tessaro::ui
