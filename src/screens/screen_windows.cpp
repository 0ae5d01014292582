// Runtime screens and their windows: the two tables, opening a screen from its texts, the field
// edits, the field values and leave checks, the event procedures, dispatch, navigation, scrolling
// and the character capture.
#include "screens/screen_windows.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/assert.h"
#include "diagnostics/memory_report.h"
#include "dictionary/dictionary.h"
#include "masks/cell_fonts.h"
#include "masks/formatting.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/key_codes.h"
#include "runtime/ui/win_basics.h"
#include "runtime/ui/window_geometry.h"
#include "screens/screen_events.h"
#include "script/evaluator.h"

namespace vodarir {

namespace {

using namespace literals;
using platform::ControlId;
using platform::CurrentUi;
using platform::kNoControl;
using platform::kNoWindow;
using platform::WindowId;

constexpr SlotGroup kCaptureGroup = 30;
constexpr SlotGroup kGridValuesGroup = 38;
// The integer variable the key map is kept in.
constexpr std::uint16_t kKeyMapVariable = 29;
// _SCRSTAT bit set when the cursor wraps around the lines area.
constexpr std::uint16_t kScrStatWrapped = 16;
// _COMPAT bit that leaves the controls' own procedures in place.
constexpr std::uint16_t kCompatNoSubclass = 512;
// The narrowest field edit, in pixels.
constexpr int kMinFieldWidth = 15;
constexpr std::uint16_t kMaxDataFiles = 30;
// Edit types whose generated variable is a text.
constexpr std::string_view kTextVariableTypes = "ABCDFP";
constexpr std::string_view kTextTypes = "ABCP";
// Where the definition's records keep their values.
constexpr std::size_t kRecordRow = 1;
constexpr std::size_t kRecordColumn = 3;
constexpr std::size_t kRecordText = 5;
constexpr std::size_t kRecordFile = 5;
constexpr std::size_t kRecordField = 7;
constexpr std::size_t kRecordLength = 9;
constexpr std::size_t kFieldRecordMinimum = 12;
constexpr std::uint16_t kMaxCellPosition = 99;
constexpr int kMaxChainedEvents = 256;

struct ScreenBlock {
    std::vector<ScreenField> fields;
    std::vector<ScreenLabel> labels;
    std::string definition;
    std::string attributes;
};

class ScreenWindowProc;

std::vector<std::unique_ptr<ScreenBlock>> g_blocks;       // [screen - 1]
std::vector<std::unique_ptr<ScreenWindowProc>> g_procs;   // [window - 1]
std::vector<std::unique_ptr<ScreenWindowProc>> g_retired; // procedures of destroyed windows
std::uint16_t g_currentScreen = 0;
std::uint16_t g_currentWindow = 0;
bool g_capturing = false;
std::string g_capture;
// Event calls of screen window procedures under way: a retired procedure may be one of them.
int g_eventDepth = 0;

struct EventDepth {
    EventDepth() { ++g_eventDepth; }
    ~EventDepth() { --g_eventDepth; }
    EventDepth(const EventDepth&) = delete;
    EventDepth& operator=(const EventDepth&) = delete;
};

// ---- Records ----------------------------------------------------------------------------------

ScreenRecord* ScreenRec(std::uint16_t n) {
    if (n == 0 || n > TableCount(table::kScreens)) return nullptr;
    auto* r =
        static_cast<ScreenRecord*>(TableGet(table::kScreens, static_cast<std::uint16_t>(n - 1)));
    return r != nullptr && r->inUse != 0 ? r : nullptr;
}

WindowRecord* WindowRec(std::uint16_t n) {
    if (n == 0 || n > TableCount(table::kWindows)) return nullptr;
    auto* r =
        static_cast<WindowRecord*>(TableGet(table::kWindows, static_cast<std::uint16_t>(n - 1)));
    return r != nullptr && r->inUse != 0 ? r : nullptr;
}

ScreenBlock* Block(std::uint16_t n) {
    return ScreenRec(n) != nullptr && n <= g_blocks.size() ? g_blocks[n - 1].get() : nullptr;
}

ScreenField* FieldOf(std::uint16_t screen, std::uint16_t field) {
    ScreenBlock* b = Block(screen);
    if (b == nullptr || field == 0 || field > b->fields.size()) return nullptr;
    return &b->fields[field - 1];
}

ScreenField* CurrentField(std::uint16_t field) { return FieldOf(g_currentScreen, field); }

template <class Record> std::uint16_t FreePlace(std::uint16_t table) {
    const std::uint16_t count = TableCount(table);
    for (std::uint16_t i = 0; i < count; ++i) {
        const auto* r = static_cast<const Record*>(TableGet(table, i));
        if (r != nullptr && r->inUse == 0) return static_cast<std::uint16_t>(i + 1);
    }
    return static_cast<std::uint16_t>(count + 1);
}

template <class Record> void TrimFreeTail(std::uint16_t table) {
    while (TableCount(table) != 0) {
        const auto last = static_cast<std::uint16_t>(TableCount(table) - 1);
        const auto* r = static_cast<const Record*>(TableGet(table, last));
        if (r == nullptr || r->inUse != 0) return;
        TableRemove(table, last);
    }
}

template <class Record> std::uint16_t InUse(std::uint16_t table) {
    std::uint16_t n = 0;
    for (std::uint16_t i = 0; i < TableCount(table); ++i) {
        const auto* r = static_cast<const Record*>(TableGet(table, i));
        if (r != nullptr && r->inUse != 0) ++n;
    }
    return n;
}

StatusCode Refuse(StatusCode status, const std::string& what) {
    return LogErrorText(status, TextView(std::string_view(what).substr(0, 0xFFFF)), false);
}

// ---- Reading the texts ------------------------------------------------------------------------

// A keyword's value (trimmed, unquoted) on the ScratchStack.
TextRef Keyword(TextRef attributes, const char* key) {
    return TextOptGet(attributes, TextView(key));
}

// Item i of a keyword's comma list, trimmed and unquoted (a view).
std::string KeywordItem(TextRef list, std::uint16_t i) {
    return std::string(TextUnquote(TextTrim(ListItem(list, ',', i), TrimSides::Both)).view());
}

// A whole number written in text; false when it holds anything but blanks, a sign and digits.
bool ReadNumber(std::string_view text, std::int32_t* value) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    std::int64_t n = 0;
    bool any = false;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        n = n * 10 + (text[at] - '0');
        if (n > 0xFFFF) return false;
        any = true;
    }
    while (at < text.size() && text[at] == ' ') ++at;
    if (at != text.size()) return false;
    *value = static_cast<std::int32_t>(negative ? -n : n);
    return any || text.find_first_not_of(' ') == std::string_view::npos;
}

