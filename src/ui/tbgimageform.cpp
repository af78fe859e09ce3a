#include "ui/tbgimageform.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/stylewidgets.h"

namespace tessaro::ui {

// The picture being cropped, at its own size.
class CropCanvas : public QWidget {
  public:
    explicit CropCanvas(QWidget* parent) : QWidget(parent) {}
    void SetImage(const QImage& img) {
        image_ = img;
        setFixedSize(img.size());
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, image_);
    }

  private:
    QImage image_;
};

// The frame (a 3-pixel outline, clear inside) or the handle (a filled
// square), in the highlight-text colour; forwards the mouse to the window.
class CropShape : public QWidget {
  public:
    CropShape(TBGImageForm* form, bool handle, QWidget* parent)
        : QWidget(parent), form_(form), handle_(handle) {
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QColor c = palette().color(QPalette::HighlightedText);
        if (handle_) {
            p.fillRect(rect(), c);
            return;
        }
        const int w = width(), h = height();
        p.fillRect(0, 0, w, 3, c);
        p.fillRect(0, h - 3, w, 3, c);
        p.fillRect(0, 0, 3, h, c);
        p.fillRect(w - 3, 0, 3, h, c);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton)
            return;
        const QPoint pos = e->position().toPoint();
        if (handle_)
            form_->Shape2MouseDown();
        else
            form_->Shape1MouseDown(pos.x(), pos.y());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint pos = e->position().toPoint();
        const bool down = e->buttons() & Qt::LeftButton;
        if (handle_)
            form_->Shape2MouseMove(pos.x(), down);
        else
            form_->Shape1MouseMove(pos.x(), pos.y(), down);
    }

  private:
    TBGImageForm* form_;
    bool handle_;
};

TBGImageForm::TBGImageForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("TBGImageForm");
    setWindowTitle("Select part of image.");
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    canvas_ = new CropCanvas(nullptr);
    Image1 = canvas_;
    Image1->setObjectName("Image1");
    Image1->setFixedSize(images::kScreenWidth, images::kScreenHeight);
    ScrollBox1->setWidget(Image1);
    Shape1 = new CropShape(this, false, Image1);
    Shape1->setObjectName("Shape1");
    Shape2 = new CropShape(this, true, Image1);
    Shape2->setObjectName("Shape2");
    layout->addWidget(ScrollBox1, 1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(41);
    Panel1->setAutoFillBackground(true);
    auto* strip = new QHBoxLayout(Panel1);
    strip->setContentsMargins(8, 8, 8, 8);
    auto* hint =
        new QLabel("Drag the frame to move it and its corner square to resize it.", Panel1);
    hint->setObjectName("HintLabel");
    strip->addWidget(hint);
    strip->addStretch(1);
    Button1 = new QPushButton("OK", Panel1);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    CancelButton = new QPushButton("Cancel", Panel1);
    CancelButton->setObjectName("CancelButton");
    strip->addWidget(Button1);
    strip->addWidget(CancelButton);
    layout->addWidget(Panel1);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    SyncShapes();
}

TBGImageForm::~TBGImageForm() = default;

void TBGImageForm::SetPicture(const platform::Bitmap& picture) {
    picture_ = picture;
    canvas_->SetImage(ToQImage(picture_));
    frame_.SetPicture({0, 0, picture_.Width(), picture_.Height()});
    frame_.Show();
    SyncShapes();
}

std::optional<platform::Bitmap> TBGImageForm::Crop(const platform::Bitmap& picture) {
    SetPicture(picture);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    if (exec() == QDialog::Accepted)
        return result_;
    return std::nullopt;
}

void TBGImageForm::showEvent(QShowEvent* e) {
    frame_.Show();
    SyncShapes();
    QDialog::showEvent(e);
}

void TBGImageForm::SyncShapes() {
    const images::Rect f = frame_.Frame();
    const images::Rect h = frame_.Handle();
    Shape1->setGeometry(f.Left, f.Top, f.Width, f.Height);
    Shape2->setGeometry(h.Left, h.Top, h.Width, h.Height);
    Shape2->raise();
    if (frame_.FrameShowsMoveCursor())
        Shape1->setCursor(Qt::SizeAllCursor);
    if (frame_.HandleShowsResizeCursor())
        Shape2->setCursor(Qt::SizeFDiagCursor);
}

void TBGImageForm::Shape1MouseDown(int x, int y) {
    frame_.FrameMouseDown(x, y);
}

void TBGImageForm::Shape1MouseMove(int x, int y, bool leftDown) {
    frame_.FrameMouseMove(x, y, leftDown);
    SyncShapes();
}

void TBGImageForm::Shape2MouseDown() {
    frame_.HandleMouseDown();
}

void TBGImageForm::Shape2MouseMove(int x, bool leftDown) {
    frame_.HandleMouseMove(x, leftDown);
    SyncShapes();
}

void TBGImageForm::Button1Click() {
    if (RunHandler(this, [this] { result_ = images::CropPicture(picture_, frame_.Selection()); }))
        accept();
}

} // namespace tessaro::ui
