#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include <sys/stat.h>

#include "support/test_util.h"
#include "formats/project.h"
#include "formats/scheme.h"
#include "model/editing.h"
#include "model/error.h"
#include "package/project.h"
#include "platform/files.h"
#include "platform/picture.h"

using namespace tessaro;
using namespace tessaro::model;
namespace fs = std::filesystem;
using platform::ReadFile;
using platform::WriteFile;

namespace {

class ProjectFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::FreshFolder("proj");
        app_ = MakeProgramFolder("app/");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string MakeProgramFolder(const std::string& name) {
        std::string dir = root_ + name;
        fs::create_directories(dir);
        fs::copy_file(TESSARO_PROGRAM_DIR "Default", dir + "Default");
        platform::WriteJpeg(dir + "WindowsMobile.JPG", platform::Bitmap(176, 200, 0x203040), 90);
        return dir;
    }

    // A started document with a few entries that name pictures.
    Document Design() {
        Document doc;
        package::StartDocument(doc, app_);
        platform::WriteJpeg(app_ + "back.jpg", platform::Bitmap(176, 200, 0x00FF00), 90);
        WriteFile(app_ + "tile.jpg", "tile picture");
        WriteFile(app_ + "bar.bmp", "custom bar");
        doc.BackgroundImage = "back.jpg";
        doc.SplitLines = 1;
        doc.Scheme[17] = 0x0A0B0C;
        AddEntry(doc, 1);
        doc.Plugins[0].BgImage = "tile.jpg";
        doc.Plugins[0].Items[0].Text = " Meet \xC0 ";
        AddEntry(doc, 5);
        doc.Plugins[1].CustomImage = "bar.bmp";
        doc.Plugins[1].TransparencyLevel = 77;
        doc.Plugins[1].Top = 70; // a gap
        AddEntry(doc, 8);
        return doc;
    }

    std::string root_;
    std::string app_;
};

using tessaro::testsupport::ErrorOf;

} // namespace

TEST_F(ProjectFiles, StartDocumentTakesTheDefaultPreset) {
    Document doc;
    doc.Plugins[0].Used = 1;
    package::StartDocument(doc, app_.substr(0, app_.size() - 1)); // the '/' is added
    EXPECT_EQ(doc.AppDir, app_);
    EXPECT_EQ(CountEntries(doc), 0);
    auto preset = formats::ReadColorScheme(app_ + "Default");
    EXPECT_EQ(doc.Scheme, preset);
    EXPECT_EQ(doc.DefaultBgColor, preset[30]);
    EXPECT_EQ(doc.DefaultSelColor, preset[29]);
    EXPECT_EQ(doc.DefaultUnselColor, preset[31]);
    EXPECT_EQ(doc.BGI, "WindowsMobile.JPG");
    fs::remove(app_ + "Default");
    EXPECT_NE(ErrorOf([&] { package::StartDocument(doc, app_); }).find(app_ + "Default"), std::string::npos);
}

TEST_F(ProjectFiles, SaveAndOpenCarryTheWholeDesign) {
    Document doc = Design();
    // Only the project's own folder is created.
    EXPECT_NE(ErrorOf([&] { package::SaveProject(doc, root_ + "out/My.trpf"); })
                  .find("\"" + root_ + "out/\" does not exist"),
              std::string::npos);
    fs::create_directory(root_ + "out");
    package::SaveProject(doc, root_ + "out/My.trpf");
    const std::string folder = root_ + "out/My/";
    const std::string saved = ReadFile(folder + "My.trpf");
    EXPECT_EQ(saved, formats::FormatProject(doc));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 10 + 3 * 41);
    for (const char* f : {"back.jpg", "user.scheme.xml", "tile.jpg", "bar.bmp"})
        EXPECT_TRUE(fs::exists(folder + f)) << f;
    EXPECT_NE(ReadFile(folder + "user.scheme.xml").find("<title>My</title>"), std::string::npos);

    // Open in another program folder.
    const std::string other = MakeProgramFolder("other/");
    Document back;
    package::StartDocument(back, other);
    package::OpenProject(back, folder + "My.trpf");
    for (int i = 0; i < kRecordCount; ++i) ASSERT_EQ(back.Plugins[i], doc.Plugins[i]) << i;
    EXPECT_EQ(back.ActivePluginsList.Lines, (std::vector<std::string>{"Calendar", "Icon Bar", "MRU"}));
    EXPECT_EQ(back.BackgroundImage, "back.jpg");
    EXPECT_EQ(back.BGI, "back.jpg");
    EXPECT_EQ(back.SplitLines, 1);
    EXPECT_EQ(back.Scheme[17], 0x0A0B0Cu);
    EXPECT_EQ(back.DefaultBgColor, doc.DefaultBgColor);
    EXPECT_EQ(ReadFile(other + "bar.bmp"), "custom bar");
    EXPECT_EQ(ReadFile(other + "tile.jpg"), "tile picture");
    EXPECT_TRUE(fs::exists(other + "back.jpg"));
    EXPECT_EQ(ReadFile(other + "user.scheme.xml"), ReadFile(folder + "user.scheme.xml"));

    // Saving the reopened design gives the same file.
    package::SaveProject(back, root_ + "again.trpf");
    EXPECT_EQ(ReadFile(root_ + "again/again.trpf"), saved);
}

