#include "ui/tadvopt.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>

#include "images/background.h"
#include "ui/stylewidgets.h"

namespace tessaro::ui {

namespace {
constexpr int kPanelWidth = 240;
constexpr int kPanel1Height = 196;
constexpr int kPanel2Height = 44;
} // namespace

Tadvopt::Tadvopt(model::Document& doc, PickFileFn pickFile, QWidget* parent)
    : QDialog(parent, Qt::Tool), doc_(doc), pickFile_(std::move(pickFile)) {
    setObjectName("Tadvopt");
    setWindowTitle("Advanced Options");
    setModal(true);
    setSizeGripEnabled(true);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, kPanelWidth, kPanel1Height);
    Label1 = new QLabel("Backgroud Image", Panel1);
    Label1->setGeometry(8, 10, 120, 20);
    SpeedButton1 = new QToolButton(Panel1);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setIcon(ButtonPicture(Picture::Background));
    SpeedButton1->setIconSize(QSize(20, 20));
    SpeedButton1->setToolTip("Choose the entry's background picture");
    SpeedButton1->setGeometry(132, 6, 28, 26);
    Button1 = new QPushButton("Del", Panel1);
    Button1->setObjectName("Button1");
    Button1->setGeometry(166, 6, 66, 26);
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setPlainText(
        "Notice: if you want to change whole \nbackground image then your plugin's \n"
        "height should be 200 and image size \nshould be 176x200.");
    Memo1->setGeometry(8, 40, kPanelWidth - 16, 78);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Button2 = new QPushButton("Use transparent background", Panel1);
    Button2->setObjectName("Button2");
    Button2->setGeometry(8, 126, kPanelWidth - 16, 28);
    Button3 = new QPushButton("Don't use transparent background", Panel1);
    Button3->setObjectName("Button3");
    Button3->setGeometry(8, 160, kPanelWidth - 16, 28);

    Panel2 = new QWidget(this);
    Panel2->setObjectName("Panel2");
    Panel2->setGeometry(0, 0, kPanelWidth, kPanel2Height);
    Label2 = new QLabel("Icons Count", Panel2);
    Label2->setGeometry(8, 12, 90, 20);
    SpinEdit1 = new QSpinBox(Panel2);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(images::kIconsCountMin, images::kIconsCountMax);
    SpinEdit1->setValue(images::kIconsCountStart);
    SpinEdit1->setGeometry(104, 8, 60, 26);
    // Arrows only: the number cannot be typed.
    if (auto* edit = SpinEdit1->findChild<QLineEdit*>())
        edit->setReadOnly(true);

    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunHandler(this, [this] { images::ClearEntryPicture(doc_); }); });
    connect(Button2, &QPushButton::clicked, this, [this] {
        if (RunHandler(this, [this] { images::UseTransparentBackground(doc_); }))
            accept();
    });
    connect(Button3, &QPushButton::clicked, this, [this] {
        if (RunHandler(this, [this] { images::DontUseTransparentBackground(doc_); }))
            accept();
    });
    connect(SpinEdit1, &QSpinBox::valueChanged, this,
            [this](int v) { RunHandler(this, [this, v] { images::SetIconsCount(doc_, v); }); });

    ShowSection(images::AdvancedSection::Background);
}

void Tadvopt::ShowSection(images::AdvancedSection section) {
    Panel1->hide();
    Panel2->hide();
    QWidget* panel = section == images::AdvancedSection::IconsCount ? Panel2 : Panel1;
    if (section == images::AdvancedSection::None)
        return;
    panel->show();
    // A sizeable tool window: it opens at the panel's size and may grow.
    setMinimumSize(panel->size());
    resize(panel->size());
}

bool Tadvopt::OpenFor(const std::string& kind) {
    const images::AdvancedSection section = images::AdvancedSectionFor(kind);
    if (section == images::AdvancedSection::None)
        return false;
    ShowSection(section);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    exec();
    return true;
}

void Tadvopt::SpeedButton1Click() {
    if (!pickFile_)
        return;
    const std::optional<std::string> chosen = pickFile_(images::kGraphicFilesFilter);
    if (!chosen)
        return;
    if (RunHandler(this, [&] { images::SetEntryPicture(doc_, *chosen); }))
        accept();
}

} // namespace tessaro::ui
