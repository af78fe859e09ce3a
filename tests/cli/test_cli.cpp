#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "formats/color.h"
#include "formats/homelayout.h"
#include "formats/scheme.h"
#include "package/project.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "support/run_program.h"
#include "support/test_util.h"

extern char** environ;

using namespace tessaro;
namespace fs = std::filesystem;
using platform::ReadFile;
using platform::WriteFile;

using testsupport::RunResult;

namespace {

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::FreshFolder("cli");
        app_ = root_ + "app/";
        proj_ = root_ + "proj/";
        fs::create_directories(app_);
        fs::create_directories(proj_);
        fs::create_directories(root_ + "out");
        fs::copy_file(TESSARO_PROGRAM_DIR "Default", app_ + "Default");
        fs::copy_file(TESSARO_TEST_DATA "/foundation/sample.trpf", proj_ + "sample.trpf");
        fs::copy_file(TESSARO_PROGRAM_DIR "Green", proj_ + "user.scheme.xml");
        platform::WriteJpeg(proj_ + "back.jpg", platform::Bitmap(176, 200, 0x808080), 90);
        WriteFile(proj_ + "tile.jpg", "tile");
        WriteFile(proj_ + "mybar.bmp", "bar");
    }
    void TearDown() override { fs::remove_all(root_); }

    RunResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {TESSARO_CLI, "--appdir", app_});
        return testsupport::RunProgram(std::move(args), root_);
    }

    std::string root_, app_, proj_;
};

} // namespace

TEST_F(Cli, XmlWritesTheProjectLayout) {
    auto r = Run({"xml", proj_ + "sample.trpf", root_ + "out/Night & Day.home.xml"});
    ASSERT_EQ(r.Exit, 0) << r.Err;
    const std::string written = ReadFile(root_ + "out/Night & Day.home.xml");

    // The same layout built in process from the same project.
    const std::string app2 = root_ + "app2/";
    fs::create_directories(app2);
    fs::copy_file(app_ + "Default", app2 + "Default");
    model::Document doc;
    package::StartDocument(doc, app2);
    package::OpenProject(doc, proj_ + "sample.trpf");
    EXPECT_EQ(written, formats::BuildHomeLayout(doc, "Night & Day.home.xml"));

    EXPECT_NE(written.find("<title>Night &amp; Day</title>"), std::string::npos);
    EXPECT_NE(written.find("<text>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 <subject/>"), std::string::npos);
    EXPECT_NE(written.find("<text>MMS &amp; &lt;co&gt;<unreadMMS/>"), std::string::npos);
    EXPECT_NE(written.find("bgimage=\"back.jpg\""), std::string::npos);
    EXPECT_NE(written.find("<color name=\"COLOR_WINDOW\" value=\"#ffffff\" />"), std::string::npos);
    EXPECT_EQ(ReadFile(app_ + "temp"), written);
    EXPECT_EQ(ReadFile(app_ + "tile.jpg"), "tile");
}

TEST_F(Cli, XmlFailureKeepsAnExistingOutput) {
    const std::string out = root_ + "out/keep.home.xml";
    WriteFile(out, "keep");
    std::string bad = ReadFile(proj_ + "sample.trpf");
    bad.replace(bad.find("\r\n40\r\n"), 6, "\r\nforty\r\n");
    WriteFile(proj_ + "bad.trpf", bad);
    auto r = Run({"xml", proj_ + "bad.trpf", out});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("Line 15: 'forty' is not a valid integer value"), std::string::npos) << r.Err;
    EXPECT_EQ(ReadFile(out), "keep");

    r = Run({"xml", proj_ + "sample.trpf", root_ + "no/such/folder/x.home.xml"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("x.home.xml"), std::string::npos) << r.Err;
}

TEST_F(Cli, SaveWritesTheProjectIntoItsOwnFolder) {
    auto r = Run({"save", proj_ + "sample.trpf", root_ + "out/Copy.trpf"});
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(ReadFile(root_ + "out/Copy/Copy.trpf"), ReadFile(proj_ + "sample.trpf"));
    for (const char* f : {"back.jpg", "tile.jpg", "mybar.bmp", "user.scheme.xml"})
        EXPECT_TRUE(fs::exists(root_ + "out/Copy/" + f)) << f;
    EXPECT_EQ(formats::ReadColorScheme(root_ + "out/Copy/user.scheme.xml"),
              formats::ReadColorScheme(proj_ + "user.scheme.xml"));
}

TEST_F(Cli, SchemePrintsTheThirtyTwoColours) {
    auto r = Run({"scheme", app_ + "Default"});
    ASSERT_EQ(r.Exit, 0) << r.Err;
    const auto scheme = formats::ReadColorScheme(app_ + "Default");
    std::istringstream in(r.Out);
    std::string line;
    int slot = 0;
    while (std::getline(in, line)) {
        ASSERT_LT(slot, 32);
        EXPECT_EQ(line, std::to_string(slot) + " " + formats::SchemeColorNames[slot] + " " +
                            formats::ColorToHex(scheme[slot]));
        ++slot;
    }
    EXPECT_EQ(slot, 32);
    EXPECT_EQ(r.Out.find('\r'), std::string::npos);
    EXPECT_NE(r.Out.find("\n30 COLOR_HOMEHIGHLIGHT #316ac5\n"), std::string::npos);

    r = Run({"scheme", root_ + "missing"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find(root_ + "missing"), std::string::npos);
    EXPECT_EQ(Run({"scheme"}).Exit, 2);
    EXPECT_EQ(Run({"xml", proj_ + "sample.trpf"}).Exit, 2);
    EXPECT_EQ(Run({"save", "a", "b", "c"}).Exit, 2);
}
