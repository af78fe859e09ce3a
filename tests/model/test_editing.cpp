#include <gtest/gtest.h>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "model/error.h"

using namespace tessaro;
using namespace tessaro::model;

namespace {

Document WithDefaults() {
    Document doc;
    doc.DefaultBgColor = 0x00C56A31;
    doc.DefaultSelColor = 0xFFFFFF;
    doc.DefaultUnselColor = 0x101010;
    doc.DefaultFontSize = 13;
    doc.DefaultTransparent = true;
    return doc;
}

// Adds a Clock entry and moves it to `top` with `height`.
void AddAt(Document& doc, int top, int height) {
    int i = AddEntry(doc, 4);
    doc.Plugins[i].Top = top;
    doc.Plugins[i].Height = height;
}

std::vector<int> Tops(const Document& doc) {
    std::vector<int> t;
    for (int i = 0; i < CountEntries(doc); ++i) t.push_back(doc.Plugins[i].Top);
    return t;
}

} // namespace

TEST(AddEntry, FillsTheKindDefaultsBelowTheLastEntry) {
    Document doc = WithDefaults();
    AddAt(doc, 90, 40); // layout ends at 130
    int i = AddEntry(doc, 1);
    ASSERT_EQ(i, 1);
    const TPlugins& e = doc.Plugins[1];
    EXPECT_EQ(e.Used, 1);
    EXPECT_EQ(e.Name, "Calendar");
    EXPECT_EQ(e.ClsId, "865A354A-4A96-4687-B001-C155DC0DBE76");
    EXPECT_EQ(e.DllName, "sysplug.dll");
    EXPECT_EQ(e.Top, 130);
    EXPECT_EQ(e.Height, 40);
    EXPECT_EQ(e.BgColor, 0x00C56A31u);
    EXPECT_EQ(e.Transparent, 1);
    EXPECT_EQ(e.Items[2].X, 80);
    EXPECT_EQ(e.Items[2].Y, 20);
    for (const auto& it : e.Items) {
        EXPECT_EQ(it.Visible, 1);
        EXPECT_EQ(it.FontSize, 13);
        EXPECT_EQ(it.SelWeight, "bold");
        EXPECT_EQ(it.UnselColor, 0x101010u);
    }
    EXPECT_EQ(doc.ActivePluginsList.Lines, (std::vector<std::string>{"Clock", "Calendar"}));
    EXPECT_EQ(doc.EditIndex, 1);
    EXPECT_EQ(doc.CurrentKind, "Calendar");
}

TEST(AddEntry, KindSpecificDefaults) {
    Document doc = WithDefaults();
    int mru = AddEntry(doc, 8);
    EXPECT_EQ(doc.Plugins[mru].Items[0].Extra, "32");
    EXPECT_EQ(doc.Plugins[mru].Items[1].Extra, "5");
    EXPECT_EQ(doc.Plugins[mru].Height, 55);

    int clock = AddEntry(doc, 11);
    EXPECT_EQ(doc.Plugins[clock].Name, "AnalogClock");
    EXPECT_EQ(doc.Plugins[clock].Items[2].Y, 70);
    EXPECT_EQ(doc.Plugins[clock].Top, 55);

    int owner = AddEntry(doc, 9);
    EXPECT_EQ(doc.Plugins[owner].Items[1].Text, "Owner Phone: ");

    // No catalogue line picked: the last line, WMPlayer.
    int wmp = AddEntry(doc, -1);
    EXPECT_EQ(doc.Plugins[wmp].Name, "WMPlayer");
    EXPECT_EQ(doc.Plugins[wmp].ClsId, "");
    EXPECT_THROW(AddEntry(doc, 13), Error);
    EXPECT_THROW(DefaultsFor(doc, "Clocks"), Error);
}

TEST(AddEntry, RefusesAFullLayoutAndTheSixThousandPixelLimit) {
    Document doc = WithDefaults();
    for (int i = 0; i < kMaxEntries; ++i) {
        doc.Plugins[i].Used = 1;
        doc.Plugins[i].Top = i * 5;
        doc.Plugins[i].Height = 5;
    }
    try {
        AddEntry(doc, 1);
        FAIL() << "adding to a full layout must fail";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The layout is full: it holds 1001 entries.");
    }
    EXPECT_EQ(doc.Plugins[1001], TPlugins{});
    EXPECT_TRUE(doc.ActivePluginsList.Lines.empty());

    Document tall = WithDefaults();
    AddAt(tall, 0, 5975); // ends at 5975: a 20 pixel Clock fits, a 40 pixel Calendar does not
    EXPECT_THROW(AddEntry(tall, 1), Error);
    EXPECT_EQ(CountEntries(tall), 1);
    EXPECT_EQ(tall.ActivePluginsList.Lines.size(), 1u);
    EXPECT_EQ(AddEntry(tall, 4), 1);
    EXPECT_EQ(LayoutHeight(tall), 5995);

    NewEntryValues v = DefaultsFor(tall, "Clock");
    EXPECT_THROW(FillNewEntry(tall, 5, "Clock", v), Error); // not the next free place
}

