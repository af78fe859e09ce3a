// The preview pass, the icon bar renderers and the clock, pinned pixel by pixel.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/catalogue.h"
#include "model/editing.h"
#include "model/error.h"
#include "model/foreign.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "preview/clock.h"
#include "preview/iconbar.h"
#include "preview/preview.h"

using namespace tessaro;
using namespace tessaro::preview;
using platform::Bitmap;
using platform::Rgb;
namespace fs = std::filesystem;

namespace {

class PreviewTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaro_preview_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const fs::path prog = TESSARO_PROGRAM_DIR;
        for (const char* f : {"fonts", "IconBars", "Faces", "TrayIcons.bmp", "mru32.bmp", "mru16.bmp",
                              "media_remote.bmp", "WindowsMobile.JPG"})
            fs::copy(prog / f, dir_ / f, fs::copy_options::recursive);
        doc_ = std::make_unique<model::Document>();
        doc_->AppDir = dir_.string() + "/";
        for (int i = 0; i < model::kSchemeSize; ++i) doc_->Scheme[std::size_t(i)] = Rgb(10 * i, 200 - i, 100);
        view_ = std::make_unique<Preview>(*doc_);
        view_->SetMessageHandler([this](const std::string& m) { messages_.push_back(m); });
    }
    void TearDown() override {
        view_.reset();
        fs::remove_all(dir_);
    }
    model::TPlugins& Add(const char* kind, int top, int height) {
        int line = -1;
        for (int i = 0; i < model::kKindCount; ++i)
            if (std::string(model::Catalogue()[std::size_t(i)].Name) == kind) line = i;
        model::TPlugins& e = doc_->Plugins[std::size_t(model::AddEntry(*doc_, line))];
        e.Top = top;
        e.Height = height;
        return e;
    }
    // An Advanced bar (template 2), an Advanced clock face and a text entry:
    // a layout that writes both work pictures.
    void AddBarFaceAndText() {
        Add("Icon Bar", 0, 20).Items[0].X = 1;
        doc_->Plugins[0].Items[0].Y = 2;
        model::TPlugins& clock = Add("AnalogClock", 20, 60);
        clock.Items[0].Y = kFaceAdvanced;
        clock.Items[2].X = 1;
        Add("Profile", 80, 20);
    }
    // A plugin this designer does not know ("Weather", 24 pixels), kept as
    // its element, after the entries there are.
    model::TPlugins& AddForeign(int top) {
        model::TPlugins& e = doc_->Plugins[std::size_t(model::CountEntries(*doc_))];
        e.Used = 1;
        e.Name = "Weather";
        e.Top = top;
        e.Height = 24;
        model::SetForeignElement(e, "<plugin name=\"Weather\" height=\"24\"/>");
        doc_->ActivePluginsList.Lines.push_back("Weather");
        return e;
    }
    std::string App(const std::string& f) const { return doc_->AppDir + f; }

    fs::path dir_;
    std::unique_ptr<model::Document> doc_;
    std::unique_ptr<Preview> view_;
    std::vector<std::string> messages_;
};

constexpr model::Color kWhite = 0xFFFFFF;

} // namespace