std::int32_t NumberOr(std::string_view text, std::int32_t otherwise) {
    std::int32_t v = 0;
    return ReadNumber(text, &v) ? v : otherwise;
}

struct ParsedDefinition {
    std::vector<ScreenField> fields;
    std::vector<ScreenLabel> labels;
};

StatusCode ParsePosition(std::string_view line, std::uint16_t* row, std::uint16_t* column,
                         std::size_t number) {
    std::int32_t r = 0;
    std::int32_t c = 0;
    if (!ReadNumber(line.substr(kRecordRow, 2), &r) ||
        !ReadNumber(line.substr(kRecordColumn, 2), &c) || r < 1 || c < 1 || r > kMaxCellPosition ||
        c > kMaxCellPosition) {
        return Refuse(status::kScreenStruct,
                      "definition line " + std::to_string(number) + ": row or column out of range");
    }
    *row = static_cast<std::uint16_t>(r);
    *column = static_cast<std::uint16_t>(c);
    return status::kOk;
}

StatusCode ParseDefinition(std::string_view text, ParsedDefinition* out) {
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (line.size() < kRecordText) {
            return Refuse(status::kScreenStruct,
                          "definition line " + std::to_string(number) + ": too short");
        }
        std::uint16_t row = 0;
        std::uint16_t column = 0;
        if (const StatusCode st = ParsePosition(line, &row, &column, number); st != status::kOk) {
            return st;
        }
        if (line[0] != '1') {
            out->labels.push_back({row, column, std::string(line.substr(kRecordText))});
            continue;
        }
        std::int32_t file = 0;
        std::int32_t field = 0;
        std::int32_t length = 0;
        const std::size_t lengthWidth =
            line.size() > kFieldRecordMinimum ? line.size() - 1 - kRecordLength : 2;
        if (line.size() < kFieldRecordMinimum || !ReadNumber(line.substr(kRecordFile, 2), &file) ||
            !ReadNumber(line.substr(kRecordField, 2), &field) ||
            !ReadNumber(line.substr(kRecordLength, lengthWidth), &length) || file < 0 ||
            file > kMaxDataFiles || field < 0 || length < 1 || length > kMaxFieldLength) {
            return Refuse(status::kScreenStruct,
                          "definition line " + std::to_string(number) + ": bad field record");
        }
        if (out->fields.size() >= kMaxScreenFields) {
            return Refuse(status::kScreenStruct, "more than 80 fields");
        }
        ScreenField f;
        f.row = row;
        f.column = column;
        f.file = static_cast<std::uint8_t>(file);
        f.field = static_cast<std::uint16_t>(field);
        f.maxLength = f.displayLength = static_cast<std::uint16_t>(length);
        f.type = line.back();
        out->fields.push_back(std::move(f));
    }
    return status::kOk;
}

// FD$ completed with generated names, put first in the attribute text.
std::string CompleteNames(TextRef attributes, const std::vector<ScreenField>& fields,
                          std::uint16_t count) {
    ScratchScope scope;
    const TextRef names = Keyword(attributes, "FD$");
    const std::string given(attributes.view());
    if (ListCount(names, ',') >= count || count == 0) return given;
    std::string list;
    for (std::uint16_t i = 1; i <= count; ++i) {
        std::string item = i <= ListCount(names, ',') ? KeywordItem(names, i) : std::string();
        if (item.empty()) {
            const char type = i <= fields.size() ? fields[i - 1].type : '\0';
            const bool text =
                type == '\0' || kTextVariableTypes.find(type) != std::string_view::npos;
            item = "_SCRF" + std::to_string(i) + (text ? "$" : "#");
        }
        if (i > 1) list += ',';
        list += item;
    }
    return "FD$=\"" + list + "\":" + given;
}

// The field's binding from item i of FILEDEF$, or by name to the screen's data file.
StatusCode BindField(ScreenField& f, const std::string& item, std::uint16_t i,
                     const ScreenRecord& screen) {
    if (!item.empty()) {
        ScratchScope scope;
        const FieldEntryRecord ref = ResolveFieldRef(TextView(item));
        if (ref.status == status::kOk) {
            f.file = ref.file;
            f.field = ref.field;
            return status::kOk;
        }
        const std::size_t semi = item.find(';');
        std::int32_t file = 0;
        std::int32_t field = 0;
        if (semi != std::string::npos &&
            ReadNumber(std::string_view(item).substr(0, semi), &file) &&
            ReadNumber(std::string_view(item).substr(semi + 1), &field) && file >= 1 &&
            file <= kMaxDataFiles && field >= 1 &&
            CheckField(static_cast<std::uint16_t>(file), static_cast<std::uint16_t>(field)) ==
                status::kOk) {
            f.file = static_cast<std::uint8_t>(file);
            f.field = static_cast<std::uint16_t>(field);
            return status::kOk;
        }
        return Refuse(status::kScreenStruct,
                      "FILEDEF$ item " + std::to_string(i) + ": " + item.substr(0, 200));
    }
    if ((screen.flags & kScreenBindByName) != 0 && screen.dataFile != 0) {
        const std::uint16_t n = FieldCount(screen.dataFile);
        for (std::uint16_t k = 1; k <= n; ++k) {
            if (FieldName(screen.dataFile, k).view() != f.name) continue;
            f.file = screen.dataFile;
            f.field = k;
            f.type = 'A';
            f.maxLength = std::min<std::uint16_t>(FieldLength(screen.dataFile, k), kMaxFieldLength);
            break;
        }
    }
    return status::kOk;
}

