// assetgen: draws Tessaro's support pictures into a program folder.
//   assetgen OUTDIR
//   assetgen --icon SIZE FILE.png   (the program icon)
// Everything here is our own artwork, drawn from code so it can be rebuilt.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRawFont>

#include "platform/bitmap.h"
#include "platform/files.h"
#include "platform/picture.h"

using tessaro::platform::Bitmap;
using tessaro::platform::Color;

namespace {

constexpr double kPi = 3.14159265358979323846;
const char* kBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* kCondBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";

Bitmap FromImage(const QImage& src) {
    QImage img = src.convertToFormat(QImage::Format_RGB32);
    Bitmap b(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) b.Row(y)[x] = 0xFF000000u | (in[x] & 0xFFFFFFu);
    }
    return b;
}

// An ARGB drawing to a keyed bitmap: pixels less than half covered become the
// key colour; drawn pixels that happen to equal the key, or pure white (the
// preview's transparent colour), are nudged by one step.
Bitmap Keyed(const QImage& src, Color key) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    Bitmap b(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = in[x];
            Color c = key;
            if (qAlpha(p) >= 128) {
                c = tessaro::platform::Rgb(qRed(p), qGreen(p), qBlue(p));
                if (c == 0xFFFFFF) c = 0xFFFFFE;
                if (c == key) c = key == 0 ? 0x010101 : (key ^ 0x010000);
            }
            b.SetPixel(x, y, c);
        }
    }
    return b;
}

// A grey mask (red = green = blue) from the drawing's luminance.
Bitmap Mask(const QImage& src) {
    QImage img = src.convertToFormat(QImage::Format_RGB32);
    Bitmap b(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int v = qGray(img.pixel(x, y));
            b.SetPixel(x, y, tessaro::platform::Rgb(v, v, v));
        }
    return b;
}

QRawFont LoadFont(const char* fontFile, double px) {
    QRawFont font(QString::fromUtf8(fontFile), px, QFont::PreferNoHinting);
    if (!font.isValid()) throw std::runtime_error(std::string("font missing: ") + fontFile);
    return font;
}

QPainterPath TextPath(const QRawFont& font, const QString& text, QPointF at, bool centred = false) {
    QList<quint32> glyphs = font.glyphIndexesForString(text);
    QList<QPointF> adv = font.advancesForGlyphIndexes(glyphs);
    double width = 0;
    for (const QPointF& a : adv) width += a.x();
    QPainterPath path;
    double x = centred ? at.x() - width / 2 : at.x();
    for (int i = 0; i < glyphs.size(); ++i) {
        path.addPath(font.pathForGlyph(glyphs[i]).translated(x, at.y()));
        x += adv[i].x();
    }
    return path;
}

QImage NewImage(int w, int h, QColor fill, QImage::Format f = QImage::Format_RGB32) {
    QImage img(w, h, f);
    img.fill(fill);
    return img;
}

// ---------------------------------------------------------------- wallpaper
QImage Wallpaper() {
    QImage img = NewImage(176, 200, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 60, 200);
    sky.setColorAt(0.0, QColor(226, 238, 251));
    sky.setColorAt(0.55, QColor(186, 212, 243));
    sky.setColorAt(1.0, QColor(104, 150, 214));
    p.fillRect(img.rect(), sky);

    // Soft light in the upper right.
    QRadialGradient glow(150, 30, 110);
    glow.setColorAt(0, QColor(255, 255, 255, 150));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), glow);

    // Flowing ribbons sweeping up from the lower left.
    struct Ribbon {
        double y0, y1, bend, thick;
        QColor a, b;
    };
    const Ribbon ribbons[] = {
        {210, 95, 70, 34, QColor(40, 92, 190, 90), QColor(120, 200, 240, 40)},
        {225, 120, 40, 22, QColor(20, 60, 150, 110), QColor(90, 170, 230, 50)},
        {240, 150, 90, 16, QColor(255, 255, 255, 120), QColor(255, 255, 255, 20)},
        {205, 170, 30, 40, QColor(30, 70, 160, 70), QColor(60, 140, 220, 60)},
        {250, 135, 60, 6, QColor(255, 255, 255, 170), QColor(255, 255, 255, 40)},
    };
    for (const Ribbon& r : ribbons) {
        QPainterPath path;
        path.moveTo(-20, r.y0);
        path.cubicTo(40, r.y0 - r.bend, 110, r.y1 + r.bend * 0.6, 200, r.y1 - r.bend * 0.4);
        path.lineTo(200, r.y1 - r.bend * 0.4 + r.thick);
        path.cubicTo(110, r.y1 + r.bend * 0.6 + r.thick * 1.4, 40, r.y0 - r.bend + r.thick * 1.2,
                     -20, r.y0 + r.thick);
        path.closeSubpath();
        QLinearGradient g(0, 200, 176, 80);
        g.setColorAt(0, r.a);
        g.setColorAt(1, r.b);
        p.fillPath(path, g);
    }
    // A few out-of-focus lights.
    const double dots[][3] = {{28, 150, 9}, {58, 176, 5}, {140, 120, 7}, {160, 168, 11},
                              {100, 140, 4}, {18, 186, 4}};
    for (const auto& d : dots) {
        QRadialGradient b(d[0], d[1], d[2]);
        b.setColorAt(0, QColor(255, 255, 255, 120));
        b.setColorAt(0.7, QColor(255, 255, 255, 60));
        b.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(b);
        p.drawEllipse(QPointF(d[0], d[1]), d[2], d[2]);
    }
    return img;
}

