#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "formats/project.h"
#include "model/error.h"

using namespace tessaro;
using formats::ParseProject;

namespace {

std::string Sample() {
    std::ifstream in(TESSARO_TEST_DATA "/foundation/sample.trpf", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text with line `n` (1-based) replaced.
std::string WithLine(const std::string& text, int n, const std::string& value) {
    std::size_t pos = 0;
    for (int i = 1; i < n; ++i) pos = text.find("\r\n", pos) + 2;
    return text.substr(0, pos) + value + text.substr(text.find("\r\n", pos));
}

std::string ErrorOf(const std::string& text) {
    try {
        ParseProject(text);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

model::Document DocumentOf(const formats::ProjectData& d) {
    model::Document doc;
    doc.BackgroundImage = d.Background;
    doc.SplitLines = d.SplitLines;
    doc.DefaultBgColor = d.DefaultBgColor;
    doc.DefaultTransparent = d.DefaultTransparent;
    doc.DefaultFontSize = d.DefaultFontSize;
    doc.DefaultSelWeight = d.DefaultSelWeight;
    doc.DefaultUnselWeight = d.DefaultUnselWeight;
    doc.DefaultSelColor = d.DefaultSelColor;
    doc.DefaultUnselColor = d.DefaultUnselColor;
    std::copy(d.Entries.begin(), d.Entries.end(), doc.Plugins.begin());
    return doc;
}

} // namespace

TEST(ProjectFormat, RoundTripIsByteForByte) {
    const std::string text = Sample();
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 133);
    auto d = ParseProject(text);
    ASSERT_EQ(d.Entries.size(), 3u);
    EXPECT_EQ(d.DefaultBgColor, 0xFF000000u);
    EXPECT_TRUE(d.DefaultTransparent);
    EXPECT_EQ(d.Entries[0].BgColor, 0x80000000u);
    EXPECT_EQ(d.Entries[0].Items[1].Text, "  two  ");
    EXPECT_EQ(d.Entries[1].CustomImage, "mybar.bmp");
    EXPECT_EQ(d.Entries[2].Items[2].Visible, 0);
    EXPECT_EQ(formats::FormatProject(DocumentOf(d)), text);
}

TEST(ProjectFormat, EmptyLayoutAndLooseReading) {
    model::Document doc;
    doc.BackgroundImage = "dir/back.jpg";
    std::string text = formats::FormatProject(doc);
    EXPECT_EQ(text, "back.jpg\r\n0\r\n0\r\nFALSE\r\n14\r\nbold\r\nnormal\r\n0\r\n0\r\n-1\r\n");
    EXPECT_TRUE(ParseProject(text).Entries.empty());

    // LF line ends, booleans other than "TRUE" are false, lines after the
    // last block are ignored.
    std::string lf = WithLine(Sample(), 4, "true");
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    auto d = ParseProject(lf + "trailing\n");
    EXPECT_FALSE(d.DefaultTransparent);
    EXPECT_EQ(d.Entries[0].Items[0].Text, "\xCF\xF0\xE8\xE2\xE5\xF2 ");
}

TEST(ProjectFormat, BadIntegersNameTheLine) {
    const std::string text = Sample();
    EXPECT_EQ(ErrorOf(WithLine(text, 15, "abc")), "Line 15: 'abc' is not a valid integer value");
    EXPECT_EQ(ErrorOf(WithLine(text, 5, "")), "Line 5: '' is not a valid integer value");
    EXPECT_EQ(ErrorOf(WithLine(text, 2, " 1")), "Line 2: ' 1' is not a valid integer value");
    EXPECT_EQ(ErrorOf(WithLine(text, 3, "2147483648")), "Line 3: '2147483648' is not a valid integer value");
    EXPECT_EQ(ErrorOf(WithLine(text, 3, "-2147483648")), "no error");
    EXPECT_EQ(ErrorOf(WithLine(text, 5, "+000000000000014")), "no error");
    EXPECT_EQ(ParseProject(WithLine(text, 3, "-000000000000000012")).DefaultBgColor, model::Color(-12));
    EXPECT_EQ(ErrorOf(WithLine(text, 3, "99999999999999999999999")),
              "Line 3: '99999999999999999999999' is not a valid integer value");
    // A truncated file reads missing texts as empty and fails at the first
    // missing integer.
    std::string cut = text.substr(0, text.find("Icon Bar"));
    EXPECT_EQ(ErrorOf(cut + "Icon Bar\r\n"), "Line 56: '' is not a valid integer value");
}

TEST(ProjectFormat, RefusesTooManyEntriesAndPathsInNames) {
    const std::string text = Sample();
    EXPECT_NE(ErrorOf(WithLine(text, 10, "1001")).find("Line 10: the project holds 1002 entries"), std::string::npos);
    EXPECT_EQ(ErrorOf(WithLine(text, 10, "-5")).find("Line"), std::string::npos);
    for (const char* bad : {"../evil.jpg", "sub/back.jpg", "..\\x.jpg", "C:back.jpg", ".."}) {
        EXPECT_NE(ErrorOf(WithLine(text, 1, bad)).find("Line 1:"), std::string::npos) << bad;
        EXPECT_NE(ErrorOf(WithLine(text, 20 + 41, bad)).find("Line 61:"), std::string::npos) << bad;
        EXPECT_NE(ErrorOf(WithLine(text, 21 + 41, bad)).find("Line 62:"), std::string::npos) << bad;
    }
    // Opening copies companions into the program folder: they must not
    // replace the programs or the presets there.
    for (const char* own : {"Cabwizsp", "tessaro-cli", "Default"}) {
        EXPECT_NE(ErrorOf(WithLine(text, 20 + 41, own)).find("Line 61:"), std::string::npos) << own;
        EXPECT_NE(ErrorOf(WithLine(text, 21 + 41, own)).find("Line 62:"), std::string::npos) << own;
    }
    EXPECT_EQ(ErrorOf(WithLine(text, 21 + 41, "Default.jpg")), "no error");
}
