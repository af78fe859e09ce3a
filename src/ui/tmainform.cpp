#include "ui/tmainform.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSettings>
#include <QStringDecoder>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <array>

#include "model/catalogue.h"
#include "package/editor.h"
#include "package/project.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "preview/preview.h"
#include "ui/deviceview.h"
#include "ui/stylewindows.h"
#include "ui/tseloption.h"
#include "ui/widgets.h"

namespace tessaro::ui {

namespace {

QLabel* Caption(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->adjustSize();
    l->move(x, y);
    return l;
}

QToolButton* PictureButton(QWidget* parent, int x, int y, int w, int h, const QIcon& icon,
                           const QString& tip = {}) {
    auto* b = new QToolButton(parent);
    b->setGeometry(x, y, w, h);
    if (!icon.isNull()) b->setIcon(icon);
    b->setAutoRaise(false);
    if (!tip.isEmpty()) b->setToolTip(tip);
    return b;
}

QFrame* Bevel(QWidget* parent, int y, int h) {
    auto* f = new QFrame(parent);
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    f->setGeometry(0, y, 209, h);
    return f;
}

// A page-wide group of two choices side by side, the first one chosen.
QGroupBox* ChoiceGroup(QWidget* parent, const QString& title, int y,
                       const std::array<const char*, 2>& texts, QRadioButton* (&choices)[2]) {
    auto* g = new QGroupBox(title, parent);
    g->setGeometry(0, y, 209, 33);
    for (int c = 0; c < 2; ++c) {
        choices[c] = new QRadioButton(texts[c], g);
        choices[c]->setGeometry(8 + 100 * c, 14, 95, 17);
    }
    choices[0]->setChecked(true);
    return g;
}

// Text of the support files: UTF-8 when it is valid UTF-8, else the
// document's code page.
QString SupportText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8(QByteArray::fromStdString(bytes));
    if (!utf8.hasError()) return s;
    return FromDoc(bytes);
}

} // namespace

TMainForm::TMainForm(const std::string& appDir, MainFormHooks hooks, QWidget* parent)
    : QWidget(parent), hooks_(std::move(hooks)) {
    setObjectName("TMainForm");
    setWindowTitle("Tessaro");
    setFixedSize(215, 539);

    doc_.AppDir = appDir;
    if (!doc_.AppDir.empty() && doc_.AppDir.back() != '/') doc_.AppDir += '/';
    preview_ = std::make_unique<preview::Preview>(doc_);
    preview_->SetMessageHandler([this](const std::string& m) { ShowMessage(QString::fromStdString(m)); });

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(0, 0, 215, 539);
    // Four tabs side by side in the 215-pixel-wide window.
    PageControl1->tabBar()->setUsesScrollButtons(false);
    PageControl1->tabBar()->setExpanding(false);
    PageControl1->tabBar()->setStyleSheet("QTabBar::tab { padding: 3px 2px 3px 2px; margin: 0px; }");
    {
        QFont f = PageControl1->tabBar()->font();
        f.setPixelSize(11);
        PageControl1->tabBar()->setFont(f);
    }
    HomePage = new QWidget;
    OptionsPage = new QWidget;
    OpenSavePage = new QWidget;
    AboutPage = new QWidget;
    // Pages in the window colour, so the blank panel under the screen and the
    // settings panel do not show as patches.
    for (QWidget* pg : {HomePage, OptionsPage, OpenSavePage, AboutPage}) pg->setAutoFillBackground(true);
    PageControl1->addTab(HomePage, "Home Screen");
    PageControl1->addTab(OptionsPage, "Options");
    PageControl1->addTab(OpenSavePage, "Open/Save");
    PageControl1->addTab(AboutPage, "About");

    BuildHomePage();
    BuildOptionsPage();
    BuildOpenSavePage();
    BuildAboutPage();
    PageControl1->setCurrentWidget(AboutPage);

    StartUp();

    // The windows that follow the main window are built on first use.
    PickFileFn pick = [this](const std::string& filter) { return PickOpenFile(filter); };
    if (!hooks_.NoStyleWindows) {
        StyleWindowHooks sw;
        if (hooks_.PickColor)
            sw.PickColor = [this](model::Color c) -> std::optional<model::Color> {
                auto chosen = hooks_.PickColor(ToQColor(c));
                if (!chosen || !chosen->isValid()) return std::nullopt;
                return FromQColor(*chosen);
            };
        sw.HeightFieldMax = [this] { return panel_.PHeight.Max; };
        sw.SetHeightField = [this](int v) {
            model::SetFieldText(doc_, panel_, model::Field::PHeight, std::to_string(v));
            SyncPanel();
        };
        styleWindows_ = CreateStyleWindows(doc_, *preview_, pick, this, std::move(sw));
    }

    Connect();
    ConnectDeviceView();
    BuildEditing();
    SyncPanel();
    SyncEntryList();
    SyncOptions();
}

