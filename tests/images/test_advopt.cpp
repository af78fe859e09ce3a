#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "images/advopt.h"
#include "model/error.h"
#include "platform/files.h"

namespace tessaro::images {
namespace {

namespace fs = std::filesystem;

class AdvancedOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("tessaro-adv-" + std::to_string(std::random_device{}()));
        fs::create_directories(root_ / "app");
        doc_.AppDir = (root_ / "app").string() + "/";
        doc_.EditIndex = 2;
        entry().Used = 1;
    }
    void TearDown() override { fs::remove_all(root_); }
    model::TPlugins& entry() { return doc_.Plugins[2]; }

    fs::path root_;
    model::Document doc_;
};

TEST(AdvancedSectionFor, KindsAndTheirSections) {
    for (const char* k : {"All-Day Event", "Calendar", "Call Progress", "Messaging Counts",
                          "Missed Calls", "Profile"})
        EXPECT_EQ(AdvancedSectionFor(k), AdvancedSection::Background) << k;
    EXPECT_EQ(AdvancedSectionFor("MRU"), AdvancedSection::IconsCount);
    for (const char* k :
         {"Carrier/Sim", "Clock", "Owner Info", "WMPlayer", "Icon Bar", "AnalogClock", "calendar"})
        EXPECT_EQ(AdvancedSectionFor(k), AdvancedSection::None) << k;
}

TEST_F(AdvancedOptions, PictureIsCopiedUnchangedUnderItsOwnName) {
    const std::string src = (root_ / "strip 1.png").string(); // any file, no size or type check
    platform::WriteFile(src, std::string("\x89PNG\r\n\x1a\n\0data", 13));
    platform::WriteFile(doc_.AppDir + "strip 1.png", "older file");
    SetEntryPicture(doc_, src);
    EXPECT_EQ(entry().BgImage, "strip 1.png");
    EXPECT_EQ(platform::ReadFile(doc_.AppDir + "strip 1.png"), platform::ReadFile(src));

    // Choosing the copy in the program folder again keeps it intact.
    SetEntryPicture(doc_, doc_.AppDir + "strip 1.png");
    EXPECT_EQ(platform::ReadFile(doc_.AppDir + "strip 1.png"), platform::ReadFile(src));
}

TEST_F(AdvancedOptions, FailedCopyLeavesTheEntryAlone) {
    entry().BgImage = "before.jpg";
    EXPECT_THROW(SetEntryPicture(doc_, (root_ / "missing.jpg").string()), Error);
    EXPECT_EQ(entry().BgImage, "before.jpg");

    // A picture named like one of the program's own files would replace it.
    platform::WriteFile(doc_.AppDir + "Default", "preset");
    platform::WriteFile((root_ / "Default").string(), "not a scheme");
    EXPECT_THROW(SetEntryPicture(doc_, (root_ / "Default").string()), Error);
    EXPECT_EQ(platform::ReadFile(doc_.AppDir + "Default"), "preset");
    EXPECT_EQ(entry().BgImage, "before.jpg");
}

TEST_F(AdvancedOptions, DelAndTransparencyButtons) {
    entry().BgImage = "a.jpg";
    ClearEntryPicture(doc_);
    EXPECT_EQ(entry().BgImage, "");
    EXPECT_EQ(entry().Transparent, 0);

    entry().BgImage = "a.jpg";
    DontUseTransparentBackground(doc_);
    EXPECT_EQ(entry().Transparent, 0);
    EXPECT_EQ(entry().BgImage, "a.jpg");

    UseTransparentBackground(doc_);
    EXPECT_EQ(entry().Transparent, 1);
    EXPECT_EQ(entry().BgImage, "");

    entry().BgImage = "b.jpg";
    DontUseTransparentBackground(doc_);
    EXPECT_EQ(entry().Transparent, 0);
    EXPECT_EQ(entry().BgImage, "b.jpg");
    EXPECT_EQ(doc_.Plugins[1], model::TPlugins{}); // only the edited entry changes
}

TEST_F(AdvancedOptions, IconsCountWritesSlotTwoExtraWithinRange) {
    SetIconsCount(doc_, 7);
    EXPECT_EQ(entry().Items[1].Extra, "7");
    SetIconsCount(doc_, 1);
    EXPECT_EQ(entry().Items[1].Extra, "1");
    SetIconsCount(doc_, 12);
    EXPECT_EQ(entry().Items[1].Extra, "9");
    SetIconsCount(doc_, 0);
    EXPECT_EQ(entry().Items[1].Extra, "1");
    EXPECT_EQ(entry().Items[0].Extra, "");
}

TEST_F(AdvancedOptions, PicturesNeverArriveAsTheProgramsFiles) {
    using namespace std::string_literals;
    entry().BgImage = "before.jpg";
    platform::WriteFile(doc_.AppDir + "TrayIcons.bmp", "tray icons");
    platform::WriteFile(doc_.AppDir + "iconbar.jpg", "icon bar drawing");
    for (const std::string& name : {"TRAYICONS.bmp"s, "iconbar.jpg"s, "temp"s, "Theme.home.xml"s, "a\x01.jpg"s}) {
        const std::string src = (root_ / name).string();
        platform::WriteFile(src, "planted");
        EXPECT_THROW(SetEntryPicture(doc_, src), Error) << name;
        EXPECT_FALSE(fs::exists(doc_.AppDir + name) && platform::ReadFile(doc_.AppDir + name) == "planted") << name;
    }
    EXPECT_EQ(platform::ReadFile(doc_.AppDir + "TrayIcons.bmp"), "tray icons");
    EXPECT_EQ(platform::ReadFile(doc_.AppDir + "iconbar.jpg"), "icon bar drawing");
    EXPECT_EQ(entry().BgImage, "before.jpg");
}

} // namespace
} // namespace tessaro::images
