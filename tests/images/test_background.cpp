#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "images/background.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "support/test_util.h"

namespace tessaro::images {
namespace {

namespace fs = std::filesystem;
using platform::Bitmap;
using platform::Rgb;

Bitmap Gradient(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, Rgb(x % 256, y % 256, 128));
    return b;
}

class Background : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tessaro-bg-" + std::to_string(std::random_device{}()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(root_ / "app");
        fs::create_directories(root_ / "pics");
        doc_.AppDir = (root_ / "app").string() + "/";
        platform::WriteFile(doc_.AppDir + kDefaultBackground, "default");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Pic(const std::string& name) const { return (root_ / "pics" / name).string(); }
    std::string App(const std::string& name) const { return doc_.AppDir + name; }

    // Runs ChooseBackground with a dialog answering `chosen` and a crop window
    // answering `crop`; counts redraws and crop window openings.
    void Choose(std::optional<std::string> chosen, std::optional<Bitmap> crop = std::nullopt) {
        BackgroundDialogs d;
        d.PickFile = [&](const std::string& filter) {
            EXPECT_EQ(filter, "Graphic Files|*.jpg;*.jpeg;*.bmp");
            return chosen;
        };
        d.Crop = [&](const Bitmap& picture) {
            ++crops_;
            cropInput_ = picture;
            return crop;
        };
        ChooseBackground(doc_, d, [&] { ++redraws_; });
    }

    fs::path root_;
    model::Document doc_;
    int redraws_ = 0;
    int crops_ = 0;
    Bitmap cropInput_;
};

TEST(ClassifyBackground, OnlyBothDimensionsLargerNeedCrop) {
    EXPECT_EQ(ClassifyBackground(177, 201), PictureFit::NeedsCrop);
    EXPECT_EQ(ClassifyBackground(1024, 768), PictureFit::NeedsCrop);
    EXPECT_EQ(ClassifyBackground(176, 200), PictureFit::Exact);
    EXPECT_EQ(ClassifyBackground(176, 201), PictureFit::TooSmall);
    EXPECT_EQ(ClassifyBackground(177, 200), PictureFit::TooSmall);
    EXPECT_EQ(ClassifyBackground(176, 300), PictureFit::TooSmall);
    EXPECT_EQ(ClassifyBackground(500, 200), PictureFit::TooSmall);
    EXPECT_EQ(ClassifyBackground(100, 100), PictureFit::TooSmall);
}

TEST(StoredBackgroundName, ReplacesTheExtensionAndDropsTheFolder) {
    EXPECT_EQ(StoredBackgroundName("/home/u/sky.bmp"), "sky.jpg");
    EXPECT_EQ(StoredBackgroundName("C:\\pics\\Beach.JPEG"), "Beach.jpg");
    EXPECT_EQ(StoredBackgroundName("a.b.jpg"), "a.b.jpg");
}

TEST_F(Background, ExactBitmapIsStoredAsJpegAtFullQuality) {
    const Bitmap sky = Gradient(176, 200);
    platform::WriteBmp(Pic("sky.bmp"), sky);
    Choose(Pic("sky.bmp"));
    EXPECT_EQ(crops_, 0);
    EXPECT_EQ(doc_.BGI, "sky.jpg");
    EXPECT_EQ(doc_.BackgroundImage, "sky.jpg");
    EXPECT_EQ(redraws_, 1);
    const std::string data = platform::ReadFile(App("sky.jpg"));
    EXPECT_EQ(data, platform::EncodeJpeg(sky, 100));
    EXPECT_TRUE(fs::exists(App(kDefaultBackground))); // nothing deleted for an exact picture
}

TEST_F(Background, ExactJpegIsStoredByteForByte) {
    const std::string jpeg = platform::EncodeJpeg(Gradient(176, 200), 60);
    platform::WriteFile(Pic("photo.JPEG"), jpeg);
    Choose(Pic("photo.JPEG"));
    EXPECT_EQ(platform::ReadFile(App("photo.jpg")), jpeg);
    EXPECT_EQ(doc_.BackgroundImage, "photo.jpg");
}

