#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>

#include "support/test_util.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"

using namespace tessaro;
using namespace tessaro::platform;
namespace fs = std::filesystem;

namespace {

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testsupport::FreshFolder("pic");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string dir_;
};

using tessaro::testsupport::ErrorOf;

void Put16(std::string& s, unsigned v) {
    s += char(v & 0xFF);
    s += char(v >> 8);
}
void Put32(std::string& s, unsigned v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A hand-made bitmap file: 40-byte header, palette, rows as given.
std::string MakeBmp(int w, int h, int bpp, const std::vector<unsigned>& palette, const std::string& rows) {
    std::string s = "BM";
    unsigned off = 54 + unsigned(palette.size()) * 4;
    Put32(s, off + unsigned(rows.size()));
    Put32(s, 0);
    Put32(s, off);
    Put32(s, 40);
    Put32(s, unsigned(w));
    Put32(s, unsigned(h));
    Put16(s, 1);
    Put16(s, unsigned(bpp));
    Put32(s, 0);
    Put32(s, unsigned(rows.size()));
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, unsigned(palette.size()));
    Put32(s, 0);
    for (unsigned c : palette) Put32(s, c); // 0x00RRGGBB as stored (B, G, R, 0)
    return s + rows;
}

} // namespace

TEST(Bmp, WrittenBitmapsReadBackExactly) {
    Bitmap b(5, 3); // odd width: rows are padded
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) b.SetPixel(x, y, Rgb(x * 50, y * 100, 7));
    std::string data = EncodeBmp(b);
    EXPECT_EQ(data.size(), 54u + 16u * 3u);
    EXPECT_EQ(DecodeBmp(data), b);
}

