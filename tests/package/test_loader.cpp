// The device loader against hostile cabinets and a hostile device folder:
// planted links, the registry file, forged registry lines, installs that
// fail half way and cabinets too large to install.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <future>
#include <set>

#include "cabinet_fixture.h"
#include "gcab_util.h"

using namespace cabtest;

namespace {

const std::string kBin = TESSARO_PROGRAM_DIR;

struct InfFile {
    std::string Section, DestName, Source;
};

// A setup INF: folders (section, destination), files, registry lines.
std::string MakeInf(const std::vector<std::pair<std::string, std::string>>& dirs,
                    const std::vector<InfFile>& files, const std::string& reg = "") {
    std::string t = "[Version]\r\nSignature = \"$Windows NT$\"\r\nProvider = \"Us\"\r\n"
                    "CESignature = \"$Windows CE$\"\r\n[CEStrings]\r\nAppName = \"Probe\"\r\n"
                    "[SourceDisksNames]\r\n1 = ,\"Common files\",,.\r\n[SourceDisksFiles]\r\n";
    std::set<std::string> sources;
    for (const InfFile& f : files)
        if (sources.insert(f.Source).second)
            t += f.Source + " = 1\r\n";
    t += "[DefaultInstall]\r\nCopyFiles = ";
    for (size_t i = 0; i < dirs.size(); ++i)
        t += (i ? "," : "") + dirs[i].first;
    t += "\r\n" + std::string(reg.empty() ? "" : "AddReg = Reg\r\n") + "[DestinationDirs]\r\n";
    for (const auto& [section, dest] : dirs)
        t += section + " = 0," + dest + "\r\n";
    for (const auto& [section, dest] : dirs) {
        t += "[" + section + "]\r\n";
        for (const InfFile& f : files)
            if (f.Section == section)
                t += "\"" + f.DestName + "\"," + f.Source + "\r\n";
    }
    if (!reg.empty())
        t += "[Reg]\r\n" + reg;
    return t;
}

// Builds `inf` in `dir` with the real builder; returns the cabinet's path.
std::string Build(const TempDir& dir, const std::string& inf, bool mszip = false) {
    Spit(dir.Path + "CF.inf", inf);
    std::vector<std::string> args = {"CF.inf"};
    if (mszip)
        args.insert(args.begin(), "--mszip");
    auto run = RunTool(kBin + "Cabwizsp", args, dir.Path);
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    return dir.Path + "CF.cab";
}

// Rewrites the cabinet with its installer header changed by `edit` (which
// must keep the header's length): what a hand-made cabinet could hold.
void EditHeader(const std::string& cab, const std::function<void(std::string&)>& edit) {
    CabFiles files = ReadCabinet(cab);
    for (auto& [name, data] : files) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".000") == 0) {
            const size_t before = data.size();
            edit(data);
            EXPECT_EQ(data.size(), before) << "the edit must keep the header's length";
        }
    }
    WriteCabinet(cab, files);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

struct Device {
    TempDir Dir;
    std::string Path; // ends in '/'
    Device() : Path(Dir.Path + "device/") {
        fs::create_directories(Path + "IPSM/Application Data/Home");
        ::setenv("TESSARO_DEVICE", Path.c_str(), 1);
    }
    ~Device() { ::unsetenv("TESSARO_DEVICE"); }
    std::string Home() const { return Path + "IPSM/Application Data/Home/"; }
    std::string Outside() const { return Dir.Path + "outside/"; }

    // Every entry below the folder with what it is and holds.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(Dir.Path)) {
            const std::string rel = e.path().string().substr(Dir.Path.size());
            if (e.is_symlink())
                out[rel] = "link to " + fs::read_symlink(e.path()).string();
            else if (e.is_directory())
                out[rel] = "folder";
            else
                out[rel] = "file: " + Slurp(e.path().string());
        }
        return out;
    }
};

tessaro::platform::ProcessResult Install(const std::string& cab) {
    return RunTool(kBin + "CabLoader", {cab});
}

const std::vector<std::pair<std::string, std::string>> kHome = {{"Files", "%CE19%\\Home"}};

} // namespace