TEST_F(Background, ChoosingTheStoredCopyAgainKeepsIt) {
    const std::string jpeg = platform::EncodeJpeg(Gradient(176, 200), 80);
    platform::WriteFile(App("own.jpg"), jpeg);
    Choose(App("own.jpg"));
    EXPECT_EQ(platform::ReadFile(App("own.jpg")), jpeg);
    EXPECT_EQ(doc_.BGI, "own.jpg");
}

TEST_F(Background, WrongSizesAreRefusedAndChangeNothing) {
    for (auto [w, h] : {std::pair{176, 201}, {177, 200}, {176, 300}, {500, 200}, {20, 20}}) {
        const std::string path = Pic("p" + std::to_string(w) + "x" + std::to_string(h) + ".bmp");
        platform::WriteBmp(path, Gradient(w, h));
        try {
            Choose(path);
            ADD_FAILURE() << w << "x" << h << " accepted";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Image is Too Small");
        }
        EXPECT_EQ(crops_, 0);
        EXPECT_EQ(redraws_, 0);
        EXPECT_EQ(doc_.BGI, kDefaultBackground);
        EXPECT_EQ(doc_.BackgroundImage, kDefaultBackground);
        EXPECT_FALSE(fs::exists(App(StoredBackgroundName(path))));
    }
}

TEST_F(Background, UnreadablePictureChangesNothing) {
    platform::WriteFile(Pic("broken.jpg"), "not a picture");
    EXPECT_THROW(Choose(Pic("broken.jpg")), Error);
    platform::WriteFile(Pic("notes.txt"), "text");
    EXPECT_THROW(Choose(Pic("notes.txt")), Error);
    EXPECT_EQ(redraws_, 0);
    EXPECT_EQ(doc_.BGI, kDefaultBackground);
}

TEST_F(Background, CancelledDialogCopiesTheNameFieldAndRedraws) {
    doc_.BGI = "sky.jpg";
    doc_.BackgroundImage = "old.jpg";
    Choose(std::nullopt);
    EXPECT_EQ(doc_.BackgroundImage, "sky.jpg");
    EXPECT_EQ(redraws_, 1);

    // The clock's composed picture never becomes the picture it is drawn
    // from: the clock would then burn faces over faces. A crop still
    // replaces it.
    doc_.BGI = kAnalogBackground;
    Choose(std::nullopt);
    EXPECT_EQ(doc_.BackgroundImage, "sky.jpg");
    EXPECT_EQ(redraws_, 2);
    platform::WriteBmp(Pic("big.bmp"), Gradient(300, 400));
    Choose(Pic("big.bmp"), std::nullopt);
    EXPECT_EQ(doc_.BackgroundImage, "sky.jpg");
    Choose(Pic("big.bmp"), Gradient(176, 200));
    EXPECT_EQ(doc_.BGI, "big.jpg");
    EXPECT_EQ(doc_.BackgroundImage, "big.jpg");
}

TEST_F(Background, CropStoresTheResultAndDeletesThePreviousPicture) {
    platform::WriteFile(App("old.jpg"), "old");
    doc_.BGI = doc_.BackgroundImage = "old.jpg";
    const Bitmap big = Gradient(177, 201);
    platform::WriteBmp(Pic("big.bmp"), big);
    const Bitmap result = Gradient(176, 200);
    Choose(Pic("big.bmp"), result);
    EXPECT_EQ(crops_, 1);
    EXPECT_EQ(cropInput_, big);
    EXPECT_EQ(doc_.BGI, "big.jpg");
    EXPECT_EQ(doc_.BackgroundImage, "big.jpg");
    EXPECT_EQ(redraws_, 1);
    EXPECT_EQ(platform::ReadFile(App("big.jpg")), platform::EncodeJpeg(result, 100));
    EXPECT_FALSE(fs::exists(App("old.jpg")));
}

