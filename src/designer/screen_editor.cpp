// The screen designer editor: the screen kind's actions, its commands, the text change, undo and
// redo, the status line and the preview.
#include "designer/screen_editor.h"

#include <deque>
#include <string>
#include <vector>

#include "designer/attribute_form.h"
#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer/scr_fields.h"
#include "designer/screen_files.h"
#include "dictionary/data_access.h"
#include "dictionary/dictionary.h"
#include "host/numbered_files.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/choice_prompts.h"
#include "runtime/ui/win_basics.h"
#include "screens/runtime_window.h"
#include "screens/screen_events.h"
#include "screens/screen_windows.h"

namespace vodarir {

namespace {

using namespace literals;
using platform::ControlId;
using platform::WindowId;

constexpr char kNewScreenFile[] =
    "1004 New File?. Answering NO will append a Screen to current file";
constexpr char kButtonTexts[] =
    "1005 Field Attributes,Screen Attributes,Previous Screen,Next Screen";
constexpr char kNewName[] = "1006 New";
constexpr char kScreenTypeChoices[] =
    "1008 Basic Screen (MAIN),Extended Screen (MOVS),Menu Screen (MENU),Report Screen (REPT)";
constexpr char kScreenTypeTitle[] = "1009 Screen type selection";
constexpr char kLinkedTarget[] =
    "1086 %s has other names (hard links). Saving puts both screen files in place together, so "
    "those names keep the screens as they were. Save anyway?";
constexpr char kTooManyFields[] = "1072 A screen holds at most 80 fields: the bar was not added.";
constexpr char kTooManyScreens[] =
    "1073 A screen file holds at most 99 screens: no screen was added.";
constexpr char kRecordsNotKept[] =
    "1074 Screen %s: records %s of the screen file (%s in all) cannot be shown where the file "
    "places them, or as they are written; a save writes them as they are shown now.";
constexpr char kRowColumn[] = "1079 Row %s, column %s";
constexpr char kFieldBinding[] = "1080 Field %s of %s: file %s%s, field %s%s, length %s, type %s";
constexpr char kFieldTotal[] = "1081 %s fields";
constexpr char kOverFields[] = "1082 Screen %s holds %s fields; a screen takes at most 80. They "
                               "are kept as they are, and no field can be added to it.";
constexpr char kPreviewTitle[] = "1083 Preview of %s #%s: Esc closes it";
constexpr char kPreviewKey[] = "1084 key %s: button %s (%s)";
constexpr char kWarningCaption[] = "0012";
constexpr char kScreenFormTitle[] = "%s (%s #%s)";
constexpr char kFieldFormTitle[] = "%s (%s #%s [Field %s])";
constexpr std::uint16_t kMaxMessageLength = 1024;
constexpr std::uint16_t kMaxTitle = 384;
// The items of message 1005 that name the two forms.
constexpr std::uint16_t kFieldFormItem = 1;
constexpr std::uint16_t kScreenFormItem = 2;
// How many record numbers the note of records not kept names before it says "...".
constexpr std::size_t kNotedRecords = 20;
constexpr char kStatusGap[] = "    ";

platform::Ui& Ui() { return platform::CurrentUi(); }

// ---- Undo history -------------------------------------------------------------------------------

struct Snapshot {
    std::string text;
    std::vector<FieldRecord> fields;
    int caret = 0;
};
std::deque<Snapshot> g_undo;
std::deque<Snapshot> g_redo;

void ClearHistory() {
    g_undo.clear();
    g_redo.clear();
}

void Push(std::deque<Snapshot>& stack, Snapshot s) {
    stack.push_back(std::move(s));
    if (stack.size() > kMaxScreenUndoSteps) stack.pop_front();
}

Snapshot Current(int caret) {
    const ScreenModel& m = CurrentScreenModel();
    return Snapshot{m.text, m.fields, caret};
}

// Before a change of the model: what undo brings back, and nothing left to redo.
void Remember(Snapshot before) {
    Push(g_undo, std::move(before));
    g_redo.clear();
}

// ---- Small helpers ----------------------------------------------------------------------------

bool ScreenShown() { return Designer().builtKind == editorkind::kScreen; }

int Caret(WindowId dialog) {
    const std::optional<platform::Selection> s = Ui().editSelection(dialog, designerctl::kEdit);
    return s ? s->start : 0;
}

TextRef Number(std::uint32_t n) { return TextFormat(12, "%u", n); }

// The screen file's name for titles: its name part, or "New".
TextRef FileTitleName() {
    const TextRef base = DesignerSlot(designerslot::kScreenBase);
    return base.empty() ? MsgText(kNewName) : PathPart(TextDup(base), pathpart::kName);
}

void RefreshTitle(WindowId dialog) {
    ScratchScope scope;
    const TextRef title = EditorTitle();
    if (!title.failed()) Ui().setTitle(dialog, title.view());
}

void RefreshStatus(WindowId dialog) {
    if (!ScreenShown()) return;
    const std::string text = ScreenStatusText(static_cast<std::size_t>(Caret(dialog)));
    if (Ui().text(dialog, designerctl::kScreenStatus) != text) {
        Ui().setText(dialog, designerctl::kScreenStatus, text);
    }
}

void Warn(TextRef text) {
    ScratchScope scope;
    MsgBox(text, MsgText(kWarningCaption), BoxKind::Warning);
}

// What the records of the screen just loaded could not keep, and a table over the limit, said
// once.
void NoteLoad(const ScreenLoad& load) {
    ScratchScope scope;
    const TextRef screen = Number(Designer().screenNumber);
    if (!load.notes.empty()) {
        std::string list;
        std::size_t named = 0;
        std::size_t last = 0;
        std::size_t records = 0;
        for (const RecordNote& note : load.notes) {
            if (note.record == last) continue;
            last = note.record;
            ++records;
            if (named == kNotedRecords) {
                list += ", ...";
                ++named;
            } else if (named < kNotedRecords) {
                list += (named > 0 ? ", " : "") + std::to_string(note.record);
                ++named;
            }
        }
        Warn(TextFill(kMaxMessageLength, MsgText(kRecordsNotKept),
                      {screen, TextView(list), Number(static_cast<std::uint32_t>(records))}));
    }
    const std::size_t fields = CurrentScreenModel().fields.size();
    if (fields > kMaxFields) {
        Warn(TextFill(kMaxMessageLength, MsgText(kOverFields),
                      {screen, Number(static_cast<std::uint32_t>(fields))}));
    }
}

// A screen loaded: a history of its own, the title and the status line.
void Loaded(WindowId dialog, const ScreenLoad& load) {
    ClearHistory();
    RefreshTitle(dialog);
    RefreshStatus(dialog);
    NoteLoad(load);
}

// Puts a remembered state back, in the model, slot 3 and the edit.
void Restore(WindowId dialog, const Snapshot& s) {
    ScreenModel model;
    model.text = s.text;
    model.fields = s.fields;
    const StatusCode st = SetCurrentScreen(dialog, std::move(model));
    if (st != status::kOk) {
        StatusReport(st);
        return;
    }
    if (ScreenShown()) {
        const int caret = std::min<int>(s.caret, static_cast<int>(s.text.size()));
        Ui().setEditSelection(dialog, designerctl::kEdit, caret, 0);
    }
    MarkModified(markop::kMark);
    RefreshStatus(dialog);
}

// ---- The field dialog and the field form ------------------------------------------------------

void FieldForm(WindowId dialog, std::uint16_t n) {
    EnsureScreen();
    IntVarSet(sysvar::kCurEdFld, static_cast<std::int16_t>(n));
    StatusCode st = status::kOk;
    {
        ScratchScope scope;
        const TextRef title =
            TextFill(kMaxTitle, TextView(kFieldFormTitle),
                     {ListItem(MsgText(kButtonTexts), ',', kFieldFormItem), FileTitleName(),
                      Number(Designer().screenNumber), Number(n)});
        st = RunAttributeForm(kFieldKeywords, title, WorkFile(extension::kParameters),
                              Designer().screenNumber, n, kFieldHelpFile);
    }
    (void)dialog;
    if (st == formresult::kChanged) MarkModified(markop::kMark);
    if (st > status::kFirstError) StatusReport(st);
}

class FieldsBridge final : public ScrFieldsEditor {
public:
    explicit FieldsBridge(WindowId dialog) : dialog_(dialog) {}
    std::uint16_t fieldCount() const override {
        return static_cast<std::uint16_t>(CurrentScreenModel().fields.size());
    }
    FieldRecord field(std::uint16_t n) const override {
        return CurrentScreenModel().fields.at(n - 1u);
    }
    void showField(std::uint16_t n) override {
        IntVarSet(sysvar::kCurEdFld, static_cast<std::int16_t>(n));
        const std::size_t at = BarOffsetOf(CurrentScreenModel(), n);
        if (at != std::string::npos && ScreenShown()) {
            Ui().setEditSelection(dialog_, designerctl::kEdit, static_cast<int>(at), 1);
            RefreshStatus(dialog_);
        }
    }
    void apply(std::uint16_t n, const FieldRecord& record) override {
        ScreenModel& model = CurrentScreenModel();
        if (model.fields.at(n - 1u) != record) {
            Remember(Current(Caret(dialog_)));
            model.fields[n - 1u] = record;
        }
        MarkModified(markop::kMark);
        RefreshStatus(dialog_);
    }
    void fieldParms(std::uint16_t n) override { FieldForm(dialog_, n); }

private:
    WindowId dialog_;
};

void FieldProperties(WindowId dialog, std::uint16_t n) {
    IntVarSet(sysvar::kCurEdFld, static_cast<std::int16_t>(n));
    // The dialog selects the bar of the field it shows; afterwards the caret goes back where the
    // user was, so that the next key typed does not replace a bar.
    const std::optional<platform::Selection> before =
        Ui().editSelection(dialog, designerctl::kEdit);
    FieldsBridge bridge(dialog);
    RunScrFields(dialog, n, bridge);
    if (before && ScreenShown()) {
        Ui().setEditSelection(dialog, designerctl::kEdit, before->start, before->length);
        RefreshStatus(dialog);
    }
}

// ---- Commands -----------------------------------------------------------------------------------

void FieldAttributesCommand(WindowId dialog) {
    const std::uint16_t n =
        FieldAtOrAfter(CurrentScreenModel(), static_cast<std::size_t>(Caret(dialog)));
    if (n != 0) FieldProperties(dialog, n);
}

void ScreenAttributesCommand(WindowId dialog) {
    std::uint16_t choice = 0;
    {
        ScratchScope scope;
        choice = ChooseItem(MsgText(kScreenTypeTitle), MsgText(kScreenTypeChoices),
                            chooseflag::kOwnWindow);
    }
    if (choice == 0 || choice > ScreenTypes().size()) return;
    const ScreenTypeRow& type = ScreenTypes()[choice - 1u];
    EnsureScreen();
    StatusCode st = status::kOk;
    {
        ScratchScope scope;
        const TextRef title = TextFill(kMaxTitle, TextView(kScreenFormTitle),
                                       {ListItem(MsgText(kButtonTexts), ',', kScreenFormItem),
                                        FileTitleName(), Number(Designer().screenNumber)});
        st = RunAttributeForm(type.keywords, title, WorkFile(extension::kParameters),
                              Designer().screenNumber, 0, type.helpFile);
    }
    if (st == formresult::kChanged) MarkModified(markop::kMark);
    if (st > status::kFirstError) StatusReport(st);
    RefreshTitle(dialog);
}

// Stores the screen shown and loads screen `next` of the work files; false (said) when either
// fails, and the screen shown is still the one before.
bool GoToScreen(WindowId dialog, std::uint16_t next) {
    DesignerState& state = Designer();
    StatusCode st = StoreScreen(StoreMode::WorkFiles);
    if (st != status::kOk) {
        StatusReport(st);
        return false;
    }
    const std::uint16_t before = state.screenNumber;
    state.screenNumber = next;
    const ScreenLoad load = LoadScreen(dialog, ScreenSource::WorkFiles);
    if (load.status != status::kOk) {
        state.screenNumber = before;
        StatusReport(load.status);
        return false;
    }
    Loaded(dialog, load);
    return true;
}

// Previous (-1) or next (+1) screen, wrapping around at either end.
void MoveScreen(WindowId dialog, int step) {
    const DesignerState& state = Designer();
    int next = state.screenNumber + step;
    if (next > state.screenCount) next = 1;
    if (next < 1) next = state.screenCount;
    GoToScreen(dialog, static_cast<std::uint16_t>(next));
}

void Command(WindowId dialog, ControlId id) {
    switch (id) {
    case screenctl::kFieldAttributes:
        FieldAttributesCommand(dialog);
        break;
    case screenctl::kScreenAttributes:
        ScreenAttributesCommand(dialog);
        break;
    case screenctl::kPreviousScreen:
        MoveScreen(dialog, -1);
        break;
    case screenctl::kNextScreen:
        MoveScreen(dialog, +1);
        break;
    default:
        break; // 1504..1699 do nothing
    }
}

// ---- The text change ----------------------------------------------------------------------------

void TextChanged(WindowId dialog) {
    const std::optional<std::string> text = EditorText(dialog);
    if (!text || text->size() > kMaxEditorText) return;
    ScreenModel& model = CurrentScreenModel();
    Snapshot before = Current(0);
    const TextChange change = ApplyTextChange(model, *text);
    if (change.refused) {
        // The bar goes again: the text and the table stay as they were.
        Ui().setText(dialog, designerctl::kEdit, model.text);
        Ui().setEditSelection(dialog, designerctl::kEdit, static_cast<int>(change.at), 0);
        ScratchScope scope;
        Warn(MsgText(kTooManyFields));
        return;
    }
    MarkModified(markop::kMark);
    // Undone, the caret stands where the change began: before what it gives back, so a bar given
    // back is the field under the caret.
    before.caret = static_cast<int>(change.at);
    Remember(std::move(before));
    const StatusCode st = SetDesignerSlot(designerslot::kScreenText, TextView(model.text));
    if (st != status::kOk) StatusReport(st);
    if (Designer().screenNumber == 0) {
        EnsureScreen(); // typing on no screen at all starts screen 1
        RefreshTitle(dialog);
    }
    RefreshStatus(dialog);
    // A bar just placed is bound at once.
    if (change.inserted > 0 && change.removed == 0) {
        FieldProperties(dialog, static_cast<std::uint16_t>(change.index + 1));
    }
}

bool Key(WindowId dialog, ControlId id, platform::VirtualKey key, platform::Modifiers mods) {
    if (id != designerctl::kEdit || (mods & platform::kModControl) == 0 ||
        (mods & platform::kModAlt) != 0) {
        return false;
    }
    const bool shift = (mods & platform::kModShift) != 0;
    if (key == 'Z' && !shift) {
        ScreenUndo(dialog);
        return true;
    }
    if (key == 'Y' || (key == 'Z' && shift)) {
        ScreenRedo(dialog);
        return true;
    }
    return false;
}

void CaretMoved(WindowId dialog) { RefreshStatus(dialog); }

// ---- The kind's other actions ------------------------------------------------------------------

StatusCode LoadFromFile(WindowId dialog, TextRef) {
    const ScreenLoad load = LoadScreen(dialog, ScreenSource::File);
    if (load.status == status::kOk) {
        ClearHistory();
        NoteLoad(load);
    }
    return load.status;
}

StatusCode Shown(WindowId dialog) {
    RefreshStatus(dialog);
    return status::kOk;
}

void Reset() {
    CurrentScreenModel() = ScreenModel{};
    ClearHistory();
}

// The new-screen step: a file without screens gets one; otherwise 1004 asks whether to start a
// new file (and 0018 whether to drop the old one) or to append a screen.
NewResult NewScreen(WindowId, Discard* answer, StatusCode*) {
    DesignerState& state = Designer();
    bool newFile = false;
    if (state.screenCount != 0) {
        ScratchScope scope;
        newFile = AskYesNo(MsgText(kNewScreenFile));
    }
    if (!newFile) {
        if (state.screenCount >= kMaxBlockNumber) {
            // Two columns hold no screen number past 99: a 100th would be read as another.
            ScratchScope scope;
            Warn(MsgText(kTooManyScreens));
            return NewResult::EndCommand;
        }
        // The screen being left keeps what was done on it: it goes into the work files first.
        if (state.screenNumber != 0) {
            const StatusCode st = StoreScreen(StoreMode::WorkFiles);
            if (st != status::kOk) {
                StatusReport(st);
                return NewResult::EndCommand;
            }
        }
        ++state.screenCount;
        state.screenNumber = state.screenCount;
    } else {
        *answer = ConfirmDiscard(*answer);
        if (!Discards(*answer)) return NewResult::EndCommand;
        SetDesignerSlot(designerslot::kScreenBase, TextRef());
        state.screenCount = 1;
        state.screenNumber = 1;
        DeleteWorkFiles();
    }
    Reset();
    SetDesignerSlot(designerslot::kScreenText, TextRef());
    return NewResult::Done;
}

// Both files of a screen are put in place by renames, so that a failure leaves both as they were;
// a file with other names is thereby split from them. The user is told before anything is written.
bool ConfirmLinkedTargets(TextRef basePath) {
    for (const std::uint16_t ext : {extension::kScreen, extension::kParameters}) {
        ScratchScope scope;
        const TextRef path = WithKindExtension(basePath, ext);
        if (!FileHasOtherNames(path)) continue;
        return AskYesNo(TextFill(kMaxMessageLength, MsgText(kLinkedTarget), {PathAbsolute(path)}));
    }
    return true;
}

StatusCode Write(WindowId, TextRef basePath) {
    StatusCode st = SetDesignerSlot(designerslot::kScreenBase, basePath);
    if (st == status::kOk) st = StoreScreen(StoreMode::Save);
    return st;
}

constexpr KindEditorHooks kActions = [] {
    KindEditorHooks h;
    h.load = LoadFromFile;
    h.shown = Shown;
    h.startNew = NewScreen;
    h.reset = Reset;
    h.confirmTarget = ConfirmLinkedTargets;
    h.write = Write;
    h.textChanged = TextChanged;
    h.command = Command;
    h.key = Key;
    h.caretMoved = CaretMoved;
    return h;
}();

// ---- The preview --------------------------------------------------------------------------------

struct PreviewState {
    std::string title;
};

// The preview's action: Esc and the close button end it, a key of the key map shows its button
// in the title, navigation is the screens' own.
StatusCode PreviewAction(std::uint16_t event, void* extra) {
    const auto& state = *static_cast<PreviewState*>(extra);
    const std::uint8_t number = EventNumber(event);
    if (number == screenevent::kEscape || number == screenevent::kClose) {
        return screenresult::kCloseWindow;
    }
    if (number == screenevent::kButton) {
        ScratchScope scope;
        // The button as the record actions name it (7: FND).
        const TextRef key =
            TextFill(kMaxTitle, MsgText(kPreviewKey),
                     {Number(static_cast<std::uint16_t>(IntVarGet(sysvar::kLastKey))),
                      Number(EventParameter(event)),
                      ListItem(TextView(kRecordActionNames), ',', EventParameter(event))});
        Ui().setTitle(CurrentNativeWindow(), state.title + " - " + std::string(key.view()));
        return status::kOk;
    }
    const StatusCode r = BuiltinScreenEvent(event);
    return r == screenresult::kNoMove || r == status::kData ? status::kOk : r;
}

} // namespace

const KindEditorHooks& ScreenEditorActions() { return kActions; }

std::string ScreenStatusText(std::size_t offset) {
    const ScreenModel& model = CurrentScreenModel();
    ScratchScope scope;
    const Cell cell = CellAt(model.text, offset);
    std::string text(
        TextFill(kMaxMessageLength, MsgText(kRowColumn), {Number(cell.row), Number(cell.column)})
            .view());
    text += kStatusGap;
    const std::uint16_t n = FieldUnderCaret(model, offset);
    const auto count = static_cast<std::uint32_t>(model.fields.size());
    if (n == 0) {
        text += TextFill(kMaxMessageLength, MsgText(kFieldTotal), {Number(count)}).view();
        return text;
    }
    const FieldRecord& f = model.fields[n - 1u];
    const bool knownFile = f.file >= 1 && f.file <= FileCount();
    const bool knownField = knownFile && CheckField(f.file, f.field) == status::kOk;
    // The dictionary's names when it is loaded, after a blank.
    const TextRef fileName = knownFile ? TextConcat(" "_t, FileName(f.file)) : TextRef();
    const TextRef fieldName =
        knownField ? TextConcat(" "_t, FieldName(f.file, f.field)) : TextRef();
    text += TextFill(kMaxMessageLength, MsgText(kFieldBinding),
                     {Number(n), Number(count), Number(f.file), fileName, Number(f.field),
                      fieldName, Number(f.displayLength), TextRef(&f.type, 1)})
                .view();
    return text;
}

bool ScreenUndo(WindowId dialog) {
    if (g_undo.empty()) return false;
    Push(g_redo, Current(Caret(dialog)));
    const Snapshot s = std::move(g_undo.back());
    g_undo.pop_back();
    Restore(dialog, s);
    return true;
}

bool ScreenRedo(WindowId dialog) {
    if (g_redo.empty()) return false;
    Push(g_undo, Current(Caret(dialog)));
    const Snapshot s = std::move(g_redo.back());
    g_redo.pop_back();
    Restore(dialog, s);
    return true;
}

std::size_t ScreenUndoDepth() { return g_undo.size(); }
std::size_t ScreenRedoDepth() { return g_redo.size(); }

void ScreenPreview(WindowId dialog) {
    ScratchScope scope;
    EnsureScreen();
    const ScreenModel& model = CurrentScreenModel();
    std::vector<std::string> records;
    const StoreOutcome outcome = RecordsFromScreen(model, &records);
    if (outcome.refusal != StoreRefusal::None) {
        // Said as a store would say it: the same screen cannot be shown either.
        StatusReport(StoreScreen(StoreMode::WorkFiles));
        return;
    }
    std::string definition;
    for (const std::string& r : records) definition += r + "\r\n";
    std::vector<std::string> items;
    const std::uint16_t screen = Designer().screenNumber;
    StatusCode st =
        ReadBlock(WorkFile(extension::kParameters), LineKind::Parameters, screen, &items);
    if (st == status::kFileNotFound) st = status::kOk;
    const std::string attributes = JoinAttributeItems(items);
    if (st == status::kOk &&
        (definition.size() > kMaxTextLength || attributes.size() > kMaxTextLength)) {
        st = status::kStringTooLong;
    }
    std::uint16_t number = 0;
    if (st == status::kOk) {
        st = OpenScreen(
            static_cast<std::uint16_t>(std::min<std::size_t>(model.fields.size(), 0xFFFF)),
            TextView(definition), TextView(attributes), 0, &number);
    }
    PreviewState state;
    if (st == status::kOk) {
        state.title =
            TextFill(kMaxTitle, MsgText(kPreviewTitle), {FileTitleName(), Number(screen)}).view();
        st = OpenScreenWindow(static_cast<std::uint16_t>(DialogKind::Mant), 0,
                              TextView(state.title), nullptr);
    }
    if (st == status::kOk) st = ScreenSetWin(0);
    if (st == status::kOk) {
        const WindowId native = CurrentNativeWindow();
        ScreenActionSet(&PreviewAction, nullptr, &state);
        WinShowTop();
        const std::int32_t first = NextField(0, +1);
        const ScreenField* f =
            first > 0 ? ScreenFieldOf(number, static_cast<std::uint16_t>(first)) : nullptr;
        if (f != nullptr && f->control != platform::kNoControl) Ui().setFocus(native, f->control);
        PumpUntilQuit(native);
    }
    if (number != 0) CloseScreen(number);
    if (st != status::kOk) StatusReport(st);
    (void)dialog;
}

bool ShowScreenPlace(WindowId dialog, std::uint16_t screen, std::uint16_t field,
                     std::uint16_t row) {
    const DesignerState& state = Designer();
    if (!ScreenShown() || screen < 1 || screen > state.screenCount) return false;
    if (screen != state.screenNumber && !GoToScreen(dialog, screen)) return false;
    const ScreenModel& model = CurrentScreenModel();
    std::size_t at = 0;
    int length = 0;
    if (field != 0) {
        at = BarOffsetOf(model, field);
        length = 1;
        if (at == std::string::npos) at = 0, length = 0;
    } else if (row > 1) {
        // The start of the row, or the end of the text when the screen has fewer rows.
        const std::vector<std::string_view> rows = TextRows(model.text);
        at = row <= rows.size() ? static_cast<std::size_t>(rows[row - 1].data() - model.text.data())
                                : model.text.size();
    }
    Ui().setFocus(dialog, designerctl::kEdit);
    Ui().setEditSelection(dialog, designerctl::kEdit, static_cast<int>(at), length);
    RefreshStatus(dialog);
    return true;
}

bool CheckScreenEditorInvariants(std::string* message) {
    const ScreenModel& model = CurrentScreenModel();
    if (!CheckInvariants(model, message)) return false;
    if (DesignerSlot(designerslot::kScreenText).view() != model.text) {
        if (message != nullptr) *message = "screen editor: slot 3 is not the model's text";
        return false;
    }
    for (const std::deque<Snapshot>* stack : {&g_undo, &g_redo}) {
        if (stack->size() > kMaxScreenUndoSteps) {
            if (message != nullptr) *message = "screen editor: history too long";
            return false;
        }
        for (const Snapshot& s : *stack) {
            ScreenModel m{s.text, s.fields};
            if (!CheckInvariants(m, message)) return false;
        }
    }
    return true;
}

} // namespace vodarir
