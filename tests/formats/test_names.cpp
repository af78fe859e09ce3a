// Names that come in from outside, and the program folder's own files they
// must never replace.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/names.h"
#include "formats/project.h"
#include "model/error.h"
#include "support/test_util.h"

using namespace tessaro;
using namespace tessaro::formats;
using tessaro::testsupport::ErrorOf;
namespace fs = std::filesystem;

namespace {

std::string Sample() {
    std::ifstream in(TESSARO_TEST_DATA "/foundation/sample.trpf", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string WithLine(const std::string& text, int n, const std::string& value) {
    std::size_t pos = 0;
    for (int i = 1; i < n; ++i) pos = text.find("\r\n", pos) + 2;
    return text.substr(0, pos) + value + text.substr(text.find("\r\n", pos));
}

} // namespace

TEST(PictureNames, ControlCharactersAndFoldersAreRefused) {
    using namespace std::string_literals;
    EXPECT_EQ(ErrorOf([] { CheckPictureName("Cabwizsp\0.jpg"s, "entry background picture"); }),
              "The entry background picture name \"Cabwizsp\\x00.jpg\" holds a control character (0x00); "
              "rename the file first.");
    for (const std::string bad : {"a\tb.jpg"s, "x\r\n[Version].jpg"s, "del\x7F.bmp"s, "\x1F"s})
        EXPECT_NE(ErrorOf([&] { CheckPictureName(bad); }).find("control character"), std::string::npos) << bad;
    for (const char* bad : {"a/b.jpg", "..\\b.jpg", ".", ".."})
        EXPECT_NE(ErrorOf([&] { CheckPictureName(bad); }).find("not a bare file name"), std::string::npos) << bad;
    EXPECT_NE(ErrorOf([] { CheckPictureName("C:b.jpg"); }).find("holds ':'"), std::string::npos);
    // Letters beyond ASCII (the single-byte code page), blanks and dots pass.
    for (const char* good : {"", "\xCF\xF0\xE8\xE2\xE5\xF2.jpg", " sky .jpg", "...jpg", "a;b.jpg"})
        EXPECT_EQ(ErrorOf([&] { CheckPictureName(good); }), "no error") << good;
}

TEST(PictureNames, ReservedNamesIgnoreLetterCase) {
    for (const char* own : {"Cabwizsp", "CABWIZSP", "cabloader", "tessaro-cli", "default", "BLUE-GRAY",
                            "trayicons.bmp", "MRU32.BMP", "media_remote_sel.bmp", "media_remote_2.bmp",
                            "Info.txt", "about.JPG", "faces", "IconBars", "fonts", "temp", "cf.inf",
                            "CF.CAB", "theme.cab", "User.Scheme.XML", "My Theme.home.xml", "X.HOME.XML",
                            "wmp_plugin.cab", "windowsmobile.jpg", "ICONBAR.jpg",
                            "backgroundimage with analog plugin.jpg", ".tessaro-12-3.tmp"})
        EXPECT_TRUE(IsReservedName(own)) << own;
    for (const char* free : {"Default.jpg", "tile.jpg", "temp.jpg", "home.xml.jpg", "CF.jpg", "media.bmp",
                             "mru32.jpg", "tessaro.jpg", ""})
        EXPECT_FALSE(IsReservedName(free)) << free;
    EXPECT_EQ(DesignPictureName("windowsmobile.jpg"), "WindowsMobile.JPG");
    EXPECT_EQ(DesignPictureName("IconBar.JPG"), "iconbar.jpg");
    EXPECT_EQ(DesignPictureName("TrayIcons.bmp"), "");
}

TEST(PictureNames, EveryFileOfTheBuiltProgramFolderIsReserved) {
    // Whatever the build puts beside the programs (and the work files runs
    // leave there) must be on the list, or a picture could replace it.
    // Pictures are left out: running the designer from the build folder
    // stores the user's pictures there too.
    int seen = 0;
    for (const auto& item : fs::directory_iterator(TESSARO_PROGRAM_DIR)) {
        const std::string name = item.path().filename().string();
        std::string ext = item.path().extension().string();
        for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (item.is_regular_file() && (ext == ".jpg" || ext == ".jpeg" || ext == ".bmp"))
            continue;
        EXPECT_TRUE(IsReservedName(name)) << name << " is in the program folder but not on the list";
        ++seen;
    }
    EXPECT_GE(seen, 15);
}

class Arrivals : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = testsupport::FreshFolder("names");
        std::ofstream(app_ + "WindowsMobile.JPG", std::ios::binary) << "default picture";
        std::ofstream(app_ + "Default", std::ios::binary) << "default scheme";
    }
    void TearDown() override { fs::remove_all(app_); }
    std::string app_;
};

