// The cabinet builder and device loader as programs, and the whole road from
// a project file through tessaro-cli to the files on the device.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cabinet_fixture.h"
#include "model/document.h"
#include "package/project.h"
#include "platform/bitmap.h"
#include "platform/picture.h"

using namespace cabtest;
using tessaro::model::Document;

namespace {

const std::string kBin = TESSARO_PROGRAM_DIR;

std::string InfWith(const std::string& extraSections, const std::string& addReg = "",
                    const std::string& dest = "%CE19%\\Home") {
    return "[Version]\r\nSignature = \"$Windows NT$\"\r\nProvider = \"Us\"\r\nCESignature = "
           "\"$Windows CE$\"\r\n"
           "[CEStrings]\r\nAppName = \"Probe\"\r\n"
           "[SourceDisksNames]\r\n1 = ,\"Common files\",,.\r\n"
           "[SourceDisksFiles]\r\na.txt = 1\r\n"
           "[DefaultInstall]\r\nCopyFiles = Files\r\n" +
           std::string(addReg.empty() ? "" : "AddReg = Reg\r\n") +
           "[DestinationDirs]\r\nFiles = 0," + dest +
           "\r\n"
           "[Files]\r\n\"a.txt\",a.txt\r\n" +
           (addReg.empty() ? "" : "[Reg]\r\n" + addReg) + extraSections;
}

struct DeviceEnv {
    TempDir Dir;
    DeviceEnv() { ::setenv("TESSARO_DEVICE", (Dir.Path + "device").c_str(), 1); }
    ~DeviceEnv() { ::unsetenv("TESSARO_DEVICE"); }
    std::string Device() const { return Dir.Path + "device/"; }
};

} // namespace

