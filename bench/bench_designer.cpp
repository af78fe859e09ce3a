// The designer's own redraw after a committed field, windows included: the
// preview pass, the surfaces handed to their views, the entry list and the
// settings panel synchronised, and the window painted (offscreen), on 100
// entries (10 icon bars) and on 1001 (100 icon bars, 5 pixels each).
#include <QApplication>
#include <benchmark/benchmark.h>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/panel.h"
#include "ui/tmainform.h"
#include "bench_layouts.h"
#include "bench_support.h"

using namespace tessaro;

namespace {

void BM_DesignerCommitAndRedraw(benchmark::State& state) {
    static const std::string dir = bench::WorkFolder("designer");
    ui::TMainForm window(dir);
    window.show();
    QApplication::processEvents();
    model::Document& doc = window.Doc();
    model::Panel panel;
    bench::FillThroughPanel(doc, panel, int(state.range(0)));
    window.DrawPlugins();
    QApplication::processEvents();
    doc.ActivePluginsList.Selected = 52; // a Calendar entry
    model::OpenEntryForEditing(doc, panel);
    int x = 0;
    bench::Alone(state, [&] {
        model::SetFieldText(doc, panel, model::Field::P1X, std::to_string(x++ % 60));
        model::CommitField(doc, panel, model::Field::P1X);
        window.DrawPlugins();
        QApplication::processEvents(); // the repaint
    });
    state.counters["entries"] = model::CountEntries(doc);
}
BENCHMARK(BM_DesignerCommitAndRedraw)->Arg(100)->Arg(1001)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
