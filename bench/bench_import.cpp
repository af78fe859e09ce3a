// Importing a full 1001-entry home layout: the parse alone, and the whole
// import from a file (pictures beside it).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "formats/homelayout.h"
#include "model/catalogue.h"
#include "model/editing.h"
#include "package/import.h"
#include "package/layoutimport.h"
#include "platform/picture.h"

using namespace tessaro;

namespace {

std::string FullLayoutFile() {
    model::Document doc;
    doc.BGI = "back.jpg";
    int top = 0;
    for (int i = 0; i < model::kMaxEntries; ++i) {
        const char* kind = model::Catalogue()[std::size_t(i % model::kKindCount)].Name;
        model::NewEntryValues v = model::DefaultsFor(doc, kind);
        v.Height = model::Catalogue()[std::size_t(i % model::kKindCount)].FixedHeight ? 20 : 3;
        v.Top = top + (i % 10 == 9 ? 1 : 0); // a spacer now and then
        v.Texts[0] = "\xCF\xF0\xE8\xE2\xE5\xF2 \xAB label\xBB";
        model::FillNewEntry(doc, i, kind, v);
        top = v.Top + v.Height;
    }
    return formats::BuildHomeLayout(doc, "Bench.home.xml");
}

void BM_ReadHomeLayout(benchmark::State& state) {
    const std::string file = FullLayoutFile();
    for (auto _ : state) {
        package::ParsedLayout parsed = package::ReadHomeLayout(file);
        benchmark::DoNotOptimize(parsed.Theme.Plugins.data());
    }
    state.counters["bytes"] = double(file.size());
}
BENCHMARK(BM_ReadHomeLayout)->Unit(benchmark::kMillisecond);

void BM_ImportTheme(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tessaro-bench-import-" + std::to_string(::getpid()));
    fs::create_directories(dir / "app");
    std::ofstream(dir / "Bench.home.xml", std::ios::binary) << FullLayoutFile();
    std::ofstream(dir / "back.jpg", std::ios::binary) << platform::EncodeJpeg(platform::Bitmap(176, 200), 90);
    std::ofstream(dir / "iconbar.jpg", std::ios::binary) << platform::EncodeJpeg(platform::Bitmap(176, 20), 90);
    for (auto _ : state) {
        package::ImportResult r = package::ImportTheme((dir / "Bench.home.xml").string(), (dir / "app").string());
        benchmark::DoNotOptimize(r.theme.Plugins.data());
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_ImportTheme)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