TEST(Cabwizsp, BadInfIsReportedAndWritesNoCabinet) {
    struct Case {
        const char* Label;
        std::string Inf;
        const char* Expected;
    };
    const Case cases[] = {
        {"unknown registry type", InfWith("", "HKCU,Key,Name,qword,1\r\n"),
         "unknown registry type"},
        {"unknown root", InfWith("", "HKXX,Key,Name,string,\"v\"\r\n"), "unknown registry root"},
        {"bad dword", InfWith("", "HKCU,Key,Name,dword,12x\r\n"), "12x"},
        {"unsupported section", InfWith("[CEShortcuts]\r\nx = 1\r\n"), "[CEShortcuts]"},
        {"unsupported key", InfWith("").replace(0, 9, "[Version]\r\nClass = Foo"), "Class"},
        {"unclosed quote", InfWith("", "HKCU,Key,Name,string,\"v\r\n"), "unclosed quote"},
        {"unknown string", InfWith("", "HKCU,Key,Name,string,%Nowhere%\r\n"), "%Nowhere%"},
        {"no AppName", std::string(InfWith("")).replace(InfWith("").find("AppName"), 7, "AppNom"),
         "AppNom"},
        {"file not listed", InfWith("").replace(InfWith("").find("a.txt = 1"), 9, "b.txt = 1"),
         "not listed in [SourceDisksFiles]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        TempDir dir;
        Spit(dir.Path + "a.txt", "text");
        Spit(dir.Path + "CF.inf", c.Inf);
        auto run = RunTool(kBin + "Cabwizsp", {"CF.inf"}, dir.Path);
        ASSERT_TRUE(run.Started) << run.Error;
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_NE(run.Output.find(c.Expected), std::string::npos) << run.Output;
        EXPECT_FALSE(Exists(dir.Path + "CF.cab"));
        EXPECT_FALSE(Exists(dir.Path + "CF.cab.part"));
    }
}

TEST(Cabwizsp, MissingSourceLeavesAnOlderCabinetAlone) {
    TempDir dir;
    Spit(dir.Path + "CF.inf", InfWith(""));
    Spit(dir.Path + "CF.cab", "older");
    auto run = RunTool(kBin + "Cabwizsp", {"CF.inf"}, dir.Path);
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_NE(run.Output.find("a.txt"), std::string::npos) << run.Output;
    EXPECT_EQ(Slurp(dir.Path + "CF.cab"), "older");
}

TEST(CabLoader, RegistryTypesRoundTripAndLaterInstallsReplaceValues) {
    DeviceEnv env;
    TempDir dir;
    Spit(dir.Path + "a.txt", "first");
    Spit(dir.Path + "CF.inf",
         InfWith("", "HKLM,Software\\Probe,Count,dword,0x1F\r\n"
                     "HKLM,Software\\Probe,Names,multi_sz,\"one\",\"two, three\"\r\n"
                     "HKLM,Software\\Probe,Blob,binary,0a,FF,00\r\n"
                     "HKCR,CLSID\\{X}\\InprocServer32,,string,\"probe.dll\"\r\n"
                     "HKCU,Software\\Probe,Where,string,\"%CE1%\\Probe\"\r\n"));
    auto build = RunTool(kBin + "Cabwizsp", {"--mszip", "CF.inf"}, dir.Path);
    ASSERT_EQ(build.ExitCode, 0) << build.Output;
    auto install = RunTool(kBin + "CabLoader", {dir.Path + "CF.cab"});
    ASSERT_EQ(install.ExitCode, 0) << install.Output;
    EXPECT_EQ(Slurp(env.Device() + "IPSM/Application Data/Home/a.txt"), "first");

    // A second cabinet sets one of the values again and adds nothing else.
    Spit(dir.Path + "a.txt", "second");
    Spit(dir.Path + "CF.inf", InfWith("", "HKLM,software\\probe,count,dword,7\r\n"));
    ASSERT_EQ(RunTool(kBin + "Cabwizsp", {"CF.inf"}, dir.Path).ExitCode, 0);
    ASSERT_EQ(RunTool(kBin + "CabLoader", {dir.Path + "CF.cab"}).ExitCode, 0);
    EXPECT_EQ(Slurp(env.Device() + "IPSM/Application Data/Home/a.txt"), "second");

    EXPECT_EQ(Slurp(env.Device() + "registry.txt"),
              "HKCR\\CLSID\\{X}\\InprocServer32\\@ = string:probe.dll\r\n"
              "HKCU\\Software\\Probe\\Where = string:\\Program Files\\Probe\r\n"
              "HKLM\\Software\\Probe\\Blob = binary:0a,ff,00\r\n"
              "HKLM\\software\\probe\\count = dword:0x00000007\r\n"
              "HKLM\\Software\\Probe\\Names = multi_sz:\"one\",\"two, three\"\r\n");
}

TEST(CabLoader, RefusesDestinationsOutsideTheDeviceAndInstallsNothing) {
    DeviceEnv env;
    TempDir dir;
    Spit(dir.Path + "a.txt", "escape");
    Spit(dir.Path + "CF.inf",
         InfWith("", "HKCU,Software\\Probe,Value,string,\"x\"\r\n", "%CE19%\\..\\..\\..\\outside"));
    ASSERT_EQ(RunTool(kBin + "Cabwizsp", {"CF.inf"}, dir.Path).ExitCode, 0);
    auto install = RunTool(kBin + "CabLoader", {dir.Path + "CF.cab"});
    EXPECT_NE(install.ExitCode, 0);
    EXPECT_NE(install.Output.find("leaves the device folder"), std::string::npos) << install.Output;
    EXPECT_FALSE(Exists(env.Dir.Path + "outside"));
    EXPECT_FALSE(Exists(env.Device() + "registry.txt"));

    auto notCab = RunTool(kBin + "CabLoader", {dir.Path + "a.txt"});
    EXPECT_NE(notCab.ExitCode, 0);
    EXPECT_NE(notCab.Output.find("not a cabinet"), std::string::npos) << notCab.Output;
}

TEST(CabLoader, PluginCabinetsRegisterTheirClassesWithoutLibraries) {
    DeviceEnv env;
    for (const std::string cab : {"AnalogClock_Plugin.cab", "WMP_Plugin.cab"}) {
        auto install = RunTool(kBin + "CabLoader", {kBin + cab});
        ASSERT_EQ(install.ExitCode, 0) << install.Output;
    }
    for (const auto& f : fs::recursive_directory_iterator(env.Device()))
        EXPECT_NE(f.path().extension(), ".dll") << f.path(); // no device library is carried
    const std::string reg = Slurp(env.Device() + "registry.txt");
    EXPECT_NE(reg.find("HKCR\\CLSID\\{CEF3DB66-AD48-46c1-B849-66CF29B5A26D}\\InprocServer32\\@ = "
                       "string:lcdplug.dll\r\n"),
              std::string::npos)
        << reg;
    EXPECT_NE(
        reg.find(
            "HKCR\\CLSID\\{22CF74AC-E022-4c2d-BCE0-FBA9FB53BEFA}\\InprocServer32\\@ = string:"),
        std::string::npos)
        << reg;
    EXPECT_TRUE(Exists(env.Device() + "Program Files/Tessaro/AnalogClock_Plugin.txt"));
}

TEST(CommandLine, ThemeCabinetInstallsWhereThePhoneReadsIt) {
    DeviceEnv env;
    TempDir app, work;
    SetUpProgramFolder(app.Path);
    ASSERT_TRUE(Exists(app.Path + "Default"))
        << "the Default preset is missing from the program folder";

    // A project with an icon bar and entry pictures, saved the usual way.
    Document doc;
    tessaro::package::StartDocument(doc, app.Path);
    // Real pictures: opening a project reads them.
    std::map<std::string, std::string> pictures;
    const std::pair<const char*, tessaro::model::Color> kinds[] = {{"WindowsMobile.JPG", 0x804020},
                                                                   {"iconbar.jpg", 0x00FF00},
                                                                   {"cal.jpg", 0x0000FF},
                                                                   {"owner.jpg", 0xFF0000}};
    for (const auto& [name, colour] : kinds) {
        pictures[name] =
            tessaro::platform::EncodeJpeg(tessaro::platform::Bitmap(176, 40, colour), 90);
        Spit(app.Path + name, pictures[name]);
    }
    AddEntry(doc, "Icon Bar", 0, 20);
    AddEntry(doc, "Calendar", 20, 40, "cal.jpg");
    AddEntry(doc, "Owner Info", 60, 40, "owner.jpg");
    tessaro::package::SaveProject(doc, work.Path + "Blue.trpf");
    const std::string project = work.Path + "Blue/Blue.trpf";
    ASSERT_TRUE(Exists(project));

    const std::string cli = kBin + "tessaro-cli";
    auto cab = RunTool(cli, {"--appdir", app.Path, "cab", project, work.Path + "Blue.cab"});
    ASSERT_EQ(cab.ExitCode, 0) << cab.Output;
    auto xml = RunTool(cli, {"--appdir", app.Path, "xml", project, work.Path + "Blue.home.xml"});
    ASSERT_EQ(xml.ExitCode, 0) << xml.Output;
    auto install = RunTool(cli, {"--appdir", app.Path, "install", work.Path + "Blue.cab"});
    ASSERT_EQ(install.ExitCode, 0) << install.Output;
    EXPECT_NE(install.Output.find("Installed"), std::string::npos) << install.Output;

    const std::string home = env.Device() + "IPSM/Application Data/Home/";
    EXPECT_EQ(Slurp(home + "Blue.home.xml"), Slurp(work.Path + "Blue.home.xml"));
    for (const auto& [name, bytes] : pictures)
        EXPECT_TRUE(Slurp(home + name) == bytes) << name;
    EXPECT_EQ(Slurp(env.Device() + "registry.txt"),
              "HKCU\\ControlPanel\\Home\\Scheme = string:\\IPSM\\Application "
              "Data\\Home\\Blue.home.xml\r\n");

    // Installing a cabinet that is not there fails with the loader's words.
    auto missing = RunTool(cli, {"--appdir", app.Path, "install", work.Path + "Nothing.cab"});
    EXPECT_NE(missing.ExitCode, 0);
    EXPECT_NE(missing.Output.find("Nothing.cab"), std::string::npos) << missing.Output;
}
