#include <gtest/gtest.h>

#include "model/catalogue.h"
#include "model/editing.h"
#include "model/error.h"
#include "model/panel.h"

using namespace tessaro;
using namespace tessaro::model;

namespace {

int Line(const char* kind) { return KindIndex(kind); }

// A document with entries of the given kinds, tops and heights, as a project
// file would bring them.
void Put(Document& doc, int i, const char* kind, int top, int height) {
    auto& e = doc.Plugins[i];
    e.Used = 1;
    e.Name = kind;
    e.Top = top;
    e.Height = height;
    for (auto& it : e.Items) it.Visible = 1;
    doc.ActivePluginsList.Lines.push_back(kind);
}

struct PanelTest : ::testing::Test {
    Document doc;
    Panel panel;

    void Edit(int i) {
        doc.ActivePluginsList.Selected = i;
        ASSERT_TRUE(OpenEntryForEditing(doc, panel));
    }
    void Type(Field f, const std::string& text) { SetFieldText(doc, panel, f, text); }
};

} // namespace

TEST(SpinFieldTest, BoundsApplyOnlyWhenTheyDifferAndBadTextReadsAsLowerBound) {
    SpinField f;
    f.Min = 0;
    f.Max = 0;
    f.SetValue(-25);
    EXPECT_EQ(f.Text, "-25"); // equal bounds: unbounded
    f.Min = 14;
    f.Max = 6000;
    for (const char* bad : {"-", "", "+", "12a", "abc", "+-3", "1.5"}) {
        f.Text = bad;
        EXPECT_EQ(f.Value(), 14) << '"' << bad << '"';
    }
    f.Text = "+7";
    EXPECT_EQ(f.Value(), 7); // a whole number, only out of bounds
    f.Leave();
    EXPECT_EQ(f.Text, "14");
    f.Text = "9999";
    f.Leave();
    EXPECT_EQ(f.Text, "6000");
    f.Step(1);
    EXPECT_EQ(f.Text, "6000");
    f.Text = "15";
    f.Step(-1);
    f.Step(-1);
    EXPECT_EQ(f.Text, "14");
    // Bounds the other way round: the lower bound wins, as in the field.
    f.Min = 100;
    f.Max = 50;
    EXPECT_EQ(f.Clamp(70), 100);
}

TEST_F(PanelTest, AddingPutsTheEntryBelowTheLastOneWithTheKindsDefaults) {
    Put(doc, 0, "Calendar", 0, 40);
    Put(doc, 1, "Clock", 40, 20);
    Put(doc, 2, "Profile", 100, 30); // a gap of 40 above: the layout is 130 tall
    doc.DefaultFontSize = 17;
    doc.DefaultSelColor = 0x123456;
    panel.P[4].Text = "77"; // left over from an earlier entry

    OpenCatalogue(panel);
    EXPECT_EQ(panel.State, PageState::Picking);
    EXPECT_FALSE(panel.EntryListVisible);
    EXPECT_TRUE(AddEntry(doc, panel, Line("Owner Info")));

    EXPECT_EQ(CountEntries(doc), 4);
    EXPECT_EQ(doc.EditIndex, 3);
    EXPECT_EQ(doc.CurrentKind, "Owner Info");
    const auto& e = doc.Plugins[3];
    EXPECT_EQ(e.Name, "Owner Info");
    EXPECT_EQ(e.ClsId, "4824B576-EFFE-45cf-BAE9-649B930CD244");
    EXPECT_EQ(e.Top, 130);
    EXPECT_EQ(e.Height, 50);
    EXPECT_EQ(e.Items[2].X, 5);
    EXPECT_EQ(e.Items[2].Y, 31);
    EXPECT_EQ(e.Items[1].Text, "Owner Phone: ");
    EXPECT_EQ(e.Items[0].FontSize, 17);
    EXPECT_EQ(e.Items[2].SelColor, 0x123456u);
    EXPECT_EQ(doc.ActivePluginsList.Lines.back(), "Owner Info");
    // The panel shows the new entry; the catalogue stays under it.
    EXPECT_EQ(panel.GXPos.Text, "130");
    EXPECT_EQ(panel.GXPos.Min, 130);
    EXPECT_EQ(panel.PHeight.Text, "50");
    EXPECT_EQ(panel.PHeight.Max, 6000 - 130);
    EXPECT_TRUE(panel.PanelVisible);
    EXPECT_TRUE(panel.CatalogueVisible);
    EXPECT_EQ(panel.State, PageState::Editing);

    EXPECT_TRUE(ClosePanel(doc, panel));
    EXPECT_EQ(panel.State, PageState::Browsing);
    EXPECT_FALSE(panel.CatalogueVisible);
    EXPECT_EQ(doc.ActivePluginsList.Selected, 3);
}

