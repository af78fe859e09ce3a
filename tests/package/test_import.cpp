// libgcab first: glib must not meet Qt's keywords.
#include <libgcab.h>

#include <gtest/gtest.h>

#include <regex>

#include "cabinet_fixture.h"
#include "support/program_folder.h"
#include "formats/homelayout.h"
#include "model/catalogue.h"
#include "model/foreign.h"
#include "formats/project.h"
#include "package/cabfiles.h"
#include "package/cabinet.h"
#include "package/import.h"
#include "package/layoutimport.h"
#include "package/project.h"
#include "platform/picture.h"

using namespace tessaro;
using namespace tessaro::model;
using cabtest::Exists;
using cabtest::RunTool;
using cabtest::Spit;
using cabtest::TempDir;
using testsupport::ErrorOf;
using testsupport::Slurp;

namespace {

std::string Jpeg(int w, int h, Color c) {
    platform::Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, c + Color(x));
    return platform::EncodeJpeg(b, 90);
}

TPlugins& Add(Document& doc, const char* kind, int top, int height) {
    const int i = CountEntries(doc);
    TPlugins& e = doc.Plugins[std::size_t(i)];
    const KindInfo& info = Catalogue()[std::size_t(KindIndex(kind))];
    e.Used = 1;
    e.Name = kind;
    e.ClsId = info.ClsId;
    e.DllName = info.DllName;
    e.Top = top;
    e.Height = height;
    e.BgColor = 0x102030 + Color(i);
    for (int s = 0; s < 3; ++s) {
        TPluginItem& it = e.Items[std::size_t(s)];
        it.Visible = 1;
        it.X = 3 + s * 40 + i;
        it.Y = 2 + s * 7;
        it.FontSize = 12 + s;
        it.SelWeight = s == 1 ? "normal" : "bold";
        it.UnselWeight = s == 2 ? "bold" : "normal";
        it.SelColor = 0x00A0B0C0 + Color(s);
        it.UnselColor = 0x00010203 * Color(i + 1);
    }
    doc.ActivePluginsList.Lines.push_back(kind);
    return e;
}

// A design with every kind, gaps, Cyrillic, markup characters and the
// characters outside Cyrillic that Windows-1251 has.
Document Showcase() {
    Document doc;
    for (int s = 0; s < kSchemeSize; ++s) doc.Scheme[std::size_t(s)] = 0x00112233 + Color(s) * 0x050301;
    doc.BGI = doc.BackgroundImage = "back.jpg";
    int top = 10; // a leading gap
    auto next = [&](const char* kind, int h, int gap = 0) -> TPlugins& {
        top += gap;
        TPlugins& e = Add(doc, kind, top, h);
        top += h;
        return e;
    };
    next("Icon Bar", 20);
    TPlugins& carrier = next("Carrier/Sim", 40);
    carrier.Items[0].Text = "\xCE\xEF\xE5\xF0\xE0\xF2\xEE\xF0 "; // "Оператор "
    carrier.Items[2].Visible = 0;
    TPlugins& clock = next("Clock", 20, 5);
    clock.Items[0].Visible = 0;
    clock.Transparent = 1;
    TPlugins& cal = next("Calendar", 40);
    cal.Items[0].Text = "A&B <c> \"q\" 'x' ";
    cal.BgImage = "cal bg.jpg";
    next("All-Day Event", 20).Items[1].Visible = 0;
    next("All-Day Event", 20).Items[0].Text = "\xD1\xE5\xE3\xEE\xE4\xED\xFF: ";
    next("Call Progress", 20).Items[1].Visible = 0;
    next("Messaging Counts", 20).Items[2].Visible = 0;
    next("Missed Calls", 20);
    next("Missed Calls", 20, 1).Items[1].Visible = 0;
    TPlugins& mru = next("MRU", 55);
    mru.Items[0].Extra = "16";
    mru.Items[1].Extra = "7";
    next("MRU", 40).Items[1].Visible = 0;
    next("Owner Info", 50).Items[1].Text = "\xB9 \x96 \x97 \x88 ";
    next("Profile", 20).Items[0].Text = "\xAB\xC0\xBB\x93\x94\xA8\xB8 ";
    TPlugins& a41 = next("AnalogClock", 41, 3);
    a41.Items[2].Y = 70;
    a41.Items[1].X = 2;
    a41.Items[1].Y = 3;
    TPlugins& a43 = next("AnalogClock", 43);
    a43.Items[2].Y = 55;
    next("AnalogClock", 30).Items[2].Y = 100;
    TPlugins& bar = next("Icon Bar", 20);
    bar.Transparent = 1;
    bar.TransparencyLevel = 255;
    next("Profile", 20, 7).Items[0].Text = "";
    next("WMPlayer", 20);
    return doc;
}