TEST_F(Arrivals, TheDefaultBackgroundArrivesOnlyAsItself) {
    EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, "WindowsMobile.JPG", "default picture", Arrival::Project); }),
              "no error");
    EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, "windowsmobile.jpg", "default picture", Arrival::Chosen); }),
              "no error");
    EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, "WindowsMobile.jpg", "another picture", Arrival::Project,
                                         "background picture"); }),
              "The background picture \"WindowsMobile.jpg\" has the name of one of the program's own files, "
              "which it would replace; rename the file first.");
    // Nothing to replace in a program folder without it.
    fs::remove(app_ + "WindowsMobile.JPG");
    EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, "WindowsMobile.JPG", "another", Arrival::Chosen); }), "no error");
}

TEST_F(Arrivals, DrawnPicturesComeOnlyWithAProject) {
    for (const char* drawn : {"iconbar.jpg", "BackGroundImage with Analog Plugin.jpg"}) {
        EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, drawn, "x", Arrival::Project); }), "no error") << drawn;
        EXPECT_NE(ErrorOf([&] { CheckArrival(app_, drawn, "x", Arrival::Chosen); }).find("program's own"),
                  std::string::npos)
            << drawn;
    }
    for (const char* own : {"TrayIcons.bmp", "CF.inf", "temp", "Theme.home.xml", "user.scheme.xml"})
        EXPECT_NE(ErrorOf([&] { CheckArrival(app_, own, "x", Arrival::Project); }).find("program's own"),
                  std::string::npos)
            << own;
    using namespace std::string_literals;
    EXPECT_NE(ErrorOf([&] { CheckArrival(app_, "Cabwizsp\0"s, "x", Arrival::Project); }).find("control"),
              std::string::npos);
}

TEST_F(Arrivals, SchemeFilesNeverReplaceAPresetOrAProgram) {
    EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, "user.scheme.xml", "s", Arrival::Scheme); }), "no error");
    EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, "My Colours.xml", "s", Arrival::Scheme); }), "no error");
    EXPECT_EQ(ErrorOf([&] { CheckArrival(app_, "Default", "default scheme", Arrival::Scheme); }), "no error");
    for (const char* own : {"DEFAULT", "Cabwizsp", "tessaro", "about.jpg", "CF.inf"})
        EXPECT_NE(ErrorOf([&] { CheckArrival(app_, own, "planted", Arrival::Scheme, "scheme file"); })
                      .find("The scheme file \"" + std::string(own) + "\" has the name"),
                  std::string::npos)
            << own;
}

TEST(ProjectNames, EveryPictureLineIsCheckedWhereItIsRead) {
    using namespace std::string_literals;
    const std::string text = Sample();
    auto errorOf = [](const std::string& t) { return ErrorOf([&] { ParseProject(t); }); };
    // Line 1 (background), 61 and 62 (the second entry's pictures).
    for (int line : {1, 61, 62}) {
        const std::string at = "Line " + std::to_string(line) + ": ";
        EXPECT_EQ(errorOf(WithLine(text, line, "Cabwizsp\0"s)).rfind(at, 0), 0u) << line;
        EXPECT_NE(errorOf(WithLine(text, line, "Cabwizsp\0"s)).find("control character (0x00)"), std::string::npos);
        for (const char* own : {"TrayIcons.bmp", "info.txt", "X.home.xml", "CF.inf", "temp", "user.scheme.xml"})
            EXPECT_EQ(errorOf(WithLine(text, line, own)).rfind(at, 0), 0u) << own;
        // The pictures a design names itself are read; opening checks what
        // they would replace.
        for (const char* design : {"WindowsMobile.JPG", "iconbar.jpg", "BackGroundImage with Analog Plugin.jpg"})
            EXPECT_EQ(errorOf(WithLine(text, line, design)), "no error") << design;
    }
}
