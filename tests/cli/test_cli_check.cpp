// tessaro-cli check: a stored design checked as it stands, its lines, its
// JSON and its exit statuses.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "package/project.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/test_util.h"

extern char** environ;

using namespace tessaro;
namespace fs = std::filesystem;
using platform::ReadFile;

using testsupport::RunResult;

namespace {

class CliCheck : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::FreshFolder("cli-check");
        app_ = root_ + "app/";
        fs::create_directories(app_);
        const fs::path prog = TESSARO_PROGRAM_DIR;
        for (const char* f : {"Default", "WindowsMobile.JPG", "fonts"})
            fs::copy(prog / f, app_ + f, fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(root_); }

    RunResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {TESSARO_CLI, "--appdir", app_});
        return testsupport::RunProgram(std::move(args), root_);
    }

    // A design started as the designer starts it, with an Icon Bar and a
    // Profile entry; `shape` changes it before it is saved as NAME/NAME.trpf.
    std::string SaveDesign(const std::string& name,
                           const std::function<void(model::Document&)>& shape = {}) {
        model::Document doc;
        package::StartDocument(doc, app_);
        model::AddEntry(doc, model::KindIndex("Icon Bar"));
        model::AddEntry(doc, model::KindIndex("Profile"));
        if (shape) shape(doc);
        const std::string path = root_ + name + ".trpf";
        package::SaveProject(doc, path);
        fs::remove(app_ + "user.scheme.xml"); // the save's work file
        return root_ + name + "/" + name + ".trpf";
    }

    std::set<std::string> ProgramFolder() const {
        std::set<std::string> names;
        for (const auto& f : fs::recursive_directory_iterator(app_)) names.insert(f.path().string());
        return names;
    }

    std::string root_, app_;
};

} // namespace

TEST_F(CliCheck, ACleanDesignSaysNothingAndExitsZero) {
    const std::string project = SaveDesign("Clean");
    auto r = Run({"check", project});
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out, "");
    r = Run({"check", "--json", project});
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out, "[]\n");
}

TEST_F(CliCheck, TheProjectIsCheckedAsStoredAndNothingIsWritten) {
    // Two advanced icon bars: opening the project for any other command runs
    // the preview pass, which removes the second one.
    const std::string project = SaveDesign("Twice", [](model::Document& doc) {
        doc.Plugins[0].Items[0].X = 1;
        const int i = model::AddEntry(doc, model::KindIndex("Icon Bar"));
        doc.Plugins[std::size_t(i)].Items[0].X = 1;
    });
    const auto before = ProgramFolder();
    auto r = Run({"check", project});
    EXPECT_EQ(r.Exit, 1) << r.Err;
    EXPECT_EQ(r.Out.rfind("error: entry 2 (Icon Bar): a second Advanced icon bar", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find(" [second-advanced]\n"), std::string::npos) << r.Out;
    EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 1) << r.Out;
    // No "iconbar.jpg", no copied pictures, no scheme: the program folder is as it was.
    EXPECT_EQ(ProgramFolder(), before);
    EXPECT_EQ(r.Err, "");
}

TEST_F(CliCheck, WarningsAloneExitZeroAndJsonCarriesThemInUtf8) {
    const std::string project = SaveDesign("Long", [](model::Document& doc) {
        // "Профиль моего телефона: " in Windows-1251: too wide for the screen.
        doc.Plugins[1].Items[0].Text =
            "\xCF\xF0\xEE\xF4\xE8\xEB\xFC \xEC\xEE\xE5\xE3\xEE \xF2\xE5\xEB\xE5\xF4\xEE\xED\xE0: ";
    });
    auto r = Run({"check", project});
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("warning: entry 1 (Profile): the text \"\xD0\x9F\xD1\x80\xD0\xBE\xD1\x84", 0), 0u)
        << r.Out;
    EXPECT_NE(r.Out.find("[text-overflow]\n"), std::string::npos) << r.Out;

    r = Run({"check", project, "--json"});
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("[\n  {\"severity\": \"warning\", \"code\": \"text-overflow\", \"entry\": 1, "
                          "\"kind\": \"Profile\", \"message\": \"the text \\\"\xD0\x9F\xD1\x80",
                          0),
              0u)
        << r.Out;
    EXPECT_EQ(r.Out.substr(r.Out.size() - 4), "}\n]\n");
}

TEST_F(CliCheck, ErrorsWithWarningsExitOne) {
    const std::string project = SaveDesign("Both", [](model::Document& doc) {
        doc.Plugins[1].Items[0].X = 170;                  // text-overflow (warning)
        doc.Plugins[1].BgImage = "nowhere.jpg";           // missing-picture (error)
    });
    auto r = Run({"check", project});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Out.find("[text-overflow]"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("[missing-picture]"), std::string::npos) << r.Out;
}

TEST_F(CliCheck, WrongArgumentsAndUnreadableDesigns) {
    const std::string project = SaveDesign("Args");
    EXPECT_EQ(Run({"check"}).Exit, 2);
    EXPECT_EQ(Run({"check", project, project}).Exit, 2);
    EXPECT_EQ(Run({"check", project, "--yaml"}).Exit, 2);
    EXPECT_EQ(Run({"check", root_ + "notes.txt"}).Exit, 2);

    auto r = Run({"check", root_ + "missing.trpf"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("missing.trpf"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");

    platform::WriteFile(root_ + "a.home.xml", "this is no layout");
    r = Run({"check", root_ + "a.home.xml"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("a.home.xml"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
}

TEST_F(CliCheck, AHomeLayoutIsCheckedThroughTheImporterWithoutTouchingTheProgramFolder) {
    const std::string project = SaveDesign("Wide", [](model::Document& doc) {
        doc.Plugins[1].Items[0].X = 170; // text-overflow (warning)
    });
    const std::string layout = root_ + "Wide.home.xml";
    ASSERT_EQ(Run({"xml", project, layout}).Exit, 0);
    fs::remove(app_ + "user.scheme.xml");
    const auto before = ProgramFolder();
    auto r = Run({"check", layout, "--json"});
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"code\": \"text-overflow\", \"entry\": 1, \"kind\": \"Profile\""),
              std::string::npos)
        << r.Out;
    EXPECT_EQ(ProgramFolder(), before);
}