// A folder with the layout for `doc` and the pictures it names.
std::string WriteThemeFolder(Document& doc, const std::string& dir, const std::string& name) {
    const std::string layout = formats::BuildHomeLayout(doc, name);
    Spit(dir + name, layout);
    Spit(dir + "back.jpg", Jpeg(176, 200, 0x203040));
    Spit(dir + "iconbar.jpg", Jpeg(176, 20, 0x405060));
    Spit(dir + "cal bg.jpg", "any picture bytes");
    return layout;
}

// The layout the imported design writes for `name`.
std::string Rewritten(const package::ImportResult& r, const std::string& appDir, const std::string& name) {
    Document doc;
    doc.AppDir = appDir;
    package::UseImportedTheme(doc, r.theme);
    return formats::BuildHomeLayout(doc, name);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

// The layout as a person or another tool might lay it out: no byte-order
// mark, a declaration with an encoding, comments, indentation, attributes in
// reverse order with apostrophes, "<tag />"; LF or CR LF newlines.
std::string HandFormatted(std::string s, bool crlf) {
    s.erase(0, 3);
    s.replace(s.find("<?xml version=\"1.0\"?>"), 21, "<?xml version='1.0' encoding='UTF-8'?>\n<!-- by hand -->\n");
    const std::regex tag(R"(<([A-Za-z]+)((?:\s+[\w:-]+\s*=\s*"[^"]*")*)\s*(/?)>)");
    const std::regex attr(R"re(([\w:-]+)\s*=\s*"([^"]*)")re");
    std::string out;
    auto begin = std::sregex_iterator(s.begin(), s.end(), tag);
    std::size_t last = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        out += s.substr(last, std::size_t(m.position()) - last);
        std::vector<std::pair<std::string, std::string>> attrs;
        const std::string list = m[2];
        for (auto a = std::sregex_iterator(list.begin(), list.end(), attr); a != std::sregex_iterator(); ++a)
            attrs.emplace_back((*a)[1], (*a)[2]);
        std::string t = "<" + m[1].str();
        for (auto a = attrs.rbegin(); a != attrs.rend(); ++a) t += " " + a->first + "='" + a->second + "'";
        t += m[3].length() ? " />" : ">";
        out += t;
        last = std::size_t(m.position() + m.length());
    }
    out += s.substr(last);
    // Line breaks and indentation between elements, outside the label texts.
    std::string laid;
    bool inText = false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out.compare(i, 6, "<text>") == 0) inText = true;
        if (out.compare(i, 7, "</text>") == 0) inText = false;
        laid += out[i];
        if (!inText && out[i] == '>' && i + 1 < out.size() && out[i + 1] == '<') laid += "\n    ";
        if (i >= 8 && out.compare(i - 8, 9, "</plugin>") == 0) laid += "<!-- next plugin -->";
    }
    laid = std::regex_replace(laid, std::regex("\r\n"), "\n");
    if (crlf) laid = std::regex_replace(laid, std::regex("\n"), "\r\n");
    return laid;
}

} // namespace

