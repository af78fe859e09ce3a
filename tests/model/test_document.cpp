#include <gtest/gtest.h>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "model/error.h"

using namespace tessaro;
using namespace tessaro::model;

namespace {

// Puts in-use entries of the given tops and heights at the start of the layout.
void Place(Document& doc, std::initializer_list<std::pair<int, int>> topHeight) {
    int i = 0;
    for (auto [top, height] : topHeight) {
        doc.Plugins[i].Used = 1;
        doc.Plugins[i].Name = "Clock";
        doc.Plugins[i].Top = top;
        doc.Plugins[i].Height = height;
        doc.ActivePluginsList.Lines.push_back("Clock");
        ++i;
    }
}

} // namespace

TEST(Document, CountAndHeightFollowTheInUsePrefix) {
    Document doc;
    ASSERT_EQ(doc.Plugins.size(), 1002u);
    EXPECT_EQ(CountEntries(doc), 0);
    EXPECT_EQ(LayoutHeight(doc), 0);

    // Records in use after an unused entry 0 are not entries.
    doc.Plugins[3].Used = 1;
    doc.Plugins[3].Height = 50;
    EXPECT_EQ(CountEntries(doc), 0);
    EXPECT_EQ(LayoutHeight(doc), 0);

    // The layout height is the bottom of the last entry, gaps included.
    Document gap;
    Place(gap, {{0, 40}, {40, 20}, {100, 30}});
    EXPECT_EQ(CountEntries(gap), 3);
    EXPECT_EQ(LayoutHeight(gap), 130);

    // A bottom beyond the integer range (a hand-edited project) saturates
    // instead of wrapping round to a small or negative height.
    Document far;
    Place(far, {{2147483647, 10}});
    EXPECT_EQ(LayoutHeight(far), 2147483647);
}

TEST(Document, FullLayoutCountStopsAtTheBlankLastRecord) {
    Document doc;
    for (int i = 0; i < kMaxEntries; ++i) doc.Plugins[i].Used = 1;
    EXPECT_EQ(CountEntries(doc), 1001);
}

TEST(Document, EmptyFirstListLineEmptiesTheList) {
    Document doc;
    Place(doc, {{0, 40}});
    doc.ActivePluginsList.Lines[0] = "";
    doc.ActivePluginsList.Selected = 0;
    EXPECT_EQ(LayoutHeight(doc), 0);
    EXPECT_TRUE(doc.ActivePluginsList.Lines.empty());
    EXPECT_EQ(doc.ActivePluginsList.Selected, -1);
}

TEST(Document, ResetBlanksEveryRecordAndKeepsSettings) {
    Document doc;
    doc.DefaultFontSize = 9;
    doc.Scheme[4] = 0x123456;
    for (int i : {0, 500, 1000}) {
        doc.Plugins[i].Used = 1;
        doc.Plugins[i].Name = "Calendar";
        doc.Plugins[i].BgImage = "x.jpg";
        doc.Plugins[i].Items[2].Text = "t";
        doc.Plugins[i].Items[1].FontSize = 3;
    }
    ResetDocument(doc);
    ASSERT_EQ(doc.Plugins.size(), 1002u);
    for (const auto& p : doc.Plugins) EXPECT_EQ(p, TPlugins{});
    EXPECT_EQ(doc.DefaultFontSize, 9);
    EXPECT_EQ(doc.Scheme[4], 0x123456u);
}

TEST(Catalogue, LookupsFollowTheTable) {
    EXPECT_EQ(ClassIdOf("Icon Bar"), "837FC251-FE69-43ad-84E0-EBCEDEBA0884");
    EXPECT_EQ(ClassIdOf("Clock"), ClassIdOf("Carrier/Sim"));
    EXPECT_EQ(ClassIdOf("WMPlayer"), "");
    EXPECT_EQ(LibraryOf("WMPlayer"), "");
    EXPECT_EQ(LibraryOf("AnalogClock"), "lcdplug.dll");
    EXPECT_EQ(ClassIdOf("clock"), ""); // names compare exactly
}