TEST_F(PanelTest, AddingWithoutSelectionTakesTheLastLineAndKindsKeepTheirStoredNames) {
    AddEntry(doc, panel, -1);
    EXPECT_EQ(doc.Plugins[0].Name, "WMPlayer");
    EXPECT_EQ(doc.Plugins[0].ClsId, "");
    EXPECT_FALSE(panel.HeightEnabled);
    EXPECT_EQ(panel.Install, InstallButton::WMPlayer);

    AddEntry(doc, panel, Line("AnalogClock"));
    EXPECT_EQ(doc.Plugins[1].Name, "AnalogClock");
    EXPECT_EQ(doc.Plugins[1].Top, 20);
    EXPECT_EQ(panel.Install, InstallButton::AnalogClock);

    AddEntry(doc, panel, Line("MRU"));
    EXPECT_EQ(doc.Plugins[2].Items[0].Extra, "32");
    EXPECT_EQ(doc.Plugins[2].Items[1].Extra, "5");
    EXPECT_TRUE(panel.Switch1Visible);
    EXPECT_EQ(panel.Switch1, 0);
    EXPECT_TRUE(SetIconSize(doc, panel, 1));
    EXPECT_EQ(doc.Plugins[2].Items[0].Extra, "16");
}

TEST_F(PanelTest, AddingIsRefusedWithoutRoomAndChangesNothing) {
    Put(doc, 0, "Calendar", 0, 5990);
    const Document before = doc;
    OpenCatalogue(panel);
    EXPECT_THROW(AddEntry(doc, panel, Line("Profile")), Error);
    EXPECT_EQ(doc.Plugins, before.Plugins);
    EXPECT_EQ(doc.ActivePluginsList.Lines.size(), 1u);
    EXPECT_FALSE(panel.PanelVisible);
    EXPECT_EQ(panel.State, PageState::Browsing); // not stuck in the catalogue
    EXPECT_TRUE(panel.EntryListVisible);
    EXPECT_FALSE(panel.CatalogueVisible);

    Document full;
    for (int i = 0; i < kMaxEntries; ++i) Put(full, i, "Clock", i * 5, 5);
    EXPECT_THROW(AddEntry(full, panel, Line("Clock")), Error);
    EXPECT_EQ(full.Plugins[kMaxEntries].Used, 0);
}

TEST_F(PanelTest, TypingTooLargeAHeightIntoTheLastEntryStoresTheLargestThatFits) {
    Put(doc, 0, "Calendar", 0, 100);
    Put(doc, 1, "Profile", 100, 20);
    Edit(1);
    Type(Field::PHeight, "9999");
    EXPECT_TRUE(CommitField(doc, panel, Field::PHeight));
    EXPECT_EQ(doc.Plugins[1].Height, 5900);
    EXPECT_EQ(panel.PHeight.Text, "5900");
    EXPECT_EQ(panel.GXPos.Max, 100); // recomputed after the commit

    // The position may not go above the bottom of the entry before.
    Type(Field::GXPos, "50");
    CommitField(doc, panel, Field::GXPos);
    EXPECT_EQ(doc.Plugins[1].Top, 100);
}

TEST_F(PanelTest, ElementPositionThatIsNoNumberStoresZero) {
    Put(doc, 0, "Calendar", 0, 40);
    Edit(0);
    Type(Field::P2Y, "-");
    EXPECT_TRUE(CommitField(doc, panel, Field::P2Y));
    EXPECT_EQ(doc.Plugins[0].Items[1].Y, 0);
    EXPECT_EQ(panel.P[3].Text, "0");
    Type(Field::P3X, "-12"); // unbounded: negative positions pass
    CommitField(doc, panel, Field::P3X);
    EXPECT_EQ(doc.Plugins[0].Items[2].X, -12);
    Type(Field::PText2, "");
    CommitField(doc, panel, Field::PText2);
    EXPECT_EQ(doc.Plugins[0].Items[1].Text, "");
}

