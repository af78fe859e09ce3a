// The layout checker: each finding seeded into an otherwise clean design must
// come out with exactly its code at the right entry, and nothing else.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "check/layoutcheck.h"
#include "model/catalogue.h"
#include "model/document.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/picture.h"
#include "platform/raster.h"
#include "preview/preview.h"

using namespace tessaro;
using check::Finding;
using check::Severity;
namespace fs = std::filesystem;

namespace {

// A shown element slot at (x, y); for an icon bar (style, template), for a
// clock the two numbers its slots hold.
model::TPluginItem Slot(int x, int y) {
    model::TPluginItem it;
    it.Visible = 1;
    it.X = x;
    it.Y = y;
    return it;
}

// What a finding amounts to for these tests.
struct Seen {
    std::string Code;
    int Entry;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os) { *os << s.Code << "@" << s.Entry; }

class LayoutCheck : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaro_check_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const fs::path prog = TESSARO_PROGRAM_DIR;
        fs::copy(prog / "fonts", dir_ / "fonts", fs::copy_options::recursive);
        fs::copy(prog / "WindowsMobile.JPG", dir_ / "WindowsMobile.JPG");
        app_ = dir_.string() + "/";
        fonts_ = std::make_unique<platform::FontSet>(app_);
        theme_ = Clean();
    }
    void TearDown() override {
        fonts_.reset();
        fs::remove_all(dir_);
    }

    static model::TPlugins& Put(model::Theme& t, int i, const char* kind, int top, int height) {
        model::TPlugins& e = t.Plugins[std::size_t(i)];
        const model::KindInfo& k = model::Catalogue()[std::size_t(model::KindIndex(kind))];
        e.Used = 1;
        e.Name = k.Name;
        e.ClsId = k.ClsId;
        e.DllName = k.DllName;
        e.Top = top;
        e.Height = height;
        for (int s = 0; s < 3; ++s) {
            model::TPluginItem& it = e.Items[std::size_t(s)];
            it.Visible = 1;
            it.X = k.Pos[std::size_t(2 * s)];
            it.Y = k.Pos[std::size_t(2 * s + 1)];
            it.FontSize = 14;
            it.SelWeight = "bold";
            it.UnselWeight = "normal";
            it.Text = k.Labels[std::size_t(s)] ? k.Labels[std::size_t(s)] : "";
        }
        return e;
    }

    // Every kind of entry a short screen holds, texts inside, entries in
    // order, 195 pixels tall (not scrolling), the default background.
    static model::Theme Clean() {
        model::Theme t;
        Put(t, 0, "Icon Bar", 0, 20).Items[0] = Slot(1, 1);  // Advanced, template 1
        Put(t, 1, "Clock", 20, 20);
        Put(t, 2, "Calendar", 40, 40);
        model::TPlugins& mru = Put(t, 3, "MRU", 80, 55);
        mru.Items[0].Extra = "32";
        mru.Items[1].Extra = "5";
        model::TPlugins& clock = Put(t, 4, "AnalogClock", 135, 40);
        clock.Items[0].X = 0;
        clock.Items[0].Y = 1; // Advanced face
        clock.Items[1].X = 1;
        clock.Items[1].Y = 2;
        clock.Items[2].X = 1;
        clock.Items[2].Y = 70;
        Put(t, 5, "Profile", 175, 20);
        return t;
    }

    std::vector<Finding> Run(const std::vector<std::string>& folders = {}) {
        return check::CheckLayout(theme_, check::PictureSource{app_, folders}, *fonts_);
    }
    std::vector<Seen> Codes(const std::vector<std::string>& folders = {}) {
        std::vector<Seen> out;
        for (const Finding& f : Run(folders)) out.push_back({f.Code, f.Entry});
        return out;
    }
    model::TPlugins& E(int i) { return theme_.Plugins[std::size_t(i)]; }
    static std::vector<Seen> One(const char* code, int entry) { return {{code, entry}}; }

    // Draws `e` alone at the top of a layout, its first element at x 0, with
    // the preview, and returns how many columns its ink takes.
    int PreviewInkWidth(model::TPlugins e) {
        model::Document doc;
        doc.AppDir = app_;
        doc.SplitLines = 1;
        e.Top = 0;
        e.Items[0].X = 0;
        e.Items[0].UnselColor = 0;
        doc.Plugins[0] = e;
        doc.ActivePluginsList.Lines.push_back(e.Name);
        preview::Preview view(doc);
        view.DrawPlugins();
        int right = 0;
        for (int y = 0; y < e.Height; ++y)
            for (int x = 0; x < 176; ++x)
                if (view.Image1.Pixel(x, y) != 0xFFFFFF) right = std::max(right, x + 1);
        return right;
    }

    fs::path dir_;
    std::string app_;
    std::unique_ptr<platform::FontSet> fonts_;
    model::Theme theme_;
};