TMainForm::~TMainForm() = default;

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == OptionsPage && e->type() == QEvent::Resize)
        optionsFrame_->setGeometry(OptionsPage->rect());
    if ((watched == Image1 || watched == Image2 || watched == BGImage) &&
        e->type() == QEvent::MouseButtonDblClick)
        ShowDeviceView();
    // The preset box's text is no document of its own: the undo keys undo
    // the design there, not the typing.
    if (presetEdit_ && (watched == presetEdit_ || watched == ComboBox1) && e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if ((key->key() == Qt::Key_Z && (mods & Qt::ControlModifier)) ||
            (key->key() == Qt::Key_Y && mods == Qt::ControlModifier))
            return true;
    }
    return QWidget::eventFilter(watched, e);
}

void TMainForm::BuildHomePage() {
    QWidget* pg = HomePage;
    BGImage = new SurfaceView(false, pg);
    BGImage->setGeometry(8, 0, 176, 200);
    Image1 = new SurfaceView(true, pg);
    Image1->setGeometry(8, 0, 176, 6000);
    Image2 = new SurfaceView(false, pg);
    Image2->setGeometry(8, 200, 176, 20);
    Panel1 = new QFrame(pg);
    Panel1->setGeometry(8, 220, 176, 277);
    Panel1->setAutoFillBackground(true);

    AddPluginButton = PictureButton(pg, 185, 232, 23, 23, ButtonPicture(Picture::Add), "Add");
    UpPluginButton = PictureButton(pg, 185, 264, 23, 23, ButtonPicture(Picture::Up), "Move up");
    DownPluginButton = PictureButton(pg, 185, 296, 23, 23, ButtonPicture(Picture::Down), "Move down");
    RemovePluginButton =
        PictureButton(pg, 185, 328, 23, 25, ButtonPicture(Picture::Remove), "Remove");
    DeviceViewButton = PictureButton(pg, 185, 424, 23, 23, DeviceViewIcon(), "Device View (Ctrl+D)");
    DeviceViewButton->lower(); // under the catalogue and the settings panel

    ScrollBar1 = new QScrollBar(Qt::Vertical, pg);
    ScrollBar1->setGeometry(184, 0, 17, 220);
    ScrollBar1->setRange(0, 0);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setPageStep(1);
    ScrollBar1->setEnabled(false);

    ActivePluginsList = new QListWidget(pg);
    ActivePluginsList->setGeometry(0, 224, 169, 251);
    ActivePluginsList->setToolTip("Double Click to Edit");
    PluginsList = new QListWidget(pg);
    PluginsList->setGeometry(0, 224, 209, 249);
    for (const auto& k : model::Catalogue()) PluginsList->addItem(QString::fromLatin1(k.Line));
    PluginsList->hide();

    BuildSettingsPanel();
}