TEST(IconBarPixels, GradientEndsAndHalvesToEven) {
    const Bitmap g = NormalBar(Rgb(0, 0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(g.Pixel(0, 0), Rgb(0, 0, 0)) << "column 0 is exactly Color1";
    EXPECT_EQ(g.Pixel(88, 10), Rgb(128, 128, 128)) << "127.5 at the middle rounds to even 128";
    EXPECT_EQ(g.Pixel(175, 19), Rgb(254, 254, 254)) << "column 175 uses t = 175/176";
    const Bitmap h = NormalBar(Rgb(0, 0, 0), Rgb(1, 3, 5));
    EXPECT_EQ(h.Pixel(88, 0), Rgb(0, 2, 2)) << "0.5 -> 0, 1.5 -> 2, 2.5 -> 2";
    // t = x / 176 is a double: the halves 7.5 (x 120, blue 0 -> 11) and 12.5
    // (x 100, green 0 -> 22) come out as 7.4999... and 12.5000...2.
    const Bitmap d = NormalBar(Rgb(0, 0, 0), Rgb(0, 22, 11));
    EXPECT_EQ(platform::BlueOf(d.Pixel(120, 0)), 7);
    EXPECT_EQ(platform::GreenOf(d.Pixel(100, 0)), 13);
}

TEST(IconBarPixels, TemplateBlueDecidesTheColour) {
    Bitmap tpl(176, 20);
    tpl.SetPixel(0, 0, Rgb(0, 0, 255));   // blue 255, red/green ignored
    tpl.SetPixel(1, 0, Rgb(255, 255, 0)); // blue 0
    tpl.SetPixel(2, 0, Rgb(9, 9, 51));    // one fifth
    const model::Color c1 = Rgb(200, 100, 0), c2 = Rgb(0, 50, 255);
    const Bitmap bar = AdvancedBar(tpl, c1, c2);
    EXPECT_EQ(bar.Pixel(0, 0), c1);
    EXPECT_EQ(bar.Pixel(1, 0), c2);
    EXPECT_EQ(bar.Pixel(2, 0), Rgb(40, 60, 204));
}

TEST(IconBarPixels, TransparencyBlend) {
    Bitmap bar(176, 20, Rgb(0, 100, 255)), backdrop(176, 20, Rgb(200, 100, 0));
    Bitmap level0 = bar;
    BlendBar(level0, backdrop, 0);
    EXPECT_EQ(level0, bar) << "level 0 is the unblended bar";
    Bitmap level255 = bar;
    BlendBar(level255, backdrop, 255);
    EXPECT_EQ(level255, backdrop) << "level 255 is exactly the backdrop";
    Bitmap mid = bar;
    BlendBar(mid, backdrop, 51);
    EXPECT_EQ(mid.Pixel(5, 5), Rgb(40, 100, 204));
}

TEST_F(PreviewTest, NormalBarOnTheCanvasWritesIconbarJpegWithoutTray) {
    doc_->Scheme[COLOR_TRAY1] = Rgb(0, 0, 0);
    doc_->Scheme[COLOR_TRAY2] = Rgb(255, 255, 255);
    doc_->Scheme[COLOR_TRAYICONS] = kWhite;
    Add("Icon Bar", 0, 20);
    doc_->SplitLines = 1;
    view_->DrawPlugins();
    EXPECT_EQ(view_->Image1.Pixel(88, 19), Rgb(128, 128, 128)) << "the gradient itself is shown";
    EXPECT_EQ(view_->Image1.Pixel(175, 0), Rgb(254, 254, 254)) << "tray key pixel shows the bar";
    // The battery outline's top row (y 6) is tray ink: pure white ink is made visible.
    EXPECT_EQ(view_->Image1.Pixel(136 + 30, 6), kVisibleWhite);
    ASSERT_TRUE(platform::FileExists(App(kIconBarJpeg)));
    const Bitmap jpg = platform::ReadJpeg(App(kIconBarJpeg));
    // Column 166 of the gradient is round(166 * 255 / 176) = 240 (240.5 to even).
    EXPECT_NEAR(platform::RedOf(jpg.Pixel(136 + 30, 6)), 240, 4) << "iconbar.jpg holds no tray icons";
}

TEST_F(PreviewTest, FullyTransparentBarShowsOnlyTrayIcons) {
    model::TPlugins& bar = Add("Icon Bar", 0, 20);
    bar.Transparent = 1;
    bar.TransparencyLevel = 255;
    view_->DrawPlugins();
    EXPECT_EQ(view_->Image1.Pixel(40, 10), kWhite) << "the bar is transparent";
    EXPECT_FALSE(platform::FileExists(App(kIconBarJpeg))) << "no bar picture for a fully transparent bar";
    EXPECT_EQ(view_->Image1.Pixel(136 + 30, 6), doc_->Scheme[COLOR_TRAYICONS]);
}

TEST_F(PreviewTest, ScrollableLayoutClearsPartialTransparency) {
    model::TPlugins& bar = Add("Icon Bar", 0, 20);
    bar.Transparent = 1;
    bar.TransparencyLevel = 100;
    Add("Profile", 20, 181); // layout 201 pixels tall
    view_->DrawPlugins();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], kTransparencyScrollable);
    EXPECT_EQ(doc_->Plugins[0].Transparent, 0);
    EXPECT_TRUE(view_->ScrollBar1.Enabled);
    EXPECT_EQ(view_->ScrollBar1.Max, 1);

    messages_.clear();
    doc_->Plugins[0].Transparent = 1;
    doc_->Plugins[0].TransparencyLevel = 255;
    view_->DrawPlugins();
    EXPECT_TRUE(messages_.empty()) << "a fully transparent bar may stay";
    EXPECT_EQ(doc_->Plugins[0].Transparent, 1);
}

