// The editor dispatcher: OpenEditor and its steps, the layouts, the titles, the file dialogs and
// the common save step with its backup copy.
#include "designer/editor_dispatch.h"

#include <array>
#include <vector>

#include "designer/document_editor.h"
#include "diagnostics/memory_report.h"
#include "dictionary/dictionary.h"
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
constexpr char kNewScreenFile[] =
    "1004 New File?. Answering NO will append a Screen to current file";
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

KindEditorHooks g_hooks[editorkind::kLast + 1];
const KindEditorHooks kNoHooks;

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
    const platform::Rect rect{0, kScreenEditTop, client.width,
                              std::max(0, client.height - kScreenEditTop)};
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

// Keeps the text of the layout about to go. False (nothing destroyed yet) when it cannot be kept.
StatusCode KeepOldLayoutText(WindowId dialog, EditorKind built) {
    if (built == editorkind::kFileStructure) {
        ListViewDestroy(kAllListViewSlots);
        return status::kOk;
    }
    if (built != editorkind::kScreen && built != editorkind::kDocument &&
        built != editorkind::kScript) {
        return status::kOk;
    }
    std::optional<std::string> text = EditorText(dialog);
    if (!text) return status::kOk;
    if (text->size() > kMaxEditorText) return status::kStringTooLong;
    if (built == editorkind::kScreen) {
        return SetDesignerSlot(designerslot::kScreenText, TextView(*text));
    }
    SetParkedText(built, std::move(*text));
    return status::kOk;
}

// ---- OpenEditor's steps -----------------------------------------------------------------------

StatusCode MakeWorkBase(TextRef name) {
    const ScratchLevel mark = ScratchMark();
    const TextRef part = name.empty() ? MsgText(kNewName) : PathPart(name, pathpart::kName);
    const TextRef work = TempPath(TextJoin(UniqueName(), "."_t, part));
    StatusCode st = work.status();
    if (st == status::kOk) {
        FileDelete(work); // a file of exactly this name would be mistaken for a work file
        st = SetDesignerSlot(designerslot::kWorkBase, work);
    }
    ScratchRelease(mark);
    return st;
}

// The new-screen step; false when the user kept the current screen file (the command ends).
bool NewScreenStep(Discard* answer) {
    DesignerState& state = Designer();
    const ScratchLevel mark = ScratchMark();
    const bool newFile = state.screenCount != 0 && AskYesNo(MsgText(kNewScreenFile));
    ScratchRelease(mark);
    if (!newFile) {
        ++state.screenCount;
        state.screenNumber = state.screenCount;
    } else {
        *answer = ConfirmDiscard(*answer);
        if (!Discards(*answer)) return false;
        SetDesignerSlot(designerslot::kScreenBase, TextRef());
        state.screenCount = 1;
        state.screenNumber = 1;
        DeleteWorkFiles();
    }
    if (KindEditor(editorkind::kScreen).reset != nullptr) KindEditor(editorkind::kScreen).reset();
    SetDesignerSlot(designerslot::kScreenText, TextRef());
    return true;
}

// Empties a document or script, in the edit (when shown) and in its parked copy.
void ClearText(WindowId dialog, EditorKind kind) {
    SetParkedText(kind, std::string());
    if (Designer().builtKind == kind) Ui().setText(dialog, designerctl::kEdit, {});
}

StatusCode LoadByKind(WindowId dialog, EditorKind kind, TextRef name) {
    const ScratchLevel mark = ScratchMark();
    StatusCode st = status::kOk;
    switch (kind) {
    case editorkind::kFileStructure:
        st = LoadDictionary(TextRef(), PathPart(name, pathpart::kName), TextRef());
        break;
    case editorkind::kScreen:
        if (KindEditor(kind).load != nullptr) st = KindEditor(kind).load(dialog, name);
        break;
    case editorkind::kDocument:
        st = LoadDocument(dialog, WithKindExtension(BasePath(name), extension::kDocument));
        break;
    case editorkind::kScript:
        st = LoadScript(dialog, WithKindExtension(BasePath(name), extension::kScript));
        break;
    default:
        break;
    }
    ScratchRelease(mark);
    return st;
}

void SetEditorTitle(WindowId dialog) {
    const ScratchLevel mark = ScratchMark();
    const TextRef title = EditorTitle();
    const std::string_view shown = title.failed() ? std::string_view() : title.view();
    if (Ui().title(dialog) != shown) Ui().setTitle(dialog, shown);
    ScratchRelease(mark);
}

