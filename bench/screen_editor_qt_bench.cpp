// A keystroke in an 80-field 24 x 80 screen on the real Qt face (offscreen): the key delivered to
// edit 2500 as the keyboard delivers it, Qt's own editing, and the screen editor's text change
// with its status line, through the face's cp1252 conversion.
#include <benchmark/benchmark.h>

#include <string>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer/screen_editor.h"
#include "designer/screen_files.h"
#include "platform/qt/qt_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "screen_editor_bench.h"

// Qt's headers last: they define "slots" as a word of their own.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

namespace vodarir {
namespace {

// The main dialog's routing of edit 2500 to the screen editor, and nothing else.
class ScreenDialog final : public platform::WindowEvents {
public:
    platform::WindowId window = platform::kNoWindow;
    void onCommand(platform::ControlId id, int notification) override {
        if (id != designerctl::kEdit) return;
        const KindEditorHooks& editor = ScreenEditorActions();
        if (notification == platform::notify::EnChange) editor.textChanged(window);
        if (notification == platform::notify::EnSelChange) editor.caretMoved(window);
    }
};

void BM_QtScreenKeystroke80Fields(benchmark::State& state) {
    platform::QtUi ui;
    platform::SetUi(&ui);
    PoolConfigure(256, kKeepValue, kKeepValue);
    RuntimeStart(nullptr, TextView("vodarir"), RuntimeInit);
    DesignerStateClear();
    InstallKindEditor(editorkind::kScreen, ScreenEditorActions());
    ScreenDialog events;
    platform::WindowSpec spec;
    spec.name = "Dialog";
    spec.frame = {0, 0, 800, 600};
    events.window = ui.createWindow(spec, &events);
    OpenEditor(events.window, editorkind::kScreen, stepflag::kLayout, TextRef());
    ScreenModel model;
    model.text = bench::EightyFieldScreen();
    model.fields.resize(80);
    DerivePositions(model);
    SetCurrentScreen(events.window, model);
    ui.showWindow(events.window, true);
    auto* edit = static_cast<QPlainTextEdit*>(ui.controlWidget(events.window, designerctl::kEdit));
    edit->setFocus();
    QTextCursor caret = edit->textCursor();
    caret.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(caret);
    for (auto _ : state) {
        QTest::keyClick(edit, Qt::Key_X);
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    state.SetItemsProcessed(state.iterations() * 2);
    ui.destroyWindow(events.window);
    SlotStoreShutdown();
    platform::SetUi(nullptr);
}
BENCHMARK(BM_QtScreenKeystroke80Fields);

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
