// The designer on the real Qt face (offscreen): what every keystroke in a 16 KB document costs,
// reading the edit's text back through the face's cp1252 conversion, and a change of a full
// structure with both of its lists built again.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "designer/designer_state.h"
#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "designer/structure_editor.h"
#include "platform/qt/qt_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "structure_bench.h"

// Qt's headers last: they define "slots" as a word of their own.
#include <QApplication>

namespace vodarir {
namespace {

constexpr std::size_t kDocumentBytes = 16 * 1024;

void BM_QtDocumentTextChange16K(benchmark::State& state) {
    platform::QtUi ui;
    platform::SetUi(&ui);
    PoolConfigure(256, kKeepValue, kKeepValue);
    RuntimeStart(nullptr, TextView("vodarir"), RuntimeInit);
    DesignerStateClear();
    platform::WindowEvents events;
    platform::WindowSpec spec;
    spec.name = "Dialog";
    spec.frame = {0, 0, 800, 600};
    const platform::WindowId dialog = ui.createWindow(spec, &events);
    OpenEditor(dialog, editorkind::kDocument, stepflag::kLayout, TextRef());
    std::string text;
    while (text.size() < kDocumentBytes)
        text += "   |######|  Cliente \xbb  |####.##|  \xa6Total\r\n";
    text.resize(kDocumentBytes);
    ui.setText(dialog, designerctl::kEdit, text);
    ui.setEditSelection(dialog, designerctl::kEdit, kDocumentBytes / 2, 0);
    for (auto _ : state) {
        MarkModified(markop::kMark);
        DocumentTextChanged(dialog);
    }
    ui.destroyWindow(dialog);
    SlotStoreShutdown();
    platform::SetUi(nullptr);
}
BENCHMARK(BM_QtDocumentTextChange16K);

// A change of the structure and its undo on the Qt face, each a whole command: the structure file
// edited, the model rebuilt, both list views destroyed and made again with every row.
void BM_QtStructureChangeAndUndo(benchmark::State& state) {
    platform::QtUi ui;
    platform::SetUi(&ui);
    PoolConfigure(256, kKeepValue, kKeepValue);
    RuntimeStart(nullptr, TextView("vodarir"), RuntimeInit);
    DesignerStateClear();
    std::string folder = (std::filesystem::temp_directory_path() / "vodarir-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr || ::chdir(folder.c_str()) != 0) {
        state.SkipWithError("no work folder");
        return;
    }
    WriteFullStructure(folder + "/");
    platform::WindowEvents events;
    platform::WindowSpec spec;
    spec.name = "Dialog";
    spec.frame = {0, 0, 800, 600};
    const platform::WindowId dialog = ui.createWindow(spec, &events);
    OpenEditor(dialog, editorkind::kFileStructure, kOpenStructureSteps,
               TextView(folder + "/BEDICC.DAT"));
    const KindEditorHooks& editor = KindEditor(editorkind::kFileStructure);
    for (auto _ : state) {
        ui.selectListRow(dialog, designerctl::kFieldList, 0);
        editor.key(dialog, designerctl::kFieldList, platform::vk::Delete, 0);
        editor.key(dialog, designerctl::kFieldList, 'Z', platform::kModControl);
        QApplication::processEvents(); // the widgets destroyed go, as the event loop lets them
    }
    ui.destroyWindow(dialog);
    SlotStoreShutdown();
    platform::SetUi(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_QtStructureChangeAndUndo)->Unit(benchmark::kMicrosecond);

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
