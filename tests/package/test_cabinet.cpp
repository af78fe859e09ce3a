// Theme cabinets: the INF text, building through the real builder, and what
// happens when the builder, a picture or the loader is missing or fails.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cabinet_fixture.h"
#include "model/error.h"
#include "package/cabinet.h"

using namespace cabtest;
using tessaro::Error;
using tessaro::model::Document;
namespace package = tessaro::package;

namespace {

std::string Crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

std::vector<std::string> InfHead(const std::string& base) {
    return {"",
            "[Version]",
            "Signature  = \"$Windows NT$\"",
            "Provider  = \"Quillmark\"",
            "CESignature = \"$Windows CE$\"",
            "[CEStrings]",
            "AppName   = \"" + base + "\"",
            "[CEDevice.ARM720]",
            "ProcessorType = 0",
            "[SourceDisksNames]",
            "1 = ,\"Common files\",,.",
            "[SourceDisksFiles]"};
}

// A document whose pictures all exist in `dir`.
Document ThemeDoc(const std::string& dir) {
    Document doc;
    doc.AppDir = dir;
    // The clock face picture's name has blanks, as the designer writes it.
    doc.BGI = doc.BackgroundImage = "BackGroundImage with Analog Plugin.jpg";
    Spit(dir + doc.BGI, "background picture bytes");
    Spit(dir + "cal.jpg", "calendar picture bytes");
    Spit(dir + "iconbar.jpg", "icon bar picture bytes");
    AddEntry(doc, "Icon Bar", 0, 20);
    AddEntry(doc, "Calendar", 20, 40, "cal.jpg");
    AddEntry(doc, "Clock", 60, 30);
    AddEntry(doc, "Profile", 90, 20, "cal.jpg");
    return doc;
}

void ExpectNoWorkFiles(const std::string& dir, const std::string& base) {
    for (const std::string name : {"temp", "CF.inf", "CF.cab"})
        EXPECT_FALSE(Exists(dir + name)) << name;
    EXPECT_FALSE(Exists(dir + base + ".home.xml"));
}

} // namespace

TEST(BuildInf, ListsBackgroundLayoutAndEveryEntryPictureWithRepeats) {
    Document doc;
    doc.BGI = "back.jpg";
    AddEntry(doc, "Calendar", 0, 40, "a.jpg");
    AddEntry(doc, "Clock", 40, 30);
    AddEntry(doc, "Profile", 70, 20, "a.jpg");
    AddEntry(doc, "Owner Info", 90, 20, "back.jpg");
    doc.Plugins[4].BgImage = "beyond-the-last-entry.jpg"; // not in use: not listed

    auto lines = InfHead("Blue");
    for (const std::string l :
         {"back.jpg = 1", "Blue.home.xml = 1", "a.jpg = 1", "a.jpg = 1", "back.jpg = 1",
          "[DefaultInstall]", "CopyFiles  = CopyToHomeDir", "AddReg      = RegData",
          "[DestinationDirs]", "CopyToHomeDir = 0,%CE19%\\Home", "[CopyToHomeDir]",
          "\"back.jpg\",back.jpg", "\"Blue.home.xml\",Blue.home.xml", "\"a.jpg\",a.jpg",
          "\"a.jpg\",a.jpg", "\"back.jpg\",back.jpg", "[RegData]",
          "HKCU,ControlPanel\\Home,Scheme,string,\"\\IPSM\\Application "
          "Data\\Home\\Blue.home.xml\""})
        lines.push_back(l);
    EXPECT_EQ(package::BuildInf(doc, "Blue"), Crlf(lines));
}

TEST(BuildInf, EmptyLayoutCarriesOnlyBackgroundAndLayout) {
    Document doc;
    doc.BGI = "WindowsMobile.JPG";
    const std::string inf = package::BuildInf(doc, "Theme");
    auto lines = InfHead("Theme");
    for (const std::string l : {"WindowsMobile.JPG = 1", "Theme.home.xml = 1", "[DefaultInstall]",
                                "CopyFiles  = CopyToHomeDir", "AddReg      = RegData",
                                "[DestinationDirs]", "CopyToHomeDir = 0,%CE19%\\Home",
                                "[CopyToHomeDir]", "\"WindowsMobile.JPG\",WindowsMobile.JPG",
                                "\"Theme.home.xml\",Theme.home.xml", "[RegData]",
                                "HKCU,ControlPanel\\Home,Scheme,string,\"\\IPSM\\Application "
                                "Data\\Home\\Theme.home.xml\""})
        lines.push_back(l);
    EXPECT_EQ(inf, Crlf(lines));
}

