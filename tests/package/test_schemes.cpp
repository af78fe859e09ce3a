#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/error.h"
#include "package/schemes.h"

using namespace tessaro;
using namespace tessaro::model;
using namespace tessaro::package;
namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// A scheme file giving the three home colours.
std::string SchemeText(const char* highlightText, const char* highlight, const char* text) {
    return std::string("<colorscheme>\r\n<scheme>\r\n") +
           "<color name=\"COLOR_HOMEHIGHLIGHTTEXT\" value=\"" + highlightText + "\" />\r\n" +
           "<color name=\"COLOR_HOMEHIGHLIGHT\" value=\"" + highlight + "\" />\r\n" +
           "<color name=\"COLOR_HOMETEXT\" value=\"" + text + "\" />\r\n</scheme>\r\n</colorscheme>\r\n";
}

struct SchemesTest : ::testing::Test {
    fs::path dir;
    Document doc;
    StateFormats w;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tessaro_schemes_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "elsewhere");
        doc.AppDir = dir.string() + "/";
        doc.DefaultSelColor = 0x0000AA;
        doc.DefaultUnselColor = 0x0000BB;
        doc.DefaultBgColor = 0x0000CC;
        doc.DefaultFontSize = 14;
        for (int i = 0; i < 2; ++i) {
            auto& e = doc.Plugins[i];
            e.Used = 1;
            e.Name = "Calendar";
            e.Transparent = 1;
            e.BgImage = "pic.jpg";
            for (auto& it : e.Items) {
                it.FontSize = 30;
                it.SelColor = 0x111111;
                it.UnselWeight = "normal";
                it.Text = "keep";
                it.X = 7;
            }
        }
        doc.Plugins[2].Name = "not in use";
    }
    void TearDown() override { fs::remove_all(dir); }
};

} // namespace

TEST_F(SchemesTest, PresetTakesOnlyTheBackgroundDefaultAndRewritesEveryEntry) {
    WriteText(dir / "Mint", SchemeText("#010203", "#A0B0C0", "#0a0b0c"));
    ChoosePreset(doc, w, "Mint");
    EXPECT_EQ(doc.Scheme[29], 0x030201u);
    EXPECT_EQ(doc.DefaultBgColor, 0xC0B0A0u);
    EXPECT_EQ(doc.DefaultSelColor, 0x0000AAu); // the defaults as they stood
    EXPECT_EQ(doc.DefaultUnselColor, 0x0000BBu);
    for (int i = 0; i < 2; ++i) {
        const auto& e = doc.Plugins[i];
        EXPECT_EQ(e.BgColor, 0xC0B0A0u);
        EXPECT_EQ(e.Transparent, 1);
        EXPECT_EQ(e.BgImage, "pic.jpg");
        for (const auto& it : e.Items) {
            EXPECT_EQ(it.FontSize, 14);
            EXPECT_EQ(it.SelColor, 0x0000AAu);
            EXPECT_EQ(it.UnselWeight, "normal");
            EXPECT_EQ(it.Text, "keep");
            EXPECT_EQ(it.X, 7);
        }
    }
    EXPECT_EQ(doc.Plugins[2].BgColor, 0u); // not in use
    EXPECT_EQ(w.Mode, FormatMode::Default);
    EXPECT_EQ(w.BgColor, 0xC0B0A0u);
}

TEST_F(SchemesTest, FailedPresetOrSchemeFileChangesNothing) {
    WriteText(dir / "Bad", SchemeText("#010203", "#zz0000", "#000000"));
    WriteText(dir / "elsewhere" / "bad.xml", SchemeText("#01020g", "#000000", "#000000"));
    const Document before = doc;
    for (const char* name : {"Min", "Bad", ""}) {
        EXPECT_THROW(ChoosePreset(doc, w, name), Error) << name;
        EXPECT_EQ(doc.Scheme, before.Scheme);
        EXPECT_EQ(doc.DefaultBgColor, before.DefaultBgColor);
        EXPECT_EQ(doc.Plugins, before.Plugins);
    }
    EXPECT_THROW(ChooseSchemeFile(doc, (dir / "elsewhere" / "bad.xml").string()), Error);
    EXPECT_THROW(ChooseSchemeFile(doc, (dir / "elsewhere" / "none.xml").string()), Error);
    EXPECT_EQ(doc.Scheme, before.Scheme);
    EXPECT_EQ(doc.DefaultSelColor, before.DefaultSelColor);
}

TEST_F(SchemesTest, SchemeFileIsCopiedInAndTakesAllThreeColourDefaultsButLeavesEntries) {
    const fs::path src = dir / "elsewhere" / "Sea.xml";
    WriteText(src, SchemeText("#112233", "#445566", "#778899"));
    const auto entries = doc.Plugins;
    EXPECT_EQ(ChooseSchemeFile(doc, src.string()), "Sea.xml");
    EXPECT_TRUE(fs::exists(dir / "Sea.xml"));
    EXPECT_EQ(doc.DefaultSelColor, 0x332211u);
    EXPECT_EQ(doc.DefaultBgColor, 0x665544u);
    EXPECT_EQ(doc.DefaultUnselColor, 0x998877u);
    EXPECT_EQ(doc.Plugins, entries);
    // Picking the copy in the program folder itself reads it unharmed.
    EXPECT_EQ(ChooseSchemeFile(doc, (dir / "Sea.xml").string()), "Sea.xml");
    EXPECT_EQ(doc.DefaultUnselColor, 0x998877u);
}

