// Prompt dialogs: layout from the specification, defaults, the dialog's action, acceptance with
// its assignments and limit condition; button bars.
#include "screens/prompt_dialog.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/data_access.h"
#include "masks/cell_fonts.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/key_codes.h"
#include "runtime/ui/win_basics.h"
#include "runtime/ui/window_geometry.h"
#include "screens/screen_events.h"
#include "screens/screen_windows.h"
#include "script/evaluator.h"
#include "script/prompt_spec.h"
#include "script/tokens.h"

namespace vodarir {

namespace {

using namespace literals;
using platform::ControlId;
using platform::CurrentUi;
using platform::kNoControl;
using platform::kNoWindow;

// The margins a prompt's grid is given: two columns, a row above for the buttons, two below.
constexpr std::uint16_t kPromptColumnMargin = 2;
constexpr std::uint16_t kPromptRowMargin = 1;
constexpr std::uint16_t kPromptExtraRows = 2;
constexpr std::uint16_t kMaxCell = 99;
constexpr std::string_view kNumericTypes = "NL123456789";
// Operators of the comparisons of a limit dialog, by the word of message 0080.
constexpr std::string_view kLimitOperators[] = {"", ">", "<", "==", ">=", "<=", "<>"};
constexpr std::uint16_t kDefaultComparison = 3;
constexpr std::uint16_t kComparisonCount = 6;
constexpr std::string_view kWindowOptions = " /";

struct PromptItem {
    char type = 'A';
    std::uint16_t width = 1;
    std::string label;
    std::uint16_t row = 0;
    std::uint16_t column = 0; // of the label; 0: the common column
    std::uint16_t comparison = kDefaultComparison;
};

// What the dialog's action works with while it runs.
struct PromptState {
    std::string spec;
    std::uint16_t flags = 0;
    std::uint16_t count = 0;
    std::vector<PromptItem> items;
    bool accepted = false;
    std::string answers;
};

std::string Printable(std::string_view text, std::size_t most) {
    std::string out(text.substr(0, most));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return out;
}

// The window options after " /" of an item's label.
std::string LabelOptions(TextRef spec, std::uint16_t item) {
    const TextRef part = PromptPart(spec, item, PromptPartKind::Label);
    const std::size_t at = part.view().find(kWindowOptions);
    return at == std::string_view::npos ? std::string() : std::string(part.view().substr(at + 2));
}

std::uint16_t ItemComparison(TextRef spec, std::uint16_t item) {
    const std::string options = LabelOptions(spec, item);
    if (options.empty()) return kDefaultComparison;
    ScratchScope scope;
    const std::int16_t n = TextToInt(TextOptGet(TextView(options), "CMP"_t));
    return n >= 1 && n <= kComparisonCount ? static_cast<std::uint16_t>(n) : kDefaultComparison;
}

// Reads every item: type and width, label (evaluated), position.
StatusCode ReadItems(TextRef spec, std::uint16_t flags, std::vector<PromptItem>* items) {
    const std::uint16_t count = PromptItemCount(spec);
    for (std::uint16_t k = 1; k <= count; ++k) {
        ScratchScope scope;
        PromptItem item;
        PromptTypeWidth(spec, k, &item.type, &item.width);
        if ((flags & promptflag::kLimits) != 0) item.comparison = ItemComparison(spec, k);
        const TextRef label =
            PromptLabel(spec, k, (flags & promptflag::kLimits) != 0 ? item.comparison : 0);
        if (label.failed()) return label.status();
        item.label = Printable(label.view(), kMaxPromptLabel);
        for (const PromptPartKind part : {PromptPartKind::Label, PromptPartKind::TypeWidth,
                                          PromptPartKind::Target, PromptPartKind::Default}) {
            const PromptPosition p = SplitPosition(PromptPart(spec, k, part));
            if (item.row == 0) item.row = p.row;
            if (item.column == 0) item.column = p.column;
        }
        if (item.row == 0) item.row = k;
        item.row = std::min(item.row, kMaxCell);
        items->push_back(std::move(item));
    }
    return status::kOk;
}

struct PromptLayout {
    std::string definition;
    std::string attributes;
    std::uint16_t columns = 1;
    std::uint16_t rows = 1;
};

PromptLayout Layout(const std::vector<PromptItem>& items) {
    PromptLayout l;
    std::size_t longest = 0;
    for (const PromptItem& i : items) {
        if (i.column == 0) longest = std::max(longest, i.label.size());
    }
    std::string widths;
    for (const PromptItem& i : items) {
        const std::uint16_t labelColumn = i.column != 0 ? i.column : 1;
        const std::size_t labelEnd = i.column != 0 ? i.column + i.label.size() : 1 + longest;
        const auto fieldColumn =
            static_cast<std::uint16_t>(std::min<std::size_t>(labelEnd + 1, kMaxCell));
        const std::uint16_t display = std::min(i.width, kMaxPromptDisplay);
        char buf[48];
        if (!i.label.empty()) {
            std::snprintf(buf, sizeof buf, "0%2u%2u", unsigned{i.row}, unsigned{labelColumn});
            l.definition += buf + i.label + "\r\n";
        }
        std::snprintf(buf, sizeof buf, "1%2u%2u 0 0%2u%c\r\n", unsigned{i.row},
                      unsigned{fieldColumn}, unsigned{i.width}, i.type);
        l.definition += buf;
        if (!widths.empty()) widths += ',';
        widths += std::to_string(display);
        l.columns =
            static_cast<std::uint16_t>(std::max<std::size_t>(l.columns, fieldColumn + display));
        l.rows = std::max(l.rows, i.row);
    }
    l.attributes = "WIDTHS$='" + widths + "'";
    return l;
}

std::string Quoted(std::string_view answer) {
    const char quote = answer.find('\'') != std::string_view::npos ? '"' : '\'';
    return quote + std::string(answer) + quote;
}

bool IsNumeric(char type) { return kNumericTypes.find(type) != std::string_view::npos; }

// Takes every edit's text into its field.
void TakeEditTexts(std::uint16_t count) {
    const platform::WindowId native = CurrentNativeWindow();
    for (std::uint16_t k = 1; k <= count; ++k) {
        const ScreenField* f = ScreenFieldOf(CurrentScreen(), k);
        if (f == nullptr || f->control == kNoControl) continue;
        const auto text = CurrentUi().text(native, f->control);
        if (text && text->size() <= kMaxTextLength) ScreenFieldSet(k, TextView(*text));
    }
}

// The target of an item: part 3, or part 1 when that is empty, as its first token.
std::string TargetOf(TextRef spec, std::uint16_t k) {
    ScratchScope scope;
    TextRef target =
        TextTrim(SplitPosition(PromptPart(spec, k, PromptPartKind::Target)).value, TrimSides::Both);
    if (target.empty()) {
        target = SplitPosition(PromptPart(spec, k, PromptPartKind::Label)).value;
        const std::size_t at = target.view().find(kWindowOptions);
        if (at != std::string_view::npos)
            target = TextRef(target.data, static_cast<std::uint16_t>(at));
        target = TextTrim(target, TrimSides::Both);
    }
    if (target.empty()) return {};
    const TokenCursor token = NextToken(NewCursor(target));
    return std::string(TokenText(token).view());
}

StatusCode Accept(PromptState& s) {
    TakeEditTexts(s.count);
    const TextRef spec = TextView(s.spec);
    std::string answers;
    std::string condition;
    for (std::uint16_t k = 1; k <= s.count; ++k) {
        const PromptItem& item = s.items[k - 1];
        const std::string answer(ScreenFieldValue(k).view());
        const std::string target = TargetOf(spec, k);
        if (target.empty()) {
            ScratchScope scope;
            return LogErrorText(status::kData, ListItem(spec, kPromptItemSeparator, k), false);
        }
        std::string name;
        {
            ScratchScope scope;
            name.assign(
                TextTrim(SplitPosition(PromptPart(spec, k, PromptPartKind::Assignment)).value,
                         TrimSides::Both)
                    .view());
        }
        if (name.empty() && (s.flags & promptflag::kAssign) != 0 &&
            (s.flags & promptflag::kLimits) == 0) {
            name = target;
        }
        const bool numeric = IsNumeric(item.type);
        if (!name.empty()) {
            const std::string value = numeric ? (answer.empty() ? "0" : answer) : Quoted(answer);
            const std::string assignment = name + "=" + value;
            if (assignment.size() > kMaxTextLength) return status::kStringTooLong;
            const StatusCode st = EvalStatus(TextView(assignment));
            if (st != status::kOk) return st;
        }
        if (k > 1) answers += ',';
        answers += Quoted(answer);
        if ((s.flags & promptflag::kLimits) != 0 && !answer.empty()) {
            const std::string_view op = kLimitOperators[item.comparison];
            const std::string comparison =
                target + std::string(op) + (numeric ? answer : "'" + answer + "'");
            condition += (condition.empty() ? "" : "&&") + comparison;
        }
    }
    if (answers.size() > kMaxTextLength || condition.size() > kMaxTextLength) {
        return status::kStringTooLong;
    }
    StatusCode st = SlotSet(kAnswerGroup, kAnswersSlot, TextView(answers));
    if (st == status::kOk) st = SlotSet(kAnswerGroup, kAnswerConditionSlot, TextView(condition));
    if (st != status::kOk) return st;
    s.answers = std::move(answers);
    s.accepted = true;
    return status::kOk;
}

ControlId FirstBarButton() { return kAcceptCommand; }

// The dialog's action: accept and cancel close it, navigation is the screens' own.
StatusCode PromptAction(std::uint16_t event, void* extra) {
    auto& s = *static_cast<PromptState*>(extra);
    const std::uint8_t number = EventNumber(event);
    if (number == screenevent::kButton) {
        if (EventParameter(event) == kAcceptButton) {
            const StatusCode st = Accept(s);
            return st == status::kOk ? screenresult::kCloseWindow : st;
        }
        if (EventParameter(event) == kCancelButton) return screenresult::kCloseWindow;
        return status::kOk;
    }
    if (number == screenevent::kEscape || number == screenevent::kClose) {
        return screenresult::kCloseWindow;
    }
    if (number == screenevent::kNextField || number == screenevent::kDown) {
        const StatusCode r = BuiltinScreenEvent(event);
        if (r != screenresult::kNoMove) return r;
        if (IntVarGet(sysvar::kLastKey) == runkey::kEnter) {
            const StatusCode st = Accept(s);
            return st == status::kOk ? screenresult::kCloseWindow : st;
        }
        // Tab from the last field goes on to the buttons.
        CurrentUi().setFocus(CurrentNativeWindow(), FirstBarButton());
        return status::kOk;
    }
    const StatusCode r = BuiltinScreenEvent(event);
    return r == screenresult::kNoMove || r == status::kData ? status::kOk : r;
}

// Restores the geometry a prompt changed, on every way out.
class GeometryKeeper {
public:
    GeometryKeeper() : saved_(GeometrySave()) {}
    ~GeometryKeeper() { GeometryRestore(saved_); }
    GeometryKeeper(const GeometryKeeper&) = delete;
    GeometryKeeper& operator=(const GeometryKeeper&) = delete;

private:
    GeometryRecords saved_;
};

} // namespace

std::vector<platform::Rect> ButtonBarLayout(std::uint16_t shown, std::uint16_t codes,
                                            ButtonWidth width, std::uint16_t flags,
                                            int clientWidth) {
    std::vector<platform::Rect> out;
    if (shown == 0) return out;
    int slot = kFixedButtonSlot;
    if (width == ButtonWidth::PerShown) slot = clientWidth / shown;
    if (width == ButtonWidth::PerCode) slot = clientWidth / std::max<std::uint16_t>(codes, 1);
    slot = std::max(slot, 3);
    const int height = std::max<int>(CellSize().height - 1, 1);
    const bool stacked = (flags & kButtonsStacked) == kButtonsStacked;
    int x = flags == 0 ? 2 : std::max(0, (clientWidth - (stacked ? slot : slot * shown)) / 2);
    int y = kButtonBarTop;
    for (std::uint16_t i = 0; i < shown; ++i) {
        out.push_back({x, y, slot - 2, height});
        if (stacked) {
            y += height;
        } else {
            x += slot;
        }
    }
    return out;
}

StatusCode MakeButtonBar(platform::WindowId window, TextRef codes, TextRef labels,
                         TextRef positions, ButtonWidth width, std::uint16_t flags) {
    if (codes.failed() || labels.failed() || positions.failed()) return status::kData;
    ScratchScope scope;
    const std::uint16_t count = ListCount(codes, ',');
    std::vector<std::uint16_t> shown;
    if (positions.empty()) {
        for (std::uint16_t i = 1; i <= count; ++i) shown.push_back(i);
    } else {
        for (std::uint16_t i = 1; i <= ListCount(positions, ','); ++i) {
            const std::int16_t p = ListItemNum(positions, ',', i);
            if (p < 1 || p > count) return LogErrorText(status::kData, positions, false);
            shown.push_back(static_cast<std::uint16_t>(p));
        }
    }
    std::vector<ControlId> ids;
    for (const std::uint16_t p : shown) {
        // The data layer keeps no move codes: an action's number is its place in the list of
        // record actions, as the key tables number their buttons.
        const std::uint16_t action = ListFind(
            TextView(kRecordActionNames), TextTrim(ListItem(codes, ',', p), TrimSides::Both), ',');
        if (action == 0) return LogErrorText(status::kData, ListItem(codes, ',', p), false);
        ids.push_back(kFirstButtonCommand + action);
    }
    const std::vector<platform::Rect> rects =
        ButtonBarLayout(static_cast<std::uint16_t>(shown.size()), count, width, flags,
                        CurrentUi().clientSize(window).width);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const TextRef label =
            TextUnquote(TextTrim(ListItem(labels, ',', shown[i]), TrimSides::Both));
        const platform::ControlSpec spec{platform::ControlKind::Button, ids[i], rects[i],
                                         label.view(), platform::kTabStop};
        if (!CurrentUi().createControl(window, spec)) return status::kWindowsControl;
        if (TopCellFont() != platform::kNoFont) SetControlFont(FontKind::Runtime, window, ids[i]);
        Subclass(ids[i], ControlProcedure::ListOrButton);
    }
    return status::kOk;
}