void TMainForm::BuildSettingsPanel() {
    SettingsPanel = new QWidget(HomePage);
    SettingsPanel->setObjectName("SettingsPanel");
    SettingsPanel->setGeometry(0, 224, 209, 273);
    SettingsPanel->setAutoFillBackground(true);
    QWidget* sp = SettingsPanel;

    Bevel(sp, 32, 38);
    QFrame* bevels[3] = {Bevel(sp, 68, 61), Bevel(sp, 126, 61), Bevel(sp, 185, 61)};

    Switch1 = ChoiceGroup(sp, "SelectType", 0, {"Color", "Font"}, Switch1Choice);
    Switch1->hide();

    Caption(sp, "Position", 4, 44);
    GXPos = new NumberField(sp);
    GXPos->setGeometry(48, 40, 41, 22);
    Caption(sp, "Height", 94, 44);
    PHeight = new NumberField(sp);
    PHeight->setGeometry(128, 40, 41, 22);

    struct SlotPlace {
        int check, posCapX, posCapY, xLabX, xLabY, xFieldX, yLabX, yFieldX, fieldY, textCapY,
            textX;
    };
    const SlotPlace places[3] = {
        {72, 32, 88, 6, 108, 16, 62, 72, 104, 90, 120},
        {130, 32, 146, 4, 166, 18, 60, 74, 162, 146, 124},
        {188, 34, 204, 6, 224, 20, 62, 76, 220, 204, 124},
    };
    const QIcon optionsIcon = ButtonPicture(Picture::Options);
    for (int s = 0; s < 3; ++s) {
        const SlotPlace& pl = places[s];
        auto& group = slotWidgets_[s];
        group.push_back(bevels[s]);
        Param[s] = new QCheckBox(QString("Param%1").arg(s + 1), sp);
        Param[s]->setLayoutDirection(Qt::RightToLeft); // box on the right of the caption
        Param[s]->setGeometry(8, pl.check, 101, 17);
        Param[s]->setChecked(true);
        group.push_back(Param[s]);
        group.push_back(Caption(sp, "Position", pl.posCapX, pl.posCapY));
        group.push_back(Caption(sp, "X", pl.xLabX, pl.xLabY));
        group.push_back(Caption(sp, "Y", pl.yLabX, pl.xLabY));
        P[2 * s] = new NumberField(sp);
        P[2 * s]->setGeometry(pl.xFieldX, pl.fieldY, 41, 22);
        P[2 * s + 1] = new NumberField(sp);
        P[2 * s + 1]->setGeometry(pl.yFieldX, pl.fieldY, 41, 22);
        group.push_back(P[2 * s]);
        group.push_back(P[2 * s + 1]);
        Options[s] = PictureButton(sp, 176, pl.fieldY, 23, 22, optionsIcon,
                                   "Selected/Unselected State Options");
        PTextCaption[s] = Caption(sp, "Text", 116, pl.textCapY);
        PText[s] = new CommitEdit(sp);
        PText[s]->setGeometry(pl.textX, pl.fieldY, 49, 21);
    }
    Param[0]->setEnabled(false);
    // Buttons of the panel take the focus when clicked, so the field being
    // edited commits before the window they open changes the entry.
    for (QToolButton* b : Options) b->setFocusPolicy(Qt::StrongFocus);

    Visnoivent = new QCheckBox("No event visible", sp);
    Visnoivent->setGeometry(8, 224, 97, 17);
    Visnoivent->setChecked(true);
    SpeedButton5 = PictureButton(sp, 40, 248, 73, 21, optionsIcon);
    SpeedButton5->setText("Options");
    SpeedButton5->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton5->setFocusPolicy(Qt::StrongFocus);
    Button6 = new QPushButton("OK", sp);
    Button6->setGeometry(126, 248, 79, 21);

    Button8 = new QPushButton("Install AnalogClock plugin to Smartphone.", sp);
    Button8->setGeometry(0, 72, 209, 25);
    Button8->hide();
    Button9 = new QPushButton("Install WMPlayerPlugin to SmartPhone.", sp);
    Button9->setGeometry(0, 72, 209, 25);
    Button9->hide();
    SettingsPanel->hide();
}