TEST_F(LayoutCheck, CleanDesignsGiveNoFinding) {
    EXPECT_EQ(Codes(), std::vector<Seen>{});
    theme_ = model::Theme{}; // no entries, default background
    EXPECT_EQ(Codes(), std::vector<Seen>{});
}

TEST_F(LayoutCheck, CheckingLeavesTheDesignAsItWas) {
    E(5).Top = 300; // scrolling with an advanced face
    E(0).Transparent = 1;
    E(0).TransparencyLevel = 100;
    Put(theme_, 6, "Icon Bar", 320, 20).Items[0].X = 1;
    const model::Theme before = theme_;
    const auto files = std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    EXPECT_FALSE(Run().empty());
    EXPECT_EQ(theme_, before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), files);
}

TEST_F(LayoutCheck, TextRunningOffTheScreen) {
    E(5).Items[0].Text = "My profile right now is: ";
    EXPECT_EQ(Codes(), One(check::kTextOverflow, 5));

    // The edge exactly, as the preview shows it: the text drawn by the
    // preview at x 0 has its last inked column at w - 1; at x 176 - w its ink
    // ends on the last column of the screen, one pixel further it is cut.
    E(5).Items[0].Text = "Profile: ";
    const int w = PreviewInkWidth(E(5));
    ASSERT_GT(w, 20);
    E(5).Items[0].X = 176 - w;
    EXPECT_EQ(Codes(), std::vector<Seen>{});
    E(5).Items[0].X = 177 - w;
    EXPECT_EQ(Codes(), One(check::kTextOverflow, 5));
    // The advance width of the text reaches further than its ink: that
    // empty end alone passing the edge is not a finding.
    const auto drawn = preview::TextOfSlot(E(5), 0);
    ASSERT_GT(platform::TextWidth(*fonts_, drawn->Utf8, drawn->Font), w);

    // Bold is wider: a text that fits in normal type can run off in bold.
    E(5).Items[0].X = 176 - w;
    E(5).Items[0].UnselWeight = "bold";
    EXPECT_EQ(Codes(), One(check::kTextOverflow, 5));
    // The selected weight is not what the preview draws.
    E(5).Items[0].UnselWeight = "normal";
    E(5).Items[0].SelWeight = "bold";
    EXPECT_EQ(Codes(), std::vector<Seen>{});
}

TEST_F(LayoutCheck, HiddenTextsAndLabelsOfOtherKindsAreNotMeasured) {
    // A hidden slot is not drawn; slot 3 of a Clock is no text at all.
    E(2).Items[2].Text = "A location label that is far too long for the screen";
    E(2).Items[2].Visible = 0;
    E(1).Items[2].Text = "A third clock label that is never shown anywhere";
    EXPECT_EQ(Codes(), std::vector<Seen>{});
}

