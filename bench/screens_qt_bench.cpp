// Runtime windows on the real Qt face (offscreen): from the call to the window shown and taking
// input, for a prompt of 20 items and a screen window of 80 fields; one keystroke in a field.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "masks/cell_fonts.h"
#include "platform/qt/qt_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/ui/win_basics.h"
#include "screens/prompt_dialog.h"
#include "screens/screen_windows.h"
#include "screens_bench.h"

// Qt's headers last: they define "slots" as a word of their own.
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace vodarir {
namespace {

using Clock = std::chrono::steady_clock;

// What a closed window leaves for the event loop, its widgets deleted later, done now: a loop
// that never returns to the top level would keep them all.
void Settle() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Runtime {
    platform::QtUi ui;
    Runtime() {
        platform::SetUi(&ui);
        PoolConfigure(256, kKeepValue, kKeepValue);
        RuntimeStart(nullptr, TextView("vodarir"), RuntimeInit);
    }
    ~Runtime() {
        ScreensReset();
        WinStackReset();
        CellFontsReset();
        SlotStoreShutdown();
        platform::SetUi(nullptr);
    }
};

// From the call until the dialog's loop runs with the window shown (the first event the loop
// delivers), then Escape closes it outside the timing.
void BM_QtPromptOf20(benchmark::State& state) {
    Runtime rt;
    const std::string spec = bench::PromptOf20();
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        Clock::time_point shown;
        QTimer::singleShot(0, [&] {
            shown = Clock::now();
            QWidget* target = QApplication::focusWidget();
            if (target == nullptr) target = rt.ui.windowWidget(WinTop());
            QTest::keyClick(target, Qt::Key_Escape);
        });
        RunPrompt(TextView(spec), TextView("Datos"), 0);
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
        Settle();
    }
}
BENCHMARK(BM_QtPromptOf20)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_QtScreenOf80(benchmark::State& state) {
    Runtime rt;
    const std::string def = bench::ScreenOf80();
    for (auto _ : state) {
        std::uint16_t screen = 0;
        OpenScreen(80, TextView(def), TextView(""), 0, &screen);
        OpenScreenWindow(2, 0, TextView("Datos"), nullptr);
        ScreenSetWin(0);
        WinShowTop();
        QApplication::processEvents();
        state.PauseTiming();
        CloseScreen(screen);
        Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QtScreenOf80)->Unit(benchmark::kMillisecond);

void BM_QtKeystrokeInAField(benchmark::State& state) {
    Runtime rt;
    const std::string def = bench::ScreenOf80();
    OpenScreen(80, TextView(def), TextView(""), 0, nullptr);
    OpenScreenWindow(2, 0, TextView("Datos"), nullptr);
    ScreenSetWin(0);
    WinShowTop();
    const platform::WindowId w = CurrentNativeWindow();
    rt.ui.setFocus(w, 2001);
    QWidget* field = rt.ui.controlWidget(w, 2001);
    for (auto _ : state) {
        QTest::keyClick(field, Qt::Key_A);
        QTest::keyClick(field, Qt::Key_Backspace);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_QtKeystrokeInAField)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vodarir

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
