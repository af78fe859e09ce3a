// Crafted projects through the real command line: names that would replace
// the program's files, saves that cannot be completed, names the cabinet's
// setup file cannot carry.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

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

// The sample project: line 1 the background, 61 and 62 the icon bar's
// pictures, 103 the third entry's background picture.
class HostileCli : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::FreshFolder("hostile");
        app_ = root_ + "app/";
        proj_ = root_ + "proj/";
        for (const std::string& d : {app_, proj_, root_ + "out/"}) fs::create_directories(d);
        fs::copy_file(TESSARO_PROGRAM_DIR "Default", app_ + "Default");
        WriteFile(app_ + "Cabwizsp", "the real builder");
        WriteFile(app_ + "TrayIcons.bmp", "the real tray icons");
        platform::WriteJpeg(app_ + "WindowsMobile.JPG", platform::Bitmap(176, 200, 0x2040A0), 90);
        sample_ = ReadFile(TESSARO_TEST_DATA "/foundation/sample.trpf");
        fs::copy_file(TESSARO_PROGRAM_DIR "Green", proj_ + "user.scheme.xml");
        platform::WriteJpeg(proj_ + "back.jpg", platform::Bitmap(176, 200, 0x808080), 90);
        WriteFile(proj_ + "tile.jpg", "tile");
        WriteFile(proj_ + "mybar.bmp", "bar");
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root_ + "out", fs::perms::owner_all, ec);
        fs::remove_all(root_);
    }

    // Writes the sample with line `n` replaced as project `name`.
    std::string Project(int n, const std::string& value, const std::string& name = "p.trpf") {
        std::size_t pos = 0;
        for (int i = 1; i < n; ++i) pos = sample_.find("\r\n", pos) + 2;
        WriteFile(proj_ + name, sample_.substr(0, pos) + value + sample_.substr(sample_.find("\r\n", pos)));
        return proj_ + name;
    }

    RunResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {TESSARO_CLI, "--appdir", app_});
        return testsupport::RunProgram(std::move(args), root_);
    }

    std::string root_, app_, proj_, sample_;
};

} // namespace

TEST_F(HostileCli, ProjectsCannotPlantFilesInTheProgramFolder) {
    using namespace std::string_literals;
    // A name cut short by a NUL would be copied as the builder itself.
    WriteFile(proj_ + "Cabwizsp", "planted");
    auto r = Run({"xml", Project(103, "Cabwizsp\0"s), root_ + "out/x.home.xml"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("Line 103: The entry background picture name \"Cabwizsp\\x00\" holds a control "
                         "character (0x00)"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(ReadFile(app_ + "Cabwizsp"), "the real builder");

    // Support and work files, in any letter case.
    WriteFile(proj_ + "trayicons.BMP", "planted");
    WriteFile(proj_ + "CF.inf", "planted");
    for (const auto& [line, name] : std::vector<std::pair<int, std::string>>{
             {103, "trayicons.BMP"}, {61, "CF.inf"}, {1, "user.scheme.xml"}, {62, "Evil.home.xml"}}) {
        r = Run({"xml", Project(line, name), root_ + "out/x.home.xml"});
        EXPECT_EQ(r.Exit, 1) << name;
        EXPECT_NE(r.Err.find("Line " + std::to_string(line) + ": The "), std::string::npos) << r.Err;
        EXPECT_NE(r.Err.find("is the name of one of the program's own files"), std::string::npos) << r.Err;
    }
    EXPECT_EQ(ReadFile(app_ + "TrayIcons.bmp"), "the real tray icons");
    EXPECT_FALSE(fs::exists(app_ + "trayicons.BMP"));
    EXPECT_FALSE(fs::exists(app_ + "CF.inf"));
}

TEST_F(HostileCli, TheDefaultBackgroundIsNeverReplacedByAnotherPicture) {
    const std::string shipped = ReadFile(app_ + "WindowsMobile.JPG");
    platform::WriteJpeg(proj_ + "WindowsMobile.JPG", platform::Bitmap(176, 200, 0xFF0000), 90);
    auto r = Run({"xml", Project(1, "WindowsMobile.JPG"), root_ + "out/x.home.xml"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("The background picture \"WindowsMobile.JPG\" has the name of one of the program's own "
                         "files, which it would replace"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(ReadFile(app_ + "WindowsMobile.JPG"), shipped);

    // A project saved with the default background carries the very same
    // picture, and opens.
    WriteFile(proj_ + "WindowsMobile.JPG", shipped);
    r = Run({"xml", Project(1, "WindowsMobile.JPG"), root_ + "out/x.home.xml"});
    EXPECT_EQ(r.Exit, 0) << r.Err;
}

TEST_F(HostileCli, ASaveThatCannotCopyAPictureFailsAndLeavesNoProject) {
    const std::string project = Project(2, "1");
    // The project folder holds a folder where the picture should go.
    fs::create_directories(root_ + "out/Copy/tile.jpg");
    auto r = Run({"save", project, root_ + "out/Copy.trpf"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("the file \"tile.jpg\" could not be copied into the project folder"), std::string::npos)
        << r.Err;
    EXPECT_FALSE(fs::exists(root_ + "out/Copy/Copy.trpf"));

    // Once the way is clear the same save succeeds.
    fs::remove(root_ + "out/Copy/tile.jpg");
    r = Run({"save", project, root_ + "out/Copy.trpf"});
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(ReadFile(root_ + "out/Copy/tile.jpg"), "tile");
    EXPECT_EQ(ReadFile(root_ + "out/Copy/Copy.trpf"), ReadFile(project));
}

TEST_F(HostileCli, AReadOnlyFolderIsReportedAsSuch) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; the failing copy above covers saves";
    fs::permissions(root_ + "out", fs::perms::owner_read | fs::perms::owner_exec);
    auto r = Run({"save", Project(2, "1"), root_ + "out/Copy.trpf"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("Cannot create the folder \"" + root_ + "out/Copy\": the folder \"" + root_ +
                         "out/\" is not writable."),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(r.Err.find("No such file"), std::string::npos) << r.Err;
}

TEST_F(HostileCli, CabinetNamesTheSetupFileCannotCarryAreRefusedFirst) {
    // No builder is needed: the names are checked before it would run.
    fs::remove(app_ + "Cabwizsp");
    for (char c : std::string("\";%,[]")) {
        const std::string name = std::string("ti") + c + "le.jpg";
        WriteFile(proj_ + name, "tile");
        auto r = Run({"cab", Project(103, name), root_ + "out/T.cab"});
        EXPECT_EQ(r.Exit, 1) << c;
        EXPECT_NE(r.Err.find("The background picture of entry 3 (Messaging Counts) \"" + name + "\" holds the character '" +
                             std::string(1, c) + "', which the cabinet's setup file cannot carry"),
                  std::string::npos)
            << r.Err;
        EXPECT_FALSE(fs::exists(app_ + "CF.inf"));
        EXPECT_FALSE(fs::exists(root_ + "out/T.cab"));
    }
    // The cabinet's own name goes into the setup file as well.
    auto r = Run({"cab", Project(2, "1"), root_ + "out/Night;Day.cab"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("\"Night;Day.home.xml\" holds the character ';'"), std::string::npos) << r.Err;
}
