// Choice prompts (ChooseItem and its window's keys and commands), the button helpers and the
// runtime's dynamic controls.
#include "runtime/ui/choice_prompts.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "masks/cell_fonts.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/win_basics.h"

namespace vodarir {

namespace {

using platform::ControlId;
using platform::CurrentUi;
using platform::kNoControl;
using platform::kNoWindow;
using platform::Ui;
using platform::WindowId;

// ---- Choice geometry --------------------------------------------------------------------------

// Characters added to the longest item for a button's or the list box's width.
constexpr int kChoiceWidthSlack = 5;
constexpr int kListBoxMinWidth = 15;
// A button row is two character cells high.
constexpr int kButtonRowCells = 2;
constexpr int kMaxChoiceButtons = kLastChoiceButton - kFirstChoiceButton + 1;
// Cells of this size stand in when the face cannot measure any.
constexpr CellDims kFallbackCell{8, 16};

struct ChoiceLayout {
    int itemWidth = 0; // characters of one button or of the list box
    int width = 0;     // characters of the whole window
    int rows = 0;
    int columns = 1;
};

// The rows and columns of the prompt: one column of buttons, halved into more columns (and a
// wider window) while the column is taller than the screen.
ChoiceLayout LayoutChoice(std::uint16_t count, int longest, bool listBox, CellDims cell,
                          int screenHeight) {
    ChoiceLayout l;
    l.itemWidth = longest + kChoiceWidthSlack;
    l.width = l.itemWidth;
    l.rows = count;
    if (listBox) {
        l.rows = count + 1;
        l.itemWidth = l.width = std::max(l.width, kListBoxMinWidth);
        return l;
    }
    while (l.rows > 1 && l.rows * kButtonRowCells * cell.height > screenHeight) {
        l.rows /= 2;
        l.width = l.width * 4 - l.width / 2 - l.width / 4 - l.width / 8;
    }
    l.columns = (count + l.rows - 1) / l.rows;
    return l;
}

CellDims UsableCell() {
    const CellDims cell = CellSize();
    return cell.width == 0 || cell.height == 0 ? kFallbackCell : cell;
}

bool IsChoiceButton(ControlId id) { return id >= kFirstChoiceButton && id <= kLastChoiceButton; }
bool IsChoiceListBox(ControlId id) { return id >= kFirstListBox && id <= kLastListBox; }

// The choice window's procedure (or, inside the top window, its filter): Esc cancels, Enter
// takes the focused button or the list box's current item, Up and Down move among the buttons,
// a click or a double click chooses. The choice is left in _STAT and a quit ends the loop.
class ChoiceEvents final : public platform::WindowEvents {
public:
    explicit ChoiceEvents(WindowId window) : window_(window) {}
    void setWindow(WindowId window) { window_ = window; }

    bool onKeyDown(ControlId control, platform::VirtualKey key, platform::Modifiers) override {
        const std::uint16_t code = KeyCode(key);
        const bool inList = IsChoiceListBox(control) && CurrentUi().controlKind(window_, control) ==
                                                            platform::ControlKind::ListBox;
        if (code == runkey::kEsc) {
            finish(0);
            return true;
        }
        if (code == runkey::kEnter) {
            const int chosen =
                inList ? CurrentUi().currentListItem(window_, control) + 1 : ButtonFocused(window_);
            if (chosen != 0) finish(chosen);
            return true;
        }
        if ((code == runkey::kUp || code == runkey::kDown) && !inList) {
            ButtonStep(code, window_);
            return true;
        }
        return false;
    }

    void onCommand(ControlId id, int notification) override {
        int value = -1;
        if (IsChoiceListBox(id) && notification == platform::notify::LbnDblClk) {
            value = CurrentUi().currentListItem(window_, id);
        } else if (IsChoiceButton(id) && notification == platform::notify::BnClicked &&
                   id - kFirstChoiceButton < ButtonCount(window_)) {
            value = id - kFirstChoiceButton;
        }
        if (value >= 0) finish(value + 1);
    }

private:
    void finish(int chosen) {
        if (finished_) return;
        finished_ = true;
        IntVarSet(sysvar::kStat, static_cast<std::int16_t>(chosen));
        PostQuit(window_);
    }