TEST_F(LayoutCheck, ElementsOutsideTheirEntry) {
    struct Case {
        int Slot;
        int X, Y;
    };
    // Calendar entry 2 is 40 high; its texts are about 17 pixels high.
    for (Case c : {Case{2, 5, 40}, Case{2, 5, -1}, Case{1, -3, 2}, Case{0, 176, 2}, Case{1, 5, 30}}) {
        SCOPED_TRACE(testing::Message() << "slot " << c.Slot << " at " << c.X << "," << c.Y);
        theme_ = Clean();
        E(2).Items[std::size_t(c.Slot)].X = c.X;
        E(2).Items[std::size_t(c.Slot)].Y = c.Y;
        EXPECT_EQ(Codes(), One(check::kElementOutside, 2));
    }
    // The last row a text may reach is the entry's last row.
    theme_ = Clean();
    const auto drawn = preview::TextOfSlot(E(2), 1);
    const int cell = fonts_->Metrics(drawn->Font.Face, drawn->Font.Height, drawn->Font.Bold).CellHeight();
    E(2).Items[1].Y = 40 - cell;
    EXPECT_EQ(Codes(), std::vector<Seen>{});

    // The MRU icon row: 32-pixel icons below the entry's bottom.
    theme_ = Clean();
    E(3).Items[0].Y = 30;
    EXPECT_EQ(Codes(), One(check::kElementOutside, 3));
}

TEST_F(LayoutCheck, OverlapAndTheCanvasLimit) {
    E(2).Top = 35; // the clock above ends at 40
    EXPECT_EQ(Codes(), One(check::kOverlap, 2));

    theme_ = Clean();
    E(5).Top = 5990; // a gap is fine, the end at 6010 is not
    E(4).Items[0].Y = 0;     // (no advanced face in a scrolling layout)
    EXPECT_EQ(Codes(), One(check::kBeyondCanvas, 5));
    E(5).Top = 5980;
    EXPECT_EQ(Codes(), std::vector<Seen>{});
}

TEST_F(LayoutCheck, MissingPictures) {
    theme_.BackgroundImage = "beach.jpg";
    EXPECT_EQ(Codes(), One(check::kMissingPicture, -1));

    theme_ = Clean();
    E(2).BgImage = "tile.jpg";
    EXPECT_EQ(Codes(), One(check::kMissingPicture, 2));
    platform::WriteFile(app_ + "tile.jpg", "any picture");
    EXPECT_EQ(Codes(), std::vector<Seen>{});

    // A Custom icon bar needs its own picture, unless it is fully transparent.
    theme_ = Clean();
    E(0).Items[0].X = 2;
    EXPECT_EQ(Codes(), One(check::kMissingPicture, 0));
    E(0).CustomImage = "bar.bmp";
    EXPECT_EQ(Codes(), One(check::kMissingPicture, 0));
    E(0).Transparent = 1;
    E(0).TransparencyLevel = 255;
    EXPECT_EQ(Codes(), std::vector<Seen>{});

    // The icon bar's "iconbar.jpg" is made when the layout is built.
    theme_ = Clean();
    E(0).BgImage = "iconbar.jpg";
    EXPECT_EQ(Codes(), std::vector<Seen>{});

    // A project's pictures lie in its own folder.
    theme_ = Clean();
    const std::string project = (dir_ / "project").string();
    fs::create_directories(project);
    theme_.BackgroundImage = "own.jpg";
    E(2).BgImage = "cell.jpg";
    EXPECT_EQ(Codes({project}), (std::vector<Seen>{{check::kMissingPicture, -1}, {check::kMissingPicture, 2}}));
    platform::WriteJpeg(project + "/own.jpg", platform::Bitmap(176, 200, 0x336699), 90);
    platform::WriteFile(project + "/cell.jpg", "x");
    EXPECT_EQ(Codes({project}), std::vector<Seen>{});
}

TEST_F(LayoutCheck, BackgroundOfTheWrongSizeOrNoPictureAtAll) {
    theme_.BackgroundImage = "wide.jpg";
    platform::WriteJpeg(app_ + "wide.jpg", platform::Bitmap(200, 150, 0x808080), 90);
    const auto found = Run();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Code, check::kBackgroundSize);
    EXPECT_EQ(found[0].Entry, -1);
    EXPECT_NE(found[0].Message.find("200 x 150"), std::string::npos) << found[0].Message;

    platform::WriteFile(app_ + "wide.jpg", "not a picture");
    EXPECT_EQ(Codes(), One(check::kMissingPicture, -1));
}

