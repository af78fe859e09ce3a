#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "model/error.h"
#include "platform/files.h"
#include "platform/programfolder.h"
#include "support/test_util.h"

using namespace tessaro;
namespace fs = std::filesystem;
using platform::ReadFile;
using platform::WriteFile;
using testsupport::ErrorOf;

namespace {

class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "tessaro-folders-XXXXXX").string();
        root_ = std::string(::mkdtemp(tmpl.data())) + "/";
        shipped_ = root_ + "prefix/share/tessaro/";
        work_ = root_ + "home/.local/share/tessaro/";
        fs::create_directories(shipped_ + "IconBars");
        fs::create_directories(shipped_ + "fonts");
        Put(shipped_ + "Default", "default scheme 1");
        Put(shipped_ + "Mint", "mint scheme 1");
        Put(shipped_ + "Red", "red scheme 1");
        Put(shipped_ + "WindowsMobile.JPG", "wallpaper 1");
        Put(shipped_ + "IconBars/1.bmp", "bar 1");
        Put(shipped_ + "fonts/Face.ttf", "face 1");
    }
    void TearDown() override { fs::remove_all(root_); }

    static void Put(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        WriteFile(path, text);
    }
    static std::vector<std::string> Sorted(std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    }

    std::string root_, shipped_, work_;
};

} // namespace

TEST_F(Scratch, FirstStartCopiesEveryShippedFileAndLeavesTheDeviceFolderAlone) {
    // The device loader may have made the device folder before the designer
    // ever ran; the installed tree might even carry a folder of that name.
    Put(work_ + "device/registry.txt", "HKCU\\A = string:b\r\n");
    Put(shipped_ + "device/registry.txt", "not for the user's device");
    // A program beside the support files stays where it is.
    Put(shipped_ + "CabLoader", "#!/bin/sh\n");
    fs::permissions(shipped_ + "CabLoader", fs::perms::owner_exec, fs::perm_options::add);

    auto report = platform::SeedWorkFolder(shipped_, work_, "2.3.6");
    EXPECT_TRUE(report.FirstStart);
    EXPECT_FALSE(report.VersionChanged);
    EXPECT_EQ(Sorted(report.Copied), (std::vector<std::string>{"Default", "IconBars/1.bmp", "Mint", "Red",
                                                               "WindowsMobile.JPG", "fonts/Face.ttf"}));
    EXPECT_TRUE(report.Kept.empty());
    for (const char* rel : {"Default", "Mint", "Red", "WindowsMobile.JPG", "IconBars/1.bmp", "fonts/Face.ttf"})
        EXPECT_EQ(ReadFile(work_ + rel), ReadFile(shipped_ + rel)) << rel;
    EXPECT_EQ(ReadFile(work_ + "device/registry.txt"), "HKCU\\A = string:b\r\n");
    EXPECT_EQ(ReadFile(work_ + ".tessaro-version"), "2.3.6\n");

    // The next start of the same version has nothing to do.
    auto again = platform::SeedWorkFolder(shipped_, work_, "2.3.6");
    EXPECT_FALSE(again.FirstStart);
    EXPECT_TRUE(again.Copied.empty());
}

TEST_F(Scratch, NewVersionUpdatesShippedFilesAndKeepsWhatTheUserMade) {
    platform::SeedWorkFolder(shipped_, work_, "2.3.6");
    // The user's own files beside the shipped ones.
    Put(work_ + "beach.jpg", "the user's photo");
    Put(work_ + "Theme.home.xml", "the user's layout");
    Put(work_ + "user.scheme.xml", "work file");
    // The user edits one preset by hand and removes another.
    Put(work_ + "Red", "red, as the user likes it");
    fs::remove(work_ + "Mint");
    // The new version ships a changed preset, a changed picture and a new face.
    Put(shipped_ + "Default", "default scheme 2");
    Put(shipped_ + "IconBars/1.bmp", "bar 2");
    Put(shipped_ + "Red", "red scheme 2");
    Put(shipped_ + "fonts/Other.ttf", "other face");

    auto report = platform::SeedWorkFolder(shipped_, work_, "2.4.0");
    EXPECT_TRUE(report.VersionChanged);
    EXPECT_EQ(Sorted(report.Copied),
              (std::vector<std::string>{"Default", "IconBars/1.bmp", "Mint", "fonts/Other.ttf"}));
    EXPECT_EQ(report.Kept, std::vector<std::string>{"Red"});

    EXPECT_EQ(ReadFile(work_ + "Default"), "default scheme 2");
    EXPECT_EQ(ReadFile(work_ + "IconBars/1.bmp"), "bar 2");
    EXPECT_EQ(ReadFile(work_ + "Mint"), "mint scheme 1");
    EXPECT_EQ(ReadFile(work_ + "fonts/Other.ttf"), "other face");
    EXPECT_EQ(ReadFile(work_ + "Red"), "red, as the user likes it");
    EXPECT_EQ(ReadFile(work_ + "beach.jpg"), "the user's photo");
    EXPECT_EQ(ReadFile(work_ + "Theme.home.xml"), "the user's layout");
    EXPECT_EQ(ReadFile(work_ + "user.scheme.xml"), "work file");
    EXPECT_EQ(ReadFile(work_ + ".tessaro-version"), "2.4.0\n");

    // The user's edit stays theirs through later versions too.
    Put(shipped_ + "Red", "red scheme 3");
    auto third = platform::SeedWorkFolder(shipped_, work_, "2.5.0");
    EXPECT_EQ(third.Kept, std::vector<std::string>{"Red"});
    EXPECT_EQ(ReadFile(work_ + "Red"), "red, as the user likes it");
}

