#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_util.h"
#include "formats/scheme.h"
#include "model/error.h"

using namespace tessaro;
using formats::ParseColorScheme;

namespace {

using tessaro::testsupport::Slurp;

} // namespace

TEST(Scheme, TrayColoursFallBackToTheirNeighbours) {
    auto s = ParseColorScheme("<scheme>\r\n<color name=\"COLOR_TRAYGRADLEFT\" value=\"#102030\" />\r\n</scheme>\r\n");
    for (int slot = 0; slot < 32; ++slot) {
        if (slot == 15 || slot == 17) EXPECT_EQ(s[slot], 0x302010u) << slot;
        else EXPECT_EQ(s[slot], 0u) << slot;
    }
    // Found tray colours keep their own values.
    s = ParseColorScheme("<scheme>\n<color name=\"COLOR_TRAYTEXT\" value=\"#aabbcc\" />\n"
                         "<color name=\"COLOR_TRAYICONS\" value=\"#010203\" />\n</scheme>");
    EXPECT_EQ(s[19], 0x030201u);
}

TEST(Scheme, SubstringRules) {
    // "#0" reads as black and drops the rest of the line.
    auto s = ParseColorScheme("<scheme>\r<color name=\"COLOR_MENU\" value=\"#0\" />\r"
                              "<color name=\"COLOR_HOMEHIGHLIGHTTEXT\" value=\"#FfEe0a\" />\r</scheme>");
    EXPECT_EQ(s[6], 0u);
    EXPECT_EQ(s[29], 0x0AEEFFu);
    EXPECT_EQ(s[30], 0u); // the quote tells COLOR_HOMEHIGHLIGHT from ...TEXT
    // The line holding <scheme> is examined, lines after </scheme> are not,
    // and a later line overrides an earlier one.
    s = ParseColorScheme("x <scheme> COLOR_WINDOW\" #112233\n"
                         "COLOR_STATIC\" #445566\nCOLOR_STATIC\" #778899\n</scheme>\nCOLOR_MENU\" #ffffff\n");
    EXPECT_EQ(s[0], 0x332211u);
    EXPECT_EQ(s[2], 0x998877u);
    EXPECT_EQ(s[6], 0u);
    // A whole scheme on the line with both markers reads as all black.
    s = ParseColorScheme("<scheme><color name=\"COLOR_WINDOW\" value=\"#ffffff\" /><color name=\"COLOR_TRAYTEXT\" "
                         "value=\"#ffffff\" /></scheme>");
    for (auto c : s) EXPECT_EQ(c, 0u);
    // A line naming two colours gives both the first value.
    s = ParseColorScheme("<scheme>\nCOLOR_MENU\" #010101 COLOR_MENUTEXT\" #020202\n");
    EXPECT_EQ(s[6], 0x010101u);
    EXPECT_EQ(s[7], 0x010101u);
}

TEST(Scheme, BadValuesNameTheText) {
    try {
        ParseColorScheme("<scheme>\n<color name=\"COLOR_MENU\" value=\"#12zz56\" />\n</scheme>\n");
        FAIL() << "a value that is not hexadecimal must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("12zz56"), std::string::npos) << e.what();
    }
    // Without "#" the six characters come from the start of the line.
    EXPECT_THROW(ParseColorScheme("<scheme>\n<color name=\"COLOR_MENU\" value=\"123456\" />\n"), Error);
    auto s = ParseColorScheme("<scheme>\nabcdefCOLOR_MENU\"\n");
    EXPECT_EQ(s[6], 0xEFCDABu);
    EXPECT_THROW(ParseColorScheme("<scheme>\nCOLOR_MENU\" #12"), Error);
}

TEST(Scheme, UserSchemeRoundTripsAllButWindowText) {
    model::Scheme in{};
    for (int k = 0; k < 32; ++k) in[k] = 0x010203u * model::Color(k + 1) ^ 0x00A5A5A5u;
    std::string text = formats::BuildUserScheme(in, "/p/My&Theme.trpf");
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?><colorscheme><author>Quillmark</author><contacturl>"
                         "http://www.quillmark.example/tessaro</contacturl><title>My&amp;Theme</title>"
                         "<version>1.0</version>\r\n<scheme>\r\n<color name=\"COLOR_WINDOW\"",
                         0),
              0u);
    EXPECT_EQ(text.substr(text.size() - 27), "</scheme>\r\n</colorscheme>\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 35);
    auto out = ParseColorScheme(text);
    for (int k = 0; k < 32; ++k) EXPECT_EQ(out[k], k == 1 ? 0u : in[k]) << k;
}

TEST(Scheme, ReadingAndWritingFiles) {
    namespace fs = std::filesystem;
    model::Document doc;
    doc.AppDir = (fs::temp_directory_path() / ("tessaro-scheme-" + std::to_string(::getpid()))).string() + "/";
    fs::create_directories(doc.AppDir);
    doc.Scheme[30] = 0xC56A31;
    formats::WriteUserScheme(doc, "Blue.trpf");
    EXPECT_EQ(formats::ReadColorScheme(doc.AppDir + "user.scheme.xml")[30], 0xC56A31u);
    fs::remove_all(doc.AppDir);
    try {
        formats::ReadColorScheme(doc.AppDir + "Default");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(doc.AppDir + "Default"), std::string::npos);
    }
    EXPECT_THROW(formats::WriteUserScheme(doc, "Blue.trpf"), Error);
}

// The shipped presets are in the writer's own format with all 31 colours.
TEST(Scheme, PresetsAreWrittenAsTheWriterDoes) {
    for (const char* name : {"Default", "Black", "Blue-Gray", "Green", "Mint", "Orange", "Pink", "Red", "Yellow"}) {
        std::string file = Slurp(std::string(TESSARO_PRESET_DIR) + name);
        ASSERT_FALSE(file.empty()) << name;
        auto scheme = ParseColorScheme(file);
        EXPECT_EQ(formats::BuildUserScheme(scheme, name), file) << name;
        EXPECT_NE(scheme[31], scheme[30]) << name;
    }
}
