#pragma once
// The layout the commit benchmarks edit: n entries of the text kinds and an
// icon bar in every ten, each added through the panel as the user would
// (Calendar 40, Messaging Counts 20, ...); past a hundred entries each is 5
// pixels tall, so a thousand fit the 6000-pixel canvas, and the 1001st is a
// Profile.
#include "model/catalogue.h"
#include "model/document.h"
#include "model/panel.h"

namespace bench {

inline void FillThroughPanel(tessaro::model::Document& doc, tessaro::model::Panel& panel, int n) {
    namespace model = tessaro::model;
    const char* kinds[] = {"Icon Bar", "Carrier/Sim", "Calendar", "Messaging Counts", "Clock",
                           "Missed Calls", "Owner Info", "Profile", "MRU", "Call Progress"};
    for (int i = 0; i < n; ++i) {
        model::AddEntry(doc, panel, model::KindIndex(i < 1000 ? kinds[i % 10] : "Profile"));
        model::ClosePanel(doc, panel);
        if (n > 100) doc.Plugins[std::size_t(model::CountEntries(doc) - 1)].Height = 5;
    }
}

} // namespace bench