TEST_F(PanelTest, BoundsComeFromTheStoredNeighbours) {
    Put(doc, 0, "Clock", 0, 20);
    Put(doc, 1, "Calendar", 30, 40);
    Put(doc, 2, "Profile", 100, 20);
    Edit(1);
    EXPECT_EQ(panel.GXPos.Min, 20);       // bottom of entry 0
    EXPECT_EQ(panel.GXPos.Max, 100 - 40); // top of entry 2 minus the height
    EXPECT_EQ(panel.PHeight.Max, 100 - 30);
    Type(Field::PHeight, "500");
    CommitField(doc, panel, Field::PHeight);
    EXPECT_EQ(doc.Plugins[1].Height, 70); // ends at the next entry's top
    EXPECT_EQ(doc.Plugins[2].Top, 100);   // the neighbour never moves
    EXPECT_EQ(panel.GXPos.Max, 30);
}

TEST_F(PanelTest, FirstEntryAsTallAsTheNextTopIsForcedToPositionZero) {
    Put(doc, 0, "Clock", 0, 20);
    Put(doc, 1, "Profile", 20, 20);
    Edit(0);
    EXPECT_EQ(panel.GXPos.Min, 0);
    Type(Field::GXPos, "15");
    EXPECT_EQ(panel.GXPos.Text, "0"); // forced on the text change itself
    CommitField(doc, panel, Field::GXPos);
    EXPECT_EQ(doc.Plugins[0].Top, 0);
}

TEST_F(PanelTest, EqualComputedBoundsStillHoldTheEntryBetweenItsNeighbours) {
    Put(doc, 0, "Clock", 0, 20);
    Put(doc, 1, "Profile", 30, 14);
    Put(doc, 2, "Clock", 44, 20);
    Edit(1); // room for exactly 14 pixels: height bounds 14 and 14
    Type(Field::PHeight, "60");
    CommitField(doc, panel, Field::PHeight);
    EXPECT_EQ(doc.Plugins[1].Height, 14);
    EXPECT_LE(doc.Plugins[1].Top + doc.Plugins[1].Height, doc.Plugins[2].Top);
}

TEST_F(PanelTest, OpeningAnEntryAfterATallerOneKeepsItsPosition) {
    Put(doc, 0, "Calendar", 0, 50);
    Put(doc, 1, "Profile", 60, 20);
    Put(doc, 2, "Clock", 100, 20);
    Edit(0); // the panel now holds height 50
    Edit(1); // 100 - 50 == 50 is no bound for entry 1
    EXPECT_EQ(panel.GXPos.Text, "60");
    EXPECT_EQ(panel.PHeight.Text, "20");
    CommitField(doc, panel, Field::GXPos);
    EXPECT_EQ(doc.Plugins[1].Top, 60);

    // The panel reloads flags, icon size and the entry's own label texts.
    doc.Plugins[2].Items[0].Visible = 0;
    doc.Plugins[2].Items[0].Text = "own";
    Edit(2);
    EXPECT_FALSE(panel.Param[0]);
    EXPECT_TRUE(panel.Param1Enabled);
    EXPECT_EQ(panel.PText[0], "own");
}

TEST_F(PanelTest, DoubleClickWithNothingSelectedDoesNothing) {
    Put(doc, 0, "Clock", 0, 20);
    doc.ActivePluginsList.Selected = -1;
    EXPECT_FALSE(OpenEntryForEditing(doc, panel));
    EXPECT_FALSE(panel.PanelVisible);
    EXPECT_FALSE(RemoveSelected(doc));
    EXPECT_FALSE(MoveSelectedUp(doc));
}

TEST_F(PanelTest, FlagsGoIntoTheEditedEntryAndOnlyNoEventSkipsTheRedraw) {
    AddEntry(doc, panel, Line("Missed Calls"));
    EXPECT_TRUE(panel.VisnoiventVisible);
    EXPECT_FALSE(SetNoEvent(doc, panel, false));
    EXPECT_EQ(doc.Plugins[0].Items[1].Visible, 0);
    EXPECT_TRUE(SetElementVisible(doc, panel, 2, false));
    EXPECT_EQ(doc.Plugins[0].Items[2].Visible, 0);
    // The icon size is stored for MRU entries only.
    EXPECT_TRUE(SetIconSize(doc, panel, 1));
    EXPECT_EQ(doc.Plugins[0].Items[0].Extra, "");
}