TEST(Import, EveryKindComesBackByteForByte) {
    TempDir src, app;
    Document doc = Showcase();
    const std::string layout = WriteThemeFolder(doc, src.Path, "Show.home.xml");
    const package::ImportResult r = package::ImportTheme(src.Path + "Show.home.xml", app.Path);
    EXPECT_EQ(Joined(r.report), "");
    EXPECT_EQ(Rewritten(r, app.Path, "Show.home.xml"), layout);

    // What the design holds, beyond the bytes.
    const Theme& t = r.theme;
    EXPECT_EQ(CountEntries(t), CountEntries(doc));
    EXPECT_EQ(t.Plugins[0].Top, 10);
    EXPECT_EQ(t.Plugins[1].Items[0].Text, doc.Plugins[1].Items[0].Text);
    EXPECT_EQ(t.Plugins[3].Items[0].Text, "A&B <c> \"q\" 'x' ");
    EXPECT_EQ(t.Plugins[13].Items[0].Text, doc.Plugins[13].Items[0].Text);
    EXPECT_EQ(t.SplitLines, 0);
    EXPECT_EQ(t.Scheme[19], doc.Scheme[19]); // from the icon bar
    EXPECT_EQ(t.Scheme[17], doc.Scheme[15]); // not in the file: the reader's fallbacks
    EXPECT_EQ(t.DefaultSelColor, doc.Scheme[29]);
    for (int i = 0; i < CountEntries(doc); ++i) {
        const TPlugins &a = doc.Plugins[std::size_t(i)], &b = t.Plugins[std::size_t(i)];
        EXPECT_EQ(b.Name, a.Name) << i;
        EXPECT_EQ(b.Top, a.Top) << i;
        EXPECT_EQ(b.Height, a.Height) << i;
    }
    // The clock keeps its place, size, hands and a length giving its inset.
    EXPECT_EQ(t.Plugins[14].Items[0].X, doc.Plugins[14].Items[0].X);
    EXPECT_EQ(t.Plugins[14].Items[2].Y, 70);
    EXPECT_EQ(t.Plugins[14].Items[1].Y, 3);
    // The picture bar is a Custom bar showing the layout's own picture; the
    // fully transparent one stays transparent and keeps its 20 pixels.
    EXPECT_EQ(t.Plugins[0].Items[0].X, 2);
    EXPECT_EQ(t.Plugins[0].CustomImage, "iconbar.bmp");
    EXPECT_EQ(platform::ReadBmp(app.Path + "iconbar.bmp").Width(), 176);
    EXPECT_TRUE(t.Plugins[17].Transparent && t.Plugins[17].TransparencyLevel == 255);
    EXPECT_EQ(t.Plugins[17].Height, 20);
    EXPECT_EQ(t.Plugins[3].BgImage, "cal bg.jpg");
    EXPECT_EQ(Slurp(app.Path + "cal bg.jpg"), "any picture bytes");
    EXPECT_EQ(t.BackgroundImage, "back.jpg");
    EXPECT_TRUE(Exists(app.Path + "back.jpg"));
}

TEST(Import, HandFormattedLayoutsGiveTheSameBytes) {
    for (bool crlf : {false, true}) {
        TempDir src, app;
        Document doc = Showcase();
        const std::string layout = WriteThemeFolder(doc, src.Path, "Show.home.xml");
        const std::string hand = HandFormatted(layout, crlf);
        ASSERT_NE(hand, layout);
        ASSERT_NE(hand.find("<iconbar x='0' y='0'"), std::string::npos);
        Spit(src.Path + "Show.home.xml", hand);
        const package::ImportResult r = package::ImportTheme(src.Path + "Show.home.xml", app.Path);
        EXPECT_EQ(Joined(r.report), "") << crlf;
        EXPECT_EQ(Rewritten(r, app.Path, "Show.home.xml"), layout) << crlf;
    }
}

TEST(Import, TextsFromOlderFilesAndCharactersWithoutACodePageForm) {
    TempDir src, app;
    Document doc;
    Add(doc, "Profile", 0, 20).Items[0].Text = "\xAB\xE0\xBB\x96 ";
    doc.BGI = "none.jpg";
    const std::string mended = formats::BuildHomeLayout(doc, "Old.home.xml");
    // Before every byte was converted, the guillemets and the dash stood as
    // single bytes: not UTF-8.
    std::string old = std::regex_replace(mended, std::regex("\xC2\xAB"), "\xAB");
    old = std::regex_replace(old, std::regex("\xC2\xBB"), "\xBB");
    old = std::regex_replace(old, std::regex("\xE2\x80\x93"), "\x96");
    ASSERT_NE(old, mended);
    Spit(src.Path + "Old.home.xml", old);
    package::ImportResult r = package::ImportTheme(src.Path + "Old.home.xml", app.Path);
    EXPECT_EQ(r.theme.Plugins[0].Items[0].Text, "\xAB\xE0\xBB\x96 ");
    EXPECT_EQ(Rewritten(r, app.Path, "Old.home.xml"),
              std::regex_replace(mended, std::regex("none\\.jpg"), "WindowsMobile.JPG"));
    // The missing picture is reported; the design keeps the program's own.
    EXPECT_NE(Joined(r.report).find("\"none.jpg\" is not beside the layout"), std::string::npos) << Joined(r.report);
    EXPECT_EQ(r.theme.BackgroundImage, "WindowsMobile.JPG");

    // A file in the code page throughout, as its declaration says.
    Spit(src.Path + "cp.home.xml", "<?xml version=\"1.0\" encoding=\"windows-1251\"?><home><plugin file=\"sysplug.dll\" "
                                   "name=\"Profile\" clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" height=\"20\">"
                                   "<label x=\"1\" y=\"2\"><text>\xCF\xF0\xEE\xF4\xE8\xEB\xFC <profile/></text>"
                                   "</label></plugin></home>");
    r = package::ImportTheme(src.Path + "cp.home.xml", app.Path);
    EXPECT_EQ(r.theme.Plugins[0].Items[0].Text, "\xCF\xF0\xEE\xF4\xE8\xEB\xFC ");

    // A character Windows-1251 lacks becomes "?" and is reported.
    Spit(src.Path + "cjk.home.xml", "<home><plugin file=\"sysplug.dll\" name=\"Profile\" "
                                    "clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" height=\"20\"><label><text>"
                                    "\xE4\xB8\xAD\xD0\x96?<profile/></text></label></plugin></home>");
    r = package::ImportTheme(src.Path + "cjk.home.xml", app.Path);
    EXPECT_EQ(r.theme.Plugins[0].Items[0].Text, "?\xC6?");
    EXPECT_NE(Joined(r.report).find("Line 1: \"\xE4\xB8\xAD\xD0\x96?\" holds characters"), std::string::npos)
        << Joined(r.report);
}