TEST_F(PreviewTest, DrawingAloneChangesNoDesignField) {
    // Everything the pass's rules would change: a partly transparent bar in a
    // scrollable layout, two advanced bars, an advanced face.
    model::TPlugins& bar = Add("Icon Bar", 0, 20);
    bar.Transparent = 1;
    bar.TransparencyLevel = 100;
    bar.Items[0].X = 1;
    Add("AnalogClock", 20, 40).Items[0].Y = 1;
    Add("Icon Bar", 60, 20).Items[0].X = 1;
    Add("Profile", 80, 181);
    const model::Document before = *doc_;
    view_->Draw();
    EXPECT_TRUE(static_cast<const model::Theme&>(*doc_) == before);
    EXPECT_EQ(doc_->BGI, before.BGI);
    EXPECT_EQ(doc_->ActivePluginsList.Lines, before.ActivePluginsList.Lines);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(view_->Image1.Pixel(40, 60 + 10), kWhite) << "the second advanced bar is left out";

    // The pass applies the rules once; a second pass finds nothing to do.
    view_->DrawPlugins();
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_EQ(model::CountEntries(*doc_), 3);
    EXPECT_EQ(doc_->Plugins[0].Transparent, 0);
    EXPECT_EQ(doc_->BGI, kAnalogBackground);
    const model::Document normal = *doc_;
    EXPECT_TRUE(model::Normalise(*doc_).empty());
    EXPECT_TRUE(static_cast<const model::Theme&>(*doc_) == normal);
}

TEST_F(PreviewTest, SecondAdvancedBarOrFaceIsRemoved) {
    Add("Icon Bar", 0, 20).Items[0].X = 1;
    Add("Icon Bar", 20, 20).Items[0].X = 2; // Custom does not count
    doc_->Plugins[1].CustomImage = "custom.bmp";
    platform::WriteBmp(App("custom.bmp"), Bitmap(176, 20, Rgb(1, 2, 3)));
    Add("Icon Bar", 40, 20).Items[0].X = 1;
    Add("AnalogClock", 60, 40).Items[0].Y = 1;
    Add("AnalogClock", 100, 40).Items[0].Y = 1;
    view_->DrawPlugins();
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], kOneAdvancedFace) << "the nested pass's message comes first";
    EXPECT_EQ(messages_[1], kOneAdvancedBar);
    ASSERT_EQ(model::CountEntries(*doc_), 3);
    EXPECT_EQ(doc_->Plugins[1].Items[0].X, 2);
    EXPECT_EQ(doc_->Plugins[2].Name, "AnalogClock");
    EXPECT_EQ(doc_->ActivePluginsList.Lines.size(), 3u);
}

TEST_F(PreviewTest, SplitLinesAndCanvasCopy) {
    Add("Profile", 0, 40);
    Add("AnalogClock", 60, 40);
    view_->DrawPlugins();
    const model::Color rule = doc_->Scheme[COLOR_HOMERULE];
    for (int x : {0, 90, 175}) {
        EXPECT_EQ(view_->Image1.Pixel(x, 0), rule) << "top line of the entry, x " << x;
        EXPECT_EQ(view_->Image1.Pixel(x, 40), rule) << "bottom line at row Top + Height";
    }
    EXPECT_NE(view_->Image1.Pixel(175, 60), rule) << "an analog clock gets no split lines";
    EXPECT_NE(view_->Image1.Pixel(175, 100), rule);
    doc_->SplitLines = 1;
    view_->DrawPlugins();
    EXPECT_EQ(view_->Image1.Pixel(175, 40), kWhite) << "split lines off";
}