TEST(BuildCabinet, CabinetListsEveryFileAndHeaderSaysWhereTheyGo) {
    TempDir app, out;
    SetUpProgramFolder(app.Path);
    Document doc = ThemeDoc(app.Path);
    const std::string target = out.Path + "Blue.cab";
    package::BuildCabinet(doc, target, target);

    ASSERT_TRUE(Exists(target));
    ExpectNoWorkFiles(app.Path, "Blue");

    auto list = RunTool("/usr/bin/cabextract", {"-l", target});
    ASSERT_EQ(list.ExitCode, 0) << list.Output;
    // The header first, then the pictures and the layout in INF order; the
    // calendar picture is carried twice, as the INF lists it twice.
    for (const std::string name : {"0000Blue.000", "BackGrou.001", "0000Blue.002", "0iconbar.003",
                                   "00000cal.004", "00000cal.005"})
        EXPECT_NE(list.Output.find(name), std::string::npos) << name << "\n" << list.Output;
    EXPECT_EQ(RunTool("/usr/bin/cabextract", {"-t", target}).ExitCode, 0);

    auto header = RunTool("/bin/sh", {"-c", "cabextract -q -F '*.000' -p \"$0\"", target});
    ASSERT_EQ(header.ExitCode, 0);
    ParsedHeader h = ParseHeader(header.Output);
    EXPECT_EQ(h.AppName, "Blue");
    EXPECT_EQ(h.Provider, "Quillmark");
    EXPECT_EQ(h.Architecture, 0u);
    ASSERT_EQ(h.Files.size(), 5u);
    const char* names[] = {"BackGroundImage with Analog Plugin.jpg", "Blue.home.xml", "iconbar.jpg",
                           "cal.jpg", "cal.jpg"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(h.Files[i].Id, static_cast<int>(i + 1));
        EXPECT_EQ(h.Files[i].Name, names[i]);
        EXPECT_EQ(h.Files[i].Dir, "%CE19%\\Home");
    }
    ASSERT_EQ(h.Values.size(), 1u);
    EXPECT_EQ(h.Values[0].Root, 2); // HKCU
    EXPECT_EQ(h.Values[0].Key, "ControlPanel\\Home");
    EXPECT_EQ(h.Values[0].Name, "Scheme");
    EXPECT_EQ(h.Values[0].Type, 0u);
    EXPECT_EQ(h.Values[0].Data,
              std::string("\\IPSM\\Application Data\\Home\\Blue.home.xml") + '\0');

    // The layout inside is the one the writer produced, under the target's base.
    auto layout = RunTool("/bin/sh", {"-c", "cabextract -q -F '*.002' -p \"$0\"", target});
    EXPECT_EQ(layout.Output.substr(0, 3), "\xEF\xBB\xBF");
}

TEST(BuildCabinet, TargetThatIsAWorkFileIsKept) {
    TempDir app;
    SetUpProgramFolder(app.Path);
    Document doc = ThemeDoc(app.Path);
    package::BuildCabinet(doc, app.Path + "CF.cab", "CF.cab");
    ASSERT_TRUE(Exists(app.Path + "CF.cab"));
    EXPECT_EQ(RunTool("/usr/bin/cabextract", {"-t", app.Path + "CF.cab"}).ExitCode, 0);
    EXPECT_FALSE(Exists(app.Path + "CF.inf"));
    EXPECT_FALSE(Exists(app.Path + "CF.home.xml"));

    // The INF's own name as the target: the cabinet is written there and
    // survives the removal of the work files.
    package::BuildCabinet(doc, app.Path + "CF.inf", "CF.inf");
    ASSERT_TRUE(Exists(app.Path + "CF.inf"));
    EXPECT_EQ(RunTool("/usr/bin/cabextract", {"-t", app.Path + "CF.inf"}).ExitCode, 0);
}

TEST(BuildCabinet, FailuresThrowAndLeaveTheTargetAsItWas) {
    struct Case {
        const char* Label;
        const char* Builder;  // script for Cabwizsp; nullptr: the real one; "" none
        const char* Picture;  // an entry picture that is missing
        const char* Expected; // part of the message
    };
    const Case cases[] = {
        {"missing builder", "", nullptr, "Cannot start the cabinet builder"},
        {"builder fails", "#!/bin/sh\necho 'disk full' >&2\nexit 3\n", nullptr, "disk full"},
        {"builder writes nothing", "#!/bin/sh\nexit 0\n", nullptr, "wrote no \"CF.cab\""},
        {"missing picture", nullptr, "gone.jpg", "gone.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        TempDir app, out;
        SetUpProgramFolder(app.Path, c.Builder == nullptr);
        if (c.Builder && *c.Builder)
            Executable(app.Path + "Cabwizsp", c.Builder);
        Document doc = ThemeDoc(app.Path);
        if (c.Picture)
            AddEntry(doc, "Owner Info", 110, 20, c.Picture);
        // A cabinet of an earlier run must not be taken for this build's.
        Spit(app.Path + "CF.cab", "stale cabinet");
        const std::string target = out.Path + "Blue.cab";
        Spit(target, "older cabinet");
        try {
            package::BuildCabinet(doc, target, target);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.Expected), std::string::npos) << e.what();
        }
        EXPECT_EQ(Slurp(target), "older cabinet");
        ExpectNoWorkFiles(app.Path, "Blue");
    }
}