TEST(Import, WhatTheDesignCannotHoldIsReported) {
    TempDir src, app;
    Spit(src.Path + "w.home.xml",
         "<home>\n<default font-face=\"tahoma\" font-weight=\"normal\" font-size=\"14\" padding-left=\"2\" "
         "b-border-color=\"COLOR_HOMERULE\" b-border-width=\"1\"/>\n"
         "<background bgimage=\"..\\..\\x.jpg\" valign=\"top\" tile=\"yes\"/>\n"
         "<scheme><color name=\"COLOR_HOMETEXT\" value=\"#FF0000\"/><color name=\"COLOR_NOPE\" value=\"#000000\"/>"
         "<color name=\"COLOR_MENU\" value=\"red\"/></scheme>\n"
         "<plugin file=\"sysplug.dll\" name=\"Profile\" clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" height=\"20\">"
         "<label x=\"1\" y=\"oops\"><text>A<profile/> B</text></label></plugin>\n"
         "<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"9\"/>\n"
         "</home>");
    Spit(src.Path + "x.jpg", Jpeg(176, 200, 0));
    const package::ImportResult r = package::ImportTheme(src.Path + "w.home.xml", app.Path);
    const std::string report = Joined(r.report);
    for (const char* part : {"Line 2: The default format's font-face=\"tahoma\" is left out.",
                             "Line 2: The default format's padding-left=\"2\" is left out.",
                             "Line 3: The background's valign=\"top\" is left out.",
                             "Line 3: The background's tile=\"yes\" is left out.",
                             "The colour \"COLOR_NOPE\" is not one of the scheme's 32",
                             "The value \"red\" of COLOR_MENU is not a colour",
                             "<label y=\"oops\"> is not a whole number",
                             "What follows <profile/> in the label is left out.",
                             "The empty space of 9 pixels after the last plugin is left out."})
        EXPECT_NE(report.find(part), std::string::npos) << part << "\n" << report;
    EXPECT_EQ(r.theme.SplitLines, 0);
    EXPECT_EQ(r.theme.Scheme[31], 0x0000FFu);
    // Only the file-name part of a picture path counts: nothing outside the
    // layout's folder is read by the path it gives.
    EXPECT_EQ(r.theme.BackgroundImage, "x.jpg");
}