TEST_F(PreviewTest, WhiteTextIsDrawnVisible) {
    model::TPlugins& p = Add("Profile", 0, 20);
    p.Items[0].UnselColor = kWhite;
    doc_->SplitLines = 1;
    view_->DrawPlugins();
    int visible = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 176; ++x) visible += view_->Image1.Pixel(x, y) == kVisibleWhite;
    EXPECT_GT(visible, 20) << "white text is drawn as 0xFFFFFE";
    const Bitmap screen = view_->Screen();
    int shown = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 176; ++x) shown += screen.Pixel(x, y) == kVisibleWhite;
    EXPECT_EQ(shown, visible) << "and it stays visible over the background";
}

TEST_F(PreviewTest, MruStripWidths) {
    platform::WriteBmp(App("mru32.bmp"), Bitmap(288, 32, Rgb(200, 0, 0)));
    platform::WriteBmp(App("mru16.bmp"), Bitmap(153, 16, Rgb(0, 200, 0)));
    model::TPlugins& big = Add("MRU", 0, 60);
    big.Items[0].X = 3;
    big.Items[0].Y = 2;
    big.Items[1].Visible = 0;
    model::TPlugins& small = Add("MRU", 60, 40);
    small.Items[0].Extra = "16";
    small.Items[0].X = 3;
    small.Items[0].Y = 2;
    small.Items[1].Visible = 0;
    doc_->SplitLines = 1;
    view_->DrawPlugins();
    auto runWidth = [&](int row, model::Color c) {
        int n = 0;
        for (int x = 0; x < 176; ++x) n += view_->Image1.Pixel(x, row) == c;
        return n;
    };
    auto runHeight = [&](int col, model::Color c) {
        int n = 0;
        for (int y = 0; y < 120; ++y) n += view_->Image1.Pixel(col, y) == c;
        return n;
    };
    EXPECT_EQ(runWidth(10, Rgb(200, 0, 0)), 161) << "5 buttons of 32: 160 + 1 pixels";
    EXPECT_EQ(view_->Image1.Pixel(3 + 160, 10), Rgb(200, 0, 0));
    EXPECT_EQ(runHeight(20, Rgb(200, 0, 0)), 32);
    EXPECT_EQ(runWidth(70, Rgb(0, 200, 0)), 86) << "5 buttons at a pitch of 17: 85 + 1";
    EXPECT_EQ(runHeight(20, Rgb(0, 200, 0)), 16);

    doc_->Plugins[1].Items[1].Extra = "five";
    EXPECT_THROW(view_->DrawPlugins(), Error);

    doc_->Plugins[1].Items[1].Extra = "0";
    view_->DrawPlugins();
    EXPECT_EQ(runWidth(70, Rgb(0, 200, 0)), 0) << "no buttons, no strip";
    fs::remove(dir_ / "mru16.bmp");
    EXPECT_THROW(view_->DrawPlugins(), Error) << "a missing strip stops the pass all the same";
}

TEST_F(PreviewTest, ScrollRangeAndScreen) {
    Add("Profile", 0, 200);
    view_->DrawPlugins();
    EXPECT_FALSE(view_->IsScrolled()) << "200 pixels fit the screen";
    EXPECT_FALSE(view_->ScrollBar1.Enabled);

    doc_->Plugins[0].Height = 250;
    view_->DrawPlugins();
    EXPECT_TRUE(view_->ScrollBar1.Enabled);
    EXPECT_EQ(view_->ScrollBar1.Max, 50);
    view_->ScrollBar1Change(80);
    EXPECT_EQ(view_->ScrollBar1.Position, 50) << "clamped to the maximum";

    const model::Color rule = doc_->Scheme[COLOR_HOMERULE];
    view_->ScrollBar1Change(0);
    EXPECT_EQ(view_->Screen().Pixel(100, 0), rule) << "top split line at canvas row 0";
    view_->ScrollBar1Change(1);
    const Bitmap screen = view_->Screen();
    EXPECT_EQ(screen.Pixel(100, 0), view_->BGImage.Pixel(100, 0))
        << "scrolled by one: the line moved up out of view, the background stayed";
    EXPECT_NE(view_->BGImage.Pixel(100, 0), rule);
    view_->ScrollBar1Change(50);

    doc_->Plugins[0].Height = 100;
    view_->DrawPlugins();
    EXPECT_FALSE(view_->ScrollBar1.Enabled);
    EXPECT_EQ(view_->ScrollBar1.Position, 0) << "no stale offset once the layout fits";
}