    WindowId window_;
    bool finished_ = false;
};

void RemoveChoiceControls(WindowId window, std::uint16_t count, bool listBox) {
    Ui& ui = CurrentUi();
    if (listBox) {
        ui.destroyControl(window, kFirstListBox);
        return;
    }
    for (std::uint16_t k = 0; k < count; ++k) ui.destroyControl(window, kFirstChoiceButton + k);
}

// Builds the list box or the buttons of the prompt in `window`; false when a control could not
// be made (the ones made are removed again).
bool BuildChoiceControls(WindowId window, TextRef items, std::uint16_t count, const ChoiceLayout& l,
                         CellDims cell, bool listBox) {
    Ui& ui = CurrentUi();
    if (listBox) {
        const ControlId list =
            MakeListBox(window, 0, 0, l.width * cell.width, l.rows * cell.height, 0, items);
        if (list == kNoControl) return false;
        ui.setCurrentListItem(window, list, 0);
        ui.setFocus(window, list);
        return true;
    }
    const int pitch = l.width * cell.width / l.columns;
    const int buttonWidth = l.itemWidth * cell.width;
    const int buttonHeight = kButtonRowCells * cell.height;
    for (std::uint16_t k = 1; k <= count; ++k) {
        const int column = (k - 1) / l.rows;
        const int row = (k - 1) % l.rows;
        const ControlId id = kFirstChoiceButton + k - 1;
        ScratchScope scope;
        const TextRef label = TextUnquote(ListItem(items, ',', k));
        const bool made = MakeButton(window, column * pitch, row * buttonHeight, buttonWidth,
                                     buttonHeight, id) != kNoControl;
        const bool labelled = made && ui.setText(window, id, label.view());
        if (!labelled) {
            // Only what was made here goes: an id that was taken belongs to someone else.
            RemoveChoiceControls(window, static_cast<std::uint16_t>(made ? k : k - 1), false);
            return false;
        }
    }
    return true;
}

// The prompt in a window of its own, centred on the screen.
void ChooseInOwnWindow(TextRef title, TextRef items, std::uint16_t count, const ChoiceLayout& l,
                       CellDims cell, bool listBox) {
    Ui& ui = CurrentUi();
    const int rowHeight = listBox ? cell.height : kButtonRowCells * cell.height;
    const platform::Margins m =
        ui.frameMargins(WinFrameStyle(winstyle::kModalPopup), /*withMenu=*/false);
    const int width = l.width * cell.width + m.left + m.right;
    const int height = l.rows * rowHeight + m.top + m.bottom;
    const platform::Rect screen = ui.workArea();
    const int x = screen.x + std::max(0, (screen.width - width) / 2);
    const int y = screen.y + std::max(0, (screen.height - height) / 2);

    ChoiceEvents events(kNoWindow);
    const WindowId window = WinCreate(TextView(kChoiceWindowName), title, winstyle::kModalPopup, x,
                                      y, width, height, nullptr, &events);
    if (window == kNoWindow) {
        IntVarSet(sysvar::kStat, static_cast<std::int16_t>(kChoiceRefused));
        return;
    }
    events.setWindow(window);
    if (BuildChoiceControls(window, items, count, l, cell, listBox)) {
        PumpUntilQuit(window);
    } else {
        IntVarSet(sysvar::kStat, static_cast<std::int16_t>(kChoiceRefused));
    }
    WinDestroy(window);
}

// The prompt inside the top runtime window; false when there is none to hold it.
bool ChooseInTopWindow(TextRef items, std::uint16_t count, const ChoiceLayout& l, CellDims cell,
                       bool listBox) {
    const WindowId top = WinTop();
    ChoiceEvents events(top);
    if (top == kNoWindow || !WinSetFilter(top, &events)) return false;
    if (BuildChoiceControls(top, items, count, l, cell, listBox)) {
        WinShowTop();
        PumpUntilQuit(kNoWindow);
        RemoveChoiceControls(top, count, listBox);
    } else {
        IntVarSet(sysvar::kStat, static_cast<std::int16_t>(kChoiceRefused));
    }
    WinSetFilter(top, nullptr);
    return true;
}

} // namespace

// ---- ChooseItem -------------------------------------------------------------------------------

std::uint16_t ChooseItem(TextRef title, TextRef items, int flags) {
    const std::uint16_t count = items.failed() ? 0 : ListCount(items, ',');
    const bool listBox = (flags & chooseflag::kListBox) != 0;
    if (title.failed() || title.empty() || count == 0) return kChoiceRefused;
    // Button commands stop at 1699: more items than that would lose their choices.
    if (!listBox && count > kMaxChoiceButtons) return kChoiceRefused;

    const CellDims cell = UsableCell();
    const ChoiceLayout layout =
        LayoutChoice(count, ListMaxItemLen(items, ',', ItemLength::Greatest), listBox, cell,
                     CurrentUi().workArea().height);
    IntVarSet(sysvar::kStat, 0);
    const bool inTop = (flags & chooseflag::kOwnWindow) == 0 &&
                       ChooseInTopWindow(items, count, layout, cell, listBox);
    if (!inTop) ChooseInOwnWindow(title, items, count, layout, cell, listBox);
    return static_cast<std::uint16_t>(IntVarGet(sysvar::kStat));
}

// ---- Buttons of a choice window ---------------------------------------------------------------

std::uint16_t ButtonCount(WindowId window) {
    const Ui& ui = CurrentUi();
    std::uint16_t n = 0;
    while (n < kMaxChoiceButtons && ui.hasControl(window, kFirstChoiceButton + n)) ++n;
    return n;
}

std::uint16_t ButtonFocused(WindowId window) {
    const ControlId focused = CurrentUi().focusedControl(window);
    if (!IsChoiceButton(focused)) return 0;
    const int number = focused - kFirstChoiceButton + 1;
    return number <= ButtonCount(window) ? static_cast<std::uint16_t>(number) : 0;
}

void ButtonStep(std::uint16_t key, WindowId window) {
    if (key != runkey::kUp && key != runkey::kDown) return;
    const std::uint16_t count = ButtonCount(window);
    if (count == 0) return;
    const std::uint16_t current = ButtonFocused(window);
    std::uint16_t next = 0;
    if (key == runkey::kDown) {
        next = current == 0 || current == count ? 1 : current + 1;
    } else {
        next = current <= 1 ? count : current - 1;
    }
    CurrentUi().setFocus(window, kFirstChoiceButton + next - 1);
}

// ---- Dynamic controls ---------------------------------------------------------------------------

ControlId MakeListBox(WindowId parent, int x, int y, int width, int height, int n, TextRef items) {
    const ControlId id = kFirstListBox + n;
    if (n < 0 || id > kLastListBox || items.failed()) return kNoControl;
    Ui& ui = CurrentUi();
    platform::ControlSpec spec;
    spec.kind = platform::ControlKind::ListBox;
    spec.id = id;
    spec.rect = {x, y, width, height};
    spec.style = platform::kTabStop | platform::kBorder;
    if (!ui.createControl(parent, spec)) return kNoControl;
    const std::uint16_t count = ListCount(items, ',');
    for (std::uint16_t i = 1; i <= count; ++i) {
        if (!ui.addListItem(parent, id, TextUnquote(ListItem(items, ',', i)).view())) {
            ui.destroyControl(parent, id);
            return kNoControl;
        }
    }
    SetControlFont(FontKind::Runtime, parent, id);
    return id;
}

ControlId MakeButton(WindowId parent, int x, int y, int width, int height, ControlId id) {
    platform::ControlSpec spec;
    spec.kind = platform::ControlKind::Button;
    spec.id = id;
    spec.rect = {x, y, width, height};
    spec.style = platform::kBorder;
    return CurrentUi().createControl(parent, spec) ? id : kNoControl;
}

ControlId MakeEdit(WindowId parent, int x, int y, int width, int height, ControlId id, int flags) {
    platform::ControlSpec spec;
    spec.kind = platform::ControlKind::Edit;
    spec.id = id;
    spec.rect = {x, y, width, height};
    spec.style = platform::kBorder | platform::kTabStop;
    if (flags & editflag::kMultiLine) spec.style |= platform::kMultiLine | platform::kScrollBars;
    if (flags & editflag::kReadOnlyLook) spec.style |= platform::kReadOnly;
    if (flags & editflag::kDisabled) spec.style |= platform::kDisabled;
    if (!CurrentUi().createControl(parent, spec)) return kNoControl;
    // Runtime windows default to the fixed font: the system font must be asked for.
    SetControlFont((flags & editflag::kSystemFont) ? FontKind::System : FontKind::Runtime, parent,
                   id);
    return id;
}

TextRef ControlText(WindowId window, ControlId id, std::uint16_t maximum) {
    const std::optional<std::string> text = CurrentUi().text(window, id);
    if (!text) return TextRef::Failed(status::kData);
    // A longer text is refused whole: a cut one would pass for the user's.
    if (text->size() > maximum) return TextRef::Failed(status::kStringTooLong);
    return TextDup(TextRef(text->data(), static_cast<std::uint16_t>(text->size())));
}

TextRef DialogItemText(WindowId dialog, ControlId id, std::uint16_t maximum) {
    return ControlText(dialog, id, maximum);
}

StatusCode SetDialogItemText(WindowId dialog, ControlId id, TextRef text) {
    if (text.failed()) return status::kWindowsControl;
    return CurrentUi().setText(dialog, id, text.view()) ? status::kOk : status::kWindowsControl;
}

std::uint16_t EditSelection(WindowId window, ControlId id) {
    const std::optional<platform::Selection> sel = CurrentUi().editSelection(window, id);
    return sel ? static_cast<std::uint16_t>(sel->start) : 0;
}

bool EditSelect(WindowId window, ControlId id, int start, int length) {
    return CurrentUi().setEditSelection(window, id, start, length);
}

// ---- The status row ---------------------------------------------------------------------------

namespace {

// The label is 60 dialog units wide: a dialog unit is a quarter of the font's average width.
constexpr int kStatusLabelUnits = 60;
constexpr int kDialogUnitsPerChar = 4;
constexpr int kStatusLeftEditChars = 7;

struct RowPart {
    int flag;
    platform::ControlKind kind;
    ControlId id;
};
constexpr std::array<RowPart, 3> kRowParts = {{
    {statusrow::kLabel, platform::ControlKind::StaticText, kStatusLabel},
    {statusrow::kLeftEdit, platform::ControlKind::Edit, kStatusEditLeft},
    {statusrow::kRightEdit, platform::ControlKind::Edit, kStatusEditRight},
}};

} // namespace

StatusCode StatusRow(WindowId parent, int flags) {
    Ui& ui = CurrentUi();
    if (!ui.windowExists(parent)) return status::kWindowsControl;
    const CellDims cell = UsableCell();
    const platform::Size client = ui.clientSize(parent);
    const int labelWidth =
        kStatusLabelUnits * ui.fontMetrics(platform::kUiFont).averageWidth / kDialogUnitsPerChar;
    const int widths[] = {labelWidth, kStatusLeftEditChars * cell.width, 0};
    const int y = client.height - cell.height;
    int x = 0;
    for (std::size_t i = 0; i < kRowParts.size(); ++i) {
        const RowPart& part = kRowParts[i];
        if ((flags & part.flag) == 0) continue;
        platform::ControlSpec spec;
        spec.kind = part.kind;
        spec.id = part.id;
        const int width = widths[i] > 0 ? widths[i] : std::max(0, client.width - x);
        spec.rect = {x, y, width, cell.height};
        if (part.kind == platform::ControlKind::Edit) {
            spec.style = platform::kReadOnly | platform::kDisabled | platform::kBorder;
        }
        if (!ui.createControl(parent, spec)) return status::kWindowsControl;
        x += width;
    }
    return status::kOk;
}

} // namespace vodarir
