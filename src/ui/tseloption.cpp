#include "ui/tseloption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "ui/widgets.h"

namespace tessaro::ui {

namespace {

QLabel* Label(QWidget* parent, const char* text, int x, int y, int pixels, bool bold = false) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    QFont f = l->font();
    f.setPixelSize(pixels);
    f.setBold(bold);
    l->setFont(f);
    l->adjustSize();
    l->move(x, y);
    return l;
}

QComboBox* WeightBox(QWidget* parent, int x, int y) {
    auto* c = new QComboBox(parent);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert); // a typed weight is a value, not a new item
    c->addItems({"bold", "normal"});
    c->setCurrentIndex(0);
    c->setGeometry(x, y, 81, 21);
    return c;
}

} // namespace

TSelOption::TSelOption(model::Document& doc, PickColorFn pickColor, QWidget* parent)
    : QDialog(parent, Qt::Tool), doc_(doc), pickColor_(std::move(pickColor)) {
    setObjectName("TSelOption");
    setWindowTitle("Selected/Unselected State Options");
    setFixedSize(362, 264);

    CaptionLabel = new QLabel("Default Settings", this);
    {
        QFont f = CaptionLabel->font();
        f.setPixelSize(24);
        f.setBold(true);
        CaptionLabel->setFont(f);
    }
    // Wide enough for "Messaging Counts E-mail"; the heading needs no frame.
    CaptionLabel->setGeometry(8, 16, 346, 29);

    Label(this, "Font Size", 16, 60, 13);
    FontSizeSpin = new QSpinBox(this);
    FontSizeSpin->setRange(package::kMinFontSize, package::kMaxFontSize);
    FontSizeSpin->setValue(14);
    FontSizeSpin->findChild<QLineEdit*>()->setReadOnly(true); // arrows only
    FontSizeSpin->setGeometry(80, 56, 41, 22);

    Label(this, "Selected State", 104, 80, 19);
    Label(this, "FontColor", 16, 114, 13);
    Shape1 = new ColorSwatch(this);
    Shape1->setGeometry(80, 112, 41, 17);
    Label(this, "Font Weight", 184, 114, 13);
    FontWeightBox = WeightBox(this, 264, 112);

    Label5 = Label(this, "BackGround Color", 8, 146, 13);
    Shape2 = new ColorSwatch(this);
    Shape2->setGeometry(136, 144, 41, 17);
    CheckBox2 = new QCheckBox("Use Transparent BackGround", this);
    CheckBox2->setGeometry(192, 144, 169, 17);

    Label(this, "Unselected State", 96, 168, 19);
    Label(this, "FontColor", 16, 202, 13);
    Shape3 = new ColorSwatch(this);
    Shape3->setGeometry(80, 200, 41, 17);
    Label(this, "Font Weight", 128, 202, 13);
    UnselFontWeightBox = WeightBox(this, 208, 200);

    Button2 = new QPushButton("Load From Current Scheme", this);
    {
        QFont f = Button2->font();
        f.setPixelSize(10);
        Button2->setFont(f);
    }
    Button2->setGeometry(136, 232, 137, 25);
    Button1 = new QPushButton("OK", this);
    Button1->setGeometry(280, 232, 75, 25);
    Button1->setDefault(true);

    connect(FontSizeSpin, &QSpinBox::valueChanged, this, [this](int v) {
        if (!loading_) package::SetFontSize(doc_, state_, v);
    });
    connect(FontWeightBox, &QComboBox::editTextChanged, this, [this](const QString& t) {
        if (!loading_) package::SetSelWeight(doc_, state_, ToDoc(t));
    });
    connect(UnselFontWeightBox, &QComboBox::editTextChanged, this, [this](const QString& t) {
        if (!loading_) package::SetUnselWeight(doc_, state_, ToDoc(t));
    });
    connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
        if (!loading_) package::SetTransparent(doc_, state_, on);
    });
    connect(Shape1, &ColorSwatch::pressed, this, [this] { Pick(Shape1, package::SetSelColor); });
    connect(Shape2, &ColorSwatch::pressed, this, [this] { Pick(Shape2, package::SetBgColor); });
    connect(Shape3, &ColorSwatch::pressed, this, [this] { Pick(Shape3, package::SetUnselColor); });
    connect(Button2, &QPushButton::clicked, this, [this] {
        package::LoadFromCurrentScheme(doc_, state_);
        ShowState();
    });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TSelOption::LoadDefaultFormats() {
    package::LoadDefaultFormats(doc_, state_);
    ShowState();
}

void TSelOption::LoadElementFormats(const std::string& caption) {
    package::LoadElementFormats(doc_, state_, caption);
    ShowState();
}

void TSelOption::ShowState() {
    loading_ = true;
    CaptionLabel->setText(FromDoc(state_.Caption));
    FontSizeSpin->setValue(state_.FontSize);
    FontWeightBox->setEditText(FromDoc(state_.SelWeight));
    UnselFontWeightBox->setEditText(FromDoc(state_.UnselWeight));
    Shape1->SetColor(ToQColor(state_.SelColor));
    Shape2->SetColor(ToQColor(state_.BgColor));
    Shape3->SetColor(ToQColor(state_.UnselColor));
    CheckBox2->setChecked(state_.Transparent);
    CheckBox2->setVisible(state_.BackgroundControls);
    Label5->setVisible(state_.BackgroundControls);
    Shape2->setVisible(state_.BackgroundControls);
    loading_ = false;
}

void TSelOption::Pick(ColorSwatch* swatch,
                      void (*apply)(model::Document&, package::StateFormats&, model::Color)) {
    if (!pickColor_) return;
    std::optional<QColor> c = pickColor_(swatch->Color());
    if (!c || !c->isValid()) return;
    apply(doc_, state_, FromQColor(*c));
    ShowState();
}

} // namespace tessaro::ui
