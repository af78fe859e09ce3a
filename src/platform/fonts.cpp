#include "platform/fonts.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_map>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QRawFont>
#include <QString>

#include "model/error.h"

namespace tessaro::platform {

namespace {

struct FaceFiles {
    const char* Face;
    const char* Regular;
    const char* Bold;
};

constexpr FaceFiles kFaces[] = {
    {"Nina", "DejaVuSansCondensed.ttf", "DejaVuSansCondensed-Bold.ttf"},
    {"Arial", "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"},
};

constexpr int kDefaultCharHeight = 12;
constexpr int kMaxHeight = 512;

} // namespace

struct FontSet::FileData {
    QByteArray Data;
    double AscentPerEm = 0;  // ascent / em size
    double DescentPerEm = 0; // descent / em size
};

// One face at one size: the raw font and its rasterised glyphs.
struct FontSet::Face {
    struct Glyph {
        int Left = 0; // offset of the mask from the pen position
        int Top = 0;  // offset of the mask from the base line
        int Width = 0;
        int Height = 0;
        int Advance = 0;
        std::vector<std::uint8_t> Mask; // 1 = ink
    };

    QRawFont Raw;
    FontMetrics Metrics;
    std::unordered_map<quint32, Glyph> Glyphs; // by glyph index; nodes never move
    // Code points below kDirect to their glyphs, filled on first use: most
    // texts are Latin or Cyrillic and are laid out without asking the font.
    static constexpr char32_t kDirect = 0x800;
    std::vector<const Glyph*> Direct = std::vector<const Glyph*>(kDirect, nullptr);

    const Glyph& OfCodePoint(char32_t c) {
        if (const Glyph* g = Direct[c]) return *g;
        // One code point at a time: the font maps each on its own.
        const QString s = QString::fromUcs4(&c, 1);
        const QList<quint32> indexes = Raw.glyphIndexesForString(s);
        const Glyph& g = GlyphOf(indexes.isEmpty() ? 0 : indexes.front());
        Direct[c] = &g;
        return g;
    }

