// The selected state drawn by the preview pass, the whole-pixel zoom and the
// hit test of the device view.
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "model/catalogue.h"
#include "model/editing.h"
#include "model/error.h"
#include "platform/picture.h"
#include "preview/devicescreen.h"
#include "preview/preview.h"

using namespace tessaro;
using namespace tessaro::preview;
using platform::Bitmap;
using platform::Rgb;
namespace fs = std::filesystem;

namespace {

constexpr model::Color kBand = Rgb(20, 60, 160);
constexpr model::Color kSel = Rgb(250, 240, 10);
constexpr model::Color kUnsel = Rgb(5, 90, 5);

class DeviceScreen : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaro_device_" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const fs::path prog = TESSARO_PROGRAM_DIR;
        for (const char* f : {"fonts", "TrayIcons.bmp", "mru32.bmp", "mru16.bmp",
                              "media_remote.bmp", "WindowsMobile.JPG"})
            fs::copy(prog / f, dir_ / f, fs::copy_options::recursive);
        doc_ = std::make_unique<model::Document>();
        doc_->AppDir = dir_.string() + "/";
        for (int i = 0; i < model::kSchemeSize; ++i)
            doc_->Scheme[std::size_t(i)] = Rgb(10 * i, 200 - i, 100);
        view_ = std::make_unique<Preview>(*doc_);
    }
    void TearDown() override {
        view_.reset();
        fs::remove_all(dir_);
    }
    // An entry of `kind` with its band colour and both text colours set.
    model::TPlugins& Add(const char* kind, int top, int height) {
        int line = -1;
        for (int i = 0; i < model::kKindCount; ++i)
            if (std::string(model::Catalogue()[std::size_t(i)].Name) == kind)
                line = i;
        model::TPlugins& e = doc_->Plugins[std::size_t(model::AddEntry(*doc_, line))];
        e.Top = top;
        e.Height = height;
        e.BgColor = kBand;
        e.Transparent = 0;
        for (auto& it : e.Items) {
            it.SelColor = kSel;
            it.UnselColor = kUnsel;
            it.SelWeight = "bold";
            it.UnselWeight = "normal";
        }
        return e;
    }
    // Plain and selected screens of one pass with entry `i` selected.
    void Draw(int i) {
        view_->SetSelectedEntry(i);
        view_->DrawPlugins();
        plain_ = view_->Screen();
        sel_ = view_->SelectedScreen();
    }
    bool RowsEqual(int y) const {
        for (int x = 0; x < kWidth; ++x)
            if (plain_.Pixel(x, y) != sel_.Pixel(x, y))
                return false;
        return true;
    }
    std::set<model::Color> ColoursIn(const Bitmap& b, int top, int bottom) const {
        std::set<model::Color> out;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < b.Width(); ++x)
                out.insert(b.Pixel(x, y));
        return out;
    }

    fs::path dir_;
    std::unique_ptr<model::Document> doc_;
    std::unique_ptr<Preview> view_;
    Bitmap plain_, sel_;
};

} // namespace

TEST_F(DeviceScreen, SelectedEntryChangesOnlyItsOwnRows) {
    Add("Owner Info", 0, 40);
    Add("Profile", 40, 30);
    Add("Calendar", 70, 40);
    Draw(1);

    // The plain screen is what a pass without a selection draws.
    view_->SetSelectedEntry(-1);
    view_->DrawPlugins();
    EXPECT_EQ(view_->Screen(), plain_);
    EXPECT_TRUE(view_->SelImage1.Empty()) << "no selected canvas is kept without a selection";

    // Rows 40..69 are the Profile's band; row 70 is the Calendar's top rule.
    for (int y = 0; y < kScreenHeight; ++y) {
        if (y >= 40 && y < 70)
            continue;
        EXPECT_TRUE(RowsEqual(y)) << "row " << y << " lies outside the entry";
    }
    const auto band = ColoursIn(sel_, 41, 70);
    EXPECT_TRUE(band.count(kBand)) << "the band is filled with the entry's own colour";
    EXPECT_TRUE(band.count(kSel)) << "the label is drawn in the selected colour";
    EXPECT_FALSE(band.count(kUnsel)) << "no unselected text is left in the band";
    EXPECT_EQ(sel_.Pixel(175, 60), kBand) << "right of the label the band shows";
    // The split line above the band stays.
    EXPECT_EQ(sel_.Pixel(100, 40), doc_->Scheme[COLOR_HOMERULE]);
    const auto plainBand = ColoursIn(plain_, 41, 70);
    EXPECT_TRUE(plainBand.count(kUnsel));
    EXPECT_FALSE(plainBand.count(kBand));
}

TEST_F(DeviceScreen, LaterEntryCoveringTheSelectedOneStaysPlain) {
    Add("Profile", 0, 40);
    Add("Owner Info", 20, 40);
    Draw(0);
    for (int y = 20; y < kScreenHeight; ++y)
        EXPECT_TRUE(RowsEqual(y)) << "row " << y;
    EXPECT_EQ(sel_.Pixel(175, 10), kBand);
}

