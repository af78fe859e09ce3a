#include "ui/tanalogclockform.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>

#include "preview/clock.h"
#include "preview/preview.h"
#include "ui/stylewidgets.h"

namespace tessaro::ui {

namespace {
constexpr int kWidth = 280;
constexpr int kRow = 28;
constexpr int kTop = 10;
constexpr int kFieldX = 150;
} // namespace

QSpinBox* TAnalogClockForm::AddField(const char* caption, int row, int min, int max) {
    auto* label = new QLabel(caption, this);
    label->setGeometry(10, kTop + row * kRow + 3, kFieldX - 14, 20);
    auto* spin = new BoundedSpinBox(this);
    spin->setRange(min, max);
    spin->setGeometry(kFieldX, kTop + row * kRow, 62, 24);
    return spin;
}

TAnalogClockForm::TAnalogClockForm(preview::Preview& preview, PickColorFn pickColor,
                                   std::function<int()> heightFieldMax,
                                   std::function<void(int)> setHeightField, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), core_(preview),
      pickColor_(std::move(pickColor)), heightFieldMax_(std::move(heightFieldMax)),
      setHeightField_(std::move(setHeightField)) {
    setObjectName("TAnalogClockForm");
    setWindowTitle("AnalogClock Style");
    setModal(true);

    SpinEdit1 = AddField("Size", 0, 14, 176);
    SpinEdit1->setObjectName("SpinEdit1");
    SizeLabel = new QLabel(" x40", this);
    SizeLabel->setObjectName("SizeLabel");
    SizeLabel->setGeometry(kFieldX + 66, kTop + 3, 60, 20);
    SpinEdit2 = AddField("X Position", 1, 0, 136);
    SpinEdit2->setObjectName("SpinEdit2");
    SpinEdit4 = AddField("Hour Arrow Width", 2, 1, 10);
    SpinEdit4->setObjectName("SpinEdit4");
    SpinEdit5 = AddField("Minute Arrow Width", 3, 1, 10);
    SpinEdit5->setObjectName("SpinEdit5");
    SpinEdit3 = AddField("Arrows Length", 4, 1, 100);
    SpinEdit3->setObjectName("SpinEdit3");
    auto* percent = new QLabel("%", this);
    percent->setGeometry(kFieldX + 66, kTop + 4 * kRow + 3, 20, 20);

    const char* colourNames[] = {"Hour Arrow Color", "Minute Arrow Color"};
    ColorSwatch** swatches[] = {&Shape1, &Shape2};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(colourNames[i], this);
        label->setGeometry(10, kTop + (5 + i) * kRow + 3, kFieldX - 14, 20);
        *swatches[i] = new ColorSwatch(this);
        (*swatches[i])->setObjectName(QString("Shape%1").arg(i + 1));
        (*swatches[i])->setGeometry(kFieldX, kTop + (5 + i) * kRow, 62, 22);
    }

    RadioGroup1 = new QGroupBox("Face Style", this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setGeometry(10, kTop + 7 * kRow, kWidth - 20, 64);
    auto* group = new QButtonGroup(this);
    const char* faceNames[] = {"None - Face is on The Background Image", "Advanced"};
    for (int i = 0; i < 2; ++i) {
        FaceButtons[i] = new QRadioButton(faceNames[i], RadioGroup1);
        FaceButtons[i]->move(8, 20 + i * 20);
        FaceButtons[i]->adjustSize(); // the click area is the button's text
        group->addButton(FaceButtons[i], i);
    }

    AdvancedPanel = new QWidget(this);
    AdvancedPanel->setObjectName("AdvancedPanel");
    auto* tmplLabel = new QLabel("Templatr #", AdvancedPanel);
    tmplLabel->setGeometry(10, 5, 80, 20);
    SpinEdit6 = new QSpinBox(AdvancedPanel);
    SpinEdit6->setObjectName("SpinEdit6");
    SpinEdit6->setRange(1, 6);
    SpinEdit6->setGeometry(86, 2, 52, 24);
    if (auto* edit = SpinEdit6->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    auto* colourLabel = new QLabel("Color", AdvancedPanel);
    colourLabel->setGeometry(160, 5, 40, 20);
    Shape3 = new ColorSwatch(AdvancedPanel);
    Shape3->setObjectName("Shape3");
    Shape3->setGeometry(200, 3, 60, 22);

    Image1 = new BitmapView(this);
    Image1->setObjectName("Image1");
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    // Enter in a number field redraws the clock; it must not press "OK".
    Button1->setAutoDefault(false);

    // The label follows the text as typed, also past the field's bounds; the
    // size (and the X position maximum) follows each whole number the field
    // accepts.
    connect(static_cast<BoundedSpinBox*>(SpinEdit1), &BoundedSpinBox::typed, this,
            [this](const QString& text) {
                if (syncing_)
                    return;
                core_.SizeLabel = " x" + text.trimmed().toStdString();
                SizeLabel->setText(QString::fromStdString(core_.SizeLabel));
            });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int v) {
        if (!syncing_)
            Handle([this, v] { core_.SizeTextChanged(std::to_string(v)); });
    });
    auto bind = [this](QSpinBox* spin, preview::SpinField preview::Clock::*field) {
        connect(spin, &QSpinBox::valueChanged, this, [this, field](int v) {
            if (!syncing_)
                (core_.Fields().*field).Set(v);
        });
    };
    bind(SpinEdit2, &preview::Clock::XPosition);
    bind(SpinEdit4, &preview::Clock::HourWidth);
    bind(SpinEdit5, &preview::Clock::MinuteWidth);
    bind(SpinEdit3, &preview::Clock::Length);
    for (QSpinBox* spin : {SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4, SpinEdit5, SpinEdit6})
        connect(spin, &QSpinBox::editingFinished, this, [this] {
            if (!syncing_ && isVisible())
                Handle([this] { core_.FieldCommitted(); });
        });
    connect(SpinEdit6, &QSpinBox::valueChanged, this, [this](int v) {
        if (!syncing_)
            Handle([this, v] { core_.TemplateChanged(v); });
    });
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        Handle([this, id] { core_.FaceStyleChosen(id, HeightFieldMax()); });
    });
    connect(Shape1, &ColorSwatch::pressed, this,
            [this] { SwatchClicked(preview::kSwatchHourHand); });
    connect(Shape2, &ColorSwatch::pressed, this,
            [this] { SwatchClicked(preview::kSwatchMinuteHand); });
    connect(Shape3, &ColorSwatch::pressed, this, [this] { SwatchClicked(preview::kSwatchFace); });
    connect(Button1, &QPushButton::clicked, this, [this] {
        int size = 0;
        if (!RunHandler(this, [this, &size] { size = core_.Ok(); }))
            return;
        if (setHeightField_)
            setHeightField_(size);
        accept();
    });

    Sync();
}

