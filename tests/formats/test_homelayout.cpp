#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_util.h"
#include "formats/homelayout.h"
#include "model/error.h"
#include "model/foreign.h"
#include "formats/cp1251.h"

using namespace tessaro;
using namespace tessaro::model;
using formats::BuildHomeLayout;

namespace {

using tessaro::testsupport::Slurp;

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < file.size()) {
        auto end = file.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back(file.substr(pos) + "<no CR LF>");
            break;
        }
        out.push_back(file.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

TPluginItem Element(int x, int y, int size, Color sel, Color unsel, std::string text = "") {
    TPluginItem it;
    it.Visible = 1;
    it.X = x;
    it.Y = y;
    it.FontSize = size;
    it.SelWeight = "bold";
    it.UnselWeight = "normal";
    it.SelColor = sel;
    it.UnselColor = unsel;
    it.Text = std::move(text);
    return it;
}

TPlugins& Add(Document& doc, const std::string& name, int top, int height) {
    int i = CountEntries(doc);
    TPlugins& e = doc.Plugins[i];
    e.Used = 1;
    e.Name = name;
    e.Top = top;
    e.Height = height;
    if (name == "Calendar") e.ClsId = "865A354A-4A96-4687-B001-C155DC0DBE76";
    e.DllName = name == "WMPlayer" ? "" : "sysplug.dll";
    return e;
}

// The plugin lines of the file (after the scheme block, before </home>).
std::vector<std::string> PluginLines(Document& doc) {
    auto all = Lines(BuildHomeLayout(doc, "T.home.xml"));
    return std::vector<std::string>(all.begin() + 33, all.end() - 1);
}

} // namespace

TEST(HomeLayout, ReproducesTheWorkedExampleByteForByte) {
    Document doc;
    doc.Scheme[0] = 0xFFFFFF;
    for (int k = 1; k < kSchemeSize; ++k) doc.Scheme[k] = Color(k * 8) | Color(255 - k * 8) << 8 | Color(k * 3) << 16;
    TPlugins& carrier = Add(doc, "Carrier/Sim", 0, 20);
    carrier.ClsId = "E09043DF-510E-4841-B652-388316977A7A";
    carrier.BgColor = 0xA05020;
    carrier.Items[0] = Element(4, 2, 14, 0xFFFFFF, 0);
    carrier.Items[1] = Element(130, 2, 12, 0xFF00FF, 0x404040);
    carrier.Items[2] = Element(90, 20, 14, 0, 0);
    carrier.Items[2].Visible = 0;
    TPlugins& allDay = Add(doc, "All-Day Event", 25, 20);
    allDay.ClsId = "2FFD93B3-0FF0-4228-A6D6-D2DF177D7D92";
    allDay.Transparent = 1;
    allDay.Items[0] = Element(4, 2, 14, 0xFFFFFF, 0, "Today");
    allDay.Items[1].Visible = 0;
    Add(doc, "WMPlayer", 45, 20);

    const std::string golden = Slurp(TESSARO_TEST_DATA "/foundation/blue.home.xml");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(BuildHomeLayout(doc, "C:\\Themes\\Blue.home.xml"), golden);

    doc.AppDir = (std::filesystem::temp_directory_path() / "tessaro-hl-").string() + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(doc.AppDir);
    formats::WriteHomeLayout(doc, "Blue.home.xml");
    EXPECT_EQ(Slurp(doc.AppDir + "temp"), golden);
    std::filesystem::remove_all(doc.AppDir);
    EXPECT_THROW(formats::WriteHomeLayout(doc, "Blue.home.xml"), Error);
}