TEST_F(SchemesTest, DefaultModeWritesThroughAndApplyingKeepsTransparencyAndTexts) {
    LoadDefaultFormats(doc, w);
    EXPECT_TRUE(w.BackgroundControls);
    EXPECT_EQ(w.Caption, "Default Settings");
    SetFontSize(doc, w, 500);
    EXPECT_EQ(doc.DefaultFontSize, 200);
    SetUnselWeight(doc, w, "Heavy"); // free text, stored as typed
    SetBgColor(doc, w, 0x00FF00);
    SetTransparent(doc, w, false);
    ApplyDefaultsToEntries(doc);
    const auto& e = doc.Plugins[1];
    EXPECT_EQ(e.BgColor, 0x00FF00u);
    EXPECT_EQ(e.Transparent, 1);
    EXPECT_EQ(e.Items[2].FontSize, 200);
    EXPECT_EQ(e.Items[2].UnselWeight, "Heavy");
    EXPECT_EQ(e.Items[2].Text, "keep");
}

TEST_F(SchemesTest, ElementModeEditsTheWorkingCopyAndSchemeButtonEditsDefaults) {
    doc.Scheme[29] = 0x2929;
    doc.Scheme[30] = 0x3030;
    doc.Scheme[31] = 0x3131;
    doc.EditItem = doc.Plugins[0].Items[0];
    doc.EditItem.FontSize = 8; // below the spinner's range: shown as 12
    LoadElementFormats(doc, w, "Calendar Subject");
    EXPECT_FALSE(w.BackgroundControls);
    EXPECT_EQ(w.FontSize, 12);
    EXPECT_EQ(doc.EditItem.FontSize, 8); // loading writes nothing back
    SetSelColor(doc, w, 0x0A0B0C);
    SetBgColor(doc, w, 0x777777); // hidden in element mode: no effect
    EXPECT_EQ(doc.EditItem.SelColor, 0x0A0B0Cu);
    EXPECT_EQ(doc.DefaultBgColor, 0x0000CCu);

    LoadFromCurrentScheme(doc, w);
    EXPECT_EQ(doc.DefaultUnselWeight, "bold");
    EXPECT_EQ(doc.DefaultSelColor, 0x2929u);
    EXPECT_EQ(doc.DefaultUnselColor, 0x3131u);
    EXPECT_EQ(doc.DefaultBgColor, 0x3030u);
    EXPECT_EQ(doc.DefaultFontSize, 14);
    EXPECT_EQ(w.SelColor, 0x2929u); // the controls show the defaults
    EXPECT_EQ(doc.EditItem.SelColor, 0x0A0B0Cu);
    EXPECT_EQ(doc.DefaultSelWeight, "bold");

    // Before any opening the window has no target.
    StateFormats fresh;
    const Document before = doc;
    SetFontSize(doc, fresh, 40);
    SetSelWeight(doc, fresh, "normal");
    EXPECT_EQ(doc.DefaultFontSize, before.DefaultFontSize);
    EXPECT_EQ(doc.EditItem, before.EditItem);
}

TEST_F(SchemesTest, SchemeFileNeverReplacesAPresetOrAProgram) {
    WriteText(dir / "Default", SchemeText("#010101", "#020202", "#030303"));
    WriteText(dir / "Cabwizsp", "the builder");
    WriteText(dir / "elsewhere" / "Default", SchemeText("#ff0000", "#ff0000", "#ff0000"));
    WriteText(dir / "elsewhere" / "cabwizsp", SchemeText("#ff0000", "#ff0000", "#ff0000"));
    const Document before = doc;
    for (const char* name : {"Default", "cabwizsp"}) {
        const std::string message = [&] {
            try {
                ChooseSchemeFile(doc, (dir / "elsewhere" / name).string());
            } catch (const Error& e) {
                return std::string(e.what());
            }
            return std::string("no error");
        }();
        EXPECT_NE(message.find("has the name of one of the program's own files"), std::string::npos) << message;
    }
    EXPECT_EQ(doc.Scheme, before.Scheme);
    std::ifstream in(dir / "Cabwizsp");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the builder");
    ChoosePreset(doc, w, "Default"); // the preset itself is intact
    EXPECT_EQ(doc.DefaultBgColor, 0x020202u);

    // A file that is no scheme does not land in the program folder.
    WriteText(dir / "elsewhere" / "Broken.xml", SchemeText("#zz0000", "#000000", "#000000"));
    EXPECT_THROW(ChooseSchemeFile(doc, (dir / "elsewhere" / "Broken.xml").string()), Error);
    EXPECT_FALSE(fs::exists(dir / "Broken.xml"));
}
