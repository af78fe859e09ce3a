// What the designer does when the user commits a field of the settings panel
// on a 100-entry layout: the commit itself (bounds, store) and the full
// preview pass that follows. The program folder's pictures are used as they
// are built; the pass rewrites "iconbar.jpg" there.
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/panel.h"
#include "package/project.h"
#include "preview/preview.h"

using namespace tessaro;

namespace {

// 100 entries of the text kinds and an icon bar, each added through the
// panel as the user would (Calendar 40, Messaging Counts 20, ...).
void Fill(model::Document& doc, model::Panel& panel) {
    const char* kinds[] = {"Icon Bar", "Carrier/Sim", "Calendar", "Messaging Counts", "Clock",
                           "Missed Calls", "Owner Info", "Profile", "MRU", "Call Progress"};
    for (int i = 0; i < 100; ++i) {
        model::AddEntry(doc, panel, model::KindIndex(kinds[i % 10]));
        model::ClosePanel(doc, panel);
    }
}

void BM_CommitFieldAndRedraw(benchmark::State& state) {
    model::Document doc;
    package::StartDocument(doc, TESSARO_PROGRAM_DIR);
    model::Panel panel;
    Fill(doc, panel);
    preview::Preview view(doc);
    view.DrawPlugins(); // fonts and glyphs are loaded once, as in the designer

    doc.ActivePluginsList.Selected = 52; // a Calendar entry
    model::OpenEntryForEditing(doc, panel);
    int x = 0;
    for (auto _ : state) {
        model::SetFieldText(doc, panel, model::Field::P1X, std::to_string(x++ % 60));
        model::CommitField(doc, panel, model::Field::P1X);
        view.DrawPlugins();
        benchmark::DoNotOptimize(view.Image1.Data());
    }
    state.counters["entries"] = model::CountEntries(doc);
    state.counters["layout_px"] = model::LayoutHeight(doc);
}
BENCHMARK(BM_CommitFieldAndRedraw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
