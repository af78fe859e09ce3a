// tessaro-cli as two programs: the front links no GUI library and hands the
// commands that draw text to tessaro-cli-qt, found beside it in the build tree
// or in the helper folder of an installed copy.
#include <elf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "installlayout.h"
#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "model/foreign.h"
#include "package/project.h"
#include "platform/files.h"
#include "support/program_folder.h"
#include "support/run_program.h"
#include "support/test_util.h"

using namespace tessaro;
namespace fs = std::filesystem;
using platform::ReadFile;
using testsupport::RunResult;

namespace {

// The DT_NEEDED entries of a 64-bit ELF program, read from its section table.
std::vector<std::string> NeededLibraries(const std::string& path) {
    const std::string elf = ReadFile(path);
    std::vector<std::string> needed;
    auto at = [&](std::size_t offset, std::size_t size) {
        if (offset > elf.size() || size > elf.size() - offset) throw std::runtime_error("truncated ELF file");
        return elf.data() + offset;
    };
    Elf64_Ehdr eh;
    std::memcpy(&eh, at(0, sizeof eh), sizeof eh);
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64)
        throw std::runtime_error("not a 64-bit ELF file");
    auto section = [&](std::size_t i) {
        Elf64_Shdr sh;
        std::memcpy(&sh, at(eh.e_shoff + i * eh.e_shentsize, sizeof sh), sizeof sh);
        return sh;
    };
    for (std::size_t i = 0; i < eh.e_shnum; ++i) {
        const Elf64_Shdr dyn = section(i);
        if (dyn.sh_type != SHT_DYNAMIC) continue;
        const Elf64_Shdr strings = section(dyn.sh_link);
        for (std::size_t k = 0; k < dyn.sh_size / sizeof(Elf64_Dyn); ++k) {
            Elf64_Dyn d;
            std::memcpy(&d, at(dyn.sh_offset + k * sizeof d, sizeof d), sizeof d);
            if (d.d_tag == DT_NULL) break;
            if (d.d_tag == DT_NEEDED) needed.emplace_back(at(strings.sh_offset + d.d_un.d_val, 1));
        }
    }
    return needed;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string s;
    for (const auto& n : names) s += n + " ";
    return s;
}

class CliFront : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::FreshFolder("cli-front");
        app_ = root_ + "app/";
        fs::create_directories(app_);
        fs::create_directories(root_ + "out");
        testsupport::CopyProgramFolder(TESSARO_PROGRAM_DIR, app_);
    }
    void TearDown() override { fs::remove_all(root_); }

    RunResult Run(const std::string& program, std::vector<std::string> args) {
        args.insert(args.begin(), program);
        return testsupport::RunProgram(std::move(args), root_);
    }

    // A design with a Profile entry and a plugin outside the catalogue, saved
    // as root/NAME/NAME.trpf.
    std::string SaveDesignWithForeignPlugin(const std::string& name) {
        model::Document doc;
        package::StartDocument(doc, app_);
        model::AddEntry(doc, model::KindIndex("Profile"));
        model::TPlugins& e = doc.Plugins[1];
        e.Used = 1;
        e.Name = "Weather Today";
        e.Top = 30;
        e.Height = 24;
        model::SetForeignElement(e, "<plugin file=\"weather.dll\" name=\"Weather Today\" height=\"24\"></plugin>");
        doc.ActivePluginsList.Lines.push_back(e.Name);
        package::SaveProject(doc, root_ + name + ".trpf");
        fs::remove(app_ + "user.scheme.xml"); // the save's work file
        return root_ + name + "/" + name + ".trpf";
    }

    std::string root_, app_;
};

} // namespace

TEST(CliPrograms, TheFrontLoadsNoQtLibraryAndTheOtherDoes) {
    const std::string front = TESSARO_CLI;
    const std::vector<std::string> lean = NeededLibraries(front);
    ASSERT_FALSE(lean.empty()) << "the front is linked dynamically (libc at least)";
    for (const std::string& lib : lean) {
        EXPECT_EQ(lib.find("Qt"), std::string::npos) << lib;
        EXPECT_EQ(lib.find("fontconfig"), std::string::npos) << lib;
        EXPECT_EQ(lib.find("gcab"), std::string::npos) << lib;
    }
    // The reader itself finds Qt where it is.
    const std::string text = platform::FolderPart(front) + "tessaro-cli-qt";
    EXPECT_NE(Joined(NeededLibraries(text)).find("libQt6Gui"), std::string::npos) << Joined(NeededLibraries(text));
}