TEST_F(Scratch, SameVersionOnlyBringsBackMissingFiles) {
    platform::SeedWorkFolder(shipped_, work_, "2.3.6");
    fs::remove(work_ + "Default");
    Put(shipped_ + "Mint", "mint rebuilt, same version");
    auto report = platform::SeedWorkFolder(shipped_, work_, "2.3.6");
    EXPECT_EQ(report.Copied, std::vector<std::string>{"Default"});
    EXPECT_EQ(ReadFile(work_ + "Default"), "default scheme 1");
    EXPECT_EQ(ReadFile(work_ + "Mint"), "mint scheme 1");
}

TEST_F(Scratch, AFileOfTheSameNameFoundOnFirstStartIsNotOverwritten) {
    Put(work_ + "WindowsMobile.JPG", "someone's own picture");
    Put(work_ + "Mint", "mint scheme 1"); // the very same content counts as ours
    auto report = platform::SeedWorkFolder(shipped_, work_, "2.3.6");
    EXPECT_EQ(report.Kept, std::vector<std::string>{"WindowsMobile.JPG"});
    EXPECT_EQ(ReadFile(work_ + "WindowsMobile.JPG"), "someone's own picture");

    // Mint was recorded as ours, so a new version may update it.
    Put(shipped_ + "Mint", "mint scheme 2");
    platform::SeedWorkFolder(shipped_, work_, "2.4.0");
    EXPECT_EQ(ReadFile(work_ + "Mint"), "mint scheme 2");
}

TEST_F(Scratch, AFailedUpdateIsTriedAgainAtTheNextStart) {
    platform::SeedWorkFolder(shipped_, work_, "2.3.6");
    Put(shipped_ + "Default", "default scheme 2");
    Put(shipped_ + "Faces/1.bmp", "face 1");
    // Something of the user's stands where the new folder of faces belongs.
    Put(work_ + "Faces", "a file named like the folder");
    EXPECT_NE(ErrorOf([&] { platform::SeedWorkFolder(shipped_, work_, "2.4.0"); }).find("Faces"),
              std::string::npos);
    EXPECT_EQ(ReadFile(work_ + ".tessaro-version"), "2.3.6\n");
    EXPECT_EQ(ReadFile(work_ + "Faces"), "a file named like the folder");

    fs::remove(work_ + "Faces");
    auto report = platform::SeedWorkFolder(shipped_, work_, "2.4.0");
    EXPECT_EQ(ReadFile(work_ + "Faces/1.bmp"), "face 1");
    EXPECT_EQ(ReadFile(work_ + "Default"), "default scheme 2");
    EXPECT_EQ(ReadFile(work_ + ".tessaro-version"), "2.4.0\n");
}

TEST_F(Scratch, AWorkFolderThatCannotBeMadeIsReported) {
    Put(root_ + "blocked", "a file, not a folder");
    const std::string message =
        ErrorOf([&] { platform::SeedWorkFolder(shipped_, root_ + "blocked/tessaro/", "2.3.6"); });
    EXPECT_NE(message.find("Cannot create the folder"), std::string::npos) << message;
    EXPECT_NE(message.find(root_ + "blocked/tessaro/"), std::string::npos) << message;

    // XDG_DATA_HOME pointing at the installed share folder would make the
    // installed files the work folder: refused, nothing written there.
    const std::string same =
        ErrorOf([&] { platform::SeedWorkFolder(shipped_, root_ + "prefix/share/./tessaro", "2.3.6"); });
    EXPECT_NE(same.find("is the folder of the installed support files"), std::string::npos) << same;
    EXPECT_FALSE(fs::exists(shipped_ + ".tessaro-version"));
}

namespace {

platform::EnvironmentReader Environment(std::map<std::string, std::string> vars) {
    return [vars](const std::string& name) {
        auto it = vars.find(name);
        return it == vars.end() ? std::string() : it->second;
    };
}

} // namespace

TEST_F(Scratch, TheBuildTreeIsItsOwnProgramFolder) {
    const std::string bin = root_ + "build/bin/";
    Put(bin + "Default", "scheme");
    Put(bin + "Cabwizsp", "builder");
    auto f = platform::LocateProgramFolders(bin, "", {}, Environment({{"HOME", root_ + "home"}}));
    EXPECT_EQ(f.Work, bin);
    EXPECT_EQ(f.Helpers, bin);
    EXPECT_TRUE(f.Shipped.empty());
}