TEST(MoveEntry, KeepsTheOuterBoundsOfThePair) {
    Document doc = WithDefaults();
    AddAt(doc, 0, 20);
    AddAt(doc, 20, 40);
    AddAt(doc, 60, 20);
    doc.Plugins[2].Name = "third";
    doc.ActivePluginsList.Selected = 2;

    ASSERT_TRUE(MoveEntryUp(doc, 2));
    EXPECT_EQ(Tops(doc), (std::vector<int>{0, 20, 40}));
    EXPECT_EQ(doc.Plugins[1].Name, "third");
    EXPECT_EQ(doc.ActivePluginsList.Selected, 1);
    ASSERT_TRUE(MoveEntryDown(doc, 1));
    EXPECT_EQ(Tops(doc), (std::vector<int>{0, 20, 60}));
    EXPECT_EQ(doc.Plugins[2].Name, "third");
    EXPECT_EQ(doc.ActivePluginsList.Selected, 2);

    EXPECT_FALSE(MoveEntryUp(doc, 0));
    EXPECT_FALSE(MoveEntryDown(doc, 2));
    EXPECT_FALSE(MoveEntryUp(doc, -1));
    EXPECT_EQ(Tops(doc), (std::vector<int>{0, 20, 60}));
}

TEST(MoveEntry, GapStaysBetweenTheTwo) {
    Document doc = WithDefaults();
    AddAt(doc, 0, 20);
    AddAt(doc, 50, 30);
    ASSERT_TRUE(MoveEntryUp(doc, 1));
    EXPECT_EQ(doc.Plugins[0].Top, 0);
    EXPECT_EQ(doc.Plugins[0].Height, 30);
    EXPECT_EQ(doc.Plugins[1].Top, 60);
    EXPECT_EQ(LayoutHeight(doc), 80);
}

TEST(RemoveEntry, LaterEntriesMoveUpKeepingTheirTop) {
    Document doc = WithDefaults();
    AddAt(doc, 0, 20);
    AddAt(doc, 20, 40);
    AddAt(doc, 60, 20);
    doc.ActivePluginsList.Selected = 0;
    RemoveEntry(doc, 0);
    EXPECT_EQ(Tops(doc), (std::vector<int>{20, 60}));
    EXPECT_EQ(LayoutHeight(doc), 80);
    EXPECT_EQ(doc.Plugins[2], TPlugins{});
    EXPECT_EQ(doc.ActivePluginsList.Lines.size(), 2u);
    EXPECT_EQ(doc.ActivePluginsList.Selected, 1); // the last line

    RemoveEntry(doc, 7); // not a line: ignored
    EXPECT_EQ(CountEntries(doc), 2);
}

TEST(RemoveEntry, TheOnlyEntryAndAFullLayout) {
    Document doc = WithDefaults();
    AddAt(doc, 0, 20);
    doc.ActivePluginsList.Selected = 0;
    RemoveEntry(doc, 0);
    EXPECT_EQ(CountEntries(doc), 0);
    EXPECT_TRUE(doc.ActivePluginsList.Lines.empty());
    EXPECT_EQ(doc.ActivePluginsList.Selected, -1);

    Document full = WithDefaults();
    for (int i = 0; i < kMaxEntries; ++i) {
        full.Plugins[i].Used = 1;
        full.Plugins[i].Top = i;
        full.ActivePluginsList.Lines.push_back("Clock");
    }
    RemoveEntry(full, 0);
    EXPECT_EQ(CountEntries(full), 1000);
    EXPECT_EQ(full.Plugins[999].Top, 1000);
    EXPECT_EQ(full.Plugins[1000], TPlugins{});
    EXPECT_EQ(full.Plugins[1001], TPlugins{});
    EXPECT_EQ(full.Plugins.size(), 1002u);
}
