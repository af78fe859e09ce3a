#include "ui/widgets.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <cstdlib>
#include <new>

#include "formats/cp1251.h"

namespace tessaro::ui {

// ---------------------------------------------------------------- CommitEdit

CommitEdit::CommitEdit(QWidget* parent) : QLineEdit(parent) {}

void CommitEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Another window taking the focus (a message box, a dialog) is no leaving
    // of the field; the focus comes back to it afterwards.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    emit committed();
}

void CommitEdit::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit committed();
        if (numeric_) QApplication::beep();
        return;
    }
    if (numeric_) {
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            emit stepped(key == Qt::Key_Up ? 1 : -1);
            return;
        }
        const QString t = e->text();
        if (!t.isEmpty() && t[0].isPrint()) {
            const QChar c = t[0];
            const QChar dec = locale().decimalPoint().isEmpty() ? QChar('.') : locale().decimalPoint()[0];
            if (!(c.isDigit() && c.unicode() < 128) && c != '+' && c != '-' && c != dec) {
                QApplication::beep();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(e);
}

// --------------------------------------------------------------- NumberField

NumberField::NumberField(QWidget* parent) : QWidget(parent) {
    edit_ = new CommitEdit(this);
    edit_->numeric_ = true;
    // Four digits must fit the 41-pixel field beside its arrows.
    edit_->setStyleSheet("QLineEdit { padding: 0px; }");
    edit_->setTextMargins(0, 0, 0, 0);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(7, 5));
    }
    connect(edit_, &QLineEdit::textEdited, this, &NumberField::edited);
    connect(edit_, &CommitEdit::committed, this, &NumberField::committed);
    connect(edit_, &CommitEdit::stepped, this, &NumberField::stepped);
    connect(up_, &QToolButton::clicked, this, [this] { emit stepped(1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

QString NumberField::text() const { return edit_->text(); }

void NumberField::SetText(const QString& text) {
    if (edit_->text() != text) edit_->setText(text);
}

void NumberField::resizeEvent(QResizeEvent*) {
    const int w = width(), h = height(), bw = 12;
    edit_->setGeometry(0, 0, w - bw, h);
    up_->setGeometry(w - bw, 0, bw, h / 2);
    down_->setGeometry(w - bw, h / 2, bw, h - h / 2);
}

// --------------------------------------------------------------- ColorSwatch

ColorSwatch::ColorSwatch(QWidget* parent) : QFrame(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::SetColor(QColor c) {
    color_ = c;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), color_);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSwatch::mousePressEvent(QMouseEvent*) { emit pressed(); }

// --------------------------------------------------------------- SurfaceView

SurfaceView::SurfaceView(bool whiteIsClear, QWidget* parent)
    : QWidget(parent), whiteIsClear_(whiteIsClear) {
    if (whiteIsClear_) setAttribute(Qt::WA_TranslucentBackground);
}

void SurfaceView::SetBitmap(const platform::Bitmap& bmp) {
    if (!whiteIsClear_ || bmp.Empty()) {
        image_ = ToQImage(bmp);
    } else {
        // The layout surface is as tall as the longest layout and mostly
        // white: it starts clear (zeroed memory, whose pages cost nothing
        // until written) and only rows with something on them are converted,
        // opaque pixels kept and pure white left clear.
        const int w = bmp.Width();
        const int h = bmp.Height();
        const std::size_t stride = std::size_t(w) * 4;
        auto* data = static_cast<uchar*>(std::calloc(stride * std::size_t(h), 1));
        if (!data) throw std::bad_alloc();
        QImage img(data, w, h, qsizetype(stride), QImage::Format_ARGB32,
                   [](void* p) { std::free(p); }, data);
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* src = bmp.Row(y);
            std::uint32_t all = 0xFFFFFFFFu;
            for (int x = 0; x < w; ++x) all &= src[x];
            if ((all | 0xFF000000u) == 0xFFFFFFFFu) continue; // all white: stays clear
            auto* dst = reinterpret_cast<quint32*>(data + stride * std::size_t(y));
            for (int x = 0; x < w; ++x) {
                const quint32 p = src[x] | 0xFF000000u;
                dst[x] = p == 0xFFFFFFFFu ? 0u : p;
            }
        }
        image_ = std::move(img);
    }
    update();
}

void SurfaceView::paintEvent(QPaintEvent* e) {
    if (image_.isNull()) return;
    QPainter p(this);
    p.drawImage(e->rect(), image_, e->rect());
}

// ----------------------------------------------------------------- helpers

QColor ToQColor(model::Color c) {
    return QColor(platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c));
}

model::Color FromQColor(const QColor& c) { return platform::Rgb(c.red(), c.green(), c.blue()); }

QImage ToQImage(const platform::Bitmap& bmp) {
    if (bmp.Empty()) return {};
    return QImage(reinterpret_cast<const uchar*>(bmp.Data()), bmp.Width(), bmp.Height(),
                  bmp.Width() * 4, QImage::Format_RGB32)
        .copy();
}

QString FromDoc(const std::string& bytes) {
    return QString::fromStdString(formats::Cp1251ToUtf8(bytes));
}

std::string ToDoc(const QString& text) { return formats::Utf8ToCp1251(text.toStdString()); }

void UseDesignerFont() {
    QFont font("Liberation Sans");
    font.setPixelSize(11);
    QApplication::setFont(font);
}

// ---------------------------------------------------------------- pictures

namespace {

QPixmap Canvas() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    return pm;
}

void Arrow(QPainter& p, bool up, QColor c) {
    QPainterPath path;
    if (up) {
        path.moveTo(8, 2);
        path.lineTo(14, 9);
        path.lineTo(10.5, 9);
        path.lineTo(10.5, 14);
        path.lineTo(5.5, 14);
        path.lineTo(5.5, 9);
        path.lineTo(2, 9);
    } else {
        path.moveTo(8, 14);
        path.lineTo(14, 7);
        path.lineTo(10.5, 7);
        path.lineTo(10.5, 2);
        path.lineTo(5.5, 2);
        path.lineTo(5.5, 7);
        path.lineTo(2, 7);
    }
    path.closeSubpath();
    p.setPen(QPen(c.darker(160), 1));
    p.setBrush(c);
    p.drawPath(path);
}

} // namespace

