// One full preview pass, side by side with its codec floor (the JPEG decodes
// and encodes the pass must do, with libjpeg alone), on the build tree's disk:
// (a) a typical 10-entry layout with an advanced icon bar and an advanced
// clock face, (b) 1001 entries of which 100 are (Normal) icon bars.
#include <filesystem>
#include <memory>
#include <string>

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "preview/preview.h"
#include "bench_support.h"

using namespace tessaro;

namespace {

int Line(const char* kind) {
    for (int i = 0; i < model::kKindCount; ++i)
        if (std::string(model::Catalogue()[std::size_t(i)].Name) == kind) return i;
    return -1;
}

std::unique_ptr<model::Document> NewDoc() {
    auto doc = std::make_unique<model::Document>();
    static const std::string dir = bench::WorkFolder("preview");
    doc->AppDir = dir;
    for (int i = 0; i < model::kSchemeSize; ++i) doc->Scheme[std::size_t(i)] = 0x00406080u + i;
    return doc;
}

model::TPlugins& Add(model::Document& doc, const char* kind, int top, int height) {
    model::TPlugins& e = doc.Plugins[std::size_t(model::AddEntry(doc, Line(kind)))];
    e.Top = top;
    e.Height = height;
    return e;
}

// The typical layout: 10 entries, an Advanced icon bar, an Advanced clock
// face.
std::unique_ptr<model::Document> TypicalDoc() {
    auto doc = NewDoc();
    Add(*doc, "Icon Bar", 0, 20).Items[0].X = 1;
    Add(*doc, "Carrier/Sim", 20, 20);
    model::TPlugins& clock = Add(*doc, "AnalogClock", 40, 60);
    clock.Items[0].Y = 1;
    clock.Items[2].X = 2;
    Add(*doc, "Clock", 100, 20);
    Add(*doc, "Calendar", 120, 20);
    Add(*doc, "Messaging Counts", 140, 20);
    Add(*doc, "Missed Calls", 160, 10);
    Add(*doc, "Profile", 170, 10);
    Add(*doc, "MRU", 180, 10);
    Add(*doc, "WMPlayer", 190, 10);
    return doc;
}

// The typical pass's floor, from the pictures a first pass wrote: the
// background decoded for the pass and again for the clock, the bar encoded
// and decoded back (advanced), the background with the face burned in
// encoded.
struct TypicalFloor {
    std::string Background;
    bench::Rgb Bar, Burned;
    explicit TypicalFloor(const model::Document& doc)
        : Background(bench::ReadAll(doc.AppDir + doc.BackgroundImage)),
          Bar(bench::Decode(bench::ReadAll(doc.AppDir + "iconbar.jpg"))),
          Burned(bench::Decode(bench::ReadAll(doc.AppDir + "BackGroundImage with Analog Plugin.jpg"))) {}
    void operator()() const {
        benchmark::DoNotOptimize(bench::Decode(Background));
        benchmark::DoNotOptimize(bench::Decode(bench::Encode(Bar, 100)));
        benchmark::DoNotOptimize(bench::Decode(Background));
        benchmark::DoNotOptimize(bench::Encode(Burned, 100));
    }
};

void BM_TypicalLayout(benchmark::State& state) {
    auto doc = TypicalDoc();
    preview::Preview view(*doc);
    view.DrawPlugins(); // fonts and glyphs loaded once, as in the designer
    const TypicalFloor floor(*doc);
    bench::SideBySide(
        state,
        [&] {
            view.DrawPlugins();
            benchmark::DoNotOptimize(view.Image1.Data());
        },
        floor);
}
BENCHMARK(BM_TypicalLayout)->Unit(benchmark::kMillisecond)->UseManualTime();

// The same layout with the bar's and the face's colours changing on every
// pass, so both work files are written each time (in place).
void BM_TypicalLayoutFilesChanging(benchmark::State& state) {
    auto doc = TypicalDoc();
    preview::Preview view(*doc);
    view.DrawPlugins();
    const TypicalFloor floor(*doc);
    unsigned n = 0;
    bench::SideBySide(
        state,
        [&] {
            ++n;
            doc->Scheme[preview::COLOR_TRAY1] = 0x00204060u + (n & 63);
            doc->Plugins[2].BgColor = 0x00604020u + (n & 63);
            view.DrawPlugins();
            benchmark::DoNotOptimize(view.Image1.Data());
        },
        floor);
}
BENCHMARK(BM_TypicalLayoutFilesChanging)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_ThousandAndOneEntries(benchmark::State& state) {
    auto doc = NewDoc();
    const char* kinds[] = {"Profile", "Owner Info", "Messaging Counts", "Calendar", "Clock", "Missed Calls"};
    for (int i = 0; i < model::kMaxEntries; ++i) Add(*doc, i % 10 == 0 && i < 1000 ? "Icon Bar" : kinds[i % 6], i * 5, 5);
    preview::Preview view(*doc);
    view.DrawPlugins();
    const std::string background = bench::ReadAll(doc->AppDir + doc->BackgroundImage);
    const bench::Rgb bar = bench::Decode(bench::ReadAll(doc->AppDir + "iconbar.jpg"));
    bench::SideBySide(
        state,
        [&] {
            view.DrawPlugins();
            benchmark::DoNotOptimize(view.Image1.Data());
        },
        [&] {
            // The background for the pass; each Normal bar encoded once.
            benchmark::DoNotOptimize(bench::Decode(background));
            for (int i = 0; i < 100; ++i) benchmark::DoNotOptimize(bench::Encode(bar, 100));
        });
    state.counters["entries"] = model::CountEntries(*doc);
}
BENCHMARK(BM_ThousandAndOneEntries)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