TEST(HomeLayout, EmptyDocumentAndSplitLines) {
    Document doc;
    auto on = Lines(BuildHomeLayout(doc, "MyTheme"));
    ASSERT_EQ(on.size(), 34u);
    EXPECT_EQ(on[0].substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(on[0].find("<title>MyTheme</title>"), std::string::npos);
    EXPECT_NE(on[1].find("b-border-color=\"COLOR_HOMERULE\" b-border-width=\"1\""), std::string::npos);
    EXPECT_EQ(on[33], "</home>");
    doc.SplitLines = 1;
    auto off = Lines(BuildHomeLayout(doc, ""));
    EXPECT_NE(off[1].find("b-border-color=\"transparent\" b-border-width=\"0\""), std::string::npos);
    EXPECT_NE(off[0].find("<title></title>"), std::string::npos);
}

TEST(HomeLayout, TitleDropsFolderAndTwoExtensions) {
    EXPECT_EQ(formats::TitleOf("Blue.home.xml"), "Blue");
    EXPECT_EQ(formats::TitleOf("Blue.xml"), "Blue");
    EXPECT_EQ(formats::TitleOf("/a/b.c/My.Blue.home.xml"), "My.Blue");
    EXPECT_EQ(formats::TitleOf("D:\\x\\MyTheme"), "MyTheme");
}

TEST(HomeLayout, SpacersFillGapsOnly) {
    Document doc;
    Add(doc, "Profile", 10, 20);
    Add(doc, "Profile", 40, 20);
    Add(doc, "Profile", 60, 20);  // touches
    Add(doc, "Profile", 70, 20);  // overlaps
    Add(doc, "Nonsense", 95, 5);  // no line, but its gap counts
    Add(doc, "Profile", 100, 20);
    auto p = PluginLines(doc);
    ASSERT_EQ(p.size(), 8u);
    EXPECT_EQ(p[0], "<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"10\"/>");
    EXPECT_EQ(p[2], "<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"10\"></plugin>");
    EXPECT_NE(p[3].find("<profile />"), std::string::npos); // touching: no spacer
    EXPECT_NE(p[4].find("<profile />"), std::string::npos); // overlapping: no spacer
    EXPECT_NE(p[5].find("<profile />"), std::string::npos);
    EXPECT_EQ(p[6], "<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"5\"></plugin>");
    EXPECT_NE(p[7].find("<profile />"), std::string::npos);
}

TEST(HomeLayout, AnalogClockInsetRoundsHalvesToEven) {
    auto analog = [](int h, int p, int top = 0) {
        Document doc;
        TPlugins& e = Add(doc, "AnalogClock", top, h);
        e.Items[0].X = 10;
        e.Items[0].SelColor = 0x0000FF;
        e.Items[0].UnselColor = 0x00FF00;
        e.Items[1].X = 3;
        e.Items[1].Y = 2;
        e.Items[2].Y = p;
        std::string line = PluginLines(doc).back();
        auto at = line.find("<analogtime");
        return at == std::string::npos ? line : line.substr(at);
    };
    EXPECT_EQ(analog(40, 70), "<analogtime x=\"16\" y=\"6\" width=\"28\" height=\"28\" Hcolor=\"#ff0000\" "
                              "Mcolor=\"#00ff00\" handHwidth=\"3\" handMwidth=\"2\"/></plugin>");
    EXPECT_NE(analog(41, 70).find("x=\"16\" y=\"6\" width=\"29\""), std::string::npos);
    EXPECT_NE(analog(43, 70).find("x=\"17\" y=\"7\" width=\"29\""), std::string::npos);
    EXPECT_NE(analog(43, 100, 50).find("x=\"10\" y=\"50\" width=\"43\""), std::string::npos);
    // 30 x 50 / 200 = 7.5 goes to 8, 15 stays: inset 7.
    EXPECT_NE(analog(30, 50).find("x=\"17\" y=\"7\" width=\"16\""), std::string::npos);
}

TEST(HomeLayout, KindBodiesFollowTheirFlags) {
    Document doc;
    TPlugins& clock = Add(doc, "Clock", 0, 20);
    TPlugins& missedOn = Add(doc, "Missed Calls", 20, 20);
    missedOn.Items[1].Visible = 1;
    Add(doc, "Missed Calls", 40, 20);
    TPlugins& dayOn = Add(doc, "All-Day Event", 60, 20);
    dayOn.Items[1].Visible = 1;
    Add(doc, "Call Progress", 80, 20);
    TPlugins& cal = Add(doc, "Calendar", 100, 40);
    cal.Items[0].Visible = 0; // element 1 is written anyway
    cal.Items[2].Visible = 1;
    cal.BgImage = "tile.jpg";
    cal.Transparent = 1;
    (void)clock;
    auto p = PluginLines(doc);
    ASSERT_EQ(p.size(), 6u);
    EXPECT_NE(p[0].find("</background></plugin>"), std::string::npos);
    EXPECT_NE(p[1].find("<format state=\"nocall\" visible=\"true\"/><label"), std::string::npos);
    EXPECT_NE(p[2].find("<format state=\"nocall\" visible=\"false\"/><label"), std::string::npos);
    EXPECT_EQ(p[3].find("noevent"), std::string::npos);
    EXPECT_NE(p[4].find("</background><format state=\"nocall\" visible=\"false\"/><label"), std::string::npos);
    EXPECT_NE(p[5].find("bgimage=\"IPSM\\Application Data\\Home\\tile.jpg\"/></background><label"), std::string::npos);
    EXPECT_NE(p[5].find("<subject/>"), std::string::npos);
    EXPECT_EQ(p[5].find("<time/>"), std::string::npos);
    EXPECT_NE(p[5].find("<location/>"), std::string::npos);
}

TEST(HomeLayout, IconBarFormsAndTheirSideEffect) {
    Document doc;
    doc.Scheme[19] = 0x332211;
    TPlugins& bar = Add(doc, "Icon Bar", 0, 20);
    bar.Transparent = 1;
    bar.TransparencyLevel = 255;
    bar.BgImage = "mine.jpg";
    auto p = PluginLines(doc);
    EXPECT_EQ(p[0], "<plugin clsid=\"{837FC251-FE69-43ad-84E0-EBCEDEBA0884}\" name=\"Iconbar\" height=\"0\">"
                    "<iconbar bgcolor=\"transparent\" fgcolor=\"#112233\" y=\"0\" x=\"0\"/></plugin>");
    EXPECT_EQ(doc.Plugins[0].BgImage, "mine.jpg");
    doc.Plugins[0].TransparencyLevel = 254;
    p = PluginLines(doc);
    EXPECT_EQ(p[0], "<plugin clsid=\"{837FC251-FE69-43ad-84E0-EBCEDEBA0884}\" name=\"iconbar\" height=\"20\">"
                    "<iconbar fgcolor=\"#112233\" /><background bgimage=\"IPSM\\Application Data\\Home\\iconbar.jpg\" "
                    "/></plugin>");
    EXPECT_EQ(doc.Plugins[0].BgImage, "iconbar.jpg");
}

TEST(HomeLayout, MruWritesYBeforeXAndTheAppNameWhenShown) {
    Document doc;
    TPlugins& mru = Add(doc, "MRU", 0, 55);
    mru.Items[0] = Element(4, 2, 14, 0, 0);
    mru.Items[0].Extra = "16";
    mru.Items[1] = Element(5, 36, 11, 0, 0x0000FF);
    mru.Items[1].Extra = "7";
    mru.BgColor = 0x123456; // never written: the MRU background is transparent
    auto p = PluginLines(doc);
    EXPECT_NE(p[0].find("<mru y=\"2\" x=\"4\" max-buttons=\"7\" icon-size=\"16\"/><appname x=\"5\" y=\"36\" "
                        "font-size=\"11\" fgcolor=\"#ff0000\" font-weight=\"normal\"/></plugin>"),
              std::string::npos);
    EXPECT_EQ(p[0].find("#563412"), std::string::npos);
    doc.Plugins[0].Items[1].Visible = 0;
    EXPECT_EQ(PluginLines(doc)[0].find("<appname"), std::string::npos);
}

TEST(HomeLayout, CyrillicLettersBecomeUtf8) {
    Document doc;
    TPlugins& e = Add(doc, "Profile", 0, 20);
    e.Items[0].Text = std::string(100, '\xC0');
    std::string plain = PluginLines(doc)[0];
    // "Ё", "ё", "а", "я", then guillemets around "Б".
    e.Items[0].Text = "\xA8\xB8\xE0\xFF\xAB\xC1\xBB";
    std::string mixed = PluginLines(doc)[0];
    EXPECT_NE(mixed.find("<text>\xD0\x81\xD1\x91\xD0\xB0\xD1\x8F\xC2\xAB\xD0\x91\xC2\xBB<profile />"),
              std::string::npos);
    e.Items[0].Text = "";
    std::string none = PluginLines(doc)[0];
    EXPECT_EQ(plain.size(), none.size() + 200);
    std::string converted;
    for (int i = 0; i < 100; ++i) converted += "\xD0\x90";
    EXPECT_NE(plain.find("<text>" + converted + "<profile />"), std::string::npos);
    EXPECT_EQ(plain.find('\xC0'), std::string::npos);

    // A Cyrillic layout name gives a Cyrillic title whether the name arrives
    // as UTF-8 (this system's file names) or as code-page bytes.
    const std::string title = "<title>\xD0\xA1\xD0\xB8\xD0\xBD\xD0\xB8\xD0\xB9</title>";
    EXPECT_NE(Lines(BuildHomeLayout(doc, "/t/\xD0\xA1\xD0\xB8\xD0\xBD\xD0\xB8\xD0\xB9.home.xml"))[0].find(title),
              std::string::npos);
    EXPECT_NE(Lines(BuildHomeLayout(doc, "\xD1\xE8\xED\xE8\xE9.home.xml"))[0].find(title), std::string::npos);

    // Picture names are file names too: a UTF-8 name comes out as it is on
    // disk, not encoded twice.
    const std::string name = "\xD1\x84\xD0\xBE\xD0\xBD.jpg"; // "фон.jpg"
    doc.BGI = name;
    e.BgImage = name;
    auto all = Lines(BuildHomeLayout(doc, "x.home.xml"));
    EXPECT_NE(all[2].find("bgimage=\"" + name + "\""), std::string::npos) << all[2];
    EXPECT_NE(all[33].find("bgimage=\"IPSM\\Application Data\\Home\\" + name + "\""), std::string::npos);
}

TEST(HomeLayout, MarkupCharactersInValuesAreEscaped) {
    Document doc;
    doc.BGI = "/pics/a&b.jpg";
    TPlugins& e = Add(doc, "Profile", 0, 20);
    e.Items[0].Text = "Tom & \"Jerry\" <3>";
    e.Name = "Profile";
    auto all = Lines(BuildHomeLayout(doc, "R&D <1>.home.xml"));
    EXPECT_NE(all[0].find("<title>R&amp;D &lt;1&gt;</title>"), std::string::npos);
    EXPECT_NE(all[2].find("bgimage=\"a&amp;b.jpg\""), std::string::npos);
    EXPECT_NE(all[33].find("<text>Tom &amp; &quot;Jerry&quot; &lt;3&gt;<profile /></text>"), std::string::npos);
}

// Every byte of the code page comes out as the UTF-8 of its character, so the
// file stays valid UTF-8 whatever the texts hold; the Cyrillic letters keep
// their two-byte forms and ASCII is untouched.
TEST(HomeLayout, EveryCodePageByteBecomesValidUtf8) {
    Document doc;
    TPlugins& e = Add(doc, "Profile", 0, 20);
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    e.Items[0].Text = all;
    const std::string file = BuildHomeLayout(doc, "x.home.xml");
    EXPECT_TRUE(formats::IsUtf8(file));
    const std::string line = PluginLines(doc)[0];
    const std::size_t at = line.find("<text>") + 6;
    const std::string text = line.substr(at, line.find("<profile />") - at);

    std::string expected;
    for (int b = 1; b < 0x80; ++b) expected += char(b);
    // 0x80..0xBF: the table's characters, 0x98 unassigned.
    const char* high[] = {"\u0402", "\u0403", "\u201A", "\u0453", "\u201E", "\u2026", "\u2020", "\u2021",
                          "\u20AC", "\u2030", "\u0409", "\u2039", "\u040A", "\u040C", "\u040B", "\u040F",
                          "\u0452", "\u2018", "\u2019", "\u201C", "\u201D", "\u2022", "\u2013", "\u2014",
                          "\uFFFD", "\u2122", "\u0459", "\u203A", "\u045A", "\u045C", "\u045B", "\u045F",
                          "\u00A0", "\u040E", "\u045E", "\u0408", "\u00A4", "\u0490", "\u00A6", "\u00A7",
                          "\u0401", "\u00A9", "\u0404", "\u00AB", "\u00AC", "\u00AD", "\u00AE", "\u0407",
                          "\u00B0", "\u00B1", "\u0406", "\u0456", "\u0491", "\u00B5", "\u00B6", "\u00B7",
                          "\u0451", "\u2116", "\u0454", "\u00BB", "\u0458", "\u0405", "\u0455", "\u0457"};
    for (const char* h : high) expected += h;
    for (int b = 0xC0; b <= 0xEF; ++b) expected += {char(0xD0), char(0x90 + (b - 0xC0))};
    for (int b = 0xF0; b <= 0xFF; ++b) expected += {char(0xD1), char(0x80 + (b - 0xF0))};
    // The markup characters are escaped by the writer.
    std::string escaped;
    for (char c : expected) {
        if (c == '&') escaped += "&amp;";
        else if (c == '<') escaped += "&lt;";
        else if (c == '>') escaped += "&gt;";
        else if (c == '"') escaped += "&quot;";
        else escaped += c;
    }
    EXPECT_EQ(text, escaped);
    // Ё and ё keep the exact bytes they always had.
    EXPECT_EQ(expected.substr(expected.find("\xD0\x81"), 2), "\xD0\x81");
}

// A plugin outside the catalogue is written back exactly as it was held,
// line breaks and non-Windows-1251 characters included, in its place among
// the spacers.
TEST(HomeLayout, ForeignPluginWrittenVerbatim) {
    Document doc;
    Add(doc, "Profile", 0, 20);
    TPlugins& f = Add(doc, "Weather", 30, 40);
    const std::string element = "<plugin name=\"Weather\" clsid=\"{1}\" height=\"40\">\n  <x a='\\n'>\xE4\xB8\xAD\xC2\xAB</x>\r\n</plugin>";
    SetForeignElement(f, element);
    EXPECT_TRUE(IsForeignPlugin(f));
    EXPECT_EQ(f.Items[2].Extra.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(ForeignElement(f), element);
    const std::string file = BuildHomeLayout(doc, "x.home.xml");
    const std::string expect = "<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"10\"></plugin>\r\n" +
                               element + "\r\n</home>\r\n";
    ASSERT_GE(file.size(), expect.size());
    EXPECT_EQ(file.substr(file.size() - expect.size()), expect);
    // A kind name never counts as foreign, whatever its slot 3 holds.
    f.Name = "Clock";
    EXPECT_FALSE(IsForeignPlugin(f));
}