// The edit order.
void OrderField(ScreenField& f, std::uint16_t i, const ScreenRecord& screen, TextRef hidden,
                TextRef noEdit, TextRef order) {
    const TextRef name = TextView(f.name);
    if (!f.name.empty() && ListFind(hidden, name, ',') != 0) {
        f.editOrder = kEditOrderHidden;
    } else if ((!f.name.empty() && ListFind(noEdit, name, ',') != 0) ||
               (screen.dataFile != 0 && f.file != 0 && f.file != screen.dataFile)) {
        f.editOrder = i == screen.startField ? i : kEditOrderNone;
    } else {
        const std::uint16_t at = f.name.empty() ? 0 : ListFind(order, name, ',');
        f.editOrder = at != 0 ? at : i;
    }
    if (f.editOrder != kEditOrderNone) f.properties |= kFieldEditable;
}

// ---- Field values -----------------------------------------------------------------------------

bool IsTextType(char type) { return kTextTypes.find(type) != std::string_view::npos; }

StatusCode AssignFieldVariable(const ScreenField& f) {
    if (f.name.empty()) return status::kOk;
    ScratchScope scope;
    const TextRef name = TextView(f.name);
    const std::uint16_t kind = VarType(name);
    if (kind == vartype::kArray || kind == vartype::kReadOnly) return status::kOk;
    TextRef value = TextView(f.value);
    if (kind != vartype::kString) {
        value = NormalizeNumber(value);
        if (value.failed()) return value.status();
        if (value.empty()) value = "0"_t;
    }
    const StatusCode st = VarAssign(name, value);
    return st >= status::kFirstError ? st : status::kOk;
}

// ---- The procedure of screen windows -----------------------------------------------------------

void StoreControlText(ControlId control);
StatusCode ReportResult(StatusCode result);

class ScreenWindowProc final : public platform::WindowEvents {
public:
    ScreenWindowProc(std::uint16_t number) : number_(number) {}
    std::uint16_t number() const { return number_; }
    void setKind(ControlId control, ControlProcedure kind) { kinds_[control] = kind; }
    ControlProcedure kind(ControlId control) const {
        const auto it = kinds_.find(control);
        return it == kinds_.end() ? ControlProcedure::None : it->second;
    }

    void onCommand(ControlId id, int notification) override {
        const EventDepth depth;
        MakeCurrent();
        if (notification == platform::notify::LbnDblClk) {
            Dispatch(kNoControl, CommandEvent(kAcceptCommand));
        } else if (notification == platform::notify::CbnSelEndOk) {
            IntVarSet(sysvar::kLastKey, static_cast<std::int16_t>(runkey::kOther));
            DispatchEvent(id, screenevent::kListChosen);
        } else if (notification == platform::notify::BnClicked) {
            const std::uint16_t event = CommandEvent(id);
            if (event != 0) Dispatch(kNoControl, event);
        }
    }

    bool onKeyDown(ControlId control, platform::VirtualKey key, platform::Modifiers mods) override {
        const EventDepth depth;
        MakeCurrent();
        switch (kind(control)) {
        case ControlProcedure::Field:
            return FieldKey(control, key, mods);
        case ControlProcedure::ListOrButton:
            ButtonKey(control, key, mods);
            return false;
        case ControlProcedure::None:
            break;
        }
        if (control == kNoControl && key == platform::vk::Escape) {
            DispatchEvent(kNoControl, screenevent::kClose);
            if (const WindowRecord* w = WindowRec(number_); w != nullptr && w->inUse != 0) {
                WinDestroy(w->native);
            }
            return true;
        }
        return false;
    }

    bool onChar(ControlId control, unsigned char ch) override {
        const EventDepth depth;
        if (kind(control) != ControlProcedure::Field) return false;
        MakeCurrent();
        if (!g_capturing) {
            if (ch != kCaptureStart) return false;
            g_capturing = true;
            g_capture.clear();
            return true;
        }
        if (ch < 0x20) {
            FinishCapture(control);
            return true;
        }
        if (g_capture.size() >= kMaxCapture) {
            // A capture that would pass the longest text ends here: what it gathered is dropped
            // whole, the store and the field are as they were, and the user is told.
            g_capturing = false;
            g_capture.clear();
            ReportResult(
                NoteFirstError(1, step::kNone, status::kStringTooLong, status::kStringTooLong));
            return false;
        }
        g_capture += static_cast<char>(ch);
        return false;
    }

    void onFocus(ControlId control, bool gained) override {
        const EventDepth depth;
        if (control == kNoControl || kind(control) != ControlProcedure::Field) return;
        MakeCurrent();
        if (!gained) {
            DispatchEvent(control, screenevent::kFocusLost);
            return;
        }
        const WindowRecord* w = WindowRec(number_);
        const std::uint16_t before = w != nullptr ? w->currentField : 0;
        if (DispatchEvent(control, screenevent::kFocus) == screenresult::kCheckFailed) {
            // The leave check of the field being left failed: the focus goes back to it.
            const ScreenField* old = CurrentField(before);
            if (w != nullptr && old != nullptr && old->control != kNoControl) {
                CurrentUi().setFocus(w->native, old->control);
            }
        }
    }

    void onActivate(bool active) override {
        const EventDepth depth;
        if (!active) return;
        const WindowRecord* w = WindowRec(number_);
        if (w == nullptr) return;
        SelectWindow(number_);
        DispatchEvent(kNoControl, activated_ ? screenevent::kFocus : screenevent::kFirstActivation);
        activated_ = true;
    }

    bool onClose() override {
        const EventDepth depth;
        MakeCurrent();
        DispatchEvent(kNoControl, screenevent::kClose);
        // The event may have closed the window already.
        return WindowRec(number_) != nullptr;
    }

    void onScroll(platform::ScrollBar bar, int code, int position) override {
        const EventDepth depth;
        if (const WindowRecord* w = WindowRec(number_)) Scroll(w->native, bar, code, position);
    }

    void onPosted(int message, int param) override {
        const EventDepth depth;
        MakeCurrent();
        if (message == kMessageToWindow) {
            DispatchEvent(kNoControl, EventValue(screenevent::kWindowMessage,
                                                 static_cast<std::uint8_t>(param)));
        } else if (message == kMessageToControl) {
            const WindowRecord* w = WindowRec(number_);
            const ControlId focused =
                w != nullptr ? CurrentUi().focusedControl(w->native) : kNoControl;
            DispatchEvent(focused, screenevent::kPosted);
        }
    }

