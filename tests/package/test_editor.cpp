#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "formats/homelayout.h"
#include "formats/project.h"
#include "model/catalogue.h"
#include "model/editing.h"
#include "model/error.h"
#include "model/normalise.h"
#include "package/editor.h"
#include "package/project.h"
#include "platform/files.h"
#include "support/test_util.h"

using namespace tessaro;
using namespace tessaro::model;
namespace fs = std::filesystem;
using platform::WriteFile;
using testsupport::Slurp;

namespace {

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app_ = testsupport::FreshFolder("editor");
        fs::create_directories(app_);
        fs::copy_file(TESSARO_PROGRAM_DIR "Default", app_ + "Default");
        WriteFile(app_ + "WindowsMobile.JPG", "the shipped background");
        package::StartDocument(doc_, app_);
    }
    void TearDown() override { fs::remove_all(app_); }

    // What the writers make of the design now.
    std::string Layout() const {
        Document copy = doc_;
        MarkPictureIconBars(copy);
        return formats::BuildLayoutText(copy, "T.home.xml");
    }
    std::string ProjectText() const { return formats::FormatProject(doc_); }

    std::string app_;
    Document doc_;
};

TEST_F(EditorTest, StepsAreNamedAndUndoneInOrder) {
    package::Editor ed(doc_);
    EXPECT_FALSE(ed.CanUndo());
    EXPECT_FALSE(ed.Modified());
    ed.Apply("Add Entry", [](Document& d) { AddEntry(d, 1); });
    ed.Apply("Add Entry", [](Document& d) { AddEntry(d, 4); });
    ed.Apply("Move Entry Up", [](Document& d) { MoveEntryUp(d, 1); });
    EXPECT_EQ(ed.UndoName(), "Move Entry Up");
    EXPECT_TRUE(ed.Modified());
    EXPECT_EQ(doc_.Plugins[0].Name, "Clock");

    ASSERT_TRUE(ed.Undo());
    EXPECT_EQ(doc_.Plugins[0].Name, "Calendar");
    EXPECT_EQ(doc_.ActivePluginsList.Lines, (std::vector<std::string>{"Calendar", "Clock"}));
    EXPECT_EQ(ed.RedoName(), "Move Entry Up");
    ASSERT_TRUE(ed.Undo());
    ASSERT_TRUE(ed.Undo());
    EXPECT_EQ(CountEntries(doc_), 0);
    EXPECT_FALSE(ed.Modified()) << "back at the state it started from";
    EXPECT_FALSE(ed.Undo());

    // A new step after undoing drops what could have been redone.
    ASSERT_TRUE(ed.Redo());
    ed.Apply("Split Lines", [](Document& d) { d.SplitLines = 1; });
    EXPECT_FALSE(ed.CanRedo());
    EXPECT_EQ(ed.StepCount(), 2);
}

TEST_F(EditorTest, AStepThatChangesNothingIsNoStepButViewsAreTold) {
    package::Editor ed(doc_);
    std::vector<package::EditEvent> seen;
    ed.AddListener([&](const package::EditEvent& e) { seen.push_back(e); });
    ed.Apply("Move Entry Up", [](Document& d) { MoveEntryUp(d, 0); });
    EXPECT_FALSE(ed.CanUndo());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0].Changed);
    // Selecting a line is no change of the design either.
    ed.Apply("Select", [](Document& d) { d.ActivePluginsList.Selected = 3; });
    EXPECT_FALSE(ed.CanUndo());
}

TEST_F(EditorTest, AFailingChangeIsStillOneStepAndTheErrorGoesOn) {
    package::Editor ed(doc_);
    EXPECT_THROW(ed.Apply("Add Entry",
                          [](Document& d) {
                              AddEntry(d, 0);
                              throw Error("the picture is gone");
                          }),
                 Error);
    EXPECT_FALSE(ed.InStep());
    ASSERT_TRUE(ed.CanUndo());
    ed.Undo();
    EXPECT_EQ(CountEntries(doc_), 0);
}

TEST_F(EditorTest, NestedStepsJoinTheOuterOneAndUndoWaitsForIt) {
    package::Editor ed(doc_);
    ed.Begin("Icon Bar Style");
    ed.Apply("inner", [](Document& d) { AddEntry(d, 3); });
    EXPECT_FALSE(ed.CanUndo()) << "no undo while a window session is open";
    EXPECT_FALSE(ed.Undo());
    doc_.Plugins[0].Items[0].X = 1;
    ed.Commit();
    EXPECT_EQ(ed.StepCount(), 1);
    EXPECT_EQ(ed.UndoName(), "Icon Bar Style");
}