TEST_F(ProjectFiles, EmptyLayoutKeepsItsDefaults) {
    Document doc;
    package::StartDocument(doc, app_);
    doc.DefaultFontSize = 11;
    doc.DefaultSelWeight = "normal";
    package::SaveProject(doc, root_ + "Empty.trpf");
    Document back = Design();
    package::OpenProject(back, root_ + "Empty/Empty.trpf");
    EXPECT_EQ(CountEntries(back), 0);
    EXPECT_TRUE(back.ActivePluginsList.Lines.empty());
    EXPECT_EQ(back.DefaultFontSize, 11);
    EXPECT_EQ(back.DefaultSelWeight, "normal");
    EXPECT_EQ(back.BackgroundImage, "WindowsMobile.JPG");
}

TEST_F(ProjectFiles, BadFileLeavesDesignAndProgramFolderAlone) {
    Document doc = Design();
    package::SaveProject(doc, root_ + "P.trpf");
    const std::string folder = root_ + "P/";
    const std::string good = ReadFile(folder + "P.trpf");
    // The project's files differ from the program folder's.
    WriteFile(folder + "tile.jpg", "project tile");
    WriteFile(app_ + "user.scheme.xml", "program scheme");

    auto line = [&](int n, const std::string& value) {
        std::size_t pos = 0;
        for (int i = 1; i < n; ++i) pos = good.find("\r\n", pos) + 2;
        WriteFile(folder + "P.trpf", good.substr(0, pos) + value + good.substr(good.find("\r\n", pos)));
    };
    Document current = Design();
    current.ActivePluginsList.Selected = 1;
    const Document before = current;
    auto unchanged = [&](const char* what) {
        for (int i = 0; i < kRecordCount; ++i) ASSERT_EQ(current.Plugins[i], before.Plugins[i]) << what;
        EXPECT_EQ(current.ActivePluginsList.Lines, before.ActivePluginsList.Lines) << what;
        EXPECT_EQ(current.ActivePluginsList.Selected, 1) << what;
        EXPECT_EQ(current.Scheme, before.Scheme) << what;
        EXPECT_EQ(current.BackgroundImage, before.BackgroundImage) << what;
        EXPECT_EQ(ReadFile(app_ + "tile.jpg"), "tile picture") << what;
        EXPECT_EQ(ReadFile(app_ + "user.scheme.xml"), "program scheme") << what;
    };

    line(15, "abc");
    EXPECT_EQ(ErrorOf([&] { package::OpenProject(current, folder + "P.trpf"); }),
              "Line 15: 'abc' is not a valid integer value");
    unchanged("bad integer");

    line(1, "gone.jpg");
    EXPECT_NE(ErrorOf([&] { package::OpenProject(current, folder + "P.trpf"); }).find("gone.jpg"),
              std::string::npos);
    unchanged("missing background");

    line(1, "");
    EXPECT_EQ(ErrorOf([&] { package::OpenProject(current, folder + "P.trpf"); }),
              "Unknown picture file extension (.)");
    unchanged("empty background name");

    line(21, "../../escape.jpg");
    EXPECT_NE(ErrorOf([&] { package::OpenProject(current, folder + "P.trpf"); }).find("Line 21:"),
              std::string::npos);
    unchanged("path in a picture name");
    EXPECT_FALSE(fs::exists(root_ + "escape.jpg"));

    EXPECT_NE(ErrorOf([&] { package::OpenProject(current, folder + "none.trpf"); }).find("none.trpf"),
              std::string::npos);
    unchanged("missing project file");

    // The good file still opens and brings the project's own tile in.
    WriteFile(folder + "P.trpf", good);
    package::OpenProject(current, folder + "P.trpf");
    EXPECT_EQ(ReadFile(app_ + "tile.jpg"), "project tile");
    EXPECT_NE(ReadFile(app_ + "user.scheme.xml"), "program scheme");
}

