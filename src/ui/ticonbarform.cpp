#include "ui/ticonbarform.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>

#include "preview/iconbar.h"
#include "preview/preview.h"
#include "ui/stylewidgets.h"

namespace tessaro::ui {

namespace {
constexpr int kWidth = 192;
constexpr int kCommonHeight = 144;
} // namespace

void TransparentBox::mouseReleaseEvent(QMouseEvent* e) {
    const bool over = hitButton(e->position().toPoint());
    QCheckBox::mouseReleaseEvent(e); // emits clicked() first
    if (e->button() == Qt::LeftButton && over)
        emit mouseReleased();
}

TIconBarForm::TIconBarForm(preview::Preview& preview, PickFileFn pickFile, PickColorFn pickColor,
                           QWidget* parent)
    : QDialog(parent), core_(preview), pickFile_(std::move(pickFile)),
      pickColor_(std::move(pickColor)) {
    setObjectName("TIconBarForm");
    setWindowTitle("Icon Bar Style");
    setModal(true);

    RadioGroup1 = new QGroupBox("Style", this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setGeometry(8, 4, 86, 82);
    auto* group = new QButtonGroup(this);
    const char* names[] = {"Normal", "Advanced", "Custom"};
    for (int i = 0; i < 3; ++i) {
        StyleButtons[i] = new QRadioButton(names[i], RadioGroup1);
        StyleButtons[i]->setGeometry(8, 18 + i * 20, 74, 20);
        group->addButton(StyleButtons[i], i);
    }

    CheckBox1 = new TransparentBox("Transparent", this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(102, 8, 86, 20);
    auto* less = new QLabel("Less", this);
    less->setGeometry(102, 30, 40, 16);
    auto* more = new QLabel("More", this);
    more->setGeometry(150, 30, 34, 16);
    more->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    ScrollBar1->setObjectName("ScrollBar1");
    ScrollBar1->setRange(0, 255);
    ScrollBar1->setGeometry(102, 46, 82, 16);
    ScrollBar1->setEnabled(false);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(102, 64, 82, 24);

    const char* swatchNames[] = {"Color1", "Color2", "TextColor"};
    ColorSwatch** swatches[] = {&Shape1, &Shape2, &Shape3};
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(swatchNames[i], this);
        caption->setGeometry(8 + i * 60, 94, 58, 16);
        *swatches[i] = new ColorSwatch(this);
        (*swatches[i])->setObjectName(QString("Shape%1").arg(i + 1));
        (*swatches[i])->setGeometry(8 + i * 60, 112, 52, 24);
        (*swatches[i])->setToolTip(QString("Click to choose %1").arg(swatchNames[i]));
    }

    NormalPanel = new QWidget(this);
    NormalPanel->setObjectName("NormalPanel");
    NormalPanel->setGeometry(0, kCommonHeight, kWidth, 32);
    Image3 = new BitmapView(NormalPanel);
    Image3->setObjectName("Image3");
    Image3->setGeometry(8, 4, preview::kBarWidth, preview::kBarHeight);

    AdvancedPanel = new QWidget(this);
    AdvancedPanel->setObjectName("AdvancedPanel");
    AdvancedPanel->setGeometry(0, kCommonHeight, kWidth, 60);
    Image1 = new BitmapView(AdvancedPanel);
    Image1->setObjectName("Image1");
    Image1->setGeometry(8, 4, preview::kBarWidth, preview::kBarHeight);
    auto* tmplLabel = new QLabel("Template #", AdvancedPanel);
    tmplLabel->setGeometry(8, 32, 70, 20);
    SpinEdit1 = new QSpinBox(AdvancedPanel);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(1, 6);
    SpinEdit1->setGeometry(80, 30, 52, 24);
    if (auto* edit = SpinEdit1->findChild<QLineEdit*>())
        edit->setReadOnly(true);

    CustomPanel = new QWidget(this);
    CustomPanel->setObjectName("CustomPanel");
    CustomPanel->setGeometry(0, kCommonHeight, kWidth, 60);
    Image2 = new BitmapView(CustomPanel);
    Image2->setObjectName("Image2");
    Image2->setGeometry(8, 4, preview::kBarWidth, preview::kBarHeight);
    SpeedButton1 = new QToolButton(CustomPanel);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setText("Load Image");
    SpeedButton1->setIcon(ButtonPicture(Picture::Background));
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1->setGeometry(8, 30, 110, 26);

    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { Handle([this, id] { core_.StyleChosen(id); }); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_)
            Handle([this, on] { core_.TransparentChanged(on); });
    });
    connect(CheckBox1, &TransparentBox::mouseReleased, this,
            [this] { Handle([this] { core_.TransparentMouseReleased(); }); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncing_)
            Handle([this, v] { core_.LevelMoved(v); });
    });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int v) {
        if (!syncing_)
            Handle([this, v] { core_.TemplateChanged(v); });
    });
    connect(Shape1, &ColorSwatch::pressed, this, [this] { SwatchClicked(preview::kSwatchColor1); });
    connect(Shape2, &ColorSwatch::pressed, this, [this] { SwatchClicked(preview::kSwatchColor2); });
    connect(Shape3, &ColorSwatch::pressed, this,
            [this] { SwatchClicked(preview::kSwatchTextColor); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        if (!pickFile_)
            return;
        const std::optional<std::string> chosen = pickFile_(preview::kBitmapsFilter);
        Handle([this, &chosen] { core_.LoadImage(chosen); });
    });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    Sync();
}

void TIconBarForm::Handle(const std::function<void()>& handler) {
    RunHandler(this, handler);
    Sync();
}

void TIconBarForm::SwatchClicked(int which) {
    std::optional<model::Color> colour;
    if (pickColor_)
        colour = pickColor_(core_.SwatchColor(which));
    Handle([this, which, colour] { core_.SwatchChosen(which, colour); });
}

void TIconBarForm::Load() {
    Handle([this] { core_.Open(); });
}

void TIconBarForm::Open() {
    Load();
    exec();
}

void TIconBarForm::Sync() {
    const QScopedValueRollback<bool> syncing(syncing_, true);
    StyleButtons[core_.Style]->setChecked(true);
    CheckBox1->setChecked(core_.Transparent);
    ScrollBar1->setEnabled(core_.LevelEnabled);
    ScrollBar1->setValue(core_.Level);
    SpinEdit1->setValue(core_.Template);
    Shape1->SetColor(ToQColor(core_.SwatchColor(preview::kSwatchColor1)));
    Shape2->SetColor(ToQColor(core_.SwatchColor(preview::kSwatchColor2)));
    Shape3->SetColor(ToQColor(core_.SwatchColor(preview::kSwatchTextColor)));
    preview::IconBar& bars = core_.Bars();
    Image3->Show(bars.Image3);
    Image1->Show(bars.Image1);
    Image2->Show(bars.Image2);
    QWidget* panels[] = {NormalPanel, AdvancedPanel, CustomPanel};
    for (int i = 0; i < 3; ++i)
        panels[i]->setVisible(i == core_.Style);
    setFixedSize(kWidth, kCommonHeight + panels[core_.Style]->height());
}

} // namespace tessaro::ui
