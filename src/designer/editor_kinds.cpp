// The table of the kinds of definition, and the actions of the kinds whose editors are built in.
#include "designer/editor_kinds.h"

#include "designer/app_selector.h"
#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "designer/screen_editor.h"
#include "designer/structure_editor.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "reports/report_commands.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

using platform::WindowId;
using namespace stepflag;

constexpr unsigned kDialogTypeMask = 0x3F;
constexpr unsigned kDialogFlagsMask = 0xC0;

platform::Ui& Ui() { return platform::CurrentUi(); }

// ---- Documents and scripts ----------------------------------------------------------------------

// Empties a document or script, in the edit (when shown) and in its parked copy.
void ClearText(WindowId dialog, EditorKind kind) {
    SetParkedText(kind, std::string());
    if (Designer().builtKind == kind) Ui().setText(dialog, designerctl::kEdit, {});
}

template <EditorKind Kind> NewResult NewText(WindowId dialog, Discard* answer, StatusCode*) {
    *answer = ConfirmDiscard(*answer);
    if (!Discards(*answer)) return NewResult::Kept;
    ClearText(dialog, Kind);
    // The new text has no file yet: a Save must ask for one, not write over the last.
    SetDesignerSlot(KindRow(Kind)->slot, TextRef());
    if (Kind == editorkind::kDocument) Designer().documentLinesNotKept.clear();
    MarkModified(markop::kClear);
    return NewResult::Done;
}

StatusCode LoadDocumentNamed(WindowId dialog, TextRef name) {
    ScratchScope scope;
    return LoadDocument(dialog, WithKindExtension(BasePath(name), extension::kDocument));
}

StatusCode LoadScriptNamed(WindowId dialog, TextRef name) {
    ScratchScope scope;
    return LoadScript(dialog, WithKindExtension(BasePath(name), extension::kScript));
}

void DocumentChanged(WindowId dialog) {
    MarkModified(markop::kMark);
    DocumentTextChanged(dialog);
}

void ScriptChanged(WindowId) { MarkModified(markop::kMark); }

void DocumentSaved() { Designer().documentLinesNotKept.clear(); } // agreed once, and done

// ---- Reports ------------------------------------------------------------------------------------

void StructureReport(WindowId) {
    StructureReportCommand(DesignerSlot(designerslot::kStructureBase));
}

void ScreenReport(WindowId) {
    ScreenReportCommand(DesignerSlot(designerslot::kScreenBase), Designer().screenNumber);
}

// ---- The table ----------------------------------------------------------------------------------

// An editor's actions with the kind's report command, which the reports provide.
KindEditorHooks WithReport(KindEditorHooks hooks, void (*report)(WindowId)) {
    hooks.report = report;
    return hooks;
}

constexpr KindEditorHooks kDocumentActions = [] {
    KindEditorHooks h;
    h.load = LoadDocumentNamed;
    h.loaded = NoteDocumentLinesNotKept;
    h.startNew = NewText<editorkind::kDocument>;
    h.beforeSave = ConfirmDocumentLinesNotKept;
    h.write = SaveDocument;
    h.saved = DocumentSaved;
    h.textChanged = DocumentChanged;
    return h;
}();
constexpr KindEditorHooks kScriptActions = [] {
    KindEditorHooks h;
    h.load = LoadScriptNamed;
    h.startNew = NewText<editorkind::kScript>;
    h.write = SaveScript;
    h.textChanged = ScriptChanged;
    return h;
}();
constexpr KindEditorHooks kAppListActions = [] {
    KindEditorHooks h;
    // A selection list named on the command line is shown in its selector at once.
    h.openedAtStart = AppSelectView;
    return h;
}();

constexpr std::uint16_t kView = kLayout;

