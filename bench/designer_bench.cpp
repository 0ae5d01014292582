// The designer's editors on the scripted face: loading and saving a 60 KB script, the
// text-change handling of edit 2500 (the Document Function Selector's check) on a 16 KB document,
// and the file-structure editor on a full dictionary (30 files, 60 fields each but the last).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "designer/designer_state.h"
#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "designer/structure_editor.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "structure_bench.h"

namespace vodarir {
namespace {

constexpr std::size_t kScriptBytes = 60 * 1024;
constexpr std::size_t kDocumentBytes = 16 * 1024;

// A script of realistic lines, `bytes` long.
std::string ScriptText(std::size_t bytes) {
    const std::string line = "   IMPORTE{lineas}=CANTIDAD{lineas}*PRECIO{lineas}\xf7"
                             "DTO{lineas};\r\n";
    std::string text;
    while (text.size() + line.size() <= bytes) text += line;
    text.append(bytes - text.size(), ';');
    return text;
}

// The runtime as the designer starts it, the scripted face, a dialog and a work folder.
class DesignerBench {
public:
    DesignerBench() {
        char pattern[] = "/tmp/vodarir-bench-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        platform::SetUi(&ui_);
        PoolConfigure(256, kKeepValue, kKeepValue);
        const std::string line = folder_ + "/vodarir";
        RuntimeStart(nullptr, TextView(line), RuntimeInit);
        DesignerStateClear();
        platform::WindowSpec spec;
        spec.name = "Dialog";
        spec.frame = {0, 0, 800, 600};
        dialog_ = ui_.createWindow(spec, &events_);
    }
    ~DesignerBench() {
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

void BM_ScriptLoad60K(benchmark::State& state) {
    DesignerBench bench;
    const std::string path = bench.file("BIG.PRX");
    std::ofstream(path, std::ios::binary) << ScriptText(kScriptBytes);
    OpenEditor(bench.dialog(), editorkind::kScript, stepflag::kLayout, TextRef());
    for (auto _ : state) {
        const StatusCode st = LoadScript(bench.dialog(), TextView(path));
        benchmark::DoNotOptimize(st);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kScriptBytes));
}
BENCHMARK(BM_ScriptLoad60K);

void BM_ScriptSave60K(benchmark::State& state) {
    DesignerBench bench;
    OpenEditor(bench.dialog(), editorkind::kScript, stepflag::kLayout, TextRef());
    bench.ui().setText(bench.dialog(), designerctl::kEdit, ScriptText(kScriptBytes));
    const std::string base = bench.file("BIG");
    for (auto _ : state) {
        const StatusCode st = SaveScript(bench.dialog(), TextView(base));
        benchmark::DoNotOptimize(st);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kScriptBytes));
}
BENCHMARK(BM_ScriptSave60K);

// What the dialog does on every keystroke in a document: mark it modified and look for a bar just
// before the caret (here none: ordinary typing).
void BM_DocumentTextChange16K(benchmark::State& state) {
    DesignerBench bench;
    OpenEditor(bench.dialog(), editorkind::kDocument, stepflag::kLayout, TextRef());
    bench.ui().setText(bench.dialog(), designerctl::kEdit, ScriptText(kDocumentBytes));
    bench.ui().setEditSelection(bench.dialog(), designerctl::kEdit, kDocumentBytes / 2, 0);
    for (auto _ : state) {
        MarkModified(markop::kMark);
        DocumentTextChanged(bench.dialog());
    }
}
BENCHMARK(BM_DocumentTextChange16K);

void BM_DocumentSave16K(benchmark::State& state) {
    DesignerBench bench;
    OpenEditor(bench.dialog(), editorkind::kDocument, stepflag::kLayout, TextRef());
    std::string text;
    for (int row = 0; row < 99; ++row) text += "   |######|  Cliente \xbb  |####.##|\r\n";
    text.resize(kDocumentBytes / 4);
    bench.ui().setText(bench.dialog(), designerctl::kEdit, text);
    const std::string base = bench.file("DOC");
    for (auto _ : state) {
        const StatusCode st = SaveDocument(bench.dialog(), TextView(base));
        benchmark::DoNotOptimize(st);
    }
}
BENCHMARK(BM_DocumentSave16K);

// One change of the structure and its undo, each a whole command: the structure file edited, the
// model rebuilt from it, and both lists built again.
void BM_StructureChangeAndUndo(benchmark::State& state) {
    DesignerBench bench;
    WriteFullStructure(bench.file(""));
    // A structure is read from the current folder, as File > Open leaves it.
    if (::chdir(bench.file("").c_str()) != 0) state.SkipWithError("no work folder");
    OpenEditor(bench.dialog(), editorkind::kFileStructure, kOpenStructureSteps,
               TextView(bench.file("BEDICC.DAT")));
    const KindEditorHooks& editor = KindEditor(editorkind::kFileStructure);
    for (auto _ : state) {
        bench.ui().selectListRow(bench.dialog(), designerctl::kFieldList, 0);
        editor.key(bench.dialog(), designerctl::kFieldList, platform::vk::Delete, 0);
        editor.key(bench.dialog(), designerctl::kFieldList, 'Z', platform::kModControl);
    }
}
BENCHMARK(BM_StructureChangeAndUndo)->Unit(benchmark::kMicrosecond);

// Both lists built again from the model, as every change ends.
void BM_StructureListsRebuild(benchmark::State& state) {
    DesignerBench bench;
    WriteFullStructure(bench.file(""));
    // A structure is read from the current folder, as File > Open leaves it.
    if (::chdir(bench.file("").c_str()) != 0) state.SkipWithError("no work folder");
    OpenEditor(bench.dialog(), editorkind::kFileStructure, kOpenStructureSteps,
               TextView(bench.file("BEDICC.DAT")));
    for (auto _ : state) {
        FillLists(bench.dialog(), ListMode::Files);
        FillLists(bench.dialog(), ListMode::Fields);
    }
}
BENCHMARK(BM_StructureListsRebuild)->Unit(benchmark::kMicrosecond);

// Writing the full structure file (beside the old one, flushed, renamed over it).
void BM_StructureSave(benchmark::State& state) {
    DesignerBench bench;
    WriteFullStructure(bench.file(""));
    // A structure is read from the current folder, as File > Open leaves it.
    if (::chdir(bench.file("").c_str()) != 0) state.SkipWithError("no work folder");
    OpenEditor(bench.dialog(), editorkind::kFileStructure, kOpenStructureSteps,
               TextView(bench.file("BEDICC.DAT")));
    const KindEditorHooks& editor = KindEditor(editorkind::kFileStructure);
    const std::string base = bench.file("BEDICC");
    for (auto _ : state) {
        const StatusCode st = editor.write(bench.dialog(), TextView(base));
        benchmark::DoNotOptimize(st);
    }
}
BENCHMARK(BM_StructureSave)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vodarir