TEST_F(PanelTest, ElementFormatsRoundTripThroughTheWorkingCopy) {
    AddEntry(doc, panel, Line("Calendar"));
    EXPECT_EQ(BeginElementFormats(doc, panel, 0), "Calendar Subject");
    EXPECT_EQ(doc.EditItem, doc.Plugins[0].Items[0]);
    doc.EditItem.FontSize = 33;
    doc.EditItem.UnselWeight = "heavy";
    EXPECT_TRUE(EndElementFormats(doc, 0));
    EXPECT_EQ(doc.Plugins[0].Items[0].FontSize, 33);
    EXPECT_EQ(doc.Plugins[0].Items[0].UnselWeight, "heavy");
    EXPECT_EQ(doc.Plugins[0].Items[0].X, 5); // passes through unchanged
    EXPECT_EQ(BeginElementFormats(doc, panel, 2), "Calendar Location");
}

TEST(SettingsTest, EachKindShowsItsOwnControlsAndCaptions) {
    Panel p;
    ShowSettingsFor(p, "Owner Info");
    EXPECT_EQ(p.PText[2], "Owner Notes: ");
    ShowSettingsFor(p, "Calendar");
    for (int s = 0; s < 3; ++s) {
        EXPECT_TRUE(p.Slots[s].Visible && p.Slots[s].HasText);
        EXPECT_EQ(p.Slots[s].TextCaption, "Text Before");
        EXPECT_EQ(p.PText[s], "");
    }
    EXPECT_EQ(p.Slots[2].Caption, "Location");

    ShowSettingsFor(p, "MRU");
    EXPECT_TRUE(p.Switch1Visible);
    EXPECT_EQ(p.Switch1Caption, "IconSize");
    EXPECT_EQ(p.Switch1Items[1], "16x16");
    EXPECT_FALSE(p.Slots[0].HasOptions);
    EXPECT_FALSE(p.Slots[1].HasText);
    EXPECT_FALSE(p.Slots[2].Visible);

    ShowSettingsFor(p, "Icon Bar");
    EXPECT_FALSE(p.HeightEnabled);
    EXPECT_FALSE(p.Switch1Visible);

    int enabled = 0;
    for (const auto& k : SettingsTable()) {
        ShowSettingsFor(p, k.Kind);
        enabled += p.Param1Enabled;
        EXPECT_EQ(p.Param1Enabled, std::string(k.Kind) == "Clock") << k.Kind;
    }
    EXPECT_EQ(enabled, 1);

    ShowSettingsFor(p, "Calendar");
    ShowSettingsFor(p, "calendar"); // no kind: everything hidden
    for (const auto& s : p.Slots) EXPECT_FALSE(s.Visible);
    EXPECT_FALSE(p.VisnoiventVisible);
    EXPECT_EQ(p.Install, InstallButton::None);
    EXPECT_TRUE(p.HeightEnabled);

    EXPECT_EQ(StyleWindowFor("MRU"), StyleWindow::AdvancedIcons);
    EXPECT_EQ(StyleWindowFor("Carrier/Sim"), StyleWindow::None);
    EXPECT_EQ(StyleWindowFor("Profile"), StyleWindow::AdvancedBackground);
}

TEST_F(PanelTest, RemoveAndMoveWorkOnTheSelectedLine) {
    Put(doc, 0, "Clock", 0, 20);
    Put(doc, 1, "Calendar", 20, 40);
    Put(doc, 2, "Profile", 60, 20);
    doc.ActivePluginsList.Selected = 2;
    EXPECT_TRUE(MoveSelectedUp(doc));
    EXPECT_EQ(doc.Plugins[1].Name, "Profile");
    EXPECT_EQ(doc.Plugins[1].Top, 20);
    EXPECT_EQ(doc.Plugins[2].Top, 40);
    EXPECT_EQ(doc.ActivePluginsList.Selected, 1);
    doc.ActivePluginsList.Selected = 0;
    EXPECT_TRUE(RemoveSelected(doc));
    EXPECT_EQ(CountEntries(doc), 2);
    EXPECT_EQ(doc.Plugins[0].Top, 20);
}
