// Two tessaro-cli runs on one program folder take turns: each cabinet holds
// its own project's layout and pictures, never the other's.
#include <gtest/gtest.h>

#include <future>

#include "cabinet_fixture.h"
#include "gcab_util.h"
#include "model/document.h"
#include "package/project.h"
#include "platform/bitmap.h"
#include "platform/picture.h"

using namespace cabtest;
using tessaro::model::Document;

namespace {

const std::string kBin = TESSARO_PROGRAM_DIR;

struct Project {
    std::string Name, File, Layout, Picture; // Layout and Picture: what its cabinet must carry
};

// Saves a project whose entry picture "pic.jpg" has `colour`; `entry` names
// the kind of its one entry, so the two projects' layouts differ.
Project SaveOne(const std::string& app, const std::string& work, const std::string& name,
                const std::string& entry, tessaro::model::Color colour) {
    Document doc;
    tessaro::package::StartDocument(doc, app);
    Project p;
    p.Name = name;
    p.Picture = tessaro::platform::EncodeJpeg(tessaro::platform::Bitmap(176, 40, colour), 90);
    Spit(app + "pic.jpg", p.Picture);
    AddEntry(doc, entry, 0, 40, "pic.jpg");
    tessaro::package::SaveProject(doc, work + name + ".trpf");
    p.File = work + name + "/" + name + ".trpf";
    return p;
}

bool Holds(const CabFiles& files, const std::string& bytes) {
    for (const auto& f : files)
        if (f.second == bytes)
            return true;
    return false;
}

} // namespace

TEST(CommandLine, TwoCabinetBuildsInOneProgramFolderNeverMix) {
    TempDir app, work;
    SetUpProgramFolder(app.Path);
    Spit(app.Path + "WindowsMobile.JPG",
         tessaro::platform::EncodeJpeg(tessaro::platform::Bitmap(176, 220, 0x202020), 90));
    Project projects[] = {SaveOne(app.Path, work.Path, "Red", "Calendar", 0x0000FF),
                          SaveOne(app.Path, work.Path, "Blue", "Owner Info", 0xFF0000)};
    const std::string cli = kBin + "tessaro-cli";
    for (Project& p : projects) {
        const std::string xml = work.Path + p.Name + ".home.xml";
        auto run = RunTool(cli, {"--appdir", app.Path, "xml", p.File, xml});
        ASSERT_EQ(run.ExitCode, 0) << run.Output;
        p.Layout = Slurp(xml);
    }
    ASSERT_NE(projects[0].Layout, projects[1].Layout);
    ASSERT_NE(projects[0].Picture, projects[1].Picture);

    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::future<tessaro::platform::ProcessResult> runs[2];
        std::string cabs[2];
        for (int i = 0; i < 2; ++i) {
            const std::string dir =
                work.Path + "r" + std::to_string(round) + "-" + std::to_string(i) + "/";
            fs::create_directories(dir);
            cabs[i] = dir + projects[i].Name + ".cab";
            runs[i] = std::async(std::launch::async, [&, i] {
                return RunTool(cli, {"--appdir", app.Path, "cab", projects[i].File, cabs[i]});
            });
        }
        for (int i = 0; i < 2; ++i) {
            auto run = runs[i].get();
            ASSERT_EQ(run.ExitCode, 0) << run.Output;
        }
        for (int i = 0; i < 2; ++i) {
            const CabFiles files = ReadCabinet(cabs[i]);
            const Project& own = projects[i];
            const Project& other = projects[1 - i];
            EXPECT_TRUE(Holds(files, own.Layout)) << own.Name << ": not its own layout";
            EXPECT_TRUE(Holds(files, own.Picture)) << own.Name << ": not its own picture";
            EXPECT_FALSE(Holds(files, other.Layout)) << own.Name << " holds " << other.Name;
            EXPECT_FALSE(Holds(files, other.Picture)) << own.Name << " holds " << other.Name;
        }
    }
}