TEST(Import, ThirdPartyPluginKeptThroughSaveOpenAndExport) {
    TempDir src, app, out;
    cabtest::SetUpProgramFolder(app.Path, false, false);
    Spit(app.Path + "WindowsMobile.JPG", Jpeg(176, 200, 0));
    const std::string weather = "<plugin name=\"Weather \xD0\x9C\" clsid='{AAAAAAAA-0000-1111-2222-333333333333}'"
                                " height=\"30\" file=\"weather.dll\">\r\n   <cfg city='\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 "
                                "\xE4\xB8\xAD' units=\"C\" />\\n<!-- inside -->\r\n</plugin>";
    const std::string fake = "<plugin file=\"sysplug.dll\" name=\"Calendar\" clsid=\"{00000000-0000-0000-0000-000000000000}\" "
                             "height=\"20\"><x/></plugin>";
    Spit(src.Path + "t.home.xml", "\xEF\xBB\xBF<home>\r\n<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"4\"/>\r\n" +
                                      weather + "\r\n" + fake +
                                      "<plugin file=\"sysplug.dll\" name=\"Profile\" clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" "
                                      "height=\"20\"><label><text><profile/></text></label></plugin></home>\r\n");
    const package::ImportResult r = package::ImportTheme(src.Path + "t.home.xml", app.Path);
    EXPECT_EQ(Joined(r.report), "");
    ASSERT_EQ(CountEntries(r.theme), 3);
    const TPlugins& w = r.theme.Plugins[0];
    EXPECT_TRUE(IsForeignPlugin(w));
    EXPECT_EQ(w.Name, "Weather \xCC");
    EXPECT_EQ(w.Top, 4);
    EXPECT_EQ(w.Height, 30);
    EXPECT_EQ(ForeignElement(w), weather);
    EXPECT_EQ(r.theme.Plugins[1].Name, "Calendar (plugin)");
    EXPECT_EQ(r.theme.Plugins[2].Top, 54);

    Document doc;
    package::StartDocument(doc, app.Path);
    package::UseImportedTheme(doc, r.theme);
    EXPECT_EQ(doc.ActivePluginsList.Lines, (std::vector<std::string>{"Weather \xCC", "Calendar (plugin)", "Profile"}));
    package::SaveProject(doc, out.Path + "T.trpf");
    Document reopened;
    package::StartDocument(reopened, app.Path);
    package::OpenProject(reopened, out.Path + "T/T.trpf");
    EXPECT_EQ(static_cast<Theme&>(reopened).Plugins, static_cast<Theme&>(doc).Plugins);
    const std::string layout = formats::BuildHomeLayout(reopened, "T.home.xml");
    EXPECT_NE(layout.find("\"4\"/>\r\n" + weather + "\r\n" + fake + "\r\n<plugin file=\"sysplug.dll\" name=\"Profile\""),
              std::string::npos)
        << layout;
}

TEST(Import, BadFilesAreRefusedAndNothingIsWritten) {
    TempDir src, app;
    Spit(src.Path + "back.jpg", Jpeg(176, 200, 0));
    const std::string head = "<home><background bgimage=\"back.jpg\"/>";
    const std::string profile = "<plugin file=\"sysplug.dll\" name=\"Profile\" "
                                "clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" height=\"5\"/>";
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    struct Case {
        const char* Label;
        std::string Text;
        const char* Message; // empty: accepted
    };
    const std::vector<Case> cases = {
        {"empty", "", "holds no XML"},
        {"not XML", "Hello, phone", "is not a home layout"},
        {"cut short", head + profile, "is cut short"},
        {"other root", "<?xml version=\"1.0\"?><colorscheme><scheme/></colorscheme>", "its root element is <colorscheme>"},
        {"two roots", head + "</home><home/>", "is not a home layout"},
        {"too large", head + "<!--" + std::string(8u << 20, 'x') + "-->" + "</home>", "at most 8 MiB"},
        {"too deep", head + repeat("<a>", 64) + repeat("</a>", 64) + "</home>", "nested deeper than 64"},
        {"deep enough", head + repeat("<a>", 63) + repeat("</a>", 63) + "</home>", ""},
        {"too many", head + repeat(profile, 1002) + "</home>", "more than 1001 plugins"},
        {"just enough", head + repeat(profile, 1001) + "</home>", ""},
        {"too tall", head + "<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"5996\"/>" + profile +
                         "</home>",
         "taller than 6000 pixels"},
        {"tall enough", head + "<plugin clsid=\"{E09043DF-510E-4841-B652-388316977A7A}\" height=\"5995\"/>" + profile +
                            "</home>",
         ""},
    };
    for (const Case& c : cases) {
        Spit(src.Path + "bad.home.xml", c.Text);
        const std::string error = ErrorOf([&] { package::ImportTheme(src.Path + "bad.home.xml", app.Path); });
        if (!*c.Message) {
            EXPECT_EQ(error, "no error") << c.Label;
            std::filesystem::remove(app.Path + "back.jpg");
            continue;
        }
        EXPECT_NE(error.find(c.Message), std::string::npos) << c.Label << ": " << error;
        EXPECT_FALSE(Exists(app.Path + "back.jpg")) << c.Label;
    }
    EXPECT_NE(ErrorOf([&] { package::ImportTheme(src.Path + "missing.home.xml", app.Path); }).find("missing.home.xml"),
              std::string::npos);
}