void TMainForm::BuildOptionsPage() {
    QWidget* pg = OptionsPage;
    optionsFrame_ = new QFrame(pg);
    optionsFrame_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    optionsFrame_->setGeometry(0, 0, 209, 193);
    pg->installEventFilter(this); // the frame follows the page's size

    Caption(pg, "Background Image", 8, 8);
    BGI = new QLineEdit("WindowsMobile.JPG", pg);
    BGI->setGeometry(8, 24, 153, 21);
    BGI->setReadOnly(true); // the name of a file in the program folder, set by choosing one
    const QIcon backgroundIcon = ButtonPicture(Picture::Background);
    SpeedButton1 = PictureButton(pg, 168, 16, 31, 30, backgroundIcon,
                                 "Choose the background picture");
    SpeedButton1->setIconSize(QSize(16, 16));

    Caption(pg, "ColorScheme File", 8, 56);
    ComboBox1 = new QComboBox(pg);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // Every typed character is a change of the text; completing a name on its
    // own would apply a preset the user did not type.
    ComboBox1->setCompleter(nullptr);
    ComboBox1->addItems(
        {"Default", "Black", "Blue-Gray", "Green", "Mint", "Orange", "Pink", "Red", "Yellow"});
    ComboBox1->setGeometry(8, 72, 153, 21);
    ComboBox1->setCurrentIndex(0);
    SpeedButton3 = PictureButton(pg, 168, 64, 31, 30, backgroundIcon, "Load a colour scheme file");
    SpeedButton3->setIconSize(SpeedButton1->iconSize());

    RadioGroup1 = ChoiceGroup(pg, "Split Lines", 112, {"On", "Off"}, SplitChoice);

    SpeedButton4 = new QPushButton("Selected/Unselected State Options", pg);
    SpeedButton4->setGeometry(8, 152, 185, 33);
}

void TMainForm::BuildOpenSavePage() {
    QWidget* pg = OpenSavePage;
    for (auto [text, y] : {std::pair{"Save", 8}, std::pair{"Open", 176}, std::pair{"Check", 280}}) {
        auto* l = new QLabel(text, pg);
        QFont f = l->font();
        f.setPixelSize(19);
        l->setFont(f);
        l->adjustSize();
        l->move(80, y);
    }
    auto button = [pg](const char* text, int top) {
        auto* b = new QPushButton(text, pg);
        b->setGeometry(8, top, 193, 25);
        return b;
    };
    Button1 = button("Save *.CAB File", 32);
    Button3 = button("Save *.XML File", 64);
    Button7 = button("Load Theme to SamrtPhone", 96);
    Button4 = button("Save *.TRPF Project File", 144);
    Button5 = button("Open *.TRPF Project File", 208);
    CheckButton = button("Check Layout", 304);
    Button10 = button("Import Theme", 240);
}

void TMainForm::BuildAboutPage() {
    QWidget* pg = AboutPage;
    Memo1 = new QPlainTextEdit(pg);
    Memo1->setGeometry(0, 0, 201, 193);
    Memo1->setReadOnly(true);
    VersionLabel = new QLabel("V 2.3.6", pg);
    QFont f = VersionLabel->font();
    f.setPixelSize(24);
    VersionLabel->setFont(f);
    VersionLabel->adjustSize();
    VersionLabel->move(40, 200);
    Image3 = new QLabel(pg);
    Image3->setGeometry(0, 304, 209, 209);
    Image3->setAlignment(Qt::AlignCenter);
}