QIcon ButtonPicture(Picture which) {
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case Picture::Add:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 150, 60));
        p.drawRoundedRect(QRectF(6, 1.5, 4, 13), 1, 1);
        p.drawRoundedRect(QRectF(1.5, 6, 13, 4), 1, 1);
        break;
    case Picture::Up: Arrow(p, true, QColor(50, 100, 200)); break;
    case Picture::Down: Arrow(p, false, QColor(50, 100, 200)); break;
    case Picture::Remove:
        p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case Picture::Background:
        // A framed landscape: sky, hill and sun.
        p.setPen(QPen(QColor(70, 70, 70), 1));
        p.setBrush(QColor(150, 200, 245));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 160, 70));
        p.drawEllipse(QRectF(-1, 8.5, 12, 9));
        p.setBrush(QColor(250, 200, 40));
        p.drawEllipse(QRectF(9.5, 4, 3.5, 3.5));
        break;
    case Picture::Options:
        // Three slider bars.
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(2, 4 + 4 * i), QPointF(14, 4 + 4 * i));
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(240, 150, 40));
        p.drawRect(QRectF(9, 2.5, 3, 3));
        p.drawRect(QRectF(4, 6.5, 3, 3));
        p.drawRect(QRectF(7, 10.5, 3, 3));
        break;
    case Picture::Undo:
    case Picture::Redo: {
        // A hooked arrow turning back (left for undo, right for redo).
        if (which == Picture::Redo) p.setTransform(QTransform(-1, 0, 0, 1, 16, 0));
        QPainterPath hook;
        hook.moveTo(4, 6);
        hook.lineTo(10, 6);
        hook.cubicTo(15, 6, 15, 13, 10, 13);
        hook.lineTo(6, 13);
        p.setPen(QPen(QColor(50, 100, 200), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 100, 200));
        p.drawPolygon(QPolygonF({QPointF(1, 6), QPointF(6, 1.5), QPointF(6, 10.5)}));
        break;
    }
    }
    p.end();
    return QIcon(pm);
}

} // namespace tessaro::ui