    void onDestroy() override;

private:
    // Input reaches only the window the user works in: that window is the current one.
    void MakeCurrent() const {
        if (g_currentWindow != number_ && WindowRec(number_) != nullptr) SelectWindow(number_);
    }
    void Dispatch(ControlId control, std::uint16_t event) { DispatchEvent(control, event); }

    bool FieldKey(ControlId control, platform::VirtualKey key, platform::Modifiers mods) {
        if (g_capturing) return false;
        const std::uint16_t code = FieldKeyCode(key, mods);
        IntVarSet(sysvar::kLastKey, static_cast<std::int16_t>(code));
        if (code == runkey::kOther) return false;
        const ScreenRecord* s = ScreenRec(g_currentScreen);
        const std::uint16_t event = KeyEvent(code, s != nullptr ? s->keyMap : 0);
        if (event != 0) DispatchEvent(control, event);
        return true;
    }

    void ButtonKey(ControlId control, platform::VirtualKey key, platform::Modifiers mods) {
        const std::uint16_t code = FieldKeyCode(key, mods);
        if (code == runkey::kEnter) {
            IntVarSet(sysvar::kLastKey, static_cast<std::int16_t>(code));
            DispatchEvent(kNoControl, CommandEvent(kAcceptCommand));
        } else if (code == runkey::kEsc) {
            IntVarSet(sysvar::kLastKey, static_cast<std::int16_t>(code));
            const ScreenRecord* s = ScreenRec(g_currentScreen);
            const std::uint16_t event = KeyEvent(code, s != nullptr ? s->keyMap : 0);
            if (event != 0) DispatchEvent(control, event);
        }
    }

    void FinishCapture(ControlId control) {
        g_capturing = false;
        const std::string text = std::move(g_capture);
        g_capture.clear();
        const StatusCode st = SlotSet(kCaptureGroup, SlotCount(kCaptureGroup), TextView(text));
        if (st != status::kOk) {
            ReportResult(st);
            return;
        }
        DispatchEvent(control, screenevent::kCaptured);
    }

    std::uint16_t number_;
    bool activated_ = false;
    std::map<ControlId, ControlProcedure> kinds_;
};

// Forgets a window's record; the native window is already going or gone.
void DropWindowRecord(std::uint16_t number) {
    WindowRecord* w = WindowRec(number);
    if (w == nullptr) return;
    *w = WindowRecord{};
    if (g_currentWindow == number) g_currentWindow = 0;
    TrimFreeTail<WindowRecord>(table::kWindows);
    if (number <= g_procs.size() && g_procs[number - 1] != nullptr) {
        // The procedure may be running the event that destroyed its window.
        g_retired.push_back(std::move(g_procs[number - 1]));
    }
}

void ScreenWindowProc::onDestroy() {
    const EventDepth depth;
    const std::uint16_t number = number_;
    DropWindowRecord(number);
    // The new top window becomes the one the user works in.
    const WindowId top = WinTop();
    const std::uint16_t value = top != kNoWindow ? WinValue(top) : kNoWinValue;
    if (value != kNoWinValue && WindowRec(value) != nullptr) SelectWindow(value);
}

StatusCode ReportResult(StatusCode result) {
    if (result >= screenresult::kShown) StatusReport(result);
    return result;
}

std::uint16_t FieldOfControl(ControlId control) {
    if (control < kFirstFieldControl || control > kLastFieldControl) return 0;
    return static_cast<std::uint16_t>(control - kFirstFieldControl + 1);
}

void StoreControlText(ControlId control) {
    const std::uint16_t n = FieldOfControl(control);
    if (n == 0 || IntVarGet(sysvar::kLastKey) == runkey::kEsc) return;
    const WindowId native = CurrentNativeWindow();
    const auto text = CurrentUi().text(native, control);
    if (!text || text->size() > kMaxTextLength) return;
    ScreenFieldSet(n, TextView(*text));
}

void MoveToField(std::uint16_t n) {
    const ScreenField* f = CurrentField(n);
    if (f == nullptr) return;
    if (f->control != kNoControl && CurrentUi().hasControl(CurrentNativeWindow(), f->control)) {
        CurrentUi().setFocus(CurrentNativeWindow(), f->control);
    } else {
        SetCurrentField(n);
    }
}

// The candidates of NextField, in edit order.
std::vector<std::uint16_t> Candidates(const ScreenBlock& b, std::uint16_t first,
                                      std::uint16_t last) {
    std::vector<std::uint16_t> out;
    for (std::uint16_t i = first; i <= last && i <= b.fields.size(); ++i) {
        const ScreenField& f = b.fields[i - 1];
        if ((f.properties & kFieldEditable) != 0 && f.editOrder != kEditOrderHidden)
            out.push_back(i);
    }
    std::stable_sort(out.begin(), out.end(), [&](std::uint16_t a, std::uint16_t c) {
        return b.fields[a - 1].editOrder < b.fields[c - 1].editOrder;
    });
    return out;
}

} // namespace

// ---- Screens ----------------------------------------------------------------------------------