TEST(Import, PictureNamesAreCheckedWhereTheyEnter) {
    TempDir src, app;
    // The program's own background: kept when it is the very same picture,
    // renamed when it is another.
    const std::string own = Jpeg(176, 200, 0x010101), other = Jpeg(176, 200, 0x808080);
    Spit(app.Path + "WindowsMobile.JPG", own);
    auto import = [&](const std::string& background, const std::string& entryPicture) {
        Spit(src.Path + "p.home.xml", "<home><background bgimage=\"" + background + "\"/>"
                                      "<plugin file=\"sysplug.dll\" name=\"Profile\" clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" "
                                      "height=\"20\"><background><format state=\"selected\" bgimage=\"IPSM\\Application Data\\Home\\" +
                                          entryPicture + "\"/></background></plugin></home>");
        return package::ImportTheme(src.Path + "p.home.xml", app.Path);
    };
    Spit(src.Path + "WindowsMobile.JPG", own);
    Spit(src.Path + "temp", "entry picture");
    package::ImportResult r = import("WindowsMobile.JPG", "temp");
    EXPECT_EQ(r.theme.BackgroundImage, "WindowsMobile.JPG");
    EXPECT_EQ(r.theme.Plugins[0].BgImage, "temp-1");
    EXPECT_EQ(Slurp(app.Path + "temp-1"), "entry picture");
    EXPECT_FALSE(Exists(app.Path + "temp"));
    EXPECT_NE(Joined(r.report).find("is kept as \"temp-1\", since the program folder has a file of its own"),
              std::string::npos);

    Spit(src.Path + "WindowsMobile.JPG", other);
    Spit(src.Path + "Default", "not a scheme");
    r = import("WindowsMobile.JPG", "Default");
    EXPECT_EQ(r.theme.BackgroundImage, "WindowsMobile-1.JPG");
    EXPECT_EQ(Slurp(app.Path + "WindowsMobile.JPG"), own);
    EXPECT_EQ(Slurp(app.Path + "WindowsMobile-1.JPG"), other);
    EXPECT_EQ(r.theme.Plugins[0].BgImage, "Default-1");

    // A picture name ending in ".." or naming a folder part only is no name;
    // control characters and ':' (which a project file cannot hold) are
    // replaced; a background that is no JPEG is left out.
    Spit(src.Path + "a\tb:c.jpg", "x");
    Spit(src.Path + "bad.jpg", "not a jpeg");
    r = import("bad.jpg", "a&#9;b:c.jpg");
    EXPECT_EQ(r.theme.Plugins[0].BgImage, "a_b_c.jpg");
    EXPECT_EQ(r.theme.BackgroundImage, "WindowsMobile.JPG");
    EXPECT_NE(Joined(r.report).find("\"bad.jpg\" is not a picture this designer reads"), std::string::npos);
    r = import("x\\..", "..");
    EXPECT_EQ(r.theme.Plugins[0].BgImage, "");
    EXPECT_NE(Joined(r.report).find("\"..\" is no file name"), std::string::npos) << Joined(r.report);
}

namespace {

// Writes a cabinet of `files` with libgcab, in the given order.
void WriteCabinet(const std::string& path, const std::vector<package::CabinetFile>& files, bool mszip) {
    GCabCabinet* cab = gcab_cabinet_new();
    GCabFolder* folder = gcab_folder_new(mszip ? GCAB_COMPRESSION_MSZIP : GCAB_COMPRESSION_NONE);
    for (const auto& f : files) {
        GBytes* bytes = g_bytes_new(f.Data.data(), f.Data.size());
        GCabFile* file = gcab_file_new_with_bytes(f.Name.c_str(), bytes);
        g_bytes_unref(bytes);
        ASSERT_TRUE(gcab_folder_add_file(folder, file, FALSE, nullptr, nullptr));
        g_object_unref(file);
    }
    ASSERT_TRUE(gcab_cabinet_add_folder(cab, folder, nullptr));
    GFile* out = g_file_new_for_path(path.c_str());
    GFileOutputStream* stream = g_file_replace(out, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, nullptr);
    ASSERT_TRUE(stream);
    ASSERT_TRUE(gcab_cabinet_write_simple(cab, G_OUTPUT_STREAM(stream), nullptr, nullptr, nullptr, nullptr));
    g_output_stream_close(G_OUTPUT_STREAM(stream), nullptr, nullptr);
    g_object_unref(stream);
    g_object_unref(out);
    g_object_unref(folder);
    g_object_unref(cab);
}

} // namespace

