#include "ui/tbgimageform.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/stylewidgets.h"

namespace tessaro::ui {

// The picture being cropped, at the window's zoom.
class CropCanvas : public QWidget {
  public:
    explicit CropCanvas(QWidget* parent) : QWidget(parent) {}
    void SetImage(const QImage& img, const images::CropZoom& zoom) {
        image_ = img;
        SetZoom(zoom);
    }
    void SetZoom(const images::CropZoom& zoom) {
        const QSize size(zoom.ToView(image_.width()), zoom.ToView(image_.height()));
        // Made smaller with smoothing (only the view), larger pixel by pixel.
        shown_ = zoom.IsOne() ? image_
                              : image_.scaled(size, Qt::IgnoreAspectRatio,
                                              zoom.Num() < zoom.Den() ? Qt::SmoothTransformation
                                                                      : Qt::FastTransformation);
        setFixedSize(size);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, shown_);
    }

  private:
    QImage image_;
    QImage shown_;
};

// The frame (a 3-pixel outline, clear inside) or the handle (a filled
// square), in the highlight-text colour with a dark line on each side so it
// shows on light pictures too; forwards the mouse to the window in picture
// coordinates.
class CropShape : public QWidget {
  public:
    CropShape(TBGImageForm* form, bool handle, QWidget* parent)
        : QWidget(parent), form_(form), handle_(handle) {
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QColor light = palette().color(QPalette::HighlightedText);
        const QColor dark = light.lightness() > 96 ? QColor(0, 0, 0) : QColor(255, 255, 255);
        const int w = width(), h = height();
        if (handle_) {
            p.fillRect(rect(), dark);
            p.fillRect(1, 1, w - 2, h - 2, light);
            return;
        }
        auto outline = [&](int inset, int thick, const QColor& c) {
            p.fillRect(inset, inset, w - 2 * inset, thick, c);
            p.fillRect(inset, h - inset - thick, w - 2 * inset, thick, c);
            p.fillRect(inset, inset, thick, h - 2 * inset, c);
            p.fillRect(w - inset - thick, inset, thick, h - 2 * inset, c);
        };
        outline(0, 1, dark);
        outline(1, 3, light);
        outline(4, 1, dark);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton)
            return;
        const QPoint pos = InPicture(e);
        if (handle_)
            form_->Shape2MouseDown();
        else
            form_->Shape1MouseDown(pos.x(), pos.y());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint pos = InPicture(e);
        const bool down = e->buttons() & Qt::LeftButton;
        if (handle_)
            form_->Shape2MouseMove(pos.x(), down);
        else
            form_->Shape1MouseMove(pos.x(), pos.y(), down);
    }

  private:
    // The pointer in picture pixels, relative to the frame or the handle.
    QPoint InPicture(QMouseEvent* e) const {
        const QPoint onCanvas = mapToParent(e->position().toPoint());
        const images::CropZoom& z = form_->Zoom();
        const images::Rect r = handle_ ? form_->Frame().Handle() : form_->Frame().Frame();
        return {z.ToPicture(onCanvas.x()) - r.Left, z.ToPicture(onCanvas.y()) - r.Top};
    }

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
    auto zoomButton = [&](QToolButton*& b, const char* name, const QString& text, const QString& tip) {
        b = new QToolButton(Panel1);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        strip->addWidget(b);
    };
    zoomButton(ZoomOutButton, "ZoomOutButton", "-", "Zoom out");
    ZoomLabel = new QLabel(Panel1);
    ZoomLabel->setObjectName("ZoomLabel");
    ZoomLabel->setMinimumWidth(40);
    ZoomLabel->setAlignment(Qt::AlignCenter);
    strip->addWidget(ZoomLabel);
    zoomButton(ZoomInButton, "ZoomInButton", "+", "Zoom in");
    zoomButton(ZoomFitButton, "ZoomFitButton", "Fit", "Show the whole picture");
    zoomButton(ZoomOneButton, "ZoomOneButton", "1:1", "Show the picture at its own size");
    strip->addSpacing(12);
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
    connect(ZoomOutButton, &QToolButton::clicked, this, [this] { SetZoom(zoom_.Out()); });
    connect(ZoomInButton, &QToolButton::clicked, this, [this] { SetZoom(zoom_.In()); });
    connect(ZoomFitButton, &QToolButton::clicked, this, [this] { ZoomToFit(); });
    connect(ZoomOneButton, &QToolButton::clicked, this, [this] { SetZoom({}); });
    SetZoom({});
}

TBGImageForm::~TBGImageForm() = default;

void TBGImageForm::SetPicture(const platform::Bitmap& picture) {
    picture_ = picture;
    canvas_->SetImage(ToQImage(picture_), zoom_);
    frame_.SetPicture({0, 0, picture_.Width(), picture_.Height()});
    frame_.Show();
    if (PictureLargerThanArea())
        ZoomToFit();
    else
        SetZoom({});
}

bool TBGImageForm::PictureLargerThanArea() const {
    const QSize area = ScrollBox1->maximumViewportSize();
    return picture_.Width() > area.width() || picture_.Height() > area.height();
}

void TBGImageForm::ZoomToFit() {
    const QSize area = ScrollBox1->maximumViewportSize();
    SetZoom(images::CropZoom::Fit(picture_.Width(), picture_.Height(), area.width(), area.height()));
}

void TBGImageForm::SetZoom(images::CropZoom zoom) {
    zoom_ = zoom;
    canvas_->SetZoom(zoom_);
    ZoomLabel->setText(QString::number(zoom_.Percent()) + "%");
    SyncShapes();
    const QRect f = Shape1->geometry();
    ScrollBox1->ensureVisible(f.center().x(), f.center().y(), f.width() / 2 + 8, f.height() / 2 + 8);
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
    if (PictureLargerThanArea())
        ZoomToFit();
    else
        SetZoom({});
    QDialog::showEvent(e);
}

void TBGImageForm::SyncShapes() {
    const images::Rect f = zoom_.ToView(frame_.Frame());
    Shape1->setGeometry(f.Left, f.Top, f.Width, f.Height);
    // A zoomed-out handle keeps a size the pointer can take, in the frame's
    // bottom-right corner.
    images::Rect h = zoom_.ToView(frame_.Handle());
    if (h.Width < images::kHandleSize) {
        h = {f.Right() - images::kHandleSize, f.Bottom() - images::kHandleSize, images::kHandleSize,
             images::kHandleSize};
    }
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