StatusCode OpenScreen(std::uint16_t fieldCount, TextRef definition, TextRef attributes,
                      std::uint8_t flags, std::uint16_t* number) {
    if (definition.failed()) return definition.status();
    if (attributes.failed()) return attributes.status();
    ScratchScope scope;
    ParsedDefinition parsed;
    if (const StatusCode st = ParseDefinition(definition.view(), &parsed); st != status::kOk) {
        return st;
    }
    if (fieldCount > kMaxScreenFields) {
        return Refuse(status::kScreenStruct, "field count " + std::to_string(fieldCount));
    }
    // The names, and the count from them when none was given.
    std::string attrs = CompleteNames(attributes, parsed.fields, fieldCount);
    TextRef attr = TextView(attrs);
    const TextRef names = Keyword(attr, "FD$");
    std::uint16_t count = fieldCount != 0 ? fieldCount : ListCount(names, ',');
    if (count == 0) count = static_cast<std::uint16_t>(parsed.fields.size());
    if (count > kMaxScreenFields) {
        return Refuse(status::kScreenStruct, "FD$ names " + std::to_string(count) + " fields");
    }
    if (count > parsed.fields.size()) {
        return Refuse(status::kScreenStruct,
                      "field " + std::to_string(parsed.fields.size() + 1) + " has no record");
    }
    if (fieldCount == 0 && ListCount(names, ',') < count) {
        attrs = CompleteNames(attributes, parsed.fields, count);
        attr = TextView(attrs);
    }
    const TextRef fd = Keyword(attr, "FD$");
    if (OpenScreenCount() >= kMaxScreens) return Refuse(status::kScreenStruct, "too many screens");

    ScreenRecord rec;
    rec.fieldCount = count;
    rec.flags = flags;
    rec.inUse = 1;
    // The repeated-lines area, by name, within the fields.
    const TextRef bounds = Keyword(attr, "BOUNDS$");
    if (count != 0 && !bounds.empty()) {
        const std::uint16_t first = ListFind(fd, TextView(KeywordItem(bounds, 1)), ',');
        const std::uint16_t last = ListFind(fd, TextView(KeywordItem(bounds, 2)), ',');
        if (first != 0 && last != 0 && first <= last && last <= count) {
            rec.linesFirst = first;
            rec.linesLast = last;
        }
    }
    // The starting field.
    const std::int32_t begin = NumberOr(Keyword(attr, "BEGINFLD%").view(), 0);
    rec.startField = static_cast<std::uint16_t>(std::clamp<std::int32_t>(begin - 1, 0, count));
    // The data file.
    const TextRef filedef = Keyword(attr, "FILEDEF$");
    const std::int32_t file =
        NumberOr(KeywordItem(filedef, static_cast<std::uint16_t>(count + 1)), 0);
    if (file < 0 || file > kMaxDataFiles || file > FileCount()) {
        return Refuse(status::kFileOutBound, "FILEDEF$ data file " + std::to_string(file));
    }
    rec.dataFile = static_cast<std::uint8_t>(file);
    // Index mode and key map.
    rec.indexMode = NumberOr(Keyword(attr, "UNICNDX%").view(), 0) != 0 ||
                            NumberOr(Keyword(attr, "AUTONDX%").view(), 0) != 0
                        ? 2
                        : 0;
    const std::int32_t keyMap = NumberOr(Keyword(attr, "KEYMAP%").view(), 0);
    // A key map that is not one of the two (negative, or past 255) keeps no events.
    rec.keyMap = static_cast<std::uint8_t>(keyMap < 0 || keyMap > 0xFF ? 0xFF : keyMap);

    // Steps 8 to 11: the fields.
    const TextRef alarms = Keyword(attr, "ALARM$");
    const TextRef widths = Keyword(attr, "WIDTHS$");
    const TextRef hidden = Keyword(attr, "HIDDEN$");
    const TextRef noEdit = Keyword(attr, "NOEDIT$");
    const TextRef order = Keyword(attr, "EDIT$");
    auto block = std::make_unique<ScreenBlock>();
    block->fields.assign(parsed.fields.begin(), parsed.fields.begin() + count);
    block->labels = std::move(parsed.labels);
    for (std::uint16_t i = 1; i <= count; ++i) {
        ScreenField& f = block->fields[i - 1];
        f.name = KeywordItem(fd, i);
        f.alarm = KeywordItem(alarms, i);
        const std::string width = KeywordItem(widths, i);
        std::int32_t w = 0;
        if (!width.empty() && (!ReadNumber(width, &w) || w < 0 || w > kMaxFieldLength)) {
            return Refuse(status::kScreenStruct,
                          "WIDTHS$ item " + std::to_string(i) + ": " + width.substr(0, 200));
        }
        if (w != 0) f.displayLength = static_cast<std::uint16_t>(w);
        f.control = kNoControl;
        if (const StatusCode st = BindField(f, KeywordItem(filedef, i), i, rec);
            st != status::kOk) {
            return st;
        }
        OrderField(f, i, rec, hidden, noEdit, order);
    }
    block->definition.assign(definition.view());
    block->attributes = attrs;

    MemoryReportSetCurrentScreens([](unsigned* s, unsigned* w) {
        *s = CurrentScreen();
        *w = CurrentWindow();
    });
    // The next free number; the screen becomes current.
    const std::uint16_t n = FreePlace<ScreenRecord>(table::kScreens);
    if (TableSet(table::kScreens, static_cast<std::uint16_t>(n - 1), &rec, sizeof rec) == nullptr) {
        return status::kStructMemory;
    }
    if (g_blocks.size() < n) g_blocks.resize(n);
    g_blocks[n - 1] = std::move(block);
    g_currentScreen = n;
    IntVarSet(kKeyMapVariable, static_cast<std::int16_t>(rec.keyMap));
    if (number != nullptr) *number = n;
    return status::kOk;
}

void CloseScreen(std::uint16_t screen) {
    ScreenRecord* rec = ScreenRec(screen);
    if (rec == nullptr) return;
    for (std::uint16_t w = 1; w <= TableCount(table::kWindows); ++w) {
        const WindowRecord* win = WindowRec(w);
        if (win == nullptr || win->screen != screen) continue;
        const WindowId native = win->native;
        if (CurrentUi().windowExists(native)) {
            WinDestroy(native);
        }
        DropWindowRecord(w);
    }
    rec = ScreenRec(screen);
    if (rec != nullptr) *rec = ScreenRecord{};
    g_blocks[screen - 1].reset();
    TrimFreeTail<ScreenRecord>(table::kScreens);
    if (g_currentScreen == screen) g_currentScreen = 0;
}

std::uint16_t CurrentScreen() { return g_currentScreen; }

void ScreenMakeCurrent(std::uint16_t screen) {
    if (ScreenRec(screen) != nullptr) g_currentScreen = screen;
}
std::uint16_t ScreenCount() { return TableCount(table::kScreens); }
std::uint16_t OpenScreenCount() { return InUse<ScreenRecord>(table::kScreens); }
std::uint16_t OpenWindowCount() { return InUse<WindowRecord>(table::kWindows); }

ScreenRecord ScreenInfo(std::uint16_t screen) {
    const ScreenRecord* r = ScreenRec(screen);
    return r != nullptr ? *r : ScreenRecord{};
}

const ScreenField* ScreenFieldOf(std::uint16_t screen, std::uint16_t field) {
    return FieldOf(screen, field);
}

