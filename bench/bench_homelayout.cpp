// The home layout writer on a full 1001-entry layout.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "formats/homelayout.h"
#include "model/catalogue.h"
#include "model/editing.h"

using namespace tessaro;

namespace {

model::Document FullLayout() {
    model::Document doc;
    doc.DefaultSelWeight = "bold";
    int top = 0;
    for (int i = 0; i < model::kMaxEntries; ++i) {
        const char* kind = model::Catalogue()[i % model::kKindCount].Name;
        model::NewEntryValues v = model::DefaultsFor(doc, kind);
        v.Height = 5;
        v.Top = top + (i % 10 == 9 ? 1 : 0); // a spacer now and then
        v.Texts[0] = "\xCF\xF0\xE8\xE2\xE5\xF2 label";
        model::FillNewEntry(doc, i, kind, v);
        top = v.Top + v.Height;
    }
    return doc;
}

void BM_BuildHomeLayout(benchmark::State& state) {
    model::Document doc = FullLayout();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string xml = formats::BuildHomeLayout(doc, "Bench.home.xml");
        bytes = xml.size();
        benchmark::DoNotOptimize(xml.data());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_BuildHomeLayout)->Unit(benchmark::kMillisecond);

void BM_WriteHomeLayout(benchmark::State& state) {
    model::Document doc = FullLayout();
    auto dir = std::filesystem::temp_directory_path() / ("tessaro-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    doc.AppDir = dir.string() + "/";
    for (auto _ : state) formats::WriteHomeLayout(doc, "Bench.home.xml");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WriteHomeLayout)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
