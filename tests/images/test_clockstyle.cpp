#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/picture.h"
#include "preview/preview.h"
#include "preview/clock.h"
#include "preview/clockstyle.h"
#include "style_fixture.h"

namespace tessaro::preview {
namespace {

constexpr int kRoomy = 5000; // a height field maximum of 176 or more

class ClockHandlers : public testing::ProgramFolder {
  protected:
    void Start(int top, int height) {
        clock_ = Add("AnalogClock", top, height);
        doc_.EditIndex = clock_;
        preview_->DrawPlugins();
        style_ = std::make_unique<ClockStyle>(*preview_);
    }
    model::TPlugins& clock() { return doc_.Plugins[clock_]; }
    Clock& fields() { return style_->Fields(); }

    int clock_ = 0;
    std::unique_ptr<ClockStyle> style_;
};

TEST_F(ClockHandlers, OpeningLoadsTheEntryAndOkStoresItBack) {
    Start(0, 60);
    clock().Items[0].X = 10;
    clock().Items[1].X = 3;
    clock().Items[1].Y = 2;
    clock().Items[2].Y = 50;
    clock().Items[0].SelColor = 0x0000FF;
    clock().Items[0].UnselColor = 0x00FF00;
    const model::TPlugins before = clock();
    style_->Open(kRoomy);
    EXPECT_EQ(fields().Size.Value, 60);
    EXPECT_EQ(fields().XPosition.Value, 10);
    EXPECT_EQ(fields().XPosition.Max, 116);
    EXPECT_EQ(fields().HourWidth.Value, 3);
    EXPECT_EQ(fields().Length.Value, 50);
    EXPECT_EQ(style_->SizeLabel, " x60");
    EXPECT_FALSE(style_->AdvancedPanelVisible);
    EXPECT_EQ(fields().Image1.Height(), 60);
    EXPECT_EQ(style_->Ok(), 60);
    EXPECT_EQ(clock(), before);
}

TEST_F(ClockHandlers, OutOfRangeValuesAreStoredClamped) {
    Start(0, 100);
    clock().Items[0].X = 150; // more than 176 - 100
    clock().Items[1].X = 0;
    clock().Items[2].Y = 250;
    style_->Open(kRoomy);
    style_->SizeTextChanged("176");
    EXPECT_EQ(style_->SizeLabel, " x176");
    EXPECT_EQ(fields().XPosition.Value, 0);
    EXPECT_FALSE(fields().XPosition.Enabled);
    EXPECT_EQ(style_->Ok(), 176);
    EXPECT_EQ(clock().Height, 176);
    EXPECT_EQ(clock().Items[0].X, 0);
    EXPECT_EQ(clock().Items[1].X, 1);
    EXPECT_EQ(clock().Items[2].Y, 100);
}

TEST_F(ClockHandlers, AdvancedFaceAtTop150IsLimitedToSize50) {
    Start(150, 40);
    style_->Open(kRoomy);
    style_->FaceStyleChosen(kFaceAdvanced, kRoomy);
    EXPECT_TRUE(style_->AdvancedPanelVisible);
    EXPECT_EQ(fields().Size.Max, 50);
    style_->SizeTextChanged("120");
    EXPECT_EQ(fields().Size.Value, 50);
    EXPECT_EQ(doc_.BGI, "BackGroundImage with Analog Plugin.jpg");
    EXPECT_TRUE(platform::FileExists(App("BackGroundImage with Analog Plugin.jpg")));
    EXPECT_EQ(style_->Ok(), 50);
    EXPECT_EQ(clock().Height, 50);
    EXPECT_EQ(clock().Items[0].Y, 1);

    // A height field maximum below 176 is the limit itself.
    style_->FaceStyleChosen(kFaceAdvanced, 30);
    EXPECT_EQ(fields().Size.Value, 30);
    // Back to None: the full range again, the size stays.
    style_->FaceStyleChosen(kFaceNone, 30);
    EXPECT_EQ(fields().Size.Max, 176);
    EXPECT_EQ(fields().Size.Value, 30);
}

TEST_F(ClockHandlers, AdvancedFaceIsRefusedInAScrollableLayout) {
    Start(0, 40);
    Add("Calendar", 40, 170); // the layout ends at 210
    style_->Open(kRoomy);
    style_->FaceStyleChosen(kFaceAdvanced, kRoomy);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0],
              "You are not able to use advanced faces when your layout is scrollable");
    EXPECT_EQ(fields().FaceStyle, kFaceNone);
    EXPECT_FALSE(style_->AdvancedPanelVisible);
    EXPECT_FALSE(platform::FileExists(App("BackGroundImage with Analog Plugin.jpg")));
    EXPECT_EQ(doc_.BGI, "WindowsMobile.JPG");
}

