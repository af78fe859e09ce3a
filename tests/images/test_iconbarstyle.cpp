#include <gtest/gtest.h>

#include <algorithm>

#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "preview/iconbar.h"
#include "preview/iconbarstyle.h"
#include "style_fixture.h"

namespace tessaro::preview {
namespace {

using platform::Bitmap;
using platform::Rgb;

class IconBarHandlers : public testing::ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        bar_ = Add("Icon Bar", 0, 20);
        doc_.EditIndex = bar_;
        preview_->DrawPlugins();
        style_ = std::make_unique<IconBarStyle>(*preview_);
    }
    model::TPlugins& bar() { return doc_.Plugins[bar_]; }

    Bitmap Bar(int w, int h, model::Color c) const { return Bitmap(w, h, c); }

    int bar_ = 0;
    std::unique_ptr<IconBarStyle> style_;
};

TEST_F(IconBarHandlers, OpeningANormalBarDrawsTheGradient) {
    doc_.Scheme[COLOR_TRAY1] = 0x000000;
    doc_.Scheme[COLOR_TRAY2] = 0xFFFFFF;
    platform::DeleteFile(App("iconbar.jpg"));
    style_->Open();
    EXPECT_EQ(style_->Style, kStyleNormal);
    EXPECT_EQ(&style_->ShownBar(), &style_->Bars().Image3);
    EXPECT_EQ(style_->Bars().Image3.Pixel(0, 5), 0x000000u);           // column 0 is Color1
    EXPECT_EQ(style_->Bars().Image3.Pixel(88, 5), Rgb(128, 128, 128)); // half way
    EXPECT_TRUE(platform::FileExists(App("iconbar.jpg")));
    EXPECT_EQ(bar().Items[0].X, 0);
    EXPECT_EQ(bar().Items[0].Y, 1);
}

TEST_F(IconBarHandlers, AdvancedStyleStoresTemplateAndPicture) {
    style_->StyleChosen(kStyleAdvanced);
    EXPECT_EQ(bar().Items[0].X, 1);
    EXPECT_EQ(bar().BgImage, "iconbar.jpg");
    const Bitmap first = style_->Bars().Image1;
    // The written picture is the shown bar without the tray icons.
    const Bitmap written = platform::ReadJpeg(App("iconbar.jpg"));
    for (int x : {0, 60, 135})
        EXPECT_EQ(written.Pixel(x, 10), first.Pixel(x, 10)) << x;

    style_->TemplateChanged(4);
    EXPECT_EQ(bar().Items[0].Y, 4);
    EXPECT_NE(style_->Bars().Image1, first);

    // Back to Normal: template 1 again and an opaque picture bar.
    style_->StyleChosen(kStyleNormal);
    EXPECT_EQ(bar().Items[0].X, 0);
    EXPECT_EQ(bar().Items[0].Y, 1);
    EXPECT_EQ(bar().Transparent, 0);
    EXPECT_EQ(bar().BgImage, "iconbar.jpg");
}

TEST_F(IconBarHandlers, FullyTransparentNormalBarHasNoPicture) {
    style_->TransparentChanged(true);
    EXPECT_EQ(bar().Transparent, 1);
    EXPECT_TRUE(style_->LevelEnabled);
    EXPECT_EQ(style_->Level, 0);

    style_->LevelMoved(255);
    EXPECT_EQ(bar().TransparencyLevel, 255);
    style_->StyleChosen(kStyleNormal);
    EXPECT_EQ(bar().Transparent, 1);
    EXPECT_EQ(bar().BgImage, "");
    // At level 255 the bar is exactly the background strip it lies on.
    for (int x : {0, 50, 135})
        EXPECT_EQ(style_->Bars().Image3.Pixel(x, 7), preview_->BGImage.Pixel(x, 7)) << x;

    style_->LevelMoved(100);
    EXPECT_EQ(bar().TransparencyLevel, 100);
    EXPECT_EQ(bar().BgImage, "iconbar.jpg");

    style_->TransparentChanged(false);
    EXPECT_EQ(bar().Transparent, 0);
    EXPECT_EQ(bar().TransparencyLevel, 0);
    EXPECT_FALSE(style_->LevelEnabled);
}

TEST_F(IconBarHandlers, TickWhileOpeningKeepsTheLevelAndATickByMouseStartsAtZero) {
    bar().Transparent = 1;
    bar().TransparencyLevel = 100;
    style_->Open();
    EXPECT_TRUE(style_->Transparent);
    EXPECT_EQ(style_->Level, 0);
    EXPECT_EQ(bar().TransparencyLevel, 100);
    style_->TransparentMouseReleased();
    EXPECT_EQ(bar().TransparencyLevel, 0);
    EXPECT_EQ(style_->Level, 0);
}

TEST_F(IconBarHandlers, TransparencyIsRefusedInAScrollableLayout) {
    Add("Calendar", 20, 200); // the layout ends at 220
    style_->TransparentChanged(true);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "Use Tranparet Option only if your layout is not scrollable!");
    EXPECT_FALSE(style_->Transparent);
    EXPECT_FALSE(style_->LevelEnabled);
    EXPECT_EQ(bar().Transparent, 0);
}

