// Runtime windows on the scripted face: opening a prompt of 20 items (and cancelling it),
// opening a screen window of 80 fields, and one keystroke in a field.
#include <benchmark/benchmark.h>

#include <string>

#include "masks/cell_fonts.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/ui/win_basics.h"
#include "screens/prompt_dialog.h"
#include "screens/screen_windows.h"
#include "screens_bench.h"

namespace vodarir {
namespace {

namespace act = platform::act;

// A runtime on a scripted face whose transcript is not kept growing between runs.
struct Runtime {
    platform::ScriptedUi ui;
    Runtime() {
        platform::SetUi(&ui);
        PoolConfigure(256, kKeepValue, kKeepValue);
        RuntimeStart(nullptr, TextView("vodarir"), RuntimeInit);
        SetCellFont(16, 8, 0, TextView(""));
    }
    ~Runtime() {
        ScreensReset();
        WinStackReset();
        CellFontsReset();
        SlotStoreShutdown();
        platform::SetUi(nullptr);
    }
};

void BM_ScriptedPromptOf20(benchmark::State& state) {
    Runtime rt;
    const std::string spec = bench::PromptOf20();
    for (auto _ : state) {
        rt.ui.queueModal("", {act::Key(2000, platform::vk::Escape)});
        const PromptResult r = RunPrompt(TextView(spec), TextView("Datos"), 0);
        benchmark::DoNotOptimize(r.status);
    }
}
BENCHMARK(BM_ScriptedPromptOf20);

void BM_ScriptedScreenOf80(benchmark::State& state) {
    Runtime rt;
    const std::string def = bench::ScreenOf80();
    for (auto _ : state) {
        std::uint16_t screen = 0;
        OpenScreen(80, TextView(def), TextView(""), 0, &screen);
        OpenScreenWindow(2, 0, TextView("Datos"), nullptr);
        ScreenSetWin(0);
        WinShowTop();
        CloseScreen(screen);
    }
}
BENCHMARK(BM_ScriptedScreenOf80);

void BM_ScriptedKeystrokeInAField(benchmark::State& state) {
    Runtime rt;
    const std::string def = bench::ScreenOf80();
    OpenScreen(80, TextView(def), TextView(""), 0, nullptr);
    OpenScreenWindow(2, 0, TextView("Datos"), nullptr);
    ScreenSetWin(0);
    WinShowTop();
    const platform::WindowId w = CurrentNativeWindow();
    rt.ui.setFocus(w, 2001);
    for (auto _ : state) {
        rt.ui.key(w, 2001, 'A');
        rt.ui.key(w, 2001, platform::vk::Back);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ScriptedKeystrokeInAField);

} // namespace
} // namespace vodarir