TEST_F(LayoutCheck, SecondAdvancedIconBarOrFace) {
    Put(theme_, 5, "Icon Bar", 175, 20).Items[0] = Slot(1, 3);
    EXPECT_EQ(Codes(), One(check::kSecondAdvanced, 5));
    E(5).Items[0].X = 2; // Custom does not count as advanced
    E(5).Items[0].Y = 1;
    E(5).CustomImage = "WindowsMobile.JPG";
    EXPECT_EQ(Codes(), std::vector<Seen>{});

    theme_ = Clean();
    model::TPlugins& face = Put(theme_, 5, "AnalogClock", 175, 20);
    face.Items[0].Y = 1;
    face.Items[1] = Slot(1, 1);
    face.Items[2] = Slot(2, 50);
    EXPECT_EQ(Codes(), One(check::kSecondAdvanced, 5));
}

TEST_F(LayoutCheck, WhatATallLayoutCannotHave) {
    E(5).Top = 300; // 320 pixels tall: it scrolls
    E(4).Items[0].Y = 0;
    EXPECT_EQ(Codes(), std::vector<Seen>{});

    E(0).Transparent = 1;
    E(0).TransparencyLevel = 100;
    EXPECT_EQ(Codes(), One(check::kTransparentScrolling, 0));
    E(0).TransparencyLevel = 255; // fully transparent bars may scroll
    EXPECT_EQ(Codes(), std::vector<Seen>{});

    E(4).Items[0].Y = 1;
    EXPECT_EQ(Codes(), One(check::kFaceScrolling, 4));

    // 200 pixels exactly still fits the screen.
    E(5).Top = 180;
    E(0).TransparencyLevel = 100;
    EXPECT_EQ(Codes(), std::vector<Seen>{});
}

TEST_F(LayoutCheck, ValuesTheDeviceOrTheStyleWindowsRefuse) {
    struct Case {
        const char* What;
        int Entry;
        std::function<void(model::Theme&)> Seed;
    };
    auto e = [](model::Theme& t, int i) -> model::TPlugins& { return t.Plugins[std::size_t(i)]; };
    const std::vector<Case> cases = {
        {"MRU buttons 0", 3, [&](model::Theme& t) { e(t, 3).Items[1].Extra = "0"; }},
        {"MRU buttons 10", 3, [&](model::Theme& t) { e(t, 3).Items[1].Extra = "10"; }},
        {"MRU buttons not a number", 3, [&](model::Theme& t) { e(t, 3).Items[1].Extra = "five"; }},
        {"MRU icon size 24", 3, [&](model::Theme& t) { e(t, 3).Items[0].Extra = "24"; }},
        {"font size 11", 5, [&](model::Theme& t) { e(t, 5).Items[0].FontSize = 11; }},
        {"font size 201 of a hidden first label", 5,
         [&](model::Theme& t) {
             e(t, 5).Items[0].FontSize = 201;
             e(t, 5).Items[0].Visible = 0;
         }},
        {"clock size 13", 4, [&](model::Theme& t) { e(t, 4).Height = 13; }},
        {"clock x beyond 176 - size", 4, [&](model::Theme& t) { e(t, 4).Items[0].X = 137; }},
        {"hour hand width 0", 4, [&](model::Theme& t) { e(t, 4).Items[1].X = 0; }},
        {"minute hand width 11", 4, [&](model::Theme& t) { e(t, 4).Items[1].Y = 11; }},
        {"hand length 0", 4, [&](model::Theme& t) { e(t, 4).Items[2].Y = 0; }},
        {"hand length 101", 4, [&](model::Theme& t) { e(t, 4).Items[2].Y = 101; }},
        {"face template 7", 4, [&](model::Theme& t) { e(t, 4).Items[2].X = 7; }},
        {"face style 2", 4, [&](model::Theme& t) { e(t, 4).Items[0].Y = 2; }},
        {"bar template 0", 0, [&](model::Theme& t) { e(t, 0).Items[0].Y = 0; }},
        {"bar style 3", 0, [&](model::Theme& t) { e(t, 0).Items[0].X = 3; }},
        {"transparency 256", 0, [&](model::Theme& t) { e(t, 0).TransparencyLevel = 256; }},
        {"transparency -1", 0, [&](model::Theme& t) { e(t, 0).TransparencyLevel = -1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        theme_ = Clean();
        c.Seed(theme_);
        EXPECT_EQ(Codes(), One(check::kInvalidValue, c.Entry));
    }
    // The edges of the ranges are fine.
    theme_ = Clean();
    E(3).Items[1].Extra = "9";
    E(3).Items[0].Extra = "16";
    E(5).Items[0].FontSize = 12;
    E(4).Items[1] = Slot(10, 10);
    E(4).Items[2] = Slot(6, 100);
    E(4).Items[0].X = 136;
    E(0).TransparencyLevel = 255;
    EXPECT_EQ(Codes(), std::vector<Seen>{});
}

TEST_F(LayoutCheck, KindsTheDesignerDoesNotKnow) {
    E(5).Name = "Wea\x1b[2Jther"; // a control character must not reach a terminal
    E(5).ClsId.clear();
    E(5).Items[0].Text = "A label far too long to fit on the screen anyway";
    const auto found = Run();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Code, check::kUnknownKind);
    EXPECT_EQ(found[0].Entry, 5);
    EXPECT_EQ(found[0].Kind, "Wea?[2Jther");
    EXPECT_EQ(found[0].Message.find('\x1b'), std::string::npos);
    EXPECT_EQ(found[0].Level, Severity::Warning);
}

TEST_F(LayoutCheck, SeveritiesFollowTheCode) {
    E(2).Top = 35;                                 // overlap: error
    E(5).Items[0].Text = "My profile right now is: "; // text-overflow: warning
    const auto found = Run();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].Level, Severity::Error);
    EXPECT_EQ(found[1].Level, Severity::Warning);
    EXPECT_EQ(check::CountErrors(found), 1);
}