    // The glyphs of UTF-8 text, in order (valid until the next call).
    std::vector<const Glyph*> RunBuffer;
    const std::vector<const Glyph*>& Run(std::string_view utf8) {
        std::vector<const Glyph*>& out = RunBuffer;
        out.clear();
        // Well-formed text of code points below kDirect is decoded here;
        // anything else (longer sequences, malformed bytes) is read as Qt
        // reads it, replacement characters included.
        std::size_t i = 0;
        const std::size_t n = utf8.size();
        while (i < n) {
            const unsigned char b = static_cast<unsigned char>(utf8[i]);
            char32_t c;
            if (b < 0x80) {
                c = b;
                ++i;
            } else if (b >= 0xC2 && b < 0xE0 && i + 1 < n &&
                       (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
                c = char32_t(b & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
                i += 2;
            } else {
                out.clear();
                const QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
                for (quint32 index : Raw.glyphIndexesForString(s)) out.push_back(&GlyphOf(index));
                return out;
            }
            out.push_back(&OfCodePoint(c));
        }
        return out;
    }

    const Glyph& GlyphOf(quint32 index) {
        auto it = Glyphs.find(index);
        if (it != Glyphs.end()) return it->second;
        Glyph g;
        QList<quint32> one{index};
        QList<QPointF> adv = Raw.advancesForGlyphIndexes(one);
        g.Advance = adv.isEmpty() ? 0 : int(std::lround(adv.front().x()));
        QImage a = Raw.alphaMapForGlyph(index, QRawFont::PixelAntialiasing);
        QRectF br = Raw.boundingRect(index);
        if (!a.isNull() && a.width() > 0 && a.height() > 0) {
            if (a.format() != QImage::Format_Alpha8 && a.format() != QImage::Format_Grayscale8)
                a = a.convertToFormat(QImage::Format_Grayscale8);
            g.Left = int(std::floor(br.x()));
            g.Top = int(std::floor(br.y()));
            g.Width = a.width();
            g.Height = a.height();
            g.Mask.resize(std::size_t(g.Width) * std::size_t(g.Height));
            for (int y = 0; y < g.Height; ++y) {
                const uchar* row = a.constScanLine(y);
                for (int x = 0; x < g.Width; ++x)
                    g.Mask[std::size_t(y) * std::size_t(g.Width) + std::size_t(x)] =
                        row[x] >= 128 ? 1 : 0;
            }
        }
        return Glyphs.emplace(index, std::move(g)).first->second;
    }
};

FontSet::FontSet(std::string appDir) : appDir_(std::move(appDir)) {}
FontSet::~FontSet() = default;

void FontSet::Load() {
    if (loaded_) return;
    for (const FaceFiles& f : kFaces)
        for (bool bold : {false, true}) FileOf(f.Face, bold);
    loaded_ = true;
}

const FontSet::FileData& FontSet::FileOf(std::string_view face, bool bold) {
    auto key = std::make_pair(std::string(face), bold);
    if (auto it = files_.find(key); it != files_.end()) return *it->second;
    // Each file is read when its face is first drawn with: starting the
    // designer draws the soft keys alone.
    const FaceFiles* f = nullptr;
    for (const FaceFiles& k : kFaces)
        if (face == k.Face) f = &k;
    if (!f) throw Error("Unknown font face \"" + std::string(face) + "\"");
    std::string path = appDir_ + "fonts/" + (bold ? f->Bold : f->Regular);
    QFile file(QString::fromStdString(path));
    if (!file.exists()) throw Error("Font file \"" + path + "\" is missing");
    if (!file.open(QIODevice::ReadOnly)) throw Error("Font file \"" + path + "\" cannot be read");
    auto data = std::make_shared<FileData>();
    data->Data = file.readAll();
    // Metrics are linear in the size; read them at a large em size.
    constexpr double kRef = 1000.0;
    QRawFont probe(data->Data, kRef, QFont::PreferNoHinting);
    if (!probe.isValid() || probe.ascent() <= 0) throw Error("Font file \"" + path + "\" is not a usable font");
    data->AscentPerEm = probe.ascent() / kRef;
    data->DescentPerEm = probe.descent() / kRef;
    return *files_.emplace(std::move(key), std::move(data)).first->second;
}

FontSet::Face& FontSet::Find(std::string_view face, int height, bool bold) {
    if (height == 0) height = -kDefaultCharHeight;
    height = std::clamp(height, -kMaxHeight, kMaxHeight);
    // Texts come in runs of one font: the last one found is asked first.
    if (last_ && lastHeight_ == height && lastBold_ == bold && lastFace_ == face) return *last_;
    auto key = std::make_tuple(std::string(face), height, bold);
    auto it = cache_.find(key);
    if (it != cache_.end()) return Remember(face, height, bold, *it->second);

    const FileData& data = FileOf(face, bold);

    auto entry = std::make_unique<Face>();
    double em;
    if (height < 0) {
        em = -height;
        entry->Metrics.Ascent = int(std::lround(em * data.AscentPerEm));
        entry->Metrics.Descent = int(std::lround(em * data.DescentPerEm));
    } else {
        // The cell height is exact: ascent is rounded, descent takes the rest.
        em = height / (data.AscentPerEm + data.DescentPerEm);
        entry->Metrics.Ascent = int(std::lround(em * data.AscentPerEm));
        entry->Metrics.Descent = height - entry->Metrics.Ascent;
    }
    entry->Raw = QRawFont(data.Data, em, QFont::PreferFullHinting);
    if (!entry->Raw.isValid()) throw Error("Unknown font face \"" + std::string(face) + "\"");
    return Remember(face, height, bold, *cache_.emplace(std::move(key), std::move(entry)).first->second);
}

FontSet::Face& FontSet::Remember(std::string_view face, int height, bool bold, Face& found) {
    last_ = &found;
    lastFace_.assign(face);
    lastHeight_ = height;
    lastBold_ = bold;
    return found;
}

FontMetrics FontSet::Metrics(std::string_view face, int height, bool bold) {
    return Find(face, height, bold).Metrics;
}

int FontSet::TextWidth(std::string_view face, int height, bool bold, std::string_view utf8) {
    Face& f = Find(face, height, bold);
    int w = 0;
    for (const Face::Glyph* g : f.Run(utf8)) w += g->Advance;
    return w;
}

int FontSet::DrawText(Bitmap& bmp, int x, int y, std::string_view face, int height, bool bold,
                      std::string_view utf8, Color colour) {
    return DrawCell(bmp, x, y, face, height, bold, utf8, colour, nullptr);
}

int FontSet::DrawCell(Bitmap& bmp, int x, int y, std::string_view face, int height, bool bold,
                      std::string_view utf8, Color colour, const Color* cell) {
    Face& f = Find(face, height, bold);
    const std::vector<const Face::Glyph*>& run = f.Run(utf8);
    if (cell) {
        long long w = 0;
        for (const Face::Glyph* g : run) w += g->Advance;
        // Far-off positions must not wrap around onto the picture.
        const long long right = std::min<long long>((long long)x + w, INT_MAX);
        const long long bottom = std::min<long long>((long long)y + f.Metrics.CellHeight(), INT_MAX);
        const int x0 = std::max(x, 0), x1 = int(std::min<long long>(right, bmp.Width()));
        const int y0 = std::max(y, 0), y1 = int(std::min<long long>(bottom, bmp.Height()));
        const std::uint32_t fill = ToNative(*cell);
        for (int r = y0; r < y1 && x0 < x1; ++r) std::fill(bmp.Row(r) + x0, bmp.Row(r) + x1, fill);
    }
    const std::uint32_t ink = ToNative(colour);
    // Positions far off the picture are carried wide, so they never wrap.
    const long long base = (long long)y + f.Metrics.Ascent;
    long long pen = x;
    for (const Face::Glyph* glyph : run) {
        const Face::Glyph& g = *glyph;
        const long long gx0 = pen + g.Left, gy0 = base + g.Top;
        pen += g.Advance;
        if (gx0 >= bmp.Width() || gy0 >= bmp.Height() || gx0 + g.Width <= 0 || gy0 + g.Height <= 0)
            continue;
        const int ox = int(gx0), oy = int(gy0);
        const int x0 = std::max(0, -ox), x1 = std::min(g.Width, bmp.Width() - ox);
        const int y0 = std::max(0, -oy), y1 = std::min(g.Height, bmp.Height() - oy);
        for (int gy = y0; gy < y1; ++gy) {
            std::uint32_t* row = bmp.Row(oy + gy) + ox;
            const std::uint8_t* m = g.Mask.data() + std::size_t(gy) * std::size_t(g.Width);
            for (int gx = x0; gx < x1; ++gx)
                if (m[gx]) row[gx] = ink;
        }
    }
    return int(pen - x);
}

} // namespace tessaro::platform