const std::vector<ScreenLabel>* ScreenLabels(std::uint16_t screen) {
    const ScreenBlock* b = Block(screen);
    return b != nullptr ? &b->labels : nullptr;
}

// ---- Windows ----------------------------------------------------------------------------------

StatusCode OpenScreenWindow(std::uint16_t kind, std::uint16_t placement, TextRef title,
                            std::uint16_t* number) {
    if (ScreenRec(g_currentScreen) == nullptr) return Refuse(status::kScreenStruct, "no screen");
    if (OpenWindowCount() >= kMaxScreenWindows) {
        return Refuse(status::kScreenEnvironment, "32 screen windows are open");
    }
    if (g_eventDepth == 0) g_retired.clear();
    const std::uint16_t n = FreePlace<WindowRecord>(table::kWindows);
    auto proc = std::make_unique<ScreenWindowProc>(n);
    StatusCode st = status::kOk;
    const WindowId native =
        OpenRuntimeWindow(kind, placement, title, nullptr, kWholeGrid, kWholeGrid, proc.get(), &st);
    if (native == kNoWindow) return st;
    WindowRecord rec;
    rec.screen = g_currentScreen;
    rec.dataFile = ScreenRec(g_currentScreen)->dataFile;
    rec.native = native;
    rec.kind = static_cast<std::uint8_t>(kind);
    rec.inUse = 1;
    if (TableSet(table::kWindows, static_cast<std::uint16_t>(n - 1), &rec, sizeof rec) == nullptr) {
        WinDestroy(native);
        return status::kStructMemory;
    }
    if (g_procs.size() < n) g_procs.resize(n);
    g_procs[n - 1] = std::move(proc);
    WinRegister(native, n);
    g_currentWindow = n;
    if (number != nullptr) *number = n;
    return status::kOk;
}

std::uint16_t SelectWindow(std::int32_t n) {
    if (n < 0 || n > 0xFFFF) return WindowRec(g_currentWindow) != nullptr ? g_currentWindow : 0;
    const auto wanted = static_cast<std::uint16_t>(n);
    const WindowRecord* target = WindowRec(wanted);
    if (wanted != g_currentWindow && target != nullptr) {
        // The data layer keeps no record buffers: there is nothing to save for the window left.
        g_currentWindow = wanted;
        g_currentScreen = target->screen;
        if (const ScreenRecord* s = ScreenRec(target->screen)) {
            IntVarSet(kKeyMapVariable, static_cast<std::int16_t>(s->keyMap));
        }
    }
    return WindowRec(g_currentWindow) != nullptr ? g_currentWindow : 0;
}

std::uint16_t CurrentWindow() {
    return WindowRec(g_currentWindow) != nullptr ? g_currentWindow : 0;
}

WindowRecord WindowInfo(std::uint16_t window) {
    const WindowRecord* w = WindowRec(window);
    return w != nullptr ? *w : WindowRecord{};
}

WindowId CurrentNativeWindow() {
    const WindowRecord* w = WindowRec(g_currentWindow);
    return w != nullptr ? w->native : kNoWindow;
}

void ScreenActionSet(ScreenAction action, ScreenChain chain, void* extra) {
    WindowRecord* w = WindowRec(g_currentWindow);
    if (!Assert(w != nullptr, "ScreenActionSet"_t)) return;
    if ((w->flags & kWindowBuiltin) != 0) return;
    w->action = action;
    w->chain = chain;
    w->extra = extra;
}

void ScreenChainValues(std::int32_t first, std::int32_t second) {
    if (WindowRecord* w = WindowRec(g_currentWindow)) {
        w->chainFirst = first;
        w->chainSecond = second;
    }
}

StatusCode ScreenSetWin(std::uint8_t mode) {
    ScreenRecord* s = ScreenRec(g_currentScreen);
    if (!Assert(s != nullptr, "ScreenSetWin"_t)) return kAssertionStatus;
    s->windowMode = mode;
    if ((mode & screenmode::kNoControls) != 0) return SlotClearGroup(kGridValuesGroup);
    const WindowId native = CurrentNativeWindow();
    ScreenBlock* b = Block(g_currentScreen);
    const ScreenRecord screen = *s;
    for (const ScreenLabel& l : b->labels) {
        ScratchScope scope;
        MakeLabel(native, l.row, l.column,
                  static_cast<std::uint16_t>(std::min<std::size_t>(l.text.size(), 0xFFFF)), 1,
                  TextView(std::string_view(l.text).substr(0, 0xFFFF)));
    }
    for (std::uint16_t i = 1; i <= screen.fieldCount; ++i) {
        if (screen.linesFirst != 0 && i >= screen.linesFirst && i <= screen.linesLast) continue;
        ScreenField& f = b->fields[i - 1];
        const StatusCode st = CreateFieldControl(i, f, ColumnX(f.column), RowY(f.row), mode);
        if (st != status::kOk) return st;
        if (f.control != kNoControl) ScreenFieldShow(i);
    }
    return status::kOk;
}

StatusCode CreateFieldControl(std::uint16_t n, ScreenField& field, int x, int y,
                              std::uint8_t mode) {
    if (field.editOrder == kEditOrderHidden) return status::kOk;
    if (n == 0 || n > kMaxScreenFields) return Refuse(status::kScreenStruct, "field number");
    const ScreenRecord* s = ScreenRec(g_currentScreen);
    const WindowId native = CurrentNativeWindow();
    const CellDims cell = CellSize();
    const bool inLine = (mode & (screenmode::kInline | screenmode::kInlineAlt)) != 0;
    int height = cell.height;
    if (inLine) {
        height -= height / 8;
    } else {
        x = std::max(1, x - cell.width / 4);
    }
    const bool editable = field.editOrder != kEditOrderNone && (s == nullptr || n != s->startField);
    platform::ControlStyle style = EditStyleFor(field.type, editable);
    style |= inLine ? platform::kOnTop : platform::kBorder;
    const int width = std::max(GridWidth(field.displayLength), kMinFieldWidth);
    const ControlId id = kFirstFieldControl + n - 1;
    const platform::ControlSpec spec{
        platform::ControlKind::Edit, id, {x, y, width, height}, "", style};
    if (!CurrentUi().createControl(native, spec)) return status::kWindowsControl;
    field.control = id;
    Subclass(id, ControlProcedure::Field);
    CurrentUi().setEditLimit(native, id, field.maxLength);
    // A runtime window's controls are born in the fixed-pitch font; only a cell font made since
    // has to be given to them (each font change makes the face lay the control out again).
    if (TopCellFont() != platform::kNoFont) SetControlFont(FontKind::Runtime, native, id);
    return status::kOk;
}