// ---------------------------------------------------------------- about logo
QImage AboutLogo() {
    QImage img = NewImage(209, 209, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, 209);
    bg.setColorAt(0, QColor(18, 36, 84));
    bg.setColorAt(1, QColor(44, 22, 88));
    p.fillRect(img.rect(), bg);
    // Mosaic tiles: a 3 x 3 grid, slightly turned.
    const QColor tiles[9] = {QColor(49, 106, 197), QColor(38, 166, 154), QColor(102, 187, 106),
                             QColor(255, 167, 38),  QColor(239, 83, 80),  QColor(171, 71, 188),
                             QColor(41, 182, 246),  QColor(255, 213, 79), QColor(236, 64, 122)};
    p.save();
    p.translate(104.5, 84);
    p.rotate(-12);
    for (int i = 0; i < 9; ++i) {
        const double x = -51 + (i % 3) * 35, y = -51 + (i / 3) * 35;
        QLinearGradient g(x, y, x, y + 32);
        g.setColorAt(0, tiles[i].lighter(130));
        g.setColorAt(1, tiles[i]);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(x, y, 32, 32), 7, 7);
        p.setBrush(QColor(255, 255, 255, 50));
        p.drawRoundedRect(QRectF(x + 2, y + 2, 28, 12), 5, 5);
    }
    p.restore();
    p.fillPath(TextPath(LoadFont(kBoldFont, 34), "Tessaro", QPointF(104.5, 178), true),
               QColor(250, 250, 250));
    p.fillPath(TextPath(LoadFont(kCondBoldFont, 11), "HOME SCREEN DESIGNER", QPointF(104.5, 197), true),
               QColor(160, 190, 240));
    return img;
}

// ---------------------------------------------------------------- program icon
// The desktop icon, the same design as assets/desktop/org.tessaro.Tessaro.svg:
// drawn in a 256-unit square and scaled to `size` pixels.
QImage ProgramIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient back(0, 16, 0, 240);
    back.setColorAt(0, QColor(0x12, 0x24, 0x54));
    back.setColorAt(1, QColor(0x2c, 0x16, 0x58));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 44, 44);
    const QRgb bottom[9] = {0x316ac5, 0x26a69a, 0x66bb6a, 0xffa726, 0xef5350,
                            0xab47bc, 0x29b6f6, 0xffd54f, 0xec407a};
    const QRgb top[9] = {0x418aff, 0x31d8c8, 0x85f38a, 0xffc672, 0xff8f8d,
                         0xde5cf4, 0x6bd1ff, 0xffe79c, 0xff79a6};
    p.translate(128, 128);
    p.rotate(-12);
    for (int i = 0; i < 9; ++i) {
        const double x = -75 + (i % 3) * 52, y = -75 + (i / 3) * 52;
        QLinearGradient g(x, y, x, y + 46);
        g.setColorAt(0, QColor(top[i]));
        g.setColorAt(1, QColor(bottom[i]));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(x, y, 46, 46), 9, 9);
        p.setBrush(QColor(255, 255, 255, 51));
        p.drawRoundedRect(QRectF(x + 3, y + 3, 40, 17), 6, 6);
    }
    return img;
}

