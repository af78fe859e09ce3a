// The layout checker on a full design: 1001 entries of every kind, each with
// its default texts in a band too small for them (so every text is measured
// and most give a finding), and every tenth entry naming a picture of its own.
// "Warm" shares one font set, as the designer does; "Cold" reads the fonts
// anew each time, as one run of the command line does.
#include <memory>
#include <string>

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "check/layoutcheck.h"
#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "platform/fonts.h"

using namespace tessaro;

namespace {

std::unique_ptr<model::Document> FullDesign() {
    auto doc = std::make_unique<model::Document>();
    doc->AppDir = TESSARO_PROGRAM_DIR;
    doc->DefaultFontSize = 14;
    for (int i = 0; i < model::kMaxEntries; ++i) {
        model::TPlugins& e = doc->Plugins[std::size_t(model::AddEntry(*doc, i % model::kKindCount))];
        e.Top = i * 5;
        e.Height = 5;
        if (i % 10 == 0) e.BgImage = i % 20 == 0 ? "WindowsMobile.JPG" : "absent.jpg";
    }
    return doc;
}

void BM_CheckWarm(benchmark::State& state) {
    auto doc = FullDesign();
    platform::FontSet fonts(doc->AppDir);
    const check::PictureSource pictures{doc->AppDir, {}};
    std::size_t found = check::CheckLayout(*doc, pictures, fonts).size();
    for (auto _ : state) {
        auto findings = check::CheckLayout(*doc, pictures, fonts);
        found = findings.size();
        benchmark::DoNotOptimize(findings.data());
    }
    state.counters["entries"] = model::CountEntries(*doc);
    state.counters["findings"] = double(found);
}
BENCHMARK(BM_CheckWarm)->Unit(benchmark::kMillisecond);

void BM_CheckCold(benchmark::State& state) {
    auto doc = FullDesign();
    const check::PictureSource pictures{doc->AppDir, {}};
    for (auto _ : state) {
        auto findings = check::CheckLayout(*doc, pictures);
        benchmark::DoNotOptimize(findings.data());
    }
    state.counters["entries"] = model::CountEntries(*doc);
}
BENCHMARK(BM_CheckCold)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