StatusCode PromptDefaults(TextRef spec) {
    const ScreenRecord screen = ScreenInfo(CurrentScreen());
    for (std::uint16_t k = 1; k <= screen.fieldCount; ++k) {
        ScratchScope scope;
        const TextRef written = TextTrim(
            SplitPosition(PromptPart(spec, k, PromptPartKind::Default)).value, TrimSides::Both);
        const TextRef value = written.empty() ? Answer(k) : EvalText(written);
        if (value.failed()) return value.status();
        const StatusCode st = ScreenFieldSet(k, value);
        if (st != status::kOk) return st;
        ScreenFieldShow(k);
    }
    return status::kOk;
}

PromptResult RunPrompt(TextRef specText, TextRef title, std::uint16_t flags) {
    PromptResult result;
    ScratchScope scope;
    const TextRef spec = NormalizePrompt(specText);
    if (spec.failed()) {
        result.status = spec.status();
        return result;
    }
    if ((result.status = PromptCheck(spec)) != status::kOk) return result;
    PromptState state;
    state.spec.assign(spec.view());
    state.flags = flags;
    state.count = PromptItemCount(spec);
    if ((result.status = ReadItems(spec, flags, &state.items)) != status::kOk) return result;
    const PromptLayout layout = Layout(state.items);

    const std::int16_t editedField = IntVarGet(sysvar::kCurEdFld);
    const std::uint16_t screenBefore = CurrentScreen();
    const std::uint16_t windowBefore = CurrentWindow();
    GeometryKeeper keepGeometry;
    GeometrySize(layout.columns, layout.rows, false);
    GeometryMargins(kPromptColumnMargin, kPromptRowMargin, kPromptExtraRows, kGeometryKeep);

    std::uint16_t screen = 0;
    result.status = OpenScreen(state.count, TextView(layout.definition),
                               TextView(layout.attributes), 0, &screen);
    if (result.status != status::kOk) return result;
    std::uint16_t window = 0;
    result.status = OpenScreenWindow(static_cast<std::uint16_t>(DialogKind::Dialog),
                                     flags & promptflag::kUnderFocus, title, &window);
    if (result.status == status::kOk) result.status = ScreenSetWin(0);
    const platform::WindowId native = CurrentNativeWindow();
    if (result.status == status::kOk) {
        const std::vector<platform::Rect> bar =
            ButtonBarLayout(2, 2, ButtonWidth::Fixed, 1, CurrentUi().clientSize(native).width);
        const TextRef cancel = MsgText(kCancelMessage);
        const platform::ControlSpec accept{platform::ControlKind::Button, kAcceptCommand, bar[0],
                                           kAcceptLabel, platform::kTabStop};
        const platform::ControlSpec cancelButton{platform::ControlKind::Button, kCancelCommand,
                                                 bar[1], cancel.view(), platform::kTabStop};
        if (!CurrentUi().createControl(native, accept) ||
            !CurrentUi().createControl(native, cancelButton)) {
            result.status = status::kWindowsControl;
        } else {
            for (const ControlId id : {kAcceptCommand, kCancelCommand}) {
                if (TopCellFont() != platform::kNoFont) {
                    SetControlFont(FontKind::Runtime, native, id);
                }
                Subclass(id, ControlProcedure::ListOrButton);
            }
        }
    }
    if (result.status == status::kOk) result.status = RememberPrompt(spec);
    if (result.status == status::kOk) {
        result.status = SlotSet(kAnswerGroup, kAnswerConditionSlot, TextRef());
    }
    if (result.status == status::kOk) result.status = PromptDefaults(spec);
    if (result.status == status::kOk) {
        ScreenActionSet(&PromptAction, nullptr, &state);
        WinShowTop();
        const std::int32_t first = NextField(0, +1);
        if (first > 0) {
            const ScreenField* f = ScreenFieldOf(screen, static_cast<std::uint16_t>(first));
            if (f != nullptr && f->control != kNoControl) CurrentUi().setFocus(native, f->control);
        }
        IntVarSet(sysvar::kLastKey, static_cast<std::int16_t>(runkey::kEnter));
        PumpUntilQuit(native);
        result.closingKey = static_cast<std::uint16_t>(IntVarGet(sysvar::kLastKey));
        result.status = state.accepted ? status::kOk : status::kCancelled;
        result.answers = state.answers;
    }
    CloseScreen(screen);
    IntVarSet(sysvar::kCurEdFld, editedField);
    if (windowBefore != 0) SelectWindow(windowBefore);
    if (CurrentScreen() == 0) ScreenMakeCurrent(screenBefore);
    return result;
}

} // namespace vodarir