void Subclass(ControlId control, ControlProcedure kind) {
    if (IntVarTest(sysvar::kCompat, kCompatNoSubclass)) return;
    if (g_currentWindow == 0 || g_currentWindow > g_procs.size()) return;
    if (ScreenWindowProc* p = g_procs[g_currentWindow - 1].get()) p->setKind(control, kind);
}

void CloseCurrentWindow() {
    const WindowRecord* w = WindowRec(g_currentWindow);
    if (w == nullptr) return;
    const std::uint16_t number = g_currentWindow;
    const WindowId native = w->native;
    if (CurrentUi().windowExists(native)) WinDestroy(native);
    DropWindowRecord(number);
}

void ScreensReset() {
    for (std::uint16_t s = TableCount(table::kScreens); s >= 1; --s) CloseScreen(s);
    for (std::uint16_t w = TableCount(table::kWindows); w >= 1; --w) {
        if (WindowRecord* r = WindowRec(w)) {
            if (CurrentUi().windowExists(r->native)) WinDestroy(r->native);
            DropWindowRecord(w);
        }
    }
    TableFree(table::kScreens);
    TableFree(table::kWindows);
    g_blocks.clear();
    g_procs.clear();
    g_retired.clear();
    g_currentScreen = g_currentWindow = 0;
    g_capturing = false;
    g_capture.clear();
}

// ---- Values -----------------------------------------------------------------------------------

StatusCode ScreenFieldSet(std::uint16_t n, TextRef text) {
    ScreenField* f = CurrentField(n);
    if (f == nullptr) return Refuse(status::kScreenStruct, "field " + std::to_string(n));
    if (text.failed()) return text.status();
    ScratchScope scope;
    TextRef value = EntryValue(f->type, text, f->maxLength);
    if (value.failed()) return LogErrorText(value.status(), text, false);
    value = TextTrim(value, IsTextType(f->type) ? TrimSides::Trailing : TrimSides::Both);
    const std::string previous = f->value;
    f->value.assign(value.view());
    const StatusCode st = AssignFieldVariable(*f);
    if (st != status::kOk) f->value = previous;
    return st;
}

StatusCode ScreenFieldShow(std::uint16_t n) {
    const ScreenField* f = CurrentField(n);
    if (f == nullptr) return Refuse(status::kScreenStruct, "field " + std::to_string(n));
    ScratchScope scope;
    const char type = f->type == 'P' ? 'A' : f->type;
    const TextRef shown = DisplayValue(type, TextView(f->value), f->displayLength);
    if (shown.failed()) {
        const std::string number = std::to_string(n);
        const TextRef message = MsgText("0017");
        const std::string format(message.view());
        const TextRef line = TextFormat(static_cast<std::uint16_t>(std::min<std::size_t>(
                                            format.size() + f->name.size() + 16, 0xFFFF)),
                                        format.c_str(), number.c_str(), f->name.c_str());
        LogErrorText(shown.status(), line, true);
        return shown.status();
    }
    if (f->control == kNoControl) return status::kOk;
    const TextRef trimmed = TextTrim(shown, TrimSides::Both);
    CurrentUi().setText(CurrentNativeWindow(), f->control, trimmed.view());
    return status::kOk;
}

TextRef ScreenFieldValue(std::uint16_t n) {
    const ScreenField* f = CurrentField(n);
    return f == nullptr ? TextRef() : TextView(f->value);
}

StatusCode FieldLeaveCheck(std::uint16_t n) {
    const ScreenField* f = CurrentField(n);
    if (f == nullptr || f->alarm.empty()) return status::kOk;
    const std::string condition = f->alarm;
    const StatusCode holds = EvalCondition(TextView(condition));
    if (holds == 1) return status::kOk;
    return LogErrorText(screenresult::kCheckFailed, TextView(condition), false);
}

// ---- Events -----------------------------------------------------------------------------------

StatusCode DispatchToWindow(std::uint16_t event) {
    WindowRecord* w = WindowRec(g_currentWindow);
    if (w == nullptr) return status::kOk;
    if (w->action == nullptr || (w->flags & kWindowBuiltin) != 0) return BuiltinScreenEvent(event);
    const std::uint16_t number = g_currentWindow;
    std::uint16_t next = event;
    // A chain that never says -1 is cut off rather than looping for ever.
    for (int guard = 0; guard < kMaxChainedEvents; ++guard) {
        const WindowRecord* live = WindowRec(number);
        if (live == nullptr || live->action == nullptr) return status::kOk;
        // A copy: the action may open windows, and the table's records move when it grows.
        const WindowRecord now = *live;
        StatusCode result = now.action(next, now.extra);
        if (result < screenresult::kShown) result &= static_cast<StatusCode>(~2u);
        if (result != 0 || now.chain == nullptr) return result;
        const std::int32_t following = now.chain(now.chainFirst, now.chainSecond, next);
        if (following < 0 || following > 0xFFFF) return result;
        next = static_cast<std::uint16_t>(following);
    }
    return status::kOk;
}