TEST(Import, CabinetsBuiltHereAndElsewhere) {
    TempDir app, out, app2;
    cabtest::SetUpProgramFolder(app.Path, true, false);
    Document doc = Showcase();
    doc.AppDir = app.Path;
    WriteThemeFolder(doc, app.Path, "unused.home.xml");
    doc.Plugins[3].BgImage = "cal bg.jpg";
    package::BuildCabinet(doc, out.Path + "Show.cab", "Show.cab");
    const std::string layout = formats::BuildHomeLayout(doc, "Show.home.xml");

    package::ImportResult r = package::ImportTheme(out.Path + "Show.cab", app2.Path);
    EXPECT_EQ(Joined(r.report), "");
    EXPECT_EQ(Rewritten(r, app2.Path, "Show.home.xml"), layout);
    EXPECT_EQ(Slurp(app2.Path + "cal bg.jpg"), "any picture bytes");

    // The same files packed otherwise: compressed, the header last, other
    // short names with the same numbers.
    std::vector<package::CabinetFile> files = package::ReadCabinetFiles(out.Path + "Show.cab", 1u << 26);
    std::rotate(files.begin(), files.begin() + 1, files.end());
    for (auto& f : files) f.Name = "SHOW~" + std::to_string(f.Name.size()) + f.Name.substr(f.Name.size() - 4);
    WriteCabinet(out.Path + "Other.CAB", files, true);
    TempDir app3;
    r = package::ImportTheme(out.Path + "Other.CAB", app3.Path);
    EXPECT_EQ(Joined(r.report), "");
    EXPECT_EQ(Rewritten(r, app3.Path, "Show.home.xml"), layout);

    // A header whose destination leaves the device folder is refused, as the
    // loader refuses it, before anything is written.
    std::vector<package::CabinetFile> evil = files;
    for (auto& f : evil)
        if (f.Name.substr(f.Name.size() - 4) == ".000") {
            const std::size_t at = f.Data.find("Home");
            ASSERT_NE(at, std::string::npos);
            f.Data.replace(at, 4, "..//");
        }
    WriteCabinet(out.Path + "evil.cab", evil, false);
    TempDir app5;
    EXPECT_NE(ErrorOf([&] { package::ImportTheme(out.Path + "evil.cab", app5.Path); }).find("leaves the device folder"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(app5.Path));

    // Without an installer header: the files by their own names.
    WriteCabinet(out.Path + "plain.cab",
                 {{"back.jpg", Slurp(app.Path + "back.jpg")}, {"Show.home.xml", layout}, {"iconbar.jpg", Slurp(app.Path + "iconbar.jpg")},
                  {"cal bg.jpg", "c"}, {"..\\evil.jpg", "x"}},
                 false);
    TempDir app4;
    r = package::ImportTheme(out.Path + "plain.cab", app4.Path);
    EXPECT_EQ(Rewritten(r, app4.Path, "Show.home.xml"), layout);
    EXPECT_FALSE(Exists(app4.Path + "evil.jpg"));
    EXPECT_FALSE(Exists(app4.Path + "..\\evil.jpg"));

    // No layout, or two without a registry value naming one.
    WriteCabinet(out.Path + "none.cab", {{"back.jpg", "x"}}, false);
    EXPECT_NE(ErrorOf([&] { package::ImportTheme(out.Path + "none.cab", app4.Path); }).find("no home layout"),
              std::string::npos);
    WriteCabinet(out.Path + "two.cab", {{"a.home.xml", layout}, {"b.home.xml", layout}}, false);
    EXPECT_NE(ErrorOf([&] { package::ImportTheme(out.Path + "two.cab", app4.Path); }).find("several home layouts"),
              std::string::npos);
    Spit(out.Path + "junk.cab", "MSCF but not really");
    EXPECT_NE(ErrorOf([&] { package::ImportTheme(out.Path + "junk.cab", app4.Path); }).find("is not a cabinet"),
              std::string::npos);
}

TEST(Import, CommandLine) {
    TempDir app, src, out;
    cabtest::SetUpProgramFolder(app.Path, false, false);
    Spit(app.Path + "WindowsMobile.JPG", Jpeg(176, 200, 0));
    Document doc = Showcase();
    WriteThemeFolder(doc, src.Path, "Show.home.xml");
    Spit(src.Path + "Show.home.xml", std::regex_replace(Slurp(src.Path + "Show.home.xml"), std::regex("font-face=\"nina\""),
                                                         "font-face=\"arial\""));
    const std::string cli = std::string(TESSARO_PROGRAM_DIR) + "tessaro-cli";
    auto run = RunTool(cli, {"--appdir", app.Path, "import", src.Path + "Show.home.xml", out.Path + "Show.trpf"});
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.Output, "Line 2: The default format's font-face=\"arial\" is left out.\n");
    EXPECT_TRUE(Exists(out.Path + "Show/Show.trpf"));
    EXPECT_TRUE(Exists(out.Path + "Show/back.jpg"));
    EXPECT_TRUE(Exists(out.Path + "Show/iconbar.bmp"));

    // Through the command line, opening the project as the designer does
    // (preview pass included), the layout comes back byte for byte.
    TempDir full, src2, out2;
    testsupport::CopyProgramFolder(TESSARO_PROGRAM_DIR, full.Path);
    Document again = Showcase();
    const std::string layout = WriteThemeFolder(again, src2.Path, "Show.home.xml");
    run = RunTool(cli, {"--appdir", full.Path, "import", src2.Path + "Show.home.xml", out2.Path + "Show.trpf"});
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.Output, "");
    run = RunTool(cli, {"--appdir", full.Path, "xml", out2.Path + "Show/Show.trpf", out2.Path + "Show.home.xml"});
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(Slurp(out2.Path + "Show.home.xml"), layout);

    Spit(src.Path + "bad.home.xml", "<home><plugin");
    run = RunTool(cli, {"--appdir", app.Path, "import", src.Path + "bad.home.xml", out.Path + "Bad.trpf"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Output.find("bad.home.xml\": The layout is cut short"), std::string::npos) << run.Output;
    EXPECT_FALSE(Exists(out.Path + "Bad"));
}

