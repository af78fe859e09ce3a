// The front's stand-in for the fonts: a pass that is asked for texts fails
// with a clear message instead of leaving them out; one without texts runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "model/error.h"
#include "package/project.h"
#include "preview/preview.h"
#include "support/program_folder.h"
#include "support/test_util.h"

using namespace tessaro;
namespace fs = std::filesystem;

TEST(NoTextEngine, TextIsRefusedLoudlyAndAPassWithoutTextsRuns) {
    const fs::path dir = fs::temp_directory_path() / ("tessaro-notext-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    testsupport::CopyProgramFolder(TESSARO_PROGRAM_DIR, dir);
    model::Document doc;
    package::StartDocument(doc, dir.string() + "/");
    model::AddEntry(doc, model::KindIndex("Profile"));

    preview::Preview withText(doc);
    EXPECT_EQ(testsupport::ErrorOf([&] { withText.DrawPlugins(); }),
              "Cannot draw text: tessaro-cli was built without fonts.");
    EXPECT_EQ(testsupport::ErrorOf([&] { withText.Fonts(); }),
              "Cannot draw text: tessaro-cli was built without fonts.");

    preview::Preview without(doc, false);
    without.DrawsText = false;
    EXPECT_EQ(testsupport::ErrorOf([&] { without.DrawPlugins(); }), "no error");
    fs::remove_all(dir);
}