TEST_F(EditorTest, MovesOfOneSeriesAreOneStepUntilSomethingElseHappens) {
    package::Editor ed(doc_);
    ed.Apply("Add Entry", [](Document& d) { AddEntry(d, 1); });
    auto move = [&](const std::string& series, int top) {
        ed.Begin("Move Entry", series);
        doc_.Plugins[0].Top = top;
        ed.Commit();
    };
    move("drag 1", 3);
    move("drag 1", 7);
    move("drag 1", 9);
    EXPECT_EQ(ed.StepCount(), 2);
    ASSERT_TRUE(ed.Undo());
    EXPECT_EQ(doc_.Plugins[0].Top, 0) << "the whole drag is taken back at once";
    ASSERT_TRUE(ed.Redo());
    EXPECT_EQ(doc_.Plugins[0].Top, 9);

    // After an undo and redo, or another series, or a save, a move starts a new step.
    move("drag 1", 11);
    EXPECT_EQ(ed.StepCount(), 3);
    move("drag 2", 12);
    EXPECT_EQ(ed.StepCount(), 4);
    ed.MarkSaved();
    move("drag 2", 13);
    EXPECT_EQ(ed.StepCount(), 5);
    EXPECT_TRUE(ed.Modified());
    ASSERT_TRUE(ed.Undo());
    EXPECT_FALSE(ed.Modified()) << "the saved point is kept apart from the series";
    EXPECT_EQ(doc_.Plugins[0].Top, 12);
}

TEST_F(EditorTest, NormaliseBelongsToTheStepThatCausedIt) {
    package::Editor ed(doc_);
    ed.Apply("Add Entry", [](Document& d) {
        AddEntry(d, 5); // Icon Bar
        d.Plugins[0].Items[0].X = 1;
    });
    const auto messages = ed.Apply("Add Entry", [](Document& d) {
        AddEntry(d, 5);
        d.Plugins[1].Items[0].X = 1;
    });
    ASSERT_EQ(messages, std::vector<std::string>{kOneAdvancedBar});
    EXPECT_EQ(CountEntries(doc_), 1);
    // The refused entry never existed for the history: the step changed nothing.
    EXPECT_EQ(ed.StepCount(), 1);
}

TEST_F(EditorTest, SavedPointAndModified) {
    package::Editor ed(doc_);
    ed.Apply("Add Entry", [](Document& d) { AddEntry(d, 1); });
    ed.MarkSaved();
    EXPECT_FALSE(ed.Modified());
    ed.Apply("Split Lines", [](Document& d) { d.SplitLines = 1; });
    EXPECT_TRUE(ed.Modified());
    ed.Undo();
    EXPECT_FALSE(ed.Modified());
    ed.Undo();
    EXPECT_TRUE(ed.Modified());
    // A new branch from before the saved point can never reach it again.
    ed.Apply("Add Entry", [](Document& d) { AddEntry(d, 2); });
    ed.Undo();
    EXPECT_TRUE(ed.Modified());
}

TEST_F(EditorTest, KeepsTheLimitAndForgetsTheOldestSteps) {
    package::Editor ed(doc_, 5);
    for (int i = 0; i < 8; ++i)
        ed.Apply("Add Entry", [](Document& d) { AddEntry(d, 1); });
    EXPECT_EQ(ed.StepCount(), 5);
    while (ed.Undo()) {
    }
    EXPECT_EQ(CountEntries(doc_), 3);
    EXPECT_TRUE(ed.Modified()) << "the start was dropped";
}

TEST_F(EditorTest, PicturesAStepReplacedOrDeletedComeBack) {
    package::Editor ed(doc_);
    WriteFile(app_ + "photo.jpg", "first photo");
    ed.Apply("Background Picture", [](Document& d) { d.BGI = d.BackgroundImage = "photo.jpg"; });
    // The same name, a new picture (a crop written over it).
    ed.Apply("Background Picture",
             [&](Document&) { WriteFile(app_ + "photo.jpg", "cropped photo"); });
    ASSERT_EQ(ed.StepCount(), 2) << "a new picture under the same name is a change";
    // A custom bar picture, deleted with the next background choice.
    ed.Apply("Icon Bar Style", [&](Document& d) {
        AddEntry(d, 5);
        WriteFile(app_ + "bar.bmp", "bar picture");
        d.Plugins[0].CustomImage = "bar.bmp";
    });
    ed.Apply("Remove Entry", [&](Document& d) {
        RemoveEntry(d, 0);
        platform::DeleteFile(app_ + "bar.bmp");
        platform::DeleteFile(app_ + "WindowsMobile.JPG");
    });

    ed.Undo();
    EXPECT_EQ(Slurp(app_ + "bar.bmp"), "bar picture");
    ed.Undo();
    ed.Undo();
    EXPECT_EQ(Slurp(app_ + "photo.jpg"), "first photo");
    ed.Undo();
    EXPECT_EQ(doc_.BackgroundImage, "WindowsMobile.JPG");
    EXPECT_EQ(Slurp(app_ + "WindowsMobile.JPG"), "the shipped background");
    ed.Redo();
    ed.Redo();
    EXPECT_EQ(Slurp(app_ + "photo.jpg"), "cropped photo");
}