TEST_F(CliFront, ACabinetOfADesignWithAForeignPluginIsBuilt) {
    // The band of an unknown plugin is labelled with its name; the cabinet
    // draws no text and must not reach for the fonts (it used to crash).
    const std::string project = SaveDesignWithForeignPlugin("Weather");
    const RunResult cab = Run(TESSARO_CLI, {"--appdir", app_, "cab", project, root_ + "out/Weather.cab"});
    ASSERT_EQ(cab.Exit, 0) << cab.Err;
    EXPECT_EQ(ReadFile(root_ + "out/Weather.cab").substr(0, 4), "MSCF");
    const RunResult xml = Run(TESSARO_CLI, {"--appdir", app_, "xml", project, root_ + "out/W.home.xml"});
    ASSERT_EQ(xml.Exit, 0) << xml.Err;
    EXPECT_NE(ReadFile(root_ + "out/W.home.xml").find("<plugin file=\"weather.dll\" name=\"Weather Today\""),
              std::string::npos);
    // Drawn, the band carries the label (render runs in the other program).
    const RunResult render = Run(TESSARO_CLI, {"--appdir", app_, "render", project, root_ + "out/W.png"});
    EXPECT_EQ(render.Exit, 0) << render.Err;
    EXPECT_TRUE(fs::exists(root_ + "out/W.png"));
}

TEST_F(CliFront, WithoutItsSiblingTheCommandsThatDrawTextFailClearly) {
    const std::string lone = root_ + "lone/";
    fs::create_directories(lone);
    fs::copy_file(TESSARO_CLI, lone + "tessaro-cli");
    const std::string project = SaveDesignWithForeignPlugin("Lone");
    for (const char* command : {"render", "check", "import"}) {
        const RunResult r = Run(lone + "tessaro-cli", {"--appdir", app_, command, project, root_ + "out/x"});
        EXPECT_EQ(r.Exit, 1) << command;
        EXPECT_EQ(r.Err, "tessaro-cli: cannot run \"" + lone + "tessaro-cli-qt\": No such file or directory\n")
            << command;
    }
    // The others run in the front itself; an unknown command is still a
    // usage error.
    const RunResult xml = Run(lone + "tessaro-cli", {"--appdir", app_, "xml", project, root_ + "out/L.home.xml"});
    EXPECT_EQ(xml.Exit, 0) << xml.Err;
    const RunResult frob = Run(lone + "tessaro-cli", {"frob"});
    EXPECT_EQ(frob.Exit, 2);
    EXPECT_EQ(frob.Err.rfind("tessaro-cli: unknown command \"frob\"\n", 0), 0u) << frob.Err;
}

TEST_F(CliFront, AnInstalledFrontHandsOverToTheHelperFolderWithItsOwnProgramFolder) {
    // bin/tessaro-cli, the other program among the helpers, the shipped files
    // under share/: the program handed to must work in the user's work folder
    // seeded from share/, as the front does, although it lies elsewhere.
    const std::string prefix = root_ + "usr/", bin = prefix + "bin/";
    const platform::InstallLayout layout = build::InstalledLayout();
    const std::string helpers = bin + layout.Helpers, shipped = bin + layout.Shipped;
    fs::create_directories(bin);
    fs::create_directories(helpers);
    fs::create_directories(shipped);
    fs::copy_file(TESSARO_CLI, bin + "tessaro-cli");
    fs::copy_file(platform::FolderPart(TESSARO_CLI) + "tessaro-cli-qt", helpers + "tessaro-cli-qt");
    testsupport::CopyProgramFolder(TESSARO_PROGRAM_DIR, shipped);
    const std::string project = SaveDesignWithForeignPlugin("Installed");
    const std::string data = root_ + "data/";
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const RunResult r = Run(bin + "tessaro-cli", {"render", project, root_ + "out/I.png"});
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_TRUE(fs::exists(root_ + "out/I.png"));
    EXPECT_EQ(ReadFile(data + "tessaro/Default"), ReadFile(shipped + "Default")) << "the work folder was seeded";
    EXPECT_FALSE(fs::exists(helpers + "Default")) << "nothing was written beside the helper";
}

TEST_F(CliFront, TheFrontIgnoresAProgramFolderVariableItDidNotSet) {
    // The variable tells the program handed to where the front lies; set by
    // someone else, it must not move the front's own helpers (here: the
    // builder beside the front, as the program folder holds none).
    const std::string project = SaveDesignWithForeignPlugin("Stray");
    ::setenv("TESSARO_CLI_DIR", (root_ + "nowhere/").c_str(), 1);
    const RunResult cab = Run(TESSARO_CLI, {"--appdir", app_, "cab", project, root_ + "out/Stray.cab"});
    ::unsetenv("TESSARO_CLI_DIR");
    EXPECT_EQ(cab.Exit, 0) << cab.Err;
}