TEST_F(ProjectFiles, SaveFailsLoudlyWhenTheFileCannotBeWritten) {
    Document doc = Design();
    fs::create_directories(root_ + "Blocked/Blocked.trpf"); // a folder where the file must go
    EXPECT_THROW(package::SaveProject(doc, root_ + "Blocked.trpf"), Error);

    // A path without a file name would put the project into the folder above.
    fs::create_directories(root_ + "out");
    EXPECT_THROW(package::SaveProject(doc, root_ + "out/.trpf"), Error);
    EXPECT_THROW(package::SaveProject(doc, root_ + "out/"), Error);
    EXPECT_TRUE(fs::is_empty(root_ + "out"));
}

TEST_F(ProjectFiles, ASaveThatRunsOutOfSpaceFailsAndKeepsTheEarlierProject) {
    Document doc = Design();
    fs::create_directory(root_ + "out");
    package::SaveProject(doc, root_ + "out/My.trpf");
    const std::string earlier = ReadFile(root_ + "out/My/My.trpf");

    // The design changes and its entry picture grows past what the disk
    // takes: files may grow to 64 KiB only, as on a nearly full disk.
    doc.Plugins[0].Height = 41;
    WriteFile(app_ + "tile.jpg", std::string(200000, 'x'));
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = testsupport::ErrorOf([&] { package::SaveProject(doc, root_ + "out/My.trpf"); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_NE(message.find("the file \"tile.jpg\" could not be copied into the project folder"), std::string::npos)
        << message;
    // The earlier save stays whole: its project file and its picture.
    EXPECT_EQ(ReadFile(root_ + "out/My/My.trpf"), earlier);
    EXPECT_EQ(ReadFile(root_ + "out/My/tile.jpg"), "tile picture");
    for (const auto& item : fs::directory_iterator(root_ + "out/My"))
        EXPECT_NE(item.path().extension(), ".tmp") << "a temporary file was left: " << item.path();
}

TEST_F(ProjectFiles, OpeningAgainKeepsTheProgramFolderCopiesThatAreAlreadyThere) {
    Document doc = Design();
    fs::create_directory(root_ + "out");
    package::SaveProject(doc, root_ + "out/My.trpf");
    const std::string folder = root_ + "out/My/";
    const std::string other = MakeProgramFolder("other/");
    Document back;
    package::StartDocument(back, other);
    package::OpenProject(back, folder + "My.trpf");

    const char* copies[] = {"back.jpg", "user.scheme.xml", "tile.jpg", "bar.bmp"};
    std::map<std::string, struct stat> before;
    for (const char* f : copies) ASSERT_EQ(::stat((other + f).c_str(), &before[f]), 0) << f;
    package::OpenProject(back, folder + "My.trpf");
    for (const char* f : copies) {
        struct stat now {};
        ASSERT_EQ(::stat((other + f).c_str(), &now), 0) << f;
        EXPECT_EQ(now.st_ino, before[f].st_ino) << f << " was replaced although its bytes are the same";
        EXPECT_EQ(now.st_mtim.tv_nsec, before[f].st_mtim.tv_nsec) << f;
    }

    // A picture changed beside the project, and one changed in the program
    // folder: both copies are brought back to the project's bytes.
    WriteFile(folder + "tile.jpg", "tile picture, again");
    WriteFile(other + "bar.bmp", "custom bar, spoilt");
    package::OpenProject(back, folder + "My.trpf");
    EXPECT_EQ(ReadFile(other + "tile.jpg"), "tile picture, again");
    EXPECT_EQ(ReadFile(other + "bar.bmp"), "custom bar");
}