TEST_F(EditorTest, APictureThatCannotComeBackIsReportedAfterTheUndo) {
    package::Editor ed(doc_);
    WriteFile(app_ + "photo.jpg", "photo");
    WriteFile(app_ + "bar.bmp", "bar");
    ed.Apply("Background Picture", [](Document& d) {
        d.BGI = d.BackgroundImage = "photo.jpg";
        AddEntry(d, 5);
        d.Plugins[0].CustomImage = "bar.bmp";
    });
    ed.Apply("Remove Entry", [&](Document& d) {
        RemoveEntry(d, 0);
        d.BGI = d.BackgroundImage = "WindowsMobile.JPG";
        platform::DeleteFile(app_ + "photo.jpg");
        platform::DeleteFile(app_ + "bar.bmp");
        fs::create_directory(app_ + "photo.jpg"); // something in the way
    });
    const std::string message = testsupport::ErrorOf([&] { ed.Undo(); });
    EXPECT_NE(message.find("photo.jpg"), std::string::npos) << message;
    EXPECT_EQ(doc_.BackgroundImage, "photo.jpg") << "the design is back all the same";
    EXPECT_EQ(Slurp(app_ + "bar.bmp"), "bar") << "the other pictures came back";
    EXPECT_EQ(ed.StepCount(), 1);
    EXPECT_TRUE(ed.CanRedo());
}