TEST_F(PreviewTest, SoftKeyRectangleEdges) {
    view_->DrawPlugins();
    const model::Scheme& s = doc_->Scheme;
    EXPECT_EQ(view_->Image2.Pixel(10, 0), s[COLOR_WINDOWFRAME]) << "top outline row";
    EXPECT_EQ(view_->Image2.Pixel(87, 10), s[COLOR_WINDOWFRAME]) << "column 87 is the shared outline";
    EXPECT_EQ(view_->Image2.Pixel(0, 10), s[COLOR_HIGHLIGHT]) << "left outline lies at -1";
    EXPECT_EQ(view_->Image2.Pixel(0, 19), s[COLOR_HIGHLIGHT]) << "bottom outline lies at row 20";
    EXPECT_EQ(view_->Image2.Pixel(175, 10), s[COLOR_BTNFACE]) << "right outline lies at 176";
    EXPECT_EQ(view_->Screen().Pixel(175, 210), s[COLOR_BTNFACE]);
}

TEST_F(PreviewTest, MissingPictureStopsThePass) {
    Add("WMPlayer", 0, 20);
    fs::remove(dir_ / "media_remote.bmp");
    EXPECT_THROW(view_->DrawPlugins(), Error);
    fs::remove(dir_ / "WindowsMobile.JPG");
    EXPECT_THROW(view_->DrawPlugins(), Error);
}

TEST_F(PreviewTest, ClockHandEndPoints) {
    model::TPlugins& e = Add("AnalogClock", 0, 40);
    e.Items[0].X = 0;
    e.Items[1].X = 1;
    e.Items[1].Y = 1;
    e.Items[2].Y = 70;
    e.Items[0].SelColor = Rgb(255, 0, 0);
    e.Items[0].UnselColor = Rgb(0, 0, 255);
    Clock& c = view_->AnalogClock();
    c.Load(e);
    c.Dr(0);
    EXPECT_EQ(c.Image1.Height(), 40);
    EXPECT_EQ(c.Image1.Pixel(29, 20), Rgb(255, 0, 0)) << "hour hand reaches x 29";
    EXPECT_NE(c.Image1.Pixel(30, 20), Rgb(255, 0, 0)) << "its end point (30,20) is left out: 10.5 -> 10";
    EXPECT_EQ(c.Image1.Pixel(20, 7), Rgb(0, 0, 255));
    EXPECT_NE(c.Image1.Pixel(20, 6), Rgb(0, 0, 255)) << "minute end point (20,6) left out";

    e.Height = 50;
    e.Items[0].X = 10;
    e.Items[0].SelColor = kWhite;
    c.Load(e);
    c.Dr(0);
    EXPECT_EQ(c.Image1.Pixel(10 + 37, 25), kVisibleWhite) << "white hand drawn visible; 13.125 -> 13";
    EXPECT_NE(c.Image1.Pixel(10 + 38, 25), kVisibleWhite);
    EXPECT_EQ(c.Image1.Pixel(35, 9), Rgb(0, 0, 255));
    EXPECT_NE(c.Image1.Pixel(35, 8), Rgb(0, 0, 255)) << "7.5 rounds to 8, left out";
}