StatusCode BuiltinScreenEvent(std::uint16_t event) {
    const WindowRecord* w = WindowRec(g_currentWindow);
    const ScreenRecord* s = ScreenRec(g_currentScreen);
    if (w == nullptr || s == nullptr) return status::kData;
    const std::uint16_t current = w->currentField;
    switch (EventNumber(event)) {
    case screenevent::kNextField:
    case screenevent::kDown: {
        const std::int32_t next = NextField(current, +1);
        if (next < 0) {
            const StatusCode check = FieldLeaveCheck(current);
            return check != status::kOk ? check : screenresult::kNoMove;
        }
        MoveToField(static_cast<std::uint16_t>(next));
        return status::kOk;
    }
    case screenevent::kPreviousField:
    case screenevent::kUp: {
        const std::int32_t previous = NextField(current, -1);
        if (previous >= 0) MoveToField(static_cast<std::uint16_t>(previous));
        return status::kOk;
    }
    case screenevent::kRestore: {
        const ScreenField* f = CurrentField(current);
        if (f == nullptr || f->control == kNoControl) return status::kOk;
        const auto text = CurrentUi().text(w->native, f->control);
        return text && text->size() <= kMaxTextLength ? ScreenFieldSet(current, TextView(*text))
                                                      : status::kOk;
    }
    case screenevent::kToEnd: {
        if (w->kind == static_cast<std::uint8_t>(DialogKind::Grid) && s->linesLast != 0) {
            const ScreenBlock* b = Block(g_currentScreen);
            const auto after =
                Candidates(*b, static_cast<std::uint16_t>(s->linesLast + 1), s->fieldCount);
            if (!after.empty()) {
                MoveToField(after.front());
                return status::kOk;
            }
        }
        return screenresult::kNoMove;
    }
    case screenevent::kCaptured:
    case screenevent::kClose:
    case screenevent::kCheckFailed:
    case screenevent::kFieldEntered:
    case screenevent::kFocus:
    case screenevent::kFocusLost:
    case screenevent::kFirstActivation:
        // Notifications of what already happened: nothing to do, and nothing wrong.
        return status::kOk;
    default: {
        // Say which event had nothing to handle it, not what failed before.
        ScratchScope scope;
        return LogErrorText(status::kData,
                            TextFormat(32, "Evento %u/%u", unsigned{EventNumber(event)},
                                       unsigned{EventParameter(event)}),
                            false);
    }
    }
}

StatusCode DispatchEvent(ControlId control, std::uint16_t event) {
    const std::uint8_t number = EventNumber(event);
    const std::int32_t lastKey = IntVarGet(sysvar::kLastKey);
    StatusCode result = status::kOk;
    if (number == screenevent::kFocus && FieldOfControl(control) != 0) {
        const std::uint16_t field = FieldOfControl(control);
        const WindowRecord* w = WindowRec(g_currentWindow);
        if (w == nullptr) return status::kOk;
        if (w->currentField != 0 && w->currentField != field) {
            const StatusCode check = FieldLeaveCheck(w->currentField);
            if (check == screenresult::kCheckFailed) {
                DispatchToWindow(screenevent::kCheckFailed);
                return ReportResult(check);
            }
        }
        const WindowId native = w->native;
        if (CurrentUi().focusedControl(native) != control) CurrentUi().setFocus(native, control);
        CurrentUi().selectAll(native, control);
        SetCurrentField(field);
        result = DispatchToWindow(screenevent::kFieldEntered);
    } else if (number == screenevent::kFocusLost) {
        if (!IsNavigationKey(lastKey)) StoreControlText(control);
        return status::kOk;
    } else {
        if (number != screenevent::kFocus && IsNavigationKey(lastKey)) StoreControlText(control);
        result = DispatchToWindow(event);
        if (result < status::kFirstError && (result & screenresult::kCloseWindow) != 0) {
            CloseCurrentWindow();
            result &= screenresult::kCleared;
        }
    }
    return ReportResult(result);
}

std::int32_t NextField(std::uint16_t from, std::int32_t direction) {
    const ScreenRecord* s = ScreenRec(g_currentScreen);
    const ScreenBlock* b = Block(g_currentScreen);
    if (s == nullptr || b == nullptr || direction == 0) return -1;
    const bool inLines = s->linesFirst != 0 && from >= s->linesFirst && from <= s->linesLast;
    const std::vector<std::uint16_t> candidates =
        inLines ? Candidates(*b, s->linesFirst, s->linesLast) : Candidates(*b, 1, s->fieldCount);
    if (candidates.empty()) return -1;
    const auto it = std::find(candidates.begin(), candidates.end(), from);
    if (it == candidates.end()) return direction > 0 ? candidates.front() : candidates.back();
    const std::ptrdiff_t at = (it - candidates.begin()) + (direction > 0 ? 1 : -1);
    if (at >= 0 && at < static_cast<std::ptrdiff_t>(candidates.size())) return candidates[at];
    if (!inLines) return -1;
    IntVarFlags(sysvar::kScrStat, kScrStatWrapped, true);
    return at < 0 ? candidates.back() : candidates.front();
}

void SetCurrentField(std::uint16_t n) {
    WindowRecord* w = WindowRec(g_currentWindow);
    if (w != nullptr) {
        bool keep = false;
        if (w->currentField != 0 && w->currentField < n &&
            FieldLeaveCheck(w->currentField) == screenresult::kCheckFailed) {
            DispatchToWindow(screenevent::kCheckFailed);
            keep = true;
        }
        w = WindowRec(g_currentWindow);
        if (w != nullptr && !keep) w->currentField = n;
    }
    IntVarSet(sysvar::kCurEdFld, static_cast<std::int16_t>(n));
}

void Scroll(WindowId window, platform::ScrollBar bar, int code, int position) {
    platform::ScrollInfo info = CurrentUi().scrollBar(window, bar);
    const CellDims cell = CellSize();
    const int step = bar == platform::ScrollBar::Horizontal ? cell.width : cell.height;
    int pos = info.pos;
    switch (code) {
    case platform::scroll::LineUp:
        pos -= 2;
        break;
    case platform::scroll::LineDown:
        pos += 2;
        break;
    case platform::scroll::PageUp:
        pos -= step;
        break;
    case platform::scroll::PageDown:
        pos += step;
        break;
    case platform::scroll::ThumbTrack:
        pos = position;
        break;
    case platform::scroll::Top:
        pos = info.min;
        break;
    case platform::scroll::Bottom:
        pos = info.max;
        break;
    default:
        return;
    }
    pos = std::clamp(pos, info.min, std::max(info.min, info.max));
    if (pos == info.pos) return;
    const int delta = info.pos - pos;
    if (bar == platform::ScrollBar::Horizontal) {
        CurrentUi().scrollContents(window, delta, 0);
    } else {
        CurrentUi().scrollContents(window, 0, delta);
    }
    info.pos = pos;
    CurrentUi().setScrollBar(window, bar, info);
}

bool CaptureActive() { return g_capturing; }

} // namespace vodarir