TEST(CabLoader, NeverFollowsALinkInsideTheDeviceFolder) {
    struct Case {
        const char* Label;
        std::function<void(const Device&)> Plant;
    };
    const Case cases[] = {
        {"the home folder is a link",
         [](const Device& d) {
             fs::remove(d.Path + "IPSM/Application Data/Home");
             fs::create_directory_symlink(d.Outside(), d.Path + "IPSM/Application Data/Home");
         }},
        {"a folder above it is a link",
         [](const Device& d) {
             fs::remove_all(d.Path + "IPSM");
             fs::create_directory_symlink(d.Outside(), d.Path + "IPSM");
         }},
        {"the target file is a link",
         [](const Device& d) { fs::create_symlink(d.Outside() + "victim", d.Home() + "a.txt"); }},
        {"the registry file is a link",
         [](const Device& d) {
             fs::create_symlink(d.Outside() + "victim", d.Path + "registry.txt");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        Device device;
        fs::create_directories(device.Outside());
        Spit(device.Outside() + "victim", "precious");
        TempDir src;
        Spit(src.Path + "a.txt", "payload");
        const std::string cab = Build(src, MakeInf(kHome, {{"Files", "a.txt", "a.txt"}},
                                                   "HKCU,Software\\Probe,V,string,\"x\"\r\n"));
        c.Plant(device);
        const auto before = device.Snapshot();
        auto run = Install(cab);
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_NE(run.Output.find("symbolic link"), std::string::npos) << run.Output;
        EXPECT_NE(run.Output.find("nothing was installed"), std::string::npos) << run.Output;
        EXPECT_EQ(device.Snapshot(), before);
    }

    // The old temporary name planted as a link beside the target changes
    // nothing: the loader stages elsewhere, under names it makes itself.
    Device device;
    fs::create_directories(device.Outside());
    Spit(device.Outside() + "victim", "precious");
    fs::create_symlink(device.Outside() + "victim", device.Home() + "a.txt.tmp-install");
    fs::create_symlink(device.Outside() + "victim", device.Path + "registry.txt.tmp-install");
    TempDir src;
    Spit(src.Path + "a.txt", "payload");
    auto run = Install(Build(src, MakeInf(kHome, {{"Files", "a.txt", "a.txt"}},
                                          "HKCU,Software\\Probe,V,string,\"x\"\r\n")));
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(Slurp(device.Outside() + "victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(device.Home() + "a.txt"));
    EXPECT_EQ(Slurp(device.Home() + "a.txt"), "payload");
    EXPECT_EQ(Slurp(device.Path + "registry.txt"), "HKCU\\Software\\Probe\\V = string:x\r\n");
}

TEST(CabLoader, RegistryFileIsReserved) {
    // Our builder refuses to send a file there.
    for (const std::string dest : {"\\.\\", "\\Registry.TXT\\Sub"}) {
        SCOPED_TRACE(dest);
        TempDir src;
        Spit(src.Path + "a.txt", "forged");
        Spit(src.Path + "CF.inf",
             MakeInf({{"Files", dest}},
                     {{"Files", dest == "\\Registry.TXT\\Sub" ? "x" : "registry.txt", "a.txt"}}));
        auto run = RunTool(kBin + "Cabwizsp", {"CF.inf"}, src.Path);
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_NE(run.Output.find("registry file"), std::string::npos) << run.Output;
        EXPECT_FALSE(Exists(src.Path + "CF.cab"));
    }

    // A hand-made cabinet that does is refused by the loader, and the
    // registry stays as it was.
    Device device;
    TempDir first;
    Spit(first.Path + "a.txt", "a");
    ASSERT_EQ(Install(Build(first, MakeInf(kHome, {{"Files", "a.txt", "a.txt"}},
                                           "HKCU,Software\\Probe,V,string,\"real\"\r\n")))
                  .ExitCode,
              0);
    const auto before = device.Snapshot();
    for (const std::string root : {"./././", "//////"}) {
        SCOPED_TRACE(root);
        TempDir src;
        Spit(src.Path + "a.txt", "HKCU\\Software\\Probe\\V = string:forged\r\n");
        const std::string cab =
            Build(src, MakeInf({{"Files", "%CE19%"}}, {{"Files", "REGISTRY.txt", "a.txt"}}));
        EditHeader(cab, [&](std::string& h) { Replace(h, "%CE19%", root); });
        auto run = Install(cab);
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_NE(run.Output.find("registry file"), std::string::npos) << run.Output;
        EXPECT_EQ(device.Snapshot(), before);
    }
}

TEST(CabLoader, NoRegistryValueOrNameReadsBackAsAnotherLine) {
    Device device;
    // The builder cannot carry CR LF or a name holding " = ", so the header
    // is edited: "~~" becomes CR LF, "#=#" " = ", "^" '%' and "`" a tab.
    TempDir src;
    Spit(src.Path + "a.txt", "a");
    const std::string cab =
        Build(src, MakeInf(kHome, {{"Files", "a.txt", "a.txt"}},
                           "HKCU,ControlPanel\\Home,Note,string,"
                           "\"x~~HKCU\\ControlPanel\\Home\\Scheme = string:\\evil.xml\"\r\n"
                           "HKCU,ControlPanel\\Home,Scheme#=#string:\\evil2.xml,string,\"100^\"\r\n"
                           "HKCU,ControlPanel\\Home,Tab,string,\"a`b\"\r\n"));
    EditHeader(cab, [](std::string& h) {
        Replace(h, "~~", "\r\n");
        Replace(h, "#=#", " = ");
        Replace(h, "^", "%");
        Replace(h, "`", "\t");
    });
    auto run = Install(cab);
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.Output.find("\r\nHKCU"), std::string::npos) << "printed unescaped";
    const std::string expected =
        "HKCU\\ControlPanel\\Home\\Note = string:x%0D%0AHKCU\\ControlPanel\\Home\\Scheme = "
        "string:\\evil.xml\r\n"
        "HKCU\\ControlPanel\\Home\\Scheme %3D string:\\evil2.xml = string:100%25\r\n"
        "HKCU\\ControlPanel\\Home\\Tab = string:a%09b\r\n";
    EXPECT_EQ(Slurp(device.Path + "registry.txt"), expected);

    // Read back by the next install: the escaped lines stay as they are, and
    // the same (escaped) name is replaced, not added a second time.
    TempDir again;
    Spit(again.Path + "a.txt", "b");
    const std::string cab2 = Build(
        again, MakeInf(kHome, {{"Files", "a.txt", "a.txt"}},
                       "HKCU,ControlPanel\\Home,Scheme#=#string:\\evil2.xml,string,\"new\"\r\n"
                       "HKCU,ControlPanel\\Home,Scheme,string,\"\\IPSM\\x.home.xml\"\r\n"));
    EditHeader(cab2, [](std::string& h) { Replace(h, "#=#", " = "); });
    run = Install(cab2);
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(Slurp(device.Path + "registry.txt"),
              "HKCU\\ControlPanel\\Home\\Note = string:x%0D%0AHKCU\\ControlPanel\\Home\\Scheme = "
              "string:\\evil.xml\r\n"
              "HKCU\\ControlPanel\\Home\\Scheme = string:\\IPSM\\x.home.xml\r\n"
              "HKCU\\ControlPanel\\Home\\Scheme %3D string:\\evil2.xml = string:new\r\n"
              "HKCU\\ControlPanel\\Home\\Tab = string:a%09b\r\n");
}

TEST(CabLoader, AnInstallIsAllOrNothing) {
    struct Case {
        const char* Label;
        std::vector<std::pair<std::string, std::string>> Dirs;
        std::vector<InfFile> Files;
        std::function<void(const Device&)> Prepare;
        const char* Expected;
        std::string Limit; // "ulimit -f" for the loader, or ""
    };
    const std::string longName(300, 'L');
    const Case cases[] = {
        {"a file and then a folder of the same name",
         {{"Files", "%CE19%\\Home"}, {"Inner", "%CE19%\\Home\\a.txt"}},
         {{"Files", "a.txt", "a.txt"}, {"Inner", "b.txt", "b.txt"}},
         nullptr,
         "both as a file and as a folder",
         ""},
        {"a file where a folder is needed",
         {{"Files", "%CE19%\\Home"}, {"Inner", "%CE19%\\Home\\sub\\deeper"}},
         {{"Files", "a.txt", "a.txt"}, {"Inner", "b.txt", "b.txt"}},
         [](const Device& d) { Spit(d.Home() + "sub", "a file"); },
         "is a file where the cabinet needs a folder",
         ""},
        {"a folder where a file goes",
         kHome,
         {{"Files", "a.txt", "a.txt"}, {"Files", "b.txt", "b.txt"}},
         [](const Device& d) { fs::create_directories(d.Home() + "b.txt/x"); },
         "is a folder where the cabinet installs a file",
         ""},
        // Found only when the folder is made, after a.txt has been replaced.
        {"a folder name the file system refuses",
         {{"Files", "%CE19%\\Home"}, {"Inner", "%CE19%\\New\\" + longName}},
         {{"Files", "a.txt", "a.txt"}, {"Inner", "b.txt", "b.txt"}},
         nullptr,
         "File name too long",
         ""},
        // The disk fills while the files are staged.
        {"a full disk",
         kHome,
         {{"Files", "a.txt", "a.txt"}, {"Files", "big.bin", "big.bin"}},
         nullptr,
         "File too large",
         "64"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        Device device;
        // What was installed before: a file the cabinet replaces and a value.
        TempDir old;
        Spit(old.Path + "a.txt", "old");
        ASSERT_EQ(Install(Build(old, MakeInf(kHome, {{"Files", "a.txt", "a.txt"}},
                                             "HKCU,Software\\Probe,V,string,\"old\"\r\n")))
                      .ExitCode,
                  0);
        if (c.Prepare)
            c.Prepare(device);
        const auto before = device.Snapshot();

        TempDir src;
        Spit(src.Path + "a.txt", "new");
        Spit(src.Path + "b.txt", "new b");
        Spit(src.Path + "big.bin", std::string(1 << 20, 'x'));
        const std::string cab =
            Build(src, MakeInf(c.Dirs, c.Files, "HKCU,Software\\Probe,V,string,\"new\"\r\n"));
        tessaro::platform::ProcessResult run =
            c.Limit.empty()
                ? Install(cab)
                : RunTool("/bin/sh",
                          {"-c", "trap '' XFSZ; ulimit -f " + c.Limit + "; exec \"$0\" \"$1\"",
                           kBin + "CabLoader", cab});
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_NE(run.Output.find(c.Expected), std::string::npos) << run.Output;
        EXPECT_EQ(device.Snapshot(), before);
    }

    // A refused install into a device folder that is not there yet leaves
    // none behind.
    Device device;
    ::setenv("TESSARO_DEVICE", (device.Dir.Path + "new/device").c_str(), 1);
    TempDir src;
    Spit(src.Path + "a.txt", "new");
    Spit(src.Path + "b.txt", "new b");
    auto run = Install(Build(src, MakeInf(cases[0].Dirs, cases[0].Files)));
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_NE(run.Output.find(cases[0].Expected), std::string::npos) << run.Output;
    EXPECT_FALSE(Exists(device.Dir.Path + "new"));
}

TEST(CabLoader, RefusesACabinetTooLargeToInstallBeforeWritingAnything) {
    Device device;
    const auto before = device.Snapshot();
    TempDir src;
    Spit(src.Path + "a.txt", "a");
    Spit(src.Path + "b.bin", "");
    fs::resize_file(src.Path + "b.bin", 64u * 1024 * 1024); // with a.txt one byte too many
    auto run = Install(Build(
        src, MakeInf(kHome, {{"Files", "a.txt", "a.txt"}, {"Files", "b.bin", "b.bin"}}), true));
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_NE(run.Output.find("more than the 64 MiB"), std::string::npos) << run.Output;
    EXPECT_EQ(device.Snapshot(), before);
}

TEST(CabLoader, InstallsAtOnceTakeTurnsAndLeaveNoStagingBehind) {
    Device device;
    // What an install killed half way would have left.
    fs::create_directories(device.Path + ".cabloader-stage-0123456789ab");
    Spit(device.Path + ".cabloader-stage-0123456789ab/n0", "half");

    const int kCabs = 6;
    std::vector<std::string> cabs;
    std::vector<std::unique_ptr<TempDir>> sources;
    for (int i = 0; i < kCabs; ++i) {
        sources.push_back(std::make_unique<TempDir>());
        const std::string n = std::to_string(i);
        Spit(sources.back()->Path + "f" + n + ".txt", n);
        cabs.push_back(Build(*sources.back(),
                             MakeInf(kHome, {{"Files", "f" + n + ".txt", "f" + n + ".txt"}},
                                     "HKCU,Software\\Probe,V" + n + ",string,\"" + n + "\"\r\n")));
    }
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        fs::remove(device.Path + "registry.txt");
        std::vector<std::future<tessaro::platform::ProcessResult>> runs;
        for (const std::string& cab : cabs)
            runs.push_back(std::async(std::launch::async, [cab] { return Install(cab); }));
        for (auto& r : runs) {
            auto run = r.get();
            EXPECT_EQ(run.ExitCode, 0) << run.Output;
        }
        const std::string reg = Slurp(device.Path + "registry.txt");
        for (int i = 0; i < kCabs; ++i) {
            const std::string n = std::to_string(i);
            EXPECT_NE(reg.find("HKCU\\Software\\Probe\\V" + n + " = string:" + n + "\r\n"),
                      std::string::npos)
                << "value " << n << " lost:\n"
                << reg;
        }
    }
    for (const auto& e : fs::directory_iterator(device.Path))
        EXPECT_NE(e.path().filename().string().rfind(".cabloader-", 0), 0u) << e.path();
}
