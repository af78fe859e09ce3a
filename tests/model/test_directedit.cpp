// Moving entries and elements on the phone screen keeps the settings panel's
// bounds and keeps the panel in step.
#include <gtest/gtest.h>

#include "model/directedit.h"
#include "model/panel.h"

using namespace tessaro;
using namespace tessaro::model;

namespace {

void Put(Document& doc, int i, const char* kind, int top, int height) {
    auto& e = doc.Plugins[std::size_t(i)];
    e.Used = 1;
    e.Name = kind;
    e.Top = top;
    e.Height = height;
    for (auto& it : e.Items)
        it.Visible = 1;
    doc.ActivePluginsList.Lines.push_back(kind);
}

// Owner Info 0..40, a gap, Profile 50..80, a gap, Calendar 100..120.
Document ThreeEntries() {
    Document doc;
    Put(doc, 0, "Owner Info", 0, 40);
    Put(doc, 1, "Profile", 50, 30);
    Put(doc, 2, "Calendar", 100, 20);
    return doc;
}

// The Top the settings panel stores when `top` is typed for entry i.
int TopThroughPanel(Document doc, int i, int top) {
    Panel panel;
    doc.ActivePluginsList.Selected = i;
    EXPECT_TRUE(OpenEntryForEditing(doc, panel));
    SetFieldText(doc, panel, Field::GXPos, std::to_string(top));
    CommitField(doc, panel, Field::GXPos);
    return doc.Plugins[std::size_t(i)].Top;
}

} // namespace

TEST(DirectEdit, EntryMovesWithinExactlyThePanelsBounds) {
    for (int i = 0; i < 3; ++i)
        for (int top :
             {-100, -1, 0, 10, 39, 40, 41, 55, 69, 70, 71, 90, 100, 5979, 5980, 5981, 9000}) {
            Document doc = ThreeEntries();
            Panel panel;
            MoveEntryTo(doc, panel, i, top);
            EXPECT_EQ(doc.Plugins[std::size_t(i)].Top, TopThroughPanel(ThreeEntries(), i, top))
                << "entry " << i << " dragged to " << top;
            // Nothing else moves.
            const Document before = ThreeEntries();
            for (int j = 0; j < 3; ++j) {
                if (j == i)
                    continue;
                EXPECT_EQ(doc.Plugins[std::size_t(j)], before.Plugins[std::size_t(j)]);
            }
        }
    // The figures themselves: between the neighbours, the last within 6000.
    Document doc = ThreeEntries();
    Panel panel;
    EXPECT_TRUE(MoveEntryTo(doc, panel, 1, 20));
    EXPECT_EQ(doc.Plugins[1].Top, 40);
    MoveEntryTo(doc, panel, 1, 99);
    EXPECT_EQ(doc.Plugins[1].Top, 70);
    MoveEntryTo(doc, panel, 2, 7000);
    EXPECT_EQ(doc.Plugins[2].Top, 5980);
    MoveEntryTo(doc, panel, 0, -3);
    EXPECT_EQ(doc.Plugins[0].Top, 0);
    EXPECT_FALSE(MoveEntryTo(doc, panel, 3, 10)) << "no entry 3";
    EXPECT_FALSE(MoveEntryTo(doc, panel, -1, 10));
    EXPECT_EQ(doc.EditIndex, 0) << "the edited entry is left as it was";
}

TEST(DirectEdit, OpenPanelFollowsTheMoves) {
    Document doc = ThreeEntries();
    Panel panel;
    doc.ActivePluginsList.Selected = 1;
    ASSERT_TRUE(OpenEntryForEditing(doc, panel));

    EXPECT_TRUE(MoveEntryTo(doc, panel, 1, 65));
    EXPECT_EQ(doc.Plugins[1].Top, 65);
    EXPECT_EQ(panel.GXPos.Text, "65");
    EXPECT_EQ(panel.PHeight.Max, 100 - 65) << "the height bound follows the new position";
    // A later commit of the panel's field keeps the moved position.
    CommitField(doc, panel, Field::GXPos);
    EXPECT_EQ(doc.Plugins[1].Top, 65);

    EXPECT_TRUE(MoveElementTo(doc, panel, 1, 2, -4, 17));
    EXPECT_EQ(doc.Plugins[1].Items[2].X, -4);
    EXPECT_EQ(doc.Plugins[1].Items[2].Y, 17);
    EXPECT_EQ(panel.P[4].Text, "-4");
    EXPECT_EQ(panel.P[5].Text, "17");
    CommitField(doc, panel, Field::P3X);
    EXPECT_EQ(doc.Plugins[1].Items[2].X, -4);

    // Another entry moves without touching the panel.
    EXPECT_TRUE(MoveElementTo(doc, panel, 0, 0, 30, 3));
    EXPECT_EQ(panel.P[0].Text, std::to_string(doc.Plugins[1].Items[0].X));
    EXPECT_FALSE(MoveElementTo(doc, panel, 0, 0, 30, 3)) << "no change, no edit";
    EXPECT_FALSE(MoveElementTo(doc, panel, 0, 3, 1, 1)) << "no slot 4";
}
