// What the designer does when the user commits a field of the settings panel
// on a 100-entry layout (10 icon bars) and on a 1001-entry one (100 icon
// bars): the commit itself (bounds, store) and the full preview pass that
// follows, wall and CPU time, in a copy of the program folder on the build
// tree's disk; the pass rewrites "iconbar.jpg" there.
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/panel.h"
#include "package/project.h"
#include "preview/preview.h"
#include "bench_layouts.h"
#include "bench_support.h"

using namespace tessaro;

namespace {

void BM_CommitFieldAndRedraw(benchmark::State& state) {
    static const std::string dir = bench::WorkFolder("redraw");
    model::Document doc;
    package::StartDocument(doc, dir);
    model::Panel panel;
    bench::FillThroughPanel(doc, panel, int(state.range(0)));
    preview::Preview view(doc);
    view.DrawPlugins(); // fonts and glyphs are loaded once, as in the designer

    doc.ActivePluginsList.Selected = 52; // a Calendar entry
    model::OpenEntryForEditing(doc, panel);
    int x = 0;
    bench::Alone(state, [&] {
        model::SetFieldText(doc, panel, model::Field::P1X, std::to_string(x++ % 60));
        model::CommitField(doc, panel, model::Field::P1X);
        view.DrawPlugins();
        benchmark::DoNotOptimize(view.Image1.Data());
    });
    state.counters["entries"] = model::CountEntries(doc);
    state.counters["layout_px"] = model::LayoutHeight(doc);
}
BENCHMARK(BM_CommitFieldAndRedraw)->Arg(100)->Arg(1001)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