// Once a definition is open: the title, and what its kind shows.
StatusCode ShowOpened(WindowId dialog, EditorKind kind) {
    SetEditorTitle(dialog);
    if (kind == editorkind::kScreen) {
        Ui().setText(dialog, designerctl::kEdit, DesignerSlot(designerslot::kScreenText).view());
    }
    if (KindEditor(kind).shown != nullptr) return KindEditor(kind).shown(dialog);
    return status::kOk;
}

// ---- The file dialog's table --------------------------------------------------------------------

struct DialogTypeRow {
    int type;
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

const DialogTypeRow* DialogType(int type) {
    for (const DialogTypeRow& row : kDialogTypes) {
        if (row.type == (type & dialogtype::kTypeMask)) return &row;
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
std::vector<std::uint16_t> SavedExtensions() {
    switch (Designer().builtKind) {
    case editorkind::kFileStructure:
        return {extension::kStructure};
    case editorkind::kScreen:
        return {extension::kParameters, extension::kScreen};
    case editorkind::kDocument:
        return {extension::kDocument};
    case editorkind::kScript:
        return {extension::kScript};
    default:
        return {};
    }
}

// Backs up the files a save is about to replace: those of the target, which is not the file being
// edited when the user saves under another name.
StatusCode SaveBackups(TextRef target) {
    for (const std::uint16_t ext : SavedExtensions()) {
        const ScratchLevel mark = ScratchMark();
        const StatusCode st = BackupFile(WithKindExtension(target, ext));
        ScratchRelease(mark);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

// Whether one of the files a save would replace is read-only (then said, and nothing is saved).
bool TargetReadOnly(TextRef target) {
    for (const std::uint16_t ext : SavedExtensions()) {
        const ScratchLevel mark = ScratchMark();
        const bool refused = RefuseReadOnly(WithKindExtension(target, ext));
        ScratchRelease(mark);
        if (refused) return true;
    }
    return false;
}

} // namespace

// ---- Hooks
// ----------------------------------------------------------------------------------------

void InstallKindEditor(EditorKind kind, const KindEditorHooks& hooks) {
    if (kind == editorkind::kFileStructure || kind == editorkind::kScreen) g_hooks[kind] = hooks;
}

const KindEditorHooks& KindEditor(EditorKind kind) {
    return kind <= editorkind::kLast ? g_hooks[kind] : kNoHooks;
}

bool KindAvailable(EditorKind kind) {
    if (kind == editorkind::kFileStructure || kind == editorkind::kScreen) {
        const KindEditorHooks& h = g_hooks[kind];
        return h.write != nullptr && (h.load != nullptr || h.shown != nullptr);
    }
    return kind >= editorkind::kDocument && kind <= editorkind::kLast;
}

void DeleteWorkFiles() {
    const ScratchLevel mark = ScratchMark();
    const TextRef work = TextDup(DesignerSlot(designerslot::kWorkBase));
    if (!work.empty()) { // failures are of no interest: the files may never have been made
        FileDelete(WithKindExtension(work, extension::kScreen));
        FileDelete(WithKindExtension(work, extension::kParameters));
    }
    ScratchRelease(mark);
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
    if (state.builtKind == state.currentKind && state.builtKind != editorkind::kFileStructure) {
        return status::kOk;
    }
    const StatusCode kept = KeepOldLayoutText(dialog, state.builtKind);
    if (kept != status::kOk) return kept;
    Ui().destroyControls(dialog, platform::ChildFilter::All);
    state.builtKind = editorkind::kNone;
    const platform::Size client = Ui().clientSize(dialog);
    StatusCode st = status::kOk;
    switch (state.currentKind) {
    case editorkind::kScreen:
        st = CreateScreenLayout(dialog, client);
        break;
    case editorkind::kDocument:
    case editorkind::kScript:
        st = CreateTextLayout(dialog, client, state.currentKind);
        break;
    default:
        // The idle picture is decoration: a dialog without it works the same.
        ShowBackgroundImage(dialog);
        break;
    }
    state.builtKind = state.currentKind;
    return st;
}

TextRef EditorTitle() {
    const DesignerState& state = Designer();
    const ScratchLevel mark = ScratchMark();
    const TextRef format = ListItem(MsgText(kTitles), ',', state.currentKind);
    if (format.empty()) return ScratchReturn(mark, TextRef());
    const SlotIndex slot = KindSlot(state.currentKind);
    const TextRef base = DesignerSlot(slot);
    const TextRef name = base.empty() ? MsgText(kNewName) : PathPart(base, pathpart::kName);
    const TextRef number = state.currentKind == editorkind::kScreen
                               ? TextFormat(5, "%u", unsigned{state.screenNumber})
                               : TextRef();
    const TextRef title = TextFill(kMaxTitleLength, format,
                                   {SlotGet(slotgroup::kEnvironment, kProductSlot), name, number});
    return ScratchReturn(mark, title);
}

// ---- OpenEditor ---------------------------------------------------------------------------------

StatusCode OpenEditor(WindowId dialog, EditorKind kind, std::uint16_t flags, TextRef name) {
    const ScratchLevel mark = ScratchMark();
    StatusCode c = status::kOk;
    // The memory advice comes first and shows its own box; only a real failure stops the command.
    const StatusCode memory = MemoryCheck(memcheck::kAdvice);
    if (memory >= status::kFirstError) c = memory;
    const SlotIndex slot = KindSlot(kind);
    const EditorKind previousKind = Designer().currentKind;
    if (c == status::kOk) {
        if (slot == 0)
            c = status::kData;
        else
            Designer().currentKind = kind;
    }
    if (c == status::kOk && (flags & stepflag::kLayout) != 0) {
        c = BuildLayout(dialog);
        // The old layout stays: its kind stays the one its edits mark modified.
        if (c != status::kOk && Designer().builtKind != kind) Designer().currentKind = previousKind;
    }
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
    if (c == status::kOk && (flags & stepflag::kNewStructure) != 0) {
        answer = ConfirmDiscard(answer);
        if (Discards(answer)) {
            c = ClearDictionary();
            if (c == status::kOk) MarkModified(markop::kClear);
        } else {
            kept = true;
        }
    }
    if (c == status::kOk && (flags & stepflag::kNewScreen) != 0 && !NewScreenStep(&answer)) {
        ScratchRelease(mark);
        return status::kOk; // the user kept the screen file: nothing else happens
    }
    for (const auto& [flag, textKind] : {std::pair{stepflag::kNewDocument, editorkind::kDocument},
                                         std::pair{stepflag::kNewScript, editorkind::kScript}}) {
        if (c != status::kOk || (flags & flag) == 0) continue;
        answer = ConfirmDiscard(answer);
        if (Discards(answer)) {
            ClearText(dialog, textKind);
            // The new text has no file yet: a Save must ask for one, not write over the last.
            SetDesignerSlot(slot, TextRef());
            if (textKind == editorkind::kDocument) Designer().documentLinesNotKept.clear();
            MarkModified(markop::kClear);
        } else {
            kept = true;
        }
    }
    bool loaded = false;
    if ((flags & stepflag::kLoad) != 0 && c == status::kOk) {
        answer = ConfirmDiscard(answer);
        if (Discards(answer)) {
            c = LoadByKind(dialog, kind, name);
            loaded = c == status::kOk;
            if (loaded) MarkModified(markop::kClear);
        } else {
            kept = true;
        }
    }
    if (storeName && (kept || c >= status::kFirstError)) SetDesignerSlot(slot, previousName);
    if (c == status::kOk) {
        c = ShowOpened(dialog, kind);
        // Once the document is on screen under its name: what of its file a save would not keep.
        if (c == status::kOk && loaded && kind == editorkind::kDocument) NoteDocumentLinesNotKept();
    } else {
        // The layout or the name may have changed before the failure: the title says what is
        // shown now.
        SetEditorTitle(dialog);
    }
    if (c != status::kOk) StatusReport(c);
    ScratchRelease(mark);
    return c;
}

// ---- File dialogs -------------------------------------------------------------------------------

TextRef ChooseDefinitionFile(WindowId owner, bool save, int type) {
    const ScratchLevel mark = ScratchMark();
    const TextRef startFolder = CurrentFolder();
    const TextRef appName = SlotGet(slotgroup::kEnvironment, kAppNameSlot);
    const bool usePrefix = (type & dialogtype::kAppPrefix) != 0;
    const TextRef prefix =
        usePrefix && !appName.empty() ? TextSub(TextDup(appName), 0, kAppPrefixLength) : "??"_t;
    const DialogTypeRow* row = DialogType(type);
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
    if (chosen.empty() || chosen.size() > kMaxTextLength) {
        ScratchRelease(mark);
        return TextRef();
    }
    const TextRef path = TextDup(TextView(chosen));
    if ((type & dialogtype::kRestoreFolder) != 0) {
        ChangeFolder(startFolder);
    } else {
        const TextRef folder = PathPart(path, pathpart::kDrive | pathpart::kFolder);
        if (!folder.empty()) ChangeFolder(folder);
    }
    return ScratchReturn(mark, path);
}

// ---- Saving -------------------------------------------------------------------------------------

void ShowWarning(StatusCode st) {
    const ScratchLevel mark = ScratchMark();
    MsgBox(StatusText(st), MsgText(kWarningCaption), BoxKind::Warning);
    ScratchRelease(mark);
}

bool RefuseReadOnly(TextRef path) {
    if (!FileReadOnly(path)) return false;
    const ScratchLevel mark = ScratchMark();
    MsgBox(TextFill(kMaxMessageLength, MsgText(kReadOnlyFile), {PathAbsolute(path)}),
           MsgText(kWarningCaption), BoxKind::Warning);
    ScratchRelease(mark);
    return true;
}

StatusCode BackupFile(TextRef path) {
    const ScratchLevel mark = ScratchMark();
    if (PathOnDisk(path).failed()) {
        ScratchRelease(mark);
        return status::kOk; // nothing to replace, nothing to keep
    }
    const TextRef folder = AppFolder(AppFolderKind::Backup);
    StatusCode st = MakeFolders(folder);
    TextRef copy;
    if (st == status::kOk) {
        const TextRef before = TextConcat(PathPart(path, pathpart::kName), "."_t);
        copy = CreateUniqueFile(folder, before, PathPart(path, pathpart::kExtension));
        st = copy.status();
    }
    if (st == status::kOk) {
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
    }
    ScratchRelease(mark);
    return st;
}

TextRef SaveDefinition(WindowId owner, SlotIndex slot, bool askName, int type) {
    const ScratchLevel mark = ScratchMark();
    if (!MarkModified(markop::kQuery) && !AskYesNo(MsgText(kSaveAnyway))) {
        ScratchRelease(mark);
        return TextRef();
    }
    TextRef target = TextDup(DesignerSlot(slot));
    const bool ask = askName || target.empty();
    if (ask) {
        const TextRef chosen = ChooseDefinitionFile(owner, true, type);
        if (chosen.empty()) {
            ScratchRelease(mark);
            return TextRef();
        }
        target = BasePath(chosen);
    }
    if (TargetReadOnly(target)) {
        ScratchRelease(mark);
        return TextRef();
    }
    const StatusCode backup = SaveBackups(target);
    if (backup != status::kOk) {
        ShowWarning(backup);
        ScratchRelease(mark);
        return TextRef();
    }
    if (ask) SetDesignerSlot(slot, target);
    MarkModified(markop::kClear);
    return ScratchReturn(mark, target);
}

void SaveCommand(WindowId dialog, EditorKind kind, bool askName) {
    const ScratchLevel mark = ScratchMark();
    if (kind == editorkind::kDocument || kind == editorkind::kScript) {
        OpenEditor(dialog, kind, stepflag::kLayout, TextRef());
    }
    if (Designer().currentKind != kind) { // the switch failed and was reported
        ScratchRelease(mark);
        return;
    }
    if (kind == editorkind::kDocument && !ConfirmDocumentLinesNotKept()) {
        ScratchRelease(mark);
        return;
    }
    // A save that fails writes nothing, so the text keeps the name it had: a later Save must not
    // write a file the user never saw saved.
    const TextRef previousName = TextDup(DesignerSlot(KindSlot(kind)));
    const TextRef base = SaveDefinition(dialog, KindSlot(kind), askName, kind);
    StatusCode st = status::kOk;
    if (!base.empty()) {
        if (kind == editorkind::kDocument)
            st = SaveDocument(dialog, base);
        else if (kind == editorkind::kScript)
            st = SaveScript(dialog, base);
        else if (KindEditor(kind).write != nullptr)
            st = KindEditor(kind).write(dialog, base);
        if (st != status::kOk) {
            // What is on screen is still not on disk: closing must ask again.
            MarkModified(markop::kMark);
            SetDesignerSlot(KindSlot(kind), previousName);
            StatusReport(st);
        } else if (kind == editorkind::kDocument) {
            Designer().documentLinesNotKept.clear(); // the user agreed once, and it is done
        }
        SetEditorTitle(dialog); // a new name shows in the title
    }
    ScratchRelease(mark);
}

} // namespace vodarir