std::array<EditorKindRow, 5> g_rows = {{
    {editorkind::kFileStructure,
     designerslot::kStructureBase,
     dialogtype::kStructure,
     kNewStructure,
     kLayout | kStoreName | kNewStructure,
     kLayout | kStoreName | kNewStructure | kLoad,
     {extension::kStructure, extension::kNone},
     {extension::kStructure, extension::kStructureAlt},
     Layout::Lists,
     true, // Save shows the lists first: the mark it clears and the backup are the structure's
     false,
     WithReport(StructureEditorActions(), StructureReport)},
    {editorkind::kScreen,
     designerslot::kScreenBase,
     dialogtype::kScreen,
     kNewScreen,
     kLayout | kStoreName | kWorkBase | kNewScreen,
     kLayout | kStoreName | kWorkBase | kLoad,
     {extension::kParameters, extension::kScreen},
     {extension::kParameters, extension::kScreen},
     Layout::ScreenEdit,
     true,
     true,
     WithReport(ScreenEditorActions(), ScreenReport)},
    {editorkind::kDocument,
     designerslot::kDocumentBase,
     dialogtype::kDocument,
     kNewDocument,
     kLayout | kNewDocument,
     kLayout | kStoreName | kLoad,
     {extension::kDocument, extension::kNone},
     {extension::kDocument, extension::kNone},
     Layout::TextEdit,
     true,
     false,
     kDocumentActions},
    {editorkind::kScript,
     designerslot::kScriptBase,
     dialogtype::kScript,
     kNewScript,
     kLayout | kNewScript,
     kLayout | kStoreName | kLoad,
     {extension::kScript, extension::kNone},
     {extension::kScript, extension::kNone},
     Layout::TextEdit,
     true,
     false,
     kScriptActions},
    {editorkind::kAppSelection,
     designerslot::kAppListBase,
     dialogtype::kAppList,
     0,
     kView,
     kLayout | kStoreName | kLoad,
     {extension::kNone, extension::kNone},
     {extension::kAppList, extension::kNone},
     Layout::Idle,
     false,
     false,
     kAppListActions},
}};

// The actions a kind starts with, and gets back when its installed ones are removed.
KindEditorHooks DefaultActions(EditorKind kind) {
    if (kind == editorkind::kScreen) return WithReport(ScreenEditorActions(), ScreenReport);
    return KindEditorHooks{};
}

const KindEditorHooks kNoHooks;

} // namespace

DialogRequest DialogTypeFromNumber(unsigned number) {
    DialogRequest request;
    request.type = static_cast<DialogType>(number & kDialogTypeMask);
    request.flags = static_cast<DialogFlags>(number & kDialogFlagsMask);
    return request;
}

std::span<const EditorKindRow> EditorKinds() { return g_rows; }

const EditorKindRow* KindRow(EditorKind kind) {
    for (const EditorKindRow& row : g_rows) {
        if (row.kind == kind) return &row;
    }
    return nullptr;
}

EditorKind KindOfExtension(std::uint16_t extension) {
    if (extension == extension::kNone) return editorkind::kNone;
    for (const EditorKindRow& row : g_rows) {
        for (const std::uint16_t e : row.openedExtensions) {
            if (e == extension) return row.kind;
        }
    }
    return editorkind::kNone;
}

void InstallKindEditor(EditorKind kind, const KindEditorHooks& hooks) {
    for (EditorKindRow& row : g_rows) {
        if (row.kind != kind || !row.installable) continue;
        const KindEditorHooks defaults = DefaultActions(kind);
        row.actions = hooks;
        // The steps the dispatcher has always done for the kind stay when the editor brings none.
        if (row.actions.load == nullptr) row.actions.load = defaults.load;
        if (row.actions.startNew == nullptr) row.actions.startNew = defaults.startNew;
        if (row.actions.report == nullptr) row.actions.report = defaults.report;
    }
}

const KindEditorHooks& KindEditor(EditorKind kind) {
    const EditorKindRow* row = KindRow(kind);
    return row != nullptr ? row->actions : kNoHooks;
}

bool KindAvailable(EditorKind kind) {
    const EditorKindRow* row = KindRow(kind);
    if (row == nullptr) return false;
    if (!row->installable) return true;
    const KindEditorHooks& h = row->actions;
    return h.write != nullptr && (h.load != nullptr || h.shown != nullptr);
}

} // namespace vodarir
