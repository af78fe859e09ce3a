// Undo and redo as the designer runs them: one step back or forward on a
// 100-entry layout, with the preview redrawn from the restored design (the
// views' notification), and the memory that 100 steps on a full 1001-entry
// design hold, by the history's own accounting and by the heap's.
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <filesystem>

#include "model/catalogue.h"
#include "model/document.h"
#include "model/editing.h"
#include "model/panel.h"
#include "package/editor.h"
#include "package/project.h"
#include "preview/preview.h"

using namespace tessaro;
namespace fs = std::filesystem;

namespace {

// A program folder of our own: the undo store is written beside the pictures.
std::string ProgramFolder() {
    static const std::string dir = [] {
        const std::string d =
            (fs::temp_directory_path() / ("tessaro-bench-undo-" + std::to_string(::getpid())))
                .string() +
            "/";
        fs::remove_all(d);
        fs::copy(TESSARO_PROGRAM_DIR, d, fs::copy_options::recursive);
        return d;
    }();
    return dir;
}

void Fill(model::Document& doc, int n) {
    const char* kinds[] = {"Icon Bar", "Carrier/Sim",  "Calendar",   "Messaging Counts",
                           "Clock",    "Missed Calls", "Owner Info", "Profile",
                           "MRU",      "Call Progress"};
    model::Panel panel;
    for (int i = 0; i < n; ++i) {
        model::AddEntry(doc, panel, model::KindIndex(kinds[i % 10]));
        model::ClosePanel(doc, panel);
    }
}

void BM_UndoRedoWithRedraw(benchmark::State& state) {
    model::Document doc;
    package::StartDocument(doc, ProgramFolder());
    Fill(doc, 100);
    preview::Preview view(doc);
    package::Editor editor(doc);
    editor.AddListener([&](const package::EditEvent& e) {
        if (e.Changed)
            view.Draw();
        editor.RefreshPictures();
    });
    view.DrawPlugins();
    for (int i = 0; i < 20; ++i)
        editor.Apply("Move Entry Up", [i](model::Document& d) { model::MoveEntryUp(d, 50 + i); });
    bool back = true;
    for (auto _ : state) {
        if (back ? !editor.Undo() : !editor.Redo())
            back = !back;
        benchmark::DoNotOptimize(view.Image1.Data());
    }
    state.counters["entries"] = model::CountEntries(doc);
}
BENCHMARK(BM_UndoRedoWithRedraw)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_HundredStepsOnAFullDesign(benchmark::State& state) {
    for (auto _ : state) {
        const std::size_t heapBefore = mallinfo2().uordblks;
        {
            model::Document doc;
            package::StartDocument(doc, ProgramFolder());
            for (int i = 0; i < model::kMaxEntries; ++i) {
                model::NewEntryValues v =
                    model::DefaultsFor(doc, i % 2 ? "Profile" : "Missed Calls");
                v.Height = 5;
                model::FillNewEntry(doc, i, i % 2 ? "Profile" : "Missed Calls", v);
            }
            const std::size_t heapDesign = mallinfo2().uordblks;
            package::Editor editor(doc);
            for (int i = 0; i < 100; ++i) {
                // Alternating kinds of steps: moves, a text, the split lines.
                editor.Apply("step", [i](model::Document& d) {
                    if (i % 3 == 0)
                        model::MoveEntryUp(d, 1 + i * 7);
                    else if (i % 3 == 1)
                        d.Plugins[std::size_t(i * 9)].Items[0].Text = "Edited " + std::to_string(i);
                    else
                        d.SplitLines = 1 - d.SplitLines;
                });
            }
            state.counters["steps"] = editor.StepCount();
            state.counters["history_MB"] = double(editor.MemoryUsed()) / (1 << 20);
            state.counters["heap_MB"] = double(mallinfo2().uordblks - heapDesign) / (1 << 20);
        }
        benchmark::DoNotOptimize(heapBefore);
    }
}
BENCHMARK(BM_HundredStepsOnAFullDesign)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(ProgramFolder());
    return 0;
}
