// JPEG and Windows bitmap loading: backgrounds, entry pictures, icon bar and
// clock face pictures all come in through these two decoders. A picture either
// decodes or is refused with our Error; a decoded JPEG encodes and decodes
// again at the same size.
//
// Pictures declaring more than kMaxPixels are left out here: decoding them
// is a question of memory limits, which the decoders' own size checks answer
// and the platform tests cover, not of parsing.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include <jpeglib.h>

#include "model/error.h"
#include "platform/picture.h"
#include "support.h"

namespace {

constexpr std::uint64_t kMaxPixels = 4u << 20;

struct HeaderErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void OnHeaderFatal(j_common_ptr c) { std::longjmp(reinterpret_cast<HeaderErrors*>(c->err)->jump, 1); }
void Quiet(j_common_ptr, int) {}

// The frame size a JPEG declares (0 when its header does not read).
std::uint64_t JpegPixels(std::string_view data) {
    jpeg_decompress_struct cinfo;
    HeaderErrors err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnHeaderFatal;
    err.pub.emit_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return 0;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    const std::uint64_t pixels = std::uint64_t(cinfo.image_width) * cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

std::uint64_t BmpPixels(std::string_view d) {
    auto u = [&](std::size_t at, int bytes) {
        std::uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | std::uint8_t(d[at + std::size_t(i)]);
        return v;
    };
    if (d.size() < 26) return 0;
    if (u(14, 4) == 12) return std::uint64_t(u(18, 2)) * u(20, 2);
    if (d.size() < 26 + 4) return 0;
    const std::int64_t w = std::int32_t(u(18, 4)), h = std::int32_t(u(22, 4));
    return std::uint64_t(w < 0 ? -w : w) * std::uint64_t(h < 0 ? -h : h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro::platform;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (BmpPixels(bytes) <= kMaxPixels) {
        try {
            Bitmap b = DecodeBmp(bytes);
            if (b.Width() <= 0 || b.Height() <= 0) fuzz::Finding("a bitmap decoded without pixels");
        } catch (const tessaro::Error&) {
        }
    }
    if (JpegPixels(bytes) <= kMaxPixels) {
        Bitmap b;
        try {
            b = DecodeJpeg(bytes);
        } catch (const tessaro::Error&) {
            return 0;
        }
        if (b.Width() <= 0 || b.Height() <= 0) fuzz::Finding("a JPEG decoded without pixels");
        if (std::uint64_t(b.Width()) * std::uint64_t(b.Height()) > 65536) return 0; // keep runs fast
        Bitmap again;
        try {
            again = DecodeJpeg(EncodeJpeg(b, 90));
        } catch (const tessaro::Error& e) {
            fuzz::Finding(std::string("a decoded JPEG does not encode and decode again: ") + e.what());
        }
        if (again.Width() != b.Width() || again.Height() != b.Height())
            fuzz::Finding("a decoded JPEG changes its size when encoded again");
    }
    return 0;
}