TEST(LayoutCheckText, LinesJsonAndTheQuestion) {
    std::vector<Finding> f = {
        {Severity::Error, "missing-picture", -1, "", "the background picture \"a.jpg\" is not there"},
        {Severity::Warning, "text-overflow", 3, "Profile",
         "the text \"\xD0\x9F\xD1\x80\xD0\xB8 \\ \x01\ttab\" ends at 190"},
    };
    EXPECT_EQ(check::FormatFinding(f[0]),
              "error: the background picture \"a.jpg\" is not there [missing-picture]");
    EXPECT_EQ(check::FormatFinding(f[1]),
              "warning: entry 3 (Profile): the text \"\xD0\x9F\xD1\x80\xD0\xB8 \\ \x01\ttab\" ends at "
              "190 [text-overflow]");
    EXPECT_EQ(check::FindingsJson(f),
              "[\n"
              "  {\"severity\": \"error\", \"code\": \"missing-picture\", \"entry\": null, \"kind\": "
              "null, \"message\": \"the background picture \\\"a.jpg\\\" is not there\"},\n"
              "  {\"severity\": \"warning\", \"code\": \"text-overflow\", \"entry\": 3, \"kind\": "
              "\"Profile\", \"message\": \"the text \\\"\xD0\x9F\xD1\x80\xD0\xB8 \\\\ \\u0001\\ttab\\\" "
              "ends at 190\"}\n"
              "]");
    EXPECT_EQ(check::FindingsJson({}), "[]");
    EXPECT_EQ(check::BuildQuestion(1), "The layout has 1 error. Build the cabinet anyway?");
    EXPECT_EQ(check::BuildQuestion(2), "The layout has 2 errors. Build the cabinet anyway?");
}

TEST_F(LayoutCheck, LabelsInTheCodePageComeOutAsUtf8) {
    // "Профиль: " in Windows-1251, long enough to run off the screen.
    E(5).Items[0].Text = "\xCF\xF0\xEE\xF4\xE8\xEB\xFC \xEC\xEE\xE5\xE3\xEE \xF2\xE5\xEB\xE5\xF4\xEE\xED\xE0: ";
    const auto found = Run();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Code, check::kTextOverflow);
    EXPECT_NE(found[0].Message.find("\xD0\x9F\xD1\x80\xD0\xBE\xD1\x84"), std::string::npos)
        << found[0].Message;

    // Control characters of a label are not passed on.
    E(5).Items[0].Text = "Line\r\nbreak and a bell\a in a label far too long: ";
    const auto bad = Run();
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_NE(bad[0].Message.find("\"Line??break and a bell? in a label"), std::string::npos)
        << bad[0].Message;
}

} // namespace