TEST_F(IconBarHandlers, LoadImageAcceptsOnly176x20) {
    std::filesystem::create_directories(dir_ / "pics");
    const std::string pics = (dir_ / "pics").string() + "/";
    Bitmap picture(176, 20);
    for (int x = 0; x < 176; ++x)
        for (int y = 0; y < 20; ++y)
            picture.SetPixel(x, y, Rgb(x, 40 + y, 200 - x / 2));
    platform::WriteBmp(pics + "mine.bmp", picture);
    platform::WriteBmp(pics + "tall.bmp", Bitmap(176, 21, 0x00FF00));
    platform::WriteBmp(pics + "narrow.bmp", Bitmap(175, 20, 0x00FF00));

    const model::TPlugins before = bar();
    for (const char* name : {"tall.bmp", "narrow.bmp"}) {
        try {
            style_->LoadImage(pics + name);
            ADD_FAILURE() << name << " accepted";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Picture Size Must Be 176x20.");
        }
        EXPECT_EQ(bar(), before);
    }
    style_->LoadImage(std::nullopt);
    EXPECT_EQ(bar(), before);

    style_->LoadImage(pics + "mine.bmp");
    EXPECT_EQ(bar().Items[0].X, 2);
    EXPECT_EQ(bar().Items[0].Y, 1);
    EXPECT_EQ(bar().BgImage, "iconbar.jpg");
    EXPECT_EQ(bar().CustomImage, "mine.bmp");
    EXPECT_EQ(platform::ReadBmp(App("mine.bmp")), picture);
    EXPECT_EQ(style_->Style, kStyleCustom);

    // A JPEG picture is kept as a bitmap under a ".bmp" name, so it reads back.
    platform::WriteJpeg(pics + "photo.jpg", picture, 90);
    style_->LoadImage(pics + "photo.jpg");
    EXPECT_EQ(bar().CustomImage, "photo.bmp");
    EXPECT_EQ(platform::ReadBmp(App("photo.bmp")).Width(), 176);
}

TEST_F(IconBarHandlers, SwatchesChangeTheSchemeColours) {
    style_->SwatchChosen(kSwatchColor1, Rgb(200, 10, 10));
    EXPECT_EQ(doc_.Scheme[COLOR_TRAY1], Rgb(200, 10, 10));
    EXPECT_EQ(style_->Bars().Image3.Pixel(0, 3), Rgb(200, 10, 10));
    const model::Color before = doc_.Scheme[COLOR_TRAY2];
    style_->SwatchChosen(kSwatchColor2, std::nullopt);
    EXPECT_EQ(doc_.Scheme[COLOR_TRAY2], before);
    style_->SwatchChosen(kSwatchTextColor, Rgb(1, 2, 3));
    EXPECT_EQ(doc_.Scheme[COLOR_TRAYICONS], Rgb(1, 2, 3));
    EXPECT_EQ(style_->SwatchColor(kSwatchTextColor), Rgb(1, 2, 3));
}

TEST_F(IconBarHandlers, OnlyOneAdvancedBarSurvivesThePreview) {
    style_->StyleChosen(kStyleAdvanced);
    const int second = Add("Icon Bar", 20, 20);
    doc_.EditIndex = second;
    style_->StyleChosen(kStyleAdvanced);
    EXPECT_EQ(doc_.Plugins[second].Items[0].X, 1);
    preview_->DrawPlugins();
    EXPECT_EQ(model::CountEntries(doc_), 1);
    EXPECT_EQ(doc_.ActivePluginsList.Lines.size(), 1u);
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), "You can use just one advanced styled Icon Bar!");
}

TEST_F(IconBarHandlers, ACustomBarBesideAnAdvancedOneStays) {
    style_->StyleChosen(kStyleAdvanced);
    const int second = Add("Icon Bar", 20, 20);
    doc_.EditIndex = second;
    platform::WriteBmp(App("own.bmp"), Bitmap(176, 20, 0x3366CC));
    style_->LoadImage(App("own.bmp"));
    preview_->DrawPlugins();
    EXPECT_EQ(model::CountEntries(doc_), 2);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(IconBarHandlers, ACustomBarNeverReplacesTheProgramsPictures) {
    std::filesystem::create_directories(dir_ / "pics");
    const std::string pics = (dir_ / "pics").string() + "/";
    const std::string tray = platform::ReadFile(App("TrayIcons.bmp"));
    const model::TPlugins before = bar();
    // Kept under a ".bmp" name: "trayicons.jpg" would become the tray icons.
    for (const char* name : {"trayicons.jpg", "MRU16.bmp", "media_remote_sel.bmp", "bar\x7f.bmp"}) {
        std::string file = name;
        if (auto at = file.find("\\x7f"); at != std::string::npos) file.replace(at, 4, "\x7f");
        platform::WriteBmp(pics + file, Bitmap(176, 20, 0x0000FF));
        EXPECT_THROW(style_->LoadImage(pics + file), Error) << name;
        EXPECT_EQ(bar(), before);
    }
    EXPECT_EQ(platform::ReadFile(App("TrayIcons.bmp")), tray);
    preview_->DrawPlugins(); // the tray icons still draw
}

} // namespace
} // namespace tessaro::preview