// ---------------------------------------------------------------- tray icons
Bitmap TrayIcons() {
    const Color key = 0x000001, ink = 0xFFFFFE;
    Bitmap b(40, 20, key);
    auto fill = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) b.SetPixel(x, y, ink);
    };
    // Signal: antenna mast and five rising bars.
    fill(2, 5, 2, 15);
    fill(0, 5, 4, 5);
    fill(1, 6, 1, 6);
    fill(3, 6, 3, 6);
    for (int i = 0; i < 5; ++i) fill(6 + i * 3, 13 - i * 2, 7 + i * 3, 15);
    // Battery: outline, tip and three charge cells.
    fill(23, 6, 36, 6);
    fill(23, 14, 36, 14);
    fill(23, 6, 23, 14);
    fill(36, 6, 36, 14);
    fill(37, 8, 38, 12);
    for (int i = 0; i < 3; ++i) fill(25 + i * 4, 8, 27 + i * 4, 12);
    return b;
}

// ---------------------------------------------------------------- program icons
using Glyph = std::function<void(QPainter&, double s)>;

struct Icon {
    QColor Tile;
    Glyph Draw;
};

void Envelope(QPainter& p, double s) {
    QRectF r(s * 0.2, s * 0.3, s * 0.6, s * 0.42);
    p.setBrush(QColor(250, 250, 250));
    p.setPen(Qt::NoPen);
    p.drawRect(r);
    p.setPen(QPen(QColor(40, 90, 180), s / 16.0));
    p.drawLine(QPointF(r.left(), r.top()), QPointF(r.center().x(), r.top() + r.height() * 0.6));
    p.drawLine(QPointF(r.right(), r.top()), QPointF(r.center().x(), r.top() + r.height() * 0.6));
}

void Handset(QPainter& p, double s) {
    QPainterPath h;
    h.moveTo(s * 0.28, s * 0.22);
    h.cubicTo(s * 0.18, s * 0.45, s * 0.45, s * 0.8, s * 0.76, s * 0.74);
    h.lineTo(s * 0.76, s * 0.62);
    h.lineTo(s * 0.62, s * 0.56);
    h.lineTo(s * 0.55, s * 0.63);
    h.cubicTo(s * 0.45, s * 0.58, s * 0.4, s * 0.5, s * 0.36, s * 0.43);
    h.lineTo(s * 0.43, s * 0.36);
    h.lineTo(s * 0.38, s * 0.22);
    h.closeSubpath();
    p.fillPath(h, QColor(250, 250, 250));
}

void Person(QPainter& p, double s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250));
    p.drawEllipse(QPointF(s * 0.5, s * 0.36), s * 0.13, s * 0.13);
    QPainterPath body;
    body.moveTo(s * 0.24, s * 0.78);
    body.cubicTo(s * 0.24, s * 0.5, s * 0.76, s * 0.5, s * 0.76, s * 0.78);
    body.closeSubpath();
    p.drawPath(body);
}

void CalendarPage(QPainter& p, double s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(s * 0.22, s * 0.24, s * 0.56, s * 0.54), s * 0.06, s * 0.06);
    p.setBrush(QColor(200, 50, 50));
    p.drawRect(QRectF(s * 0.22, s * 0.24, s * 0.56, s * 0.14));
    p.setBrush(QColor(120, 40, 40));
    const double d = s * 0.09;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(QRectF(s * 0.3 + c * s * 0.15, s * 0.46 + r * s * 0.15, d, d));
}

void Globe(QPainter& p, double s) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(250, 250, 250), s / 14.0));
    const QPointF c(s * 0.5, s * 0.5);
    p.drawEllipse(c, s * 0.27, s * 0.27);
    p.drawEllipse(c, s * 0.11, s * 0.27);
    p.drawLine(QPointF(s * 0.23, s * 0.5), QPointF(s * 0.77, s * 0.5));
}

void Note(QPainter& p, double s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250));
    p.drawEllipse(QPointF(s * 0.38, s * 0.7), s * 0.11, s * 0.085);
    p.drawEllipse(QPointF(s * 0.66, s * 0.63), s * 0.11, s * 0.085);
    p.drawRect(QRectF(s * 0.45, s * 0.24, s * 0.06, s * 0.46));
    p.drawRect(QRectF(s * 0.73, s * 0.2, s * 0.06, s * 0.43));
    QPainterPath beam;
    beam.moveTo(s * 0.45, s * 0.24);
    beam.lineTo(s * 0.79, s * 0.17);
    beam.lineTo(s * 0.79, s * 0.28);
    beam.lineTo(s * 0.45, s * 0.35);
    beam.closeSubpath();
    p.drawPath(beam);
}

