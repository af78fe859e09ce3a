// tessaro-cli render with the selected state and the whole-pixel zoom, run as
// the user runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <QImage>

#include "model/catalogue.h"
#include "model/editing.h"
#include "package/project.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/test_util.h"

extern char** environ;

using namespace tessaro;
namespace fs = std::filesystem;

using testsupport::RunResult;

namespace {

constexpr model::Color kBand = 0x00A03C14; // red 0x14, green 0x3C, blue 0xA0

class CliRender : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = testsupport::FreshFolder("cli-render");
        app_ = root_ + "app/";
        fs::create_directories(app_);
        const fs::path prog = TESSARO_PROGRAM_DIR;
        for (const char* f : {"Default", "fonts", "TrayIcons.bmp", "mru32.bmp", "mru16.bmp",
                              "media_remote.bmp", "WindowsMobile.JPG"})
            fs::copy(prog / f, app_ + f, fs::copy_options::recursive);

        // Three entries; the middle one has its own band colour.
        model::Document doc;
        package::StartDocument(doc, app_);
        const int top[] = {0, 40, 70}, height[] = {40, 30, 40};
        const char* kinds[] = {"Owner Info", "Profile", "Calendar"};
        for (int k = 0; k < 3; ++k) {
            int line = 0;
            for (int i = 0; i < model::kKindCount; ++i)
                if (std::string(model::Catalogue()[std::size_t(i)].Name) == kinds[k])
                    line = i;
            model::TPlugins& e = doc.Plugins[std::size_t(model::AddEntry(doc, line))];
            e.Top = top[k];
            e.Height = height[k];
        }
        doc.Plugins[1].BgColor = kBand;
        doc.Plugins[1].Transparent = 0;
        package::SaveProject(doc, root_ + "three.trpf");
        project_ = root_ + "three/three.trpf"; // saved into a folder of its own
    }
    void TearDown() override { fs::remove_all(root_); }

    RunResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {TESSARO_CLI, "--appdir", app_});
        return testsupport::RunProgram(std::move(args), root_);
    }
    QImage Render(const std::string& name, std::vector<std::string> options) {
        std::vector<std::string> args{"render", project_, root_ + name};
        args.insert(args.end(), options.begin(), options.end());
        const RunResult r = Run(args);
        EXPECT_EQ(r.Exit, 0) << r.Err;
        return QImage(QString::fromStdString(root_ + name)).convertToFormat(QImage::Format_RGB32);
    }
    static bool RowEqual(const QImage& a, const QImage& b, int y) {
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
        return true;
    }

    std::string root_, app_, project_;
};

} // namespace

TEST_F(CliRender, ZoomIsTheScreenScaledByWholePixels) {
    const QImage one = Render("one.png", {});
    ASSERT_EQ(one.size(), QSize(176, 220));
    for (int z : {2, 5}) {
        const QImage big = Render("z.png", {"--zoom", std::to_string(z)});
        ASSERT_EQ(big.size(), QSize(176 * z, 220 * z));
        EXPECT_EQ(big, one.scaled(176 * z, 220 * z, Qt::IgnoreAspectRatio, Qt::FastTransformation))
            << "zoom " << z;
    }
    // Zoom and selection together: the zoomed selected screen.
    const QImage sel = Render("sel.png", {"--selected", "1"});
    const QImage selBig = Render("selbig.png", {"--zoom", "3", "--selected", "1"});
    EXPECT_EQ(selBig, sel.scaled(528, 660, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

TEST_F(CliRender, SelectedChangesOnlyThatEntrysRows) {
    const QImage plain = Render("plain.png", {});
    const QImage sel = Render("sel.png", {"--selected", "1"});
    ASSERT_EQ(sel.size(), plain.size());
    int bandPixels = 0;
    for (int y = 0; y < 220; ++y) {
        if (y >= 40 && y < 70) {
            for (int x = 0; x < 176; ++x)
                bandPixels += sel.pixel(x, y) == qRgb(0x14, 0x3C, 0xA0);
            continue;
        }
        EXPECT_TRUE(RowEqual(plain, sel, y)) << "row " << y;
    }
    EXPECT_GT(bandPixels, 176 * 20) << "the band is filled with the entry's colour";
    EXPECT_FALSE(RowEqual(plain, sel, 60));
}

TEST_F(CliRender, BadSelectedOrZoomIsAUsageError) {
    for (const auto& opts : std::vector<std::vector<std::string>>{{"--selected", "3"},
                                                                  {"--selected", "-1"},
                                                                  {"--selected", "one"},
                                                                  {"--zoom", "0"},
                                                                  {"--zoom", "7"},
                                                                  {"--zoom", "2x"},
                                                                  {"--zoom"}}) {
        std::vector<std::string> args{"render", project_, root_ + "bad.png"};
        args.insert(args.end(), opts.begin(), opts.end());
        const RunResult r = Run(args);
        EXPECT_EQ(r.Exit, 2) << opts[0] << " " << (opts.size() > 1 ? opts[1] : "");
        EXPECT_NE(r.Err.find("Usage:"), std::string::npos) << r.Err;
        EXPECT_FALSE(fs::exists(root_ + "bad.png"));
    }
}