TEST_F(Background, LeavingTheCropWindowKeepsEverything) {
    platform::WriteFile(App("old.jpg"), "old");
    doc_.BGI = doc_.BackgroundImage = "old.jpg";
    platform::WriteBmp(Pic("big.bmp"), Gradient(300, 400));
    Choose(Pic("big.bmp"), std::nullopt);
    EXPECT_EQ(crops_, 1);
    EXPECT_EQ(doc_.BGI, "old.jpg");
    EXPECT_EQ(doc_.BackgroundImage, "old.jpg");
    EXPECT_EQ(redraws_, 1);
    EXPECT_TRUE(fs::exists(App("old.jpg")));
    EXPECT_FALSE(fs::exists(App("big.jpg")));
}

TEST_F(Background, DeletionNeverLosesAPictureStillInUse) {
    for (const char* f : {"same.jpg", "SAME.JPG", "gone.jpg", "entry.bmp", "bar.bmp"})
        platform::WriteFile(App(f), "x");
    platform::WriteFile((root_ / "outside.jpg").string(), "x");

    EXPECT_FALSE(DeletePreviousBackground(doc_, "same.jpg", "same.jpg")); // the file just written
    EXPECT_FALSE(DeletePreviousBackground(doc_, "SAME.JPG", "same.jpg"));
    EXPECT_FALSE(DeletePreviousBackground(doc_, kDefaultBackground, "new.jpg"));
    EXPECT_FALSE(DeletePreviousBackground(doc_, "windowsmobile.jpg", "new.jpg"));
    EXPECT_FALSE(DeletePreviousBackground(doc_, "../outside.jpg", "new.jpg"));
    EXPECT_FALSE(DeletePreviousBackground(doc_, "", "new.jpg"));
    EXPECT_TRUE(fs::exists(root_ / "outside.jpg"));
    EXPECT_TRUE(fs::exists(App("same.jpg")));
    EXPECT_TRUE(fs::exists(App(kDefaultBackground)));

    doc_.Plugins[0].Used = 1;
    doc_.Plugins[0].BgImage = "entry.bmp";
    doc_.Plugins[1].Used = 1;
    doc_.Plugins[1].CustomImage = "bar.bmp";
    EXPECT_FALSE(DeletePreviousBackground(doc_, "entry.bmp", "new.jpg"));
    EXPECT_FALSE(DeletePreviousBackground(doc_, "bar.bmp", "new.jpg"));
    EXPECT_TRUE(fs::exists(App("entry.bmp")));

    EXPECT_TRUE(DeletePreviousBackground(doc_, "gone.jpg", "new.jpg"));
    EXPECT_FALSE(fs::exists(App("gone.jpg")));
}

TEST_F(Background, DamagedOrReservedPicturesAreNeverStored) {
    const std::string jpeg = platform::EncodeJpeg(Gradient(176, 200), 90);
    platform::WriteFile(Pic("cut.jpg"), jpeg.substr(0, jpeg.size() * 2 / 3));
    EXPECT_NE(testsupport::ErrorOf([&] { Choose(Pic("cut.jpg")); })
                  .find("The JPEG picture is damaged: Premature end of JPEG file"),
              std::string::npos);
    // Stored unchanged only after a whole decoding, whatever the caller read.
    EXPECT_THROW(StoreExactBackground(doc_, Pic("cut.jpg"), Gradient(176, 200)), Error);
    EXPECT_FALSE(fs::exists(App("cut.jpg")));

    // A picture stored as "about.jpg" would replace the About page's picture.
    platform::WriteFile(App("about.jpg"), "about");
    platform::WriteBmp(Pic("About.bmp"), Gradient(176, 200));
    EXPECT_NE(testsupport::ErrorOf([&] { Choose(Pic("About.bmp")); }).find("program's own files"),
              std::string::npos);
    platform::WriteBmp(Pic("about.bmp"), Gradient(300, 400));
    EXPECT_THROW(Choose(Pic("about.bmp"), Gradient(176, 200)), Error);
    EXPECT_EQ(platform::ReadFile(App("about.jpg")), "about");
    EXPECT_FALSE(fs::exists(App("About.jpg")));
    EXPECT_EQ(doc_.BGI, kDefaultBackground);
}

} // namespace
} // namespace tessaro::images
