#pragma once
// The designer's main window: four pages ("Home Screen", "Options",
// "Open/Save", "About"), the live preview, the entry editor with its settings
// panel, and the shared open and save dialogs. It owns the document and the
// preview for the whole run. Handlers call one core operation each, redraw
// the preview and show any failure in a modal message box.
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

namespace tessaro::preview {
class Preview;
}

namespace tessaro::ui {

class CommitEdit;
class NumberField;
class StyleWindows;
class SurfaceView;
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
    TSelOption& SelOption() { return *selOption_; }
    // The two file dialogs are built on first use, not with the window.
    QFileDialog& OpenDialog1();
    QFileDialog& SaveDialog1();

    // The whole redraw: DrawPlugins, then the surfaces, the scroll bar, the
    // entry list and the background name as the pass left them.
    void DrawPlugins();

    // The file name the shared save dialog holds: the last one chosen or
    // preset by an operation, "MyTheme" before any use.
    std::string SaveDialogFileName() const;

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

    QPlainTextEdit* Memo1;
    QLabel* VersionLabel;
    QLabel* Image3;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildHomePage();
    void BuildSettingsPanel();
    void BuildOptionsPage();
    void BuildOpenSavePage();
    void BuildAboutPage();
    void Connect();
    void StartUp();

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
    void InstallClick(const char* cabinet);
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
    TSelOption* selOption_ = nullptr;
    QFileDialog* openDialog_ = nullptr;
    QFileDialog* saveDialog_ = nullptr;
    std::string saveDialogFileName_ = "MyTheme";
    std::vector<QWidget*> slotWidgets_[3]; // bevel, check box, captions, fields of a slot
    QFrame* optionsFrame_ = nullptr;
    bool syncing_ = false;
    bool committing_ = false;
};

} // namespace tessaro::ui