TEST_F(PreviewTest, AdvancedFaceScalingColouringAndBurnIn) {
    // Template: blue 0 on even-even pixels only. At size 88 (k = 2) every face
    // pixel is read from an even-even pixel, so the whole square is face colour.
    Bitmap tpl(176, 176, Rgb(0, 0, 255));
    for (int y = 0; y < 176; y += 2)
        for (int x = 0; x < 176; x += 2) tpl.SetPixel(x, y, Rgb(255, 255, 0));
    platform::WriteBmp(App("Faces/3.bmp"), tpl);
    model::TPlugins& e = Add("AnalogClock", 10, 88);
    e.Items[0].Y = kFaceAdvanced;
    e.Items[2].X = 3;
    e.Items[0].X = 4;
    e.BgColor = kWhite;
    e.Items[0].SelColor = e.Items[0].UnselColor = Rgb(1, 2, 3);
    Clock& c = view_->AnalogClock();
    c.Load(e);
    c.Dr(0);
    EXPECT_EQ(c.Image1.Pixel(4 + 1, 1), kVisibleWhite) << "face colour white is drawn 0xFFFFFE";
    EXPECT_EQ(c.Image1.Pixel(4 + 87, 87), kVisibleWhite);
    EXPECT_EQ(doc_->BGI, "WindowsMobile.JPG") << "drawing changes no design field";
    EXPECT_TRUE(model::Normalise(*doc_).empty());
    EXPECT_EQ(doc_->BGI, kAnalogBackground) << "the pass's rule names the composed picture";
    EXPECT_EQ(doc_->BackgroundImage, "WindowsMobile.JPG");
    EXPECT_TRUE(platform::FileExists(App(kAnalogBackground)));
    EXPECT_EQ(view_->BGImage.Pixel(4 + 1, 10 + 1), kVisibleWhite) << "face burned into the background";
    EXPECT_NE(view_->BGImage.Pixel(4 + 44 + 5, 10 + 44), Rgb(1, 2, 3)) << "hands are not burned in";

    // Blue 255 everywhere: the background is left as it was.
    platform::WriteBmp(App("Faces/3.bmp"), Bitmap(176, 176, Rgb(0, 0, 255)));
    c.Dr(0);
    Bitmap bg = platform::ReadJpeg(App("WindowsMobile.JPG"));
    EXPECT_EQ(c.Image1.Pixel(4 + 3, 3), bg.Pixel(4 + 3, 10 + 3));

    // Size 160: k = 1.1 in double makes 55 * k a hair above 60.5, so face
    // column 55 is read from template column 61.
    Bitmap column61(176, 176, Rgb(0, 0, 255));
    for (int y = 0; y < 176; ++y) column61.SetPixel(61, y, Rgb(0, 0, 0));
    platform::WriteBmp(App("Faces/3.bmp"), column61);
    e.Height = 160;
    e.Items[0].X = 0;
    e.BgColor = Rgb(9, 8, 7);
    c.Load(e);
    c.Dr(0);
    EXPECT_EQ(c.Image1.Pixel(55, 3), Rgb(9, 8, 7));
    EXPECT_EQ(c.Image1.Pixel(56, 3), bg.Pixel(56, 10 + 3));
}

TEST(ClockFields, RangesAndSizeRules) {
    model::Document doc;
    Preview view(doc);
    Clock& c = view.AnalogClock();
    EXPECT_TRUE(c.SetSize(176));
    EXPECT_EQ(c.XPosition.Max, 0);
    EXPECT_EQ(c.XPosition.Value, 0);
    EXPECT_FALSE(c.XPosition.Enabled) << "size 176 leaves no room to move";
    c.SetSize(100);
    c.XPosition.Set(500);
    EXPECT_EQ(c.XPosition.Value, 76) << "at most 176 - size";
    EXPECT_TRUE(c.XPosition.Enabled);
    c.SetSize(3);
    EXPECT_EQ(c.Size.Value, 14);

    EXPECT_EQ(Clock::SizeMaximum(kFaceAdvanced, 6000, 150), 50) << "an advanced face fits the screen";
    EXPECT_EQ(Clock::SizeMaximum(kFaceAdvanced, 6000, 0), 176);
    EXPECT_EQ(Clock::SizeMaximum(kFaceAdvanced, 120, 150), 120);
    EXPECT_EQ(Clock::SizeMaximum(kFaceNone, 20, 150), 176);
    c.FaceStyle = kFaceAdvanced;
    c.SetSize(120);
    c.ApplySizeMaximum(6000, 150);
    EXPECT_EQ(c.Size.Value, 50);
    EXPECT_EQ(c.XPosition.Max, 126);
}