void Camera(QPainter& p, double s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(s * 0.2, s * 0.34, s * 0.6, s * 0.4), s * 0.06, s * 0.06);
    p.drawRect(QRectF(s * 0.38, s * 0.27, s * 0.22, s * 0.1));
    p.setBrush(QColor(70, 80, 95));
    p.drawEllipse(QPointF(s * 0.5, s * 0.54), s * 0.13, s * 0.13);
    p.setBrush(QColor(150, 200, 250));
    p.drawEllipse(QPointF(s * 0.5, s * 0.54), s * 0.07, s * 0.07);
}

void Notes(QPainter& p, double s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(s * 0.26, s * 0.2, s * 0.48, s * 0.6));
    p.setPen(QPen(QColor(150, 120, 30), s / 18.0));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(s * 0.33, s * (0.33 + i * 0.12)), QPointF(s * 0.67, s * (0.33 + i * 0.12)));
}

void Gear(QPainter& p, double s) {
    QPainterPath g;
    const QPointF c(s * 0.5, s * 0.5);
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i - 0.5) * kPi / teeth, a1 = (i + 0.5) * kPi / teeth;
        const double r = (i % 2 == 0) ? s * 0.3 : s * 0.22;
        QPointF p0 = c + QPointF(std::cos(a0) * r, std::sin(a0) * r);
        QPointF p1 = c + QPointF(std::cos(a1) * r, std::sin(a1) * r);
        if (i == 0) g.moveTo(p0);
        else g.lineTo(p0);
        g.lineTo(p1);
    }
    g.closeSubpath();
    g.addEllipse(c, s * 0.1, s * 0.1);
    g.setFillRule(Qt::OddEvenFill);
    p.fillPath(g, QColor(250, 250, 250));
}

const Icon kIcons[9] = {
    {QColor(49, 106, 197), Envelope}, {QColor(56, 163, 74), Handset},
    {QColor(242, 140, 40), Person},   {QColor(214, 64, 64), CalendarPage},
    {QColor(32, 150, 160), Globe},    {QColor(142, 68, 173), Note},
    {QColor(84, 96, 112), Camera},    {QColor(222, 176, 36), Notes},
    {QColor(96, 112, 140), Gear},
};

