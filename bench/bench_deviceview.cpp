// What the device view adds to a redraw: (a) one preview pass of a typical
// layout without and with an entry in the selected state, (b) the screen
// zoomed 6x, (c) the hit test of one pointer position.
#include <memory>
#include <string>

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "preview/devicescreen.h"
#include "preview/preview.h"

using namespace tessaro;

namespace {

std::unique_ptr<model::Document> TypicalDoc() {
    auto doc = std::make_unique<model::Document>();
    doc->AppDir = TESSARO_PROGRAM_DIR;
    for (int i = 0; i < model::kSchemeSize; ++i)
        doc->Scheme[std::size_t(i)] = 0x00406080u + i;
    const char* kinds[] = {"Carrier/Sim", "Clock",   "Calendar", "Messaging Counts", "Missed Calls",
                           "Owner Info",  "Profile", "MRU",      "WMPlayer"};
    int top = 0;
    for (const char* kind : kinds) {
        int line = 0;
        for (int i = 0; i < model::kKindCount; ++i)
            if (std::string(model::Catalogue()[std::size_t(i)].Name) == kind)
                line = i;
        model::TPlugins& e = doc->Plugins[std::size_t(model::AddEntry(*doc, line))];
        e.Top = top;
        e.Height = 22;
        top += 22;
    }
    return doc;
}

void BM_PassWithSelectedEntry(benchmark::State& state) {
    auto doc = TypicalDoc();
    preview::Preview view(*doc);
    view.SetSelectedEntry(int(state.range(0)));
    view.DrawPlugins();
    for (auto _ : state) {
        view.DrawPlugins();
        benchmark::DoNotOptimize(view.SelectedScreen().Data());
    }
}
// -1: no entry selected (the main window's pass); 2: the Calendar entry.
BENCHMARK(BM_PassWithSelectedEntry)->Arg(-1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_ZoomSix(benchmark::State& state) {
    auto doc = TypicalDoc();
    preview::Preview view(*doc);
    view.DrawPlugins();
    const platform::Bitmap screen = view.Screen();
    for (auto _ : state)
        benchmark::DoNotOptimize(preview::ZoomScreen(screen, 6).Data());
}
BENCHMARK(BM_ZoomSix)->Unit(benchmark::kMicrosecond);

void BM_HitTest(benchmark::State& state) {
    auto doc = TypicalDoc();
    preview::Preview view(*doc);
    view.DrawPlugins();
    for (auto _ : state)
        benchmark::DoNotOptimize(preview::HitTest(view, 60, 150).Slot);
}
BENCHMARK(BM_HitTest)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