void TMainForm::StartUp() {
    // The support file each step reads, so that a failure names it.
    const char* file = "Default";
    try {
        package::StartDocument(doc_, doc_.AppDir);
        file = "WindowsMobile.JPG";
        preview_->LoadBackground();
        preview_->DrawPlugins();
        file = "info.txt";
        Memo1->setPlainText(SupportText(platform::ReadFile(doc_.AppDir + "info.txt")));
        file = "about.jpg";
        const platform::Bitmap about = platform::LoadPicture(doc_.AppDir + "about.jpg");
        QImage img = ToQImage(about);
        if (img.width() > 209 || img.height() > 209)
            img = img.scaled(209, 209, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        Image3->setPixmap(QPixmap::fromImage(img));
    } catch (const std::exception& e) {
        // Errors of the readers (a malformed colour, say) do not always say
        // which file they came from.
        std::string text = e.what();
        if (text.find(file) == std::string::npos) text = doc_.AppDir + file + ": " + text;
        ShowMessage(QString::fromStdString(text));
    }
    // What was drawn shows, also when a later step failed.
    SyncSurfaces();
}

// ------------------------------------------------------------------- sync

void TMainForm::SyncPanel() {
    const QScopedValueRollback<bool> syncing(syncing_, true);
    const model::Panel& p = panel_;
    ActivePluginsList->setVisible(p.EntryListVisible);
    PluginsList->setVisible(p.CatalogueVisible);
    SettingsPanel->setVisible(p.PanelVisible);
    if (p.PanelVisible) SettingsPanel->raise();

    PHeight->SetText(FromDoc(p.PHeight.Text));
    PHeight->setEnabled(p.HeightEnabled);
    GXPos->SetText(FromDoc(p.GXPos.Text));
    for (int f = 0; f < 6; ++f) P[f]->SetText(FromDoc(p.P[f].Text));
    for (int s = 0; s < 3; ++s) {
        const model::SlotView& v = p.Slots[s];
        for (QWidget* w : slotWidgets_[s]) w->setVisible(v.Visible);
        Param[s]->setText(FromDoc(v.Caption.empty() ? "Param" + std::to_string(s + 1) : v.Caption));
        Param[s]->setChecked(p.Param[s]);
        Options[s]->setVisible(v.Visible && v.HasOptions);
        PTextCaption[s]->setVisible(v.Visible && v.HasText);
        PTextCaption[s]->setText(FromDoc(v.TextCaption.empty() ? "Text" : v.TextCaption));
        PTextCaption[s]->adjustSize();
        PText[s]->setVisible(v.Visible && v.HasText);
        const QString t = FromDoc(p.PText[s]);
        if (PText[s]->text() != t) PText[s]->setText(t);
    }
    Param[0]->setEnabled(p.Param1Enabled);
    Visnoivent->setVisible(p.VisnoiventVisible);
    Visnoivent->setChecked(p.Visnoivent);
    Switch1->setVisible(p.Switch1Visible);
    Switch1->setTitle(FromDoc(p.Switch1Caption));
    for (int c = 0; c < 2; ++c) {
        Switch1Choice[c]->setText(FromDoc(p.Switch1Items[c]));
        Switch1Choice[c]->setChecked(p.Switch1 == c);
    }
    Button8->setVisible(p.Install == model::InstallButton::AnalogClock);
    Button9->setVisible(p.Install == model::InstallButton::WMPlayer);
}

void TMainForm::SyncEntryList() {
    const QScopedValueRollback<bool> syncing(syncing_, true);
    const auto& list = doc_.ActivePluginsList;
    bool same = ActivePluginsList->count() == int(list.Lines.size());
    for (int i = 0; same && i < int(list.Lines.size()); ++i)
        same = ActivePluginsList->item(i)->text() == FromDoc(list.Lines[std::size_t(i)]);
    if (!same) {
        ActivePluginsList->clear();
        for (const auto& l : list.Lines) ActivePluginsList->addItem(FromDoc(l));
    }
    ActivePluginsList->setCurrentRow(list.Selected);
    if (list.Selected < 0) ActivePluginsList->clearSelection();
}

void TMainForm::SyncSurfaces() {
    BGImage->SetBitmap(preview_->BGImage);
    Image1->SetBitmap(preview_->Image1);
    Image2->SetBitmap(preview_->Image2);
    const QScopedValueRollback<bool> syncing(syncing_, true);
    const auto& sb = preview_->ScrollBar1;
    ScrollBar1->setRange(0, sb.Max);
    ScrollBar1->setValue(sb.Position);
    ScrollBar1->setEnabled(sb.Enabled);
    Image1->move(8, -sb.Position);
}

void TMainForm::SyncOptions() {
    const QScopedValueRollback<bool> syncing(syncing_, true);
    const QString bgi = FromDoc(doc_.BGI);
    if (BGI->text() != bgi) BGI->setText(bgi);
    SplitChoice[doc_.SplitLines == 1 ? 1 : 0]->setChecked(true);
}

// ------------------------------------------------------------ plumbing

void TMainForm::ShowMessage(const QString& text) {
    if (hooks_.Message) {
        hooks_.Message(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, "Tessaro", text, QMessageBox::Ok, this);
    box.exec();
}

void TMainForm::Guard(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()));
    }
}

