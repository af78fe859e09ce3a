// Reading a project as stored, for the layout checker: the same design an
// open gives, without touching the program folder or looking at pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "model/editing.h"
#include "package/project.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "support/test_util.h"

using namespace tessaro;
namespace fs = std::filesystem;

namespace {

class ProjectRead : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::FreshFolder("projread");
        app_ = root_ + "app/";
        fs::create_directories(app_);
        fs::copy_file(TESSARO_PROGRAM_DIR "Default", app_ + "Default");
        platform::WriteJpeg(app_ + "WindowsMobile.JPG", platform::Bitmap(176, 200, 0x203040), 90);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::set<std::string> Folder(const std::string& dir) const {
        std::set<std::string> names;
        for (const auto& f : fs::directory_iterator(dir)) names.insert(f.path().filename().string());
        return names;
    }

    std::string root_, app_;
};

} // namespace

TEST_F(ProjectRead, GivesTheDesignAnOpenGivesAndTouchesNothing) {
    model::Document doc;
    package::StartDocument(doc, app_);
    platform::WriteFile(app_ + "tile.jpg", "tile");
    doc.SplitLines = 1;
    doc.DefaultFontSize = 13;
    doc.Scheme[17] = 0x0A0B0C;
    model::AddEntry(doc, 5);
    doc.Plugins[0].Items[0].X = 1; // two advanced icon bars, as stored
    model::AddEntry(doc, 1);
    doc.Plugins[1].BgImage = "tile.jpg";
    model::AddEntry(doc, 5);
    doc.Plugins[2].Items[0].X = 1;
    package::SaveProject(doc, root_ + "My.trpf");
    fs::remove(app_ + "tile.jpg");
    fs::remove(app_ + "user.scheme.xml");
    const auto before = Folder(app_);

    const model::Theme read = package::ReadProject(root_ + "My/My.trpf", app_);
    EXPECT_EQ(Folder(app_), before);
    EXPECT_EQ(model::CountEntries(read), 3);

    model::Document opened;
    package::StartDocument(opened, app_);
    package::OpenProject(opened, root_ + "My/My.trpf");
    EXPECT_TRUE(read == static_cast<const model::Theme&>(opened));
    EXPECT_TRUE(read == static_cast<const model::Theme&>(doc));
}

TEST_F(ProjectRead, AMissingBackgroundIsLeftToTheChecker) {
    model::Document doc;
    package::StartDocument(doc, app_);
    doc.BackgroundImage = "gone.jpg";
    package::SaveProject(doc, root_ + "Bare.trpf");
    EXPECT_THROW(package::OpenProject(doc, root_ + "Bare/Bare.trpf"), std::exception);
    EXPECT_EQ(package::ReadProject(root_ + "Bare/Bare.trpf", app_).BackgroundImage, "gone.jpg");

    // A file that is no project fails as an open does.
    platform::WriteFile(root_ + "bad.trpf", "nothing\r\n");
    EXPECT_THROW(package::ReadProject(root_ + "bad.trpf", app_), std::exception);
}
