// Building a theme cabinet end to end (layout, INF, the builder program,
// copy to the target) for a ten-entry theme with a background and an entry
// picture per entry. Target: well under 300 ms per build.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/document.h"
#include "package/cabinet.h"
#include "platform/bitmap.h"
#include "platform/picture.h"

namespace {

namespace fs = std::filesystem;
using namespace tessaro;

void Put(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

void BuildTenEntryTheme(benchmark::State& state) {
    std::string tmpl = (fs::temp_directory_path() / "tessaro-bench-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    const std::string dir = std::string(::mkdtemp(buf.data())) + "/";
    fs::copy_file(std::string(TESSARO_PROGRAM_DIR) + "Cabwizsp", dir + "Cabwizsp");

    model::Document doc;
    doc.AppDir = dir;
    Put(dir + "WindowsMobile.JPG", platform::EncodeJpeg(platform::Bitmap(176, 200, 0x336699), 100));
    const char* kinds[] = {"Icon Bar",         "Carrier/Sim",  "Clock",      "Calendar",
                           "Messaging Counts", "Missed Calls", "Owner Info", "Profile",
                           "All-Day Event",    "MRU"};
    int top = 0;
    for (int i = 0; i < 10; ++i) {
        auto& e = doc.Plugins[i];
        e.Used = 1;
        e.Name = kinds[i];
        e.Top = top;
        e.Height = 20;
        top += 20;
        e.BgImage = "entry" + std::to_string(i) + ".jpg";
        Put(dir + e.BgImage,
            platform::EncodeJpeg(platform::Bitmap(176, 20, 0x1000 * (i + 1)), 100));
        doc.ActivePluginsList.Lines.push_back(kinds[i]);
    }
    Put(dir + "iconbar.jpg", platform::EncodeJpeg(platform::Bitmap(176, 20, 0x00FF00), 100));

    const std::string target = dir + "out/Bench.cab";
    fs::create_directory(dir + "out");
    for (auto _ : state) {
        package::BuildCabinet(doc, target, target);
        benchmark::DoNotOptimize(fs::file_size(target));
    }
    state.counters["cab_bytes"] = static_cast<double>(fs::file_size(target));
    fs::remove_all(dir);
}

} // namespace

BENCHMARK(BuildTenEntryTheme)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