TSelOption& TMainForm::SelOption() {
    if (!selOption_) {
        TSelOption::PickColorFn pick = hooks_.PickColor;
        if (!pick)
            pick = [this](const QColor& c) -> std::optional<QColor> {
                QColor chosen = QColorDialog::getColor(c, this);
                if (!chosen.isValid()) return std::nullopt;
                return chosen;
            };
        selOption_ = new TSelOption(doc_, std::move(pick), this);
    }
    return *selOption_;
}

QFileDialog& TMainForm::OpenDialog1() {
    if (!openDialog_) {
        openDialog_ = new QFileDialog(this);
        openDialog_->setOption(QFileDialog::DontUseNativeDialog);
        openDialog_->setAcceptMode(QFileDialog::AcceptOpen);
        openDialog_->setFileMode(QFileDialog::ExistingFile);
        openDialog_->setNameFilter("xml Files (*.xml)");
        RestoreFolder(*openDialog_, "folders/open");
    }
    return *openDialog_;
}

QFileDialog& TMainForm::SaveDialog1() {
    if (!saveDialog_) {
        saveDialog_ = new QFileDialog(this);
        saveDialog_->setOption(QFileDialog::DontUseNativeDialog);
        saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
        saveDialog_->setFileMode(QFileDialog::AnyFile);
        saveDialog_->setNameFilter("Home layouts (*.home.xml)");
        saveDialog_->setDefaultSuffix("home.xml");
        RestoreFolder(*saveDialog_, "folders/save");
        saveDialog_->selectFile(QString::fromStdString(saveDialogFileName_));
    }
    return *saveDialog_;
}

std::optional<QString> TMainForm::RunDialog(QFileDialog& dialog) {
    std::optional<QString> chosen;
    if (hooks_.FileDialog) {
        chosen = hooks_.FileDialog(dialog);
        if (chosen) {
            // As the dialog does on OK: the default suffix for a bare name.
            if (!dialog.defaultSuffix().isEmpty() &&
                QFileInfo(*chosen).fileName().indexOf('.') < 0)
                *chosen += "." + dialog.defaultSuffix();
            dialog.selectFile(*chosen);
        }
    } else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen = dialog.selectedFiles().front();
    }
    if (chosen && &dialog == saveDialog_) saveDialogFileName_ = chosen->toStdString();
    if (chosen) RememberFolder(dialog);
    return chosen;
}

std::string TMainForm::SaveDialogFileName() const { return saveDialogFileName_; }

void TMainForm::DrawPlugins() {
    preview_->SetSelectedEntry(DeviceViewSelection());
    Guard([this] { preview_->DrawPlugins(); });
    SyncSurfaces();
    SyncEntryList();
    SyncOptions();
    emit redrawn();
}

} // namespace tessaro::ui
