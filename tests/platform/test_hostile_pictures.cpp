// Pictures made to hurt: frames declaring huge sizes, files cut short or
// corrupt. Each must be refused quickly, with a message, before the pixels it
// declares are allocated.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/error.h"
#include "platform/picture.h"
#include "support/test_util.h"

using namespace tessaro;
using namespace tessaro::platform;
using tessaro::testsupport::ErrorOf;

namespace {

void Put16(std::string& s, unsigned v) {
    s += char((v >> 8) & 0xFF);
    s += char(v & 0xFF);
}

// A complete grey JPEG of a few bytes whose frame declares w x h pixels: one
// quantisation table, one Huffman code for each table, one scan.
std::string TinyJpeg(unsigned w, unsigned h) {
    std::string s = "\xFF\xD8";
    s += "\xFF\xDB";
    Put16(s, 67);
    s += '\0';
    s += std::string(64, '\x01');
    s += "\xFF\xC0";
    Put16(s, 11);
    s += '\x08';
    Put16(s, h);
    Put16(s, w);
    s += std::string("\x01\x01\x11\x00", 4);
    s += "\xFF\xC4";
    Put16(s, 2 + 2 * 18);
    for (char cls : {'\x00', '\x10'}) { // DC 0 and AC 0: one one-bit code for symbol 0
        s += cls;
        s += '\x01';
        s += std::string(15, '\0');
        s += '\0';
    }
    s += "\xFF\xDA";
    Put16(s, 8);
    s += std::string("\x01\x01\x00\x00\x3F\x00", 6);
    s += std::string("\x00\x00", 2);
    s += "\xFF\xD9";
    return s;
}

double SecondsFor(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A 176 x 200 picture with detail everywhere, so every part of the file
// carries entropy-coded data.
std::string DetailedJpeg() {
    Bitmap b(176, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 176; ++x) b.SetPixel(x, y, Rgb((x * 7) & 0xFF, (y * 5) & 0xFF, (x * y) & 0xFF));
    return EncodeJpeg(b, 90);
}

// An 8 x 8 colour picture in a progressive file of many scans: every AC
// coefficient of every component sent in its own scan, first at 1/1024 and
// then refined bit by bit. `refinements` of 10 gives 1 + 3 * 63 * 11 scans.
std::string ProgressiveJpeg(int refinements) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = 8;
    c.image_height = 8;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    std::vector<jpeg_scan_info> scans;
    scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int comp = 0; comp < 3; ++comp)
        for (int k = 1; k < 64; ++k) {
            scans.push_back({1, {comp, 0, 0, 0}, k, k, 0, refinements});
            for (int a = refinements; a > 0; --a) scans.push_back({1, {comp, 0, 0, 0}, k, k, a, a - 1});
        }
    c.scan_info = scans.data();
    c.num_scans = int(scans.size());
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(8 * 3);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = static_cast<unsigned char>(x * 30 + y);
        JSAMPROW rp = row.data();
        jpeg_write_scanlines(&c, &rp, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

} // namespace

TEST(JpegBomb, EndlessScansAreRefused) {
    // A few hundred scans: an odd file, but a picture.
    EXPECT_EQ(DecodeJpeg(ProgressiveJpeg(1)).Width(), 8);
    // Two thousand scans, each a pass over the whole picture.
    EXPECT_EQ(ErrorOf([] { DecodeJpeg(ProgressiveJpeg(10)); }),
              "The JPEG picture is too large: it holds more than 1000 scans");
}

TEST(JpegBomb, HugeFrameIsRefusedFromItsHeaderAtOnce) {
    // A small frame of the same build decodes: the file itself is sound.
    const Bitmap small = DecodeJpeg(TinyJpeg(16, 16));
    EXPECT_EQ(small.Width(), 16);

    const std::string bomb = TinyJpeg(16384, 16384);
    std::string message;
    const double seconds = SecondsFor([&] { message = ErrorOf([&] { DecodeJpeg(bomb); }); });
    EXPECT_EQ(message, "The JPEG picture is too large: 16384 x 16384 pixels, more than 50 megapixels.");
    EXPECT_LT(seconds, 0.2);
    std::printf("a %zu-byte JPEG declaring 16384 x 16384 was refused in %.6f s\n", bomb.size(), seconds);

    // Just over the limit in one long strip, too.
    EXPECT_NE(ErrorOf([] { DecodeJpeg(TinyJpeg(65000, 770)); }).find("too large"), std::string::npos);
}

TEST(JpegDamage, CutShortOrCorruptDataIsAnError) {
    const std::string whole = DetailedJpeg();
    ASSERT_NO_THROW(DecodeJpeg(whole));

    // Cut short anywhere inside the scan: never a half-grey picture.
    for (double part : {0.3, 0.6, 0.95}) {
        const std::string cut = whole.substr(0, std::size_t(whole.size() * part));
        EXPECT_EQ(ErrorOf([&] { DecodeJpeg(cut); }),
                  "The JPEG picture is damaged: Premature end of JPEG file")
            << part;
    }
    // A marker in the middle of the entropy-coded data.
    std::string corrupt = whole;
    corrupt.insert(whole.size() / 2, "\xFF\xD3");
    const std::string message = ErrorOf([&] { DecodeJpeg(corrupt); });
    EXPECT_EQ(message.rfind("The JPEG picture is damaged: Corrupt JPEG data", 0), 0u) << message;
}

TEST(BmpBomb, HugeOrShortBitmapsAreRefusedBeforeTheirPixels) {
    // A 54-byte header declaring 100000 x 100000 pixels of 24 bits.
    std::string s = "BM";
    auto put32 = [&s](unsigned v) {
        for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
    };
    put32(54), put32(0), put32(54), put32(40), put32(100000), put32(100000);
    s += std::string("\x01\x00\x18\x00", 4);
    put32(0), put32(0), put32(0), put32(0), put32(0), put32(0);
    std::string message;
    const double seconds = SecondsFor([&] { message = ErrorOf([&] { DecodeBmp(s); }); });
    EXPECT_EQ(message, "The bitmap is too large: 100000 x 100000 pixels, more than 50 megapixels");
    EXPECT_LT(seconds, 0.1);

    // Within the limit but with no pixel data behind the header.
    s[18] = char(0xB8), s[19] = 0x0B, s[20] = 0, s[21] = 0; // width 3000
    s[22] = char(0xB8), s[23] = 0x0B, s[24] = 0, s[25] = 0; // height 3000
    EXPECT_EQ(ErrorOf([&] { DecodeBmp(s); }), "The bitmap is damaged: the pixel data is cut short");
}