TEST_F(Scratch, AnInstalledCopyWorksInTheUsersFolderAndRunsItsInstalledHelpers) {
    const std::string bin = root_ + "prefix/bin/";
    fs::create_directories(bin);
    const auto home = Environment({{"HOME", root_ + "home"}});

    auto f = platform::LocateProgramFolders(bin, "", {}, home);
    EXPECT_EQ(f.Work, work_);
    EXPECT_EQ(f.Shipped, shipped_);
    EXPECT_EQ(f.Helpers, root_ + "prefix/libexec/tessaro/");

    // XDG_DATA_HOME wins over HOME, as for the device loader's device folder.
    auto xdg = platform::LocateProgramFolders(
        bin, "", {}, Environment({{"HOME", root_ + "home"}, {"XDG_DATA_HOME", root_ + "data"}}));
    EXPECT_EQ(xdg.Work, root_ + "data/tessaro/");

    // Another helper folder, as a build configured for lib/tessaro would use.
    auto lib = platform::LocateProgramFolders(bin, "", {"../share/tessaro/", "../lib/tessaro/"}, home);
    EXPECT_EQ(lib.Helpers, root_ + "prefix/lib/tessaro/");

    // --appdir is used as it is; the helpers stay the installed ones unless
    // the folder holds its own.
    auto over = platform::LocateProgramFolders(bin, root_ + "mine", {}, home);
    EXPECT_EQ(over.Work, root_ + "mine/");
    EXPECT_TRUE(over.Shipped.empty());
    EXPECT_EQ(over.Helpers, root_ + "prefix/libexec/tessaro/");
    Put(root_ + "mine/Cabwizsp", "builder");
    EXPECT_EQ(platform::LocateProgramFolders(bin, root_ + "mine", {}, home).Helpers, root_ + "mine/");

    EXPECT_NE(ErrorOf([&] { platform::LocateProgramFolders(bin, "", {}, Environment({})); })
                  .find("neither XDG_DATA_HOME nor HOME"),
              std::string::npos);
}

TEST_F(Scratch, AnInstallIntoTheUsersOwnPrefixWorksInItsOwnFolder) {
    // Installed with the prefix ~/.local: share/tessaro is the work folder.
    const std::string prefix = root_ + "home/.local/";
    Put(prefix + "share/tessaro/Default", "scheme");
    fs::create_directories(prefix + "bin");
    auto f = platform::LocateProgramFolders(prefix + "bin/", "", {}, Environment({{"HOME", root_ + "home"}}));
    EXPECT_EQ(f.Work, prefix + "share/tessaro/");
    EXPECT_TRUE(f.Shipped.empty());
    EXPECT_EQ(f.Helpers, prefix + "libexec/tessaro/");
}

TEST_F(Scratch, PreparingAnInstalledCopySeedsTheWorkFolder) {
    const std::string bin = root_ + "prefix/bin/";
    fs::create_directories(bin);
    const auto env = Environment({{"XDG_DATA_HOME", root_ + "data"}});
    auto f = platform::PrepareProgramFolders(bin, "", "2.3.6", {}, env);
    EXPECT_EQ(f.Work, root_ + "data/tessaro/");
    EXPECT_EQ(ReadFile(f.Work + "Default"), "default scheme 1");
    EXPECT_EQ(ReadFile(f.Work + "fonts/Face.ttf"), "face 1");
    EXPECT_TRUE(f.Kept.empty());
    EXPECT_EQ(platform::KeptFilesNote(f), "");

    // A preset the user changed is kept at the next version, and they are told.
    Put(f.Work + "Red", "my red");
    Put(shipped_ + "Red", "red scheme 2");
    auto next = platform::PrepareProgramFolders(bin, "", "2.4.0", {}, env);
    EXPECT_EQ(next.Kept, std::vector<std::string>{"Red"});
    EXPECT_EQ(platform::KeptFilesNote(next), "Your changed copy of Red in \"" + f.Work +
                                                 "\" was kept; the files of the installed version are in \"" +
                                                 shipped_ + "\".");
}

TEST_F(Scratch, AReadOnlyCopyOfTheProgramFolderIsSeededFrom) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any folder";
    const std::string bin = root_ + "opt/tessaro/";
    Put(bin + "Default", "scheme");
    Put(bin + "Cabwizsp", "builder");
    fs::permissions(bin, fs::perms::owner_write, fs::perm_options::remove);
    auto f = platform::LocateProgramFolders(bin, "", {}, Environment({{"HOME", root_ + "home"}}));
    fs::permissions(bin, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(f.Work, work_);
    EXPECT_EQ(f.Shipped, bin);
    EXPECT_EQ(f.Helpers, bin);
}