TEST_F(DeviceScreen, BandPictureAndTransparentBand) {
    Bitmap pic(176, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 176; ++x)
            pic.SetPixel(x, y, Rgb(x, 7 * y, 200));
    pic.SetPixel(170, 20, 0xFFFFFF);
    platform::WriteBmp(doc_->AppDir + "band.bmp", pic);
    model::TPlugins& e = Add("Profile", 10, 30);
    e.BgImage = "band.bmp";
    e.Transparent = 1; // the picture wins over the flag, as the writer has it
    doc_->SplitLines = 1;
    Draw(0);
    for (int y = 10; y < 40; ++y)
        EXPECT_EQ(sel_.Pixel(175, y), pic.Pixel(175, y - 10)) << "picture row " << y - 10;
    EXPECT_EQ(sel_.Pixel(170, 30), kVisibleWhite) << "white in the picture is no hole";
    EXPECT_TRUE(ColoursIn(sel_, 10, 40).count(kSel));

    // Transparent, no picture: the background shows, the label is selected.
    e.BgImage.clear();
    Draw(0);
    const auto bandColours = ColoursIn(sel_, 10, 40);
    EXPECT_FALSE(bandColours.count(kBand));
    EXPECT_TRUE(bandColours.count(kSel));
    EXPECT_EQ(sel_.Pixel(175, 30), plain_.Pixel(175, 30)) << "background beside the label";

    // A band picture that cannot be read: the pass goes on (later entries
    // included), the entry stays plain and the reason names the file.
    e.BgImage = "gone.jpg";
    Add("Owner Info", 40, 40);
    Draw(0);
    EXPECT_NE(view_->SelectedProblem.find("gone.jpg"), std::string::npos) << view_->SelectedProblem;
    EXPECT_EQ(sel_, plain_);
    view_->SetSelectedEntry(-1);
    view_->DrawPlugins();
    EXPECT_EQ(view_->Screen(), plain_) << "the plain screen is whole";
    EXPECT_TRUE(view_->SelectedProblem.empty());
}

TEST_F(DeviceScreen, TimeAndDateKeepTheirOneFormat) {
    // Carrier/Sim: the operator is a label, time and date have one format.
    model::TPlugins& e = Add("Carrier/Sim", 0, 60);
    e.Items[0].Y = 2;
    e.Items[1].X = 2;
    e.Items[1].Y = 22;
    e.Items[2].X = 2;
    e.Items[2].Y = 42;
    Draw(0);
    EXPECT_TRUE(ColoursIn(sel_, 1, 20).count(kSel));
    const auto timeRows = ColoursIn(sel_, 22, 58);
    EXPECT_TRUE(timeRows.count(kUnsel));
    EXPECT_FALSE(timeRows.count(kSel));
    EXPECT_TRUE(timeRows.count(kBand));
}

TEST_F(DeviceScreen, ZoomRepeatsEveryPixel) {
    Add("Owner Info", 0, 60);
    Draw(0);
    for (int z = kMinZoom; z <= kMaxZoom; ++z) {
        const Bitmap big = ZoomScreen(sel_, z);
        ASSERT_EQ(big.Width(), kWidth * z);
        ASSERT_EQ(big.Height(), kScreenHeight * z);
        bool same = true;
        for (int y = 0; y < big.Height() && same; ++y)
            for (int x = 0; x < big.Width() && same; ++x)
                same = big.Pixel(x, y) == sel_.Pixel(x / z, y / z);
        EXPECT_TRUE(same) << "zoom " << z;
    }
    EXPECT_THROW(ZoomScreen(sel_, 0), Error);
    EXPECT_THROW(ZoomScreen(sel_, 7), Error);
    EXPECT_EQ(FitZoom(176, 220, 1000, 700), 3);
    EXPECT_EQ(FitZoom(176, 220, 100, 100), 1);
    EXPECT_EQ(FitZoom(176, 220, 5000, 5000), 6);
}

TEST_F(DeviceScreen, HitTestFindsTheEntryAndLabelOnTop) {
    model::TPlugins& a = Add("Owner Info", 0, 60);
    Add("Profile", 40, 40); // covers the Owner Info's last rows
    a.Items[0].X = 10;
    a.Items[0].Y = 5;
    a.Items[1].X = 10;
    a.Items[1].Y = 22;
    a.Items[1].Text.clear();
    a.Items[2].Visible = 0;
    view_->DrawPlugins();

    ScreenHit h = HitTest(*view_, 12, 8);
    EXPECT_EQ(h.Entry, 0);
    EXPECT_EQ(h.Slot, 0);
    EXPECT_EQ(HitTest(*view_, 12, 25).Slot, 1);
    h = HitTest(*view_, 170, 30);
    EXPECT_EQ(h.Entry, 0);
    EXPECT_EQ(h.Slot, -1) << "beside the labels: the band";
    EXPECT_EQ(HitTest(*view_, 170, 45).Entry, 1) << "the later entry lies on top";
    EXPECT_EQ(HitTest(*view_, 10, 150).Entry, -1) << "below the layout";
    EXPECT_EQ(HitTest(*view_, 10, 210).Entry, -1) << "the soft keys";

    a.Items[0].Visible = 0;
    EXPECT_EQ(HitTest(*view_, 12, 8).Slot, -1) << "a hidden label cannot be picked";
}

TEST_F(DeviceScreen, HitTestFollowsTheScrollPosition) {
    Add("Owner Info", 0, 150);
    Add("Profile", 150, 150);
    view_->DrawPlugins();
    view_->ScrollBar1Change(100);
    const ScreenHit h = HitTest(*view_, 170, 60);
    EXPECT_EQ(h.Entry, 1);
    EXPECT_EQ(h.CanvasY, 160);
}
