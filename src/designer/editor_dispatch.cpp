// The editor dispatcher: OpenEditor and its steps, the layouts, the titles, the file dialogs and
// the common save step with its backup copy.
#include "designer/editor_dispatch.h"

#include <array>
#include <vector>

#include "diagnostics/memory_report.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "host/unique_names.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"
#include "screens/list_views.h"

namespace vodarir {

namespace {

using namespace literals;
using platform::ControlId;
using platform::ControlKind;
using platform::ControlSpec;
using platform::WindowId;

constexpr char kTitles[] = "1001 %s File Structure (%s%s),%s Screen Design (%s #%s),"
                           "%s Document Design (%s%s),%s Script Edition (%s%s)";
constexpr char kNewName[] = "1006 New";
constexpr char kScreenButtons[] =
    "1005 Field Attributes,Screen Attributes,Previous Screen,Next Screen";
constexpr char kSaveAnyway[] = "1013 No data modified. Do you want to save anyway?";
constexpr char kReadOnlyFile[] =
    "1052 %s is read-only: it was not saved. Allow writing to it or save under another name.";
constexpr char kAllFiles[] = "0060";
constexpr char kWarningCaption[] = "0012";
constexpr SlotIndex kProductSlot = 3;
constexpr SlotIndex kAppNameSlot = 2;
constexpr std::uint16_t kAppPrefixLength = 2;
constexpr std::uint16_t kMaxFilterLength = 1024;
constexpr std::uint16_t kMaxMessageLength = 1024;
// The backup copy moves a file in blocks of this size.
constexpr std::uint16_t kBackupBlock = 12288;

platform::Ui& Ui() { return platform::CurrentUi(); }

// ---- Layouts ----------------------------------------------------------------------------------

bool CreateMainEdit(WindowId dialog, platform::Rect rect, std::string_view text) {
    ControlSpec spec;
    spec.kind = ControlKind::Edit;
    spec.id = designerctl::kEdit;
    spec.rect = rect;
    spec.style = platform::kTabStop | platform::kMultiLine | platform::kBorder |
                 platform::kWantReturn | platform::kScrollBars;
    if (!Ui().createControl(dialog, spec)) return false;
    Ui().setControlFont(dialog, designerctl::kEdit, platform::kFixedFont);
    Ui().setEditLimit(dialog, designerctl::kEdit, static_cast<int>(kMaxEditorText));
    Ui().setText(dialog, designerctl::kEdit, text);
    return true;
}

StatusCode CreateScreenLayout(WindowId dialog, platform::Size client) {
    ScratchScope scope;
    const TextRef captions = MsgText(kScreenButtons);
    for (ControlId id = designerctl::kFirstScreenButton; id <= designerctl::kLastScreenButton;
         ++id) {
        const int n = id - designerctl::kFirstScreenButton;
        ControlSpec spec;
        spec.kind = ControlKind::Button;
        spec.id = id;
        spec.rect = {n * kScreenButtonWidth, 0, kScreenButtonWidth, kScreenButtonHeight};
        spec.text = ListItem(captions, ',', static_cast<std::uint16_t>(n + 1)).view();
        spec.style = platform::kTabStop;
        if (!Ui().createControl(dialog, spec)) return status::kWindowsControl;
    }
    // The status line under the text: the caret's cell and the field under it.
    const int statusTop = std::max(kScreenEditTop, client.height - kScreenStatusHeight);
    ControlSpec line;
    line.kind = ControlKind::StaticText;
    line.id = designerctl::kScreenStatus;
    line.rect = {4, statusTop + 2, std::max(0, client.width - 8), kScreenStatusHeight - 4};
    if (!Ui().createControl(dialog, line)) return status::kWindowsControl;
    const platform::Rect rect{0, kScreenEditTop, client.width, statusTop - kScreenEditTop};
    const TextRef text = DesignerSlot(designerslot::kScreenText);
    return CreateMainEdit(dialog, rect, text.view()) ? status::kOk : status::kWindowsControl;
}

// The text editor of documents and scripts over the whole client area; the parked text moves
// into it (the edit holds the live text while its layout is shown).
StatusCode CreateTextLayout(WindowId dialog, platform::Size client, EditorKind kind) {
    const platform::Rect rect{0, 0, client.width, client.height};
    if (!CreateMainEdit(dialog, rect, ParkedText(kind))) return status::kWindowsControl;
    SetParkedText(kind, std::string());
    Ui().setFocus(dialog, designerctl::kEdit);
    return status::kOk;
}

// Keeps the text of the layout about to go. Its status (nothing destroyed yet) when it cannot be
// kept.
StatusCode KeepOldLayoutText(WindowId dialog, const EditorKindRow* built) {
    const Layout layout = built != nullptr ? built->layout : Layout::Idle;
    if (layout == Layout::Lists) {
        ListViewDestroy(kAllListViewSlots);
        return status::kOk;
    }
    if (layout != Layout::ScreenEdit && layout != Layout::TextEdit) return status::kOk;
    std::optional<std::string> text = EditorText(dialog);
    if (!text) return status::kOk;
    if (text->size() > kMaxEditorText) return status::kStringTooLong;
    if (layout == Layout::ScreenEdit) {
        return SetDesignerSlot(designerslot::kScreenText, TextView(*text));
    }
    SetParkedText(built->kind, std::move(*text));
    return status::kOk;
}

// ---- OpenEditor's steps -----------------------------------------------------------------------

void SetEditorTitle(WindowId dialog) {
    ScratchScope scope;
    const TextRef title = EditorTitle();
    const std::string_view shown = title.failed() ? std::string_view() : title.view();
    if (Ui().title(dialog) != shown) Ui().setTitle(dialog, shown);
}

// Once a definition is open: the title, and what its kind shows.
StatusCode ShowOpened(WindowId dialog, const EditorKindRow& row) {
    SetEditorTitle(dialog);
    if (row.layout == Layout::ScreenEdit) {
        // Only a text that differs is set: setting it moves the caret to the start.
        const std::string_view text = DesignerSlot(designerslot::kScreenText).view();
        if (Ui().text(dialog, designerctl::kEdit) != text) {
            Ui().setText(dialog, designerctl::kEdit, text);
        }
    }
    if (row.actions.shown != nullptr) return row.actions.shown(dialog);
    return status::kOk;
}

// ---- The file dialog's table --------------------------------------------------------------------

struct DialogTypeRow {
    DialogType type;
    const char* filterMessage;
    std::uint16_t extension;
    const char* fixedName; // after the prefix; null: the pattern is the initial name
};
constexpr std::array<DialogTypeRow, 9> kDialogTypes = {{
    {dialogtype::kStructure, "0061", extension::kStructureAlt, "DICC.DAT"},
    {dialogtype::kScreen, "0062", extension::kScreen, nullptr},
    {dialogtype::kDocument, "0063", extension::kDocument, nullptr},
    {dialogtype::kScript, "0064", extension::kScript, nullptr},
    {dialogtype::kAppList, "0065", extension::kAppList, nullptr},
    {dialogtype::kMenu, "0066", extension::kParameters, "MENU.PPN"},
    {dialogtype::kPdf, "0067", extension::kPdf, nullptr},
    {dialogtype::kText, "0068", extension::kText, nullptr},
    {dialogtype::kStructureAny, "0061", extension::kStructureAlt, nullptr},
}};

const DialogTypeRow* DialogTypeOf(DialogType type) {
    for (const DialogTypeRow& row : kDialogTypes) {
        if (row.type == type) return &row;
    }
    return nullptr;
}

// "description,pattern,description,pattern..." as the dialog's filters.
std::vector<platform::FileFilter> FiltersOf(TextRef list) {
    std::vector<platform::FileFilter> filters;
    const std::uint16_t count = ListCount(list, ',');
    for (std::uint16_t i = 1; i + 1 <= count; i += 2) {
        filters.push_back(
            {std::string(ListItem(list, ',', i).view()),
             std::string(ListItem(list, ',', static_cast<std::uint16_t>(i + 1)).view())});
    }
    return filters;
}

TextRef FilterList(const DialogTypeRow* row) {
    const TextRef all = TextFill(kMaxFilterLength, MsgText(kAllFiles), {"*.*"_t, "*.*"_t});
    if (row == nullptr) return all;
    const TextRef pattern = TextConcat("*."_t, ExtensionText(row->extension));
    const TextRef own = TextFill(kMaxFilterLength, MsgText(row->filterMessage), {pattern, pattern});
    return TextJoin(own, ","_t, all);
}

// ---- The backup copy ----------------------------------------------------------------------------

StatusCode CopyBlocks(FileNumber from, FileNumber to) {
    ScratchScope scope;
    char* buffer = ScratchAllocPtr(kBackupBlock, kNoFill);
    if (buffer == nullptr) return status::kOutOfMemory;
    const std::int64_t size = FileSize(from);
    for (std::int64_t done = 0; done < size;) {
        const std::uint16_t want =
            static_cast<std::uint16_t>(std::min<std::int64_t>(kBackupBlock, size - done));
        const std::uint16_t got = FileRead(from, done, want, buffer, kBackupBlock);
        if (got != want) return status::kRead;
        if (FileWrite(to, kCurrentPosition, TextRef(buffer, got)) != got) return status::kFileIo;
        done += got;
    }
    return status::kOk;
}

// The extensions of the files a save of the built layout's kind replaces.
std::array<std::uint16_t, 2> SavedExtensions() {
    const EditorKindRow* row = KindRow(Designer().builtKind);
    return row != nullptr ? row->savedExtensions : std::array<std::uint16_t, 2>{};
}

// Backs up the files a save is about to replace: those of the target, which is not the file being
// edited when the user saves under another name.
StatusCode SaveBackups(TextRef target) {
    for (const std::uint16_t ext : SavedExtensions()) {
        if (ext == extension::kNone) continue;
        ScratchScope scope;
        const StatusCode st = BackupFile(WithKindExtension(target, ext));
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

// Whether one of the files a save would replace is read-only (then said, and nothing is saved).
bool TargetReadOnly(TextRef target) {
    for (const std::uint16_t ext : SavedExtensions()) {
        if (ext == extension::kNone) continue;
        ScratchScope scope;
        if (RefuseReadOnly(WithKindExtension(target, ext))) return true;
    }
    return false;
}

} // namespace

StatusCode MakeWorkBase(TextRef name) {
    ScratchScope scope;
    const TextRef part = name.empty() ? MsgText(kNewName) : PathPart(name, pathpart::kName);
    const TextRef work = TempPath(TextJoin(UniqueName(), "."_t, part));
    if (work.failed()) return work.status();
    FileDelete(work); // a file of exactly this name would be mistaken for a work file
    return SetDesignerSlot(designerslot::kWorkBase, work);
}

void DeleteWorkFiles() {
    ScratchScope scope;
    const TextRef work = TextDup(DesignerSlot(designerslot::kWorkBase));
    if (!work.empty()) { // failures are of no interest: the files may never have been made
        FileDelete(WithKindExtension(work, extension::kScreen));
        FileDelete(WithKindExtension(work, extension::kParameters));
    }
}

std::optional<std::string> EditorText(WindowId dialog) {
    return Ui().text(dialog, designerctl::kEdit);
}

TextRef BasePath(TextRef path) {
    return PathPart(path, pathpart::kDrive | pathpart::kFolder | pathpart::kName);
}

// ---- Layout and title ---------------------------------------------------------------------------

StatusCode BuildLayout(WindowId dialog) {
    DesignerState& state = Designer();
    const EditorKindRow* current = KindRow(state.currentKind);
    const Layout layout = current != nullptr ? current->layout : Layout::Idle;
    if (state.builtKind == state.currentKind && layout != Layout::Lists) return status::kOk;
    const StatusCode kept = KeepOldLayoutText(dialog, KindRow(state.builtKind));
    if (kept != status::kOk) return kept;
    Ui().destroyControls(dialog, platform::ChildFilter::All);
    state.builtKind = editorkind::kNone;
    const platform::Size client = Ui().clientSize(dialog);
    StatusCode st = status::kOk;
    switch (layout) {
    case Layout::ScreenEdit:
        st = CreateScreenLayout(dialog, client);
        break;
    case Layout::TextEdit:
        st = CreateTextLayout(dialog, client, state.currentKind);
        break;
    case Layout::Idle:
        // The idle picture is decoration: a dialog without it works the same.
        ShowBackgroundImage(dialog);
        break;
    case Layout::Lists:
        break; // the kind's lists fill the dialog once it is shown: no picture half under them
    }
    state.builtKind = state.currentKind;
    return st;
}

TextRef EditorTitle() {
    const DesignerState& state = Designer();
    ScratchScope scope;
    // The kinds' titles are entered by their numbers; a kind past the message's entries has none.
    const TextRef format = ListItem(MsgText(kTitles), ',', KindNumber(state.currentKind));
    if (format.empty()) return scope.Return(TextRef());
    const SlotIndex slot = KindSlot(state.currentKind);
    const TextRef base = DesignerSlot(slot);
    const TextRef name = base.empty() ? MsgText(kNewName) : PathPart(base, pathpart::kName);
    const EditorKindRow* row = KindRow(state.currentKind);
    const TextRef number = row != nullptr && row->layout == Layout::ScreenEdit
                               ? TextFormat(5, "%u", unsigned{state.screenNumber})
                               : TextRef();
    const TextRef title = TextFill(kMaxTitleLength, format,
                                   {SlotGet(slotgroup::kEnvironment, kProductSlot), name, number});
    return scope.Return(title);
}

// ---- OpenEditor ---------------------------------------------------------------------------------

StatusCode OpenEditor(WindowId dialog, EditorKind kind, std::uint16_t flags, TextRef name) {
    ScratchScope scope;
    StatusCode c = status::kOk;
    // The memory advice comes first and shows its own box; only a real failure stops the command.
    const StatusCode memory = MemoryCheck(memcheck::kAdvice);
    if (memory >= status::kFirstError) c = memory;
    const EditorKindRow* row = KindRow(kind);
    const EditorKind previousKind = Designer().currentKind;
    if (c == status::kOk) {
        if (row == nullptr)
            c = status::kData;
        else
            Designer().currentKind = kind;
    }
    if (c == status::kOk && (flags & stepflag::kLayout) != 0) {
        c = BuildLayout(dialog);
        // The old layout stays: its kind stays the one its edits mark modified.
        if (c != status::kOk && Designer().builtKind != kind) Designer().currentKind = previousKind;
    }
    const SlotIndex slot = row != nullptr ? row->slot : 0;
    // The name the kind had: when the user keeps the definition, or it fails to load, the name
    // goes back with it, so a later Save never writes one file's text over another file.
    const bool storeName = c == status::kOk && (flags & stepflag::kStoreName) != 0;
    const TextRef previousName = storeName ? TextDup(DesignerSlot(slot)) : TextRef();
    if (storeName) c = SetDesignerSlot(slot, name.empty() ? TextRef() : BasePath(name));
    if (c == status::kOk && (flags & stepflag::kWorkBase) != 0 &&
        DesignerSlot(designerslot::kWorkBase).empty()) {
        c = MakeWorkBase(name);
    }
    Discard answer = Discard::NotAsked;
    bool kept = false; // the user refused to drop the definition
    // The new steps, in the kinds' order: each kind's own flag starts that kind anew.
    for (const EditorKindRow& newRow : EditorKinds()) {
        if (c != status::kOk || newRow.openStep == 0 || (flags & newRow.openStep) == 0) continue;
        if (newRow.actions.startNew == nullptr) continue;
        const NewResult result = newRow.actions.startNew(dialog, &answer, &c);
        if (result == NewResult::EndCommand) return status::kOk; // the user kept it: nothing else
        if (result == NewResult::Kept) kept = true;
    }
    bool loaded = false;
    if ((flags & stepflag::kLoad) != 0 && c == status::kOk) {
        answer = ConfirmDiscard(answer);
        if (Discards(answer)) {
            if (row->actions.load != nullptr) c = row->actions.load(dialog, name);
            loaded = c == status::kOk;
            if (loaded) MarkModified(markop::kClear);
        } else {
            kept = true;
        }
    }
    if (storeName && (kept || c >= status::kFirstError)) SetDesignerSlot(slot, previousName);
    if (c == status::kOk) {
        c = ShowOpened(dialog, *row);
        // Once the definition is on screen under its name: what its kind says of a fresh load.
        if (c == status::kOk && loaded && row->actions.loaded != nullptr) row->actions.loaded();
    } else {
        // The layout or the name may have changed before the failure: the title says what is
        // shown now.
        SetEditorTitle(dialog);
    }
    if (c != status::kOk) StatusReport(c);
    return c;
}

// ---- File dialogs -------------------------------------------------------------------------------

TextRef ChooseDefinitionFile(WindowId owner, bool save, DialogType type, DialogFlags flags) {
    ScratchScope scope;
    const TextRef startFolder = CurrentFolder();
    const TextRef appName = SlotGet(slotgroup::kEnvironment, kAppNameSlot);
    const bool usePrefix = HasFlag(flags, DialogFlags::AppPrefix);
    const TextRef prefix =
        usePrefix && !appName.empty() ? TextSub(TextDup(appName), 0, kAppPrefixLength) : "??"_t;
    const DialogTypeRow* row = DialogTypeOf(type);
    platform::FileDialogSpec spec;
    spec.mode = save ? platform::FileDialogMode::Save : platform::FileDialogMode::Open;
    spec.filters = FiltersOf(FilterList(row));
    if (row == nullptr) {
        spec.initialName = "*";
    } else {
        const TextRef ext = ExtensionText(row->extension);
        if (row->fixedName != nullptr) {
            spec.initialName = std::string(prefix.view()) + row->fixedName;
        } else {
            spec.initialName = (usePrefix ? std::string(prefix.view()) : std::string()) + "*." +
                               std::string(ext.view());
        }
        if (save) spec.defaultExtension = std::string(ext.view());
    }
    const std::string chosen = Ui().chooseFile(owner, spec);
    if (chosen.empty() || chosen.size() > kMaxTextLength) return TextRef();
    const TextRef path = TextDup(TextView(chosen));
    if (HasFlag(flags, DialogFlags::RestoreFolder)) {
        ChangeFolder(startFolder);
    } else {
        const TextRef folder = PathPart(path, pathpart::kDrive | pathpart::kFolder);
        if (!folder.empty()) ChangeFolder(folder);
    }
    return scope.Return(path);
}

// ---- Saving -------------------------------------------------------------------------------------

void ShowWarning(StatusCode st) {
    ScratchScope scope;
    MsgBox(StatusText(st), MsgText(kWarningCaption), BoxKind::Warning);
}

bool RefuseReadOnly(TextRef path) {
    if (!FileReadOnly(path)) return false;
    ScratchScope scope;
    MsgBox(TextFill(kMaxMessageLength, MsgText(kReadOnlyFile), {PathAbsolute(path)}),
           MsgText(kWarningCaption), BoxKind::Warning);
    return true;
}

StatusCode BackupFile(TextRef path) {
    ScratchScope scope;
    if (PathOnDisk(path).failed()) return status::kOk; // nothing to replace, nothing to keep
    const TextRef folder = AppFolder(AppFolderKind::Backup);
    StatusCode st = MakeFolders(folder);
    TextRef copy;
    if (st == status::kOk) {
        const TextRef before = TextConcat(PathPart(path, pathpart::kName), "."_t);
        copy = CreateUniqueFile(folder, before, PathPart(path, pathpart::kExtension));
        st = copy.status();
    }
    if (st != status::kOk) return st;
    const std::uint16_t from = FileOpen(path, openflag::kNoPlus);
    const std::uint16_t to = FileOpen(copy, openflag::kCreate);
    if (from >= status::kFirstError)
        st = from;
    else if (to >= status::kFirstError)
        st = to;
    else
        st = CopyBlocks(from, to);
    if (from < status::kFirstError) FileClose(from);
    if (to < status::kFirstError) FileClose(to);
    if (st != status::kOk) {
        LogErrorText(st, copy, true);
        FileDelete(copy); // half a copy is no backup
    }
    return st;
}

TextRef SaveDefinition(WindowId owner, SlotIndex slot, bool askName, DialogType type,
                       bool (*confirmTarget)(TextRef basePath)) {
    ScratchScope scope;
    if (!MarkModified(markop::kQuery) && !AskYesNo(MsgText(kSaveAnyway))) return TextRef();
    TextRef target = TextDup(DesignerSlot(slot));
    const bool ask = askName || target.empty();
    if (ask) {
        const TextRef chosen = ChooseDefinitionFile(owner, true, type);
        if (chosen.empty()) return TextRef();
        target = BasePath(chosen);
    }
    if (TargetReadOnly(target)) return TextRef();
    if (confirmTarget != nullptr && !confirmTarget(target)) return TextRef();
    const StatusCode backup = SaveBackups(target);
    if (backup != status::kOk) {
        ShowWarning(backup);
        return TextRef();
    }
    if (ask) SetDesignerSlot(slot, target);
    MarkModified(markop::kClear);
    return scope.Return(target);
}

void SaveCommand(WindowId dialog, EditorKind kind, bool askName) {
    ScratchScope scope;
    const EditorKindRow* row = KindRow(kind);
    if (row == nullptr) return;
    if (row->showBeforeSave) OpenEditor(dialog, kind, stepflag::kLayout, TextRef());
    if (Designer().currentKind != kind) return; // the switch failed and was reported
    if (row->actions.beforeSave != nullptr && !row->actions.beforeSave()) return;
    // A save that fails writes nothing, so the definition keeps the name it had: a later Save
    // must not write a file the user never saw saved.
    const TextRef previousName = TextDup(DesignerSlot(row->slot));
    const TextRef base =
        SaveDefinition(dialog, row->slot, askName, row->dialog, row->actions.confirmTarget);
    if (base.empty()) return;
    const StatusCode st =
        row->actions.write != nullptr ? row->actions.write(dialog, base) : status::kOk;
    if (st != status::kOk) {
        // What is on screen is still not on disk: closing must ask again.
        MarkModified(markop::kMark);
        SetDesignerSlot(row->slot, previousName);
        StatusReport(st);
    } else if (row->actions.saved != nullptr) {
        row->actions.saved();
    }
    SetEditorTitle(dialog); // a new name shows in the title
}

} // namespace vodarir
