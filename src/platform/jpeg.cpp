// JPEG reading and writing through libjpeg. libjpeg reports fatal errors by
// calling error_exit, which must not return; ours jumps back to the caller,
// which releases libjpeg's state and throws.
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <string>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"

namespace tessaro::platform {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool tooLarge = false; // refused for its size or work, not damaged
};

[[noreturn]] void OnFatal(j_common_ptr c) {
    auto* e = reinterpret_cast<ErrorManager*>(c->err);
    (*c->err->format_message)(c, e->message);
    std::longjmp(e->jump, 1);
}

// A warning that the data is damaged (cut short, corrupt entropy data, a
// broken scan sequence) ends the decoding like an error: a half-decoded
// picture must never pass for the real one. Other notes are not shown.
bool IsDamageWarning(int code) {
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_TOO_MUCH_DATA:
        return true;
    default:
        return false;
    }
}

void OnMessage(j_common_ptr c, int level) {
    if (level < 0 && IsDamageWarning(c->err->msg_code))
        OnFatal(c);
}

// Bounds the work a crafted file can cause: a progressive file may hold any
// number of scans, each a pass over the whole picture.
constexpr int kMaxScans = 1000;

struct Progress {
    jpeg_progress_mgr pub;
    ErrorManager* err;
};

void OnProgress(j_common_ptr c) {
    auto* d = reinterpret_cast<j_decompress_ptr>(c);
    if (d->input_scan_number > kMaxScans) {
        auto* e = reinterpret_cast<Progress*>(c->progress)->err;
        std::snprintf(e->message, sizeof e->message, "it holds more than %d scans", kMaxScans);
        e->tooLarge = true;
        std::longjmp(e->jump, 1);
    }
}

void SetUp(ErrorManager& err, jpeg_common_struct* c) {
    c->err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnFatal;
    err.pub.emit_message = OnMessage;
    err.message[0] = 0;
}

inline int Mul255(int a, int b) { return (a * b + 127) / 255; }

// A bitmap word 0xFFRRGGBB lies in memory as blue, green, red, 0xFF on a
// little-endian machine: the codec's BGRX layout, which gives the same
// samples as RGB rows.
constexpr bool kWordsAreBgrx = std::endian::native == std::endian::little;

} // namespace

Bitmap DecodeJpeg(std::string_view data) {
    if (data.size() < 4) throw Error("The data is not a JPEG picture.");
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    auto out = std::make_unique<Bitmap>();
    auto row = std::make_unique<std::vector<unsigned char>>();
    SetUp(err, reinterpret_cast<jpeg_common_struct*>(&cinfo));
    Progress progress{};
    progress.pub.progress_monitor = OnProgress;
    progress.err = &err;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (err.tooLarge) throw Error(std::string("The JPEG picture is too large: ") + err.message);
        throw Error(std::string("The JPEG picture is damaged: ") + err.message);
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    cinfo.progress = &progress.pub;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    // The frame size is checked before anything the size of the picture is
    // allocated or decoded.
    if (std::uint64_t(cinfo.image_width) * cinfo.image_height > kMaxPicturePixels) {
        const std::string size = std::to_string(cinfo.image_width) + " x " + std::to_string(cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        throw Error("The JPEG picture is too large: " + size + " pixels, more than " +
                    std::to_string(kMaxPicturePixels / 1000000) + " megapixels.");
    }
    bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    // Colour pictures are decoded straight into the bitmap's rows: the
    // decoder writes the words' bytes in memory order and sets the fourth.
    const bool direct = !cmyk && kWordsAreBgrx;
    cinfo.out_color_space = cmyk ? JCS_CMYK : direct ? JCS_EXT_BGRX : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    const int comps = cinfo.output_components;
    const bool inverted = cinfo.saw_Adobe_marker;
    *out = Bitmap(w, h);
    if (direct) {
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW rp = reinterpret_cast<JSAMPROW>(out->Row(int(cinfo.output_scanline)));
            jpeg_read_scanlines(&cinfo, &rp, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        return std::move(*out);
    }
    row->resize(std::size_t(w) * std::size_t(comps));
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = int(cinfo.output_scanline);
        JSAMPROW rp = row->data();
        jpeg_read_scanlines(&cinfo, &rp, 1);
        std::uint32_t* dst = out->Row(y);
        const unsigned char* s = row->data();
        for (int x = 0; x < w; ++x, s += comps) {
            int r, g, b;
            if (comps == 4) {
                int c = s[0], m = s[1], ye = s[2], k = s[3];
                if (!inverted) c = 255 - c, m = 255 - m, ye = 255 - ye, k = 255 - k;
                r = Mul255(c, k), g = Mul255(m, k), b = Mul255(ye, k);
            } else if (comps == 3) {
                r = s[0], g = s[1], b = s[2];
            } else {
                r = g = b = s[0];
            }
            dst[x] = 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return std::move(*out);
}

std::string EncodeJpeg(const Bitmap& bmp, int quality) {
    if (bmp.Empty()) throw Error("An empty picture cannot be saved as JPEG.");
    const int q = quality < 1 ? 1 : (quality > 100 ? 100 : quality);
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    auto row = std::make_unique<std::vector<unsigned char>>(std::size_t(bmp.Width()) * 3);
    SetUp(err, reinterpret_cast<jpeg_common_struct*>(&cinfo));
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        throw Error(std::string("The JPEG picture cannot be written: ") + err.message);
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(bmp.Width());
    cinfo.image_height = JDIMENSION(bmp.Height());
    cinfo.input_components = kWordsAreBgrx ? 4 : 3;
    cinfo.in_color_space = kWordsAreBgrx ? JCS_EXT_BGRX : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, q, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint32_t* src = bmp.Row(int(cinfo.next_scanline));
        if (kWordsAreBgrx) {
            // The encoder reads the rows as they are (it never writes them).
            JSAMPROW rp = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(src));
            jpeg_write_scanlines(&cinfo, &rp, 1);
            continue;
        }
        unsigned char* d = row->data();
        for (int x = 0; x < bmp.Width(); ++x) {
            *d++ = (src[x] >> 16) & 0xFF;
            *d++ = (src[x] >> 8) & 0xFF;
            *d++ = src[x] & 0xFF;
        }
        JSAMPROW rp = row->data();
        jpeg_write_scanlines(&cinfo, &rp, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string result(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return result;
}

Bitmap ReadJpeg(const std::string& path) {
    std::string data = ReadFile(path);
    try {
        return DecodeJpeg(data);
    } catch (const Error& e) {
        throw Error("Cannot load picture \"" + path + "\". " + e.what());
    }
}

void WriteJpeg(const std::string& path, const Bitmap& bmp, int quality) {
    WriteFileAtomic(path, EncodeJpeg(bmp, quality));
}

} // namespace tessaro::platform
