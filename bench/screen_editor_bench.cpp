// The screen editor on the scripted face: a keystroke in an 80-field 24 x 80 screen (the text
// change: the texts compared, the field table kept on the bars, positions worked out again, the
// undo state, the status line), and the store and load of a screen in a 60 KB screen file.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer/screen_editor.h"
#include "designer/screen_files.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "screen_editor_bench.h"

namespace vodarir {
namespace {

class ScreenBench {
public:
    ScreenBench() {
        char pattern[] = "/tmp/vodarir-bench-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        ::setenv("TEMP", folder_.c_str(), 1);
        platform::SetUi(&ui_);
        PoolConfigure(256, kKeepValue, kKeepValue);
        const std::string line = folder_ + "/vodarir";
        RuntimeStart(nullptr, TextView(line), RuntimeInit);
        DesignerStateClear();
        InstallKindEditor(editorkind::kScreen, ScreenEditorActions());
        platform::WindowSpec spec;
        spec.name = "Dialog";
        spec.frame = {0, 0, 800, 600};
        dialog_ = ui_.createWindow(spec, &events_);
        OpenEditor(dialog_, editorkind::kScreen, stepflag::kLayout, TextRef());
    }
    ~ScreenBench() {
        ui_.destroyWindow(dialog_);
        SlotStoreShutdown();
        platform::SetUi(nullptr);
        std::filesystem::remove_all(folder_);
    }
    platform::WindowId dialog() const { return dialog_; }
    platform::ScriptedUi& ui() { return ui_; }
    std::string file(const char* name) const { return folder_ + "/" + name; }

private:
    std::string folder_;
    platform::ScriptedUi ui_;
    platform::WindowEvents events_;
    platform::WindowId dialog_ = platform::kNoWindow;
};

// One character typed in the middle of the screen, then taken away again: two keystrokes an
// iteration, each as the edit reports it.
void BM_ScreenKeystroke80Fields(benchmark::State& state) {
    ScreenBench bench;
    const std::string text = bench::EightyFieldScreen();
    ScreenModel model;
    model.text = text;
    model.fields.resize(80);
    DerivePositions(model);
    SetCurrentScreen(bench.dialog(), model);
    std::string typed = text;
    const std::size_t at = text.size() / 2;
    typed.insert(at, 1, 'x');
    const KindEditorHooks& editor = ScreenEditorActions();
    for (auto _ : state) {
        bench.ui().setText(bench.dialog(), designerctl::kEdit, typed);
        bench.ui().setEditSelection(bench.dialog(), designerctl::kEdit, static_cast<int>(at) + 1,
                                    0);
        editor.textChanged(bench.dialog());
        bench.ui().setText(bench.dialog(), designerctl::kEdit, text);
        bench.ui().setEditSelection(bench.dialog(), designerctl::kEdit, static_cast<int>(at), 0);
        editor.textChanged(bench.dialog());
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ScreenKeystroke80Fields);

// A screen file of 19 screens (about 60 KB) open on its screen 8.
void OpenSixtyK(ScreenBench& bench, std::size_t* bytes) {
    const std::string pan = bench::ScreenFile(19);
    *bytes = pan.size();
    std::ofstream(bench.file("GRANDE.PAN"), std::ios::binary) << pan;
    SetDesignerSlot(designerslot::kScreenBase, TextView(bench.file("GRANDE")));
    LoadScreen(bench.dialog(), ScreenSource::File);
    Designer().screenNumber = 8;
    LoadScreen(bench.dialog(), ScreenSource::WorkFiles);
}

// Screen 8 stored into the work files: its records, and the work file rewritten beside itself,
// synced and put in place.
void BM_ScreenStore60K(benchmark::State& state) {
    ScreenBench bench;
    std::size_t bytes = 0;
    OpenSixtyK(bench, &bytes);
    for (auto _ : state) benchmark::DoNotOptimize(StoreScreen(StoreMode::WorkFiles));
    state.counters["file bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ScreenStore60K);

// Screen 8 loaded from the work files: the file read line by line, the screen's records made
// into its text and field table.
void BM_ScreenLoad60K(benchmark::State& state) {
    ScreenBench bench;
    std::size_t bytes = 0;
    OpenSixtyK(bench, &bytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadScreen(bench.dialog(), ScreenSource::WorkFiles).status);
    }
    state.counters["file bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ScreenLoad60K);

} // namespace
} // namespace vodarir