// Character references can put line breaks into any text; a project file
// keeps one value a line, so they must not reach the design.
TEST(Import, LineBreaksNeverReachTheProjectFile) {
    TempDir src, app;
    Spit(src.Path + "n.home.xml",
         "<home><plugin file=\"sysplug.dll\" name=\"Profile\" clsid=\"{95976968-45D5-40c9-9779-2B859B1C2FEC}\" "
         "height=\"20\"><label><format state=\"selected\" font-weight=\"bo&#10;ld\"/><text>A&#13;&#10;B<profile/></text>"
         "</label></plugin><plugin name=\"W&#10;X\" file=\"x&#10;y\" clsid=\"{1&#10;2}\" height=\"8\">\n<a/>\r\n</plugin>"
         "<plugin name='Bare' height='3' /></home>");
    const package::ImportResult r = package::ImportTheme(src.Path + "n.home.xml", app.Path);
    EXPECT_EQ(r.theme.Plugins[0].Items[0].Text, "A  B");
    EXPECT_EQ(r.theme.Plugins[0].Items[0].SelWeight, "bo ld");
    EXPECT_EQ(r.theme.Plugins[1].Name, "W X");
    EXPECT_NE(Joined(r.report).find("A line break in"), std::string::npos);
    Document doc;
    package::UseImportedTheme(doc, r.theme);
    const formats::ProjectData back = formats::ParseProject(formats::FormatProject(doc));
    ASSERT_EQ(back.Entries.size(), 3u);
    EXPECT_EQ(back.Entries[0], doc.Plugins[0]);
    EXPECT_EQ(back.Entries[1], doc.Plugins[1]);
    EXPECT_EQ(ForeignElement(back.Entries[1]),
              "<plugin name=\"W&#10;X\" file=\"x&#10;y\" clsid=\"{1&#10;2}\" height=\"8\">\n<a/>\r\n</plugin>");
    EXPECT_EQ(ForeignElement(r.theme.Plugins[2]), "<plugin name='Bare' height='3' />");
    EXPECT_EQ(r.theme.Plugins[2].Top, 28);
}