// A strip of the nine icons, each `size` square, `pitch` apart.
Bitmap IconStrip(int size, int pitch) {
    QImage img = NewImage(pitch * 9, size, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    for (int i = 0; i < 9; ++i) {
        p.save();
        p.translate(i * pitch, 0);
        QRectF tile(0.5, 0.5, s - 1, s - 1);
        QLinearGradient g(0, 0, 0, s);
        g.setColorAt(0, kIcons[i].Tile.lighter(135));
        g.setColorAt(1, kIcons[i].Tile.darker(115));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(tile, s * 0.2, s * 0.2);
        kIcons[i].Draw(p, s);
        p.restore();
    }
    p.end();
    return Keyed(img, 0x000000);
}

// ---------------------------------------------------------------- media remote
Bitmap MediaRemote(bool selected) {
    QImage img = NewImage(176, 20, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Four buttons: previous, play/pause, next, stop.
    const double cx[4] = {34, 72, 110, 148};
    for (int i = 0; i < 4; ++i) {
        const bool lit = selected && i == 1;
        QRectF r(cx[i] - 17, 1, 34, 18);
        QLinearGradient g(0, 1, 0, 19);
        g.setColorAt(0, lit ? QColor(255, 190, 90) : QColor(92, 98, 110));
        g.setColorAt(1, lit ? QColor(214, 110, 20) : QColor(40, 44, 52));
        p.setPen(QPen(lit ? QColor(255, 230, 170) : QColor(150, 156, 168), 1));
        p.setBrush(g);
        p.drawRoundedRect(r, 8, 8);
    }
    const QColor ink(250, 250, 250);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto tri = [&](double x, double dir) {
        QPolygonF t;
        t << QPointF(x, 5) << QPointF(x, 15) << QPointF(x + dir * 7, 10);
        p.drawPolygon(t);
    };
    // previous
    p.drawRect(QRectF(25, 5, 2, 10));
    tri(35, -1);
    tri(42, -1);
    // play / pause
    tri(64, 1);
    p.drawRect(QRectF(75, 5, 2.5, 10));
    p.drawRect(QRectF(79.5, 5, 2.5, 10));
    // next
    tri(102, 1);
    tri(109, 1);
    p.drawRect(QRectF(117, 5, 2, 10));
    // stop
    p.drawRect(QRectF(143, 5, 10, 10));
    p.end();
    return Keyed(img, 0x000000);
}

// ---------------------------------------------------------------- icon bar templates
// Grey levels: 255 takes Color1, 0 takes Color2.
Bitmap BarTemplate(int n) {
    QImage img = NewImage(176, 20, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    auto grey = [](int v) { return QColor(v, v, v); };
    switch (n) {
    case 1: { // glossy: bright upper band over a deepening lower half
        QLinearGradient g(0, 0, 0, 20);
        g.setColorAt(0.0, grey(255));
        g.setColorAt(0.48, grey(170));
        g.setColorAt(0.5, grey(70));
        g.setColorAt(1.0, grey(0));
        p.fillRect(img.rect(), g);
        p.fillRect(QRectF(0, 0, 176, 1), grey(220));
        break;
    }
    case 2: { // waves
        QLinearGradient g(0, 0, 0, 20);
        g.setColorAt(0, grey(30));
        g.setColorAt(1, grey(0));
        p.fillRect(img.rect(), g);
        for (int layer = 0; layer < 2; ++layer) {
            QPainterPath w;
            w.moveTo(0, 20);
            for (int x = 0; x <= 176; x += 2)
                w.lineTo(x, 10 + layer * 4 + 4 * std::sin((x + layer * 30) * 2 * kPi / 88.0));
            w.lineTo(176, 20);
            w.closeSubpath();
            p.fillPath(w, grey(layer == 0 ? 150 : 255));
        }
        break;
    }
    case 3: { // diagonal stripes
        p.fillRect(img.rect(), grey(60));
        p.setPen(Qt::NoPen);
        p.setBrush(grey(235));
        for (int x = -30; x < 200; x += 14) {
            QPolygonF s;
            s << QPointF(x, 20) << QPointF(x + 6, 20) << QPointF(x + 16, 0) << QPointF(x + 10, 0);
            p.drawPolygon(s);
        }
        QLinearGradient shade(0, 0, 0, 20);
        shade.setColorAt(0, QColor(255, 255, 255, 60));
        shade.setColorAt(1, QColor(0, 0, 0, 90));
        p.fillRect(img.rect(), shade);
        break;
    }
    case 4: { // brushed tube: light along the middle, dark edges
        for (int y = 0; y < 20; ++y) {
            const double t = std::sin(kPi * (y + 0.5) / 20.0);
            p.fillRect(QRectF(0, y, 176, 1), grey(int(std::lround(255 * std::pow(t, 1.6)))));
        }
        p.fillRect(QRectF(0, 4, 176, 1), grey(255));
        break;
    }
    case 5: { // halftone: dots fading out towards the right
        p.fillRect(img.rect(), grey(0));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 30; ++col) {
                const double x = col * 6 + (row % 2) * 3 + 2, y = row * 5 + 2.5;
                const double r = 2.6 * (1.0 - x / 190.0);
                p.setBrush(grey(255));
                p.drawEllipse(QPointF(x, y), r, r);
            }
        QLinearGradient g(0, 0, 176, 0);
        g.setColorAt(0, QColor(255, 255, 255, 90));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(img.rect(), g);
        break;
    }
    default: { // bevelled panel with a raised tab on the left
        QLinearGradient g(0, 0, 0, 20);
        g.setColorAt(0, grey(200));
        g.setColorAt(1, grey(40));
        p.fillRect(img.rect(), g);
        p.fillRect(QRectF(0, 0, 176, 1), grey(255));
        p.fillRect(QRectF(0, 19, 176, 1), grey(0));
        QPainterPath tab;
        tab.addRoundedRect(QRectF(3, 3, 100, 14), 7, 7);
        QLinearGradient tg(0, 3, 0, 17);
        tg.setColorAt(0, grey(255));
        tg.setColorAt(1, grey(120));
        p.fillPath(tab, tg);
        break;
    }
    }
    p.end();
    return Mask(img);
}

// ---------------------------------------------------------------- clock faces
// White (255) lets the background show; black (0) takes the face colour.
Bitmap Face(int n) {
    QImage img = NewImage(176, 176, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(88, 88);
    const QColor ink(0, 0, 0);
    auto at = [&](double angleDeg, double r) {
        const double a = (angleDeg - 90) * kPi / 180.0;
        return c + QPointF(std::cos(a) * r, std::sin(a) * r);
    };
    auto tick = [&](double deg, double r0, double r1, double w) {
        p.setPen(QPen(ink, w, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(at(deg, r0), at(deg, r1));
    };
    auto ring = [&](double r, double w, QColor col) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(col, w));
        p.drawEllipse(c, r, r);
    };
    auto hub = [&](double r) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(c, r, r);
    };
    auto numeral = [&](int h, double r, double px, const char* font) {
        const QPointF q = at(h * 30.0, r);
        const QRawFont f = LoadFont(font, px);
        const double capHalf = f.capHeight() / 2;
        p.fillPath(TextPath(f, QString::number(h), QPointF(q.x(), q.y() + capHalf), true), ink);
    };
    switch (n) {
    case 1: // classic: ring, minute and hour ticks
        ring(84, 5, ink);
        for (int m = 0; m < 60; ++m)
            if (m % 5) tick(m * 6, 72, 80, 3);
        for (int h = 0; h < 12; ++h) tick(h * 30, 60, 80, h % 3 ? 8 : 11);
        hub(7);
        break;
    case 2: // four big numerals, dots between
        ring(85, 4, ink);
        numeral(12, 62, 34, kBoldFont);
        numeral(3, 66, 34, kBoldFont);
        numeral(6, 64, 34, kBoldFont);
        numeral(9, 66, 34, kBoldFont);
        for (int h = 0; h < 12; ++h)
            if (h % 3) {
                p.setPen(Qt::NoPen);
                p.setBrush(ink);
                p.drawEllipse(at(h * 30, 70), 6, 6);
            }
        hub(7);
        break;
    case 3: // dots
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        for (int h = 0; h < 12; ++h) p.drawEllipse(at(h * 30, 74), h % 3 ? 7 : 11, h % 3 ? 7 : 11);
        for (int m = 0; m < 60; ++m)
            if (m % 5) p.drawEllipse(at(m * 6, 74), 2.5, 2.5);
        hub(8);
        break;
    case 4: // all twelve numerals inside a thin ring
        ring(85, 3, ink);
        for (int m = 0; m < 60; ++m) tick(m * 6, 78, 84, m % 5 ? 2.5 : 5);
        for (int h = 1; h <= 12; ++h) numeral(h, 61, 22, kCondBoldFont);
        hub(6);
        break;
    case 5: { // sport bezel: a heavy ring with notches
        ring(78, 18, ink);
        for (int h = 0; h < 12; ++h) {
            p.setPen(QPen(QColor(255, 255, 255), h % 3 ? 4 : 7, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(at(h * 30, 72), at(h * 30, 86));
        }
        for (int m = 0; m < 60; ++m)
            if (m % 5) tick(m * 6, 60, 66, 3);
        hub(8);
        break;
    }
    default: { // tinted disc, bold ring, quarter bars
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 150, 150));
        p.drawEllipse(c, 84, 84);
        ring(84, 6, ink);
        for (int h = 0; h < 12; h += 3) tick(h * 30, 52, 78, 12);
        for (int h = 0; h < 12; ++h)
            if (h % 3) tick(h * 30, 66, 78, 5);
        hub(10);
        break;
    }
    }
    p.end();
    return Mask(img);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--icon") {
        // assetgen --icon SIZE FILE.png: the program icon at one size.
        QGuiApplication app(argc, argv);
        const int size = std::atoi(argv[2]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "assetgen: icon size %s is not between 16 and 1024\n", argv[2]);
            return 2;
        }
        if (!ProgramIcon(size).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: assetgen OUTDIR\n       assetgen --icon SIZE FILE.png\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    namespace pf = tessaro::platform;
    try {
        std::string out = argv[1];
        if (out.back() != '/') out += '/';
        for (const std::string& folder : {out, out + "IconBars", out + "Faces"})
            if (!pf::CreateFolder(folder)) throw std::runtime_error("cannot create the folder " + folder);
        pf::WriteJpeg(out + "WindowsMobile.JPG", FromImage(Wallpaper()), 95);
        pf::WriteJpeg(out + "about.jpg", FromImage(AboutLogo()), 95);
        pf::WriteBmp(out + "TrayIcons.bmp", TrayIcons());
        pf::WriteBmp(out + "mru32.bmp", IconStrip(32, 32));
        pf::WriteBmp(out + "mru16.bmp", IconStrip(16, 17));
        pf::WriteBmp(out + "media_remote.bmp", MediaRemote(false));
        pf::WriteBmp(out + "media_remote_sel.bmp", MediaRemote(true));
        for (int n = 1; n <= 6; ++n) {
            pf::WriteBmp(out + "IconBars/" + std::to_string(n) + ".bmp", BarTemplate(n));
            pf::WriteBmp(out + "Faces/" + std::to_string(n) + ".bmp", Face(n));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