TEST(BuildCabinet, FailedBuildKeepsAnOlderWorkCabinetTarget) {
    TempDir app;
    SetUpProgramFolder(app.Path, false);
    Executable(app.Path + "Cabwizsp", "#!/bin/sh\nexit 1\n");
    Document doc = ThemeDoc(app.Path);
    Spit(app.Path + "CF.cab", "the user's own cabinet");
    EXPECT_THROW(package::BuildCabinet(doc, app.Path + "CF.cab", "CF.cab"), Error);
    EXPECT_EQ(Slurp(app.Path + "CF.cab"), "the user's own cabinet");
}

TEST(ExportHomeLayout, WritesTheLayoutAndKeepsTheWorkFile) {
    TempDir app, out;
    Document doc = ThemeDoc(app.Path);
    const std::string target = out.Path + "Blue.home.xml";
    package::ExportHomeLayout(doc, target);
    ASSERT_TRUE(Exists(app.Path + "temp"));
    EXPECT_EQ(Slurp(target), Slurp(app.Path + "temp"));
    EXPECT_NE(Slurp(target).find("iconbar.jpg"), std::string::npos);
}

namespace {

// A loader script that records its arguments, one per line.
void RecordingLoader(const std::string& dir) {
    Executable(dir + "CabLoader",
               "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname "
               "\"$0\")/loader-args.part\"\n"
               "mv \"$(dirname \"$0\")/loader-args.part\" \"$(dirname \"$0\")/loader-args\"\n");
}

bool WaitFor(const std::string& path) {
    for (int i = 0; i < 500 && !Exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Exists(path);
}

} // namespace

TEST(LoadThemeToDevice, HandsTheFreshThemeToTheLoaderAsOneArgument) {
    TempDir app("tessaro cab with blanks ");
    SetUpProgramFolder(app.Path, true, false);
    RecordingLoader(app.Path);
    Document doc = ThemeDoc(app.Path);
    package::LoadThemeToDevice(doc, "MyTheme");
    ASSERT_TRUE(WaitFor(app.Path + "loader-args"));
    EXPECT_EQ(Slurp(app.Path + "loader-args"), app.Path + "Theme.cab\n");
    EXPECT_TRUE(Exists(app.Path + "Theme.cab"));
    ExpectNoWorkFiles(app.Path, "Theme");
}

TEST(LoadThemeToDevice, FailedBuildDoesNotStartTheLoader) {
    TempDir app;
    SetUpProgramFolder(app.Path, false, false);
    Executable(app.Path + "Cabwizsp", "#!/bin/sh\necho 'no luck'\nexit 2\n");
    RecordingLoader(app.Path);
    Document doc = ThemeDoc(app.Path);
    Spit(app.Path + "Theme.cab", "cabinet of an earlier run");
    EXPECT_THROW(package::LoadThemeToDevice(doc, "MyTheme"), Error);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(Exists(app.Path + "loader-args"));
    EXPECT_EQ(Slurp(app.Path + "Theme.cab"), "cabinet of an earlier run");
}

TEST(DeviceLoader, MissingLoaderOrPluginCabinetIsReported) {
    TempDir app;
    Document doc;
    doc.AppDir = app.Path;
    Spit(app.Path + "WMP_Plugin.cab", "x");
    try {
        package::InstallPluginCabinet(doc, "WMP_Plugin.cab", false);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot start the device loader"), std::string::npos)
            << e.what();
    }
    RecordingLoader(app.Path);
    try {
        package::InstallPluginCabinet(doc, "AnalogClock_Plugin.cab", false);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("AnalogClock_Plugin.cab"), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(Exists(app.Path + "loader-args"));
}

TEST(DeviceLoader, WaitedLoaderFailureCarriesItsOutput) {
    TempDir app;
    Document doc;
    doc.AppDir = app.Path;
    Executable(app.Path + "CabLoader", "#!/bin/sh\necho \"no phone for $1\" >&2\nexit 4\n");
    try {
        package::RunDeviceLoader(doc, "/x/y z.cab", true);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("no phone for /x/y z.cab"), std::string::npos)
            << e.what();
    }
}

// An installed copy works in a folder without the helpers: they run from
// their own folder, while the work files stay in the program folder.
TEST(BuildCabinet, RunsTheHelpersFromTheHelperFolder) {
    TempDir app, helpers, out;
    SetUpProgramFolder(app.Path, false, false);
    SetUpProgramFolder(helpers.Path, true, false);
    RecordingLoader(helpers.Path);
    Document doc = ThemeDoc(app.Path);
    doc.HelperDir = helpers.Path;
    const std::string target = out.Path + "Blue.cab";
    package::BuildCabinet(doc, target, target);
    ASSERT_TRUE(Exists(target));
    ExpectNoWorkFiles(app.Path, "Blue");
    EXPECT_FALSE(Exists(helpers.Path + "CF.cab"));

    package::LoaderRun run = package::RunDeviceLoader(doc, target, true);
    EXPECT_TRUE(run.Waited);
    EXPECT_EQ(Slurp(helpers.Path + "loader-args"), target + "\n");
}