int TAnalogClockForm::HeightFieldMax() {
    if (heightFieldMax_)
        return heightFieldMax_();
    // The panel's height field bound, worked out from the stored neighbours.
    model::Document& doc = core_.Doc();
    const int i = doc.EditIndex;
    if (i < 0 || i >= model::kMaxEntries)
        return model::kLayoutLimit;
    const int limit = doc.Plugins[i + 1].Used ? doc.Plugins[i + 1].Top : model::kLayoutLimit;
    return limit - doc.Plugins[i].Top;
}

void TAnalogClockForm::Handle(const std::function<void()>& handler) {
    RunHandler(this, handler);
    Sync();
}

void TAnalogClockForm::SwatchClicked(int which) {
    std::optional<model::Color> colour;
    if (pickColor_)
        colour = pickColor_(core_.SwatchColor(which));
    Handle([this, which, colour] { core_.SwatchChosen(which, colour); });
}

void TAnalogClockForm::Load() {
    Handle([this] { core_.Open(HeightFieldMax()); });
}

void TAnalogClockForm::Open() {
    Load();
    exec();
}

void TAnalogClockForm::Sync() {
    const QScopedValueRollback<bool> syncing(syncing_, true);
    preview::Clock& c = core_.Fields();
    // Only what differs is written, so that text being typed stays.
    auto put = [](QSpinBox* spin, const preview::SpinField& f) {
        const int max = std::max(f.Min, f.Max);
        if (spin->minimum() != f.Min || spin->maximum() != max)
            spin->setRange(f.Min, max);
        if (spin->value() != f.Value)
            spin->setValue(f.Value);
        spin->setEnabled(f.Enabled);
    };
    put(SpinEdit1, c.Size);
    put(SpinEdit2, c.XPosition);
    put(SpinEdit4, c.HourWidth);
    put(SpinEdit5, c.MinuteWidth);
    put(SpinEdit3, c.Length);
    put(SpinEdit6, c.Template);
    SizeLabel->setText(QString::fromStdString(core_.SizeLabel));
    Shape1->SetColor(ToQColor(c.HourColor));
    Shape2->SetColor(ToQColor(c.MinuteColor));
    Shape3->SetColor(ToQColor(c.FaceColor));
    FaceButtons[c.FaceStyle == preview::kFaceAdvanced ? 1 : 0]->setChecked(true);

    int y = RadioGroup1->geometry().bottom() + 6;
    AdvancedPanel->setVisible(core_.AdvancedPanelVisible);
    if (core_.AdvancedPanelVisible) {
        AdvancedPanel->setGeometry(10, y, kWidth - 20, 28);
        y += 34;
    }
    const int size = c.Size.Value;
    Image1->setGeometry((kWidth - preview::kWidth) / 2, y, preview::kWidth, size);
    Image1->Show(c.Image1);
    y += size + 8;
    Button1->setGeometry(kWidth - 90, y, 80, 26);
    setFixedSize(kWidth, y + 36);
}

void TAnalogClockForm::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

TAnalogClockForm::~TAnalogClockForm() {
    for (QSpinBox* spin : {SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4, SpinEdit5, SpinEdit6})
        disconnect(spin, nullptr, this, nullptr);
}

} // namespace tessaro::ui