TEST_F(ClockHandlers, OpeningAClockWithoutAdvancedFaceKeepsItsSize) {
    // The window was last used for an advanced face low on the screen.
    Start(150, 40);
    style_->Open(kRoomy);
    style_->FaceStyleChosen(kFaceAdvanced, kRoomy);
    ASSERT_EQ(fields().Size.Max, 50);
    const int other = Add("AnalogClock", 190, 120);
    doc_.EditIndex = other;
    style_->Open(kRoomy);
    EXPECT_EQ(fields().Size.Value, 120);
    EXPECT_EQ(style_->Ok(), 120);
}

TEST_F(ClockHandlers, SwatchesTakeTheChosenColour) {
    Start(0, 40);
    style_->Open(kRoomy);
    style_->SwatchChosen(kSwatchHourHand, 0x112233);
    style_->SwatchChosen(kSwatchMinuteHand, std::nullopt);
    style_->SwatchChosen(kSwatchFace, 0xFFFFFF);
    const model::Color minute = fields().MinuteColor;
    style_->Ok();
    EXPECT_EQ(clock().Items[0].SelColor, 0x112233u);
    EXPECT_EQ(clock().Items[0].UnselColor, minute);
    EXPECT_EQ(clock().BgColor, 0xFFFFFFu);
}

TEST_F(ClockHandlers, OnlyOneAdvancedFaceSurvivesThePreview) {
    Start(0, 40);
    style_->Open(kRoomy);
    style_->FaceStyleChosen(kFaceAdvanced, kRoomy);
    style_->Ok();
    const int second = Add("AnalogClock", 40, 40);
    doc_.EditIndex = second;
    style_->Open(kRoomy);
    style_->FaceStyleChosen(kFaceAdvanced, kRoomy);
    style_->Ok();
    preview_->DrawPlugins();
    EXPECT_EQ(model::CountEntries(doc_), 1);
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), "You can use just one advanced AnalogClock Face!");
}

TEST_F(ClockHandlers, AFaceInAScrolledLayoutIsBurnedIntoTheRealBackground) {
    // A background of one colour, so any white in the clock's square is the
    // preview's backdrop leaking into the picture sent to the phone.
    platform::WriteJpeg(App("WindowsMobile.JPG"), platform::Bitmap(176, 200, platform::Rgb(30, 90, 160)), 100);
    Start(20, 60);
    clock().Items[0].Y = kFaceAdvanced;
    clock().Items[0].X = 40;
    preview_->DrawPlugins();
    const std::string flat = platform::ReadFile(App(kAnalogBackground));

    Add("Calendar", 80, 150); // the layout ends at 230: it scrolls now
    ASSERT_TRUE(preview_->IsScrolled());
    preview_->DrawPlugins();
    const std::string scrolled = platform::ReadFile(App(kAnalogBackground));
    EXPECT_TRUE(scrolled == flat) << "the scrolled layout burned other pixels than the flat one";

    const platform::Bitmap burned = platform::DecodeJpeg(scrolled);
    int white = 0;
    for (int y = 20; y < 80; ++y)
        for (int x = 40; x < 100; ++x)
            if (platform::RedOf(burned.Pixel(x, y)) > 240 && platform::GreenOf(burned.Pixel(x, y)) > 240 &&
                platform::BlueOf(burned.Pixel(x, y)) > 240)
                ++white;
    EXPECT_EQ(white, 0) << "white pixels in the face's square of the written background";
    // Where the face template lets the background through it is the background.
    const model::Color corner = burned.Pixel(41, 21);
    EXPECT_NEAR(platform::RedOf(corner), 30, 6);
    EXPECT_NEAR(platform::BlueOf(corner), 160, 6);
}

} // namespace
} // namespace tessaro::preview
