// Windows bitmap files: reading the uncompressed kinds, writing 24 bits.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"

namespace tessaro::platform {

namespace {

std::uint32_t U16(const unsigned char* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }
std::uint32_t U32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
void Put16(std::string& s, std::uint32_t v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// Bits of a channel mask: shift to its lowest bit and its width.
struct Channel {
    int Shift = 0;
    int Bits = 0;
    std::uint32_t Mask = 0;
    int Of(std::uint32_t px) const {
        if (!Bits) return 0;
        std::uint32_t v = (px & Mask) >> Shift;
        if (Bits >= 8) return int(v >> (Bits - 8));
        std::uint32_t max = (1u << Bits) - 1;
        return int((v * 255 + max / 2) / max);
    }
};

Channel MakeChannel(std::uint32_t mask) {
    Channel c;
    c.Mask = mask;
    if (!mask) return c;
    while (!((mask >> c.Shift) & 1)) ++c.Shift;
    while (c.Shift + c.Bits < 32 && ((mask >> (c.Shift + c.Bits)) & 1)) ++c.Bits;
    return c;
}

[[noreturn]] void Damaged(const char* why) { throw Error(std::string("The bitmap is damaged: ") + why); }

} // namespace

Bitmap DecodeBmp(std::string_view data) {
    const auto* d = reinterpret_cast<const unsigned char*>(data.data());
    const std::size_t size = data.size();
    if (size < 26 || d[0] != 'B' || d[1] != 'M') throw Error("The data is not a Windows bitmap.");
    const std::uint32_t offBits = U32(d + 10);
    const std::uint32_t hdrSize = U32(d + 14);
    std::int64_t width, height;
    int bpp;
    std::uint32_t compression = 0, clrUsed = 0;
    int palEntry = 4;
    if (hdrSize == 12) { // the old OS/2 core header
        width = U16(d + 18);
        height = std::int16_t(U16(d + 20));
        bpp = int(U16(d + 24));
        palEntry = 3;
    } else if (hdrSize >= 40 && 14 + std::size_t(hdrSize) <= size) {
        width = std::int32_t(U32(d + 18));
        height = std::int32_t(U32(d + 22));
        bpp = int(U16(d + 28));
        compression = U32(d + 30);
        clrUsed = U32(d + 46);
    } else {
        Damaged("unknown header");
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) Damaged("no pixels");
    if (std::uint64_t(width) * std::uint64_t(height) > kMaxPicturePixels)
        throw Error("The bitmap is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels, more than " + std::to_string(kMaxPicturePixels / 1000000) + " megapixels");

    Channel red, green, blue;
    if (compression == 3 && (bpp == 16 || bpp == 32)) { // BI_BITFIELDS
        const std::size_t at = 14 + 40; // right after the basic header, or inside the longer ones
        if (at + 12 > size) Damaged("missing colour masks");
        red = MakeChannel(U32(d + at));
        green = MakeChannel(U32(d + at + 4));
        blue = MakeChannel(U32(d + at + 8));
    } else if (compression != 0) {
        Damaged("compressed bitmaps are not supported");
    } else if (bpp == 16) {
        red = MakeChannel(0x7C00), green = MakeChannel(0x03E0), blue = MakeChannel(0x001F);
    } else if (bpp == 32) {
        red = MakeChannel(0x00FF0000), green = MakeChannel(0x0000FF00), blue = MakeChannel(0x000000FF);
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Damaged("unsupported number of bits per pixel");

    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        std::size_t count = clrUsed ? clrUsed : (std::size_t(1) << bpp);
        count = std::min<std::size_t>(count, std::size_t(1) << bpp);
        const std::size_t at = 14 + std::size_t(hdrSize);
        // A short palette leaves the missing colours black.
        count = std::min(count, at < size ? (size - at) / std::size_t(palEntry) : 0);
        palette.assign(std::size_t(1) << bpp, 0xFF000000u);
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* p = d + at + i * palEntry;
            palette[i] = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        }
    }

    const std::size_t stride = ((std::size_t(width) * std::size_t(bpp) + 31) / 32) * 4;
    if (offBits > size || stride * std::size_t(height) > size - offBits) Damaged("the pixel data is cut short");

    Bitmap bmp{int(width), int(height)};
    const int w = int(width);
    for (int row = 0; row < int(height); ++row) {
        const unsigned char* s = d + offBits + stride * std::size_t(row);
        std::uint32_t* dst = bmp.Row(topDown ? row : int(height) - 1 - row);
        switch (bpp) {
        case 1:
            for (int x = 0; x < w; ++x) dst[x] = palette[(s[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < w; ++x) dst[x] = palette[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
            break;
        case 8:
            for (int x = 0; x < w; ++x) dst[x] = palette[s[x]];
            break;
        case 24:
            for (int x = 0; x < w; ++x, s += 3)
                dst[x] = 0xFF000000u | (std::uint32_t(s[2]) << 16) | (std::uint32_t(s[1]) << 8) | s[0];
            break;
        default: // 16 and 32 bits through the channel masks
            for (int x = 0; x < w; ++x) {
                std::uint32_t px = bpp == 16 ? U16(s + 2 * x) : U32(s + 4 * x);
                dst[x] = 0xFF000000u | (std::uint32_t(red.Of(px)) << 16) |
                         (std::uint32_t(green.Of(px)) << 8) | std::uint32_t(blue.Of(px));
            }
            break;
        }
    }
    return bmp;
}

std::string EncodeBmp(const Bitmap& bmp) {
    const std::size_t stride = ((std::size_t(bmp.Width()) * 3 + 3) / 4) * 4;
    const std::size_t pixels = stride * std::size_t(bmp.Height());
    std::string s;
    s.reserve(54 + pixels);
    s += "BM";
    Put32(s, std::uint32_t(54 + pixels));
    Put32(s, 0);
    Put32(s, 54);
    Put32(s, 40);
    Put32(s, std::uint32_t(bmp.Width()));
    Put32(s, std::uint32_t(bmp.Height()));
    Put16(s, 1);
    Put16(s, 24);
    Put32(s, 0);
    Put32(s, std::uint32_t(pixels));
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, 0);
    Put32(s, 0);
    for (int y = bmp.Height() - 1; y >= 0; --y) {
        const std::uint32_t* r = bmp.Row(y);
        for (int x = 0; x < bmp.Width(); ++x) {
            s += char(r[x] & 0xFF);
            s += char((r[x] >> 8) & 0xFF);
            s += char((r[x] >> 16) & 0xFF);
        }
        s.append(stride - std::size_t(bmp.Width()) * 3, '\0');
    }
    return s;
}

Bitmap ReadBmp(const std::string& path) {
    std::string data = ReadFile(path);
    try {
        return DecodeBmp(data);
    } catch (const Error& e) {
        throw Error("Cannot load picture \"" + path + "\". " + e.what());
    }
}

void WriteBmp(const std::string& path, const Bitmap& bmp) { WriteFileAtomic(path, EncodeBmp(bmp)); }

Bitmap LoadPicture(const std::string& path) {
    std::string ext = ExtensionOf(path);
    std::string lower = ext;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (lower == ".jpg" || lower == ".jpeg") return ReadJpeg(path);
    if (lower == ".bmp") return ReadBmp(path);
    throw Error("Unknown picture file extension (." + (ext.empty() ? ext : ext.substr(1)) + ")");
}

} // namespace tessaro::platform