TEST_F(PreviewTest, PluginOutsideTheCatalogueIsAPlaceholderBand) {
    doc_->SplitLines = 1;
    Add("Profile", 0, 20);
    AddForeign(30);
    view_->DrawPlugins();
    EXPECT_EQ(view_->Image1.Pixel(175, 29), kWhite) << "above the band";
    EXPECT_EQ(view_->Image1.Pixel(0, 30), 0x808080u) << "its frame";
    EXPECT_EQ(view_->Image1.Pixel(175, 53), 0x808080u) << "its last row";
    EXPECT_EQ(view_->Image1.Pixel(170, 40), 0xE8E8E8u) << "inside, right of the label";
    EXPECT_EQ(view_->Image1.Pixel(175, 54), kWhite) << "below the band";
    int label = 0;
    for (int y = 31; y < 53; ++y)
        for (int x = 1; x < 80; ++x) label += view_->Image1.Pixel(x, y) == 0x404040u;
    EXPECT_GT(label, 10) << "the plugin's name is written on it";
}

namespace {

struct stat StatOf(const std::string& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st;
}

bool SameTime(const struct stat& a, const struct stat& b) {
    return a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

TEST_F(PreviewTest, WorkFilesAreLeftAloneUntilTheDesignChanges) {
    AddBarFaceAndText();
    view_->DrawPlugins();
    const std::string bar = platform::ReadFile(App(kIconBarJpeg));
    const std::string face = platform::ReadFile(App(kAnalogBackground));
    EXPECT_EQ(platform::DecodeJpeg(bar).Width(), kBarWidth) << "iconbar.jpg is there after the first pass";
    const struct stat barBefore = StatOf(App(kIconBarJpeg)), faceBefore = StatOf(App(kAnalogBackground));

    const Bitmap canvas = view_->Image1;
    view_->DrawPlugins();
    EXPECT_EQ(platform::ReadFile(App(kIconBarJpeg)), bar);
    EXPECT_EQ(platform::ReadFile(App(kAnalogBackground)), face);
    EXPECT_TRUE(SameTime(StatOf(App(kIconBarJpeg)), barBefore)) << "an unchanged bar is not rewritten";
    EXPECT_TRUE(SameTime(StatOf(App(kAnalogBackground)), faceBefore));
    EXPECT_EQ(view_->Image1, canvas) << "the same pass draws the same picture";

    // Someone else spoils the files: the next pass puts the right bytes back.
    std::ofstream(App(kIconBarJpeg), std::ios::binary | std::ios::trunc) << std::string(bar.size(), 'x');
    fs::remove(App(kAnalogBackground));
    view_->DrawPlugins();
    EXPECT_EQ(platform::ReadFile(App(kIconBarJpeg)), bar);
    EXPECT_EQ(platform::ReadFile(App(kAnalogBackground)), face);

    // A changed design: both files hold exactly what a first pass over the new
    // design writes (a fresh view in a fresh folder).
    doc_->Scheme[COLOR_TRAY1] = Rgb(250, 10, 10);
    doc_->Plugins[1].BgColor = Rgb(10, 250, 10);
    view_->DrawPlugins();
    const std::string newBar = platform::ReadFile(App(kIconBarJpeg));
    const std::string newFace = platform::ReadFile(App(kAnalogBackground));
    EXPECT_NE(newBar, bar);
    EXPECT_NE(newFace, face);
    const fs::path other = dir_.string() + "_fresh";
    fs::remove_all(other);
    fs::copy(dir_, other, fs::copy_options::recursive);
    fs::remove(other / kIconBarJpeg);
    fs::remove(other / kAnalogBackground);
    model::Document copy = *doc_;
    copy.AppDir = other.string() + "/";
    copy.BGI.clear();
    Preview fresh(copy);
    fresh.DrawPlugins();
    EXPECT_EQ(platform::ReadFile(copy.AppDir + kIconBarJpeg), newBar);
    EXPECT_EQ(platform::ReadFile(copy.AppDir + kAnalogBackground), newFace);
    EXPECT_EQ(fresh.Image1, view_->Image1);
    fs::remove_all(other);
}

TEST_F(PreviewTest, APassAfterEditsDrawsWhatAFreshPassDraws) {
    // Each step changes the layout; the reused view (which clears only what
    // it drew before) must match a view that has never drawn.
    const auto check = [this](const char* step) {
        view_->DrawPlugins();
        model::Document copy = *doc_;
        Preview fresh(copy);
        fresh.DrawPlugins();
        EXPECT_EQ(view_->Image1, fresh.Image1) << step;
        EXPECT_EQ(view_->Screen(), fresh.Screen()) << step;
    };
    Add("Icon Bar", 0, 20);
    Add("Owner Info", 20, 300); // taller than the work canvas
    Add("WMPlayer", 320, 20);
    Add("MRU", 340, 40).Items[0].Extra = "32";
    doc_->Plugins[3].Items[1].Extra = "3";
    Add("Calendar", 5000, 900); // runs off the bottom of the canvas
    check("first pass");

    doc_->Plugins[1].Height = 10; // the tall entry shrinks: its old rows go white
    check("shrunk");
    doc_->Plugins[4].Top = 100; // the far entry moves up
    doc_->Plugins[4].Height = 20;
    check("moved");
    model::RemoveEntry(*doc_, 2); // the media remote goes
    check("removed");

    // A pass that stops on an error leaves nothing of the last pass below the
    // failing entry: the same canvas as a view that never drew.
    doc_->Plugins[0].Items[0].X = 2; // a Custom bar without its picture
    doc_->Plugins[0].CustomImage.clear();
    EXPECT_THROW(view_->DrawPlugins(), Error);
    {
        model::Document copy = *doc_;
        Preview fresh(copy);
        EXPECT_THROW(fresh.DrawPlugins(), Error);
        EXPECT_EQ(view_->Image1, fresh.Image1) << "failed pass";
    }
    doc_->Plugins[0].Items[0].X = 0;
    check("after a failed pass");
    doc_->Plugins[0].Height = -3; // nothing of it is copied
    doc_->SplitLines = 1;
    check("negative height, no split lines");
    while (model::CountEntries(*doc_) > 0) model::RemoveEntry(*doc_, 0);
    check("empty layout");
}

TEST_F(PreviewTest, APassWithoutCanvasAndTextsWritesWhatAFullPassWrites) {
    // Texts, an advanced bar and face, and a plugin outside the catalogue (a
    // labelled band): everything that reaches the fonts or the canvas.
    AddBarFaceAndText();
    AddForeign(100);
    model::Document lean = *doc_;

    view_->DrawPlugins();

    // The same design in a program folder without fonts: nothing may ask for
    // them, and the work files and the design end up the same.
    const fs::path other = dir_.string() + "_lean";
    fs::remove_all(other);
    fs::copy(dir_, other, fs::copy_options::recursive);
    fs::remove_all(other / "fonts");
    fs::remove(other / kIconBarJpeg);
    fs::remove(other / kAnalogBackground);
    lean.AppDir = other.string() + "/";
    Preview pass(lean, false);
    pass.DrawsText = false;
    std::vector<std::string> leanMessages;
    pass.SetMessageHandler([&](const std::string& m) { leanMessages.push_back(m); });
    ASSERT_NO_THROW(pass.DrawPlugins());

    EXPECT_TRUE(pass.Image1.Empty()) << "no canvas was made";
    EXPECT_EQ(platform::ReadFile(lean.AppDir + kIconBarJpeg), platform::ReadFile(App(kIconBarJpeg)));
    EXPECT_EQ(platform::ReadFile(lean.AppDir + kAnalogBackground), platform::ReadFile(App(kAnalogBackground)));
    EXPECT_EQ(lean.BGI, doc_->BGI);
    EXPECT_EQ(model::CountEntries(lean), model::CountEntries(*doc_));
    EXPECT_EQ(leanMessages, messages_);
    fs::remove_all(other);
}