TEST(Bmp, PalettedAndTopDownRows) {
    // 1 bit, 3 x 2, bottom-up: the first stored row is the bottom one.
    std::string rows1 = std::string("\xA0\0\0\0", 4) + std::string("\x40\0\0\0", 4);
    Bitmap one = DecodeBmp(MakeBmp(3, 2, 1, {0x000000, 0xFF0000}, rows1));
    EXPECT_EQ(one.Pixel(0, 1), Rgb(255, 0, 0)); // bottom row 101
    EXPECT_EQ(one.Pixel(1, 1), Rgb(0, 0, 0));
    EXPECT_EQ(one.Pixel(1, 0), Rgb(255, 0, 0)); // top row 010

    // 4 bit, 3 x 1: indexes 1, 2, 0.
    Bitmap four = DecodeBmp(MakeBmp(3, 1, 4, {0x000000, 0x00FF00, 0x0000FF}, std::string("\x12\x00\0\0", 4)));
    EXPECT_EQ(four.Pixel(0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(four.Pixel(1, 0), Rgb(0, 0, 255));
    EXPECT_EQ(four.Pixel(2, 0), Rgb(0, 0, 0));

    // 8 bit, 2 x 2, top-down (negative height).
    std::string eight = MakeBmp(2, -2, 8, {0x102030, 0x405060}, std::string("\x00\x01\0\0\x01\x00\0\0", 8));
    Bitmap td = DecodeBmp(eight);
    EXPECT_EQ(td.Pixel(1, 0), Rgb(0x40, 0x50, 0x60));
    EXPECT_EQ(td.Pixel(0, 1), Rgb(0x40, 0x50, 0x60));
    EXPECT_EQ(td.Pixel(0, 0), Rgb(0x10, 0x20, 0x30));

    // 32 bit, 1 x 1: B G R X.
    Bitmap px = DecodeBmp(MakeBmp(1, 1, 32, {}, std::string("\x03\x02\x01\xFF", 4)));
    EXPECT_EQ(px.Pixel(0, 0), Rgb(1, 2, 3));
}

TEST(Bmp, DamagedFilesAreErrorsNotCrashes) {
    std::string good = MakeBmp(4, 4, 24, {}, std::string(48, '\x7F'));
    EXPECT_NO_THROW(DecodeBmp(good));
    EXPECT_THROW(DecodeBmp(good.substr(0, good.size() - 1)), Error); // pixels cut short
    EXPECT_THROW(DecodeBmp("PK" + good.substr(2)), Error);
    EXPECT_THROW(DecodeBmp(""), Error);
    std::string huge = MakeBmp(4, 4, 24, {}, std::string(48, '\x7F'));
    huge[18] = '\xFF', huge[19] = '\xFF', huge[20] = '\xFF', huge[21] = '\x7F'; // width 2^31-1
    EXPECT_THROW(DecodeBmp(huge), Error);
    std::string rle = good;
    rle[30] = 1; // run-length compressed
    EXPECT_THROW(DecodeBmp(rle), Error);
}

TEST(Jpeg, EncodeDecodeKeepsSizeAndColours) {
    Bitmap b(176, 200, Rgb(200, 40, 40));
    for (int y = 100; y < 200; ++y)
        for (int x = 0; x < 176; ++x) b.SetPixel(x, y, Rgb(20, 60, 220));
    std::string data = EncodeJpeg(b, 100);
    ASSERT_GT(data.size(), 4u);
    EXPECT_EQ(data.substr(0, 2), "\xFF\xD8");
    Bitmap back = DecodeJpeg(data);
    ASSERT_EQ(back.Width(), 176);
    ASSERT_EQ(back.Height(), 200);
    auto near = [](Color a, Color b) {
        return std::abs(RedOf(a) - RedOf(b)) <= 4 && std::abs(GreenOf(a) - GreenOf(b)) <= 4 &&
               std::abs(BlueOf(a) - BlueOf(b)) <= 4;
    };
    EXPECT_TRUE(near(back.Pixel(10, 10), Rgb(200, 40, 40)));
    EXPECT_TRUE(near(back.Pixel(10, 190), Rgb(20, 60, 220)));
    EXPECT_LT(EncodeJpeg(b, 10).size(), data.size());
}

TEST(Jpeg, DamagedDataIsAnErrorNotAnExit) {
    std::string data = EncodeJpeg(Bitmap(16, 16, Rgb(1, 2, 3)), 90);
    EXPECT_THROW(DecodeJpeg("not a picture at all"), Error);
    EXPECT_THROW(DecodeJpeg(data.substr(0, 20)), Error);
    std::string bad = data;
    auto sof = bad.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    bad[sof + 5] = 0; // picture height 0
    bad[sof + 6] = 0;
    EXPECT_THROW(DecodeJpeg(bad), Error);
    bad = data;
    bad[sof + 9] = 7; // seven colour components
    EXPECT_THROW(DecodeJpeg(bad), Error);
    EXPECT_THROW(EncodeJpeg(Bitmap(), 90), Error);
}

TEST_F(PictureFiles, LoadPictureChoosesByExtension) {
    Bitmap b(8, 4, Rgb(9, 99, 199));
    WriteBmp(dir_ + "a.BMP", b);
    WriteJpeg(dir_ + "b.JpEg", b, 100);
    WriteFile(dir_ + "c.jpg", EncodeBmp(b)); // a bitmap under a JPEG name
    EXPECT_EQ(LoadPicture(dir_ + "a.BMP"), b);
    EXPECT_EQ(LoadPicture(dir_ + "b.JpEg").Width(), 8);
    std::string msg = ErrorOf([&] { LoadPicture(dir_ + "c.jpg"); });
    EXPECT_NE(msg.find(dir_ + "c.jpg"), std::string::npos) << msg;
    msg = ErrorOf([&] { LoadPicture(dir_ + "missing.bmp"); });
    EXPECT_NE(msg.find(dir_ + "missing.bmp"), std::string::npos) << msg;
    EXPECT_EQ(ErrorOf([&] { LoadPicture(dir_ + "x.png"); }), "Unknown picture file extension (.png)");
    EXPECT_EQ(ErrorOf([&] { LoadPicture(""); }), "Unknown picture file extension (.)");
    EXPECT_EQ(ErrorOf([&] { LoadPicture(dir_); }), "Unknown picture file extension (.)");
}

TEST_F(PictureFiles, AtomicWriteKeepsTheOldFileOnFailure) {
    WriteFileAtomic(dir_ + "f.txt", "first");
    WriteFileAtomic(dir_ + "f.txt", "second");
    EXPECT_EQ(ReadFile(dir_ + "f.txt"), "second");
    fs::create_directory(dir_ + "d");
    EXPECT_THROW(WriteFileAtomic(dir_ + "d", "x"), Error); // a folder is in the way
    EXPECT_TRUE(fs::is_directory(dir_ + "d"));
    EXPECT_THROW(WriteFileAtomic(dir_ + "no/such/f.txt", "x"), Error);
    EXPECT_EQ(fs::directory_iterator(dir_) != fs::directory_iterator(), true);
    for (auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);

    std::string msg = ErrorOf([&] { ReadFile(dir_ + "absent"); });
    EXPECT_EQ(msg.rfind("Cannot open file \"" + dir_ + "absent\". ", 0), 0u) << msg;
    EXPECT_TRUE(CopyFile(dir_ + "f.txt", dir_ + "g.txt"));
    EXPECT_TRUE(CopyFile(dir_ + "g.txt", dir_ + "g.txt"));
    EXPECT_EQ(ReadFile(dir_ + "g.txt"), "second");
    EXPECT_FALSE(CopyFile(dir_ + "absent", dir_ + "h.txt"));
    EXPECT_TRUE(CreateFolder(dir_ + "new/"));
    EXPECT_TRUE(CreateFolder(dir_ + "new"));
    EXPECT_FALSE(CreateFolder(dir_ + "x/y/z"));

    // The longest name the folder allows; a link is followed and the replaced
    // file keeps its permissions.
    const std::string longName = dir_ + std::string(250, 'n') + ".xml";
    WriteFileAtomic(longName, "long");
    EXPECT_EQ(ReadFile(longName), "long");
    fs::permissions(dir_ + "f.txt", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(dir_ + "f.txt", dir_ + "link.txt");
    WriteFileAtomic(dir_ + "link.txt", "third");
    EXPECT_TRUE(fs::is_symlink(dir_ + "link.txt"));
    EXPECT_EQ(ReadFile(dir_ + "f.txt"), "third");
    EXPECT_EQ(fs::status(dir_ + "f.txt").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}