TEST_F(EditorTest, TheStoreHoldsOnlyWhatKeptStepsNeed) {
    std::string store;
    {
        package::Editor ed(doc_, 2);
        store = ed.StoreDir();
        for (int i = 0; i < 6; ++i)
            ed.Apply("Background Picture", [&, i](Document& d) {
                d.BGI = d.BackgroundImage = "bg.jpg";
                WriteFile(app_ + "bg.jpg", "picture " + std::to_string(i));
            });
        int kept = 0;
        for ([[maybe_unused]] const auto& f : fs::directory_iterator(store))
            ++kept;
        EXPECT_EQ(kept, 3) << "the pictures of the three states the two steps span";
        EXPECT_EQ(store.find(app_), 0u);
        EXPECT_NE(store.find("/.undo/"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(store)) << "the store goes with the editor";
}

TEST_F(EditorTest, TheWritersRuleIsAbsorbedWithoutAStep) {
    package::Editor ed(doc_);
    ed.Apply("Add Entry", [](Document& d) { AddEntry(d, 5); });
    MarkPictureIconBars(doc_); // a layout save
    ed.Absorb();
    EXPECT_EQ(ed.StepCount(), 1);
    ed.Apply("Split Lines", [](Document& d) { d.SplitLines = 1; });
    ed.Undo();
    EXPECT_EQ(doc_.Plugins[0].BgImage, "iconbar.jpg")
        << "undoing the next step keeps what the save did";
}

TEST_F(EditorTest, StoresOfDesignersThatDiedAreCleared) {
    const std::string stale = app_ + ".undo/999999999/";
    fs::create_directories(stale);
    WriteFile(stale + "0123-5", "left over");
    package::Editor ed(doc_);
    EXPECT_FALSE(fs::exists(stale));
}

TEST_F(EditorTest, NotesFollowUndoAndRedo) {
    package::Editor ed(doc_);
    ed.SetCurrentNote("path", "a.trpf");
    ed.Apply("Open Project", [](Document& d) { AddEntry(d, 0); });
    ed.SetCurrentNote("path", "b.trpf");
    ed.SetCurrentNote("scheme", "user.scheme.xml");
    ed.Apply("Colour Preset", [](Document& d) { d.Scheme[3] = 7; });
    ed.SetCurrentNote("scheme", "Red");
    ed.SetNote("path", "c.trpf"); // saved under another name
    EXPECT_EQ(ed.Note("scheme"), "Red");
    ed.Undo();
    EXPECT_EQ(ed.Note("path"), "c.trpf");
    EXPECT_EQ(ed.Note("scheme"), "user.scheme.xml");
    ed.Undo();
    EXPECT_EQ(ed.Note("path"), "a.trpf");
    EXPECT_EQ(ed.Note("scheme"), "");
    ed.Redo();
    ed.Redo();
    EXPECT_EQ(ed.Note("scheme"), "Red");
}

// Random sequences of edits: undoing all of them gives back every earlier
// design and the files written from it byte for byte; redoing all gives the
// last one.
TEST_F(EditorTest, RandomEditsUndoAndRedoExactly) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        package::StartDocument(doc_, app_);
        package::Editor ed(doc_);
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        struct Seen {
            Theme Design;
            std::string Bgi, Layout, Project, Picture;
        };
        auto look = [&] {
            return Seen{doc_, doc_.BGI, Layout(), ProjectText(),
                        Slurp(app_ + doc_.BackgroundImage)};
        };
        std::vector<Seen> states{look()};
        for (int step = 0; step < 60; ++step) {
            const int n = CountEntries(doc_);
            const int op = pick(9);
            ed.Apply("edit", [&](Document& d) {
                switch (op) {
                case 0:
                case 1:
                    AddEntry(d, pick(kKindCount));
                    break;
                case 2:
                    if (n)
                        RemoveEntry(d, pick(n));
                    break;
                case 3:
                    if (n)
                        MoveEntryUp(d, pick(n));
                    break;
                case 4:
                    if (n)
                        MoveEntryDown(d, pick(n));
                    break;
                case 5:
                    if (n) {
                        TPlugins& e = d.Plugins[std::size_t(pick(n))];
                        e.Items[std::size_t(pick(3))].Text = "t" + std::to_string(pick(100));
                        e.Items[0].X = pick(3); // icon bar styles, advanced faces...
                        e.Items[0].Y = pick(2);
                        e.Transparent = std::uint8_t(pick(2));
                        e.TransparencyLevel = pick(2) ? 255 : 100;
                    }
                    break;
                case 6:
                    d.SplitLines = pick(2);
                    d.Scheme[std::size_t(pick(kSchemeSize))] = Color(rng() & 0xFFFFFF);
                    break;
                case 7: {
                    const std::string name = "bg" + std::to_string(pick(3)) + ".jpg";
                    WriteFile(app_ + name, "picture " + std::to_string(rng()));
                    d.BGI = d.BackgroundImage = name;
                    break;
                }
                default:
                    d.DefaultFontSize = 8 + pick(10);
                    break;
                }
            });
            if (ed.StepCount() == int(states.size()))
                states.push_back(look());
            ASSERT_EQ(ed.StepCount() + 1, int(states.size()))
                << "seed " << seed << " step " << step;
        }
        ASSERT_GT(states.size(), 30u);
        auto same = [&](const Seen& want, const char* where, std::size_t k) {
            const Seen now = look();
            EXPECT_TRUE(now.Design == want.Design) << where << k << " seed " << seed;
            EXPECT_EQ(now.Bgi, want.Bgi) << where << k;
            EXPECT_EQ(now.Layout, want.Layout) << where << k;
            EXPECT_EQ(now.Project, want.Project) << where << k;
            EXPECT_EQ(now.Picture, want.Picture) << where << k;
        };
        for (std::size_t k = states.size() - 1; k-- > 0;) {
            ASSERT_TRUE(ed.Undo());
            same(states[k], "undo to ", k);
        }
        EXPECT_FALSE(ed.Modified());
        for (std::size_t k = 1; k < states.size(); ++k) {
            ASSERT_TRUE(ed.Redo());
            same(states[k], "redo to ", k);
        }
    }
}

TEST_F(EditorTest, HundredStepsOnAFullDesignStayWellUnder32MB) {
    for (int i = 0; i < kMaxEntries; ++i) {
        NewEntryValues v = DefaultsFor(doc_, "Profile");
        v.Height = 5;
        v.Texts[0] = "Entry " + std::to_string(i);
        FillNewEntry(doc_, i, "Profile", v);
    }
    ASSERT_EQ(CountEntries(doc_), kMaxEntries);
    package::Editor ed(doc_);
    for (int i = 0; i < 150; ++i)
        ed.Apply("Move Entry Up", [i](Document& d) { MoveEntryUp(d, 1 + i % 900); });
    EXPECT_EQ(ed.StepCount(), 100);
    EXPECT_LT(ed.MemoryUsed(), std::size_t(32) << 20);
}

} // namespace
