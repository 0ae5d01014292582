// The file-structure editor: its lists, its commands from the mouse and the keyboard, undo and
// redo, and its load, new and write steps for the dispatcher.
#include "designer/structure_editor.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <utility>
#include <vector>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer/structure_dialogs.h"
#include "dictionary/dictionary.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"
#include "screens/list_views.h"

namespace vodarir {

namespace {

using platform::ControlId;
using platform::WindowId;
namespace vk = platform::vk;

constexpr char kFileTitle[] = "1002 File Name";
constexpr char kFieldTitles[] = "1003       Field Name, Length, Type";
constexpr char kFileMenu[] = "1011 View,Insert,Delete,Modify";
constexpr char kFieldMenu[] = "1012 View,Insert,Delete";
constexpr char kHeldElsewhere[] =
    "1056 File %s belongs to the dictionary of %s, which this structure file includes: change it "
    "there.";
constexpr char kWarningCaption[] = "0012";
constexpr std::uint16_t kMaxMessageLength = 1024;

// The popup menus' items, by their place in messages 1011 and 1012.
enum class PopupItem : std::uint16_t { None = 0, View = 1, Insert = 2, Delete = 3, Modify = 4 };

// What the editor holds besides the model.
struct EditorRecord {
    StructureFile file;
    std::vector<StructureFile> undo;
    std::vector<StructureFile> redo;
    int current = 0; // the current data file, 0: none
};

// What File > New set aside, so that an Open whose load fails can give it back.
struct SetAside {
    EditorRecord record;
    bool modified = false;
};

EditorRecord g_editor;
std::optional<SetAside> g_setAside;
// Where a popup opened from the keyboard shows (x in the high 16 bits, y in the low).
std::uint32_t g_popupAt = 0;

platform::Ui& Ui() { return platform::CurrentUi(); }

std::uint32_t KeyboardPopupPosition() { return g_popupAt; }

bool IsFileList(ControlId id) { return id == designerctl::kFileList; }

int ListSlot(WindowId dialog, ControlId id) {
    const std::uint16_t slot = ListViewSlotOf(dialog, id);
    return slot == kListViewNone ? kNoListViewSlot : slot;
}

// The current file after a change: kept while it exists, else the last file (0 with none).
void ClampCurrent() {
    const int files = FileCount();
    if (g_editor.current > files) g_editor.current = files;
    if (g_editor.current < 1 && files > 0) g_editor.current = 1;
    if (g_editor.current >= 1) SetCurrentFile(static_cast<std::uint16_t>(g_editor.current));
}

// ---- The lists ----------------------------------------------------------------------------------

int FileListHeight() {
    using namespace structurelists;
    return std::clamp(FileCount() * kRowHeight, kMinFilesHeight, kMaxFilesHeight);
}

// Builds one list anew with its rows and the "+" row; the row `select` is selected, and the list
// gets the focus back when it had it.
StatusCode BuildList(WindowId dialog, ListMode mode, int select) {
    using namespace structurelists;
    ScratchScope scope;
    const ControlId id = mode == ListMode::Files ? designerctl::kFileList : designerctl::kFieldList;
    const bool focused = Ui().focusedControl(dialog) == id;
    const int old = ListSlot(dialog, id);
    if (old != kNoListViewSlot) ListViewDestroy(old);
    const platform::Size client = Ui().clientSize(dialog);
    const int slot = mode == ListMode::Files
                         ? ListViewCreate(dialog, kFilesX, kTop, kFilesWidth, FileListHeight())
                         : ListViewCreate(dialog, kFieldsX, kTop,
                                          std::max(0, client.width - kRightGap - kFieldsX),
                                          std::max(0, client.height - kBottomGap - kTop));
    if (slot == kNoListViewSlot) return status::kWindowsControl;
    StatusCode st =
        ListViewSetColumns(slot, MsgText(mode == ListMode::Files ? kFileTitle : kFieldTitles));
    std::uint16_t row = 0;
    if (mode == ListMode::Files) {
        for (std::uint16_t f = 1; f <= FileCount() && st == status::kOk; ++f, ++row) {
            st = ListViewSetCell(slot, row, 0, TextDup(FileName(f)));
        }
    } else if (g_editor.current >= 1) {
        const auto file = static_cast<std::uint16_t>(g_editor.current);
        for (std::uint16_t k = 1; k <= FieldCount(file) && st == status::kOk; ++k, ++row) {
            const char type = FieldType(file, k);
            st = ListViewSetCell(slot, row, 0, TextDup(FieldName(file, k)));
            if (st == status::kOk) {
                st = ListViewSetCell(slot, row, 1, TextFormat(8, "%u", FieldLength(file, k)));
            }
            if (st == status::kOk) st = ListViewSetCell(slot, row, 2, TextRef(&type, 1));
        }
    }
    // Without a file there is no field to add either.
    if (st == status::kOk && (mode == ListMode::Files || g_editor.current >= 1)) {
        st = ListViewSetCell(slot, row, 0, TextView(kAddRowText));
    }
    if (select >= 0) Ui().selectListRow(dialog, id, std::min<int>(select, row));
    if (focused) Ui().setFocus(dialog, id);
    return st;
}

// Both lists, the file list first (it takes list slot 0, id 3200).
StatusCode RefreshLists(WindowId dialog, int fieldRow) {
    StatusCode st = BuildList(dialog, ListMode::Files, g_editor.current - 1);
    if (st == status::kOk) st = BuildList(dialog, ListMode::Fields, fieldRow);
    return st;
}

// ---- Changes ------------------------------------------------------------------------------------

void SayHeldElsewhere(int file, const std::string& holder) {
    ScratchScope scope;
    const TextRef name = TextDup(FileName(static_cast<std::uint16_t>(file)));
    MsgBox(TextFill(kMaxMessageLength, MsgText(kHeldElsewhere), {name, TextView(holder)}),
           MsgText(kWarningCaption), BoxKind::Warning);
}

// Makes one change on the structure file and the model. A change the model refuses (30 files, a
// record past 65535 bytes, a REL.DAT line left naming no file) is reported and undone, and the
// lists are left as they were. `file` is the file the change touches (0: none of those held).
bool Change(int file, const std::function<StatusCode(StructureFile&)>& edit) {
    if (file >= 1) {
        const std::string holder = g_editor.file.HeldBy(file);
        if (!holder.empty()) {
            SayHeldElsewhere(file, holder);
            return false;
        }
    }
    StructureFile before = g_editor.file;
    StatusCode st = edit(g_editor.file);
    if (st == status::kOk) st = g_editor.file.Rebuild();
    if (st != status::kOk) {
        g_editor.file = std::move(before);
        g_editor.file.Rebuild(); // it loaded before: it loads again
        ClampCurrent();
        StatusReport(st);
        return false;
    }
    g_editor.undo.push_back(std::move(before));
    if (g_editor.undo.size() > kMaxStructureUndoSteps) g_editor.undo.erase(g_editor.undo.begin());
    g_editor.redo.clear();
    MarkModified(markop::kMark);
    ClampCurrent();
    return true;
}

std::optional<StructureField> AskField(WindowId dialog, const FieldProperties& start) {
    const std::optional<FieldProperties> value = RunFileFields(dialog, start);
    if (!value) return std::nullopt;
    return FieldOfProperties(*value);
}

// ---- Acting on a row ------------------------------------------------------------------------

// Double-click (and Enter): a file becomes current; a field opens its properties; the "+" row
// adds.
void Activate(WindowId dialog, ControlId id, int row) {
    if (row < 0) return;
    if (IsFileList(id)) {
        if (row < FileCount()) {
            g_editor.current = row + 1;
            SetCurrentFile(static_cast<std::uint16_t>(g_editor.current));
            BuildList(dialog, ListMode::Fields, 0);
            return;
        }
        if (row > FileCount()) return;
        const std::optional<std::string> name = RunFileNew(dialog, "");
        if (!name) return;
        if (Change(0, [&](StructureFile& s) { return s.AppendFile(*name); })) {
            g_editor.current = FileCount();
            ClampCurrent();
        }
        RefreshLists(dialog, 0);
        return;
    }
    const int file = g_editor.current;
    if (file < 1) return;
    const int fields = FieldCount(static_cast<std::uint16_t>(file));
    if (row > fields) return;
    if (row < fields) {
        const auto k = static_cast<std::uint16_t>(row + 1);
        const auto f = static_cast<std::uint16_t>(file);
        const std::string name(FieldName(f, k).view());
        const std::optional<StructureField> field =
            AskField(dialog, PropertiesOfField(name, FieldLength(f, k), FieldType(f, k)));
        if (field &&
            Change(file, [&](StructureFile& s) { return s.ModifyField(file, k, *field); })) {
            BuildList(dialog, ListMode::Fields, row);
        }
        return;
    }
    const std::optional<StructureField> field = AskField(dialog, FieldProperties{});
    if (field &&
        Change(file, [&](StructureFile& s) { return s.InsertField(file, fields + 1, *field); })) {
        BuildList(dialog, ListMode::Fields, row);
    }
}

void InsertAt(WindowId dialog, ControlId id, int row) {
    if (IsFileList(id)) {
        if (row < FileCount() && !g_editor.file.InsertableAt(row + 1)) {
            SayHeldElsewhere(row + 1, g_editor.file.HeldBy(row + 1));
            return;
        }
        const std::optional<std::string> name = RunFileNew(dialog, "");
        if (!name) return;
        if (Change(0, [&](StructureFile& s) { return s.InsertFile(row + 1, *name); })) {
            g_editor.current = row + 1;
            ClampCurrent();
            RefreshLists(dialog, 0);
        }
        return;
    }
    const int file = g_editor.current;
    const std::optional<StructureField> field = AskField(dialog, FieldProperties{});
    if (field &&
        Change(file, [&](StructureFile& s) { return s.InsertField(file, row + 1, *field); })) {
        RefreshLists(dialog, row);
    }
}

void DeleteAt(WindowId dialog, ControlId id, int row) {
    if (IsFileList(id)) {
        if (Change(row + 1, [&](StructureFile& s) { return s.DeleteFile(row + 1); })) {
            if (g_editor.current > row + 1) --g_editor.current;
            ClampCurrent();
            RefreshLists(dialog, 0);
        }
        return;
    }
    const int file = g_editor.current;
    if (Change(file, [&](StructureFile& s) { return s.DeleteField(file, row + 1); })) {
        RefreshLists(dialog, row);
    }
}

void ModifyAt(WindowId dialog, int row) {
    const std::string old(FileName(static_cast<std::uint16_t>(row + 1)).view());
    const std::optional<std::string> name = RunFileNew(dialog, old);
    if (!name) return;
    if (Change(row + 1, [&](StructureFile& s) { return s.RenameFile(row + 1, *name); })) {
        RefreshLists(dialog, 0);
    }
}

// Whether the row is one of the list's entries (not the "+" row, not outside).
bool EntryRow(ControlId id, int row) {
    if (row < 0) return false;
    if (IsFileList(id)) return row < FileCount();
    return g_editor.current >= 1 && row < FieldCount(static_cast<std::uint16_t>(g_editor.current));
}

int SelectedRow(WindowId dialog, ControlId id) {
    const int slot = ListSlot(dialog, id);
    if (slot == kNoListViewSlot) return -1;
    const std::uint16_t row = ListViewSelectedRow(slot);
    return row == kListViewNone ? -1 : row;
}

// The popup of a row (none on the "+" row); from the keyboard it shows at the row.
void Popup(WindowId dialog, ControlId id, int row, bool fromKeyboard) {
    if (!EntryRow(id, row)) return;
    PopupPositionSource position = nullptr;
    if (fromKeyboard) {
        const platform::Rect frame = Ui().windowRect(dialog);
        const platform::Margins m =
            Ui().frameMargins(platform::kWinCaption | platform::kWinSystemMenu, true);
        const platform::Rect list =
            Ui().controlRect(dialog, id).value_or(platform::Rect{0, 0, 0, 0});
        const int x = frame.x + m.left + list.x + structurelists::kRowHeight;
        const int y = frame.y + m.top + list.y + (row + 2) * structurelists::kRowHeight;
        g_popupAt = (static_cast<std::uint32_t>(std::max(0, x)) << 16) |
                    static_cast<std::uint32_t>(std::max(0, y) & 0xFFFF);
        position = KeyboardPopupPosition;
    }
    PopupItem choice = PopupItem::None;
    {
        ScratchScope scope;
        choice = static_cast<PopupItem>(
            PopupMenuChoose(dialog, MsgText(IsFileList(id) ? kFileMenu : kFieldMenu), position));
    }
    switch (choice) {
    case PopupItem::View:
        Activate(dialog, id, row);
        break;
    case PopupItem::Insert:
        InsertAt(dialog, id, row);
        break;
    case PopupItem::Delete:
        DeleteAt(dialog, id, row);
        break;
    case PopupItem::Modify:
        if (IsFileList(id)) ModifyAt(dialog, row);
        break;
    case PopupItem::None:
        break;
    }
}

// ---- The kind's actions ---------------------------------------------------------------------

void ListNotify(WindowId dialog, ControlId id, int code, int row) {
    const int r = row >= 0 ? row : SelectedRow(dialog, id);
    if (code == platform::notify::NmDblClk) Activate(dialog, id, r);
    if (code == platform::notify::NmRClick) Popup(dialog, id, r, false);
}

// Keys of the lists: Enter acts as a double-click; Insert and Delete as the popup's items (Insert
// on the "+" row adds at the end); the menu key and Shift+F10 open the popup; Ctrl+Z and Ctrl+Y
// undo and redo.
bool ListKey(WindowId dialog, ControlId id, platform::VirtualKey key, platform::Modifiers mods) {
    const bool ctrl = (mods & platform::kModControl) != 0;
    const bool shift = (mods & platform::kModShift) != 0;
    const bool alt = (mods & platform::kModAlt) != 0;
    if (ctrl && !alt && (key == 'Z' || key == 'Y')) {
        if (key == 'Z' && !shift)
            UndoStructureChange(dialog);
        else
            RedoStructureChange(dialog);
        return true;
    }
    if (id != designerctl::kFileList && id != designerctl::kFieldList) return false;
    if (ctrl || alt) return false;
    const int row = SelectedRow(dialog, id);
    if (key == vk::Return && !shift) {
        Activate(dialog, id, row);
        return true;
    }
    if (key == vk::Insert && !shift) {
        if (EntryRow(id, row))
            InsertAt(dialog, id, row);
        else
            Activate(dialog, id, row); // the "+" row, or none: add at the end
        return true;
    }
    if (key == vk::Delete && !shift) {
        if (EntryRow(id, row)) DeleteAt(dialog, id, row);
        return true;
    }
    if (key == vk::Apps || (key == vk::F10 && shift)) {
        Popup(dialog, id, row, true);
        return true;
    }
    return false;
}

StatusCode ShowStructure(WindowId dialog) {
    g_setAside.reset(); // the command went through: what New set aside is gone for good
    ClampCurrent();
    return RefreshLists(dialog, 0);
}

StatusCode LoadStructureFile(WindowId dialog, TextRef name) {
    ScratchScope scope;
    const TextRef prefix = PathPart(name, pathpart::kName);
    DictionaryTexts texts;
    StatusCode st = prefix.failed() ? prefix.status() : status::kOk;
    if (st == status::kOk) st = LoadDictionaryKeepingTexts(TextRef(), prefix, TextRef(), &texts);
    if (st == status::kOk) {
        g_editor = EditorRecord{};
        g_editor.file = StructureFile::FromLoad(std::move(texts), prefix.view());
        g_editor.current = FileCount() > 0 ? 1 : 0;
        ClampCurrent();
        g_setAside.reset();
        return status::kOk;
    }
    // What was shown before comes back, with its history and its mark, and the lists show it.
    if (g_setAside) {
        g_editor = std::move(g_setAside->record);
        if (g_setAside->modified) MarkModified(markop::kMark);
        g_setAside.reset();
    }
    g_editor.file.Rebuild();
    ClampCurrent();
    RefreshLists(dialog, 0);
    return st;
}

NewResult NewStructureFile(WindowId, Discard* answer, StatusCode* status) {
    *answer = ConfirmDiscard(*answer);
    if (!Discards(*answer)) return NewResult::Kept;
    if (!g_setAside) g_setAside = SetAside{g_editor, KindModified(editorkind::kFileStructure)};
    g_editor = EditorRecord{};
    *status = ClearDictionary();
    if (*status == status::kOk) MarkModified(markop::kClear);
    return NewResult::Done;
}

// Whether two names start with the same application prefix (its two characters, without case).
bool SamePrefix(std::string_view a, std::string_view b) {
    constexpr std::size_t kPrefix = 2;
    if (a.size() < kPrefix || b.size() < kPrefix) return false;
    for (std::size_t i = 0; i < kPrefix; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

StatusCode WriteStructureFile(WindowId, TextRef basePath) {
    ScratchScope scope;
    const TextRef path = WithKindExtension(basePath, extension::kStructure);
    if (path.failed()) return path.status();
    // A file named after a dictionary it includes would include itself when read again.
    const std::string name(PathPart(path, pathpart::kName).view());
    for (const std::string& prefix : g_editor.file.IncludedPrefixes()) {
        if (SamePrefix(name, prefix)) {
            LogErrorText(status::kLoopFailure, path, false);
            return status::kLoopFailure;
        }
    }
    const std::string bytes = g_editor.file.Bytes();
    const TextRef text = TextFromString(bytes);
    return text.failed() ? text.status() : FileSave(path, kRewritePosition, text);
}

} // namespace

StatusCode FillLists(WindowId dialog, ListMode mode) {
    if (mode == ListMode::Fields && ListSlot(dialog, designerctl::kFileList) == kNoListViewSlot) {
        return RefreshLists(dialog, 0);
    }
    return BuildList(dialog, mode, mode == ListMode::Files ? g_editor.current - 1 : 0);
}

bool ShowStructurePlace(WindowId dialog, std::uint16_t file, std::uint16_t field) {
    if (Designer().builtKind != editorkind::kFileStructure || file < 1 || file > FileCount()) {
        return false;
    }
    g_editor.current = file;
    SetCurrentFile(file);
    const int fieldRow = field >= 1 && field <= FieldCount(file) ? field - 1 : 0;
    if (RefreshLists(dialog, fieldRow) != status::kOk) return false;
    Ui().setFocus(dialog, field != 0 ? designerctl::kFieldList : designerctl::kFileList);
    return true;
}

KindEditorHooks StructureEditorActions() {
    KindEditorHooks h;
    h.load = LoadStructureFile;
    h.startNew = NewStructureFile;
    h.shown = ShowStructure;
    h.write = WriteStructureFile;
    h.listNotify = ListNotify;
    h.key = ListKey;
    return h;
}

const StructureFile& EditedStructure() { return g_editor.file; }

bool UndoStructureChange(WindowId dialog) {
    if (g_editor.undo.empty()) return false;
    g_editor.redo.push_back(std::move(g_editor.file));
    g_editor.file = std::move(g_editor.undo.back());
    g_editor.undo.pop_back();
    g_editor.file.Rebuild();
    MarkModified(markop::kMark); // what is shown is no longer what was saved, whichever it was
    ClampCurrent();
    RefreshLists(dialog, 0);
    return true;
}

bool RedoStructureChange(WindowId dialog) {
    if (g_editor.redo.empty()) return false;
    g_editor.undo.push_back(std::move(g_editor.file));
    g_editor.file = std::move(g_editor.redo.back());
    g_editor.redo.pop_back();
    g_editor.file.Rebuild();
    MarkModified(markop::kMark);
    ClampCurrent();
    RefreshLists(dialog, 0);
    return true;
}

void StructureEditorReset() {
    g_editor = EditorRecord{};
    g_setAside.reset();
}

} // namespace vodarir
